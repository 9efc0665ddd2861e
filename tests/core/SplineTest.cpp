#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "calibration/CalibrationState.h"
#include "calibration/Spline.h"
#include "calibration/SplineProgress.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"

namespace s2t {
namespace {

// The first derivative of the spline at x, from the cubic of the interval that holds x.
double splineSlope(const std::vector<CalibrationPoint>& p, std::size_t klo, double x) {
    const auto& lo = p[klo];
    const auto& hi = p[klo + 1];
    const double h = hi.channel - lo.channel;
    const double a = (hi.channel - x) / h;
    const double b = (x - lo.channel) / h;
    return (hi.twoTheta - lo.twoTheta) / h - (3 * a * a - 1) / 6 * h * lo.secondDeriv +
           (3 * b * b - 1) / 6 * h * hi.secondDeriv;
}

TEST(Spline, StartupPointsWithSlopeFromFit) {
    std::vector<CalibrationPoint> points(std::begin(kStartupPoints), std::end(kStartupPoints));
    const double s = leastSquaresSlope(std::span<const CalibrationPoint>(points));
    EXPECT_NEAR(s, 0.0266883, 5e-8);

    spline(std::span<CalibrationPoint>(points), true);
    std::span<const CalibrationPoint> view(points);
    EXPECT_NEAR(splint(view, 1000.0), 37.9329, 5e-5);
    EXPECT_NEAR(splint(view, 2000.0), 64.6721, 5e-5);
    // Clamped ends: the spline leaves both ends with the fitted slope.
    EXPECT_NEAR(splineSlope(points, 0, 655.0), s, 1e-12);
    EXPECT_NEAR(splineSlope(points, 2, 2167.0), s, 1e-12);
    // A point's own abscissa gives its ordinate.
    for (const auto& p : kStartupPoints) EXPECT_NEAR(splint(view, p.channel), p.twoTheta, 1e-12);
}

TEST(Spline, SortsInPlaceAndZeroSlopeEnds) {
    std::vector<CalibrationPoint> points = {{1681, 56.122}, {655, 28.783}, {2167, 69.132}, {1353, 47.304}};
    spline(std::span<CalibrationPoint>(points), false);
    for (std::size_t i = 0; i < points.size(); ++i) EXPECT_EQ(points[i].channel, kStartupPoints[i].channel);
    EXPECT_NEAR(splineSlope(points, 0, 655.0), 0.0, 1e-12);
    EXPECT_NEAR(splineSlope(points, 2, 2167.0), 0.0, 1e-12);
}

TEST(Spline, ShowsItsLabelAndWaitCursorAroundTheSteps) {
    ScriptedPlatform platform;
    auto progress = platform.openProgressDisplay();
    std::vector<CalibrationPoint> points;
    for (int i = 0; i < 30; ++i) points.push_back({double(i), std::sin(i * 0.3)});
    platform.calls.clear();
    splineWithProgress(std::span<CalibrationPoint>(points), false, {&platform, progress.get()});

    const auto& calls = platform.calls;
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0], (PlatformCall{"waitCursor", "", "on"}));
    EXPECT_EQ(calls[1], (PlatformCall{"value", "", "0.0000"}));
    EXPECT_EQ(calls[2], (PlatformCall{"label", "", messages::kCalculatingSpline}));
    EXPECT_EQ(calls[calls.size() - 4], (PlatformCall{"value", "", "100.0000"}));
    EXPECT_EQ(calls[calls.size() - 3], (PlatformCall{"label", "", messages::kProgressLabel}));
    EXPECT_EQ(calls[calls.size() - 2], (PlatformCall{"value", "", "0.0000"}));
    EXPECT_EQ(calls.back(), (PlatformCall{"waitCursor", "", "off"}));
}

TEST(Spline, TwoPointsAndDegenerateInput) {
    std::vector<CalibrationPoint> two = {{10, 1}, {20, 3}};
    spline(std::span<CalibrationPoint>(two), true);
    EXPECT_NEAR(splint(std::span<const CalibrationPoint>(two), 15.0), 2.0, 1e-12);

    std::vector<CalibrationPoint> one = {{10, 1, 7}};
    spline(std::span<CalibrationPoint>(one), true);
    EXPECT_EQ(one[0].secondDeriv, 0.0);

    // Equal abscissae: a zero-width interval is reported and gives the lower point's ordinate.
    std::vector<CalibrationPoint> same = {{5, 1}, {5, 2}};
    bool zeroWidth = false;
    EXPECT_EQ(splint(std::span<const CalibrationPoint>(same), 5.0, &zeroWidth), 1.0);
    EXPECT_TRUE(zeroWidth);
}

// A record of another shape: the spline serves any three-double record.
struct Rec {
    double x, y, y2;
    static constexpr auto abscissa = &Rec::x;
    static constexpr auto ordinate = &Rec::y;
    static constexpr auto secondDerivative = &Rec::y2;
};

TEST(Spline, ReversedLargeScanIsSortedAscending) {
    std::vector<Rec> scan(32767);
    for (std::size_t i = 0; i < scan.size(); ++i) scan[i] = {10.0 + i * 0.002, double(i % 97), 0.0};
    std::vector<Rec> reversed(scan.rbegin(), scan.rend());
    spline(std::span<Rec>(reversed), false);
    for (std::size_t i = 0; i < scan.size(); ++i) ASSERT_EQ(reversed[i].x, scan[i].x);
}

// The tridiagonal algorithm as it is written in the textbooks, every slope divided where it is
// used, for comparison with the library's spline to the last bit.
std::vector<double> textbookSecondDerivatives(const std::vector<Rec>& p, double yp1, double ypn) {
    const std::size_t n = p.size();
    std::vector<double> y2(n), u(n - 1);
    y2[0] = -0.5;
    u[0] = (3.0 / (p[1].x - p[0].x)) * ((p[1].y - p[0].y) / (p[1].x - p[0].x) - yp1);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double sig = (p[i].x - p[i - 1].x) / (p[i + 1].x - p[i - 1].x);
        const double q = sig * y2[i - 1] + 2.0;
        y2[i] = (sig - 1.0) / q;
        u[i] = (p[i + 1].y - p[i].y) / (p[i + 1].x - p[i].x) - (p[i].y - p[i - 1].y) / (p[i].x - p[i - 1].x);
        u[i] = (6.0 * u[i] / (p[i + 1].x - p[i - 1].x) - sig * u[i - 1]) / q;
    }
    const double qn = 0.5;
    const double un = (3.0 / (p[n - 1].x - p[n - 2].x)) * (ypn - (p[n - 1].y - p[n - 2].y) / (p[n - 1].x - p[n - 2].x));
    y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
    for (std::size_t k = n - 1; k-- > 0;) y2[k] = y2[k] * y2[k + 1] + u[k];
    return y2;
}

TEST(Spline, SecondDerivativesEqualTheTextbookAlgorithmBitForBit) {
    // Uneven spacing and noisy counts, so that every rounding of the sweep shows.
    std::vector<Rec> scan(4096);
    unsigned state = 12345;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
    double x = 10.0;
    for (Rec& r : scan) {
        x += 0.01 + (next() % 1000) * 1e-6;
        r = {x, double(next() % 5000) / 7.0, 0.0};
    }
    for (bool slopeFromFit : {false, true}) {
        std::vector<Rec> computed = scan;
        spline(std::span<Rec>(computed), slopeFromFit);
        const double slope = slopeFromFit ? leastSquaresSlope(std::span<const Rec>(scan)) : 0.0;
        const std::vector<double> expected = textbookSecondDerivatives(scan, slope, slope);
        for (std::size_t i = 0; i < scan.size(); ++i)
            ASSERT_EQ(std::bit_cast<std::uint64_t>(computed[i].y2), std::bit_cast<std::uint64_t>(expected[i]))
                << "point " << i << (slopeFromFit ? " with fitted end slopes" : "");
    }
}

}  // namespace
}  // namespace s2t
