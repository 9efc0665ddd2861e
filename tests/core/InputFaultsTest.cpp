// Faults on the input side of a batch: files that vanish, shrink or turn into something else
// between the moment they were listed and the moment they are read, and files that are not what
// their name says. Each is reported with the reader's own message and the batch goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "engine/BatchRun.h"
#include "platform/ForwardingPlatform.h"
#include "platform/ScriptedPlatform.h"
#include "support/Messages.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::corruptedInput;
using test::couldNotOpenInput;
using test::gufiBytes;
using test::notAChnFile;
using test::readFile;
using test::TempDir;
using test::writeFile;

// A platform whose progress display does something to each input file as the batch announces it,
// that is after the file was listed and right before it is read.
class SabotagingPlatform : public ScriptedPlatform {
public:
    std::function<void(const std::string&)> beforeReading;

    std::unique_ptr<ProgressDisplay> openProgressDisplay() override {
        class Hook : public ForwardingProgressDisplay {
        public:
            Hook(std::unique_ptr<ProgressDisplay> inner, SabotagingPlatform& owner)
                    : ForwardingProgressDisplay(std::move(inner)), owner_(owner) {}
            void setInputFile(std::string_view path) override {
                ForwardingProgressDisplay::setInputFile(path);
                if (owner_.beforeReading) owner_.beforeReading(std::string(path));
            }

        private:
            SabotagingPlatform& owner_;
        };
        return std::make_unique<Hook>(ScriptedPlatform::openProgressDisplay(), *this);
    }
};

struct InputFaults : ::testing::Test {
    InputFaults() {
        session.calibration.installStartupValues();
        platform.recordProgressValues = false;
    }
    BatchInput input(const std::string& name, const std::string& bytes) {
        writeFile(dir.file(name), bytes);
        return {dir.file(name), name.ends_with(".guf") ? kGufiFileType : kChnFileType};
    }
    // Runs the batch of the victim followed by a good file, doing harm to the victim just before it
    // is read; returns the messages. The good file must still be converted.
    std::vector<PlatformCall> batchWith(const BatchInput& victim, const std::function<void(const std::string&)>& harm) {
        const BatchInput good = input("good.chn", chnBytes(0, {1, 2, 3}));
        platform.beforeReading = [&](const std::string& path) {
            if (path == victim.path) harm(path);
        };
        const BatchResult result = runBatch(session, platform, {victim, good}, {kLinearConversion, 0, kTextOutput},
                                            {OutputDestination::Kind::Directory, dir.file("out")});
        EXPECT_EQ(result.converted, 1);
        EXPECT_EQ(result.skipped, 1);
        EXPECT_TRUE(readFile(dir.file("out/good.txt")).starts_with("2-Theta\tCount"));
        EXPECT_FALSE(std::filesystem::exists(dir.file("out/victim.txt")));
        auto messages = platform.messages();
        platform.calls.clear();
        std::filesystem::remove(dir.file("out/good.txt"));
        return messages;
    }

    TempDir dir;
    Session session;
    SabotagingPlatform platform;
};

TEST_F(InputFaults, FilesThatChangeAfterListingOrAreNotWhatTheirNameSays) {
    std::filesystem::create_directory(dir.file("out"));
    using Harm = std::function<void(const std::string&)>;
    const Harm none = [](const std::string&) {};
    const Harm cut = [](const std::string& path) {
        std::filesystem::resize_file(path, std::filesystem::file_size(path) - 3);
    };
    const Harm intoFolder = [](const std::string& path) {
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
    };
    // A named pipe nobody writes to is read without waiting for a writer.
    const Harm intoPipe = [](const std::string& path) {
        std::filesystem::remove(path);
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    };
    const Harm unreadable = [](const std::string& path) { ::chmod(path.c_str(), 0); };
    struct Case {
        const char* what;
        std::string name, bytes;
        Harm harm;
        std::string (*message)(const std::string&);
    };
    const std::vector<Case> cases = {
        {"deleted", "victim.chn", chnBytes(0, {5, 6, 7}), [](const std::string& p) { std::filesystem::remove(p); },
         couldNotOpenInput},
        {"replaced by a folder", "victim.guf", gufiBytes(10.0f, 0.1f, {1, 2}), intoFolder, couldNotOpenInput},
        {"made unreadable", "victim.chn", chnBytes(0, {5, 6, 7}), unreadable, couldNotOpenInput},
        {"cut short", "victim.chn", chnBytes(0, {5, 6, 7, 8}), cut, corruptedInput},
        {"cut short", "victim.guf", gufiBytes(10.0f, 0.1f, {1, 2}), cut, corruptedInput},
        {"a CPI text file", "victim.chn", "SIETRONICS XRD SCAN\r\n10.00000000\r\n", none, notAChnFile},
        {"a GUFI scan", "victim.chn", gufiBytes(10.0f, 0.1f, {1, 2, 3}), none, notAChnFile},
        // Its header announces far more points than it holds.
        {"a channel file", "victim.guf", readFile(std::string(S2T_SOURCE_DIR) + "/examples/si-standard.chn"), none,
         corruptedInput},
        {"replaced by a named pipe", "victim.chn", chnBytes(0, {5, 6, 7}), intoPipe, notAChnFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ": " + c.name);
        // Root reads files whatever their permissions.
        if (std::string(c.what) == "made unreadable" && ::geteuid() == 0) continue;
        std::filesystem::remove_all(dir.file(c.name));
        const BatchInput victim = input(c.name, c.bytes);
        const auto messages = batchWith(victim, c.harm);
        ASSERT_EQ(messages.size(), 1u);
        const std::string title = c.message == couldNotOpenInput ? messages::kFileError : messages::kError;
        EXPECT_EQ(messages[0], (PlatformCall{"message", title, c.message(victim.path)}));
    }
}

}  // namespace
}  // namespace s2t
