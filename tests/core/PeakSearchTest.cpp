#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "peaks/PeakSearch.h"
#include "peaks/ProfileFit.h"
#include "support/SyntheticScan.h"

namespace s2t::peaks {
namespace {

using test::poissonCounts;
using test::SyntheticScan;

// A scan on the straight law 2-theta = 0.027 x channel + 10.9 (no bow).
SyntheticScan lineScan() {
    SyntheticScan scan;
    scan.K = 10.9;
    scan.C = 0.027;
    return scan;
}

double channelOf(const SyntheticScan& scan, double twoTheta) { return (twoTheta - scan.K) / scan.C; }

TEST(PeakSearch, FindsSingleLinesOfEveryStrengthAndNothingInTheNoise) {
    SyntheticScan scan = lineScan();
    scan.alpha2 = 0.0;
    scan.reflections = {{25.0, 150.0}, {40.0, 2000.0}, {70.0, 20000.0}, {100.0, 400.0}};
    const auto counts = poissonCounts(scan.expected(), 11);
    const auto peaks = findPeaks(counts);
    ASSERT_EQ(peaks.size(), 4u);
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        const double truth = channelOf(scan, scan.reflections[i].twoTheta);
        EXPECT_NEAR(peaks[i].channel, truth, 0.6) << i;
        EXPECT_GT(peaks[i].significance, 5.0);
        EXPECT_GT(peaks[i].fwhm, 1.0);
    }
    // Stronger lines are more significant; the heights are first estimates within a third.
    EXPECT_GT(peaks[2].significance, peaks[1].significance);
    EXPECT_NEAR(peaks[2].height, 20000.0, 20000.0 / 3);

    // Counting noise alone, at two levels, gives no peak.
    for (double level : {5.0, 3000.0}) {
        SyntheticScan flat = lineScan();
        flat.background = level;
        EXPECT_TRUE(findPeaks(poissonCounts(flat.expected(), 12)).empty()) << level;
    }
}

// The doublet's twin at the channel Bragg's law gives for K-alpha2 under the true line.
double alpha2Offset(const SyntheticScan& scan, double channel) {
    const double alpha1 = scan.twoThetaAt(channel);
    const double alpha2 = std::asin(scan.alpha2 / scan.alpha1 * std::sin(alpha1 * M_PI / 360.0)) * 360.0 / M_PI;
    return (alpha2 - alpha1) / scan.C;
}

ProfileFitResult fitAround(const std::vector<double>& counts, const SyntheticScan& scan, const FoundPeak& peak,
                           double startPosition) {
    ProfileFitRequest request;
    const double offset = alpha2Offset(scan, startPosition);
    request.first = static_cast<std::size_t>(startPosition - 3 * peak.fwhm - 3);
    request.last = static_cast<std::size_t>(startPosition + offset + 3 * peak.fwhm + 3);
    request.start = {{startPosition, peak.height / 1.5, peak.fwhm, 0.5}};
    request.alpha2Offset = [&scan](double channel) { return alpha2Offset(scan, channel); };
    request.alpha2Ratio = scan.alpha2Ratio;
    return fitProfiles(counts, request);
}

TEST(PeakSearch, BarelySplitDoubletIsFittedAsOneReflectionWithItsTwin) {
    // At 28.4 degrees K-alpha2 lies 0.07 degrees (2.6 channels) above K-alpha1, less than the
    // width of either line (3.7 channels here).
    SyntheticScan scan = lineScan();
    scan.fwhmScale = 1.3;
    scan.reflections = {{28.4, 8000.0}};
    const auto counts = poissonCounts(scan.expected(), 21);
    const auto peaks = findPeaks(counts);
    // The search sees the doublet as one peak, or as the K-alpha1 line with the twin's shoulder
    // beside it where the finest width parts them.
    ASSERT_GE(peaks.size(), 1u);
    ASSERT_LE(peaks.size(), 2u);
    const double truth = channelOf(scan, 28.4);
    EXPECT_NEAR(peaks[0].channel, truth, 1.5);
    if (peaks.size() == 2) {
        EXPECT_NEAR(peaks[1].channel, truth + alpha2Offset(scan, truth), 1.0);
        EXPECT_GT(peaks[0].significance, peaks[1].significance);
    }

    const auto fit = fitAround(counts, scan, peaks[0], peaks[0].channel - 0.9);
    ASSERT_TRUE(fit.ok);
    EXPECT_NEAR(fit.lines[0].line.position, truth, 4.0 * fit.lines[0].sigmaPosition);
    EXPECT_LT(fit.lines[0].sigmaPosition, 0.05);
    EXPECT_NEAR(fit.lines[0].line.height, 8000.0, 300.0);

    // One line without its twin is pulled by about a third of the split.
    ProfileFitRequest single;
    single.first = static_cast<std::size_t>(truth - 15);
    single.last = static_cast<std::size_t>(truth + 18);
    single.start = {{peaks[0].channel, peaks[0].height, peaks[0].fwhm, 0.5}};
    const auto wrong = fitProfiles(counts, single);
    ASSERT_TRUE(wrong.ok);
    EXPECT_GT(wrong.lines[0].line.position - truth, 0.5);
}

TEST(PeakSearch, FullySplitDoubletIsTwoPeaksAndOneReflection) {
    // At 136.9 degrees the twin lies 0.9 degrees (33 channels) above K-alpha1.
    SyntheticScan scan = lineScan();
    scan.K = 30.0;
    scan.reflections = {{136.9, 6000.0}};
    const auto counts = poissonCounts(scan.expected(), 22);
    const auto peaks = findPeaks(counts);
    ASSERT_EQ(peaks.size(), 2u);
    const double truth = channelOf(scan, 136.9);
    const double twin = truth + alpha2Offset(scan, truth);
    EXPECT_NEAR(peaks[0].channel, truth, 1.0);
    EXPECT_NEAR(peaks[1].channel, twin, 1.0);
    EXPECT_GT(peaks[0].significance, peaks[1].significance);

    const auto fit = fitAround(counts, scan, peaks[0], peaks[0].channel);
    ASSERT_TRUE(fit.ok);
    EXPECT_NEAR(fit.lines[0].line.position, truth, 4.0 * fit.lines[0].sigmaPosition);
    EXPECT_NEAR(fit.lines[0].alpha2Offset, twin - truth, 0.05);
}

TEST(ProfileFit, PositionUncertaintyAgreesWithTheScatterOfRepeatedScans) {
    SyntheticScan scan = lineScan();
    scan.reflections = {{47.3, 3000.0}};
    const double truth = channelOf(scan, 47.3);
    const auto expected = scan.expected();
    const FoundPeak start{truth + 0.8, 3000.0, 3.5, 10.0};
    std::vector<double> positions;
    double sumSigma = 0.0;
    const int runs = 200;
    for (int run = 0; run < runs; ++run) {
        const auto fit =
            fitAround(poissonCounts(expected, 1000 + static_cast<std::uint32_t>(run)), scan, start, truth + 0.8);
        ASSERT_TRUE(fit.ok) << run;
        positions.push_back(fit.lines[0].line.position);
        sumSigma += fit.lines[0].sigmaPosition;
    }
    double mean = 0.0;
    for (double p : positions) mean += p / runs;
    double variance = 0.0;
    for (double p : positions) variance += (p - mean) * (p - mean) / (runs - 1);
    const double scatter = std::sqrt(variance);
    const double claimed = sumSigma / runs;
    // The standard error of a standard deviation from 200 runs is 5 %; the fit's uncertainty
    // may be larger by the reduced chi-square it is scaled with, never much smaller.
    EXPECT_NEAR(claimed / scatter, 1.0, 0.2) << "claimed " << claimed << " scatter " << scatter;
    EXPECT_NEAR(mean, truth, 4.0 * scatter / std::sqrt(runs));
}

}  // namespace
}  // namespace s2t::peaks
