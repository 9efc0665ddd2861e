// A batch killed at a random moment (kill -9: no handler runs, nothing is cleaned up), many times
// over, one file after the other and two at a time: no output name ever holds a partial file,
// every file that existed before is either as it was or completely replaced, Default.pre and the
// inputs are untouched, Standards/ of a new program folder is complete or absent, and the next run
// removes whatever temporary file the killed ones left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "standards/ShippedStandards.h"
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

constexpr int kInputs = 6;
constexpr int kKills = 60;

// Starts the converter on every input into out with jobs files at a time, replacing what is
// there; returns its process.
pid_t startConversion(const std::vector<std::string>& inputs, const std::string& out, const std::string& home,
                      int jobs = 2) {
    std::vector<std::string> words = {"convert", "-q", "--overwrite", "--home", home, "-o", out, "--format", "xfit",
                                      "--step", "0.01", "-j", std::to_string(jobs),
                                      // The built-in line, whether Default.pre exists yet or not.
                                      "-K", "10.939501", "-C", "0.02692846"};
    words.insert(words.end(), inputs.begin(), inputs.end());
    return test::startCli(words);
}

// Standards/ as a killed first start may leave it: absent, or with every shipped standard whole.
void expectStandardsCompleteOrAbsent(const std::string& home, int round) {
    const std::string standards = home + "/Standards";
    if (!std::filesystem::exists(standards)) return;
    for (const ShippedFile& file : shippedStandards())
        EXPECT_EQ(readFile(standards + "/" + std::string(file.name)), file.contents)
            << file.name << " after kill " << round;
}

bool isLeftover(const std::string& name) {
    return name.starts_with(".") && name.find(".partial-") != std::string::npos;
}

TEST(InterruptedBatch, KillingABatchAtAnyMomentLosesNothing) {
    TempDir dir;
    std::vector<std::string> inputs;
    std::mt19937 random(20240315);
    for (int i = 0; i < kInputs; ++i) {
        std::vector<std::int32_t> counts(32767);
        for (auto& count : counts) count = static_cast<std::int32_t>(random() % 5000);
        inputs.push_back(dir.file("scan" + std::to_string(i) + ".chn"));
        writeFile(inputs.back(), chnBytes(0, counts));
    }
    std::map<std::string, std::string> inputBytes;
    for (const auto& path : inputs) inputBytes[path] = readFile(path);

    // The complete results, from a run left alone.
    const std::string home = dir.file("home");
    const std::string reference = dir.file("reference");
    const auto started = std::chrono::steady_clock::now();
    const pid_t whole = startConversion(inputs, reference, home);
    ASSERT_GT(whole, 0);
    const int status = test::waitForCli(whole);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto runTime = std::chrono::steady_clock::now() - started;
    const auto complete = folderContents(reference);
    ASSERT_EQ(complete.size(), static_cast<std::size_t>(kInputs));
    const std::string defaultPre = readFile(home + "/Default.pre");
    ASSERT_FALSE(defaultPre.empty());

    // Half the outputs exist from an earlier run.
    const std::string out = dir.file("out");
    std::map<std::string, std::string> earlier;
    for (int i = 0; i < kInputs; i += 2)
        earlier["scan" + std::to_string(i) + ".dat"] = "earlier result " + std::to_string(i);

    const auto longest = std::chrono::duration_cast<std::chrono::microseconds>(runTime).count();
    std::uniform_int_distribution<long long> moment(0, longest);
    int killedMidway = 0;
    for (int round = 0; round < kKills; ++round) {
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        for (const auto& [name, text] : earlier) writeFile(out + "/" + name, text);
        // Every fifth run starts without a program folder, so that Default.pre is being created
        // when the kill comes.
        const std::string runHome = round % 5 == 0 ? dir.file("fresh-home") : home;
        if (round % 5 == 0) std::filesystem::remove_all(runHome);

        const pid_t pid = startConversion(inputs, out, runHome, 1 + round % 2);
        ASSERT_GT(pid, 0);
        // A new program folder is seeded in the first few milliseconds: its kills come then.
        const long long wait = round % 5 == 0 ? moment(random) % 4000 : moment(random);
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
        ::kill(pid, SIGKILL);
        test::waitForCli(pid);

        int converted = 0;
        for (const auto& [name, text] : folderContents(out)) {
            if (isLeftover(name)) continue;
            ASSERT_TRUE(complete.count(name)) << "unexpected file " << name << " after kill " << round;
            const bool asBefore = earlier.count(name) && text == earlier.at(name);
            EXPECT_TRUE(asBefore || text == complete.at(name)) << name << " is partial after kill " << round;
            converted += !asBefore;
        }
        for (const auto& [name, text] : earlier) EXPECT_TRUE(std::filesystem::exists(out + "/" + name)) << name;
        killedMidway += converted > 0 && converted < kInputs;
        if (std::filesystem::exists(runHome + "/Default.pre")) {
            EXPECT_EQ(readFile(runHome + "/Default.pre"), defaultPre) << "after kill " << round;
        }
        EXPECT_EQ(readFile(home + "/Default.pre"), defaultPre);
        expectStandardsCompleteOrAbsent(runHome, round);
    }
    for (const auto& [path, bytes] : inputBytes) EXPECT_EQ(readFile(path), bytes);
    // The kills do land in the middle of the batch, not only before or after it.
    EXPECT_GT(killedMidway, 0);

    // A run after the last kill completes every file and removes the leftovers.
    const pid_t last = startConversion(inputs, out, home);
    ASSERT_GT(last, 0);
    EXPECT_EQ(test::waitForCli(last), 0);
    EXPECT_EQ(folderContents(out), complete);
}

}  // namespace
}  // namespace s2t
