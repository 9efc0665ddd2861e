// Resampling walks the grid with a cursor instead of a fresh bisection per value; the counts must
// be the bisection's to the last bit, wherever the value lies: inside an interval, exactly on a
// point, on repeated abscissae, beyond either end, with steps smaller and larger than the point
// spacing.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>

#include "calibration/Spline.h"
#include "engine/Resampling.h"

namespace s2t {
namespace {

// An ascending scan with uneven spacing and counts with fractions; with repeats, every 37th point
// repeats its neighbour's abscissa.
std::vector<ScanPoint> unevenScan(std::mt19937& random, std::size_t n, bool repeats) {
    std::uniform_real_distribution<double> gap(0.001, 0.05);
    std::uniform_real_distribution<double> count(0.0, 5000.0);
    std::vector<ScanPoint> points(n);
    double x = 10.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!repeats || i % 37 != 5) x += gap(random);
        points[i] = {x, std::floor(count(random)) + (i % 3 == 0 ? 0.37 : 0.0), 0.0};
    }
    return points;
}

// Ascending abscissae to ask for: a grid walk with this step, from before the first point to after
// the last.
std::vector<double> walk(const std::vector<ScanPoint>& points, double step) {
    std::vector<double> xs;
    const double start = points.front().twoTheta - 0.1;
    for (double i = 0.0;; i += 1.0) {
        const double x = start + i * step;
        if (x > points.back().twoTheta + 0.1) break;
        xs.push_back(x);
    }
    return xs;
}

// The walks every test asks for: grid walks of several steps, and every point's own abscissa.
std::vector<std::vector<double>> walksOver(const std::vector<ScanPoint>& points) {
    std::vector<std::vector<double>> walks;
    for (double step : {0.0007, 0.02, 0.3}) walks.push_back(walk(points, step));
    std::vector<double> onPoints;
    for (const ScanPoint& p : points) onPoints.push_back(p.twoTheta);
    walks.push_back(onPoints);
    return walks;
}

bool sameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

TEST(IntervalCursor, SplineAndLinearCountsAreTheBisectionsToTheLastBit) {
    std::mt19937 random(20240611);
    for (std::size_t n : {2u, 3u, 5u, 200u, 4096u})
        for (bool repeats : {false, true}) {
            std::vector<ScanPoint> points = unevenScan(random, n, repeats);
            // Repeated abscissae leave the spline without finite second derivatives: only the
            // intervals found are compared then, through the zero-width report and the linear counts.
            spline(std::span<ScanPoint>(points), false);
            const std::span<const ScanPoint> view(points);
            std::vector<std::vector<double>> walks = walksOver(points);
            // A stale cursor must still find the interval: values in no order at all.
            std::uniform_real_distribution<double> anywhere(points.front().twoTheta - 1.0,
                                                            points.back().twoTheta + 1.0);
            walks.emplace_back();
            for (int i = 0; i < 500; ++i) walks.back().push_back(anywhere(random));
            for (const auto& xs : walks) {
                // The walk in no order starts its cursors anywhere, even beyond the last interval.
                const bool wild = &xs == &walks.back();
                IntervalCursor splineCursor{wild ? n - 1 : 0}, linearCursor{wild ? 12345u : 0u};
                for (double x : xs) {
                    bool zeroWidthFresh = false, zeroWidthWalked = false;
                    const double fresh = splint(view, x, &zeroWidthFresh);
                    const double walked = splint(view, x, &zeroWidthWalked, &splineCursor);
                    if (!repeats) {
                        ASSERT_TRUE(std::isfinite(fresh));
                        ASSERT_TRUE(sameBits(fresh, walked)) << "spline, n " << n << ", x " << x;
                    }
                    ASSERT_EQ(zeroWidthFresh, zeroWidthWalked);
                    ASSERT_TRUE(sameBits(findCountForTThetaLin(view, x), findCountForTThetaLin(view, x, &linearCursor)))
                        << "linear, n " << n << ", x " << x;
                }
            }
        }
}

// The grid pass computes spline counts interval by interval, in blocks of any length; the values
// must be splint's, to the bit, also on repeated abscissae, beyond either end, and when the
// abscissae step back (which only a caller's mistake would give, and which falls back to the
// bisection).
TEST(IntervalCursor, IntervalByIntervalGivesSplintsValues) {
    std::mt19937 random(99);
    for (std::size_t n : {1u, 2u, 3u, 200u, 4096u})
        for (bool repeats : {false, true}) {
            std::vector<ScanPoint> points = unevenScan(random, n, repeats);
            spline(std::span<ScanPoint>(points), false);
            // Repeated abscissae leave no finite second derivatives; with none at all, the values
            // still tell one interval from another.
            if (repeats)
                for (ScanPoint& p : points) p.secondDeriv = 0.0;
            const std::span<const ScanPoint> view(points);
            std::vector<std::vector<double>> walks = walksOver(points);
            std::vector<double> backAndForth = walks[1];
            std::shuffle(backAndForth.begin() + backAndForth.size() / 2, backAndForth.end(), random);
            walks.push_back(backAndForth);
            for (const auto& xs : walks) {
                std::vector<double> ys(xs.size());
                IntervalCursor cursor;
                for (std::size_t first = 0; first < xs.size();) {
                    const std::size_t size = std::min<std::size_t>(1 + random() % 130, xs.size() - first);
                    splintAscending(view, std::span<const double>(xs).subspan(first, size), ys.data() + first, cursor);
                    first += size;
                }
                for (std::size_t k = 0; k < xs.size(); ++k) {
                    const double expected = splint(view, xs[k]);
                    ASSERT_TRUE(std::isfinite(expected));
                    ASSERT_TRUE(sameBits(ys[k], expected))
                        << "n " << n << (repeats ? " with repeats" : "") << ", x " << xs[k];
                }
            }
        }
}

}  // namespace
}  // namespace s2t
