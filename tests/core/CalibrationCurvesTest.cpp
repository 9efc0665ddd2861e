#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calibration/CalibrationCurves.h"

namespace s2t {
namespace {

TEST(CalibrationCurves, StartupPointsAgainstTheStartupLine) {
    // Given out of channel order: the points keep their order, the spline runs over the channels.
    const std::vector<CalibrationPoint> points = {kStartupPoints[2], kStartupPoints[0], kStartupPoints[3],
                                                  kStartupPoints[1]};
    const CalibrationCurves curves = calibrationCurves(points, kStartupC, kStartupK, 1513);

    ASSERT_EQ(curves.points.size(), 4u);
    EXPECT_EQ(curves.points[0].channel, 1681);
    ASSERT_EQ(curves.residuals.size(), 4u);
    EXPECT_NEAR(curves.residuals[1].twoTheta, 28.783 - (kStartupC * 655 + kStartupK), 1e-12);
    EXPECT_EQ(curves.residuals[1].channel, 655);

    ASSERT_EQ(curves.line.size(), 2u);
    EXPECT_EQ(curves.line[0].channel, 655);
    EXPECT_EQ(curves.line[1].channel, 2167);
    EXPECT_DOUBLE_EQ(curves.line[1].twoTheta, kStartupC * 2167 + kStartupK);

    // 1513 samples over 655..2167 fall on every whole channel: 1000 and 2000 among them.
    ASSERT_EQ(curves.spline.size(), 1513u);
    EXPECT_EQ(curves.spline.front().channel, 655);
    EXPECT_NEAR(curves.spline.front().twoTheta, 28.783, 1e-9);
    EXPECT_EQ(curves.spline.back().channel, 2167);
    EXPECT_NEAR(curves.spline.back().twoTheta, 69.132, 1e-9);
    EXPECT_NEAR(curves.spline[1000 - 655].twoTheta, 37.9329, 5e-5);
    EXPECT_NEAR(curves.spline[2000 - 655].twoTheta, 64.6721, 5e-5);
}

TEST(CalibrationCurves, PointsOnTheLineHaveNoResidualAndTheSplineIsTheLine) {
    std::vector<CalibrationPoint> points;
    for (double channel : {100.0, 900.0, 400.0, 1600.0}) points.push_back({channel, 0.03 * channel + 5, 0});
    const CalibrationCurves curves = calibrationCurves(points, 0.03, 5, 50);
    for (const CurvePoint& r : curves.residuals) EXPECT_NEAR(r.twoTheta, 0.0, 1e-12);
    ASSERT_EQ(curves.spline.size(), 50u);
    for (const CurvePoint& s : curves.spline) EXPECT_NEAR(s.twoTheta, 0.03 * s.channel + 5, 1e-9);
}

TEST(CalibrationCurves, NoSplineWithoutTwoChannelsAndNothingThatIsNotFinite) {
    EXPECT_TRUE(calibrationCurves({}, 1, 0).points.empty());
    EXPECT_TRUE(calibrationCurves({}, 1, 0).line.empty());

    const CalibrationCurves single = calibrationCurves(std::vector<CalibrationPoint>{{500, 20, 0}}, 0.02, 10);
    EXPECT_TRUE(single.spline.empty());
    ASSERT_EQ(single.line.size(), 2u);
    EXPECT_EQ(single.line[0].channel, 499);
    EXPECT_EQ(single.line[1].channel, 501);
    ASSERT_EQ(single.residuals.size(), 1u);
    EXPECT_NEAR(single.residuals[0].twoTheta, 0.0, 1e-12);

    const std::vector<CalibrationPoint> sameChannel = {{500, 20, 0}, {500, 21, 0}, {500, 22, 0}};
    EXPECT_TRUE(calibrationCurves(sameChannel, 0.02, 10).spline.empty());

    // Two points on one channel among others: what is not finite is left out.
    const std::vector<CalibrationPoint> points = {{100, 10, 0}, {100, 11, 0}, {300, 20, 0}, {600, 30, 0}};
    const CalibrationCurves curves = calibrationCurves(points, 0.04, 6, 20);
    for (const CurvePoint& s : curves.spline) EXPECT_TRUE(std::isfinite(s.twoTheta));
    EXPECT_EQ(curves.points.size(), 4u);
}

}  // namespace
}  // namespace s2t
