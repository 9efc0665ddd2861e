// Scans that laboratories produce and the first calibrations from a scan got wrong: a scan that
// starts past the first reflections, the dense broad lines of a short wavelength, the close lines
// of corundum, and pairs that end well inside the scan.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calibration/Spline.h"
#include "peaks/AutoCalibration.h"
#include "peaks/CrowdedPairs.h"
#include "peaks/EndGuards.h"
#include "platform/NumberText.h"
#include "standards/StandardMaker.h"
#include "support/SyntheticScan.h"

namespace s2t::peaks {
namespace {

using test::poissonCounts;
using test::SyntheticReflection;
using test::SyntheticScan;

AutoCalibrationSettings startingAt(double K, double C, double alpha1 = 1.5406, double alpha2 = 1.54443) {
    AutoCalibrationSettings settings;
    settings.startK = K;
    settings.startC = C;
    settings.wavelength = alpha1;
    settings.alpha2Wavelength = alpha2;
    return settings;
}

double largestLineError(const AutoCalibrationResult& result, const SyntheticScan& scan) {
    double largest = 0.0;
    for (double channel = result.pairs.front().channel; channel <= result.pairs.back().channel; channel += 1.0)
        largest = std::max(largest, std::fabs(result.line.K + result.line.C * channel - scan.twoThetaAt(channel)));
    return largest;
}

std::vector<double> angles(const std::vector<SyntheticReflection>& reflections) {
    std::vector<double> list;
    for (const auto& r : reflections) list.push_back(r.twoTheta);
    return list;
}

// The lines of a shipped material for a wavelength, with heights that vary from line to line.
std::vector<SyntheticReflection> materialLines(const char* name, double wavelength, double strongest) {
    std::vector<SyntheticReflection> lines;
    const auto texts = reflectionAngleTexts(*findReferenceMaterial(name), wavelength);
    for (std::size_t i = 0; i < texts.size(); ++i)
        lines.push_back({parseLeadingDouble(texts[i]), strongest * (0.15 + 0.85 * std::fabs(std::sin(1.7 * i)))});
    return lines;
}

// Scans that start past silicon's first lines (the 111 at 28 degrees, up to the 311 at 56): at high
// angles K-alpha1 and K-alpha2 are resolved, and a line that puts every reflection on its K-alpha2 twin matches as many
// peaks as the true line (both lines of the low-angle doublets, the twins of the others) unless the K-alpha1 peaks it
// leaves unexplained count against it. It was taken, and the fits there found two reflections: the scan starting at 51
// degrees was refused.
TEST(AutoCalibrationHardScans, ScanStartingPastTheFirstReflectionsIsNotMatchedOnTheTwins) {
    for (const double start : {49.0, 51.0, 53.0, 55.0}) {
        SyntheticScan scan;
        scan.K = start;
        scan.C = 0.0279;
        scan.fwhmU = 0.006;
        scan.fwhmW = 0.004;
        scan.reflections = test::siliconReflections(5.431179, 1.5406, 8000.0);
        const auto standard = angles(scan.reflections);
        const auto counts = poissonCounts(scan.expected(), 21);
        const auto result = calibrateFromScan(counts, standard, startingAt(scan.K - 0.4, scan.C * 1.003));
        ASSERT_TRUE(result.ok) << start << ": " << result.refusal;
        EXPECT_GE(result.pairs.size(), 7u) << start;
        EXPECT_LT(largestLineError(result, scan), 0.002) << start;
    }
}

// CeO2 at Mo K-alpha with lines five times the usual width: above 80 degrees the reflections'
// windows overlap in one run of a dozen and more. Fitted as one, that run was refused as too
// costly and every reflection in it lost (a stored spline that ran away beyond the last pair), or
// took seconds; each is now fitted with its nearest neighbours.
TEST(AutoCalibrationHardScans, DenseRunOfBroadLinesIsFittedReflectionByReflection) {
    const double mo1 = findAnode("Mo")->alpha1, mo2 = findAnode("Mo")->alpha2;
    SyntheticScan scan;
    scan.K = 12.7;
    scan.C = 0.02384;
    scan.alpha1 = mo1;
    scan.alpha2 = mo2;
    scan.fwhmScale = 5.0;
    scan.background = 200.0;
    scan.reflections = materialLines("CeO2", mo1, 12000.0);
    const auto counts = poissonCounts(scan.expected(), 22);
    const auto result = calibrateFromScan(counts, angles(scan.reflections), startingAt(12.5, 0.0240, mo1, mo2));
    ASSERT_TRUE(result.ok) << result.refusal;
    EXPECT_LT(largestLineError(result, scan), 0.002);
    // Pairs reach into the dense run at the scan's end.
    EXPECT_GT(result.pairs.back().twoTheta, 95.0);
}

MatchedReflection pairAt(double channel, double sigma) {
    MatchedReflection pair;
    pair.channel = channel;
    pair.twoTheta = 10.0 + 0.027 * channel;
    pair.sigmaChannel = sigma;
    return pair;
}

TEST(AutoCalibrationHardScans, OfTwoCrowdedPairsTheLessCertainGoes) {
    // Evenly spread pairs, as a cubic standard's, lose none.
    std::vector<MatchedReflection> even;
    for (double channel : {300.0, 700.0, 1000.0, 1500.0, 1800.0, 2300.0, 2600.0, 3100.0})
        even.push_back(pairAt(channel, 0.02));
    EXPECT_EQ(dropCrowdedPairs(even), 0u);
    EXPECT_EQ(even.size(), 8u);

    // Two pairs six channels apart (a quarter of the median interval is 75): the less certain goes,
    // wherever it stands in the list.
    std::vector<MatchedReflection> crowded = even;
    crowded.insert(crowded.begin() + 2, pairAt(1506.0, 0.05));
    crowded.push_back(pairAt(2594.0, 0.01));  // more certain than its neighbour at 2600
    EXPECT_EQ(dropCrowdedPairs(crowded), 2u);
    std::vector<double> kept;
    for (const auto& pair : crowded) kept.push_back(pair.channel);
    EXPECT_EQ(kept, (std::vector<double>{300.0, 700.0, 1000.0, 1500.0, 1800.0, 2300.0, 3100.0, 2594.0}));

    // Five pairs are never thinned.
    std::vector<MatchedReflection> few{pairAt(100.0, 0.02), pairAt(105.0, 0.03), pairAt(900.0, 0.02),
                                       pairAt(1700.0, 0.02), pairAt(2500.0, 0.02)};
    EXPECT_EQ(dropCrowdedPairs(few), 0u);
}

// Pairs that end at channel 2000 of a 4096-channel scan (its last reflections not found): two
// mean intervals out leaves half the scan beyond the guard, where the spline would be the cubic of
// its last interval. With the scan's size the guard goes to its last channel.
TEST(AutoCalibrationHardScans, GuardGoesToTheScansEndWhenThePairsEndFarInside) {
    auto law = [](double channel) { return 10.9 + 0.0271 * channel + 2e-9 * channel * channel; };
    const double noise[] = {0.0, 0.0006, -0.0004, 0.0005, -0.0006, 0.0003};
    std::vector<CalibrationPoint> pairs;
    for (std::size_t i = 0; i < std::size(noise); ++i) {
        const double channel = 100.0 + 380.0 * static_cast<double>(i);
        pairs.push_back({channel, parseLeadingDouble(formatFixed(law(channel) + noise[i], 4)), 0.0});
    }
    auto largestError = [&](std::vector<CalibrationPoint> points, double from, double to) {
        spline(std::span<CalibrationPoint>(points), true);
        double largest = 0.0;
        for (double channel = from; channel <= to; channel += 1.0)
            largest =
                std::max(largest, std::fabs(splint(std::span<const CalibrationPoint>(points), channel) - law(channel)));
        return largest;
    };
    auto withGuards = [&](std::size_t channels) {
        std::vector<CalibrationPoint> points = pairs;
        const auto guards = endGuards(pairs, channels);
        EXPECT_EQ(guards.size(), 2u);
        points.insert(points.end(), guards.begin(), guards.end());
        return points;
    };
    const auto guards = endGuards(pairs, 4096);
    ASSERT_EQ(guards.size(), 2u);
    EXPECT_EQ(guards[0].channel, -660.0);  // two mean intervals below the first pair, outside the scan
    EXPECT_EQ(guards[1].channel, 4095.0);
    // Beyond the pairs the spline follows their noisy end curvature either way, but no longer as the
    // cubic of the last interval: 0.16 degrees off at the scan's end became 0.066.
    const double runaway = largestError(withGuards(0), 2000.0, 4095.0);
    EXPECT_GT(runaway, 0.1);
    EXPECT_LT(largestError(withGuards(4096), 2000.0, 4095.0), 0.5 * runaway);
    // Between the pairs the spline is the same either way (to the option file's four decimals).
    EXPECT_LT(std::fabs(largestError(withGuards(4096), 100.0, 2000.0) - largestError(withGuards(0), 100.0, 2000.0)),
              2e-4);

    // Pairs that reach to within a mean interval of the scan's ends keep the guards they had.
    const auto near = endGuards(pairs, 2100);
    const auto free = endGuards(pairs);
    ASSERT_EQ(near.size(), 2u);
    ASSERT_EQ(free.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(near[i].channel, free[i].channel);
        EXPECT_EQ(near[i].twoTheta, free[i].twoTheta);
    }
}

}  // namespace
}  // namespace s2t::peaks
