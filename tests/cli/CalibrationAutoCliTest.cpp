#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/NumberText.h"
#include "support/CliRun.h"
#include "support/Messages.h"
#include "support/ScanBytes.h"
#include "support/SyntheticScan.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::quoted;
using test::readFile;
using test::runCli;
using test::TempDir;

const std::string kExample = std::string(S2T_SOURCE_DIR) + "/examples/si-standard.chn";
// The line scripts/make-examples.py maps the example's channels with.
constexpr double kExampleK = 10.939501, kExampleC = 0.02692846;

// The number after "key" in text (the first occurrence at or after from).
double numberAfter(const std::string& text, const std::string& key, std::size_t from = 0) {
    const auto at = text.find(key, from);
    EXPECT_NE(at, std::string::npos) << key << " in " << text;
    return at == std::string::npos ? 0.0 : parseLeadingDouble(std::string_view(text).substr(at + key.size()));
}

class CalibrationAutoCli : public ::testing::Test {
protected:
    test::CliResult autoRun(const std::string& scan, const std::string& more) {
        return runCli("calibration auto --home " + quoted(home()) + " " + more + " " + quoted(scan), dir.path());
    }
    std::string home() const { return dir.file("home"); }

    TempDir dir;
};

TEST_F(CalibrationAutoCli, ExampleScanGivesTheLineItWasMadeWithAndShowReadsItBack) {
    // The example was made with silicon's older cell (5.43102 Angstrom) and K-alpha wavelengths
    // of 1.540562 and 1.544390 Angstrom; the shipped standard holds SRM 640e's cell (5.431179)
    // for 1.5406, and the defaults take 1.54443 for K-alpha2. Together they move the
    // reflections by less than a thousandth of a degree.
    const auto result = autoRun(kExample, "--standard Silicon -o " + quoted(dir.file("si.pre")) + " --peaks-out " +
                                              quoted(dir.file("si-peaks.txt")));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("Peaks found: "), std::string::npos);
    EXPECT_NE(result.out.find(", reflections matched: 9\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("     2-theta     channel   uncertainty   residual\n      7.0"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Option file written: " + dir.file("si.pre") + "\n"), std::string::npos);

    const auto shown =
        runCli("calibration show --home " + quoted(home()) + " --options " + quoted(dir.file("si.pre")), dir.path());
    ASSERT_EQ(shown.status, 0) << shown.err;
    // What is stored is what was printed.
    const double K = numberAfter(shown.out, "  K = "), C = numberAfter(shown.out, "  C = ");
    EXPECT_EQ(formatFixed(K, 6), formatFixed(numberAfter(result.out, "Stored: K = "), 6));
    EXPECT_NE(result.out.find(", C = " + formatFixed(C, 6) + " (residuals"), std::string::npos);
    // The nine pairs and the spline's two end guards, marked as such in the table.
    EXPECT_NE(shown.out.find("Calibration points: 11\n"), std::string::npos) << shown.out;
    EXPECT_NE(result.out.find("     end guard\n     28.4411    6"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("End guards are no reflections"), std::string::npos) << result.out;
    // Over the span of the matched reflections (channels 650 to 3830) both calibrations are within
    // a hundredth of a degree of the example's line; the stored line within two thousandths.
    for (double channel : {650.0, 1500.0, 2500.0, 3830.0})
        EXPECT_NEAR(K + C * channel, kExampleK + kExampleC * channel, 0.002) << channel;
    for (const char* row : {"      1000.0", "      1500.0", "      2000.0", "      2500.0"}) {
        const auto at = shown.out.find(row, shown.out.find("2-theta (spline)"));
        ASSERT_NE(at, std::string::npos) << row;
        const double channel = parseLeadingDouble(row);
        const std::string rest = shown.out.substr(at + std::string(row).size());
        const double line = parseLeadingDouble(rest);
        const double spline = parseLeadingDouble(rest.substr(rest.find_first_not_of(' ', rest.find(' ', 2))));
        EXPECT_NEAR(line, kExampleK + kExampleC * channel, 0.01) << row;
        EXPECT_NEAR(spline, kExampleK + kExampleC * channel, 0.01) << row;
    }

    // The peak file pairs, k-th with k-th, into the same points (without the end guards, which
    // only this command adds: the first and last point of its file).
    const auto paired = runCli("calibration from-standard --standard silicon --home " + quoted(home()) + " --peaks " +
                                   quoted(dir.file("si-peaks.txt")) + " -o " + quoted(dir.file("paired.pre")),
                               dir.path());
    ASSERT_EQ(paired.status, 0) << paired.err;
    const std::string autoFile = readFile(dir.file("si.pre")), pairedFile = readFile(dir.file("paired.pre"));
    const std::string pairedPoints = pairedFile.substr(pairedFile.find("numOfDataPoints= 9\r\n") + 20);
    const auto autoPoints = autoFile.find("numOfDataPoints= 11\r\n") + 21;
    const auto secondPoint = autoFile.find("\r\n", autoPoints) + 2;
    EXPECT_EQ(autoFile.substr(secondPoint, pairedPoints.size() - 2), pairedPoints.substr(0, pairedPoints.size() - 2));
    EXPECT_EQ(readFile(dir.file("si-peaks.txt")).substr(0, 10), "649.9282\r\n");
}

TEST_F(CalibrationAutoCli, WithoutOutputItWritesDefaultPreAndTheSameBytesEveryRun) {
    ASSERT_EQ(autoRun(kExample, "--standard Silicon").status, 0);
    const std::string first = readFile(home() + "/Default.pre");
    EXPECT_NE(first.find("numOfDataPoints= 11\r\n"), std::string::npos);
    // The second run starts from the first one's calibration and ends at the same one.
    const auto again = autoRun(kExample, "--standard Silicon --line-end lf");
    ASSERT_EQ(again.status, 0) << again.err;
    std::string lf = first;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    EXPECT_EQ(readFile(home() + "/Default.pre"), lf);
}

TEST_F(CalibrationAutoCli, JsonHoldsWhatTheTextShows) {
    const auto text = autoRun(kExample, "--standard Silicon -o " + quoted(dir.file("t.pre")));
    const auto json = autoRun(kExample, "--standard Silicon --json -o " + quoted(dir.file("j.pre")));
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(readFile(dir.file("t.pre")), readFile(dir.file("j.pre")));
    EXPECT_EQ(json.out.rfind("{\n  \"standard\": \"", 0), 0u) << json.out;
    EXPECT_NE(json.out.find("\n  \"K\": " + formatFixed(numberAfter(text.out, "Stored: K = "), 6) + ",\n  \"C\": " +
                            formatFixed(numberAfter(text.out, ", C = ", text.out.find("Stored: K = ")), 6) + ",\n"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("      \"twoTheta\": 28.4411,\n      \"channel\": 6"), std::string::npos);
    EXPECT_NE(json.out.find("\"optionFile\": \"" + dir.file("j.pre") + "\",\n  \"peakFile\": null\n}\n"),
              std::string::npos);
}

TEST_F(CalibrationAutoCli, CurvedLawConvertsWithinFourThousandthsByTheStoredSpline) {
    // A law that departs from a line by a tenth of a degree, a poor start, the doublets: the
    // conversion's own spline through what the command stored follows the law over the span.
    test::SyntheticScan scan;
    scan.K = 10.9;
    scan.C = 0.0269;
    scan.bow = 0.1;
    scan.reflections = test::siliconReflections(5.431179, 1.5406, 9000.0);
    std::vector<std::int32_t> counts;
    for (double count : test::poissonCounts(scan.expected(), 11)) counts.push_back(static_cast<std::int32_t>(count));
    test::writeFile(dir.file("curved.chn"), test::chnBytes(0, counts));
    const auto result = autoRun(dir.file("curved.chn"),
                                "--standard Silicon -K 11.5 -C 0.0275 --json -o " + quoted(dir.file("curved.pre")));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\"endGuards\": [\n    {\n      \"twoTheta\": "), std::string::npos) << result.out;

    const auto converted =
        runCli("convert --home " + quoted(home()) + " --options " + quoted(dir.file("curved.pre")) +
                   " --calibration spline -o " + quoted(dir.file("curved.txt")) + " " + quoted(dir.file("curved.chn")),
               dir.path());
    ASSERT_EQ(converted.status, 0) << converted.err;
    const std::string text = readFile(dir.file("curved.txt"));
    // The span of the reflections inside the scan: 28.44 to 114.09 degrees.
    double largest = 0.0;
    std::size_t checked = 0;
    std::size_t channel = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos && end + 1 < text.size(); ++channel) {
        const std::size_t at = end + 1;
        end = text.find('\n', at);
        const double truth = scan.twoThetaAt(static_cast<double>(channel));
        if (truth < 28.4411 || truth > 114.0899) continue;
        largest = std::max(largest, std::fabs(parseLeadingDouble(std::string_view(text).substr(at)) - truth));
        ++checked;
    }
    EXPECT_EQ(channel, scan.channels);
    EXPECT_GT(checked, 3000u);
    EXPECT_LE(largest, 0.004);
}

TEST_F(CalibrationAutoCli, PowderCifNamesTheStandardWhileItsCalibrationIsInForce) {
    auto convert = [&](const std::string& more, const std::string& output) {
        const auto run = runCli("convert --home " + quoted(home()) + " -f pdcif " + more + " -o " +
                                    quoted(dir.file(output)) + " " + quoted(kExample),
                                dir.path());
        EXPECT_EQ(run.status, 0) << run.err;
        return readFile(dir.file(output));
    };
    ASSERT_EQ(autoRun(kExample, "--standard Silicon -o " + quoted(dir.file("si.pre"))).status, 0);
    const std::string origin = readFile(dir.file("si.pre.standard"));
    EXPECT_EQ(origin.substr(0, 30), "standard=Silicon\r\ncalibration=");
    EXPECT_EQ(origin.size(), 48u);
    test::writeFile(dir.file("plain.pre"), readFile(dir.file("si.pre")));  // the same calibration, no origin

    // Byte for byte the file without a known standard, with the one item before the equation.
    const std::string item = "_pd_calib_std_external_name         'Silicon'\r\n";
    for (const std::string mode : {"spline", "linear"}) {
        const std::string named =
            convert("--calibration " + mode + " --options " + quoted(dir.file("si.pre")), "a.cif");
        std::string expected =
            convert("--calibration " + mode + " --options " + quoted(dir.file("plain.pre")), "b.cif");
        ASSERT_EQ(expected.find("_pd_calib_std"), std::string::npos);
        expected.insert(expected.find("_pd_calibration_conversion_eqn"), item);
        EXPECT_EQ(named, expected) << mode;
    }
    // A line set on the command line is not the standard's calibration.
    EXPECT_EQ(convert("-K 11 --options " + quoted(dir.file("si.pre")), "k.cif").find("_pd_calib_std"),
              std::string::npos);

    // Another calibration written over the option file: its old origin no longer holds.
    test::writeFile(dir.file("points.txt"), "650 28.44\n1350 47.3\n1678 56.12\n");
    ASSERT_EQ(runCli("calibration fit --home " + quoted(home()) + " --points " + quoted(dir.file("points.txt")) +
                         " -o " + quoted(dir.file("si.pre")),
                     dir.path())
                  .status,
              0);
    EXPECT_EQ(readFile(dir.file("si.pre.standard")), origin);
    EXPECT_EQ(convert("--calibration spline --options " + quoted(dir.file("si.pre")), "c.cif").find("_pd_calib_std"),
              std::string::npos);

    // The pairs of a peak file and a standard, into Default.pre: named there, and used by default.
    ASSERT_EQ(autoRun(kExample, "--standard Silicon -o " + quoted(dir.file("x.pre")) + " --peaks-out " +
                                    quoted(dir.file("peaks.txt")))
                  .status,
              0);
    ASSERT_EQ(runCli("calibration from-standard --standard silicon --home " + quoted(home()) + " --peaks " +
                         quoted(dir.file("peaks.txt")),
                     dir.path())
                  .status,
              0);
    EXPECT_EQ(readFile(home() + "/Default.pre.standard").substr(0, 18), "standard=Silicon\r\n");
    EXPECT_NE(convert("--calibration spline", "d.cif").find(item), std::string::npos);
}

TEST_F(CalibrationAutoCli, TooFewMatchesAreRefusedAndNothingIsWritten) {
    test::SyntheticScan scan;
    scan.K = 10.939501;
    scan.C = 0.02692846;
    scan.reflections = test::siliconReflections(5.431179, 1.5406, 8000.0);
    scan.reflections.resize(2);
    std::vector<std::int32_t> counts;
    for (double count : test::poissonCounts(scan.expected(), 3)) counts.push_back(static_cast<std::int32_t>(count));
    test::writeFile(dir.file("two.chn"), test::chnBytes(0, counts));
    const auto result = autoRun(dir.file("two.chn"), "--standard Silicon -o " + quoted(dir.file("two.pre")) +
                                                         " --peaks-out " + quoted(dir.file("two.txt")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, test::consoleLine(messages::kNotPossible, messages::tooFewMatches(2, 3)));
    EXPECT_NE(result.out.find("Peaks found: "), std::string::npos);
    EXPECT_FALSE(test::fileExists(dir.file("two.pre")));
    EXPECT_FALSE(test::fileExists(dir.file("two.txt")));
}

TEST_F(CalibrationAutoCli, BadArgumentsAndOutputsThatWouldReplaceTheScan) {
    for (const std::string bad : {"--alpha2 abc", "--alpha2 -1", "--wavelength 0", "--alpha2-ratio -0.5", "-C 0",
                                  "-K 1e999", "--standard nothing-like-it"}) {
        const auto result = autoRun(kExample, "--standard Silicon " + bad + " -o " + quoted(dir.file("x.pre")));
        EXPECT_EQ(result.status, 2) << bad << result.err;
        EXPECT_FALSE(test::fileExists(dir.file("x.pre"))) << bad;
    }
    test::writeFile(dir.file("scan.chn"), readFile(kExample));
    const auto replacing = autoRun(dir.file("scan.chn"), "--standard Silicon -o " + quoted(dir.file("scan.chn")));
    EXPECT_EQ(replacing.status, 1);
    EXPECT_EQ(replacing.err.rfind("File Error: ", 0), 0u) << replacing.err;
    EXPECT_EQ(readFile(dir.file("scan.chn")), readFile(kExample));

    // A monochromatic reading of the same scan still calibrates, less well than the doublets do.
    const auto mono = autoRun(kExample, "--standard Silicon --alpha2 none -o " + quoted(dir.file("m.pre")));
    EXPECT_EQ(mono.status, 0) << mono.err;
}

}  // namespace
}  // namespace s2t
