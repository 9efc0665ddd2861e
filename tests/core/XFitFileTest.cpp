#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/ScriptedPlatform.h"
#include "standards/XFitFile.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::TempDir;
using test::writeFile;

const PlatformCall kNoPeaks{"message", "No Points", "There were no points in the XFit file."};
const PlatformCall kUnrecognised{"message", "No Points",
                                 "The layout of the XFit file was not recognised."};

// A line with each word starting at its given index, spaces in between.
std::string columns(const std::vector<std::pair<std::size_t, std::string>>& words) {
    std::string line;
    for (const auto& [index, word] : words) {
        if (line.size() < index) line.resize(index, ' ');
        line.replace(index, word.size(), word);
    }
    return line;
}

struct Peaks {
    int kind = 0;
    bool ok = false;
    std::vector<double> observed;
    std::vector<PlatformCall> calls;
};

// Finds the layout of an XFit file holding text and reads its peaks, over a list that held a
// value, as the standards window does.
Peaks readPeaks(const std::string& text) {
    TempDir dir;
    writeFile(dir.file("peaks.txt"), text);
    TextFile file(dir.file("peaks.txt"));
    ScriptedPlatform platform;
    Peaks peaks;
    peaks.observed = {99.0};
    peaks.kind = findXFitType(file);
    peaks.ok = readXFitFile(file, peaks.observed, peaks.kind, platform);
    peaks.calls = platform.calls;
    return peaks;
}

TEST(XFitLayout, PlainListOfPeakPositions) {
    auto peaks = readPeaks("28.44\r\n47.30\r\n56.12\r\n");
    EXPECT_EQ(peaks.kind, 0);
    ASSERT_TRUE(peaks.ok);
    EXPECT_EQ(peaks.observed, (std::vector<double>{28.44, 47.30, 56.12}));
    EXPECT_TRUE(peaks.calls.empty());

    // The first word may hold tabs; other words on a line are ignored; LF line ends too.
    peaks = readPeaks("655.1\t1200\n1353.7 800\n");
    EXPECT_EQ(peaks.kind, 0);
    EXPECT_EQ(peaks.observed, (std::vector<double>{655.1, 1353.7}));

    // The list ends at the first empty line; a last line without a line feed is not read.
    peaks = readPeaks("655\n1353\n\n1681\n");
    EXPECT_EQ(peaks.observed, (std::vector<double>{655, 1353}));
    peaks = readPeaks("655\n1353");
    EXPECT_EQ(peaks.observed, (std::vector<double>{655}));
}

TEST(XFitLayout, SignsExponentsAndWordsAreNotRecognised) {
    for (const std::string first : {"-28.44", "2.8e1", "+28.44", "Peak list", "28,44"}) {
        auto peaks = readPeaks(first + "\r\n47.30\r\n");
        EXPECT_EQ(peaks.kind, kXFitUnrecognised) << first;
        EXPECT_FALSE(peaks.ok) << first;
        EXPECT_TRUE(peaks.observed.empty()) << first;
        EXPECT_EQ(peaks.calls, (std::vector<PlatformCall>{kUnrecognised})) << first;
    }
    // 32 characters are still a short line: a header must be longer.
    std::string words32 = columns({{0, "Peak"}, {25, "Th2"}, {29, "Int"}});
    ASSERT_EQ(words32.size(), 32u);
    EXPECT_EQ(readPeaks(words32 + "\n1 2\n").kind, kXFitUnrecognised);
    // A long first line with Th2 in neither column.
    EXPECT_EQ(readPeaks(columns({{0, "Peak"}, {24, "Th2"}, {47, "Th2"}, {60, "x"}}) + "\n").kind,
              kXFitUnrecognised);
}

TEST(XFitLayout, HeaderWithTh2AtIndex25) {
    const std::string header = columns({{0, "Peak"}, {10, "Height"}, {25, "Th2"}, {35, "FWHM"}});
    const std::string row1 = columns({{3, "1"}, {10, "1520.5"}, {23, "655.2313"}, {35, "3.1"}});
    const std::string row2 = columns({{3, "2"}, {10, "980.0"}, {24, "1353.9"}, {35, "2.9"}});
    // Index 23 inside a number: the rest of the number is taken.
    const std::string row3 = columns({{3, "3"}, {10, "410.0"}, {22, "71681.5"}, {35, "3.0"}});
    auto peaks = readPeaks(header + "\r\n" + row1 + "\r\n" + row2 + "\r\n" + row3 + "\r\n");
    EXPECT_EQ(peaks.kind, 23);
    ASSERT_TRUE(peaks.ok);
    EXPECT_EQ(peaks.observed, (std::vector<double>{655.2313, 1353.9, 1681.5}));
    EXPECT_TRUE(peaks.calls.empty());

    // The label is compared without case.
    EXPECT_EQ(readPeaks(columns({{0, "Peak"}, {25, "TH2"}, {40, "x"}}) + "\n").kind, 23);
}

TEST(XFitLayout, HeaderWithTh2AtIndex48) {
    const std::string header = columns({{0, "Peak"}, {25, "Height"}, {48, "th2"}, {58, "FWHM"}});
    const std::string row1 = columns({{3, "1"}, {25, "1520.5"}, {42, "655.25"}, {58, "3.1"}});
    const std::string row2 = columns({{3, "2"}, {25, "980.0"}, {44, "1353.75"}, {58, "2.9"}});
    auto peaks = readPeaks(header + "\n" + row1 + "\n" + row2 + "\n\n");
    EXPECT_EQ(peaks.kind, 42);
    ASSERT_TRUE(peaks.ok);
    EXPECT_EQ(peaks.observed, (std::vector<double>{655.25, 1353.75}));
}

TEST(XFitLayout, ShortDataLinesAreReadInsideTheLine) {
    const std::string header = columns({{0, "Peak"}, {25, "Height"}, {48, "Th2"}, {58, "FWHM"}});
    auto peaks = readPeaks(header + "\n1\n" + columns({{42, "655.5"}}) + "\n");
    EXPECT_EQ(peaks.kind, 42);
    EXPECT_EQ(peaks.observed, (std::vector<double>{0.0, 655.5}));
}

TEST(XFitLayout, FilesWithoutPeaksAreReported) {
    const std::string header = columns({{0, "Peak"}, {25, "Th2"}, {35, "FWHM"}});
    for (const std::string& text : {std::string(), std::string("\n655\n"), header + "\n",
                                   header + "\n\n655\n", header, std::string("655")}) {
        auto peaks = readPeaks(text);
        EXPECT_NE(peaks.kind, kXFitUnrecognised) << text;
        EXPECT_FALSE(peaks.ok) << text;
        EXPECT_TRUE(peaks.observed.empty()) << text;
        EXPECT_EQ(peaks.calls, (std::vector<PlatformCall>{kNoPeaks})) << text;
    }
}

TEST(XFitLayout, UnknownKindIsRefusedWithoutReading) {
    TempDir dir;
    writeFile(dir.file("peaks.txt"), "655\n1353\n");
    TextFile file(dir.file("peaks.txt"));
    ScriptedPlatform platform;
    std::vector<double> observed = {1.0};
    EXPECT_FALSE(readXFitFile(file, observed, kXFitUnrecognised, platform));
    EXPECT_FALSE(readXFitFile(file, observed, 7, platform));
    EXPECT_TRUE(observed.empty());
    EXPECT_EQ(platform.calls, (std::vector<PlatformCall>{kUnrecognised, kUnrecognised}));
}

}  // namespace
}  // namespace s2t
