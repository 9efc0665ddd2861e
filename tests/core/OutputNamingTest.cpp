// What an output may take the place of: a name found free that another program takes meanwhile
// is left to it (the output takes the next free number); an input of the batch, under whatever
// name, and anything but a regular file are never replaced, whatever the "Replace?" answer.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/BatchRun.h"
#include "options/OptionFile.h"
#include "platform/MemoryFileSystem.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::readFile;
using test::TempDir;
using test::varyingCounts;
using test::writeFile;

struct OutputNaming : ::testing::Test {
    OutputNaming() {
        session.calibration.installStartupValues();
        platform.recordProgressValues = false;
    }
    BatchInput input(const std::string& name, int channels = 10) {
        writeFile(dir.file(name), chnBytes(0, varyingCounts(channels)));
        return {dir.file(name), kChnFileType};
    }
    BatchResult run(const std::vector<BatchInput>& inputs, const OutputDestination& destination, int jobs = 1) {
        return runBatch(session, platform, inputs, text, destination, jobs);
    }
    std::string messageFor(std::string_view text, const std::string& path) const {
        std::string message(text);
        message.replace(message.find("%s"), 2, path);
        return message;
    }

    TempDir dir;
    Session session;
    ScriptedPlatform platform;
    BatchChoices text{kLinearConversion, 0, kTextOutput};
};

const std::string kNotRegular(messages::kNotRegularFailure);
const std::string kInput(messages::kInputFailure);

TEST_F(OutputNaming, ANameTakenAfterItWasFoundFreeIsLeftToItsNewFile) {
    // Another run writes a.txt, then a-0001.txt, while this one composes its files: each output
    // moves on to the next free number, and the other run's files stay as they are.
    auto files = std::make_shared<MemoryFileSystem>();
    int taken = 0;
    files->beforeCommit = [&](const std::string& path) {
        if (taken < 2 && path.find("/out/a") == 0) {
            files->files[path] = "the other run's file";
            ++taken;
        }
    };
    platform.setFileSystem(files);
    const BatchResult result = run({input("a.chn"), input("b.chn")}, {OutputDestination::Kind::Directory, "/out"});
    EXPECT_EQ(result.converted, 2);
    EXPECT_TRUE(platform.messages().empty());
    EXPECT_EQ(files->files.at("/out/a.txt"), "the other run's file");
    EXPECT_EQ(files->files.at("/out/a-0001.txt"), "the other run's file");
    EXPECT_EQ(files->files.at("/out/a-0002.txt").substr(0, 14), "2-Theta\tCount\r");
    EXPECT_TRUE(files->files.count("/out/b.txt"));
    EXPECT_EQ(files->openFiles, 0);
    // The progress panel names the file where it went.
    EXPECT_EQ(platform.callsOf("output")[2].text, "/out/a-0002.txt");
}

// A platform on which another program takes each output's base name the moment the progress
// panel shows it: after the name was found free, before the file is complete.
class NameTakingPlatform : public ScriptedPlatform {
public:
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override { return std::make_unique<Display>(); }

private:
    class Display : public ProgressDisplay {
    public:
        void setLabel(std::string_view) override {}
        void setValue(double) override {}
        void setInputFile(std::string_view) override {}
        void setOutputFile(std::string_view path) override {
            if (std::string(path).find("-0") == std::string::npos) writeFile(std::string(path), "other");
        }
        void setFileCounter(std::string_view) override {}
    };
};

TEST_F(OutputNaming, OnDiskAndInParallelTheOtherFileStaysToo) {
    // The real file system, one file after the other and in parallel (files written before they
    // are named).
    const std::string out = dir.file("out");
    std::vector<BatchInput> inputs;
    for (const char* name : {"a.chn", "b.chn", "c.chn"}) inputs.push_back(input(name, 400));
    for (int jobs : {1, 2}) {
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        NameTakingPlatform taking;
        const BatchResult result =
            runBatch(session, taking, inputs, text, {OutputDestination::Kind::Directory, out}, jobs);
        EXPECT_EQ(result.converted, 3) << jobs;
        EXPECT_TRUE(taking.messages().empty()) << jobs;
        for (const char* name : {"a", "b", "c"}) {
            EXPECT_EQ(readFile(out + "/" + name + ".txt"), "other") << jobs;
            EXPECT_EQ(readFile(out + "/" + name + "-0001.txt").substr(0, 14), "2-Theta\tCount\r") << jobs;
        }
        EXPECT_EQ(test::namesIn(out).size(), 6u) << jobs;
    }
}

TEST_F(OutputNaming, AnInputIsNeverReplacedByAnOutput) {
    // The desktop program: one channel file named x.txt, converted to text, and its own path
    // typed as the output with "Replace?" answered yes.
    const BatchInput x = input("x.txt");
    const std::string before = readFile(x.path);
    platform.fileAnswers = {x.path};
    platform.confirmAnswers = {true};
    const BatchResult result = convertFiles(session, platform, {x}, text);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{{"message", messages::kFileError, messageFor(kInput, x.path)}}));
    EXPECT_EQ(readFile(x.path), before);

    // The same file under another name (a hard link), in a batch of several files with
    // --overwrite: that one is skipped, the others are written.
    std::filesystem::create_directory(dir.file("out"));
    const BatchInput a = input("a.chn");
    const BatchInput b = input("b.chn");
    ASSERT_EQ(::link(a.path.c_str(), dir.file("out/a.txt").c_str()), 0);
    platform.calls.clear();
    platform.confirmAnswers = {true};
    const BatchResult linked = run({a, b}, {OutputDestination::Kind::Directory, dir.file("out")});
    EXPECT_EQ(linked.converted, 1);
    EXPECT_EQ(linked.skipped, 1);
    EXPECT_EQ(
        platform.messages(),
        (std::vector<PlatformCall>{{"message", messages::kFileError, messageFor(kInput, dir.file("out/a.txt"))}}));
    EXPECT_EQ(readFile(a.path), chnBytes(0, varyingCounts(10)));
    EXPECT_TRUE(test::fileExists(dir.file("out/b.txt")));

    // Answered no, the output goes to a numbered name as always.
    platform.calls.clear();
    platform.confirmAnswers = {false};
    EXPECT_EQ(run({a}, {OutputDestination::Kind::Directory, dir.file("out")}).converted, 1);
    EXPECT_TRUE(test::fileExists(dir.file("out/a-0001.txt")));
}

TEST_F(OutputNaming, TwoInputsOfOneNameGiveTwoOutputs) {
    // scan.chn and scan.guf both go to scan.txt: the second never replaces what the first wrote,
    // whatever the answers, and is not asked about it. Over the outputs of an earlier run, the
    // same names are taken again (each asked about once), so a repeated run gives the same files.
    const std::string out = dir.file("out");
    const BatchInput chn = input("scan.chn", 10);
    const BatchInput alsoChn{dir.file("scan.guf"), kChnFileType};
    writeFile(alsoChn.path, chnBytes(0, varyingCounts(20)));
    for (int jobs : {1, 2}) {
        std::filesystem::remove_all(out);
        std::filesystem::create_directory(out);
        platform.calls.clear();
        platform.confirmAnswers = {true, true, true};
        BatchResult result = run({chn, alsoChn}, {OutputDestination::Kind::Directory, out}, jobs);
        EXPECT_EQ(result.converted, 2) << jobs;
        EXPECT_TRUE(platform.callsOf("confirm").empty()) << jobs;
        const std::string first = readFile(out + "/scan.txt");
        const std::string second = readFile(out + "/scan-0001.txt");
        EXPECT_NE(first, second) << jobs;

        platform.calls.clear();
        platform.confirmAnswers = {true, true, true};
        result = run({chn, alsoChn}, {OutputDestination::Kind::Directory, out}, jobs);
        EXPECT_EQ(result.converted, 2) << jobs;
        const std::vector<PlatformCall> questions = platform.callsOf("confirm");
        ASSERT_EQ(questions.size(), 2u) << jobs;
        EXPECT_NE(questions[0].text.find(out + "/scan.txt"), std::string::npos) << jobs;
        EXPECT_NE(questions[1].text.find(out + "/scan-0001.txt"), std::string::npos) << jobs;
        EXPECT_EQ(readFile(out + "/scan.txt"), first) << jobs;
        EXPECT_EQ(readFile(out + "/scan-0001.txt"), second) << jobs;
        EXPECT_EQ(test::namesIn(out).size(), 2u) << jobs;

        // Declined, the second file takes the first free number as always.
        platform.calls.clear();
        platform.confirmAnswers = {};
        result = run({chn, alsoChn}, {OutputDestination::Kind::Directory, out}, jobs);
        EXPECT_EQ(result.converted, 2) << jobs;
        EXPECT_EQ(readFile(out + "/scan-0002.txt"), first) << jobs;
        EXPECT_EQ(readFile(out + "/scan-0003.txt"), second) << jobs;
    }
}

TEST_F(OutputNaming, InputsWhoseLastComponentsMeetKeepEveryOutput) {
    // In an output folder an input keeps the text after its last '/', '\' or ':', so
    // "run_10:30.chn", "run_11:30.chn" and "a\30.chn" all become 30.txt: each still gets a file of
    // its own, and nobody is asked to replace what the batch itself wrote.
    const std::string out = dir.file("out");
    std::filesystem::create_directory(out);
    platform.confirmAnswers = {true, true, true, true};
    const BatchResult result = run({input("run_10:30.chn"), input("run_11:30.chn", 20), input("a\\30.chn", 30)},
                                   {OutputDestination::Kind::Directory, out});
    EXPECT_EQ(result.converted, 3);
    EXPECT_EQ(test::namesIn(out), (std::vector<std::string>{"30-0001.txt", "30-0002.txt", "30.txt"}));
    EXPECT_TRUE(platform.callsOf("confirm").empty());
    EXPECT_NE(readFile(out + "/30.txt"), readFile(out + "/30-0001.txt"));
    EXPECT_NE(readFile(out + "/30-0001.txt"), readFile(out + "/30-0002.txt"));
    EXPECT_EQ(getDirPath(dir.file("a\\30.chn")), dir.file("a\\"));
}

TEST_F(OutputNaming, OnlyRegularFilesAreReplaced) {
    const std::string out = dir.file("out");
    std::filesystem::create_directory(out);
    ASSERT_EQ(::mkfifo((out + "/pipe.txt").c_str(), 0600), 0);
    std::filesystem::create_directory(out + "/folder.txt");
    ASSERT_EQ(::symlink("/dev/null", (out + "/link.txt").c_str()), 0);
    for (int jobs : {1, 2}) {
        platform.calls.clear();
        platform.confirmAnswers = {true, true, true};
        const BatchResult result = run({input("pipe.chn"), input("folder.chn"), input("link.chn")},
                                       {OutputDestination::Kind::Directory, out}, jobs);
        EXPECT_EQ(result.skipped, 2) << jobs;
        EXPECT_EQ(platform.messages(),
                  (std::vector<PlatformCall>{
                      {"message", messages::kFileError, messageFor(kNotRegular, out + "/pipe.txt")},
                      {"message", messages::kFileError, messageFor(kNotRegular, out + "/folder.txt")},
                  }))
            << jobs;
        struct stat status {};
        ASSERT_EQ(::lstat((out + "/pipe.txt").c_str(), &status), 0);
        EXPECT_TRUE(S_ISFIFO(status.st_mode));
        EXPECT_TRUE(std::filesystem::is_directory(out + "/folder.txt"));
        // A link is replaced by the file; what it led to is not touched.
        ASSERT_EQ(::lstat((out + "/link.txt").c_str(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode));
        ASSERT_EQ(::unlink((out + "/link.txt").c_str()), 0);
        ASSERT_EQ(::symlink("/dev/null", (out + "/link.txt").c_str()), 0);
    }
}

TEST_F(OutputNaming, OptionFilesFollowTheSameRule) {
    ASSERT_EQ(::mkfifo(dir.file("pipe.pre").c_str(), 0600), 0);
    EXPECT_EQ(saveOptionsFile(dir.file("pipe.pre"), true, session.calibration, platform, LineEnd::CrLf),
              SaveOutcome::Failed);
    writeFile(dir.file("points.txt"), "100 12.5\n");
    EXPECT_EQ(saveOptionsFile(dir.file("points.txt"), true, session.calibration, platform, LineEnd::CrLf,
                              {dir.file("points.txt")}),
              SaveOutcome::Failed);
    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{
                  {"message", messages::kFileError,
                   messages::optionFileRefused(dir.file("pipe.pre"), messages::kOptionFileNotRegular)},
                  {"message", messages::kFileError,
                   messages::optionFileRefused(dir.file("points.txt"), messages::kOptionFileIsInput)},
              }));
    struct stat status {};
    ASSERT_EQ(::lstat(dir.file("pipe.pre").c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(readFile(dir.file("points.txt")), "100 12.5\n");
}

}  // namespace
}  // namespace s2t
