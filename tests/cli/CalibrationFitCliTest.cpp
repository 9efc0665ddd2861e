#include <gtest/gtest.h>

#include <string>

#include "support/CliRun.h"
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

class CalibrationFitCli : public ::testing::Test {
protected:
    test::CliResult fit(const std::string& points, const std::string& more = "") {
        writeFile(dir.file("points.txt"), points);
        return runCli("calibration fit --points " + quoted(dir.file("points.txt")) + " --home " +
                          quoted(home()) + " " + more,
                      dir.path());
    }
    std::string home() const { return dir.file("home"); }
    std::string defaultPre() const { return readFile(dir.file("home/Default.pre")); }

    TempDir dir;
};

TEST_F(CalibrationFitCli, PointsOnALineGiveThatLine) {
    auto result = fit("# channel 2-theta\r\n100 12.5\r\n\r\n  500\t22.5\r\n   # aside\n1000 35\n2000 60");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(defaultPre(), kLineFile);
    EXPECT_NE(result.out.find("  K = 10.000000\n  C = 0.02500000\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("   2000.0000     60.0000          0.0000\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Option file written: " + home() + "/Default.pre\n"),
              std::string::npos);
}

TEST_F(CalibrationFitCli, ResidualsOfPointsOffTheLine) {
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

TEST_F(CalibrationFitCli, OutputFileIsReplacedWithoutAQuestion) {
    writeFile(dir.file("old.pre"), "old contents\n");
    auto result = fit("100 12.5\n500 22.5\n1000 35\n2000 60\n",
                      "-o " + quoted(dir.file("old.pre")) + " --line-end lf");
    ASSERT_EQ(result.status, 0) << result.err;
    std::string lf = kLineFile;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    EXPECT_EQ(readFile(dir.file("old.pre")), lf);
    // Default.pre keeps the built-in calibration it was created with.
    EXPECT_NE(defaultPre().find("K=\t10.939501\r\n"), std::string::npos);
}

TEST_F(CalibrationFitCli, MalformedLinesAreUsageErrors) {
    for (const std::string bad : {"655 28.783 1\n", "655\n", "655 abc\n", "655 28.7x\n",
                                  "655 inf\n", "0x10 5\n"}) {
        auto result = fit("100 12.5\n# fine\n" + bad, "-o " + quoted(dir.file("out.pre")));
        EXPECT_EQ(result.status, 2) << bad;
        std::string line = bad.substr(0, bad.size() - 1);
        EXPECT_NE(result.err.find("line 3: expected \"channel 2-theta\" (two finite numbers), got \"" +
                                  line + "\""),
                  std::string::npos)
            << result.err;
        EXPECT_FALSE(test::fileExists(dir.file("out.pre"))) << bad;
    }
    auto missing = runCli("calibration fit --points " + quoted(dir.file("none.txt")), dir.path());
    EXPECT_EQ(missing.status, 2);
}

TEST_F(CalibrationFitCli, RefusedFitsChangeNothing) {
    ASSERT_EQ(fit("100 12.5\n500 22.5\n1000 35\n2000 60\n").status, 0);
    auto one = fit("655 28.783\n");
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(one.err, "Not Possible: A straight line needs at least two points.\n");
    auto sameChannel = fit("655 28.783\n655 47.304\n");
    EXPECT_EQ(sameChannel.status, 1);
    EXPECT_EQ(sameChannel.err,
              "Not Possible: A straight line needs points with at least two different channels.\n");
    EXPECT_EQ(defaultPre(), kLineFile);

    // A folder that cannot hold the option file: reported, failure.
    auto unwritable = fit("100 12.5\n500 22.5\n", "-o " + quoted(dir.file("no/such/dir/x.pre")));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err.rfind("Option File Error: ", 0), 0u) << unwritable.err;
}

}  // namespace
}  // namespace s2t
