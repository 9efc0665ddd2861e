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
#include <functional>
#include <filesystem>

#include "engine/BatchRun.h"
#include "options/OptionFile.h"
#include "platform/MemoryFileSystem.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::namesIn;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::string outputFailure(const std::string& path) {
    return "Couldn't open output file: " + path +
           "\nYour disk my be full, you may not have write permission or you may have the file already open."
           "\nWill skip conversion.";
}

std::string optionFileFailure(const std::string& path) {
    return "Couldn't write option file: " + path +
           "\nThe disk may be full or you may not have write permission.\nThe file is unchanged.";
}

std::vector<std::int32_t> counts(int n) {
    std::vector<std::int32_t> values;
    for (int i = 0; i < n; ++i) values.push_back(50 + (i * 13) % 40);
    return values;
}

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
    BatchInput input(const std::string& name, const std::string& bytes) {
        writeFile(dir.file(name), bytes);
        return {dir.file(name), kChnFileType};
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
    const BatchInput a = input("a.chn", chnBytes(0, counts(10)));
    for (const std::int16_t conversion : {kLinearConversion, kNoConversion}) {
        platform.calls.clear();
        const BatchResult result =
            runBatch(session, platform, {a}, {conversion, 0, kTextOutput}, {OutputDestination::Kind::Directory, "/out"});
        EXPECT_EQ(result.skipped, 1);
        const std::string channelList = "Couldn't open output file: /out/a.txt\nYour disk my be full or you may not "
                                        "have write permission.\nWill skip conversion.";
        EXPECT_EQ(platform.messages(), (std::vector<PlatformCall>{{"message", "File Error",
                                                                   conversion == kNoConversion
                                                                       ? channelList
                                                                       : outputFailure("/out/a.txt")}}));
    }
    EXPECT_TRUE(files->files.empty());
}

TEST_F(OutputFaults, AReadOnlyFolderKeepsItsFilesAndTheBatchGoesOn) {
    const BatchInput a = input("a.chn", chnBytes(0, counts(10)));
    const BatchInput b = input("b.chn", chnBytes(0, counts(10)));
    const std::string locked = dir.file("locked");
    ReadOnlyFolder folder(locked, [](const std::string& at) { writeFile(at + "/a.txt", "earlier result"); });
    if (!folder.ready()) GTEST_SKIP() << "no read-only folder can be made here";
    platform.confirmAnswers = {true};
    const BatchResult result = runBatch(session, platform, {a, b}, text, {OutputDestination::Kind::Directory, locked});
    EXPECT_EQ(result.skipped, 2);
    ASSERT_EQ(platform.messages().size(), 2u);
    EXPECT_EQ(platform.messages()[0], (PlatformCall{"message", "File Error", outputFailure(locked + "/a.txt")}));
    EXPECT_EQ(platform.messages()[1], (PlatformCall{"message", "File Error", outputFailure(locked + "/b.txt")}));
    EXPECT_EQ(readFile(locked + "/a.txt"), "earlier result");
    EXPECT_EQ(namesIn(locked), std::vector<std::string>{"a.txt"});
}

TEST_F(OutputFaults, ADeviceThatFillsUpInTheMiddleOfABatch) {
    auto files = std::make_shared<MemoryFileSystem>();
    files->files["/out/big.txt"] = "earlier result";
    files->spaceLeft = 20000;
    platform.setFileSystem(files);
    platform.confirmAnswers = {true};
    const BatchInput small1 = input("first.chn", chnBytes(0, counts(100)));
    const BatchInput big = input("big.chn", chnBytes(0, counts(5000)));
    const BatchInput small2 = input("last.chn", chnBytes(0, counts(100)));
    const BatchResult result =
        runBatch(session, platform, {small1, big, small2}, text, {OutputDestination::Kind::Directory, "/out"});
    EXPECT_EQ(result.converted, 2);
    EXPECT_EQ(result.skipped, 1);
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0], (PlatformCall{"message", "File Error", outputFailure("/out/big.txt")}));
    EXPECT_EQ(files->files["/out/big.txt"], "earlier result");
    EXPECT_EQ(files->openFiles, 0);
    // The space the failed file took is free again, so the last file is written whole.
    ASSERT_EQ(files->files.count("/out/last.txt"), 1u);
    EXPECT_TRUE(files->files["/out/last.txt"].starts_with("2-Theta\tCount\r\n"));
    EXPECT_EQ(files->files["/out/last.txt"], files->files["/out/first.txt"]);
}

TEST(OptionFileFaults, AnOptionFileThatCannotBeWrittenIsReportedAndKept) {
    CalibrationState state;
    state.installStartupValues();
    state.header.K = 1.5;
    for (const bool fullDevice : {false, true}) {
        ScriptedPlatform platform;
        auto files = std::make_shared<MemoryFileSystem>();
        files->files["/home/Default.pre"] = "earlier calibration";
        if (fullDevice)
            files->spaceLeft = 10;
        else
            files->refuseCreation = true;
        platform.setFileSystem(files);
        EXPECT_EQ(saveOptionsFile("/home/Default.pre", true, state, platform, LineEnd::CrLf), SaveOutcome::Failed);
        ASSERT_EQ(platform.messages().size(), 1u);
        EXPECT_EQ(platform.messages()[0],
                  (PlatformCall{"message", "Option File Error", optionFileFailure("/home/Default.pre")}));
        EXPECT_EQ(files->files["/home/Default.pre"], "earlier calibration");
        EXPECT_EQ(files->openFiles, 0);
    }
}

TEST(OptionFileFaults, AProgramFolderThatTakesNoDefaultPreKeepsTheBuiltInCalibration) {
    TempDir home;
    ScriptedPlatform platform;
    auto files = std::make_shared<MemoryFileSystem>();
    files->refuseCreation = true;
    platform.setFileSystem(files);
    CalibrationState state;
    getCalibration(state, home.path(), platform, LineEnd::CrLf);
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].title, "Option File Error");
    EXPECT_EQ(platform.messages()[0].text, optionFileFailure(home.path() + "/Default.pre"));
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
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0],
              (PlatformCall{"message", "Option File Error", optionFileFailure(home + "/Default.pre")}));
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
    const BatchInput a = input("a.chn", chnBytes(0, counts(10)));
    const BatchResult result = runBatch(session, platform, {a}, text, {OutputDestination::Kind::Directory, "/out"});
    EXPECT_EQ(result.skipped, 1);
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0], (PlatformCall{"message", "File Error", outputFailure("/out/a-9999.txt")}));
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

    const BatchInput a = input("a.chn", chnBytes(0, counts(10)));
    const BatchResult result = runBatch(session, platform, {a}, text, {OutputDestination::Kind::Directory, out});
    ::close(live);
    EXPECT_EQ(result.converted, 1);
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{".a.txt.partial-Ab3xY", ".b.txt.partial-Live01", "a.txt",
                                                      "a.txt.partial-Ab3xYz"}));
}

TEST_F(OutputFaults, AReplacedFileKeepsItsPermissions) {
    const BatchInput a = input("a.chn", chnBytes(0, counts(10)));
    writeFile(dir.file("a.txt"), "earlier result");
    ASSERT_EQ(::chmod(dir.file("a.txt").c_str(), 0640), 0);
    platform.confirmAnswers = {true};
    runBatch(session, platform, {a}, text, {OutputDestination::Kind::BesideInputs, ""});
    EXPECT_TRUE(readFile(dir.file("a.txt")).starts_with("2-Theta\tCount"));
    struct stat status {};
    ASSERT_EQ(::stat(dir.file("a.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace s2t
