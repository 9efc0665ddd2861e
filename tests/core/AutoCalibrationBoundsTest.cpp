#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "peaks/AutoCalibration.h"
#include "platform/Messages.h"
#include "support/SyntheticScan.h"

namespace s2t::peaks {
namespace {

// A standard of more distinct reflections than kMostReflections is refused before the first
// guess, which pairs every two strong peaks with every two reflections (corundum for 0.3
// Angstrom, 5920 reflections, took a minute and a half). Repeated values count once.
TEST(AutoCalibration, RefusesStandardsOfMoreReflectionsThanItMatches) {
    test::SyntheticScan scan;
    scan.K = 10.9;
    scan.C = 0.0269;
    scan.reflections = test::siliconReflections(5.431179, 1.5406, 12000.0);
    const auto counts = test::poissonCounts(scan.expected(), 3);
    std::vector<double> standard;
    for (const auto& reflection : scan.reflections) standard.push_back(reflection.twoTheta);
    // Beyond the scan: they change nothing of the calibration but the count.
    for (std::size_t i = 0; standard.size() < kMostReflections; ++i) standard.push_back(1000.0 + 0.01 * i);
    AutoCalibrationSettings settings;
    settings.startK = scan.K + 0.3;
    settings.startC = scan.C * 1.01;

    standard.push_back(standard.back());
    const auto atTheLimit = calibrateFromScan(counts, standard, settings);
    EXPECT_TRUE(atTheLimit.ok) << atTheLimit.refusal;

    standard.push_back(2000.0);
    const auto beyond = calibrateFromScan(counts, standard, settings);
    EXPECT_FALSE(beyond.ok);
    EXPECT_EQ(beyond.refusal, messages::tooManyReflections(2001, 2000));
    EXPECT_TRUE(beyond.pairs.empty());
    EXPECT_EQ(beyond.peaks.size(), atTheLimit.peaks.size());
}

}  // namespace
}  // namespace s2t::peaks
