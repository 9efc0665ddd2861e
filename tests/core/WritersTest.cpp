#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/OutputFormats.h"
#include "engine/ReadAnyFile.h"
#include "engine/Resampling.h"
#include "engine/ScanReaders.h"
#include "engine/Writers.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::readFile;
using test::TempDir;

// A scan from first to last 2-theta in equal steps, with counts from a function of the index.
Scan evenScan(double first, double last, double step, double (*count)(std::size_t)) {
    Scan scan;
    const auto n = static_cast<std::size_t>(std::llround((last - first) / step)) + 1;
    for (std::size_t i = 0; i < n; ++i) scan.points.push_back({first + step * static_cast<double>(i), count(i), 0.0});
    return scan;
}

double hundredPlusIndex(std::size_t i) { return 100.0 + static_cast<double>(i); }

struct WriterFixture : ::testing::Test {
    // Writes the scan with the writer; returns the file's bytes ("" when none was written).
    std::string write(WriterFunction writer, Scan scan, std::uint16_t options, const char* extension) {
        request.outputFile = dir.file("out");
        request.options = options;
        request.conversion = kLinearConversion;
        const bool written = writer(request, scan, session, platform);
        const std::string path = dir.file(std::string("out.") + extension);
        std::string bytes = written ? readFile(path) : "";
        std::remove(path.c_str());
        return bytes;
    }
    static long countLines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

    TempDir dir;
    Session session;
    ScriptedPlatform platform;
    ConversionRequest request;
};

TEST_F(WriterFixture, TwoThetaListLinesAndOptions) {
    Scan scan;
    scan.points = {{28.783, 1234.0}, {29.4, 1233.5}, {30.1, 7.25}};
    EXPECT_EQ(write(writeTextFileTTheta, scan, 0, "txt"),
              "2-Theta\tCount\r\n28.78300000\t1234\r\n29.40000000\t1234\r\n30.10000000\t7\r\n");
    EXPECT_EQ(write(writeTextFileTTheta, scan, kWholeTwoTheta | kFractionalCounts, "txt"),
              "2-Theta\tCount\r\n29\t1234.0000\r\n29\t1233.5000\r\n30\t  7.2500\r\n");
    session.settings.lineEnd = LineEnd::Lf;
    session.settings.theRangeOptions = {29.0, 30.0};
    EXPECT_EQ(write(writeTextFileTTheta, scan, kRangeLimits, "txt"), "2-Theta\tCount\n29.40000000\t1234\n");
    EXPECT_EQ(write(writeTextFileTTheta, Scan{}, 0, "txt"), "2-Theta\tCount\n");
}

TEST_F(WriterFixture, ChannelListStartsAtFirstChannel) {
    Scan scan;
    scan.points = {{0, 5.0}, {0, 123456789.0}, {0, 2.5}};
    scan.chnHeader.bytes[28] = 100;
    EXPECT_EQ(write(writeTextFileChannels, scan, 0, "txt"),
              "Channel\tCount\r\n100\t       5\r\n101\t123456789\r\n102\t       2\r\n");
    scan.ownAngles = true;  // a GUFI scan lists its indices
    EXPECT_EQ(write(writeTextFileChannels, scan, 0, "txt").substr(15, 12), "0\t       5\r\n");
    // Every count reads as "%8.0f" would print it, on the short path for small whole counts or not.
    for (double count : {0.0, -0.0, 7.0, 9999.0, 10000.0, 0.5, 1.5, 2.5, 9999.5, -3.0, 123456789.0, 1e300}) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "12\t%8.0f\n", count);
        char line[400];
        EXPECT_EQ(std::string(line, writeChannelLine(line, 12, count, LineEnd::Lf)), expected) << count;
    }
}

TEST_F(WriterFixture, ConstantStepGridCutsTheSpanToWholeDegrees) {
    // 10.0 to 80.7 at step 0.25: 280 grid points, the last at 79.75.
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.25};
    const std::string text =
        write(writeTextFileTTheta, evenScan(10.0, 80.7, 0.1, hundredPlusIndex), kConstantStep, "txt");
    EXPECT_EQ(countLines(text), 281);
    EXPECT_NE(text.find("\r\n79.75000000\t"), std::string::npos);
    EXPECT_EQ(text.find("\r\n80.00000000\t"), std::string::npos);
    // A minimum above the first point starts the grid there; one below leaves it at the first point.
    session.settings.theRangeOptions = {12.5, 100.0};
    const std::string limited =
        write(writeTextFileTTheta, evenScan(10.0, 80.7, 0.1, hundredPlusIndex), kConstantStep | kRangeLimits, "txt");
    EXPECT_EQ(limited.substr(0, 37), "2-Theta\tCount\r\n12.50000000\t125\r\n12.75");
    // A single point, or a span under one degree: no grid at all, so no file.
    EXPECT_EQ(write(writeTextFileTTheta, evenScan(10.0, 10.9, 0.1, hundredPlusIndex), kConstantStep, "txt"), "");
    EXPECT_EQ(platform.messages().size(), 1u);
}

TEST_F(WriterFixture, XfitAndLhpmHeadersAndLineBreaks) {
    // 1 degree at step 0.04: 25 values, two full lines then five values and no final break.
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.04};
    const Scan scan = evenScan(10.0, 11.0, 0.01, hundredPlusIndex);
    const std::string xfit = write(writeXFITFile, scan, kConstantStep, "dat");
    const std::string lhpm = write(writeLhpmFile, scan, kConstantStep, "dat");
    EXPECT_EQ(xfit.substr(0, 8), "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(xfit.substr(8), lhpm);
    EXPECT_EQ(lhpm.substr(0, 26), "  10.000   0.040  10.960\r\n");
    const std::string values = lhpm.substr(26);
    EXPECT_EQ(values.substr(0, 82),
              "     100     104     108     112     116     120     124     128     132     136\r\n");
    EXPECT_EQ(values.size(), 25u * 8 + 2 * 2);
    EXPECT_NE(values.back(), '\n');
    // 20 values: the file ends with the line break after the twentieth.
    session.settings.constStepOpts.step = 0.05;
    const std::string twenty = write(writeLhpmFile, scan, kConstantStep, "dat");
    EXPECT_EQ(twenty.substr(twenty.size() - 2), "\r\n");
    EXPECT_EQ(countLines(twenty), 3);
}

TEST_F(WriterFixture, HeaderRangeWithLimitsAndCpiHeader) {
    // The grid line for first 10, step 0.02 and last 80.
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.02};
    session.settings.theRangeOptions = {10.0, 80.0};
    session.settings.CPIOpt = {"CuKa1", 1.5406};
    const Scan scan = evenScan(10.0, 90.0, 0.01, hundredPlusIndex);
    const std::string lhpm = write(writeLhpmFile, scan, kConstantStep | kRangeLimits, "dat");
    EXPECT_EQ(lhpm.substr(0, 26), "  10.000   0.020  80.000\r\n");
    const std::string cpi = write(writeCPIFile, scan, kConstantStep | kRangeLimits, "cpi");
    EXPECT_EQ(cpi.substr(0, 109),
              "SIETRONICS XRD SCAN\r\n10.00000000\r\n80.00000000\r\n0.02000000\r\nCu\r\n1.54060\r\n2026-01-02\r\n1\r\n"
              "KORVANDELT\r\nSCANDATA\r\n");
    // Header and data agree: (last - first) / step + 1 values.
    EXPECT_EQ(countLines(cpi) - 10, 3501);
    EXPECT_EQ(cpi.substr(109, 10), "100\r\n102\r\n");

    // Between two grid points the maximum gives the lower one; without limits the last value.
    session.settings.theRangeOptions = {10.0, 80.011};
    EXPECT_EQ(write(writeLhpmFile, scan, kConstantStep | kRangeLimits, "dat").substr(0, 24),
              "  10.000   0.020  80.000");
    EXPECT_EQ(write(writeLhpmFile, scan, kConstantStep, "dat").substr(0, 24), "  10.000   0.020  89.980");
}

TEST_F(WriterFixture, HeaderEndIsTheLastValueWrittenWhereTheLimitsQuotientIsRounded) {
    // (52.16 - 52.0) / 0.005 rounds to 31.999999999999318, but grid value 32, 52.0 + 32 x 0.005,
    // is 52.16 itself and is written: the header ends there, after 33 values.
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.005};
    session.settings.theRangeOptions = {52.0, 52.16};
    EXPECT_EQ(write(writeLhpmFile, evenScan(50.0, 60.0, 0.01, hundredPlusIndex), kConstantStep | kRangeLimits, "dat"),
              "  52.000   0.005  52.160\r\n"
              "     300     301     301     302     302     302     303     303     304     305\r\n"
              "     305     306     306     306     307     308     308     309     309     309\r\n"
              "     310     310     311     312     312     313     313     313     314     315\r\n"
              "     315     316     316");

    // (93.573 - 13.801) / 0.308 is exactly 259, but 13.801 + 259 x 0.308 is 93.57300000000001,
    // above the limit, and not written: the last value written is grid value 258, 93.265.
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.308};
    session.settings.theRangeOptions = {13.801, 93.573};
    session.settings.CPIOpt = {"Cu", 1.5406};
    const std::string cpi =
        write(writeCPIFile, evenScan(10.0, 100.0, 0.01, hundredPlusIndex), kConstantStep | kRangeLimits, "cpi");
    EXPECT_EQ(cpi.substr(0, 72),
              "SIETRONICS XRD SCAN\r\n13.80100000\r\n93.26500000\r\n0.30800000\r\nCu\r\n1.54060\r\n");
    EXPECT_EQ(cpi.substr(cpi.find("SCANDATA\r\n") + 10, 15), "480\r\n511\r\n542\r\n");
    EXPECT_EQ(countLines(cpi) - 10, 259);
    EXPECT_EQ(cpi.substr(cpi.size() - 12), "8396\r\n8427\r\n");
}

TEST_F(WriterFixture, CpiCountsTargetsAndWideValues) {
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.5};
    session.settings.CPIOpt = {"C", 1.5406};
    Scan scan = evenScan(10.0, 11.0, 0.5, [](std::size_t i) { return i == 1 ? 123456789.0 : 10000000.0 + 0.125; });
    const std::string cpi = write(writeCPIFile, scan, kConstantStep, "cpi");
    EXPECT_NE(cpi.find("\r\nC \r\n"), std::string::npos);
    EXPECT_EQ(cpi.substr(cpi.find("SCANDATA\r\n") + 10), "10000000\r\n123456789\r\n");
    const std::string fractional = write(writeCPIFile, scan, kConstantStep | kFractionalCounts, "cpi");
    EXPECT_EQ(fractional.substr(fractional.find("SCANDATA\r\n") + 10), "10000000.1250\r\n123456789.0000\r\n");

    // XFIT fields: exactly 8 characters stay as they are, wider values get one space before them.
    const std::string lhpm = write(writeLhpmFile, scan, kConstantStep, "dat");
    EXPECT_EQ(lhpm.substr(26), "10000000 123456789");
    scan.points = {{10.0, 12345.678}, {10.5, 123456.5}, {11.0, 1.0}};
    EXPECT_EQ(write(writeLhpmFile, scan, kConstantStep | kFractionalCounts, "dat").substr(26), "12345.68 123456.50");
    scan.points = {{10.0, 123.45}, {10.5, 1.0}, {11.0, 1.0}};
    EXPECT_EQ(write(writeLhpmFile, scan, kConstantStep | kFractionalCounts, "dat").substr(26), "  123.45    1.00");
}

TEST_F(WriterFixture, ConstantStepFilesWithoutAValueAreNotWritten) {
    // An empty scan, and range limits below a scan that starts at 10.9 degrees: the header would
    // announce a last angle below the first. Every grid format refuses, naming the file and why.
    session.settings.constStepOpts = {kSplineInterpolation, 0, 0.01};
    session.settings.theRangeOptions = {0.0, 5.0};
    const Scan late = evenScan(10.9, 30.0, 0.1, hundredPlusIndex);
    const struct {
        WriterFunction writer;
        const char* extension;
        Scan scan;
        std::uint16_t options;
    } cases[] = {
        {writeTextFileTTheta, "txt", Scan{}, kConstantStep},
        {writeCPIFile, "cpi", Scan{}, kConstantStep},
        {writeCPIFile, "cpi", late, kConstantStep | kRangeLimits},
        {writeXFITFile, "dat", late, kConstantStep | kRangeLimits},
        {writeLhpmFile, "dat", late, kConstantStep | kRangeLimits},
        {writeGUFIFile, "guf", late, kConstantStep | kRangeLimits},
        {writeTextFileTTheta, "txt", late, kConstantStep | kRangeLimits},
    };
    for (const auto& c : cases) {
        platform.calls.clear();
        EXPECT_EQ(write(c.writer, c.scan, c.options, c.extension), "") << c.extension;
        ASSERT_EQ(platform.messages().size(), 1u) << c.extension;
        EXPECT_EQ(platform.messages()[0].title, messages::kFileError);
        EXPECT_EQ(platform.messages()[0].text,
                  messages::withPath(messages::kNoValuesFailure, dir.file(std::string("out.") + c.extension)));
        EXPECT_FALSE(test::fileExists(dir.file(std::string("out.") + c.extension)));
    }
    // Without a constant step an empty scan is a list without lines, as it always was.
    platform.calls.clear();
    EXPECT_EQ(write(writeTextFileTTheta, Scan{}, 0, "txt"), "2-Theta\tCount\r\n");
}

TEST_F(WriterFixture, CountsThatRoundToZeroFromBelowArePlusZero) {
    // Counts just below zero: rounded, they are zero and must be written as +0 (GUFI bytes
    // 00 00 00 00, never 00 00 00 80; text "0", never "-0").
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.5};
    const Scan scan = evenScan(10.0, 12.0, 0.5, [](std::size_t i) { return -0.1 * static_cast<double>(i + 1); });
    const std::string bytes = write(writeGUFIFile, scan, kConstantStep, "guf");
    ASSERT_EQ(bytes.size(), 643u + 4 * 4);
    EXPECT_EQ(bytes.substr(643), std::string(16, '\0'));
    const std::string text = write(writeTextFileTTheta, scan, kConstantStep, "txt");
    EXPECT_EQ(text.find("-0"), std::string::npos) << text;
    EXPECT_FALSE(std::signbit(s2t::roundToWhole(-0.4)));
    EXPECT_FALSE(std::signbit(s2t::roundToWhole(-0.0)));
}

TEST_F(WriterFixture, GufiOutputReadsBackUnchanged) {
    session.settings.constStepOpts = {kLinearInterpolation, 1, 0.25};
    const Scan scan = evenScan(10.0, 14.0, 0.1, [](std::size_t i) { return 0.5 * static_cast<double>(i); });
    const std::string bytes = write(writeGUFIFile, scan, kConstantStep | kFractionalCounts, "guf");
    ASSERT_EQ(bytes.size(), 643u + 4 * 16);
    EXPECT_EQ(bytes.substr(19, 624), std::string(624, '\0'));

    test::writeFile(dir.file("back.guf"), bytes);
    ConversionRequest back;
    back.inputFile = dir.file("back.guf");
    back.fileType = kGufiFileType;
    back.conversion = kFileAngles;
    const ReadResult readBack = readAnyFile(back, session.calibration);
    ASSERT_TRUE(readBack);
    const Scan& read = readBack.scan;
    ASSERT_EQ(read.points.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(read.points[i].twoTheta, 10.0 + 0.25 * static_cast<double>(i), 1e-5);
        EXPECT_EQ(read.points[i].count, static_cast<float>(1.25 * static_cast<double>(i)));
    }
    // More than 32767 values do not fit: refused, naming the file, and nothing left behind.
    session.settings.constStepOpts.step = 0.0001;
    EXPECT_EQ(write(writeGUFIFile, evenScan(10.0, 14.0, 0.1, hundredPlusIndex), kConstantStep, "guf"), "");
    ASSERT_FALSE(platform.messages().empty());
    EXPECT_EQ(platform.messages().back().title, messages::kFileError);
    EXPECT_NE(platform.messages().back().text.find(dir.file("out.guf")), std::string::npos);
}

TEST_F(WriterFixture, TooFineAStepIsRefused) {
    session.settings.constStepOpts = {kLinearInterpolation, 0, 1e-7};
    EXPECT_EQ(write(writeTextFileTTheta, evenScan(10.0, 80.0, 1.0, hundredPlusIndex), kConstantStep, "txt"), "");
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].title, messages::kError);
    EXPECT_NE(platform.messages()[0].text.find("1e-07"), std::string::npos);
}

TEST(OutputFormats, TableOfFormats) {
    const char* labels[] = {"Tab Delimited Text File",
                            "XFIT File",
                            "CPI File",
                            "LHPM File",
                            "Binary GUFI File",
                            "XY File (2-theta, count)",
                            "XYE File (2-theta, count, uncertainty)",
                            "GSAS FXYE File",
                            "Powder CIF File"};
    const char* patterns[] = {"*.txt", "*.dat", "*.cpi", "*.dat", "*.guf", "*.xy", "*.xye", "*.fxye", "*.cif"};
    const char* names[] = {"text", "xfit", "cpi", "lhpm", "gufi", "xy", "xye", "fxye", "pdcif"};
    for (int value = 0; value < 9; ++value) {
        const OutputFormatInfo* format = findOutputFormat(value);
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->label, labels[value]);
        EXPECT_EQ(format->pattern, patterns[value]);
        EXPECT_EQ(format->commandLineName, names[value]);
        EXPECT_EQ("*." + std::string(format->extension), format->pattern);
        // Text and the annotated formats hold each point at its own 2-theta; the grid formats cannot.
        EXPECT_EQ(format->constantStepOptional, value == kTextOutput || value >= kXyOutput) << value;
        EXPECT_EQ(format->annotated, value >= kXyOutput) << value;
    }
    EXPECT_EQ(findOutputFormat(9), nullptr);
}

}  // namespace
}  // namespace s2t
