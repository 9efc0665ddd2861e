// `scan2theta info`: one aligned row per input, read by the reader a conversion would use.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/CliRun.h"
#include "support/Messages.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::gufiBytes;
using test::runCli;
using test::TempDir;
using test::writeFile;

std::vector<std::string> outputLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The table: the lines before the first empty one (what the files say of their measurement follows).
std::vector<std::string> tableLines(const std::string& text) {
    auto lines = outputLines(text);
    lines.erase(std::find(lines.begin(), lines.end(), std::string()), lines.end());
    return lines;
}

// The cells of a row: runs of text separated by two or more spaces.
std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> result;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ') ++at;
        std::size_t end = line.find("  ", at);
        if (end == std::string::npos) end = line.size();
        if (end > at) result.push_back(line.substr(at, end - at));
        at = end;
    }
    return result;
}

TEST(InfoCommand, DescribesTheSampleScansOfEachKindInAlignedColumns) {
    const std::string examples = std::string(S2T_SOURCE_DIR) + "/examples/";
    const auto run = runCli({"info", examples + "si-standard.chn", examples + "alumina-scan.guf"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto lines = tableLines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(cells(lines[0]), (std::vector<std::string>{"File", "Kind", "Blocks", "Signature", "Start", "End", "Step",
                                                         "Points", "Min count", "Max count"}));
    const auto channel = cells(lines[1]);
    ASSERT_EQ(channel.size(), 10u) << lines[1];
    EXPECT_EQ(channel[0], examples + "si-standard.chn");
    EXPECT_EQ(
        std::vector<std::string>(channel.begin() + 1, channel.begin() + 8),
        (std::vector<std::string>{"MCA channel file", "1", "FF FF", "channel 0", "channel 4095", "1 channel", "4096"}));
    const auto gufi = cells(lines[2]);
    ASSERT_EQ(gufi.size(), 10u) << lines[2];
    EXPECT_EQ(std::vector<std::string>(gufi.begin() + 1, gufi.begin() + 8),
              (std::vector<std::string>{"GUFI file", "1", "-", "10.0000 deg", "90.0000 deg", "0.02000 deg", "4001"}));

    // Right-aligned numbers end where their title ends; left-aligned text starts where its title does.
    for (const std::string title : {"Points", "Max count"}) {
        const std::size_t end = lines[0].find(title) + title.size();
        for (std::size_t row = 1; row < 3; ++row) {
            ASSERT_GE(lines[row].size(), end);
            EXPECT_NE(lines[row][end - 1], ' ') << lines[row];
            EXPECT_TRUE(end == lines[row].size() || lines[row][end] == ' ') << lines[row];
        }
    }
    const std::size_t kind = lines[0].find("Kind");
    EXPECT_EQ(lines[1].substr(kind, 16), "MCA channel file");
    EXPECT_EQ(lines[2].substr(kind, 9), "GUFI file");
}

TEST(InfoCommand, CountRangeFirstChannelAndUnknownKind) {
    TempDir dir;
    writeFile(dir.file("a.chn"), chnBytes(12, {7, -3, 250, 9}, std::string(64, '\x01')));
    writeFile(dir.file("b.guf"), gufiBytes(4.5f, 0.125f, {2.25f, 0.5f, 8.75f}, true));
    writeFile(dir.file("c.raw"), chnBytes(0, {1}));
    writeFile(dir.file("empty.chn"), chnBytes(3, {}));
    const auto run = runCli({"info", dir.file("a.chn"), dir.file("b.guf"), dir.file("c.raw"), dir.file("empty.chn")});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = tableLines(run.out);
    ASSERT_EQ(lines.size(), 5u) << run.out;
    EXPECT_EQ(cells(lines[1]), (std::vector<std::string>{dir.file("a.chn"), "MCA channel file", "1", "FF FF",
                                                         "channel 12", "channel 15", "1 channel", "4", "-3", "250"}));
    EXPECT_EQ(cells(lines[2]), (std::vector<std::string>{dir.file("b.guf"), "GUFI file", "1", "-", "4.5000 deg",
                                                         "4.7500 deg", "0.12500 deg", "3", "0.50", "8.75"}));
    EXPECT_EQ(cells(lines[3]), (std::vector<std::string>{dir.file("c.raw"), "unknown", "1", "FF FF", "channel 0",
                                                         "channel 0", "1 channel", "1", "1", "1"}));
    EXPECT_EQ(cells(lines[4]), (std::vector<std::string>{dir.file("empty.chn"), "MCA channel file", "1", "FF FF",
                                                         "channel 3", "-", "1 channel", "0", "-", "-"}));
}

TEST(InfoCommand, UnreadableFilesAreReportedLikeTheReadersDoAndExitOne) {
    TempDir dir;
    writeFile(dir.file("bad.chn"), "plain text, no signature");
    writeFile(dir.file("short.guf"), gufiBytes(1.0f, 1.0f, {1.0f, 2.0f}).substr(0, 650));
    writeFile(dir.file("good.chn"), chnBytes(0, {1, 2}));
    const auto run =
        runCli({"info", dir.file("bad.chn"), dir.file("missing.chn"), dir.file("short.guf"), dir.file("good.chn")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: " + test::notAChnFile(dir.file("bad.chn")) +
                           "\nFile Error: " + test::couldNotOpenInput(dir.file("missing.chn")) +
                           "\nError: " + test::corruptedInput(dir.file("short.guf")) + "\n");
    const auto lines = tableLines(run.out);
    ASSERT_EQ(lines.size(), 5u) << run.out;
    EXPECT_EQ(cells(lines[1]), (std::vector<std::string>{dir.file("bad.chn"), "MCA channel file", "-", "(not read)",
                                                         "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(cells(lines[4])[7], "2");
}

// A scan read through xylib: one row per block, the step of text abscissae, and what the file says
// of its measurement below the table.
TEST(InfoCommand, ScansOfOtherFormatsWithTheirBlocksAndWhatTheySay) {
    TempDir dir;
    writeFile(dir.file("two.uxd"),
              "_FILEVERSION=1\r\n_SAMPLE='quartz'\r\n_WL1=1.540600\r\n_DATE=2024-03-05\r\n"
              "_DRIVE='COUPLED'\r\n_STEPSIZE=0.25\r\n_START=20.0\r\n_COUNTS\r\n 12 15 19\r\n"
              "_DRIVE='COUPLED'\r\n_STEPSIZE=0.5\r\n_START=40.0\r\n_COUNTS\r\n 100 110\r\n");
    writeFile(dir.file("uneven.xy"), "10.0 5\n10.5 6.5\n11.5 7\n");
    writeFile(dir.file("even.xy"), "10.1 5\n10.2 6.5\n10.3 7\n");
    const auto run = runCli({"info", dir.file("two.uxd"), dir.file("uneven.xy"), dir.file("even.xy")});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = outputLines(run.out);
    ASSERT_EQ(lines.size(), 17u) << run.out;
    EXPECT_EQ(cells(lines[1]),
              (std::vector<std::string>{dir.file("two.uxd") + " [b1]", "Bruker Diffrac-AT UXD", "2", "-", "20.0000 deg",
                                        "20.5000 deg", "0.25000 deg", "3", "12.00", "19.00"}));
    EXPECT_EQ(cells(lines[2]),
              (std::vector<std::string>{dir.file("two.uxd") + " [b2]", "Bruker Diffrac-AT UXD", "2", "-", "40.0000 deg",
                                        "40.5000 deg", "0.50000 deg", "2", "100.00", "110.00"}));
    EXPECT_EQ(cells(lines[3]), (std::vector<std::string>{dir.file("uneven.xy"), "x-y text", "1", "-", "10.0000 deg",
                                                         "11.5000 deg", "varies", "3", "5.00", "7.00"}));
    EXPECT_EQ(cells(lines[4])[6], "0.10000 deg");
    const std::vector<std::string> below(lines.begin() + 5, lines.end());
    const std::vector<std::string> said = {"  Started       2024-03-05", "  Description   quartz",
                                           "  Wavelength    1.5406 Angstrom", "  FILEVERSION   1"};
    std::vector<std::string> expected;
    for (const char* block : {" [b1]", " [b2]"}) {
        expected.push_back("");
        expected.push_back(dir.file("two.uxd") + block);
        expected.insert(expected.end(), said.begin(), said.end());
    }
    EXPECT_EQ(below, expected);
}

TEST(InfoCommand, WhatEachFileSaysOfItsMeasurementFollowsTheTable) {
    const std::string examples = std::string(S2T_SOURCE_DIR) + "/examples/";
    TempDir dir;
    // Header fields all zero: no times, no start; a file that says nothing gets no lines.
    std::string bare = chnBytes(0, {1, 2});
    std::fill(bare.begin() + 2, bare.begin() + 28, '\0');
    writeFile(dir.file("bare.chn"), bare);
    writeFile(dir.file("damaged.chn"), bare + std::string(512, '\x05'));
    const auto run = runCli({"info", examples + "si-standard.chn", examples + "alumina-scan.guf", dir.file("bare.chn"),
                             dir.file("damaged.chn"), examples + "corundum.chn"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string table = run.out.substr(0, run.out.find("\n\n") + 1);
    EXPECT_EQ(run.out.substr(table.size()),
              "\n" + examples +
                  "si-standard.chn\n"
                  "  Live time     597.4 s\n"
                  "  Real time     600 s\n"
                  "  Started       2024-03-04T09:15:17\n"
                  "  Description   Si powder standard, 10 min\n"
                  "  Detector      Scintillation detector, Cu tube 40 kV 30 mA\n"
                  "  Calibration   2-theta = 0.02692846 x channel + 10.939501 (stored in the file)\n"
                  "\n" +
                  dir.file("damaged.chn") +
                  "\n"
                  "  Trailer       the record after the counts is no trailer (it starts with 1285, not -101 or -102); "
                  "not read\n"
                  "\n" +
                  examples +
                  "corundum.chn\n"
                  "  Live time     894.1 s\n"
                  "  Real time     900 s\n"
                  "  Started       2024-03-04T10:02:17\n"
                  "  Description   Alumina (corundum), 15 min\n"
                  "  Detector      Scintillation detector, Cu tube 40 kV 30 mA\n"
                  "  Calibration   2-theta = 0.02692846 x channel + 10.939501 (stored in the file)\n");
}

TEST(InfoCommand, NeedsAFile) {
    const auto run = runCli({"info"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("FILE"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace s2t
