// Faults on the output side of a batch and of option files: a folder that takes no file, a device
// that fills up in the middle of a batch, option files and Default.pre that cannot be written,
// the leftover of a killed run, and the permissions of a replaced file. Whatever fails is
// reported once, the batch goes on, and every file that existed before is exactly as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "engine/BatchRun.h"
#include "options/OptionFile.h"
#include "platform/MemoryFileSystem.h"
#include "platform/ScriptedPlatform.h"
#include "support/Messages.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::couldNotOpenOutput;
using test::couldNotWriteOptionFile;
using test::namesIn;
using test::readFile;
using test::TempDir;
using test::writeFile;

// A folder the program may not write into, whoever runs the tests: a read-only mount for root
// (who may write anywhere else), a folder without write permission for everyone else. Empty
// when neither can be had here.
class ReadOnlyFolder {
public:
    ReadOnlyFolder(const std::string& path, const std::function<void(const std::string&)>& fill) : path_(path) {
        std::filesystem::create_directory(path_);
        if (::geteuid() == 0) {
            if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=1m") != 0) return;
            mounted_ = true;
            fill(path_);
            if (::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m") != 0) return;
        } else {
            fill(path_);
            if (::chmod(path_.c_str(), 0555) != 0) return;
        }
        ready_ = true;
    }
    ~ReadOnlyFolder() {
        if (mounted_) ::umount(path_.c_str());
        ::chmod(path_.c_str(), 0755);
    }
    bool ready() const { return ready_; }

private:
    std::string path_;
    bool mounted_ = false;
    bool ready_ = false;
};

struct OutputFaults : ::testing::Test {
    OutputFaults() {
        session.calibration.installStartupValues();
        platform.recordProgressValues = false;
    }
    BatchInput input(const std::string& name, int channels = 10) {
        writeFile(dir.file(name), chnBytes(0, test::varyingCounts(channels)));
        return {dir.file(name), kChnFileType};
    }
    BatchResult batchInto(const std::string& folder, const std::vector<BatchInput>& inputs) {
        return runBatch(session, platform, inputs, text, {OutputDestination::Kind::Directory, folder});
    }
    // The messages shown: each output that could not be written, in order.
    static std::vector<PlatformCall> fileErrors(const std::vector<std::string>& paths) {
        std::vector<PlatformCall> calls;
        for (const std::string& path : paths)
            calls.push_back({"message", messages::kFileError, couldNotOpenOutput(path)});
        return calls;
    }

    TempDir dir;
    Session session;
    ScriptedPlatform platform;
    BatchChoices text{kLinearConversion, 0, kTextOutput};
};

TEST_F(OutputFaults, AFolderThatRefusesFilesGivesEachListItsMessage) {
    auto files = std::make_shared<MemoryFileSystem>();
    files->refuseCreation = true;
    platform.setFileSystem(files);
    const BatchInput a = input("a.chn");
    EXPECT_EQ(batchInto("/out", {a}).skipped, 1);
    EXPECT_EQ(platform.messages(), fileErrors({"/out/a.txt"}));
    // The channel list has a message of its own.
    platform.calls.clear();
    runBatch(session, platform, {a}, {kNoConversion, 0, kTextOutput}, {OutputDestination::Kind::Directory, "/out"});
    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{{"message", messages::kFileError,
                                          messages::withPath(messages::kChannelOutputFailure, "/out/a.txt")}}));
    EXPECT_TRUE(files->files.empty());
}

TEST_F(OutputFaults, AReadOnlyFolderKeepsItsFilesAndTheBatchGoesOn) {
    const std::string locked = dir.file("locked");
    ReadOnlyFolder folder(locked, [](const std::string& at) { writeFile(at + "/a.txt", "earlier result"); });
    if (!folder.ready()) GTEST_SKIP() << "no read-only folder can be made here";
    platform.confirmAnswers = {true};
    EXPECT_EQ(batchInto(locked, {input("a.chn"), input("b.chn")}).skipped, 2);
    EXPECT_EQ(platform.messages(), fileErrors({locked + "/a.txt", locked + "/b.txt"}));
    EXPECT_EQ(readFile(locked + "/a.txt"), "earlier result");
    EXPECT_EQ(namesIn(locked), std::vector<std::string>{"a.txt"});
}

TEST_F(OutputFaults, ADeviceThatFillsUpInTheMiddleOfABatch) {
    auto files = std::make_shared<MemoryFileSystem>();
    files->files["/out/big.txt"] = "earlier result";
    files->spaceLeft = 20000;
    platform.setFileSystem(files);
    platform.confirmAnswers = {true};
    const BatchResult result =
        batchInto("/out", {input("first.chn", 100), input("big.chn", 5000), input("last.chn", 100)});
    EXPECT_EQ(result.converted, 2);
    EXPECT_EQ(platform.messages(), fileErrors({"/out/big.txt"}));
    EXPECT_EQ(files->files["/out/big.txt"], "earlier result");
    EXPECT_EQ(files->openFiles, 0);
    // The space the failed file took is free again, so the last file is written whole.
    EXPECT_TRUE(files->files["/out/last.txt"].starts_with("2-Theta\tCount\r\n"));
    EXPECT_EQ(files->files["/out/last.txt"], files->files["/out/first.txt"]);
}

TEST_F(OutputFaults, AFullDeviceLeavesTheOldFileAndNoPartialFile) {
    const std::string mountPoint = dir.file("small");
    std::filesystem::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{mountPoint};
    writeFile(mountPoint + "/a.txt", "previous result");
    // Fill the device so that the new file cannot be completed.
    writeFile(mountPoint + "/filler", std::string(40 * 1024, 'x'));
    platform.confirmAnswers = {true};
    EXPECT_EQ(batchInto(mountPoint, {input("a.chn", 20000)}).skipped, 1);
    EXPECT_EQ(platform.messages(), fileErrors({mountPoint + "/a.txt"}));
    EXPECT_EQ(readFile(mountPoint + "/a.txt"), "previous result");
    EXPECT_EQ(namesIn(mountPoint).size(), 2u) << "no partial file is left";
}

std::vector<PlatformCall> optionFileError(const std::string& path) {
    return {{"message", messages::kOptionFileError, couldNotWriteOptionFile(path)}};
}

TEST(OptionFileFaults, AnOptionFileThatCannotBeWrittenIsReportedAndKept) {
    CalibrationState state;
    state.installStartupValues();
    state.header.K = 1.5;
    for (const bool fullDevice : {false, true}) {
        ScriptedPlatform platform;
        auto files = std::make_shared<MemoryFileSystem>();
        files->files["/home/Default.pre"] = "earlier calibration";
        files->spaceLeft = fullDevice ? 10 : files->spaceLeft;
        files->refuseCreation = !fullDevice;
        platform.setFileSystem(files);
        EXPECT_EQ(saveOptionsFile("/home/Default.pre", true, state, platform, LineEnd::CrLf), SaveOutcome::Failed);
        EXPECT_EQ(platform.messages(), optionFileError("/home/Default.pre"));
        EXPECT_EQ(files->files["/home/Default.pre"], "earlier calibration");
        EXPECT_EQ(files->openFiles, 0);
    }

    // A program folder that takes no Default.pre keeps the built-in calibration.
    TempDir home;
    ScriptedPlatform platform;
    auto files = std::make_shared<MemoryFileSystem>();
    files->refuseCreation = true;
    platform.setFileSystem(files);
    getCalibration(state, home.path(), platform, LineEnd::CrLf);
    EXPECT_EQ(platform.messages(), optionFileError(home.path() + "/Default.pre"));
    EXPECT_EQ(state.header.K, kStartupK);
    EXPECT_EQ(state.numOfDataPoints(), 4);
}

TEST(OptionFileFaults, DefaultPreInAReadOnlyFolderStaysAsItWas) {
    TempDir dir;
    const std::string home = dir.file("home");
    ReadOnlyFolder folder(home, [](const std::string& at) { writeFile(at + "/Default.pre", "#Header\nK=3\n"); });
    if (!folder.ready()) GTEST_SKIP() << "no read-only folder can be made here";
    ScriptedPlatform platform;
    CalibrationState state;
    getCalibration(state, home, platform, LineEnd::CrLf);
    EXPECT_EQ(state.header.K, 3.0);
    EXPECT_TRUE(platform.messages().empty());
    state.header.K = 4.0;
    EXPECT_EQ(saveOptionsFile(defaultOptionsPath(home), true, state, platform, LineEnd::CrLf), SaveOutcome::Failed);
    EXPECT_EQ(platform.messages(), optionFileError(home + "/Default.pre"));
    EXPECT_EQ(readFile(home + "/Default.pre"), "#Header\nK=3\n");
    EXPECT_EQ(namesIn(home), std::vector<std::string>{"Default.pre"});
}

TEST_F(OutputFaults, NoFreeNameLeftReplacesNothingTheUserDeclinedToReplace) {
    auto files = std::make_shared<MemoryFileSystem>();
    files->files["/out/a.txt"] = "kept";
    char name[32];
    for (int k = 1; k <= 9999; ++k) {
        std::snprintf(name, sizeof name, "/out/a-%04d.txt", k);
        files->files[name] = "kept";
    }
    const auto before = files->files;
    platform.setFileSystem(files);
    platform.confirmAnswers = {false};
    EXPECT_EQ(batchInto("/out", {input("a.chn")}).skipped, 1);
    EXPECT_EQ(platform.messages(), fileErrors({"/out/a-9999.txt"}));
    EXPECT_EQ(files->files, before);
}

TEST_F(OutputFaults, LeftoversOfAKilledRunGoWhileThoseOfALiveRunStay) {
    const std::string out = dir.file("out");
    std::filesystem::create_directory(out);
    writeFile(out + "/.a.txt.partial-Ab3xYz", "half a file from a killed run");
    writeFile(out + "/.old.cpi.partial-000000", "another");
    // Not temporary files of ours: no leading dot, a suffix of another length.
    writeFile(out + "/a.txt.partial-Ab3xYz", "user file");
    writeFile(out + "/.a.txt.partial-Ab3xY", "user file");
    // A run still writing holds the lock on its temporary file.
    writeFile(out + "/.b.txt.partial-Live01", "being written");
    const int live = ::open((out + "/.b.txt.partial-Live01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);

    const BatchResult result = batchInto(out, {input("a.chn")});
    ::close(live);
    EXPECT_EQ(result.converted, 1);
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{".a.txt.partial-Ab3xY", ".b.txt.partial-Live01", "a.txt",
                                                      "a.txt.partial-Ab3xYz"}));
}

TEST_F(OutputFaults, AReplacedFileKeepsItsPermissions) {
    writeFile(dir.file("a.txt"), "earlier result");
    ASSERT_EQ(::chmod(dir.file("a.txt").c_str(), 0640), 0);
    platform.confirmAnswers = {true};
    batchInto(dir.path(), {input("a.chn")});
    EXPECT_TRUE(readFile(dir.file("a.txt")).starts_with("2-Theta\tCount"));
    struct stat status {};
    ASSERT_EQ(::stat(dir.file("a.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace s2t
