#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calibration/Spline.h"
#include "peaks/EndGuards.h"
#include "peaks/SmoothLawCheck.h"
#include "platform/NumberText.h"

namespace s2t::peaks {
namespace {

double stored(double value) { return parseLeadingDouble(formatFixed(value, 4)); }

// A curved channel law of the kind a detector has: a line bent by half a sine period, 0.1 degrees
// at most, over 4096 channels.
double curvedLaw(double channel) {
    return 10.9 + 0.0271 * channel + 0.1 * std::sin(3.14159265358979 * channel / 4095.0);
}

std::vector<CalibrationPoint> pointsOnTheLaw(const std::vector<double>& channels) {
    std::vector<CalibrationPoint> points;
    for (double channel : channels) points.push_back({stored(channel), stored(curvedLaw(channel)), 0.0});
    return points;
}

// The largest distance between the calibration spline of every conversion through points and the
// not-a-knot spline through pairs, over the pairs' span.
double largestDistanceFromNotAKnot(std::vector<CalibrationPoint> points, const std::vector<CalibrationPoint>& pairs) {
    spline(std::span<CalibrationPoint>(points), true);
    const auto second = notAKnotSecondDerivatives(pairs);
    std::vector<CalibrationPoint> free = pairs;
    for (std::size_t i = 0; i < free.size(); ++i) free[i].secondDeriv = second[i];
    double largest = 0.0;
    for (double channel = pairs.front().channel; channel <= pairs.back().channel; channel += 1.0)
        largest = std::max(largest, std::fabs(splint(std::span<const CalibrationPoint>(points), channel) -
                                              splint(std::span<const CalibrationPoint>(free), channel)));
    return largest;
}

TEST(EndGuards, NotAKnotSplineReproducesACubicAndThreePointsTheirParabola) {
    auto cubic = [](double x) { return 3.0 - 0.5 * x + 0.02 * x * x + 0.001 * x * x * x; };
    std::vector<CalibrationPoint> points;
    for (double x : {0.0, 1.5, 4.0, 5.0, 9.0, 12.5, 13.0}) points.push_back({x, cubic(x), 0.0});
    const auto second = notAKnotSecondDerivatives(points);
    ASSERT_EQ(second.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) EXPECT_NEAR(second[i], 0.04 + 0.006 * points[i].channel, 1e-9);
    // Four points: both end conditions meet in a two-row system.
    const std::vector<CalibrationPoint> four(points.begin(), points.begin() + 4);
    const auto fourSecond = notAKnotSecondDerivatives(four);
    for (std::size_t i = 0; i < four.size(); ++i) EXPECT_NEAR(fourSecond[i], 0.04 + 0.006 * four[i].channel, 1e-9);
    const std::vector<CalibrationPoint> three{{0.0, 1.0, 0.0}, {1.0, 2.0, 0.0}, {3.0, 22.0, 0.0}};  // 1 - 2x + 3x^2
    for (double m : notAKnotSecondDerivatives(three)) EXPECT_NEAR(m, 6.0, 1e-12);
}

TEST(EndGuards, StoredSplineThroughPairsAndGuardsIsTheNotAKnotSplineBetweenThePairs) {
    // Silicon's nine reflections as a 4096-channel scan puts them, on a curved law.
    const auto pairs = pointsOnTheLaw({650.3, 1353.8, 1681.2, 2167.9, 2441.0, 2873.6, 3131.7, 3574.2, 3852.9});
    const auto guards = endGuards(pairs);
    ASSERT_EQ(guards.size(), 2u);
    // Whole channels, two mean intervals (2 x 400.3 channels) beyond the pairs, four decimals of
    // 2-theta.
    EXPECT_EQ(guards[0].channel, 650.0 - 801.0);
    EXPECT_EQ(guards[1].channel, 3853.0 + 801.0);
    for (const auto& guard : guards) EXPECT_EQ(guard.twoTheta, stored(guard.twoTheta));

    std::vector<CalibrationPoint> withGuards = pairs;
    withGuards.insert(withGuards.end(), guards.begin(), guards.end());
    EXPECT_LT(largestDistanceFromNotAKnot(withGuards, pairs), 1e-4);
    // Without them the clamped end slopes bend the end intervals by far more.
    EXPECT_GT(largestDistanceFromNotAKnot(pairs, pairs), 0.004);

    // And against the law itself: the goal of a calibration from a standard.
    spline(std::span<CalibrationPoint>(withGuards), true);
    double largest = 0.0;
    for (double channel = 651.0; channel <= 3852.0; channel += 1.0)
        largest = std::max(
            largest, std::fabs(splint(std::span<const CalibrationPoint>(withGuards), channel) - curvedLaw(channel)));
    EXPECT_LT(largest, 0.001);
}

TEST(EndGuards, NoGuardsForTooFewPointsOrTwoOnOneChannel) {
    EXPECT_TRUE(endGuards(pointsOnTheLaw({100.0, 900.0})).empty());
    EXPECT_TRUE(endGuards(pointsOnTheLaw({100.0, 900.0, 900.0, 1500.0})).empty());
    // Any order is taken; the guards do not depend on it.
    const auto ordered = endGuards(pointsOnTheLaw({100.0, 900.0, 1500.0, 2300.0}));
    const auto shuffled = endGuards(pointsOnTheLaw({1500.0, 100.0, 2300.0, 900.0}));
    ASSERT_EQ(ordered.size(), 2u);
    ASSERT_EQ(shuffled.size(), 2u);
    EXPECT_EQ(ordered[0].twoTheta, shuffled[0].twoTheta);
    EXPECT_EQ(ordered[1].twoTheta, shuffled[1].twoTheta);
}

std::vector<MatchedReflection> reflectionsOnTheLaw() {
    std::vector<MatchedReflection> pairs;
    for (double channel = 400.0; channel < 4000.0; channel += 190.0) {
        MatchedReflection pair;
        pair.channel = channel;
        // A few ten-thousandths of scatter, as the fits leave.
        pair.twoTheta = curvedLaw(channel) + 0.0003 * std::sin(7.0 * channel);
        pair.sigmaChannel = 0.015;
        pairs.push_back(pair);
    }
    return pairs;
}

TEST(SmoothLawCheck, KeepsPairsOnACurvedLawAndDropsOneAHundredthOff) {
    auto clean = reflectionsOnTheLaw();
    const std::size_t count = clean.size();
    EXPECT_EQ(dropPairsOffTheLaw(clean), 0u);
    EXPECT_EQ(clean.size(), count);

    // Off by 0.015 degrees: inside 0.01 of the straight line's curvature-sized residuals, but far
    // from where its neighbours put it.
    auto shifted = reflectionsOnTheLaw();
    shifted[7].twoTheta += 0.015;
    const double dropped = shifted[7].twoTheta;
    EXPECT_EQ(dropPairsOffTheLaw(shifted), 1u);
    for (const auto& pair : shifted) EXPECT_NE(pair.twoTheta, dropped);

    // A position ten times as uncertain as the others (an overlapped line) goes whatever its place.
    auto uncertain = reflectionsOnTheLaw();
    uncertain[3].sigmaChannel = 0.2;
    EXPECT_EQ(dropPairsOffTheLaw(uncertain), 1u);
    EXPECT_EQ(uncertain.size(), count - 1);

    // Five pairs are too few to tell.
    auto few = reflectionsOnTheLaw();
    few.resize(5);
    few[2].twoTheta += 0.05;
    EXPECT_EQ(dropPairsOffTheLaw(few), 0u);
}

// The pairs of a LaB6 scan whose first reflection an impurity moved by 0.014 degrees, with the
// scatter the fits left on the others. The first pair pulls the polynomial towards itself, and
// with it its neighbours' residuals: measured against that raised scatter it stood 4.3 deviations
// off and was kept (0.014 degrees of error in the stored spline); against the others' own scatter
// it stands 16 off.
TEST(SmoothLawCheck, PairAtTheEndIsMeasuredAgainstTheScatterOfTheOthers) {
    const double channels[] = {427.0997,  742.9721,  989.5701,  1201.5873, 1392.2089, 1568.1290, 1891.0710,
                               2042.5786, 2189.5036, 2333.0327, 2473.9822, 2613.2098, 2751.4560, 3027.5172,
                               3166.6897, 3307.5563, 3450.8700, 3597.5870, 3748.7991, 3905.8768};
    const double errors[] = {0.01403,  -0.00052, 0.00026,  0.00010,  -0.00043, 0.00103,  0.00004,
                             0.00007,  0.00033,  -0.00083, -0.00039, -0.00007, -0.00064, -0.00020,
                             -0.00023, -0.00040, 0.00016,  0.00021,  -0.00002, 0.00008};
    auto pairs = [&](double firstError) {
        std::vector<MatchedReflection> list;
        for (std::size_t i = 0; i < std::size(channels); ++i) {
            MatchedReflection pair;
            pair.channel = channels[i];
            pair.twoTheta = curvedLaw(channels[i]) + (i == 0 ? firstError : errors[i]);
            pair.sigmaChannel = 0.015;
            list.push_back(pair);
        }
        return list;
    };
    auto moved = pairs(errors[0]);
    EXPECT_EQ(dropPairsOffTheLaw(moved), 1u);
    EXPECT_EQ(moved.front().channel, channels[1]);
    auto good = pairs(-0.0003);
    EXPECT_EQ(dropPairsOffTheLaw(good), 0u);
}

}  // namespace
}  // namespace s2t::peaks
