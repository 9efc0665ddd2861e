#include "peaks/ProfileFit.h"

#include <algorithm>
#include <cmath>

#include "peaks/SymmetricSystem.h"

namespace s2t::peaks {
namespace {

constexpr double kFourLn2 = 2.772588722239781;  // 4 ln 2
constexpr std::size_t kBackgroundParameters = 2;
constexpr std::size_t kLineParameters = 4;  // position, height, fwhm, eta
constexpr double kNarrowest = 0.5;          // channels: below this a line is not a line

// A pseudo-Voigt of height 1 centred at c, and its derivatives by c, fwhm and eta.
struct PseudoVoigt {
    double value, byCentre, byFwhm, byEta;
};

PseudoVoigt pseudoVoigt(double x, double centre, double fwhm, double eta) {
    const double q = (x - centre) / fwhm;
    const double gauss = std::exp(-kFourLn2 * q * q);
    const double lorentz = 1.0 / (1.0 + 4.0 * q * q);
    const double gaussByCentre = 2.0 * kFourLn2 * q * gauss / fwhm;
    const double lorentzByCentre = 8.0 * q * lorentz * lorentz / fwhm;
    return {eta * lorentz + (1.0 - eta) * gauss, eta * lorentzByCentre + (1.0 - eta) * gaussByCentre,
            q * (eta * lorentzByCentre + (1.0 - eta) * gaussByCentre), lorentz - gauss};
}

class Model {
public:
    Model(std::span<const double> counts, const ProfileFitRequest& request)
            : counts_(counts),
              request_(request),
              centre_(0.5 * static_cast<double>(request.first + request.last)),
              lines_(request.start.size()) {}

    std::size_t parameterCount() const { return kBackgroundParameters + kLineParameters * lines_; }

    double offsetAt(double position) const { return request_.alpha2Offset ? request_.alpha2Offset(position) : 0.0; }

    // The K-alpha2 offset of every line at its position in p. The twin's offset is held at its
    // value for the current position: it changes by a few hundredths of a channel over the
    // distances a fit moves a line. Computed once per parameter set, not once per channel.
    std::vector<double> offsets(const std::vector<double>& p) const {
        std::vector<double> result(lines_, 0.0);
        if (request_.alpha2Offset)
            for (std::size_t k = 0; k < lines_; ++k)
                result[k] = offsetAt(p[kBackgroundParameters + kLineParameters * k]);
        return result;
    }

    // The model at x and, when row is given, its derivatives by every parameter; offsets are those
    // of p.
    double evaluate(const std::vector<double>& p, const std::vector<double>& offsets, double x, double* row) const {
        double value = p[0] + p[1] * (x - centre_);
        if (row) {
            row[0] = 1.0;
            row[1] = x - centre_;
        }
        for (std::size_t k = 0; k < lines_; ++k) {
            const double* line = &p[kBackgroundParameters + kLineParameters * k];
            const double position = line[0], height = line[1], fwhm = line[2], eta = line[3];
            PseudoVoigt shape = pseudoVoigt(x, position, fwhm, eta);
            if (request_.alpha2Offset) {
                const PseudoVoigt twin = pseudoVoigt(x, position + offsets[k], fwhm, eta);
                const double r = request_.alpha2Ratio;
                shape.value += r * twin.value;
                shape.byCentre += r * twin.byCentre;
                shape.byFwhm += r * twin.byFwhm;
                shape.byEta += r * twin.byEta;
            }
            value += height * shape.value;
            if (row) {
                double* out = row + kBackgroundParameters + kLineParameters * k;
                out[0] = height * shape.byCentre;
                out[1] = shape.value;
                out[2] = height * shape.byFwhm;
                out[3] = height * shape.byEta;
            }
        }
        return value;
    }

    static double weight(double count) { return 1.0 / std::max(count, 1.0); }

    double chiSquare(const std::vector<double>& p) const {
        double sum = 0.0;
        const std::vector<double> shifts = offsets(p);
        for (std::size_t i = request_.first; i <= request_.last; ++i) {
            const double residual = counts_[i] - evaluate(p, shifts, static_cast<double>(i), nullptr);
            sum += weight(counts_[i]) * residual * residual;
        }
        return sum;
    }

    // The normal matrix J^T W J and the gradient J^T W r.
    void normalEquations(const std::vector<double>& p, std::vector<double>& matrix,
                         std::vector<double>& gradient) const {
        const std::size_t n = parameterCount();
        matrix.assign(n * n, 0.0);
        gradient.assign(n, 0.0);
        std::vector<double> row(n);
        const std::vector<double> shifts = offsets(p);
        for (std::size_t i = request_.first; i <= request_.last; ++i) {
            const double residual = counts_[i] - evaluate(p, shifts, static_cast<double>(i), row.data());
            const double w = weight(counts_[i]);
            for (std::size_t a = 0; a < n; ++a) {
                gradient[a] += w * row[a] * residual;
                for (std::size_t b = 0; b <= a; ++b) matrix[a * n + b] += w * row[a] * row[b];
            }
        }
        for (std::size_t a = 0; a < n; ++a)
            for (std::size_t b = 0; b < a; ++b) matrix[b * n + a] = matrix[a * n + b];
    }

    // Keeps each line a line inside the window.
    void constrain(std::vector<double>& p) const {
        const double span = static_cast<double>(request_.last - request_.first) + 1.0;
        for (std::size_t k = 0; k < lines_; ++k) {
            double* line = &p[kBackgroundParameters + kLineParameters * k];
            line[0] = std::clamp(line[0], static_cast<double>(request_.first), static_cast<double>(request_.last));
            line[2] = std::clamp(line[2], kNarrowest, span);
            line[3] = std::clamp(line[3], 0.0, 1.0);
        }
    }

    std::size_t pointCount() const { return request_.last - request_.first + 1; }
    double centre() const { return centre_; }

private:
    std::span<const double> counts_;
    const ProfileFitRequest& request_;
    double centre_;
    std::size_t lines_;
};

std::vector<double> startingParameters(std::span<const double> counts, const ProfileFitRequest& request) {
    // The background starts as the line through the two ends of the window.
    const double left = counts[request.first], right = counts[request.last];
    const double span = std::max(1.0, static_cast<double>(request.last - request.first));
    std::vector<double> p = {0.5 * (left + right), (right - left) / span};
    for (const auto& line : request.start) {
        p.push_back(line.position);
        p.push_back(line.height);
        p.push_back(std::max(line.fwhm, kNarrowest));
        p.push_back(std::clamp(line.eta, 0.0, 1.0));
    }
    return p;
}

// A matrix whose diagonal is zero for a parameter the data do not touch (a line of height zero
// has no position) gets 1 there, so that the others can still be solved and inverted.
void fixUntouchedParameters(std::vector<double>& matrix, std::size_t n) {
    double largest = 0.0;
    for (std::size_t a = 0; a < n; ++a) largest = std::max(largest, matrix[a * n + a]);
    for (std::size_t a = 0; a < n; ++a)
        if (!(matrix[a * n + a] > 1e-14 * largest)) {
            for (std::size_t b = 0; b < n; ++b) matrix[a * n + b] = matrix[b * n + a] = 0.0;
            matrix[a * n + a] = 1.0;
        }
}

}  // namespace

double doubletProfile(const ProfileLine& line, double offset, double ratio, double x) {
    double value = pseudoVoigt(x, line.position, line.fwhm, line.eta).value;
    if (ratio != 0.0) value += ratio * pseudoVoigt(x, line.position + offset, line.fwhm, line.eta).value;
    return line.height * value;
}

ProfileFitResult fitProfiles(std::span<const double> counts, const ProfileFitRequest& request) {
    ProfileFitResult result;
    if (request.start.empty() || request.last >= counts.size() || request.first >= request.last) return result;
    const Model model(counts, request);
    const std::size_t n = model.parameterCount();
    if (model.pointCount() <= n) return result;
    // Every iteration builds the normal matrix over the window; a window across much of a scan
    // with dozens of lines in it (broad plateaus of a damaged scan, a run of spikes) is no
    // reflection's doublet and would take minutes.
    if (static_cast<double>(model.pointCount()) * static_cast<double>(n * n) > kLargestFit) return result;

    std::vector<double> p = startingParameters(counts, request);
    double chi2 = model.chiSquare(p);
    double lambda = 1e-3;
    std::vector<double> matrix, gradient, damped, step;
    bool converged = false;
    for (int iteration = 0; iteration < request.maxIterations && !converged; ++iteration) {
        result.iterations = iteration + 1;
        model.normalEquations(p, matrix, gradient);
        fixUntouchedParameters(matrix, n);
        bool improved = false;
        while (!improved && lambda < 1e12) {
            damped = matrix;
            for (std::size_t a = 0; a < n; ++a) damped[a * n + a] *= 1.0 + lambda;
            if (!solveSymmetric(damped, gradient, n, step)) {
                lambda *= 10.0;
                continue;
            }
            std::vector<double> trial = p;
            for (std::size_t a = 0; a < n; ++a) trial[a] += step[a];
            model.constrain(trial);
            const double trialChi2 = model.chiSquare(trial);
            if (std::isfinite(trialChi2) && trialChi2 <= chi2) {
                converged = chi2 - trialChi2 <= 1e-10 * chi2 + 1e-12;
                p = std::move(trial);
                chi2 = trialChi2;
                lambda = std::max(lambda * 0.1, 1e-12);
                improved = true;
            } else {
                lambda *= 10.0;
            }
        }
        if (!improved) converged = true;  // no step lowers chi-square: at the minimum
    }

    model.normalEquations(p, matrix, gradient);
    fixUntouchedParameters(matrix, n);
    std::vector<double> covariance;
    if (!invertSymmetric(matrix, n, covariance)) return result;
    const double freedom = static_cast<double>(model.pointCount() - n);
    result.reducedChiSquare = chi2 / freedom;
    const double scale = std::max(1.0, result.reducedChiSquare);

    result.background = p[0];
    result.backgroundSlope = p[1];
    for (std::size_t k = 0; k < request.start.size(); ++k) {
        const std::size_t at = kBackgroundParameters + kLineParameters * k;
        FittedLine fitted;
        fitted.line = {p[at], p[at + 1], p[at + 2], p[at + 3]};
        fitted.sigmaPosition = std::sqrt(covariance[at * n + at] * scale);
        fitted.sigmaHeight = std::sqrt(covariance[(at + 1) * n + at + 1] * scale);
        fitted.alpha2Offset = model.offsetAt(fitted.line.position);
        if (!std::isfinite(fitted.line.position) || !std::isfinite(fitted.sigmaPosition)) return result;
        result.lines.push_back(fitted);
    }
    result.ok = true;
    return result;
}

}  // namespace s2t::peaks
