// Several `scan2theta convert` processes at once, writing the same inputs into one folder without
// --overwrite: no run ever takes a name another run has written, so every output is there, each
// one complete, under its own name, and no run reports a failure it did not have.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/CliRun.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::folderContents;
using test::readFile;
using test::TempDir;
using test::writeFile;

constexpr int kInputs = 8;
constexpr int kRuns = 4;
constexpr int kRounds = 6;

// The input a file in the output folder belongs to: its name without "-NNNN" and extension.
std::string baseOf(const std::string& name) {
    std::string base = name.substr(0, name.rfind('.'));
    if (base.size() > 5 && base[base.size() - 5] == '-') base.resize(base.size() - 5);
    return base;
}

TEST(ConcurrentRuns, EveryOutputOfRunsIntoOneFolderIsThereAndComplete) {
    TempDir dir;
    std::mt19937 random(4711);
    std::vector<std::string> inputs;
    for (int i = 0; i < kInputs; ++i) {
        std::vector<std::int32_t> counts(2000 + 500 * i);
        for (auto& count : counts) count = static_cast<std::int32_t>(random() % 3000);
        inputs.push_back(dir.file("scan" + std::to_string(i) + ".chn"));
        writeFile(inputs.back(), chnBytes(0, counts));
    }
    const std::string home = dir.file("home");
    auto arguments = [&](const std::string& out, int jobs) {
        std::vector<std::string> words = {"convert", "-q", "--home", home, "-o", out, "-j", std::to_string(jobs)};
        words.insert(words.end(), inputs.begin(), inputs.end());
        return words;
    };
    // What each input gives, from a run alone.
    const std::string reference = dir.file("reference");
    ASSERT_EQ(test::waitForCli(test::startCli(arguments(reference, 1))), 0);
    const auto expected = folderContents(reference);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kInputs));

    for (int round = 0; round < kRounds; ++round) {
        const std::string out = dir.file("out" + std::to_string(round));
        std::filesystem::create_directory(out);
        std::vector<int> runs;
        for (int r = 0; r < kRuns; ++r)
            runs.push_back(test::startCli(arguments(out, 1 + (r + round) % 2), dir.file("err" + std::to_string(r))));
        for (int r = 0; r < kRuns; ++r) {
            ASSERT_GT(runs[r], 0);
            const int status = test::waitForCli(runs[r]);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "run " << r << " of round " << round;
            EXPECT_EQ(readFile(dir.file("err" + std::to_string(r))), "") << "run " << r << " of round " << round;
        }
        // Each input's output once per run: the name itself and the first free numbers after it.
        const auto written = folderContents(out);
        EXPECT_EQ(written.size(), static_cast<std::size_t>(kInputs * kRuns)) << "round " << round;
        std::map<std::string, int> perInput;
        for (const auto& [name, bytes] : written) {
            const std::string expectedName = baseOf(name) + ".txt";
            ASSERT_TRUE(expected.count(expectedName)) << "unexpected file " << name << " in round " << round;
            EXPECT_EQ(bytes, expected.at(expectedName)) << name << " in round " << round;
            ++perInput[expectedName];
        }
        for (const auto& [name, bytes] : expected) {
            EXPECT_EQ(perInput[name], kRuns) << name << " in round " << round;
            const std::string base = baseOf(name);
            for (int k = 1; k < kRuns; ++k) {
                char numbered[16];
                std::snprintf(numbered, sizeof numbered, "-%04d.txt", k);
                EXPECT_TRUE(written.count(base + numbered)) << base + numbered << " in round " << round;
            }
        }
    }
}

}  // namespace
}  // namespace s2t
