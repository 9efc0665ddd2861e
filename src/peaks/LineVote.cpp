#include "peaks/LineVote.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace s2t::peaks {
namespace {

// Enough strong peaks to outvote chance alignments, few enough to keep the pairs cheap.
constexpr std::size_t kStrongPeaks = 20;
// Two peaks closer than this say little about the slope.
constexpr double kShortestBaseline = 10.0;

struct Score {
    int matched = 0;
    double sumAbsolute = 0.0;  // of the matched peaks' distances, degrees

    bool betterThan(const Score& other) const {
        if (matched != other.matched) return matched > other.matched;
        return sumAbsolute < other.sumAbsolute;
    }
};

// The reflection or K-alpha2 twin nearest to twoTheta, and how far it is (degrees).
struct Nearest {
    double angle = 0.0, distance = 1e300;
};

Nearest nearestLine(std::span<const double> reflections, std::span<const double> twins, double twoTheta) {
    Nearest nearest;
    for (const auto lines : {reflections, twins}) {
        if (lines.empty()) continue;
        const double angle = lines[nearestReflection(lines, twoTheta)];
        if (std::fabs(angle - twoTheta) < nearest.distance) nearest = {angle, std::fabs(angle - twoTheta)};
    }
    return nearest;
}

// A peak counts when a reflection's K-alpha1 line or its K-alpha2 twin lies at it: a line that
// put the reflections on the twins of resolved doublets would match the twins, and the low-angle
// doublets whose lines a tolerance spans, but leave every high-angle K-alpha1 peak unexplained.
Score score(std::span<const FoundPeak> strong, std::span<const double> reflections, std::span<const double> twins,
            double K, double C, double tolerance) {
    Score result;
    for (const auto& peak : strong) {
        const double distance = nearestLine(reflections, twins, K + C * peak.channel).distance;
        if (distance <= tolerance) {
            ++result.matched;
            result.sumAbsolute += distance;
        }
    }
    return result;
}

// The unweighted least-squares line through the strong peaks the line (K, C) matches, each at
// the line it matches.
bool refitOnMatches(std::span<const FoundPeak> strong, std::span<const double> reflections,
                    std::span<const double> twins, double tolerance, double& K, double& C) {
    double sumX = 0, sumY = 0;
    std::vector<std::pair<double, double>> matches;
    for (const auto& peak : strong) {
        const Nearest line = nearestLine(reflections, twins, K + C * peak.channel);
        if (line.distance > tolerance) continue;
        matches.emplace_back(peak.channel, line.angle);
        sumX += peak.channel;
        sumY += line.angle;
    }
    if (matches.size() < 2) return false;
    const double n = static_cast<double>(matches.size());
    const double meanX = sumX / n, meanY = sumY / n;
    double sxx = 0, sxy = 0;
    for (const auto& [x, y] : matches) {
        sxx += (x - meanX) * (x - meanX);
        sxy += (x - meanX) * (y - meanY);
    }
    if (!(sxx > 0)) return false;
    C = sxy / sxx;
    K = meanY - C * meanX;
    return true;
}

}  // namespace

std::size_t nearestReflection(std::span<const double> reflections, double twoTheta) {
    const auto above = std::lower_bound(reflections.begin(), reflections.end(), twoTheta);
    if (above == reflections.begin()) return 0;
    if (above == reflections.end()) return reflections.size() - 1;
    const auto below = above - 1;
    return static_cast<std::size_t>((twoTheta - *below <= *above - twoTheta ? below : above) - reflections.begin());
}

std::optional<LineGuess> voteForLine(std::span<const FoundPeak> peaks, std::span<const double> reflections,
                                     std::span<const double> twins, double startK, double startC, std::size_t channels,
                                     const VoteLimits& limits) {
    if (peaks.size() < 2 || reflections.size() < 2 || startC == 0.0 || channels < 2) return std::nullopt;
    std::vector<FoundPeak> strong(peaks.begin(), peaks.end());
    std::stable_sort(strong.begin(), strong.end(),
                     [](const FoundPeak& a, const FoundPeak& b) { return a.significance > b.significance; });
    if (strong.size() > kStrongPeaks) strong.resize(kStrongPeaks);
    std::sort(strong.begin(), strong.end(),
              [](const FoundPeak& a, const FoundPeak& b) { return a.channel < b.channel; });

    // A peak is on a reflection when within a few channels of it, or a tenth of a degree and a
    // half: a curved channel law leaves that much between line and reflection.
    const double tolerance = std::max(0.15, 3.0 * std::fabs(startC));
    const double lastChannel = static_cast<double>(channels - 1);
    const double spread = limits.interceptDegrees + limits.slopeShare * std::fabs(startC) * lastChannel;
    const double low = std::min(startK, startK + startC * lastChannel) - spread;
    const double high = std::max(startK, startK + startC * lastChannel) + spread;
    const auto first = std::lower_bound(reflections.begin(), reflections.end(), low);
    const auto last = std::upper_bound(reflections.begin(), reflections.end(), high);
    const std::span<const double> candidates(first, last);
    if (candidates.size() < 2) return std::nullopt;
    const std::span<const double> nearTwins(std::lower_bound(twins.begin(), twins.end(), low),
                                            std::upper_bound(twins.begin(), twins.end(), high));

    const double slowest = std::fabs(startC) * (1.0 - limits.slopeShare);
    const double fastest = std::fabs(startC) * (1.0 + limits.slopeShare);
    const double direction = startC > 0 ? 1.0 : -1.0;
    std::optional<LineGuess> best;
    Score bestScore;
    for (std::size_t a = 0; a < strong.size(); ++a) {
        for (std::size_t b = a + 1; b < strong.size(); ++b) {
            const double baseline = strong[b].channel - strong[a].channel;
            if (baseline < kShortestBaseline) continue;
            for (std::size_t k = 0; k < candidates.size(); ++k) {
                // Reflection l lies beyond reflection k in the direction the line runs, by
                // between the slowest and the fastest slope times the baseline.
                for (std::size_t l = 0; l < candidates.size(); ++l) {
                    const double rise = direction * (candidates[l] - candidates[k]);
                    if (rise < slowest * baseline || rise > fastest * baseline) continue;
                    const double C = (candidates[l] - candidates[k]) / baseline;
                    const double K = candidates[k] - C * strong[a].channel;
                    if (std::fabs(K - startK) > limits.interceptDegrees) continue;
                    const Score s = score(strong, candidates, nearTwins, K, C, tolerance);
                    if (!best || s.betterThan(bestScore)) {
                        best = LineGuess{K, C, s.matched};
                        bestScore = s;
                    }
                }
            }
        }
    }
    if (!best) return std::nullopt;
    for (int round = 0; round < 2; ++round) {
        double K = best->K, C = best->C;
        if (!refitOnMatches(strong, candidates, nearTwins, tolerance, K, C)) break;
        best->K = K;
        best->C = C;
    }
    best->matched = score(strong, candidates, nearTwins, best->K, best->C, tolerance).matched;
    return best;
}

}  // namespace s2t::peaks
