#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "calibration/Spline.h"
#include "engine/ChannelMapping.h"
#include "engine/Resampling.h"
#include "platform/ScriptedPlatform.h"

namespace s2t {
namespace {

TEST(ChannelMapping, StraightLineAndSplineWithLineOutside) {
    CalibrationState state;
    state.installStartupValues();
    EXPECT_DOUBLE_EQ(channelToTTheta(state, 0.0, true), 10.939501);
    EXPECT_NEAR(channelToTTheta(state, 1000.0, true), 37.867961, 1e-9);

    spline(std::span<CalibrationPoint>(state.calPoints), true);
    EXPECT_EQ(channelToTTheta(state, 655.0, false), 28.783);
    EXPECT_EQ(channelToTTheta(state, 2167.0, false), 69.132);
    // Outside the calibrated channels: the line through the first and last point.
    const double slope = (69.132 - 28.783) / (2167.0 - 655.0);
    EXPECT_NEAR(channelToTTheta(state, 600.0, false), 28.783 + (600.0 - 655.0) * slope, 1e-12);
    EXPECT_NEAR(channelToTTheta(state, 2200.0, false), 28.783 + (2200.0 - 655.0) * slope, 1e-12);
}

std::vector<ScanPoint> ramp() { return {{10.0, 100.0}, {10.5, 200.0}, {11.0, 150.0}, {11.5, 151.0}, {12.0, 0.0}}; }

TEST(Resampling, LinearInterpolationBetweenAndOnPoints) {
    const auto points = ramp();
    std::span<const ScanPoint> view(points);
    EXPECT_EQ(findCountForTThetaLin(view, 10.25), 150.0);  // halfway: the mean
    EXPECT_EQ(findCountForTThetaLin(view, 11.0), 150.0);   // on a point: its count exactly
    EXPECT_EQ(findCountForTThetaLin(view, 10.0), 100.0);
    EXPECT_EQ(findCountForTThetaLin(view, 12.0), 0.0);
    EXPECT_EQ(findCountForTThetaLin(view, 12.5), -151.0);  // beyond the end: the last line extends
    EXPECT_EQ(roundToWhole(12.5), 13.0);
    EXPECT_EQ(roundToWhole(2.4999), 2.0);
    EXPECT_EQ(roundToWhole(-0.4), 0.0);
    EXPECT_EQ(roundToWhole(-1.6), -1.0);
    EXPECT_EQ(roundToWhole(-0.7), 0.0);
    EXPECT_EQ(roundToWhole(5e12 + 0.5), 5e12 + 1.0);  // no integer overflow
}

TEST(Resampling, DeliveringPointsWithRangeAndRounding) {
    const std::vector<ScanPoint> points = {{19.99, 1.0}, {20.0, 2.0}, {25.0, 12.5},
                                           {29.7, -0.4}, {30.0, 5.0}, {30.01, 6.0}};
    ConversionSettings settings;
    settings.theRangeOptions = {20.0, 30.0};
    ConversionRequest request;
    request.options = kRangeLimits;
    std::vector<double> xs, ys;
    for (double i = 0; i < 7; ++i) {
        double x = i, y = 0;
        int result = getTThetaAndCounts(x, y, points, request, settings);
        if (i == 6) {
            EXPECT_EQ(result, kBeyondScan);
        }
        if (result == kPointDelivered) {
            xs.push_back(x);
            ys.push_back(y);
        }
    }
    EXPECT_EQ(xs, (std::vector<double>{20.0, 25.0, 29.7, 30.0}));  // limits are inclusive
    EXPECT_EQ(ys, (std::vector<double>{2.0, 13.0, 0.0, 5.0}));     // whole counts: 12.5 -> 13, -0.4 -> 0

    // Whole-number 2-theta after the range test: 29.7 under 29.8 is written as 30.
    settings.theRangeOptions = {20.0, 29.8};
    request.options = kRangeLimits | kWholeTwoTheta | kFractionalCounts;
    double x = 3, y = 0;
    ASSERT_EQ(getTThetaAndCounts(x, y, points, request, settings), kPointDelivered);
    EXPECT_EQ(x, 30.0);
    EXPECT_EQ(y, -0.4);

    // Constant step: x is a grid angle, kept as it is; the count is interpolated.
    request.options = kConstantStep | kFractionalCounts;
    x = 27.35;
    ASSERT_EQ(getTThetaAndCounts(x, y, points, request, settings), kPointDelivered);
    EXPECT_EQ(x, 27.35);
    EXPECT_DOUBLE_EQ(y, 12.5 + (27.35 - 25.0) * (-0.4 - 12.5) / (29.7 - 25.0));
}

TEST(Resampling, SetUpSortsFallingScansAndPreparesTheSpline) {
    ScriptedPlatform platform;
    ConversionRequest request;
    request.options = kConstantStep;
    ConversionSettings settings;
    Scan scan;
    scan.points = ramp();
    // Linear method: an ascending scan stays exactly as it is, second derivatives unset.
    settings.constStepOpts.method = kLinearInterpolation;
    setUpForConstantStep(scan, request, settings, platform);
    EXPECT_EQ(scan.points[1].twoTheta, 10.5);
    EXPECT_EQ(scan.points[1].secondDeriv, 0.0);
    // A falling scan (negative C) is put in ascending order.
    const auto ascending = ramp();
    scan.points.assign(ascending.rbegin(), ascending.rend());
    setUpForConstantStep(scan, request, settings, platform);
    EXPECT_EQ(scan.points.front().twoTheta, 10.0);
    EXPECT_EQ(scan.points.back().count, 0.0);
    // Spline method: second derivatives with zero end slopes; points hit exactly.
    settings.constStepOpts.method = kSplineInterpolation;
    setUpForConstantStep(scan, request, settings, platform);
    EXPECT_NE(scan.points[2].secondDeriv, 0.0);
    double x = 11.0, y = 0;
    request.options = kConstantStep | kFractionalCounts;
    getTThetaAndCounts(x, y, scan.points, request, settings);
    EXPECT_NEAR(y, 150.0, 1e-12);
}

}  // namespace
}  // namespace s2t
