// Scans of other instruments and programs, read through xylib: our own CPI, XFIT and LHPM files
// read back as xyconv reads them, a channel file through CPI and back, hand-made UXD and CSV
// files, files of several blocks, and files xylib refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>

#include <unistd.h>

#include "engine/BatchRun.h"
#include "engine/FileKind.h"
#include "engine/InputFormats.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::fileLines;
using test::readFile;
using test::runCli;
using test::runCommand;
using test::TempDir;
using test::writeFile;

const std::string kExamples = std::string(S2T_SOURCE_DIR) + "/examples/";

// A UXD file of two ranges, as a diffractometer writes it.
const std::string kTwoRangeUxd =
    "; two ranges\r\n_FILEVERSION=1\r\n_SAMPLE='quartz powder'\r\n_WL1=1.540600\r\n_DATE=2024-03-05\r\n\r\n"
    "; Data for range 1\r\n_DRIVE='COUPLED'\r\n_STEPSIZE=0.250000\r\n_START=20.000000\r\n_COUNTS\r\n"
    "    12    15    19    25\r\n    31    28    22\r\n\r\n"
    "; Data for range 2\r\n_DRIVE='COUPLED'\r\n_STEPSIZE=0.500000\r\n_START=40.000000\r\n_COUNTS\r\n"
    "   100   110   120   90   80\r\n";

struct Read {
    int status = -1;
    Scan scan;
    std::vector<PlatformCall> messages;
};

// Reads path as a conversion with the file's own angles would, with the reader the table gives it.
// fileType: the format to read it as (default: the one the table recognises).
Read readAsConversion(const std::string& path, int block = 0, Conversion conversion = kFileAngles,
                      std::optional<std::int32_t> fileType = std::nullopt) {
    ConversionRequest request;
    request.inputFile = path;
    request.fileType = fileType ? *fileType : getFileType(path);
    request.block = block;
    request.conversion = conversion;
    CalibrationState calibration;
    calibration.installStartupValues();
    ReadResult result = readAnyFile(request, calibration);
    ScriptedPlatform platform;
    Read read;
    read.status = showReadMessages(result, platform) ? 0 : -1;
    read.scan = std::move(result.scan);
    read.messages = platform.messages();
    return read;
}

// The point lines of xyconv's output for the file.
std::vector<std::string> xyconvPoints(const std::string& path) {
    std::string output;
    EXPECT_EQ(runCommand("xyconv '" + path + "' -", output), 0) << output;
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

std::vector<std::string> asXyconvPrints(const Scan& scan) {
    std::vector<std::string> lines;
    for (const ScanPoint& point : scan.points) {
        char line[128];
        std::snprintf(line, sizeof line, "%f\t%f", point.twoTheta, point.count);
        lines.push_back(line);
    }
    return lines;
}

std::string refusal(const std::string& path, const std::string& label, const std::string& reason) {
    return messages::notReadableAs(path, label, reason);
}

TEST(XylibInput, OurCpiXfitAndLhpmFilesReadBackAsXyconvReadsThem) {
    TempDir dir;
    for (const char* format : {"cpi", "xfit", "lhpm"}) {
        const std::string out = dir.file(format);
        const auto run = runCli({"convert", "-q", "-f", format, "-s", "0.02", "--range", "12:60", "--fractional-counts",
                                 "-o", out, kExamples + "si-standard.chn"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string written = out + (std::string(format) == "cpi" ? ".cpi" : ".dat");
        const Read read = readAsConversion(written);
        ASSERT_EQ(read.status, 0) << format;
        EXPECT_TRUE(read.scan.ownAngles);
        EXPECT_GT(read.scan.points.size(), 2000u) << format;
        EXPECT_EQ(asXyconvPrints(read.scan), xyconvPoints(written)) << format;
    }
}

// A channel file converted to CPI, and the CPI file converted on to xye with its own angles: every
// 2-theta of the CPI grid and every count comes back, each with the square root of the count as its
// uncertainty, and the wavelength the CPI header holds is named in the xye header.
TEST(XylibInput, ChannelFileThroughCpiToXyeKeepsEveryAngleAndCount) {
    TempDir dir;
    const auto there = runCli({"convert", "-q", "-f", "cpi", "-s", "0.025", "--line-end", "lf", "-o",
                               dir.file("scan.cpi"), kExamples + "corundum.chn"});
    ASSERT_EQ(there.status, 0) << there.err;
    const auto back = runCli({"convert", "-q", "--calibration", "file", "-f", "xye", "--line-end", "lf", "-o",
                              dir.file("back.xye"), dir.file("scan.cpi")});
    ASSERT_EQ(back.status, 0) << back.err;

    const std::vector<std::string> cpi = fileLines(dir.file("scan.cpi"));
    ASSERT_GT(cpi.size(), 100u);
    const double first = parseLeadingDouble(cpi[1]);
    const double step = parseLeadingDouble(cpi[3]);
    std::vector<std::string> xye = fileLines(dir.file("back.xye"));
    EXPECT_NE(std::find(xye.begin(), xye.end(), "# Wavelength: 1.5406 Angstrom"), xye.end());
    std::erase_if(xye, [](const std::string& line) { return line.starts_with("#"); });
    ASSERT_EQ(xye.size(), cpi.size() - 10);
    for (std::size_t i = 0; i < xye.size(); ++i) {
        const double count = parseLeadingDouble(cpi[i + 10]);
        EXPECT_EQ(xye[i], formatFixed(first + step * static_cast<double>(i), 8) + " " + formatFixed(count, 0) + " " +
                              formatFixed(count > 0 ? std::sqrt(count) : 1.0, 4))
            << "point " << i;
    }
}

TEST(XylibInput, AHandMadeUxdFileOfTwoRangesGivesOneOutputPerRange) {
    TempDir dir;
    writeFile(dir.file("quartz.uxd"), kTwoRangeUxd);
    EXPECT_EQ(findInputFormat(getFileType(dir.file("quartz.uxd"))).name, "uxd");

    const Read second = readAsConversion(dir.file("quartz.uxd"), 1);
    ASSERT_EQ(second.status, 0);
    ASSERT_EQ(second.scan.points.size(), 5u);
    EXPECT_EQ(second.scan.points[4].twoTheta, 42.0);
    EXPECT_EQ(second.scan.points[4].count, 80.0);
    const ScanMetadata& metadata = second.scan.metadata;
    ASSERT_TRUE(metadata.wavelength.has_value());
    EXPECT_EQ(*metadata.wavelength, 1.5406);
    EXPECT_EQ(metadata.startDateTime, "2024-03-05");
    EXPECT_EQ(metadata.description, "quartz powder");

    const auto run = runCli({"convert", "-q", "--calibration", "file", "--line-end", "lf", dir.file("quartz.uxd")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("quartz-b1.txt")),
              "2-Theta\tCount\n20.00000000\t12\n20.25000000\t15\n20.50000000\t19\n20.75000000\t25\n"
              "21.00000000\t31\n21.25000000\t28\n21.50000000\t22\n");
    EXPECT_EQ(readFile(dir.file("quartz-b2.txt")),
              "2-Theta\tCount\n40.00000000\t100\n40.50000000\t110\n41.00000000\t120\n41.50000000\t90\n"
              "42.00000000\t80\n");
    EXPECT_FALSE(test::fileExists(dir.file("quartz.txt")));

    // --block picks one range, under the input's own name; one that is not there is refused.
    const auto picked = runCli({"convert", "-q", "--calibration", "file", "--block", "2", "--line-end", "lf", "-o",
                                dir.file("picked.txt"), dir.file("quartz.uxd")});
    ASSERT_EQ(picked.status, 0) << picked.err;
    EXPECT_EQ(readFile(dir.file("picked.txt")), readFile(dir.file("quartz-b2.txt")));
    const auto missing = runCli({"convert", "-q", "--block", "3", "-o", dir.file("none.txt"), dir.file("quartz.uxd")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(
        missing.err,
        "Error: " + refusal(dir.file("quartz.uxd"), "Bruker Diffrac-AT UXD", "it has no block 3 (it holds 2)") + "\n");
    const auto channels =
        runCli({"convert", "-q", "--block", "2", "-o", dir.file("none.txt"), kExamples + "si-standard.chn"});
    EXPECT_EQ(channels.status, 1);
    EXPECT_NE(channels.err.find("it has no block 2 (it holds 1)"), std::string::npos) << channels.err;
    EXPECT_EQ(runCli({"convert", "--block", "0", dir.file("quartz.uxd")}).status, 2);
}

// A UXD file whose second range lost its step line: xylib's reader frees one of its blocks itself,
// so the parsed file must not be freed again (the fuzz target's finding; a double free here would
// stop the sanitizer run).
TEST(XylibInput, AUxdFileThatXylibLeavesHalfFreedReadsWithoutACrash) {
    TempDir dir;
    writeFile(dir.file("odd.uxd"),
              "; two "
              "ranges\r\n_FILEVERSION=1\r\n_SAMPLE='quartz'\r\n_WL1=1.540600\r\n_DATE=2024-03-05\r\n_DRIVE='COU03-"
              "05\r\n_DRIVE='COUPLED'\r\n_STEPSIZE=0.25\r\n_START=20.0\r\n_COUNTS\r\n 12 15 19 25\r\n 31 28 "
              "22\r\n_DRIPSIZE=0.5\r\n_START=40.0\r\n_COUNTS\r\n 100 110 120\r\n");
    for (int block : {0, 1, 2}) {
        const Read read = readAsConversion(dir.file("odd.uxd"), block);
        EXPECT_TRUE(read.status == 0 || read.messages.size() == 1u) << block;
    }
    const auto run = runCli({"info", dir.file("odd.uxd")});
    EXPECT_NE(run.out.find("Bruker Diffrac-AT UXD"), std::string::npos) << run.out << run.err;
}

TEST(XylibInput, AHandMadeCsvFileWithItsAnglesOrMappedLikeChannels) {
    TempDir dir;
    writeFile(dir.file("scan.csv"), "angle,count\n10.0,5\n10.5,7.5\n11.25,9\n");
    const Read own = readAsConversion(dir.file("scan.csv"));
    ASSERT_EQ(own.status, 0) << (own.messages.empty() ? "" : own.messages[0].text);
    ASSERT_EQ(own.scan.points.size(), 3u);
    EXPECT_EQ(own.scan.points[2].twoTheta, 11.25);
    EXPECT_EQ(own.scan.points[1].count, 7.5);

    // The straight line maps each of the file's abscissae as a channel, as it does a GUFI file's.
    const Read line = readAsConversion(dir.file("scan.csv"), 0, kLinearConversion);
    ASSERT_EQ(line.status, 0);
    CalibrationState calibration;
    calibration.installStartupValues();
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(line.scan.points[i].twoTheta,
                  calibration.header.C * own.scan.points[i].twoTheta + calibration.header.K);
}

// xylib reads numbers in the "C" locale whatever the process's locale says.
TEST(XylibInput, NumbersReadTheSameUnderAGermanLocale) {
    TempDir dir;
    writeFile(dir.file("scan.xy"), "28.783 12.5\n28.803 13.25\n");
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    const Read read = readAsConversion(dir.file("scan.xy"));
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_EQ(read.status, 0);
    ASSERT_EQ(read.scan.points.size(), 2u);
    EXPECT_EQ(read.scan.points[0].twoTheta, 28.783);
    EXPECT_EQ(read.scan.points[1].count, 13.25);
}

TEST(XylibInput, RefusedTruncatedAndOversizedFilesAreNamedWithXylibsReason) {
    TempDir dir;
    writeFile(dir.file("bad.xrdml"),
              "<?xml version=\"1.0\"?>\n"
              "<xrdMeasurements xmlns=\"http://www.xrdml.com/XRDMeasurement/1.0\">\n<broken");
    Read read = readAsConversion(dir.file("bad.xrdml"));
    EXPECT_EQ(read.status, -1);
    ASSERT_EQ(read.messages.size(), 1u);
    EXPECT_EQ(read.messages[0].title, messages::kError);
    EXPECT_EQ(read.messages[0].text,
              refusal(dir.file("bad.xrdml"), "PANalytical XRDML", "<unspecified file>(3): expected >"));

    // A CPI file cut off in its header.
    const auto run = runCli(
        {"convert", "-q", "-f", "cpi", "-s", "0.02", "-o", dir.file("whole.cpi"), kExamples + "si-standard.chn"});
    ASSERT_EQ(run.status, 0) << run.err;
    writeFile(dir.file("cut.cpi"), readFile(dir.file("whole.cpi")).substr(0, 60));
    read = readAsConversion(dir.file("cut.cpi"));
    EXPECT_EQ(read.status, -1);
    ASSERT_EQ(read.messages.size(), 1u);
    EXPECT_EQ(read.messages[0].text, refusal(dir.file("cut.cpi"), "Sietronics Sieray CPI",
                                             "Unexpected format for filetype: cpi; missing SCANDATA"));
    const auto converted = runCli({"convert", "-q", "--calibration", "file", dir.file("cut.cpi")});
    EXPECT_EQ(converted.status, 1);
    EXPECT_EQ(converted.err, "Error: " + read.messages[0].text + "\n");

    // A Canberra CNF file whose sections say they lie 1.6 GB before its start (an offset of 2^31 or
    // more, which xylib's reader takes as negative and follows) is refused before xylib reads it.
    std::string cnf(112, '\0');
    for (const char kind : {'\0', '\1', '\5'}) {
        std::string section(48, '\0');
        section[0] = kind;
        for (int i = 10; i < 14; ++i) section[static_cast<std::size_t>(i)] = static_cast<char>(0x9f);
        cnf += section;
    }
    cnf += std::string(300, '\x9f');
    writeFile(dir.file("bad.cnf"), cnf);
    read = readAsConversion(dir.file("bad.cnf"), 0, kLinearConversion, findInputFormatByName("canberra_cnf")->fileType);
    EXPECT_EQ(read.status, -1);
    ASSERT_EQ(read.messages.size(), 1u);
    EXPECT_EQ(read.messages[0].text,
              refusal(dir.file("bad.cnf"), "Canberra CNF", "a section offset points before the start of the file"));
    const auto forced = runCli({"convert", "-q", "--input-format", "canberra_cnf", dir.file("bad.cnf")});
    EXPECT_EQ(forced.status, 1);

    // A file larger than a scan can be is refused before xylib holds it: a sparse file costs no disk
    // (its NUL bytes would make it no text file to the table, so it is read as UXD by request).
    const std::string big = dir.file("big.uxd");
    writeFile(big, kTwoRangeUxd);
    ASSERT_EQ(::truncate(big.c_str(), 65LL << 20), 0);
    read = readAsConversion(big, 0, kFileAngles, findInputFormatByName("uxd")->fileType);
    EXPECT_EQ(read.status, -1);
    ASSERT_EQ(read.messages.size(), 1u);
    EXPECT_EQ(read.messages[0].text, refusal(big, "Bruker Diffrac-AT UXD", "it is larger than 64 MiB"));

    // A missing file is reported as any missing input is.
    ConversionRequest request;
    request.inputFile = dir.file("missing.uxd");
    request.fileType = findInputFormatByName("uxd")->fileType;
    const ReadResult missing = readAnyFile(request, CalibrationState{});
    EXPECT_FALSE(missing);
    ASSERT_EQ(missing.messages.size(), 1u);
    EXPECT_EQ(missing.messages[0].title, messages::kFileError);
}

}  // namespace
}  // namespace s2t
