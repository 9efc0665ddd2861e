#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliMessages.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardFile.h"
#include "support/CliRun.h"
#include "support/Messages.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::quoted;
using test::readFile;
using test::runCli;
using test::TempDir;
using test::writeFile;

// The option file of a calibration fitted through 2-theta = 0.025 x channel + 10.
const std::string kLineFile =
    "#y=Cx+K\r\n#Header\r\nK=\t10.000000\r\nC=\t0.025000\r\n\r\n"
    "#Observed Channel for the peaks, calculated 2-theta value for peaks\r\n"
    "#Calibrasion Data\r\nnumOfDataPoints= 4\r\n"
    "100.0000\t 12.5000\r\n500.0000\t 22.5000\r\n1000.0000\t 35.0000\r\n2000.0000\t 60.0000\r\n\r\n";

// Ten reflections at 20, 25, ..., 65 degrees.
const std::string kTenReflections =
    "NAME = 'Corundum'\r\nDATA\r\n20\r\n25\r\n30\r\n35\r\n40\r\n45\r\n50\r\n55\r\n60\r\n65\r\n\r\n";
// Seven peaks on the line 2-theta = 0.025 x channel + 10 against those reflections.
const std::string kSevenPeaks = "400\r\n600\r\n800\r\n1000\r\n1200\r\n1400\r\n1600\r\n";

// The calibration commands and the standards list, each with a program folder of its own that a
// first run seeded with the shipped standards.
class CalibrationCli : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(runCli("standards --home " + quoted(home()), dir.path()).status, 0);
        writeFile(home() + "/Standards/Corundum.std", kTenReflections);
        writeFile(dir.file("peaks.txt"), kSevenPeaks);
    }
    test::CliResult fit(const std::string& points, const std::string& more = "") {
        writeFile(dir.file("points.txt"), points);
        return runCli(
            "calibration fit --points " + quoted(dir.file("points.txt")) + " --home " + quoted(home()) + " " + more,
            dir.path());
    }
    test::CliResult fromStandard(const std::string& standard, const std::string& peaks, const std::string& more = "") {
        return runCli("calibration from-standard --standard " + quoted(standard) + " --peaks " + quoted(peaks) +
                          " --home " + quoted(home()) + " " + more,
                      dir.path());
    }
    std::string home() const { return dir.file("home"); }
    std::string defaultPre() const { return readFile(home() + "/Default.pre"); }

    TempDir dir;
};

TEST_F(CalibrationCli, PointsOnALineGiveThatLine) {
    auto result = fit("# channel 2-theta\r\n100 12.5\r\n\r\n  500\t22.5\r\n   # aside\n1000 35\n2000 60");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(defaultPre(), kLineFile);
    EXPECT_NE(result.out.find("  K = 10.000000\n  C = 0.02500000\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("   2000.0000     60.0000          0.0000\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Option file written: " + home() + "/Default.pre\n"), std::string::npos);
}

TEST_F(CalibrationCli, ResidualsOfPointsOffTheLine) {
    // The least-squares line through these points is 2-theta = 0.011 x channel + 10.6.
    auto result = fit("0 10\n100 13\n200 12\n300 14\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("  K = 10.600000\n  C = 0.01100000\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("      0.0000     10.0000         -0.6000\n"
                              "    100.0000     13.0000          1.3000\n"
                              "    200.0000     12.0000         -0.8000\n"
                              "    300.0000     14.0000          0.1000\n"),
              std::string::npos)
        << result.out;
}

TEST_F(CalibrationCli, OutputFileIsReplacedWithoutAQuestion) {
    writeFile(dir.file("old.pre"), "old contents\n");
    auto result = fit("100 12.5\n500 22.5\n1000 35\n2000 60\n", "-o " + quoted(dir.file("old.pre")) + " --line-end lf");
    ASSERT_EQ(result.status, 0) << result.err;
    std::string lf = kLineFile;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    EXPECT_EQ(readFile(dir.file("old.pre")), lf);
    // Default.pre keeps the built-in calibration it was created with.
    EXPECT_NE(defaultPre().find("K=\t10.939501\r\n"), std::string::npos);
}

TEST_F(CalibrationCli, MalformedLinesAreUsageErrors) {
    for (const std::string bad : {"655 28.783 1\n", "655\n", "655 abc\n", "655 28.7x\n", "655 inf\n", "0x10 5\n"}) {
        auto result = fit("100 12.5\n# fine\n" + bad, "-o " + quoted(dir.file("out.pre")));
        EXPECT_EQ(result.status, 2) << bad;
        std::string line = bad.substr(0, bad.size() - 1);
        EXPECT_NE(result.err.find(messages::malformedPointsLine(dir.file("points.txt"), 3, line)), std::string::npos)
            << result.err;
        EXPECT_FALSE(test::fileExists(dir.file("out.pre"))) << bad;
    }
    auto missing = runCli("calibration fit --points " + quoted(dir.file("none.txt")), dir.path());
    EXPECT_EQ(missing.status, 2);
}

TEST_F(CalibrationCli, RefusedFitsChangeNothing) {
    ASSERT_EQ(fit("100 12.5\n500 22.5\n1000 35\n2000 60\n").status, 0);
    auto one = fit("655 28.783\n");
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(one.err, test::consoleLine(messages::kNotPossible, messages::kLineNeedsTwoPoints));
    auto sameChannel = fit("655 28.783\n655 47.304\n");
    EXPECT_EQ(sameChannel.status, 1);
    EXPECT_EQ(sameChannel.err, test::consoleLine(messages::kNotPossible, messages::kLineNeedsTwoChannels));
    EXPECT_EQ(defaultPre(), kLineFile);

    // A folder that cannot hold the option file: reported, failure.
    auto unwritable = fit("100 12.5\n500 22.5\n", "-o " + quoted(dir.file("no/such/dir/x.pre")));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err.rfind("Option File Error: ", 0), 0u) << unwritable.err;
}

TEST_F(CalibrationCli, PairsBecomeTheCalibrationPoints) {
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

TEST_F(CalibrationCli, ShippedStandardByNameIntoDefaultPre) {
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
    EXPECT_NE(defaultPre().find(expected + "\r\n"), std::string::npos);
}

TEST_F(CalibrationCli, StandardGivenAsAFile) {
    writeFile(dir.file("mine.std"), "name= 'Mine'\nDATA\n20\n30\n\n");
    auto result = fromStandard(dir.file("mine.std"), dir.file("peaks.txt"), "-o " + quoted(dir.file("m.pre")));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(readFile(dir.file("m.pre"))
                  .find("numOfDataPoints= 2\r\n400.0000\t 20.0000\r\n"
                        "600.0000\t 30.0000\r\n"),
              std::string::npos);
}

TEST_F(CalibrationCli, FailuresWriteNothing) {
    const std::string before = defaultPre();

    auto unknown = fromStandard("Quartz", dir.file("peaks.txt"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--standard: " + messages::notAStandard("Quartz", home() + "/Standards",
                                                                       "Silicon, LaB6, Corundum, CeO2")),
              std::string::npos)
        << unknown.err;

    writeFile(dir.file("nodata.std"), "name= 'No data'\n20\n");
    auto noData = fromStandard(dir.file("nodata.std"), dir.file("peaks.txt"));
    EXPECT_EQ(noData.status, 1);
    EXPECT_EQ(noData.err, test::consoleLine(messages::kNoPoints, messages::kStandardWithoutPoints));

    writeFile(dir.file("signed.txt"), "-400\n600\n");
    auto unrecognised = fromStandard("Corundum", dir.file("signed.txt"));
    EXPECT_EQ(unrecognised.status, 1);
    EXPECT_EQ(unrecognised.err, test::consoleLine(messages::kNoPoints, messages::kXfitLayoutUnknown));

    writeFile(dir.file("one.txt"), "400\n");
    auto onePair = fromStandard("Corundum", dir.file("one.txt"));
    EXPECT_EQ(onePair.status, 1);
    EXPECT_EQ(onePair.err, test::consoleLine(messages::kNotPossible, messages::kLineNeedsTwoPoints));

    EXPECT_EQ(fromStandard("Corundum", dir.file("missing.txt")).status, 2);
    EXPECT_EQ(defaultPre(), before);
}

TEST(StandardsCli, ANewProgramFolderIsSeededAndItsStandardsListedInTheWindowsOrder) {
    TempDir dir;
    const std::string home = dir.file("new");
    const auto list = [&] { return runCli("standards --home " + quoted(home), dir.path()); };
    auto result = list();
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::string shipped = "Silicon\t" + home + "/Standards/Silicon.std\nLaB6\t" + home +
                                "/Standards/LaB6.std\nCorundum\t" + home + "/Standards/Corundum.std\nCeO2\t" + home +
                                "/Standards/CeO2.std\n";
    EXPECT_EQ(result.out, shipped);
    EXPECT_TRUE(test::fileExists(home + "/Default.pre"));
    for (const char* name : {"Silicon.std", "LaB6.std", "Corundum.std", "CeO2.std"})
        EXPECT_EQ(readFile(home + "/Standards/" + name),
                  readFile(std::string(S2T_SOURCE_DIR) + "/data/standards/" + name));

    // A user's own Corundum.std takes the shipped one's place and is listed by its name line.
    writeFile(home + "/Standards/Corundum.std", kTenReflections);
    writeFile(home + "/Standards/Alumina.std", "name= 'Alumina'\r\nDATA\r\n25.6\r\n\r\n");
    EXPECT_EQ(list().out, shipped + "Alumina\t" + home + "/Standards/Alumina.std\n");
    EXPECT_EQ(readFile(home + "/Standards/Corundum.std"), kTenReflections);
    // An emptied Standards folder stays empty.
    for (const char* name : {"Silicon.std", "LaB6.std", "Corundum.std", "CeO2.std", "Alumina.std"})
        std::filesystem::remove(home + "/Standards/" + name);
    result = list();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
}

}  // namespace
}  // namespace s2t
