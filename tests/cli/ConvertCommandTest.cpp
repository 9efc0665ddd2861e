// `scan2theta convert` end to end: that each option reaches the files, where outputs go, what
// happens to existing files, and how failures show. The bytes of each format belong to the
// engine's own tests; here the files are read back only as far as the options decide them.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/CliRun.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::CliResult;
using test::fileExists;
using test::fileLines;
using test::gufiBytes;
using test::readFile;
using test::runCli;
using test::TempDir;
using test::writeFile;

// 1001 channels; with -K 10 -C 0.01 they span 10 to 20 degrees.
std::vector<std::int32_t> rampCounts() {
    std::vector<std::int32_t> counts(1001);
    for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = static_cast<std::int32_t>(i % 97);
    return counts;
}

struct ConvertFixture : ::testing::Test {
    ConvertFixture() {
        writeFile(scan, chnBytes(0, rampCounts()));
        // A fresh program folder gets its Default.pre on the first start; the first run keeps the
        // built-in values while later ones read the file back. Every run here is a later one.
        EXPECT_EQ(runCli({"calibration", "show", "--home", dir.file("home")}).status, 0);
    }

    // convert with a program folder of its own, quiet, plus the given arguments.
    CliResult convert(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {"convert", "--home", dir.file("home"), "-q"});
        return runCli(arguments);
    }

    TempDir dir;
    const std::string scan = dir.file("scan.chn");
};

// ---- where outputs go ----

TEST_F(ConvertFixture, DefaultOutputLiesBesideEachInputUnderItsName) {
    writeFile(dir.file("other.CHN"), chnBytes(0, {5, 6}));
    const auto run = convert({scan, dir.file("other.CHN")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fileLines(dir.file("scan.txt")).size(), 1002u);
    EXPECT_EQ(fileLines(dir.file("other.txt")).size(), 3u);
    EXPECT_EQ(run.err, "");
}

TEST_F(ConvertFixture, OneInputTakesTheOutputPathWithTheFormatsExtension) {
    auto run = convert({"-o", dir.file("out.dat"), scan});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(dir.file("out.txt")));
    EXPECT_FALSE(fileExists(dir.file("out.dat")));

    run = convert({"-o", dir.file("grid.txt"), "-f", "xfit", "-s", "0.5", scan});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(dir.file("grid.dat")));

    run = convert({"-o", dir.file("noextension"), "-f", "cpi", "-s", "0.5", scan});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(dir.file("noextension.cpi")));
}

TEST_F(ConvertFixture, OneInputWithAnExistingDirectoryWritesIntoIt) {
    std::filesystem::create_directory(dir.file("folder"));
    auto run = convert({"-o", dir.file("folder"), scan});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(dir.file("folder/scan.txt")));
    // A trailing separator names a directory, created when missing.
    run = convert({"-o", dir.file("made/"), scan});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(dir.file("made/scan.txt")));
}

TEST_F(ConvertFixture, SeveralInputsGoIntoTheOutputDirectoryCreatedIfMissing) {
    std::filesystem::create_directory(dir.file("in.d"));
    writeFile(dir.file("in.d/second"), chnBytes(0, {5, 6}));  // no extension: read as a channel file
    const auto run =
        convert({"-o", dir.file("new/deeper"), "-f", "lhpm", "-s", "0.5", scan, dir.file("in.d/second")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(dir.file("new/deeper/scan.dat")));
    EXPECT_TRUE(fileExists(dir.file("new/deeper/second.dat")));
}

TEST_F(ConvertFixture, OutputDirectoryThatCannotBeMadeIsReported) {
    writeFile(dir.file("plain"), "a file");
    const auto run = convert({"-o", dir.file("plain/sub"), scan, scan});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("File Error: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(dir.file("plain/sub")), std::string::npos) << run.err;
}

// ---- existing files ----

TEST_F(ConvertFixture, ExistingOutputGetsTheNextFreeNumberedNameUnlessOverwriteIsGiven) {
    writeFile(dir.file("scan.txt"), "keep me");
    EXPECT_EQ(convert({scan}).status, 0);
    EXPECT_EQ(readFile(dir.file("scan.txt")), "keep me");
    EXPECT_TRUE(fileExists(dir.file("scan-0001.txt")));
    EXPECT_EQ(convert({scan}).status, 0);
    EXPECT_TRUE(fileExists(dir.file("scan-0002.txt")));
    EXPECT_TRUE(readFile(dir.file("scan-0001.txt")) == readFile(dir.file("scan-0002.txt")));

    const auto run = convert({"--overwrite", scan});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readFile(dir.file("scan.txt")) == readFile(dir.file("scan-0001.txt")));
    EXPECT_FALSE(fileExists(dir.file("scan-0003.txt")));
}

// ---- failures ----

TEST_F(ConvertFixture, BadFileInTheMiddleIsReportedAndTheOthersAreConverted) {
    writeFile(dir.file("a.chn"), chnBytes(0, {1, 2}));
    writeFile(dir.file("b.chn"), "not a channel file");
    writeFile(dir.file("d.chn"), chnBytes(0, {1, 2}).substr(0, 38));  // a count short
    writeFile(dir.file("e.chn"), chnBytes(0, {3, 4}));
    const auto run = convert({"-o", dir.file("out"), dir.file("a.chn"), dir.file("b.chn"),
                              dir.file("c.chn"), dir.file("d.chn"), dir.file("e.chn")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: The input file \"" + dir.file("b.chn") + "\" \nwasn't a CHN file.\n" +
                           "File Error: Couldn't open input file: " + dir.file("c.chn") +
                           "\nFile may not exist.\nWill skip conversion.\n" + "Error: The input file \"" +
                           dir.file("d.chn") + "\" \nhas been corrupted.\n");
    EXPECT_TRUE(fileExists(dir.file("out/a.txt")));
    EXPECT_FALSE(fileExists(dir.file("out/b.txt")));
    EXPECT_FALSE(fileExists(dir.file("out/c.txt")));
    EXPECT_FALSE(fileExists(dir.file("out/d.txt")));
    EXPECT_TRUE(fileExists(dir.file("out/e.txt")));
}

TEST_F(ConvertFixture, OutputThatCannotBeCreatedIsReported) {
    const auto run = convert({"-o", dir.file("missing/out.txt"), scan});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("File Error: Couldn't open output file: " + dir.file("missing/out.txt"), 0), 0u)
        << run.err;
}

// ---- options reach the files ----

TEST_F(ConvertFixture, LineEndIsCrLfUnlessLfIsAsked) {
    EXPECT_EQ(convert({"-o", dir.file("crlf"), scan}).status, 0);
    EXPECT_EQ(readFile(dir.file("crlf.txt")).substr(0, 15), "2-Theta\tCount\r\n");
    EXPECT_EQ(convert({"--line-end", "lf", "-o", dir.file("lf"), scan}).status, 0);
    const std::string text = readFile(dir.file("lf.txt"));
    EXPECT_EQ(text.substr(0, 14), "2-Theta\tCount\n");
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST_F(ConvertFixture, StraightLineCoefficientsAndCalibrationModesReachTheAngles) {
    EXPECT_EQ(convert({"-K", "10", "-C", "0.01", "-o", dir.file("line"), scan}).status, 0);
    auto lines = fileLines(dir.file("line.txt"));
    EXPECT_EQ(lines[1], "10.00000000\t0");
    EXPECT_EQ(lines[1001], "20.00000000\t30");  // 1000 % 97

    // The built-in calibration: the straight line, or the spline through (655, 28.783) ...
    EXPECT_EQ(convert({"--calibration", "spline", "-o", dir.file("spline"), scan}).status, 0);
    EXPECT_EQ(fileLines(dir.file("spline.txt"))[656], "28.78300000\t73");  // 655 % 97
    EXPECT_EQ(convert({"--calibration", "linear", "-o", dir.file("linear"), scan}).status, 0);
    EXPECT_NE(fileLines(dir.file("linear.txt"))[656], "28.78300000\t73");
}

TEST_F(ConvertFixture, OptionFileIsLoadedAfterDefaultAndCoefficientsAfterBoth) {
    writeFile(dir.file("mine.pre"), "#Header\r\nK=\t20.0\r\nC=\t0.5\r\n");
    EXPECT_EQ(convert({"--options", dir.file("mine.pre"), "-o", dir.file("a"), scan}).status, 0);
    EXPECT_EQ(fileLines(dir.file("a.txt"))[2], "20.50000000\t1");
    EXPECT_EQ(convert({"--options", dir.file("mine.pre"), "-C", "1", "-o", dir.file("b"), scan}).status, 0);
    EXPECT_EQ(fileLines(dir.file("b.txt"))[2], "21.00000000\t1");
    EXPECT_TRUE(fileExists(dir.file("home/Default.pre")));
}

TEST_F(ConvertFixture, GufiFilesKeepTheirAnglesWithFileCalibration) {
    writeFile(dir.file("g.guf"), gufiBytes(5.0f, 0.25f, {1.5f, 2.0f, 2.5f}));
    EXPECT_EQ(convert({"--calibration", "file", "--fractional-counts", dir.file("g.guf")}).status, 0);
    EXPECT_EQ(fileLines(dir.file("g.txt")),
              (std::vector<std::string>{"2-Theta\tCount", "5.00000000\t  1.5000", "5.25000000\t  2.0000",
                                        "5.50000000\t  2.5000"}));
}

TEST_F(ConvertFixture, MixedKindsAreEachReadByTheirOwnReader) {
    writeFile(dir.file("g.guf"), gufiBytes(5.0f, 0.25f, {7.0f, 8.0f}));
    const auto run = convert({"-K", "0", "-C", "1", "-o", dir.file("out"), scan, dir.file("g.guf")});
    EXPECT_EQ(run.status, 0) << run.err;
    // The straight line treats the GUFI abscissa like a channel number: 1 x 5 + 0.
    EXPECT_EQ(fileLines(dir.file("out/g.txt"))[1], "5.00000000\t7");
    EXPECT_EQ(fileLines(dir.file("out/scan.txt"))[2], "1.00000000\t1");
}

TEST_F(ConvertFixture, ChannelListStartsAtTheFirstChannel) {
    writeFile(dir.file("c.chn"), chnBytes(100, {4, 5}));
    EXPECT_EQ(convert({"--channels", dir.file("c.chn")}).status, 0);
    EXPECT_EQ(fileLines(dir.file("c.txt")),
              (std::vector<std::string>{"Channel\tCount", "100\t       4", "101\t       5"}));
}

TEST_F(ConvertFixture, WholeAngleAndFractionalCountsShapeTheTextLines) {
    EXPECT_EQ(convert({"-K", "10", "-C", "0.01", "--whole-angle", "--fractional-counts", "-o",
                       dir.file("w"), scan})
                  .status,
              0);
    const auto lines = fileLines(dir.file("w.txt"));
    EXPECT_EQ(lines[1], "10\t  0.0000");
    EXPECT_EQ(lines[51], "11\t 50.0000");  // 10.5 rounds up
}

TEST_F(ConvertFixture, StepRangeAndInterpolationReachTheGrid) {
    // Counts i^2 at 2-theta i: halfway between two points the line gives the mean, the spline less.
    std::vector<std::int32_t> squares;
    for (std::int32_t i = 0; i <= 20; ++i) squares.push_back(i * i);
    writeFile(dir.file("sq.chn"), chnBytes(0, squares));
    const std::vector<std::string> common = {"-K", "0", "-C", "1", "-s", "0.5", "--range", "2:4.2",
                                             "--fractional-counts", dir.file("sq.chn")};
    auto withOptions = [&](std::vector<std::string> options) {
        options.insert(options.end(), common.begin(), common.end());
        return options;
    };
    EXPECT_EQ(convert(withOptions({"-o", dir.file("lin")})).status, 0);
    EXPECT_EQ(fileLines(dir.file("lin.txt")),
              (std::vector<std::string>{"2-Theta\tCount", "2.00000000\t  4.0000", "2.50000000\t  6.5000",
                                        "3.00000000\t  9.0000", "3.50000000\t 12.5000",
                                        "4.00000000\t 16.0000"}));
    EXPECT_EQ(convert(withOptions({"--interpolation", "spline", "-o", dir.file("spl")})).status, 0);
    const auto spline = fileLines(dir.file("spl.txt"));
    ASSERT_EQ(spline.size(), 6u);
    EXPECT_EQ(spline[1], "2.00000000\t  4.0000");
    EXPECT_NE(spline[2], "2.50000000\t  6.5000");
}

TEST_F(ConvertFixture, RangeClipsTheHeaderRangeOfTheGridFormats) {
    // 10 to 20 degrees, step 0.5: unlimited the grid runs 10.0 to 19.5.
    EXPECT_EQ(convert({"-K", "10", "-C", "0.01", "-f", "lhpm", "-s", "0.5", "-o", dir.file("all"), scan}).status,
              0);
    EXPECT_EQ(fileLines(dir.file("all.dat"))[0], "  10.000   0.500  19.500");
    EXPECT_EQ(convert({"-K", "10", "-C", "0.01", "-f", "lhpm", "-s", "0.5", "--range", "12:14.25", "-o",
                       dir.file("cut"), scan})
                  .status,
              0);
    EXPECT_EQ(fileLines(dir.file("cut.dat"))[0], "  12.000   0.500  14.000");
    // XFIT: the same grid line after four empty lines.
    EXPECT_EQ(convert({"-K", "10", "-C", "0.01", "-f", "xfit", "-s", "0.5", "--range", "12:14.25", "-o",
                       dir.file("x"), scan})
                  .status,
              0);
    EXPECT_EQ(fileLines(dir.file("x.dat"))[4], "  12.000   0.500  14.000");
}

TEST_F(ConvertFixture, CpiOptionsReachTheHeader) {
    EXPECT_EQ(convert({"-K", "10", "-C", "0.01", "-f", "cpi", "-s", "0.5", "--target", "CuKa", "--wavelength",
                       "1.5406", "--date", "1999-12-31", "-o", dir.file("a"), scan})
                  .status,
              0);
    auto lines = fileLines(dir.file("a.cpi"));
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "SIETRONICS XRD SCAN");
    EXPECT_EQ(lines[4], "Cu");
    EXPECT_EQ(lines[5], "1.54060");
    EXPECT_EQ(lines[6], "1999-12-31");

    EXPECT_EQ(convert({"-f", "cpi", "-s", "0.5", "--target", "Mo", "--wavelength", "0.7093", "-o",
                       dir.file("b"), scan})
                  .status,
              0);
    lines = fileLines(dir.file("b.cpi"));
    EXPECT_EQ(lines[4], "Mo");
    EXPECT_EQ(lines[5], "0.70930");
}

TEST_F(ConvertFixture, CpiDefaultsAreCopperAndToday) {
    EXPECT_EQ(convert({"-f", "cpi", "-s", "0.5", scan}).status, 0);
    const auto lines = fileLines(dir.file("scan.cpi"));
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[4], "Cu");
    EXPECT_EQ(lines[5], "1.54060");
    EXPECT_TRUE(std::regex_match(lines[6], std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}"))) << lines[6];
}

TEST_F(ConvertFixture, GufiOutputReadsBackThroughInfo) {
    EXPECT_EQ(convert({"-K", "10", "-C", "0.01", "-f", "gufi", "-s", "0.5", scan}).status, 0);
    const auto info = runCli({"info", dir.file("scan.guf")});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("GUFI file"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("10.0000 deg"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("0.50000 deg"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find(" 20 "), std::string::npos) << info.out;  // points 10.0 to 19.5
}

TEST_F(ConvertFixture, ParallelRunWritesTheSameFilesAsOneAfterTheOther) {
    std::vector<std::string> inputs;
    for (int i = 0; i < 6; ++i) {
        const std::string name = dir.file("f") + std::to_string(i) + ".chn";
        std::vector<std::int32_t> counts = rampCounts();
        counts[static_cast<std::size_t>(i)] = 1000 + i;
        writeFile(name, chnBytes(0, counts));
        inputs.push_back(name);
    }
    auto run = [&](const std::string& jobs, const std::string& out) {
        std::vector<std::string> arguments = {"-j", jobs, "-f", "xfit", "-s", "0.01", "-o", dir.file(out)};
        arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        return convert(arguments).status;
    };
    EXPECT_EQ(run("1", "serial"), 0);
    EXPECT_EQ(run("4", "parallel"), 0);
    for (int i = 0; i < 6; ++i) {
        std::string name = "/f";
        name += std::to_string(i);
        name += ".dat";
        EXPECT_TRUE(readFile(dir.file("serial") + name) == readFile(dir.file("parallel") + name)) << name;
    }
}

}  // namespace
}  // namespace s2t
