// Usage errors of `scan2theta convert`: exit status 2, a message that names the option, and no
// file written.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CliRun.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::gufiBytes;
using test::runCli;
using test::TempDir;
using test::writeFile;

struct UsageCase {
    std::vector<std::string> options;
    std::string named;  // the option the message must name
    std::string firstInput = "scan.chn";
};

void PrintTo(const UsageCase& usage, std::ostream* out) {
    for (const auto& option : usage.options) *out << option << ' ';
    *out << usage.firstInput;
}

class ConvertUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(ConvertUsage, ExitsWithTwoNamingTheOptionAndWritesNothing) {
    const UsageCase& usage = GetParam();
    TempDir dir;
    writeFile(dir.file("scan.chn"), chnBytes(0, {1, 2, 3}));
    writeFile(dir.file("scan.guf"), gufiBytes(10.0f, 0.5f, {1, 2, 3}));
    std::vector<std::string> arguments = {"convert", "--home", dir.file("home")};
    arguments.insert(arguments.end(), usage.options.begin(), usage.options.end());
    arguments.push_back(dir.file(usage.firstInput));
    arguments.push_back(dir.file("scan.guf"));

    const auto run = runCli(arguments);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(usage.named), std::string::npos) << run.err;
    // Nothing was converted: only the two inputs (and no program folder) are there.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2u);
}

INSTANTIATE_TEST_SUITE_P(
    GridFormatsNeedAStep, ConvertUsage,
    ::testing::Values(UsageCase{{"-f", "xfit"}, "--step"}, UsageCase{{"--format", "cpi"}, "--step"},
                      UsageCase{{"-f", "lhpm"}, "--step"}, UsageCase{{"-f", "gufi"}, "--step"}));

INSTANTIATE_TEST_SUITE_P(
    StepMustBePositiveAndFinite, ConvertUsage,
    ::testing::Values(UsageCase{{"-s", "0"}, "--step"}, UsageCase{{"--step", "-0.02"}, "--step"},
                      UsageCase{{"-f", "xfit", "-s", "0.0"}, "--step"},
                      UsageCase{{"-s", "abc"}, "--step"}, UsageCase{{"-s", "0.02x"}, "--step"},
                      UsageCase{{"-s", "inf"}, "--step"}, UsageCase{{"-s", "nan"}, "--step"},
                      UsageCase{{"-s", "1e999"}, "--step"}, UsageCase{{"-s", "0,02"}, "--step"}));

INSTANTIATE_TEST_SUITE_P(
    RangeLimits, ConvertUsage,
    ::testing::Values(UsageCase{{"--range", "30:20"}, "--range"}, UsageCase{{"--range", "20"}, "--range"},
                      UsageCase{{"--range", "a:30"}, "--range"}, UsageCase{{"--range", "20:"}, "--range"},
                      UsageCase{{"--range", "20:nan"}, "--range"},
                      UsageCase{{"--range", "-inf:30"}, "--range"}));

INSTANTIATE_TEST_SUITE_P(
    CpiOptions, ConvertUsage,
    ::testing::Values(UsageCase{{"--target", "CuKalpha"}, "--target"},
                      UsageCase{{"--target", "C\nu"}, "--target"},
                      UsageCase{{"--wavelength", "1,5406"}, "--wavelength"},
                      UsageCase{{"--wavelength", "inf"}, "--wavelength"},
                      UsageCase{{"--date", "2024\r\n01"}, "--date"}));

INSTANTIATE_TEST_SUITE_P(
    ChannelListTakesNoConversionOrOutputOption, ConvertUsage,
    ::testing::Values(UsageCase{{"--channels", "--calibration", "linear"}, "--calibration"},
                      UsageCase{{"--channels", "-f", "text"}, "--format"},
                      UsageCase{{"--channels", "-s", "0.02"}, "--step"},
                      UsageCase{{"--channels", "--interpolation", "spline"}, "--interpolation"},
                      UsageCase{{"--channels", "--range", "20:30"}, "--range"},
                      UsageCase{{"--channels", "--whole-angle"}, "--whole-angle"},
                      UsageCase{{"--channels", "--fractional-counts"}, "--fractional-counts"},
                      UsageCase{{"--channels", "--target", "Cu"}, "--target"},
                      UsageCase{{"--channels", "--wavelength", "1.5"}, "--wavelength"},
                      UsageCase{{"--channels", "--date", "today"}, "--date"}));

INSTANTIATE_TEST_SUITE_P(
    ChoicesOutsideTheirLists, ConvertUsage,
    ::testing::Values(UsageCase{{"--calibration", "cubic"}, "--calibration"},
                      UsageCase{{"-f", "pdf"}, "--format"},
                      UsageCase{{"--interpolation", "cubic"}, "--interpolation"},
                      UsageCase{{"--line-end", "cr"}, "--line-end"}));

INSTANTIATE_TEST_SUITE_P(
    OtherNumbers, ConvertUsage,
    ::testing::Values(UsageCase{{"-K", "ten"}, "-K"}, UsageCase{{"-C", "1e999"}, "-C"},
                      UsageCase{{"-C", "nan"}, "-C"}, UsageCase{{"-j", "0"}, "-j"},
                      UsageCase{{"-j", "two"}, "-j"}));

// The file's own angles exist for GUFI files only; the first input stands for the list.
INSTANTIATE_TEST_SUITE_P(
    FileAnglesNeedAGufiListHead, ConvertUsage,
    ::testing::Values(UsageCase{{"--calibration", "file"}, "--calibration", "scan.chn"}));

TEST(ConvertUsageMessages, NameWhatIsWrong) {
    TempDir dir;
    const std::string input = dir.file("scan.chn");
    const std::string home = dir.file("home");
    auto run = runCli({"convert", "--home", home, "-f", "lhpm", input});
    EXPECT_NE(run.err.find("--step: is required for the lhpm format"), std::string::npos) << run.err;
    run = runCli({"convert", "--home", home, "--range", "30:20", input});
    EXPECT_NE(run.err.find("--range: MIN 30 is greater than MAX 20"), std::string::npos) << run.err;
    run = runCli({"convert", "--home", home, "--target", "12345678", input});
    EXPECT_NE(run.err.find("--target: '12345678' is longer than 7 characters"), std::string::npos)
        << run.err;
    run = runCli({"convert", "--home", home, "--channels", "-s", "1", input});
    EXPECT_NE(run.err.find("--channels: cannot be combined with --step"), std::string::npos) << run.err;
}

TEST(ConvertUsageMessages, InputIsRequired) {
    TempDir dir;
    const auto run = runCli({"convert", "--home", dir.file("home")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("INPUT"), std::string::npos) << run.err;
}

TEST(ConvertUsageMessages, LimitsThatAreAllowed) {
    // A range of one point, a target of exactly 7 characters, a negative lower limit and file
    // angles with a GUFI file first (a channel file later in the list is welcome) are all fine.
    TempDir dir;
    writeFile(dir.file("a.guf"), gufiBytes(10.0f, 0.5f, {1, 2, 3}));
    writeFile(dir.file("b.chn"), chnBytes(0, {1, 2, 3}));
    const auto run = runCli({"convert", "--home", dir.file("home"), "--range", "-5:10.5",
                                    "--target", "1234567", "--calibration", "file", "-o", dir.file("out"),
                                    dir.file("a.guf"), dir.file("b.chn")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(test::fileExists(dir.file("out/a.txt")));
    EXPECT_TRUE(test::fileExists(dir.file("out/b.txt")));
}

}  // namespace
}  // namespace s2t
