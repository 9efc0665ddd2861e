// Usage errors of `scan2theta convert`: exit status 2, a message that names the option, and no
// file written.
#include <gtest/gtest.h>

#include "platform/Messages.h"
#include "support/CliRun.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::fileExists;
using test::gufiBytes;
using test::namesIn;
using test::runCli;
using test::TempDir;
using test::writeFile;

struct UsageCase {
    std::vector<std::string> options;
    std::string named;  // what the message must hold: the option, or the whole complaint
    std::string firstInput = "scan.chn";
};

TEST(ConvertUsage, ExitsWithTwoNamingTheOptionAndWritesNothing) {
    const std::vector<UsageCase> cases = {
        // Grid formats need a step, and it must be a positive finite number.
        {{"-f", "xfit"}, "--step"},
        {{"--format", "cpi"}, "--step"},
        {{"-f", "lhpm"}, "--step: " + messages::stepRequiredFor("lhpm")},
        {{"-f", "gufi"}, "--step"},
        {{"-s", "0"}, "--step"},
        {{"--step", "-0.02"}, "--step"},
        {{"-f", "xfit", "-s", "0.0"}, "--step"},
        {{"-s", "abc"}, "--step"},
        {{"-s", "0.02x"}, "--step"},
        {{"-s", "inf"}, "--step"},
        {{"-s", "nan"}, "--step"},
        {{"-s", "1e999"}, "--step"},
        {{"-s", "0,02"}, "--step"},
        // Range limits.
        {{"--range", "30:20"}, "--range: " + messages::minAboveMax("30", "20")},
        {{"--range", "20"}, "--range"},
        {{"--range", "a:30"}, "--range"},
        {{"--range", "20:"}, "--range"},
        {{"--range", "20:nan"}, "--range"},
        {{"--range", "-inf:30"}, "--range"},
        // CPI header lines.
        {{"--target", "12345678"}, "--target: " + messages::targetTooLong("12345678", 7)},
        {{"--target", "C\nu"}, "--target"},
        {{"--wavelength", "1,5406"}, "--wavelength"},
        {{"--wavelength", "inf"}, "--wavelength"},
        {{"--date", "2024\r\n01"}, "--date"},
        // A channel list takes no conversion or output option.
        {{"--channels", "--calibration", "linear"}, "--calibration"},
        {{"--channels", "-f", "text"}, "--format"},
        {{"--channels", "-s", "0.02"}, "--channels: " + messages::cannotBeCombinedWith("--step")},
        {{"--channels", "--interpolation", "spline"}, "--interpolation"},
        {{"--channels", "--range", "20:30"}, "--range"},
        {{"--channels", "--whole-angle"}, "--whole-angle"},
        {{"--channels", "--fractional-counts"}, "--fractional-counts"},
        {{"--channels", "--target", "Cu"}, "--target"},
        {{"--channels", "--wavelength", "1.5"}, "--wavelength"},
        {{"--channels", "--date", "today"}, "--date"},
        // Choices outside their lists, and other numbers.
        {{"--calibration", "cubic"}, "--calibration"},
        {{"-f", "pdf"}, "--format"},
        {{"--interpolation", "cubic"}, "--interpolation"},
        {{"--line-end", "cr"}, "--line-end"},
        {{"-K", "ten"}, "-K"},
        {{"-C", "1e999"}, "-C"},
        {{"-C", "nan"}, "-C"},
        {{"-j", "0"}, "-j"},
        {{"-j", "two"}, "-j"},
        // The file's own angles exist for GUFI files only; the first input stands for the list.
        {{"--calibration", "file"}, "--calibration", "scan.chn"},
    };
    TempDir dir;
    writeFile(dir.file("scan.chn"), chnBytes(0, {1, 2, 3}));
    writeFile(dir.file("scan.guf"), gufiBytes(10.0f, 0.5f, {1, 2, 3}));
    for (const UsageCase& usage : cases) {
        std::vector<std::string> arguments = {"convert", "--home", dir.file("home")};
        arguments.insert(arguments.end(), usage.options.begin(), usage.options.end());
        arguments.push_back(dir.file(usage.firstInput));
        arguments.push_back(dir.file("scan.guf"));
        SCOPED_TRACE(testing::PrintToString(arguments));
        const auto run = runCli(arguments);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(usage.named), std::string::npos) << run.err;
        // Nothing was converted: only the two inputs (and no program folder) are there.
        EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"scan.chn", "scan.guf"}));
    }

    const auto noInput = runCli({"convert", "--home", dir.file("home")});
    EXPECT_EQ(noInput.status, 2);
    EXPECT_NE(noInput.err.find("INPUT"), std::string::npos) << noInput.err;
}

TEST(ConvertUsage, LimitsThatAreAllowed) {
    // A range of one point, a target of exactly 7 characters, a negative lower limit and file
    // angles with a GUFI file first (a channel file later in the list is welcome) are all fine.
    TempDir dir;
    writeFile(dir.file("a.guf"), gufiBytes(10.0f, 0.5f, {1, 2, 3}));
    writeFile(dir.file("b.chn"), chnBytes(0, {1, 2, 3}));
    const auto run = runCli({"convert", "--home", dir.file("home"), "--range", "-5:10.5", "--target", "1234567",
                             "--calibration", "file", "-o", dir.file("out"), dir.file("a.guf"), dir.file("b.chn")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fileExists(dir.file("out/a.txt")));
    EXPECT_TRUE(fileExists(dir.file("out/b.txt")));
}

// The help names the formats from their table: every --format name, which of them need a step,
// which of them give counts per second.
TEST(ConvertUsage, HelpNamesTheFormatsOfTheTable) {
    const test::CliResult help = runCli(std::vector<std::string>{"convert", "--help"});
    ASSERT_EQ(help.status, 0);
    for (const char* text : {"Output format: text (default), xfit, cpi, lhpm, gufi, xy, xye, fxye, pdcif\n",
                             "constant 2-theta step of DEG degrees (required for xfit, cpi, lhpm, gufi)\n",
                             "live time (xy, xye, fxye, pdcif; implies --fractional-counts)\n"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
}

}  // namespace
}  // namespace s2t
