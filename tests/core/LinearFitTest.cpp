#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calibration/LinearFit.h"
#include "platform/ScriptedPlatform.h"

namespace s2t {
namespace {

TEST(LinearFit, StartupPointsGiveTheKnownLine) {
    ScriptedPlatform platform;
    CalibrationState state;
    state.installStartupValues();
    std::vector<CalibrationPoint> listed(std::begin(kStartupPoints), std::end(kStartupPoints));
    ASSERT_TRUE(calcCoefficients(state, listed, platform));
    EXPECT_NEAR(state.header.C, 0.0266883, 5e-8);
    EXPECT_NEAR(state.header.K, 11.2636, 5e-5);
    EXPECT_EQ(state.numOfDataPoints(), 4);

    // The order of the points does not change the line; the points keep list order.
    std::vector<CalibrationPoint> shuffled = {listed[2], listed[0], listed[3], listed[1]};
    CalibrationState other;
    ASSERT_TRUE(calcCoefficients(other, shuffled, platform));
    EXPECT_NEAR(other.header.C, state.header.C, 1e-15);
    EXPECT_NEAR(other.header.K, state.header.K, 1e-12);
    EXPECT_EQ(other.calPoints[0].channel, 1681);
    EXPECT_TRUE(platform.messages().empty());
}

TEST(LinearFit, TwoPointsAndPointsOnALine) {
    double slope = 0, intercept = 0;
    const double x2[] = {100, 300}, y2[] = {12, 16};
    LinReg(x2, y2, 2, &slope, &intercept);
    EXPECT_NEAR(slope, 0.02, 1e-15);
    EXPECT_NEAR(intercept, 10.0, 1e-12);

    std::vector<double> x, y;
    for (int i = 0; i < 9; ++i) {
        x.push_back(250.0 * i + 17);
        y.push_back(-0.013 * x.back() + 80.5);
    }
    LinReg(x.data(), y.data(), 9, &slope, &intercept);
    EXPECT_NEAR(slope, -0.013, 1e-14);
    EXPECT_NEAR(intercept, 80.5, 1e-10);
}

TEST(LinearFit, RefusesWhatHasNoLineAndKeepsTheCalibration) {
    ScriptedPlatform platform;
    CalibrationState state;
    state.installStartupValues();
    const std::vector<CalibrationPoint> one = {{100, 20}};
    const std::vector<CalibrationPoint> sameChannel = {{100, 20}, {100, 30}, {100, 40}};
    EXPECT_FALSE(calcCoefficients(state, one, platform));
    EXPECT_FALSE(calcCoefficients(state, sameChannel, platform));
    EXPECT_FALSE(calcCoefficients(state, {}, platform));
    EXPECT_EQ(platform.messages().size(), 3u);
    EXPECT_EQ(platform.messages()[0].title, "Not Possible");
    EXPECT_EQ(state.header.C, kStartupC);
    EXPECT_EQ(state.header.K, kStartupK);
    EXPECT_EQ(state.numOfDataPoints(), 4);

    // A horizontal set of points is fitted by the horizontal line.
    const std::vector<CalibrationPoint> flat = {{100, 25}, {200, 25}, {300, 25}};
    ASSERT_TRUE(calcCoefficients(state, flat, platform));
    EXPECT_EQ(state.header.C, 0.0);
    EXPECT_EQ(state.header.K, 25.0);
    EXPECT_EQ(state.numOfDataPoints(), 3);
}

TEST(LinearFit, FitWithoutInstallingIt) {
    const std::vector<CalibrationPoint> two = {{100, 12}, {300, 16}};
    double C = -1, K = -1;
    EXPECT_EQ(fitStraightLine(two, C, K), nullptr);
    EXPECT_NEAR(C, 0.02, 1e-15);
    EXPECT_NEAR(K, 10.0, 1e-12);

    const std::vector<CalibrationPoint> sameChannel = {{100, 12}, {100, 16}};
    C = K = -1;
    EXPECT_STREQ(fitStraightLine(sameChannel, C, K), linearFitRefusal(sameChannel));
    EXPECT_NE(fitStraightLine(sameChannel, C, K), nullptr);
    EXPECT_EQ(C, -1);
    EXPECT_EQ(K, -1);

    // Overflowing sums give no finite line: refused rather than handed on.
    const std::vector<CalibrationPoint> huge = {{-1e308, 1e308}, {1e308, -1e308}};
    EXPECT_NE(fitStraightLine(huge, C, K), nullptr);
    EXPECT_EQ(C, -1);
}

}  // namespace
}  // namespace s2t
