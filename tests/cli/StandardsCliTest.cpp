#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardFile.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::quoted;
using test::readFile;
using test::runCli;
using test::TempDir;
using test::writeFile;

// Ten reflections at 20, 25, ..., 65 degrees.
const std::string kTenReflections =
    "NAME = 'Corundum'\r\nDATA\r\n20\r\n25\r\n30\r\n35\r\n40\r\n45\r\n50\r\n55\r\n60\r\n65\r\n\r\n";
// Seven peaks on the line 2-theta = 0.025 x channel + 10 against those reflections.
const std::string kSevenPeaks = "400\r\n600\r\n800\r\n1000\r\n1200\r\n1400\r\n1600\r\n";

class StandardsCli : public ::testing::Test {
protected:
    void SetUp() override {
        // A first run seeds the program folder with the shipped standards.
        ASSERT_EQ(runCli("standards --home " + quoted(home()), dir.path()).status, 0);
        writeFile(home() + "/Standards/Corundum.std", kTenReflections);
        writeFile(dir.file("peaks.txt"), kSevenPeaks);
    }
    test::CliResult fromStandard(const std::string& standard, const std::string& peaks,
                                 const std::string& more = "") {
        return runCli("calibration from-standard --standard " + quoted(standard) + " --peaks " +
                          quoted(peaks) + " --home " + quoted(home()) + " " + more,
                      dir.path());
    }
    std::string home() const { return dir.file("home"); }

    TempDir dir;
};

TEST_F(StandardsCli, PairsBecomeTheCalibrationPoints) {
    auto result = fromStandard("corundum", dir.file("peaks.txt"), "-o " + quoted(dir.file("c.pre")));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("10 reflections, 7 peaks, 7 pairs (2-theta -> channel):\n"
                              " 20.0000 -> 400.0000\n 25.0000 -> 600.0000\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(" 50.0000 -> 1600.0000\n"), std::string::npos);
    EXPECT_EQ(readFile(dir.file("c.pre")),
              "#y=Cx+K\r\n#Header\r\nK=\t10.000000\r\nC=\t0.025000\r\n\r\n"
              "#Observed Channel for the peaks, calculated 2-theta value for peaks\r\n"
              "#Calibrasion Data\r\nnumOfDataPoints= 7\r\n"
              "400.0000\t 20.0000\r\n600.0000\t 25.0000\r\n800.0000\t 30.0000\r\n"
              "1000.0000\t 35.0000\r\n1200.0000\t 40.0000\r\n1400.0000\t 45.0000\r\n"
              "1600.0000\t 50.0000\r\n\r\n");
}

TEST_F(StandardsCli, ShippedStandardByNameIntoDefaultPre) {
    auto result = fromStandard("SILICON", dir.file("peaks.txt"));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Standard: " + home() + "/Standards/Silicon.std\n"), std::string::npos);

    std::vector<double> silicon;
    TextFile file(home() + "/Standards/Silicon.std");
    ScriptedPlatform platform;
    ASSERT_TRUE(getStandardPoints(file, silicon, platform));
    std::string expected = "numOfDataPoints= 7\r\n";
    for (std::size_t k = 0; k < 7; ++k)
        expected += formatFixed(400.0 + 200.0 * k, 4, 8) + "\t" + formatFixed(silicon[k], 4, 8) + "\r\n";
    EXPECT_NE(readFile(home() + "/Default.pre").find(expected + "\r\n"), std::string::npos);
}

TEST_F(StandardsCli, StandardGivenAsAFile) {
    writeFile(dir.file("mine.std"), "name= 'Mine'\nDATA\n20\n30\n\n");
    auto result = fromStandard(dir.file("mine.std"), dir.file("peaks.txt"),
                               "-o " + quoted(dir.file("m.pre")));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(readFile(dir.file("m.pre")).find("numOfDataPoints= 2\r\n400.0000\t 20.0000\r\n"
                                               "600.0000\t 30.0000\r\n"),
              std::string::npos);
}

TEST_F(StandardsCli, FailuresWriteNothing) {
    const std::string before = readFile(home() + "/Default.pre");

    auto unknown = fromStandard("Quartz", dir.file("peaks.txt"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--standard: Quartz is neither a standard in " + home() +
                               "/Standards (Silicon, LaB6, Corundum) nor a file"),
              std::string::npos)
        << unknown.err;

    writeFile(dir.file("nodata.std"), "name= 'No data'\n20\n");
    auto noData = fromStandard(dir.file("nodata.std"), dir.file("peaks.txt"));
    EXPECT_EQ(noData.status, 1);
    EXPECT_EQ(noData.err, "No Points: The selected standard has no points.\n");

    writeFile(dir.file("signed.txt"), "-400\n600\n");
    auto unrecognised = fromStandard("Corundum", dir.file("signed.txt"));
    EXPECT_EQ(unrecognised.status, 1);
    EXPECT_EQ(unrecognised.err, "No Points: The layout of the XFit file was not recognised.\n");

    writeFile(dir.file("one.txt"), "400\n");
    auto onePair = fromStandard("Corundum", dir.file("one.txt"));
    EXPECT_EQ(onePair.status, 1);
    EXPECT_EQ(onePair.err, "Not Possible: A straight line needs at least two points.\n");

    EXPECT_EQ(fromStandard("Corundum", dir.file("missing.txt")).status, 2);
    EXPECT_EQ(readFile(home() + "/Default.pre"), before);
}

TEST(StandardsCliFolder, ANewProgramFolderIsSeededAndItsStandardsListedInTheWindowsOrder) {
    TempDir dir;
    const std::string home = dir.file("new");
    const auto list = [&] { return runCli("standards --home " + quoted(home), dir.path()); };
    auto result = list();
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Silicon\t" + home + "/Standards/Silicon.std\nLaB6\t" + home + "/Standards/LaB6.std\n");
    EXPECT_TRUE(test::fileExists(home + "/Default.pre"));
    for (const char* name : {"Silicon.std", "LaB6.std"})
        EXPECT_EQ(readFile(home + "/Standards/" + name),
                  readFile(std::string(S2T_SOURCE_DIR) + "/data/standards/" + name));

    writeFile(home + "/Standards/Corundum.std", kTenReflections);
    EXPECT_EQ(list().out, "Silicon\t" + home + "/Standards/Silicon.std\nLaB6\t" + home +
                              "/Standards/LaB6.std\nCorundum\t" + home + "/Standards/Corundum.std\n");
    // An emptied Standards folder stays empty.
    for (const char* name : {"Silicon.std", "LaB6.std", "Corundum.std"})
        std::filesystem::remove(home + "/Standards/" + name);
    result = list();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace s2t
