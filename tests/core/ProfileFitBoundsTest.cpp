#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "peaks/ProfileFit.h"

namespace s2t::peaks {
namespace {

constexpr int kLines = 40;
constexpr double kSpacing = 70.0, kFwhm = 6.0, kHeight = 5000.0, kBackground = 100.0;

double truePosition(int k) { return 35.0 + kSpacing * k; }

// Forty well separated lines on a flat background, counts without noise.
std::vector<double> manyLines() {
    std::vector<double> counts(static_cast<std::size_t>(kLines * kSpacing), kBackground);
    for (int k = 0; k < kLines; ++k)
        for (std::size_t i = 0; i < counts.size(); ++i)
            counts[i] += doubletProfile({truePosition(k), kHeight, kFwhm, 0.5}, 0.0, 0.0, static_cast<double>(i));
    return counts;
}

ProfileFitRequest requestFor(int firstLine, int lines, std::size_t last) {
    ProfileFitRequest request;
    request.first = static_cast<std::size_t>(firstLine * kSpacing);
    request.last = last;
    for (int k = firstLine; k < firstLine + lines; ++k)
        request.start.push_back({truePosition(k) + 0.3, kHeight, kFwhm, 0.5});
    return request;
}

// A window across a whole scan with dozens of lines (what broad plateaus and runs of spikes gave
// the calibration from a scan) is refused at once: each of its iterations took as long as a
// thousand doublet fits, and a calibration made hundreds of them.
TEST(ProfileFit, RefusesFitsBeyondTheLargestAndFitsTheSameLinesInSmallerWindows) {
    const auto counts = manyLines();
    const auto whole = fitProfiles(counts, requestFor(0, kLines, counts.size() - 1));
    EXPECT_FALSE(whole.ok);
    EXPECT_EQ(whole.iterations, 0);
    EXPECT_TRUE(whole.lines.empty());

    for (int first = 0; first < kLines; first += 10) {
        const auto request = requestFor(first, 10, static_cast<std::size_t>((first + 10) * kSpacing) - 1);
        const double size = static_cast<double>(request.last - request.first + 1) * (2 + 4 * 10) * (2 + 4 * 10);
        ASSERT_LT(size, kLargestFit);
        const auto part = fitProfiles(counts, request);
        ASSERT_TRUE(part.ok) << first;
        for (int k = 0; k < 10; ++k)
            EXPECT_NEAR(part.lines[static_cast<std::size_t>(k)].line.position, truePosition(first + k), 0.01);
    }
}

}  // namespace
}  // namespace s2t::peaks
