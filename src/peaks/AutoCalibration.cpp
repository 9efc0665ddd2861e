#include "peaks/AutoCalibration.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "peaks/CrowdedPairs.h"
#include "peaks/EndGuards.h"
#include "peaks/LineVote.h"
#include "peaks/MatchQuality.h"
#include "peaks/ProfileFit.h"
#include "peaks/SmoothLawCheck.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace s2t::peaks {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxRounds = 8;
// The most reflections fitted together in one window.
constexpr std::size_t kMostJointReflections = 6;
// The most lines (reflections and other peaks) in the fit of one reflection of a dense run.
constexpr std::size_t kMostLinesApart = 8;
// Its fit's steps at most: blends in such a run creep for hundreds of steps, by far less than the
// position's uncertainty.
constexpr int kMostStepsApart = 40;

// The current channel law while matching: the straight line, corrected between matched
// reflections by their residuals (interpolated in 2-theta, held at the ends), so that a curved
// law still predicts each reflection within a fraction of its width.
struct ChannelLaw {
    double K = 0.0, C = 0.0;
    std::vector<std::pair<double, double>> corrections;  // (2-theta, residual), ascending

    double correction(double twoTheta) const {
        if (corrections.empty()) return 0.0;
        if (twoTheta <= corrections.front().first) return corrections.front().second;
        if (twoTheta >= corrections.back().first) return corrections.back().second;
        const auto above = std::lower_bound(corrections.begin(), corrections.end(), std::make_pair(twoTheta, -1e300));
        const auto below = above - 1;
        const double share = (twoTheta - below->first) / (above->first - below->first);
        return below->second + share * (above->second - below->second);
    }
    double channelOf(double twoTheta) const { return (twoTheta - K - correction(twoTheta)) / C; }
};

// One reflection predicted inside the scan, with the peak that claims it.
struct Prediction {
    double twoTheta = 0.0;
    double channel = 0.0;
    double alpha2Offset = 0.0;  // channels
    std::optional<std::size_t> peak;
    ProfileLine start;
    double windowLow = 0.0, windowHigh = 0.0;
};

double roundedAsStored(double value) { return parseLeadingDouble(formatFixed(value, 6)); }

class Matcher {
public:
    Matcher(std::span<const double> counts, std::vector<double> reflections, const AutoCalibrationSettings& settings,
            std::vector<FoundPeak> peaks)
            : counts_(counts), reflections_(std::move(reflections)), settings_(settings), peaks_(std::move(peaks)) {}

    // The channels between the K-alpha1 and K-alpha2 lines of a K-alpha1 line at channel under
    // the straight line (K, C).
    double alpha2Offset(double channel, double K, double C) const {
        if (settings_.alpha2Wavelength <= 0.0) return 0.0;
        const double alpha1 = K + C * channel;
        const double alpha2 = alpha2TwoTheta(alpha1, settings_.wavelength, settings_.alpha2Wavelength);
        return std::isfinite(alpha2) ? (alpha2 - alpha1) / C : 0.0;
    }

    // Reflections predicted inside the scan, each with the strongest peak near its prediction;
    // one without such a peak, or whose peak a nearer reflection claims, is left out.
    std::vector<Prediction> predict(const ChannelLaw& law) const {
        const double lastChannel = static_cast<double>(counts_.size() - 1);
        const double tolerance = claimTolerance(law.C);
        std::vector<Prediction> predictions;
        for (double twoTheta : reflections_) {
            Prediction prediction;
            prediction.twoTheta = twoTheta;
            prediction.channel = law.channelOf(twoTheta);
            if (!(prediction.channel >= 2.0 && prediction.channel <= lastChannel - 2.0)) continue;
            prediction.alpha2Offset = alpha2Offset(prediction.channel, law.K, law.C);
            for (std::size_t i = 0; i < peaks_.size(); ++i) {
                if (std::fabs(peaks_[i].channel - prediction.channel) > tolerance) continue;
                if (!prediction.peak || peaks_[i].significance > peaks_[*prediction.peak].significance)
                    prediction.peak = i;
            }
            predictions.push_back(prediction);
        }
        for (std::size_t a = 0; a < predictions.size(); ++a)
            for (std::size_t b = a + 1; b < predictions.size(); ++b) {
                if (!predictions[a].peak || predictions[a].peak != predictions[b].peak) continue;
                const double peak = peaks_[*predictions[a].peak].channel;
                auto& farther = std::fabs(predictions[a].channel - peak) <= std::fabs(predictions[b].channel - peak)
                                    ? predictions[b]
                                    : predictions[a];
                farther.peak.reset();
            }
        return predictions;
    }

    double claimTolerance(double C) const { return std::max(3.0, 0.15 / std::fabs(C)); }

    // Fits the claimed reflections, nearby ones together, and returns those that pass.
    std::vector<MatchedReflection> fit(std::vector<Prediction>& predictions, const ChannelLaw& law) const {
        std::vector<Prediction*> claimed;
        for (auto& prediction : predictions) {
            if (!prediction.peak) continue;
            const FoundPeak& peak = peaks_[*prediction.peak];
            const double r = settings_.alpha2Ratio;
            ProfileLine start{peak.channel, peak.height, peak.fwhm, 0.5};
            // The maximum of an unresolved doublet lies between its lines, nearer K-alpha1.
            if (std::fabs(prediction.alpha2Offset) < peak.fwhm) {
                start.position -= prediction.alpha2Offset * r / (1.0 + r);
                start.height /= 1.0 + r;
            }
            prediction.start = start;
            const double reach = 2.5 * peak.fwhm + 2.0;
            prediction.windowLow = std::min(start.position, start.position + prediction.alpha2Offset) - reach;
            prediction.windowHigh = std::max(start.position, start.position + prediction.alpha2Offset) + reach;
            claimed.push_back(&prediction);
        }
        std::sort(claimed.begin(), claimed.end(),
                  [](const Prediction* a, const Prediction* b) { return a->windowLow < b->windowLow; });

        std::vector<MatchedReflection> matched;
        for (std::size_t first = 0; first < claimed.size();) {
            std::size_t last = first;
            double high = claimed[first]->windowHigh;
            while (last + 1 < claimed.size() && claimed[last + 1]->windowLow <= high)
                high = std::max(high, claimed[++last]->windowHigh);
            const std::vector<Prediction*> group(claimed.begin() + static_cast<std::ptrdiff_t>(first),
                                                 claimed.begin() + static_cast<std::ptrdiff_t>(last) + 1);
            if (group.size() <= kMostJointReflections)
                fitGroup(group, law, matched, group.size(), &claimed);
            else
                fitEachWithNeighbours(group, law, matched);
            first = last + 1;
        }
        std::sort(matched.begin(), matched.end(),
                  [](const MatchedReflection& a, const MatchedReflection& b) { return a.twoTheta < b.twoTheta; });
        return matched;
    }

    const std::vector<FoundPeak>& peaks() const { return peaks_; }
    const std::vector<double>& reflections() const { return reflections_; }

private:
    // Whether a found peak is one of the group's lines (K-alpha1 or K-alpha2).
    static bool explainedBy(const FoundPeak& peak, const std::vector<Prediction*>& group) {
        return std::any_of(group.begin(), group.end(), [&](const Prediction* p) {
            const double reach = 0.6 * p->start.fwhm + 1.0;
            return std::fabs(peak.channel - p->start.position) <= reach ||
                   (p->alpha2Offset != 0.0 && std::fabs(peak.channel - p->start.position - p->alpha2Offset) <= reach);
        });
    }

    // A run of overlapping windows longer than kMostJointReflections (broad lines of a dense
    // pattern, the high angles of a short wavelength) is fitted reflection by reflection: each in
    // its own window, with the nearest reflections whose lines lie inside that window beside it,
    // and only its own line kept. One fit of them all would cost the window times the square of
    // the lines, each iteration, and beyond kLargestFit it would be refused and lose every
    // reflection of the run.
    void fitEachWithNeighbours(const std::vector<Prediction*>& group, const ChannelLaw& law,
                               std::vector<MatchedReflection>& matched) const {
        for (Prediction* own : group) {
            const auto inside = [own](double channel) {
                return channel >= own->windowLow && channel <= own->windowHigh;
            };
            std::vector<Prediction*> neighbours;
            for (Prediction* other : group)
                if (other != own &&
                    (inside(other->start.position) || inside(other->start.position + other->alpha2Offset)))
                    neighbours.push_back(other);
            const auto distance = [own](const Prediction* p) { return std::fabs(p->channel - own->channel); };
            std::stable_sort(neighbours.begin(), neighbours.end(),
                             [&](const Prediction* a, const Prediction* b) { return distance(a) < distance(b); });
            if (neighbours.size() > kMostJointReflections - 1) neighbours.resize(kMostJointReflections - 1);
            std::vector<Prediction*> subgroup{own};
            subgroup.insert(subgroup.end(), neighbours.begin(), neighbours.end());
            fitGroup(subgroup, law, matched, 1, nullptr, own->windowLow, own->windowHigh);
        }
    }

    // Fits the group's reflections together and keeps the first `kept` of them that pass; the
    // window is the union of theirs, or [low, high] when given.
    void fitGroup(const std::vector<Prediction*>& group, const ChannelLaw& law, std::vector<MatchedReflection>& matched,
                  std::size_t kept, const std::vector<Prediction*>* everyClaimed, double low = 0.0,
                  double high = -1.0) const {
        const double lastChannel = static_cast<double>(counts_.size() - 1);
        if (!(low < high)) {
            low = group.front()->windowLow;
            high = group.front()->windowHigh;
            for (const Prediction* p : group) {
                low = std::min(low, p->windowLow);
                high = std::max(high, p->windowHigh);
            }
        }
        // A peak just outside the window that no reflection explains (an impurity beside the
        // reflection) reaches into it with its flank, which no line of the fit would explain: the
        // reflection's line would lean towards it and its uncertainty swell with the misfit. The
        // window takes such a peak in, with its flank, and fits it as a line of its own below.
        // everyClaimed: the reflections of the whole fit (not given in a dense run fitted apart,
        // where the peaks beside are its neighbours' lines).
        if (everyClaimed) {
            const double ownLow = low, ownHigh = high;
            for (const auto& peak : peaks_) {
                const double flank = 2.0 * peak.fwhm + 1.0;
                if (peak.channel > ownLow && peak.channel < ownHigh) continue;
                if (peak.channel <= ownLow - flank || peak.channel >= ownHigh + flank ||
                    explainedBy(peak, *everyClaimed))
                    continue;
                low = std::min(low, peak.channel - flank);
                high = std::max(high, peak.channel + flank);
            }
        }
        ProfileFitRequest request;
        request.first = static_cast<std::size_t>(std::max(0.0, std::floor(low)));
        request.last = static_cast<std::size_t>(std::min(lastChannel, std::ceil(high)));
        for (const Prediction* p : group) request.start.push_back(p->start);
        // Other peaks inside the window (an impurity, a reflection the standard does not list)
        // are fitted as lines of their own, so that they do not pull the reflections.
        std::vector<const FoundPeak*> others;
        for (const auto& peak : peaks_)
            if (peak.channel > low && peak.channel < high && !explainedBy(peak, group)) others.push_back(&peak);
        // A reflection fitted apart in a dense run takes only the peaks nearest to it: its window
        // may hold a dozen, whose lines would make the fit cost what fitting the run apart avoids.
        if (kept < group.size()) request.maxIterations = kMostStepsApart;
        if (kept < group.size() && group.size() + others.size() > kMostLinesApart) {
            const double own = group.front()->start.position;
            std::stable_sort(others.begin(), others.end(), [own](const FoundPeak* a, const FoundPeak* b) {
                return std::fabs(a->channel - own) < std::fabs(b->channel - own);
            });
            others.resize(kMostLinesApart > group.size() ? kMostLinesApart - group.size() : 0);
        }
        for (const FoundPeak* peak : others)
            request.start.push_back({peak->channel, peak->height / (1.0 + settings_.alpha2Ratio), peak->fwhm, 0.5});
        if (settings_.alpha2Wavelength > 0.0) {
            const double K = law.K, C = law.C;
            request.alpha2Offset = [this, K, C](double channel) { return alpha2Offset(channel, K, C); };
            request.alpha2Ratio = settings_.alpha2Ratio;
        }
        const ProfileFitResult result = fitProfiles(counts_, request);
        if (!result.ok) return;
        const double tolerance = claimTolerance(law.C);
        for (std::size_t k = 0; k < kept; ++k) {
            const FittedLine& fitted = result.lines[k];
            const ProfileLine& line = fitted.line;
            const bool significant = line.height > 0.0 && line.height >= 3.0 * fitted.sigmaHeight;
            const bool stayed = std::fabs(line.position - group[k]->start.position) <= tolerance;
            const bool sharp = fitted.sigmaPosition > 0.0 && fitted.sigmaPosition < 0.5 * line.fwhm &&
                               line.fwhm < 4.0 * group[k]->start.fwhm + 2.0;
            if (!significant || !stayed || !sharp) continue;
            MatchedReflection m;
            m.twoTheta = group[k]->twoTheta;
            m.channel = line.position;
            m.sigmaChannel = fitted.sigmaPosition;
            m.height = line.height;
            m.fwhm = line.fwhm;
            m.alpha2Offset = fitted.alpha2Offset;
            matched.push_back(m);
        }
    }

    std::span<const double> counts_;
    std::vector<double> reflections_;
    const AutoCalibrationSettings& settings_;
    std::vector<FoundPeak> peaks_;
};

WeightedLineFit fitPairs(const std::vector<MatchedReflection>& pairs, double C) {
    std::vector<LinePair> line;
    for (const auto& pair : pairs)
        line.push_back({pair.channel, pair.twoTheta, std::max(std::fabs(C) * pair.sigmaChannel, 1e-7)});
    return fitWeightedLine(line);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

// Drops the worst pair while it lies far outside both the pairs' own scatter and its
// uncertainty: a line fitted on something else than the reflection. A smooth curvature of the
// channel law raises the scatter with it and is kept.
WeightedLineFit rejectOutliers(std::vector<MatchedReflection>& pairs, double C) {
    WeightedLineFit line = fitPairs(pairs, C);
    while (line.ok && pairs.size() > kMinimumPairs) {
        std::vector<double> residuals;
        for (const auto& pair : pairs) residuals.push_back(pair.twoTheta - (line.K + line.C * pair.channel));
        const double centre = median(residuals);
        std::vector<double> deviations;
        for (double r : residuals) deviations.push_back(std::fabs(r - centre));
        const double scatter = 1.4826 * median(deviations);
        std::size_t worst = 0;
        double worstExcess = 0.0;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const double limit = std::max({5.0 * scatter, 5.0 * std::fabs(C) * pairs[i].sigmaChannel, 0.01});
            const double excess = std::fabs(residuals[i]) / limit;
            if (excess > worstExcess) {
                worstExcess = excess;
                worst = i;
            }
        }
        if (worstExcess <= 1.0) break;
        pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(worst));
        line = fitPairs(pairs, C);
    }
    return line;
}

bool sameReflections(const std::vector<MatchedReflection>& a, const std::vector<MatchedReflection>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](const MatchedReflection& x, const MatchedReflection& y) { return x.twoTheta == y.twoTheta; });
}

// Whether the pairs make a calibration: they must follow one smooth channel law to a small part of
// their peaks' widths, and be more than the scan's peaks give by chance. True matches of a
// standard's scan lie within 0.05 widths of such a law and would come by chance with odds below
// 1e-10; a wrong standard or a scan of noise spikes scatters by a quarter of a width or more, or
// matches what any line would (bench/calibration-accuracy.py measures the true ones).
constexpr double kLargestSpread = 0.15;  // full widths at half maximum
constexpr double kLargestChance = 1e-3;

// Whether no other reflection of the standard (ascending) lies within width degrees of twoTheta.
bool standsApart(const std::vector<double>& reflections, double twoTheta, double width) {
    const auto at = std::lower_bound(reflections.begin(), reflections.end(), twoTheta);
    const bool belowClear = at == reflections.begin() || twoTheta - *(at - 1) > width;
    auto above = at;
    while (above != reflections.end() && *above == twoTheta) ++above;
    return belowClear && (above == reflections.end() || *above - twoTheta > width);
}

std::string implausibilityOf(const AutoCalibrationResult& result, const std::vector<double>& reflections, double C,
                             double window, std::size_t channels) {
    std::vector<PairOnLaw> pairs;
    for (const auto& pair : result.pairs) pairs.push_back({pair.channel, pair.twoTheta, pair.sigmaChannel, pair.fwhm});
    const double spread = offLawSpread(pairs, C);
    if (!(spread <= kLargestSpread)) return messages::offOneSmoothLaw(formatFixed(spread, 2));
    // A reflection with another within a peak width of it does not show as a peak of its own (the
    // broad lines of a dense pattern blend): whether its blend is found says nothing of chance. Only
    // the reflections that stand apart count, predicted and matched; the width at a reflection is
    // that of the pair nearest to it (widths grow with the angle).
    auto apart = [&](double twoTheta) {
        const auto nearest = std::min_element(
            result.pairs.begin(), result.pairs.end(), [&](const MatchedReflection& a, const MatchedReflection& b) {
                return std::fabs(a.twoTheta - twoTheta) < std::fabs(b.twoTheta - twoTheta);
            });
        return standsApart(reflections, twoTheta, std::fabs(C) * nearest->fwhm);
    };
    std::size_t matched = 0, predicted = 0;
    for (const auto& pair : result.pairs) matched += apart(pair.twoTheta);
    predicted = matched;
    for (double twoTheta : result.missedReflections) predicted += apart(twoTheta);
    const double chance = chanceOfMatches(predicted, matched, result.peaks.size(), channels, window);
    if (chance > kLargestChance)
        return messages::matchedByChance(result.peaks.size(), matched, predicted, formatFixed(chance, 3));
    return {};
}

std::string refusalText(std::size_t matched) { return messages::tooFewMatches(matched, kMinimumPairs); }

void describeLeftovers(const Matcher& matcher, const ChannelLaw& law, std::size_t channels,
                       AutoCalibrationResult& result) {
    const double lastChannel = static_cast<double>(channels - 1);
    for (double twoTheta : matcher.reflections()) {
        const double channel = law.channelOf(twoTheta);
        if (!(channel >= 0.0 && channel <= lastChannel)) continue;
        const bool found = std::any_of(result.pairs.begin(), result.pairs.end(),
                                       [&](const MatchedReflection& m) { return m.twoTheta == twoTheta; });
        if (!found) result.missedReflections.push_back(twoTheta);
    }
    for (const auto& peak : matcher.peaks()) {
        const bool explained = std::any_of(result.pairs.begin(), result.pairs.end(), [&](const MatchedReflection& m) {
            const double reach = 0.6 * m.fwhm + 1.5;
            return std::fabs(peak.channel - m.channel) <= reach ||
                   (m.alpha2Offset != 0.0 && std::fabs(peak.channel - m.channel - m.alpha2Offset) <= reach);
        });
        if (!explained) result.unmatchedPeaks.push_back(peak);
    }
}

}  // namespace

double alpha2TwoTheta(double twoTheta, double alpha1Wavelength, double alpha2Wavelength) {
    const double sine = alpha2Wavelength / alpha1Wavelength * std::sin(twoTheta * kPi / 360.0);
    if (!(sine <= 1.0)) return std::nan("");
    return std::asin(sine) * 360.0 / kPi;
}

std::vector<CalibrationPoint> pairsAsStored(std::span<const MatchedReflection> pairs) {
    std::vector<CalibrationPoint> points;
    for (const auto& pair : pairs)
        points.push_back(
            {parseLeadingDouble(formatFixed(pair.channel, 4)), parseLeadingDouble(formatFixed(pair.twoTheta, 4)), 0.0});
    return points;
}

std::vector<CalibrationPoint> storedCalibrationPoints(const AutoCalibrationResult& result) {
    std::vector<CalibrationPoint> points = pairsAsStored(result.pairs);
    points.insert(points.end(), result.guards.begin(), result.guards.end());
    std::stable_sort(points.begin(), points.end(),
                     [](const CalibrationPoint& a, const CalibrationPoint& b) { return a.channel < b.channel; });
    return points;
}

AutoCalibrationResult calibrateFromScan(std::span<const double> counts, std::span<const double> reflections,
                                        const AutoCalibrationSettings& settings) {
    AutoCalibrationResult result;
    result.peaks = findPeaks(counts, {settings.minSignificance});
    std::vector<double> sorted(reflections.begin(), reflections.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted.size() > kMostReflections) {
        result.refusal = messages::tooManyReflections(sorted.size(), kMostReflections);
        return result;
    }
    const Matcher matcher(counts, sorted, settings, result.peaks);

    std::vector<double> twins;
    if (settings.alpha2Wavelength > 0.0)
        for (double twoTheta : sorted) {
            const double twin = alpha2TwoTheta(twoTheta, settings.wavelength, settings.alpha2Wavelength);
            if (std::isfinite(twin)) twins.push_back(twin);
        }
    std::sort(twins.begin(), twins.end());
    const auto guess = voteForLine(result.peaks, sorted, twins, settings.startK, settings.startC, counts.size());
    if (!guess || guess->matched < static_cast<int>(kMinimumPairs)) {
        result.refusal = refusalText(guess ? static_cast<std::size_t>(guess->matched) : 0);
        return result;
    }

    ChannelLaw law{guess->K, guess->C, {}};
    std::vector<MatchedReflection> pairs;
    WeightedLineFit line;
    for (int round = 0; round < kMaxRounds; ++round) {
        auto predictions = matcher.predict(law);
        auto next = matcher.fit(predictions, law);
        if (next.size() < kMinimumPairs) {
            if (round == 0) pairs = std::move(next);
            break;
        }
        line = rejectOutliers(next, law.C);
        // A curved law hides a bad pair from the straight line's test; the spline would not.
        if (line.ok && dropPairsOffTheLaw(next) > 0) line = fitPairs(next, law.C);
        // Nor would it pass through two pairs a few channels apart without a kink.
        if (line.ok && dropCrowdedPairs(next) > 0) line = fitPairs(next, law.C);
        if (!line.ok) break;
        const double lastChannel = static_cast<double>(counts.size() - 1);
        const double moved = std::max(std::fabs(line.K - law.K),
                                      std::fabs(line.K + line.C * lastChannel - (law.K + law.C * lastChannel)));
        const bool settled = sameReflections(next, pairs) && moved < 1e-6;
        pairs = std::move(next);
        law.K = line.K;
        law.C = line.C;
        law.corrections.clear();
        for (const auto& pair : pairs)
            law.corrections.emplace_back(pair.twoTheta, pair.twoTheta - (line.K + line.C * pair.channel));
        if (settled) break;
    }
    if (pairs.size() < kMinimumPairs || !line.ok) {
        result.refusal = refusalText(pairs.size());
        result.pairs = std::move(pairs);
        return result;
    }

    result.line = line;
    result.pairs = std::move(pairs);
    double sumW = 0.0, sumWK = 0.0;
    result.storedC = roundedAsStored(line.C);
    for (auto& pair : result.pairs) {
        pair.residual = pair.twoTheta - (line.K + line.C * pair.channel);
        const double sigma = std::max(std::fabs(line.C) * pair.sigmaChannel, 1e-7);
        sumW += 1.0 / (sigma * sigma);
        sumWK += (pair.twoTheta - result.storedC * pair.channel) / (sigma * sigma);
    }
    result.storedK = roundedAsStored(sumWK / sumW);
    result.guards = endGuards(pairsAsStored(result.pairs), counts.size());
    std::sort(result.guards.begin(), result.guards.end(),
              [](const CalibrationPoint& a, const CalibrationPoint& b) { return a.twoTheta < b.twoTheta; });
    describeLeftovers(matcher, law, counts.size(), result);
    result.refusal =
        implausibilityOf(result, matcher.reflections(), line.C, matcher.claimTolerance(line.C), counts.size());
    result.ok = result.refusal.empty();
    return result;
}

}  // namespace s2t::peaks
