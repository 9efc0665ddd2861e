// Stopping a batch between files, as the progress panel's Cancel asks: the file being written is
// finished, no later file is tried, and nothing of the files converted ahead in parallel is left
// in the output folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/BatchRun.h"
#include "platform/ForwardingPlatform.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

// A scripted platform whose progress display asks to stop from its n-th question on.
class StoppingPlatform : public ScriptedPlatform {
public:
    explicit StoppingPlatform(int stopAt) : stopAt_(stopAt) {}
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override {
        struct Display : ForwardingProgressDisplay {
            Display(std::unique_ptr<ProgressDisplay> shown, StoppingPlatform& owner)
                    : ForwardingProgressDisplay(std::move(shown)), owner(owner) {}
            bool stopRequested() override { return ++owner.asked >= owner.stopAt_; }
            StoppingPlatform& owner;
        };
        return std::make_unique<Display>(ScriptedPlatform::openProgressDisplay(), *this);
    }
    int asked = 0;

private:
    int stopAt_;
};

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void checkStop(int jobs, int files, int channels) {
    test::TempDir dir;
    Session session;
    session.calibration.installStartupValues();
    std::vector<BatchInput> inputs;
    for (int i = 0; i < files; ++i) {
        const std::string path = dir.file("in/s" + std::to_string(100 + i) + ".chn");
        std::filesystem::create_directories(dir.file("in"));
        test::writeFile(path, test::chnBytes(0, test::varyingCounts(channels)));
        inputs.push_back({path, kChnFileType});
    }
    std::filesystem::create_directories(dir.file("out"));
    StoppingPlatform platform(4);  // stops before the fourth file
    platform.dirAnswers = {dir.file("out")};
    platform.recordProgressValues = false;
    const BatchResult result = convertFiles(session, platform, inputs, {kLinearConversion, 0, kTextOutput}, jobs);
    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.converted, 3);
    EXPECT_EQ(result.skipped, 0);
    EXPECT_EQ(namesIn(dir.file("out")), std::vector<std::string>({"s100.txt", "s101.txt", "s102.txt"}));
    EXPECT_EQ(platform.callsOf("counter").size(), 3u);
    EXPECT_TRUE(platform.messages().empty());
}

TEST(BatchStop, OneAfterTheOtherStopsBeforeTheNextFile) { checkStop(1, 6, 50); }

// Workers have converted files ahead (and hold large ones in stretches): those are dropped, and
// the batch still ends.
TEST(BatchStop, InParallelTheFilesConvertedAheadAreDropped) {
    checkStop(4, 40, 40);
    checkStop(3, 12, 32767);
}

TEST(BatchStop, ADisplayThatNeverAsksLetsTheBatchRunToTheEnd) {
    test::TempDir dir;
    Session session;
    session.calibration.installStartupValues();
    std::filesystem::create_directories(dir.file("in"));
    std::vector<BatchInput> inputs;
    for (const char* name : {"a.chn", "b.chn"}) {
        test::writeFile(dir.file(std::string("in/") + name), test::chnBytes(0, test::varyingCounts(9)));
        inputs.push_back({dir.file(std::string("in/") + name), kChnFileType});
    }
    ScriptedPlatform platform;
    platform.dirAnswers = {dir.file("in")};
    const BatchResult result = convertFiles(session, platform, inputs, {kLinearConversion, 0, kTextOutput}, 2);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.converted, 2);
}

}  // namespace
}  // namespace s2t
