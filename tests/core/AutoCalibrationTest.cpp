#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "peaks/AutoCalibration.h"
#include "peaks/MatchQuality.h"
#include "platform/Messages.h"
#include "support/SyntheticScan.h"

namespace s2t::peaks {
namespace {

using test::poissonCounts;
using test::siliconReflections;
using test::SyntheticScan;

constexpr double kSiliconA = 5.431179;

std::vector<double> anglesOf(const std::vector<test::SyntheticReflection>& reflections) {
    std::vector<double> angles;
    for (const auto& r : reflections) angles.push_back(r.twoTheta);
    return angles;
}

SyntheticScan siliconScan() {
    SyntheticScan scan;
    scan.K = 10.9;
    scan.C = 0.0269;
    scan.reflections = siliconReflections(kSiliconA, 1.5406, 12000.0);
    return scan;
}

AutoCalibrationSettings startingAt(double K, double C) {
    AutoCalibrationSettings settings;
    settings.startK = K;
    settings.startC = C;
    return settings;
}

// The largest distance between the fitted line and the true law over the matched reflections.
double largestError(const AutoCalibrationResult& result, const SyntheticScan& scan) {
    double largest = 0.0;
    const double low = result.pairs.front().channel, high = result.pairs.back().channel;
    for (double channel = low; channel <= high; channel += 1.0)
        largest = std::max(largest, std::fabs(result.line.K + result.line.C * channel - scan.twoThetaAt(channel)));
    return largest;
}

TEST(AutoCalibration, FindsTheLineFromAPoorStart) {
    const SyntheticScan scan = siliconScan();
    const auto counts = poissonCounts(scan.expected(), 5);
    const auto standard = anglesOf(siliconReflections(kSiliconA, 1.5406, 1.0));
    // One degree off in K and three per cent in C, both ways.
    for (const auto& [K, C] : {std::pair{scan.K + 1.0, scan.C * 1.03}, std::pair{scan.K - 1.0, scan.C * 0.97},
                               std::pair{scan.K - 1.0, scan.C * 1.03}}) {
        const auto result = calibrateFromScan(counts, standard, startingAt(K, C));
        ASSERT_TRUE(result.ok) << result.refusal;
        EXPECT_EQ(result.pairs.size(), 9u);  // 28 to 114 degrees; 127 lies beyond the scan
        EXPECT_LT(largestError(result, scan), 0.002);
        EXPECT_NEAR(result.line.C, scan.C, 3.0 * result.line.sigmaC + 1e-9);
        EXPECT_NEAR(result.line.K, scan.K, 3.0 * result.line.sigmaK + 1e-9);
        EXPECT_TRUE(result.unmatchedPeaks.empty());
        EXPECT_TRUE(result.missedReflections.empty());
    }
}

TEST(AutoCalibration, MissingReflectionAndExtraPeakChangeNoPair) {
    SyntheticScan scan = siliconScan();
    const auto standard = anglesOf(siliconReflections(kSiliconA, 1.5406, 1.0));
    // The 400 reflection (69.1 degrees) is missing from the scan, and an impurity line sits
    // between 311 and 400.
    const double missing = scan.reflections[3].twoTheta;
    scan.reflections.erase(scan.reflections.begin() + 3);
    scan.impurities = {{62.0, 3000.0}};
    const auto counts = poissonCounts(scan.expected(), 6);
    const auto result = calibrateFromScan(counts, standard, startingAt(scan.K + 0.6, scan.C * 0.98));
    ASSERT_TRUE(result.ok) << result.refusal;
    EXPECT_EQ(result.pairs.size(), 8u);
    ASSERT_EQ(result.missedReflections.size(), 1u);
    EXPECT_DOUBLE_EQ(result.missedReflections[0], missing);
    ASSERT_EQ(result.unmatchedPeaks.size(), 1u);
    EXPECT_NEAR(scan.twoThetaAt(result.unmatchedPeaks[0].channel), 62.0, 0.02);
    EXPECT_LT(largestError(result, scan), 0.002);

    // The order pairing of an XFit peak file would have shifted every later pair by one; here
    // each pair holds its own reflection.
    for (const auto& pair : result.pairs)
        EXPECT_NEAR(scan.twoThetaAt(pair.channel), pair.twoTheta, 4.0 * scan.C * pair.sigmaChannel);
}

TEST(AutoCalibration, ImpurityOnTheFlankOfAReflectionIsFittedApart) {
    SyntheticScan scan = siliconScan();
    const auto standard = anglesOf(siliconReflections(kSiliconA, 1.5406, 1.0));
    scan.impurities = {{scan.reflections[1].twoTheta - 0.35, 2500.0}};
    const auto result = calibrateFromScan(poissonCounts(scan.expected(), 7), standard, startingAt(scan.K, scan.C));
    ASSERT_TRUE(result.ok) << result.refusal;
    EXPECT_EQ(result.pairs.size(), 9u);
    EXPECT_LT(largestError(result, scan), 0.002);
}

TEST(AutoCalibration, RefusesWithFewerThanThreeMatches) {
    SyntheticScan scan = siliconScan();
    scan.reflections.resize(2);
    const auto standard = anglesOf(siliconReflections(kSiliconA, 1.5406, 1.0));
    const auto result = calibrateFromScan(poissonCounts(scan.expected(), 8), standard, startingAt(scan.K, scan.C));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.refusal, messages::tooFewMatches(2, 3));

    // A scan with no peak at all.
    SyntheticScan empty = siliconScan();
    empty.reflections.clear();
    const auto nothing = calibrateFromScan(poissonCounts(empty.expected(), 9), standard, startingAt(scan.K, scan.C));
    EXPECT_FALSE(nothing.ok);
    EXPECT_EQ(nothing.refusal.substr(0, 20), "Only 0 reflections o");
}

// Peaks near many predicted reflections are not yet a calibration: the scan of another
// material, or of noise spikes, is refused instead of being stored as one.
TEST(AutoCalibration, RefusesTheScanOfAnotherMaterialAndOneOfNoiseSpikes) {
    const auto standard = anglesOf(siliconReflections(kSiliconA, 1.5406, 1.0));
    const std::string question = messages::kIsItThisStandard;

    // Another material: its lines (K-alpha doublets) lie a little off the silicon reflections,
    // each near enough to be claimed, but not on one smooth law.
    SyntheticScan other = siliconScan();
    const double offsets[] = {0.09, -0.12, 0.05, -0.08, 0.13, -0.04, 0.1, -0.11, 0.07};
    for (std::size_t i = 0; i < other.reflections.size() && i < std::size(offsets); ++i)
        other.reflections[i].twoTheta += offsets[i];
    const auto material =
        calibrateFromScan(poissonCounts(other.expected(), 11), standard, startingAt(other.K, other.C));
    EXPECT_FALSE(material.ok);
    EXPECT_TRUE(material.refusal.ends_with(question)) << material.refusal;

    // A detector gone wrong: a quarter of the channels, at random, a billion counts.
    std::vector<double> spikes(4096, 20.0);
    std::uint32_t state = 12345;
    for (double& count : spikes) {
        state = state * 1664525u + 1013904223u;
        if ((state >> 16) % 4 == 0) count = 1e9;
    }
    const auto noise = calibrateFromScan(spikes, standard, startingAt(10.9, 0.0269));
    EXPECT_FALSE(noise.ok);
    EXPECT_TRUE(noise.refusal.ends_with(question)) << noise.refusal;
}

TEST(MatchQuality, SpreadAboutASmoothLawAndTheChanceOfMatches) {
    // On a cubic law the pairs lie on the law; moved by a width each way, they scatter by about one.
    std::vector<PairOnLaw> pairs;
    for (double channel : {300.0, 800.0, 1500.0, 2100.0, 2900.0, 3600.0}) {
        const double u = channel / 4096.0;
        pairs.push_back({channel, 10.0 + 0.027 * channel + 0.1 * u * u * (1.0 - u), 0.05, 4.0});
    }
    EXPECT_LT(offLawSpread(pairs, 0.027), 1e-6);
    for (std::size_t i = 0; i < pairs.size(); ++i) pairs[i].twoTheta += (i % 2 ? 1.0 : -1.0) * 0.027 * 4.0;
    EXPECT_GT(offLawSpread(pairs, 0.027), 0.5);
    EXPECT_TRUE(std::isnan(offLawSpread(std::span(pairs).first(2), 0.027)));

    // One peak in 100 channels and a window of 5 either side: one prediction in ten finds it.
    EXPECT_NEAR(chanceOfMatches(1, 1, 1, 100, 5.0), 0.1, 1e-12);
    EXPECT_NEAR(chanceOfMatches(2, 1, 1, 100, 5.0), 1.0 - 0.9 * 0.9, 1e-12);
    EXPECT_NEAR(chanceOfMatches(3, 3, 1, 100, 5.0), 1e-3, 1e-12);
    EXPECT_EQ(chanceOfMatches(5, 0, 1, 100, 5.0), 1.0);
    EXPECT_EQ(chanceOfMatches(5, 2, 4000, 100, 5.0), 1.0);  // more peaks than room: every window holds one
}

TEST(AutoCalibration, MonochromaticScanWithoutTwinsAndTheSameResultEveryRun) {
    SyntheticScan scan = siliconScan();
    scan.alpha2 = 0.0;
    const auto counts = poissonCounts(scan.expected(), 10);
    const auto standard = anglesOf(siliconReflections(kSiliconA, 1.5406, 1.0));
    AutoCalibrationSettings settings = startingAt(scan.K + 0.3, scan.C);
    settings.alpha2Wavelength = 0.0;
    const auto first = calibrateFromScan(counts, standard, settings);
    ASSERT_TRUE(first.ok) << first.refusal;
    EXPECT_LT(largestError(first, scan), 0.002);
    for (const auto& pair : first.pairs) EXPECT_EQ(pair.alpha2Offset, 0.0);
    const auto second = calibrateFromScan(counts, standard, settings);
    auto bits = [](const AutoCalibrationResult& r) {
        std::vector<double> values = {r.line.K, r.line.C, r.line.sigmaK, r.line.sigmaC, r.storedK, r.storedC};
        for (const auto& pair : r.pairs) values.insert(values.end(), {pair.channel, pair.sigmaChannel, pair.residual});
        return values;
    };
    const auto a = bits(first), b = bits(second);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(double)), 0);
}

TEST(AutoCalibration, UncertaintiesOfKAndCAgreeWithTheScatterOfRepeatedScans) {
    const SyntheticScan scan = siliconScan();
    const auto expected = scan.expected();
    const auto standard = anglesOf(siliconReflections(kSiliconA, 1.5406, 1.0));
    const int runs = 60;
    std::vector<double> Ks, Cs;
    double sumSigmaK = 0.0, sumSigmaC = 0.0;
    for (int run = 0; run < runs; ++run) {
        const auto result = calibrateFromScan(poissonCounts(expected, 500 + static_cast<std::uint32_t>(run)), standard,
                                              startingAt(scan.K, scan.C));
        ASSERT_TRUE(result.ok) << run;
        Ks.push_back(result.line.K);
        Cs.push_back(result.line.C);
        sumSigmaK += result.line.sigmaK;
        sumSigmaC += result.line.sigmaC;
    }
    auto scatter = [runs](const std::vector<double>& values) {
        double mean = 0.0, variance = 0.0;
        for (double v : values) mean += v / runs;
        for (double v : values) variance += (v - mean) * (v - mean) / (runs - 1);
        return std::sqrt(variance);
    };
    // From 60 runs a standard deviation is known to about 9 %; the reported uncertainties are
    // scaled up by the reduced chi-square when it exceeds 1, which adds up to about 15 %.
    EXPECT_NEAR(sumSigmaK / runs / scatter(Ks), 1.05, 0.3);
    EXPECT_NEAR(sumSigmaC / runs / scatter(Cs), 1.05, 0.3);
}

}  // namespace
}  // namespace s2t::peaks
