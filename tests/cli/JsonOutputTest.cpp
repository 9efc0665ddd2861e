// --json: every document parses with an independent reader (Python's json module), its keys are
// the documented ones, and every number carries the very digits the text output shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/CliRun.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::quoted;
using test::runCli;
using test::TempDir;
using test::writeFile;

// The document's leaves as "a.0.b" -> the value's text: numbers exactly as written (Python reads
// them as text, not as floats), strings as they are, true/false/null by name. An empty map when
// the document does not parse.
std::map<std::string, std::string> leaves(const std::string& document, const TempDir& dir) {
    const std::string in = dir.file("document.json");
    const std::string script = dir.file("leaves.py");
    writeFile(in, document);
    writeFile(script,
              "import json, sys\n"
              "def walk(prefix, value):\n"
              "    if isinstance(value, dict):\n"
              "        for k, v in value.items(): walk(prefix + [k], v)\n"
              "    elif isinstance(value, list):\n"
              "        for i, v in enumerate(value): walk(prefix + [str(i)], v)\n"
              "    else:\n"
              "        text = {True: 'true', False: 'false', None: 'null'}.get(value, value) "
              "if not isinstance(value, str) else value\n"
              "        print('.'.join(prefix) + '\\t' + str(text))\n"
              "with open(sys.argv[1], encoding='utf-8') as f:\n"
              "    walk([], json.load(f, parse_float=str, parse_int=str))\n");
    std::string out;
    std::map<std::string, std::string> result;
    if (test::runCommand("python3 " + quoted(script) + " " + quoted(in), out) != 0) return result;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const auto tab = line.find('\t');
        result[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return result;
}

// The whitespace-separated words of a text.
std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

// The word after "LABEL =" in a text report.
std::string valueAfter(const std::vector<std::string>& w, const std::string& label) {
    for (std::size_t i = 0; i + 2 < w.size(); ++i)
        if (w[i] == label && w[i + 1] == "=") return w[i + 2];
    return "?";
}

TEST(JsonOutput, InfoHoldsTheTableDigitsAndMarksFilesNotRead) {
    TempDir dir;
    const std::string examples = std::string(S2T_SOURCE_DIR) + "/examples/";
    writeFile(dir.file("bad \"name\".chn"), "no scan");
    const std::vector<std::string> files = {examples + "si-standard.chn", examples + "alumina-scan.guf",
                                            dir.file("bad \"name\".chn")};
    std::vector<std::string> arguments = {"info", "--json"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const auto json = runCli(arguments);
    EXPECT_EQ(json.status, 1) << json.err;
    auto leaf = leaves(json.out, dir);
    ASSERT_FALSE(leaf.empty()) << json.out;

    const auto text = runCli({"info", files[0], files[1]});
    ASSERT_EQ(text.status, 0);
    // The table: what the files say of their measurement follows it after an empty line.
    const auto all = words(text.out.substr(0, text.out.find("\n\n")));  // the header's twelve words, then each row's
    ASSERT_EQ(all.size(), 12u + 16u + 14u) << text.out;
    // Row 1: path MCA channel file 1 FF FF channel 0 channel 4095 1 channel 4096 MIN MAX
    const std::vector<std::string> chn(all.begin() + 12, all.begin() + 28);
    EXPECT_EQ(leaf["files.0.path"], files[0]);
    EXPECT_EQ(leaf["files.0.kind"], "chn");
    EXPECT_EQ(leaf["files.0.kindName"], "MCA channel file");
    EXPECT_EQ(leaf["files.0.read"], "true");
    EXPECT_EQ(leaf["files.0.blocks"], chn[4]);
    EXPECT_EQ(leaf["files.0.block"], "1");
    EXPECT_EQ(leaf["files.0.signature"], chn[5] + " " + chn[6]);
    EXPECT_EQ(leaf["files.0.unit"], "channel");
    EXPECT_EQ(leaf["files.0.start"], chn[8]);
    EXPECT_EQ(leaf["files.0.end"], chn[10]);
    EXPECT_EQ(leaf["files.0.step"], chn[11]);
    EXPECT_EQ(leaf["files.0.points"], chn[13]);
    EXPECT_EQ(leaf["files.0.minCount"], chn[14]);
    EXPECT_EQ(leaf["files.0.maxCount"], chn[15]);
    EXPECT_EQ(leaf["files.0.metadata.wavelength"], "null");
    // Row 2: path GUFI file 1 - START deg END deg STEP deg POINTS MIN MAX
    const std::vector<std::string> guf(all.begin() + 28, all.end());
    EXPECT_EQ(leaf["files.1.kind"], "gufi");
    EXPECT_EQ(leaf["files.1.signature"], "null");
    EXPECT_EQ(leaf["files.1.unit"], "deg");
    EXPECT_EQ(leaf["files.1.start"], guf[5]);
    EXPECT_EQ(leaf["files.1.end"], guf[7]);
    EXPECT_EQ(leaf["files.1.step"], guf[9]);
    EXPECT_EQ(leaf["files.1.points"], guf[11]);
    EXPECT_EQ(leaf["files.1.minCount"], guf[12]);
    EXPECT_EQ(leaf["files.1.maxCount"], guf[13]);
    EXPECT_NE(guf[12].find('.'), std::string::npos);  // fractional counts keep their two decimals

    // What the channel file says of its measurement, as info's lines after the table say it.
    EXPECT_EQ(leaf["files.0.metadata.liveTime"], "597.4");
    EXPECT_EQ(leaf["files.0.metadata.realTime"], "600");
    EXPECT_EQ(leaf["files.0.metadata.started"], "2024-03-04T09:15:17");
    EXPECT_EQ(leaf["files.0.metadata.description"], "Si powder standard, 10 min");
    EXPECT_EQ(leaf["files.0.metadata.storedCalibration.zero"], "10.939501");
    EXPECT_EQ(leaf["files.0.metadata.storedCalibration.slope"], "0.02692846");
    EXPECT_EQ(leaf["files.0.metadata.storedCalibration.quadratic"], "0");
    EXPECT_NE(text.out.find("\n  Live time     597.4 s\n"), std::string::npos);
    EXPECT_EQ(leaf["files.0.metadata.trailerProblem"], "null");
    EXPECT_EQ(leaf["files.1.metadata.liveTime"], "null");
    EXPECT_EQ(leaf["files.1.metadata.description"], "null");

    EXPECT_EQ(leaf["files.2.path"], files[2]);
    EXPECT_EQ(leaf["files.2.read"], "false");
    EXPECT_EQ(leaf.count("files.2.points"), 0u);
}

// Each test with a program folder of its own, seeded by a first run.
class JsonCalibration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(run("standards").status, 0); }
    test::CliResult run(const std::string& arguments) {
        return runCli(arguments + " --home " + quoted(dir.file("home")), dir.path());
    }
    TempDir dir;
};

TEST_F(JsonCalibration, ShowHasTheReportsDigitsAndNullWhereTheSplineCannotGo) {
    const auto text = run("calibration show");
    const auto json = run("calibration show --json");
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(json.status, 0) << json.err;
    auto leaf = leaves(json.out, dir);
    ASSERT_FALSE(leaf.empty()) << json.out;
    const auto w = words(text.out);
    EXPECT_EQ(leaf["K"], valueAfter(w, "K"));
    EXPECT_EQ(leaf["C"], valueAfter(w, "C"));
    EXPECT_EQ(leaf["programFolder"], dir.file("home"));
    EXPECT_EQ(leaf["defaultOptionFile"], dir.file("home") + "/Default.pre");
    EXPECT_EQ(leaf["splineUsable"], "true");

    // The points table follows its header "spline residual"; four numbers per point.
    auto at = std::find(w.begin(), w.end(), "residual");
    at = std::find(at + 1, w.end(), "residual") + 1;
    for (int p = 0; p < 4; ++p) {
        const std::string key = "points." + std::to_string(p) + ".";
        EXPECT_EQ(leaf[key + "channel"], *at++);
        EXPECT_EQ(leaf[key + "twoTheta"], *at++);
        EXPECT_EQ(leaf[key + "lineResidual"], *at++);
        EXPECT_EQ(leaf[key + "splineResidual"], *at++);
    }
    EXPECT_EQ(leaf.count("points.4.channel"), 0u);
    at = std::find(at, w.end(), "(spline)") + 1;
    for (int c = 0; c < 7; ++c) {
        const std::string key = "channels." + std::to_string(c) + ".";
        EXPECT_EQ(leaf[key + "channel"], *at++);
        EXPECT_EQ(leaf[key + "lineTwoTheta"], *at++);
        EXPECT_EQ(leaf[key + "splineTwoTheta"], *at++);
    }

    // One point only: no spline, so its values are null.
    writeFile(dir.file("one.pre"),
              "#y=Cx+K\r\n#Header\r\nK=\t1.500000\r\nC=\t0.250000\r\n\r\n#Observed\r\n"
              "#Calibrasion Data\r\nnumOfDataPoints= 1\r\n10.0000\t 4.0000\r\n\r\n");
    const auto single = run("calibration show --json --options " + quoted(dir.file("one.pre")));
    leaf = leaves(single.out, dir);
    EXPECT_EQ(leaf["splineUsable"], "false");
    EXPECT_EQ(leaf["K"], "1.500000");
    EXPECT_EQ(leaf["C"], "0.25000000");
    EXPECT_EQ(leaf["points.0.splineResidual"], "null");
    EXPECT_EQ(leaf["channels.6.splineTwoTheta"], "null");
    EXPECT_EQ(leaf["channels.6.lineTwoTheta"], "1025.2500");
}

TEST_F(JsonCalibration, FitAndFromStandardPrintOneDocumentOnceTheFileIsWritten) {
    writeFile(dir.file("points.txt"), "100 12.5\n500 22.5\n1000 35.0\n2000 60.01\n");
    const std::string fit = "calibration fit --points " + quoted(dir.file("points.txt"));
    const auto text = run(fit + " -o " + quoted(dir.file("text.pre")));
    const auto json = run(fit + " --json -o " + quoted(dir.file("json.pre")));
    ASSERT_EQ(json.status, 0) << json.err;
    auto leaf = leaves(json.out, dir);
    ASSERT_FALSE(leaf.empty()) << json.out;
    const auto w = words(text.out);
    EXPECT_EQ(leaf["K"], valueAfter(w, "K"));
    EXPECT_EQ(leaf["C"], valueAfter(w, "C"));
    // The points follow the table's header "channel 2-theta line residual".
    auto at = std::find(w.begin(), w.end(), "residual") + 1;
    for (int p = 0; p < 4; ++p) {
        const std::string key = "points." + std::to_string(p) + ".";
        EXPECT_EQ(leaf[key + "channel"], *at++);
        EXPECT_EQ(leaf[key + "twoTheta"], *at++);
        EXPECT_EQ(leaf[key + "lineResidual"], *at++);
    }
    EXPECT_EQ(leaf["optionFile"], dir.file("json.pre"));
    EXPECT_EQ(test::readFile(dir.file("json.pre")), test::readFile(dir.file("text.pre")));

    // A refused fit prints no document at all.
    writeFile(dir.file("one.txt"), "100 12.5\n");
    const auto refused =
        run("calibration fit --json --points " + quoted(dir.file("one.txt")) + " -o " + quoted(dir.file("never.pre")));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");

    writeFile(dir.file("peaks.txt"), "400\n600\n800\n");
    const auto standard = run("calibration from-standard --json --standard silicon --peaks " +
                              quoted(dir.file("peaks.txt")) + " -o " + quoted(dir.file("si.pre")));
    ASSERT_EQ(standard.status, 0) << standard.err;
    leaf = leaves(standard.out, dir);
    EXPECT_EQ(leaf["standard"], dir.file("home") + "/Standards/Silicon.std");
    EXPECT_EQ(leaf["peaks"], dir.file("peaks.txt"));
    EXPECT_EQ(leaf["peakCount"], "3");
    EXPECT_EQ(leaf["pairs.2.channel"], "800.0000");
    EXPECT_EQ(leaf.count("pairs.3.channel"), 0u);
    EXPECT_EQ(leaf["points.2.channel"], "800.0000");
    EXPECT_EQ(leaf["pairs.0.twoTheta"], leaf["points.0.twoTheta"]);
    EXPECT_EQ(leaf["optionFile"], dir.file("si.pre"));
    EXPECT_NE(leaf["reflectionCount"], "");
}

TEST_F(JsonCalibration, StandardsListsNamesAndPathsInTheTextsOrder) {
    const auto text = run("standards");
    const auto json = run("standards --json");
    ASSERT_EQ(json.status, 0) << json.err;
    auto leaf = leaves(json.out, dir);
    std::istringstream lines(text.out);
    int i = 0;
    for (std::string line; std::getline(lines, line); ++i) {
        const auto tab = line.find('\t');
        EXPECT_EQ(leaf["standards." + std::to_string(i) + ".name"], line.substr(0, tab));
        EXPECT_EQ(leaf["standards." + std::to_string(i) + ".path"], line.substr(tab + 1));
    }
    EXPECT_GE(i, 2);
    EXPECT_EQ(leaf.count("standards." + std::to_string(i) + ".name"), 0u);
}

}  // namespace
}  // namespace s2t
