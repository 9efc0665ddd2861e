// convert in pipes and batch scripts: -o - writes the one output to standard output, the input -
// reads a scan from standard input (its format named or recognised), and --files-from adds the
// paths of a list (lines, or NUL-separated with -0, from a file or standard input).
#include <gtest/gtest.h>

#include <filesystem>

#include "CliMessages.h"
#include "support/CliRun.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::CliResult;
using test::gufiBytes;
using test::quoted;
using test::readFile;
using test::TempDir;
using test::writeFile;

struct Pipes : ::testing::Test {
    Pipes() {
        writeFile(channels, chnBytes(3, test::varyingCounts(300)));
        writeFile(gufi, gufiBytes(12.5f, 0.05f, {1.5f, 2.25f, 7.0f, 3.0f, 0.5f}));
        EXPECT_EQ(run("standards").status, 0);  // a first start writes Default.pre
    }
    // scan2theta ARGUMENTS --home ... (a shell fragment: redirections may follow).
    CliResult run(const std::string& arguments) const {
        const auto space = arguments.find(' ');
        const std::string command = arguments.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : arguments.substr(space);
        return test::runCli(command + " --home " + quoted(dir.file("home")) + rest, dir.path());
    }
    // What the same conversion writes into a folder of its own.
    std::string toFile(const std::string& options, const std::string& input) {
        const std::string folder = dir.file("reference-" + std::to_string(++references));
        const auto result = run("convert -q " + options + " -o " + quoted(folder + "/") + " " + quoted(input));
        EXPECT_EQ(result.status, 0) << result.err;
        const auto names = test::namesIn(folder);
        EXPECT_EQ(names.size(), 1u);
        return names.empty() ? "" : readFile(folder + "/" + names.front());
    }

    TempDir dir;
    int references = 0;
    const std::string channels = dir.file("scan.chn");
    const std::string gufi = dir.file("scan.guf");
};

TEST_F(Pipes, DashAsOutputWritesTheOneFileToStandardOutputAndNothingBeside) {
    for (const std::string options : {"", "-f xfit -s 0.05", "-f gufi -s 0.1 --line-end lf", "--channels"}) {
        const std::string expected = toFile(options, channels);
        const auto piped = run("convert -q " + options + " -o - " + quoted(channels));
        EXPECT_EQ(piped.status, 0) << options << ": " << piped.err;
        EXPECT_TRUE(piped.out == expected) << options;
        EXPECT_EQ(piped.err, "");
    }
    EXPECT_FALSE(test::fileExists(dir.file("-.txt")));
    EXPECT_FALSE(test::fileExists(dir.file("-")));
}

TEST_F(Pipes, AFileThatFailsSendsNothingAndAWriteErrorIsReported) {
    writeFile(dir.file("broken.chn"), "no scan");
    auto result = run("convert -q -o - " + quoted(dir.file("broken.chn")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("wasn't a CHN file"), std::string::npos) << result.err;

    result = run("convert -q -o - " + quoted(channels) + " >/dev/full");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("standard output"), std::string::npos) << result.err;
}

TEST_F(Pipes, DashAsInputReadsStandardInputByContentOrByTheNamedFormat) {
    const std::string expected = toFile("-f xfit -s 0.05", channels);
    auto result = run("convert -q -f xfit -s 0.05 -o - - < " + quoted(channels));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out == expected);

    // A GUFI scan is recognised too, and keeps its own angles.
    const std::string ownAngles = toFile("--calibration file", gufi);
    result = run("convert -q --calibration file -o - - < " + quoted(gufi));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out == ownAngles);
    // Through a pipe, named, into a folder: the output is called after standard input.
    std::string out;
    const int status = test::runCommand("cat " + quoted(gufi) + " | " + quoted(S2T_CLI_BINARY) + " convert -q --home " +
                                            quoted(dir.file("home")) + " --input-format gufi --calibration file -o " +
                                            quoted(dir.file("out") + "/") + " -",
                                        out);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(readFile(dir.file("out/stdin.txt")) == ownAngles);
    // Named as a channel file, the GUFI bytes are read as one (and refused: no signature).
    result = run("convert -q --input-format chn -o - - < " + quoted(gufi));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
}

TEST_F(Pipes, StandardInputAndStandardOutputMisusedAreUsageErrors) {
    writeFile(dir.file("text"), "neither kind of scan\n");
    const std::pair<std::string, std::string> cases[] = {
        {"convert -o - " + quoted(channels) + " " + quoted(gufi), "-o: - writes one file to standard output, but 2"},
        {"convert - < " + quoted(channels), "-o: " + std::string(messages::kOutputNeededForStandardInput)},
        {"convert -o - - - < " + quoted(channels), "INPUT: " + std::string(messages::kStandardInputOnce)},
        {"convert -o - - < " + quoted(dir.file("text")),
         "INPUT: the format of the scan on standard input (-) was not recognised"},
        {"convert --input-format xyz -o - - < " + quoted(channels),
         "--input-format: " + messages::noneOf("xyz", "chn, gufi")},
        {"convert --input-format unknown " + quoted(channels), "--input-format: 'unknown' is none of"},
        {"convert -0 " + quoted(channels), "-0: " + std::string(messages::kNulNeedsFilesFrom)},
        {"convert --files-from - -o - - < " + quoted(channels),
         "--files-from: " + std::string(messages::kListAndInputOnStandardInput)},
        {"convert --files-from " + quoted(dir.file("missing")), "--files-from: cannot read"},
        {"convert", "INPUT: " + std::string(messages::kNoInputs)},
    };
    for (const auto& [arguments, message] : cases) {
        const auto result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.err.find(message), std::string::npos) << arguments << "\n" << result.err;
        EXPECT_EQ(result.out, "") << arguments;
    }
}

TEST_F(Pipes, FilesFromAddsTheListedPathsInOrder) {
    std::filesystem::create_directory(dir.file("a b"));
    const std::string odd = dir.file("a b/line\nbreak.chn");  // only a NUL-separated list can name it
    writeFile(odd, chnBytes(0, {4, 5, 6}));
    writeFile(dir.file("second.chn"), chnBytes(0, {7, 8}));
    writeFile(dir.file("list.txt"), gufi + "\r\n\n" + dir.file("second.chn") + "\n");
    writeFile(dir.file("list0"), odd + std::string(1, '\0') + dir.file("second.chn") + std::string(1, '\0'));

    auto result = run("convert -q -o " + quoted(dir.file("lines")) + " " + quoted(channels) + " --files-from " +
                      quoted(dir.file("list.txt")));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(test::namesIn(dir.file("lines")), (std::vector<std::string>{"scan-0001.txt", "scan.txt", "second.txt"}));
    // The list comes after the command line's inputs: the GUFI scan (five values) takes the second name.
    EXPECT_EQ(test::fileLines(dir.file("lines/scan-0001.txt")).size(), 6u);
    EXPECT_EQ(test::fileLines(dir.file("lines/scan.txt")).size(), 301u);

    result = run("convert -q -0 --files-from - -o " + quoted(dir.file("nul")) + " < " + quoted(dir.file("list0")));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(test::namesIn(dir.file("nul")), (std::vector<std::string>{"line\nbreak.txt", "second.txt"}));
    EXPECT_EQ(readFile(dir.file("nul/second.txt")), readFile(dir.file("lines/second.txt")));

    // An empty list converts nothing, which is a usage error like no input at all.
    writeFile(dir.file("empty"), "\n\n");
    EXPECT_EQ(run("convert --files-from " + quoted(dir.file("empty"))).status, 2);
}

}  // namespace
}  // namespace s2t
