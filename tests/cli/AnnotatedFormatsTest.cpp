// The annotated formats (xy, xye, fxye, pdcif) end to end: the same points as the text list, the
// uncertainty of every count, the file's metadata in the headers, counts per second and the
// calibration stored in a channel file; read back by independent readers (xylib's xyconv, gemmi's
// CIF parser) and by an FXYE reader written here from the format.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "platform/NumberText.h"
#include "support/CliRun.h"
#include "support/Messages.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::fileLines;
using test::readFile;
using test::runCli;
using test::runCommand;
using test::TempDir;
using test::writeFile;

const std::string kExamples = std::string(S2T_SOURCE_DIR) + "/examples/";

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

// The data lines of a file: every line after the header lines (those starting with prefix, or
// the first `skip` lines).
std::vector<std::vector<std::string>> dataRows(const std::string& path, const std::string& prefix,
                                               std::size_t skip = 0) {
    std::vector<std::vector<std::string>> rows;
    const auto lines = fileLines(path);
    for (std::size_t i = skip; i < lines.size(); ++i) {
        if (!prefix.empty() && lines[i].rfind(prefix, 0) == 0) continue;
        rows.push_back(words(lines[i]));
    }
    return rows;
}

double number(const std::string& text) { return parseLeadingDouble(text); }

// A GSAS FXYE file read as the format defines it: a title line, comment lines starting with '#', a
// BANK line (BANK n points records CONS first step 0 0 FXYE, 2-theta in centidegrees), then one
// line per point: 2-theta in centidegrees, value, standard uncertainty.
struct FxyeFile {
    std::string title;
    long long points = 0, records = 0;
    double first = 0.0, step = 0.0;             // degrees
    std::vector<std::array<double, 3>> values;  // 2-theta in degrees, value, uncertainty
};

FxyeFile readFxye(const std::string& path) {
    const auto lines = fileLines(path);
    FxyeFile f;
    EXPECT_FALSE(lines.empty());
    if (lines.empty()) return f;
    f.title = lines[0];
    std::size_t i = 1;
    while (i < lines.size() && lines[i].rfind("#", 0) == 0) ++i;
    EXPECT_LT(i, lines.size());
    if (i >= lines.size()) return f;
    const auto bank = words(lines[i]);
    EXPECT_EQ(bank.size(), 10u) << lines[i];
    if (bank.size() != 10) return f;
    EXPECT_EQ(bank[0], "BANK");
    EXPECT_EQ(bank[1], "1");
    EXPECT_EQ(bank[4], "CONS");
    EXPECT_EQ(bank[9], "FXYE");
    f.points = std::stoll(bank[2]);
    f.records = std::stoll(bank[3]);
    f.first = number(bank[5]) / 100.0;
    f.step = number(bank[6]) / 100.0;
    for (++i; i < lines.size(); ++i) {
        const auto w = words(lines[i]);
        EXPECT_EQ(w.size(), 3u) << lines[i];
        if (w.size() != 3) break;
        f.values.push_back({number(w[0]) / 100.0, number(w[1]), number(w[2])});
    }
    return f;
}

struct AnnotatedFixture : ::testing::Test {
    AnnotatedFixture() { EXPECT_EQ(runCli({"calibration", "show", "--home", dir.file("home")}).status, 0); }

    // convert into dir/name with LF line ends, plus the given arguments; the status must be 0.
    std::string convert(const std::string& name, std::vector<std::string> arguments, int status = 0) const {
        arguments.insert(arguments.begin(), {"convert", "--home", dir.file("home"), "-q", "--line-end", "lf",
                                             "--overwrite", "-o", dir.file(name)});
        const auto run = runCli(arguments);
        EXPECT_EQ(run.status, status) << run.err;
        lastError = run.err;
        return run.err;
    }

    TempDir dir;
    mutable std::string lastError;
};

TEST_F(AnnotatedFixture, XyeOfTheSiliconStandardIsTheTextListWithTheSquareRootOfEachCount) {
    const std::string input = kExamples + "si-standard.chn";
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{}, {"--range", "27:30"}, {"--whole-angle"}}) {
        std::vector<std::string> text = {input, "-f", "text"}, xye = {input, "-f", "xye"}, xy = {input, "-f", "xy"};
        for (auto* arguments : {&text, &xye, &xy}) arguments->insert(arguments->end(), extra.begin(), extra.end());
        convert("si", text);
        convert("si", xye);
        convert("si", xy);
        const auto expected = dataRows(dir.file("si.txt"), "", 1);
        const auto rows = dataRows(dir.file("si.xye"), "#");
        const auto xyRows = dataRows(dir.file("si.xy"), "#");
        ASSERT_EQ(rows.size(), expected.size());
        ASSERT_EQ(xyRows.size(), expected.size());
        ASSERT_GT(rows.size(), 100u);
        if (extra.empty()) {
            EXPECT_EQ(rows.size(), 4096u);
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i].size(), 3u);
            EXPECT_EQ(rows[i][0], expected[i][0]) << i;
            EXPECT_EQ(rows[i][1], expected[i][1]) << i;
            EXPECT_EQ(rows[i][2], formatFixed(std::sqrt(number(expected[i][1])), 4)) << i;
            EXPECT_EQ(xyRows[i], std::vector<std::string>(rows[i].begin(), rows[i].begin() + 2)) << i;
        }
    }
}

TEST_F(AnnotatedFixture, HeadersSayWhereTheDataCameFromAndHowItWasMade) {
    convert("si", {kExamples + "si-standard.chn", "-f", "xye", "-s", "0.02", "--interpolation", "spline"});
    const std::string header =
        "# scan2theta " S2T_VERSION
        "\n"
        "# Source: " +
        kExamples +
        "si-standard.chn\n"
        "# Calibration: 2-theta = C x channel + K, K = 10.939501, C = 0.026928\n"
        "# Wavelength: 1.5406 Angstrom\n"
        "# Description: Si powder standard, 10 min\n"
        "# Detector: Scintillation detector, Cu tube 40 kV 30 mA\n"
        "# Started: 2024-03-04T09:15:17\n"
        "# Live time: 597.4 s\n"
        "# Real time: 600 s\n"
        "# Resampled: constant step of 0.02 degrees by cubic spline interpolation, uncertainties propagated\n"
        "# 2theta count sigma\n";
    EXPECT_EQ(readFile(dir.file("si.xye")).substr(0, header.size()), header);

    // A description with a lower-case q would make GSAS-II take the file for a scan in Q.
    std::string quartz = readFile(kExamples + "corundum.chn");
    const std::string description = "quartz, 2 q-values";
    quartz[32 + 4 * 4096 + 320] = static_cast<char>(description.size());
    quartz.replace(32 + 4 * 4096 + 321, description.size(), description);
    writeFile(dir.file("quartz.chn"), quartz);
    convert("q", {dir.file("quartz.chn"), "-f", "xy", "--calibration", "spline", "--wavelength", "0.70932"});
    const std::string xy = readFile(dir.file("q.xy"));
    EXPECT_NE(xy.find("# Description: Quartz, 2 Q-values\n"), std::string::npos) << xy.substr(0, 600);
    EXPECT_NE(xy.find("# Calibration: cubic spline through 4 points\n"), std::string::npos);
    EXPECT_NE(xy.find("# Wavelength: 0.70932 Angstrom\n"), std::string::npos);
    EXPECT_NE(xy.find("# 2theta count\n"), std::string::npos);
    const std::size_t data = xy.find("\n1") + 1;
    EXPECT_EQ(xy.substr(0, data).find('q'), std::string::npos);
    convert("q", {dir.file("quartz.chn"), "-f", "fxye"});
    const auto fxye = fileLines(dir.file("q.fxye"));
    EXPECT_EQ(fxye[0], "quartz.chn: quartz, 2 q-values");
}

TEST_F(AnnotatedFixture, XyconvReadsXyXyeAndPowderCifPointForPoint) {
    const std::string input = kExamples + "si-corundum-mix.chn";
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{}, {"-s", "0.02", "--range", "20:60"}, {"-s", "0.01", "--fractional-counts"}}) {
        std::vector<std::string> text = {input, "-f", "text"};
        text.insert(text.end(), extra.begin(), extra.end());
        convert("mix", text);
        const auto expected = dataRows(dir.file("mix.txt"), "", 1);
        ASSERT_GT(expected.size(), 1000u);
        for (const auto& [format, extension, type] :
             {std::tuple{"xy", "xy", "text"}, {"xye", "xye", "text"}, {"pdcif", "cif", "pdcif"}}) {
            std::vector<std::string> arguments = {input, "-f", format};
            arguments.insert(arguments.end(), extra.begin(), extra.end());
            convert("mix", arguments);
            std::string output;
            const std::string file = dir.file(std::string("mix.") + extension);
            ASSERT_EQ(runCommand("xyconv -t " + std::string(type) + " " + test::quoted(file) + " -", output, true), 0)
                << output;
            std::vector<std::vector<std::string>> read;
            std::istringstream in(output);
            for (std::string line; std::getline(in, line);)
                if (!line.empty() && line[0] != '#') read.push_back(words(line));
            ASSERT_EQ(read.size(), expected.size()) << format << "\n" << output.substr(0, 400);
            for (std::size_t i = 0; i < read.size(); ++i) {
                ASSERT_GE(read[i].size(), 2u);
                EXPECT_NEAR(number(read[i][0]), number(expected[i][0]), 1e-8) << format << " row " << i;
                EXPECT_NEAR(number(read[i][1]), number(expected[i][1]), 1e-9) << format << " row " << i;
            }
        }
    }
}

TEST_F(AnnotatedFixture, PowderCifParsesAsCifWithEveryPointAndTheMeasurementsItems) {
    const std::string script = dir.file("check.py");
    // Prints the block's items and the loop as the CIF parser gives them.
    writeFile(script,
              "import sys, gemmi\n"
              "block = gemmi.cif.read_file(sys.argv[1]).sole_block()\n"
              "print(block.name)\n"
              "for name in ['_pd_block_id', '_diffrn_radiation_wavelength', '_pd_meas_datetime_initiated',\n"
              "             '_pd_meas_scan_method', '_pd_meas_number_of_points', '_pd_proc_number_of_points',\n"
              "             '_pd_calibration_conversion_eqn']:\n"
              "    print(name, block.find_value(name))\n"
              "for tags in (['_pd_meas_2theta_scan', '_pd_meas_counts_total'],\n"
              "             ['_pd_proc_2theta_corrected', '_pd_proc_intensity_total']):\n"
              "    table = block.find(tags)\n"
              "    if len(table):\n"
              "        print('loop', tags[0], len(table))\n"
              "        for row in table:\n"
              "            print(row[0], row[1])\n");
    const std::string input = kExamples + "si-standard.chn";
    convert("text", {input});
    const auto expected = dataRows(dir.file("text.txt"), "", 1);
    convert("si", {input, "-f", "pdcif", "--wavelength", "1.54056"});
    std::string output;
    ASSERT_EQ(
        runCommand("/usr/bin/python3 " + test::quoted(script) + " " + test::quoted(dir.file("si.cif")), output, true),
        0)
        << output;
    std::istringstream in(output);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 9u + expected.size()) << output.substr(0, 1000);
    EXPECT_EQ(lines[0], "si-standard");
    EXPECT_EQ(lines[1], "_pd_block_id '2024-03-04T09:15:17|si-standard||'");
    EXPECT_EQ(lines[2], "_diffrn_radiation_wavelength 1.54056");
    EXPECT_EQ(lines[3], "_pd_meas_datetime_initiated 2024-03-04T09:15:17");
    EXPECT_EQ(lines[4], "_pd_meas_scan_method fixed");
    EXPECT_EQ(lines[5], "_pd_meas_number_of_points 4096");
    EXPECT_EQ(lines[6], "_pd_proc_number_of_points None");
    // The calibration in force: the built-in line as Default.pre stores it, six decimals.
    EXPECT_EQ(lines[7], "_pd_calibration_conversion_eqn '2theta = 10.939501 + 0.026928 * channel'");
    EXPECT_EQ(lines[8], "loop _pd_meas_2theta_scan 4096");
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(words(lines[9 + i]), expected[i]) << i;
    // The description is a comment.
    EXPECT_NE(readFile(dir.file("si.cif")).find("\n# Description: Si powder standard, 10 min\n"), std::string::npos);

    // Resampled: processed values with their uncertainties.
    convert("si", {input, "-f", "pdcif", "-s", "0.05", "--range", "28:29"});
    ASSERT_EQ(
        runCommand("/usr/bin/python3 " + test::quoted(script) + " " + test::quoted(dir.file("si.cif")), output, true),
        0)
        << output;
    EXPECT_NE(output.find("_pd_meas_number_of_points 4096\n_pd_proc_number_of_points 21\n"), std::string::npos)
        << output;
    EXPECT_NE(output.find("loop _pd_proc_2theta_corrected 21\n28.00000000 "), std::string::npos) << output;
}

TEST_F(AnnotatedFixture, AnFxyeReaderFindsEveryPointInCentidegrees) {
    const std::string input = kExamples + "corundum.chn";
    convert("text", {input});
    const auto expected = dataRows(dir.file("text.txt"), "", 1);
    convert("c", {input, "-f", "fxye"});
    const FxyeFile asRead = readFxye(dir.file("c.fxye"));
    EXPECT_EQ(asRead.title, "corundum.chn: Alumina (corundum), 15 min");
    ASSERT_EQ(asRead.points, 4096);
    EXPECT_EQ(asRead.records, 4096);
    ASSERT_EQ(asRead.values.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(asRead.values[i][0], number(expected[i][0]), 1e-9) << i;
        EXPECT_EQ(asRead.values[i][1], number(expected[i][1])) << i;
        EXPECT_NEAR(asRead.values[i][2], std::sqrt(number(expected[i][1])), 5e-5) << i;
    }
    EXPECT_NEAR(asRead.first, number(expected.front()[0]), 1e-6);
    // Points as read are not on a constant step: the BANK line gives the mean step.
    EXPECT_NEAR(asRead.step, (number(expected.back()[0]) - number(expected.front()[0])) / 4095.0, 1e-6);

    convert("text", {input, "-s", "0.025", "--range", "30:40"});
    const auto grid = dataRows(dir.file("text.txt"), "", 1);
    convert("c", {input, "-f", "fxye", "-s", "0.025", "--range", "30:40"});
    const FxyeFile resampled = readFxye(dir.file("c.fxye"));
    ASSERT_EQ(resampled.values.size(), grid.size());
    EXPECT_EQ(resampled.points, static_cast<long long>(grid.size()));
    EXPECT_EQ(resampled.first, 30.0);
    EXPECT_EQ(resampled.step, 0.025);
    for (std::size_t i = 0; i < grid.size(); ++i) {
        EXPECT_NEAR(resampled.values[i][0], resampled.first + static_cast<double>(i) * resampled.step, 1e-9) << i;
        EXPECT_EQ(resampled.values[i][1], number(grid[i][1])) << i;
        EXPECT_GT(resampled.values[i][2], 0.0);
    }
}

TEST_F(AnnotatedFixture, CountsPerSecondOfTheLiveTime) {
    const std::string input = kExamples + "si-standard.chn";
    convert("text", {input, "--fractional-counts"});
    const auto expected = dataRows(dir.file("text.txt"), "", 1);
    convert("si", {input, "-f", "xye", "--per-second"});
    const auto rows = dataRows(dir.file("si.xye"), "#");
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double count = number(expected[i][1]);
        EXPECT_EQ(rows[i][1], formatFixed(count / 597.4, 6)) << i;
        EXPECT_EQ(rows[i][2], formatFixed(std::sqrt(count) / 597.4, 6)) << i;
    }
    EXPECT_NE(readFile(dir.file("si.xye")).find("# Counts per second: divided by the live time of 597.4 s\n"),
              std::string::npos);

    // A file without a live time is skipped with a message; the others are converted.
    std::string bare = chnBytes(0, {1, 2, 3});
    std::fill(bare.begin() + 2, bare.begin() + 28, '\0');
    writeFile(dir.file("bare.chn"), bare);
    const auto run = runCli({"convert", "--home", dir.file("home"), "-q", "-f", "xy", "--per-second", "-o",
                             dir.file("out/"), dir.file("bare.chn"), input});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, test::consoleLine(messages::kError, messages::noLiveTime(dir.file("bare.chn"))));
    EXPECT_FALSE(test::fileExists(dir.file("out/bare.xy")));
    EXPECT_TRUE(test::fileExists(dir.file("out/si-standard.xy")));

    const auto text = runCli({"convert", "-q", "--per-second", input});
    EXPECT_EQ(text.status, 2);
    EXPECT_NE(text.err.find("--per-second"), std::string::npos) << text.err;
    EXPECT_NE(text.err.find("xy, xye, fxye, pdcif"), std::string::npos) << text.err;
}

TEST_F(AnnotatedFixture, TheCalibrationStoredInEachChannelFile) {
    const std::string input = kExamples + "si-standard.chn";
    // The examples store the built-in line at full precision: the trailer gives the very same angles,
    // whatever the calibration in force says.
    convert("linear", {input, "-f", "xy", "-K", "10.939501", "-C", "0.02692846"});
    convert("stored", {input, "-f", "xy", "--calibration", "trailer", "-K", "3", "-C", "0.5"});
    EXPECT_EQ(dataRows(dir.file("stored.xy"), "#"), dataRows(dir.file("linear.xy"), "#"));
    EXPECT_NE(readFile(dir.file("stored.xy"))
                  .find("# Calibration: the line stored in the file, 2-theta = C x channel + K, K = 10.939501, "
                        "C = 0.02692846\n"),
              std::string::npos);

    // File by file: another file's line gives its own angles.
    std::string other = readFile(input);
    const float zero = 20.0f, slope = 0.01f;
    std::memcpy(&other[32 + 4 * 4096 + 4], &zero, 4);
    std::memcpy(&other[32 + 4 * 4096 + 8], &slope, 4);
    std::filesystem::create_directory(dir.file("in"));
    writeFile(dir.file("in/other.chn"), other);
    std::string none = chnBytes(0, {1, 2, 3});
    writeFile(dir.file("in/none.chn"), none);
    std::string curved = readFile(input);
    const float quadratic = 1e-6f;
    std::memcpy(&curved[32 + 4 * 4096 + 12], &quadratic, 4);
    writeFile(dir.file("in/curved.chn"), curved);
    const auto run = runCli({"convert", "-q", "--line-end", "lf", "--calibration", "trailer", "-o", dir.file("out/"),
                             dir.file("in/other.chn"), dir.file("in/none.chn"), dir.file("in/curved.chn")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              test::consoleLine(messages::kError, messages::noStoredCalibration(dir.file("in/none.chn"))) +
                  test::consoleLine(messages::kError, messages::quadraticStoredCalibration(dir.file("in/curved.chn"))));
    const auto lines = fileLines(dir.file("out/other.txt"));
    ASSERT_EQ(lines.size(), 4097u);
    EXPECT_EQ(lines[1], "20.00000000\t" + dataRows(dir.file("linear.xy"), "#")[0][1]);
    EXPECT_EQ(lines[101].substr(0, 12), "21.00000000\t");

    // A scan in any other format stores no such line.
    convert("cif", {input, "-f", "pdcif"});
    const auto cif = runCli({"convert", "-q", "--calibration", "trailer", "-o", dir.file("out/"), dir.file("cif.cif")});
    EXPECT_EQ(cif.status, 1);
    EXPECT_EQ(cif.err, test::consoleLine(messages::kError, messages::noStoredCalibration(dir.file("cif.cif"))));

    const auto gufi = runCli({"convert", "--calibration", "trailer", kExamples + "alumina-scan.guf"});
    EXPECT_EQ(gufi.status, 2);
    EXPECT_NE(gufi.err.find("is a GUFI file"), std::string::npos) << gufi.err;
}

}  // namespace
}  // namespace s2t
