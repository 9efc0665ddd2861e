#include <gtest/gtest.h>

#include <vector>

#include "calibration/LinearFit.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"

namespace s2t {
namespace {

TEST(LinearFit, StartupPointsGiveTheKnownLineInAnyOrder) {
    ScriptedPlatform platform;
    CalibrationState state;
    const std::vector<CalibrationPoint> listed(std::begin(kStartupPoints), std::end(kStartupPoints));
    ASSERT_TRUE(calcCoefficients(state, listed, platform));
    EXPECT_NEAR(state.header.C, 0.0266883, 5e-8);
    EXPECT_NEAR(state.header.K, 11.2636, 5e-5);
    EXPECT_EQ(state.numOfDataPoints(), 4);

    // The order of the points does not change the line; the points keep list order.
    CalibrationState other;
    ASSERT_TRUE(calcCoefficients(other, std::vector{listed[2], listed[0], listed[3], listed[1]}, platform));
    EXPECT_NEAR(other.header.C, state.header.C, 1e-15);
    EXPECT_NEAR(other.header.K, state.header.K, 1e-12);
    EXPECT_EQ(other.calPoints[0].channel, 1681);
    EXPECT_TRUE(platform.messages().empty());
}

TEST(LinearFit, PointsOnALineGiveThatLine) {
    double C = -1, K = -1;
    EXPECT_EQ(fitStraightLine(std::vector<CalibrationPoint>{{100, 12}, {300, 16}}, C, K), nullptr);
    EXPECT_NEAR(C, 0.02, 1e-15);
    EXPECT_NEAR(K, 10.0, 1e-12);

    std::vector<double> x, y;
    for (int i = 0; i < 9; ++i) {
        x.push_back(250.0 * i + 17);
        y.push_back(-0.013 * x.back() + 80.5);
    }
    LinReg(x.data(), y.data(), 9, &C, &K);
    EXPECT_NEAR(C, -0.013, 1e-14);
    EXPECT_NEAR(K, 80.5, 1e-10);
}

TEST(LinearFit, RefusesWhatHasNoLineAndKeepsTheCalibration) {
    ScriptedPlatform platform;
    CalibrationState state;
    state.installStartupValues();
    const std::vector<CalibrationPoint> sameChannel = {{100, 20}, {100, 30}, {100, 40}};
    EXPECT_FALSE(calcCoefficients(state, std::vector<CalibrationPoint>{{100, 20}}, platform));
    EXPECT_FALSE(calcCoefficients(state, sameChannel, platform));
    EXPECT_FALSE(calcCoefficients(state, {}, platform));
    EXPECT_EQ(platform.messages().size(), 3u);
    EXPECT_EQ(platform.messages()[0].title, messages::kNotPossible);
    EXPECT_EQ(state.header.C, kStartupC);
    EXPECT_EQ(state.header.K, kStartupK);
    EXPECT_EQ(state.numOfDataPoints(), 4);

    // Without installing: the same reasons, and C and K untouched; overflowing sums give no
    // finite line and are refused rather than handed on.
    double C = -1, K = -1;
    EXPECT_STREQ(fitStraightLine(sameChannel, C, K), linearFitRefusal(sameChannel));
    EXPECT_NE(fitStraightLine(sameChannel, C, K), nullptr);
    EXPECT_NE(fitStraightLine(std::vector<CalibrationPoint>{{-1e308, 1e308}, {1e308, -1e308}}, C, K), nullptr);
    EXPECT_EQ(C, -1);
    EXPECT_EQ(K, -1);

    // A horizontal set of points is fitted by the horizontal line.
    ASSERT_TRUE(calcCoefficients(state, std::vector<CalibrationPoint>{{100, 25}, {200, 25}, {300, 25}}, platform));
    EXPECT_EQ(state.header.C, 0.0);
    EXPECT_EQ(state.header.K, 25.0);
    EXPECT_EQ(state.numOfDataPoints(), 3);
}

}  // namespace
}  // namespace s2t
