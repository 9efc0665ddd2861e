// `scan2theta convert` end to end: that each option reaches the files, where outputs go, what
// happens to existing files, and how failures show. The bytes of each format belong to the
// engine's own tests; here the files are read back only as far as the options decide them.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/CliRun.h"
#include "support/Messages.h"
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

struct ConvertFixture : ::testing::Test {
    ConvertFixture() {
        // 1001 channels; with -K 10 -C 0.01 they span 10 to 20 degrees.
        std::vector<std::int32_t> counts(1001);
        for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = static_cast<std::int32_t>(i % 97);
        writeFile(scan, chnBytes(0, counts));
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

TEST_F(ConvertFixture, WhereOutputsGo) {
    writeFile(dir.file("other.CHN"), chnBytes(0, {5, 6}));
    std::filesystem::create_directory(dir.file("folder"));
    std::filesystem::create_directory(dir.file("in.d"));
    writeFile(dir.file("in.d/second"), chnBytes(0, std::vector<std::int32_t>(100, 5)));  // no extension: a channel file
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> written;
        std::string notWritten;
    };
    const std::vector<Case> cases = {
        // Beside each input under its name.
        {{scan, dir.file("other.CHN")}, {"scan.txt", "other.txt"}, ""},
        // One input takes the output path with the format's extension.
        {{"-o", dir.file("out.dat"), scan}, {"out.txt"}, "out.dat"},
        {{"-o", dir.file("grid.txt"), "-f", "xfit", "-s", "0.5", scan}, {"grid.dat"}, "grid.txt"},
        {{"-o", dir.file("noextension"), "-f", "cpi", "-s", "0.5", scan}, {"noextension.cpi"}, ""},
        {{"-o", dir.file("g"), "-f", "gufi", "-s", "0.5", "-K", "10", "-C", "0.01", scan}, {"g.guf"}, ""},
        // An existing directory, or a path with a trailing separator, takes the file under the input's name.
        {{"-o", dir.file("folder"), scan}, {"folder/scan.txt"}, ""},
        {{"-o", dir.file("made/"), scan}, {"made/scan.txt"}, ""},
        // Several inputs go into the output directory, created if missing.
        {{"-o", dir.file("new/deeper"), "-f", "lhpm", "-s", "0.5", scan, dir.file("in.d/second")},
         {"new/deeper/scan.dat", "new/deeper/second.dat"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const auto run = convert(c.arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        for (const std::string& name : c.written) EXPECT_TRUE(fileExists(dir.file(name))) << name;
        if (!c.notWritten.empty()) {
            EXPECT_FALSE(fileExists(dir.file(c.notWritten)));
        }
    }
    EXPECT_EQ(fileLines(dir.file("other.txt")).size(), 3u);
    EXPECT_EQ(readFile(dir.file("g.guf")).size(), 643u + 4 * 20);  // 10.0 to 19.5 at 0.5
}

TEST_F(ConvertFixture, ExistingOutputGetsTheNextFreeNumberedNameUnlessOverwriteIsGiven) {
    writeFile(dir.file("scan.txt"), "keep me");
    EXPECT_EQ(convert({scan}).status, 0);
    EXPECT_EQ(readFile(dir.file("scan.txt")), "keep me");
    EXPECT_TRUE(fileExists(dir.file("scan-0001.txt")));
    EXPECT_EQ(convert({scan}).status, 0);
    EXPECT_TRUE(readFile(dir.file("scan-0001.txt")) == readFile(dir.file("scan-0002.txt")));

    const auto run = convert({"--overwrite", scan});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readFile(dir.file("scan.txt")) == readFile(dir.file("scan-0001.txt")));
    EXPECT_FALSE(fileExists(dir.file("scan-0003.txt")));
}

TEST_F(ConvertFixture, FailuresAreReportedAndTheOtherFilesConverted) {
    writeFile(dir.file("a.chn"), chnBytes(0, {1, 2}));
    writeFile(dir.file("b.chn"), "not a channel file");
    writeFile(dir.file("d.chn"), chnBytes(0, {1, 2}).substr(0, 38));  // a count short
    writeFile(dir.file("e.chn"), chnBytes(0, {3, 4}));
    auto run = convert({"-o", dir.file("out"), dir.file("a.chn"), dir.file("b.chn"), dir.file("c.chn"),
                        dir.file("d.chn"), dir.file("e.chn")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error: " + test::notAChnFile(dir.file("b.chn")) +
                           "\nFile Error: " + test::couldNotOpenInput(dir.file("c.chn")) +
                           "\nError: " + test::corruptedInput(dir.file("d.chn")) + "\n");
    EXPECT_EQ(test::namesIn(dir.file("out")), (std::vector<std::string>{"a.txt", "e.txt"}));

    run = convert({"-o", dir.file("missing/out.txt"), scan});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, test::consoleLine(messages::kFileError, test::couldNotOpenOutput(dir.file("missing/out.txt"))));

    // An output directory that cannot be made.
    writeFile(dir.file("plain"), "a file");
    run = convert({"-o", dir.file("plain/sub"), scan, scan});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("File Error: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(dir.file("plain/sub")), std::string::npos) << run.err;
}

TEST_F(ConvertFixture, LineEndIsCrLfUnlessLfIsAsked) {
    EXPECT_EQ(convert({"-o", dir.file("crlf"), scan}).status, 0);
    EXPECT_EQ(readFile(dir.file("crlf.txt")).substr(0, 15), "2-Theta\tCount\r\n");
    EXPECT_EQ(convert({"--line-end", "lf", "-o", dir.file("lf"), scan}).status, 0);
    const std::string text = readFile(dir.file("lf.txt"));
    EXPECT_EQ(text.substr(0, 14), "2-Theta\tCount\n");
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST_F(ConvertFixture, OptionsReachTheLinesOfTheFiles) {
    writeFile(dir.file("mine.pre"), "#Header\r\nK=\t20.0\r\nC=\t0.5\r\n");
    writeFile(dir.file("g.guf"), gufiBytes(5.0f, 0.25f, {1.5f, 2.0f, 2.5f}));
    writeFile(dir.file("c.chn"), chnBytes(100, {4, 5}));
    // Counts i^2 at 2-theta i: halfway between two points the line gives the mean.
    std::vector<std::int32_t> squares;
    for (std::int32_t i = 0; i <= 20; ++i) squares.push_back(i * i);
    writeFile(dir.file("sq.chn"), chnBytes(0, squares));
    const std::vector<std::string> line = {"-K", "10", "-C", "0.01"};
    auto with = [](std::vector<std::string> first, const std::vector<std::string>& more) {
        first.insert(first.end(), more.begin(), more.end());
        return first;
    };

    struct Line {
        std::string file;
        std::size_t index;
        std::string text;
    };
    struct Case {
        std::vector<std::string> arguments;
        std::vector<Line> lines;
    };
    const std::vector<Case> cases = {
        {with(line, {"-o", dir.file("line"), scan}),
         {{"line.txt", 1, "10.00000000\t0"}, {"line.txt", 1001, "20.00000000\t30"}}},  // 1000 % 97
        // The built-in calibration: the spline through (655, 28.783) ..., or the stored line.
        {{"--calibration", "spline", "-o", dir.file("spline"), scan}, {{"spline.txt", 656, "28.78300000\t73"}}},
        {{"--calibration", "linear", "-o", dir.file("linear"), scan}, {{"linear.txt", 656, "28.57734100\t73"}}},
        // An option file is loaded after Default.pre, and the coefficients after both.
        {{"--options", dir.file("mine.pre"), "-o", dir.file("a"), scan}, {{"a.txt", 2, "20.50000000\t1"}}},
        {{"--options", dir.file("mine.pre"), "-C", "1", "-o", dir.file("b"), scan}, {{"b.txt", 2, "21.00000000\t1"}}},
        {{"--calibration", "file", "--fractional-counts", dir.file("g.guf")},
         {{"g.txt", 1, "5.00000000\t  1.5000"}, {"g.txt", 3, "5.50000000\t  2.5000"}}},
        // Mixed kinds: the straight line treats the GUFI abscissa like a channel number; 1.5 counts as 2.
        {{"-K", "0", "-C", "1", "-o", dir.file("mixed"), scan, dir.file("g.guf")},
         {{"mixed/g.txt", 1, "5.00000000\t2"}, {"mixed/scan.txt", 2, "1.00000000\t1"}}},
        {{"--channels", dir.file("c.chn")}, {{"c.txt", 0, "Channel\tCount"}, {"c.txt", 2, "101\t       5"}}},
        {with(line, {"--whole-angle", "--fractional-counts", "-o", dir.file("w"), scan}),
         {{"w.txt", 1, "10\t  0.0000"}, {"w.txt", 51, "11\t 50.0000"}}},  // 10.5 rounds up
        {{"-K", "0", "-C", "1", "-s", "0.5", "--range", "2:4.2", "--fractional-counts", "-o", dir.file("lin"),
          dir.file("sq.chn")},
         {{"lin.txt", 1, "2.00000000\t  4.0000"},
          {"lin.txt", 2, "2.50000000\t  6.5000"},
          {"lin.txt", 5, "4.00000000\t 16.0000"}}},
        // The range clips the header range of the grid formats: unlimited, 10.0 to 19.5.
        {with(line, {"-f", "lhpm", "-s", "0.5", "-o", dir.file("all"), scan}),
         {{"all.dat", 0, "  10.000   0.500  19.500"}}},
        {with(line, {"-f", "lhpm", "-s", "0.5", "--range", "12:14.25", "-o", dir.file("cut"), scan}),
         {{"cut.dat", 0, "  12.000   0.500  14.000"}}},
        {with(line, {"-f", "xfit", "-s", "0.5", "--range", "12:14.25", "-o", dir.file("x"), scan}),
         {{"x.dat", 4, "  12.000   0.500  14.000"}}},
        {with(line, {"-f", "cpi", "-s", "0.5", "--target", "CuKa", "--wavelength", "1.5406", "--date", "1999-12-31",
                     "-o", dir.file("cpi"), scan}),
         {{"cpi.cpi", 0, "SIETRONICS XRD SCAN"},
          {"cpi.cpi", 4, "Cu"},
          {"cpi.cpi", 5, "1.54060"},
          {"cpi.cpi", 6, "1999-12-31"}}},
        {{"-f", "cpi", "-s", "0.5", "--target", "Mo", "--wavelength", "0.7093", "-o", dir.file("mo"), scan},
         {{"mo.cpi", 4, "Mo"}, {"mo.cpi", 5, "0.70930"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const auto run = convert(c.arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        for (const Line& expected : c.lines) {
            const auto lines = fileLines(dir.file(expected.file));
            ASSERT_LT(expected.index, lines.size()) << expected.file;
            EXPECT_EQ(lines[expected.index], expected.text) << expected.file;
        }
    }
    EXPECT_EQ(fileLines(dir.file("lin.txt")).size(), 6u);

    // The spline interpolation gives less than the mean between two points of a parabola.
    EXPECT_EQ(convert({"-K", "0", "-C", "1", "-s", "0.5", "--range", "2:4.2", "--fractional-counts", "--interpolation",
                       "spline", "-o", dir.file("spl"), dir.file("sq.chn")})
                  .status,
              0);
    const auto spline = fileLines(dir.file("spl.txt"));
    ASSERT_EQ(spline.size(), 6u);
    EXPECT_EQ(spline[1], "2.00000000\t  4.0000");
    EXPECT_NE(spline[2], "2.50000000\t  6.5000");

    // CPI defaults: copper and today.
    EXPECT_EQ(convert({"-f", "cpi", "-s", "0.5", scan}).status, 0);
    const auto cpi = fileLines(dir.file("scan.cpi"));
    ASSERT_GE(cpi.size(), 10u);
    EXPECT_EQ(cpi[4], "Cu");
    EXPECT_EQ(cpi[5], "1.54060");
    EXPECT_TRUE(std::regex_match(cpi[6], std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}"))) << cpi[6];
}

}  // namespace
}  // namespace s2t
