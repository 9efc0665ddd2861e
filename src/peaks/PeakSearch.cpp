#include "peaks/PeakSearch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace s2t::peaks {
namespace {

// Widths (the Gaussian sigma of the filter, channels) from a barely resolved line to a broad
// high-angle one; neighbouring widths differ by half, so every peak meets a filter within about
// a fifth of its own width.
// Noise makes maxima of significance that stand out from their surroundings by about one
// standard deviation; a line's own maximum stands out by many.
constexpr double kMinProminence = 3.0;

constexpr double kScales[] = {0.8, 1.2, 1.8, 2.7, 4.0, 6.0, 9.0, 13.5, 20.0, 30.0, 45.0};

// The negative second derivative of a Gaussian (a "Mexican hat"), made to sum to zero exactly:
// being symmetric and of zero sum it ignores any straight background, so what it responds to is
// curvature, which a peak has and a smooth background hardly has.
std::vector<double> curvatureFilter(double scale) {
    const int half = static_cast<int>(std::ceil(4.0 * scale));
    std::vector<double> filter(2 * static_cast<std::size_t>(half) + 1);
    double sum = 0.0;
    for (int j = -half; j <= half; ++j) {
        const double u = j / scale;
        filter[static_cast<std::size_t>(j + half)] = (1.0 - u * u) * std::exp(-0.5 * u * u);
        sum += filter[static_cast<std::size_t>(j + half)];
    }
    const double mean = sum / static_cast<double>(filter.size());
    for (double& value : filter) value -= mean;
    return filter;
}

struct Response {
    std::vector<std::vector<double>> curvature;  // per width, per channel
    std::vector<std::vector<double>> noise;      // its standard deviation; 0 where not measured
};

Response measureCurvature(std::span<const double> counts) {
    const std::size_t n = counts.size();
    Response response;
    for (std::size_t s = 0; s < std::size(kScales); ++s) {
        const auto filter = curvatureFilter(kScales[s]);
        const std::size_t half = filter.size() / 2;
        std::vector<double> curvature(n, 0.0), noise(n, 0.0);
        if (n > 2 * half) {
            for (std::size_t i = half; i + half < n; ++i) {
                double value = 0.0, variance = 0.0;
                for (std::size_t j = 0; j < filter.size(); ++j) {
                    const double count = counts[i - half + j];
                    value += filter[j] * count;
                    // Poisson: the variance of a count is its expectation, here the count
                    // itself; an empty channel still has the variance of one count.
                    variance += filter[j] * filter[j] * std::max(count, 1.0);
                }
                curvature[i] = value;
                noise[i] = std::sqrt(variance);
            }
        }
        response.curvature.push_back(std::move(curvature));
        response.noise.push_back(std::move(noise));
    }
    return response;
}

double refineBetweenChannels(const std::vector<double>& curvature, std::size_t i) {
    if (i == 0 || i + 1 >= curvature.size()) return static_cast<double>(i);
    const double left = curvature[i - 1], centre = curvature[i], right = curvature[i + 1];
    const double denominator = left - 2.0 * centre + right;
    if (!(denominator < 0.0)) return static_cast<double>(i);
    const double shift = 0.5 * (left - right) / denominator;
    return static_cast<double>(i) + std::clamp(shift, -0.5, 0.5);
}

double lowestAround(std::span<const double> counts, std::size_t i, std::size_t reach) {
    const std::size_t first = i > reach ? i - reach : 0;
    const std::size_t last = std::min(counts.size() - 1, i + reach);
    return *std::min_element(counts.begin() + static_cast<std::ptrdiff_t>(first),
                             counts.begin() + static_cast<std::ptrdiff_t>(last) + 1);
}

// The width at half height, measured on the counts themselves: from the maximum outwards to
// where the counts first fall below half way down to the surrounding minimum.
double widthAtHalfHeight(std::span<const double> counts, std::size_t i, double base) {
    const double half = 0.5 * (counts[i] + base);
    auto crossing = [&](int direction) {
        std::size_t j = i;
        while (true) {
            const std::size_t next = direction < 0 ? (j == 0 ? j : j - 1) : (j + 1 < counts.size() ? j + 1 : j);
            if (next == j) return static_cast<double>(j);
            if (counts[next] < half) {
                const double share = (counts[j] - half) / (counts[j] - counts[next]);
                return static_cast<double>(j) + direction * share;
            }
            j = next;
        }
    };
    return std::max(1.0, crossing(1) - crossing(-1));
}

// A maximum of significance at one width, and how far it stands out from the valleys that part
// it from any higher maximum of that width (its prominence, in standard deviations too).
struct Candidate {
    std::size_t channel;
    int scale;
    double significance;
};

std::vector<Candidate> prominentMaxima(const std::vector<double>& z, int scale, double minimum) {
    std::vector<std::size_t> maxima;
    for (std::size_t i = 1; i + 1 < z.size(); ++i)
        if (z[i] > z[i - 1] && z[i] >= z[i + 1] && z[i] >= minimum) maxima.push_back(i);
    std::vector<Candidate> prominent;
    for (std::size_t m = 0; m < maxima.size(); ++m) {
        const std::size_t i = maxima[m];
        // The valley towards the nearest higher maximum on each side (or the scan's end).
        auto valley = [&](int direction) {
            double lowest = z[i];
            for (std::ptrdiff_t j = static_cast<std::ptrdiff_t>(i) + direction;
                 j >= 0 && j < static_cast<std::ptrdiff_t>(z.size()); j += direction) {
                const double v = z[static_cast<std::size_t>(j)];
                if (v > z[i]) return lowest;
                lowest = std::min(lowest, v);
            }
            return -1e300;  // no higher maximum that side
        };
        const double saddle = std::max(valley(-1), valley(1));
        if (z[i] - saddle >= kMinProminence) prominent.push_back({i, scale, z[i]});
    }
    return prominent;
}

}  // namespace

std::vector<FoundPeak> findPeaks(std::span<const double> counts, const PeakSearchOptions& options) {
    const Response response = measureCurvature(counts);
    // From the finest width to the broadest: a maximum near a peak already found is that peak
    // seen blurred (or a blend of it with a neighbour) and only adds to its significance; one
    // far from every peak is a broad line the finer widths missed.
    struct Found {
        FoundPeak peak;
        double reach;  // half the width of the filter it was found with
    };
    std::vector<Found> found;
    for (std::size_t s = 0; s < std::size(kScales); ++s) {
        const auto& curvature = response.curvature[s];
        std::vector<double> z(counts.size(), 0.0);
        for (std::size_t i = 0; i < z.size(); ++i)
            if (response.noise[s][i] > 0.0) z[i] = curvature[i] / response.noise[s][i];
        const double reach = std::max(1.5, 0.5 * 2.3548 * kScales[s]);
        std::vector<Found> added;
        for (const Candidate& candidate : prominentMaxima(z, static_cast<int>(s), options.minSignificance)) {
            Found* nearestFound = nullptr;
            for (auto& f : found) {
                const double distance = std::fabs(f.peak.channel - static_cast<double>(candidate.channel));
                if (distance <= reach &&
                    (!nearestFound ||
                     distance < std::fabs(nearestFound->peak.channel - static_cast<double>(candidate.channel))))
                    nearestFound = &f;
            }
            if (nearestFound) {
                nearestFound->peak.significance = std::max(nearestFound->peak.significance, candidate.significance);
                continue;
            }
            FoundPeak peak;
            peak.channel = refineBetweenChannels(curvature, candidate.channel);
            const double base =
                lowestAround(counts, candidate.channel, static_cast<std::size_t>(std::ceil(4.0 * kScales[s])) + 2);
            peak.height = counts[candidate.channel] - base;
            peak.fwhm = widthAtHalfHeight(counts, candidate.channel, base);
            peak.significance = candidate.significance;
            added.push_back({peak, reach});
        }
        found.insert(found.end(), added.begin(), added.end());
    }
    std::vector<FoundPeak> peaks;
    for (const auto& f : found) peaks.push_back(f.peak);
    std::sort(peaks.begin(), peaks.end(), [](const FoundPeak& a, const FoundPeak& b) { return a.channel < b.channel; });
    return peaks;
}

}  // namespace s2t::peaks
