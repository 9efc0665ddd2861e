#include <gtest/gtest.h>

#include <filesystem>

#include "engine/BatchRun.h"
#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::fileExists;
using test::gufiBytes;
using test::readFile;
using test::TempDir;
using test::varyingCounts;
using test::writeFile;

struct BatchFixture : ::testing::Test {
    BatchFixture() { session.calibration.installStartupValues(); }
    BatchInput input(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        writeFile(path, bytes);
        return {path, name.ends_with(".guf") ? kGufiFileType : kChnFileType};
    }
    std::vector<PlatformCall> callsOf(const char* kind) const { return platform.callsOf(kind); }

    TempDir dir;
    Session session;
    ScriptedPlatform platform;
    BatchChoices text{kLinearConversion, 0, kTextOutput};
};

TEST_F(BatchFixture, OneInputTakesTheChosenNameWithTheWritersExtension) {
    const BatchInput a = input("data/a.chn", chnBytes(0, varyingCounts(5)));
    platform.fileAnswers = {dir.file("chosen/out.dat")};
    std::filesystem::create_directory(dir.file("chosen"));
    const BatchResult result = convertFiles(session, platform, {a}, text);
    EXPECT_EQ(result.converted, 1);
    EXPECT_TRUE(fileExists(dir.file("chosen/out.txt")));
    EXPECT_FALSE(fileExists(dir.file("chosen/out.dat")));

    ASSERT_EQ(platform.fileRequests.size(), 1u);
    const FileSelectOptions& popup = platform.fileRequests[0];
    EXPECT_EQ(popup.title, messages::kSelectOutputFile);
    EXPECT_EQ(popup.defaultDirectory, dir.file("data/"));
    EXPECT_EQ(popup.defaultFileSpec, "*.txt");
    EXPECT_EQ(popup.filterList, "*.txt");
    EXPECT_TRUE(popup.restrictExtension);
    EXPECT_FALSE(popup.allowMakeDirectory);
    // Progress: the input, the counter, the output name, and 100 at the end.
    EXPECT_EQ(callsOf("input")[0].text, a.path);
    EXPECT_EQ(callsOf("counter")[0].text, "File 1 of 1");
    EXPECT_EQ(callsOf("output")[0].text, dir.file("chosen/out.txt"));
    EXPECT_EQ(callsOf("value").back().text, "100.0000");
}

TEST_F(BatchFixture, SeveralInputsIntoADirectoryWithReplaceOnceThenNumberedNames) {
    // Scans of more than a degree, so that each constant-step file has values.
    const BatchInput a = input("x/a.chn", chnBytes(0, varyingCounts(50)));
    const BatchInput b = input("x/b.chn", chnBytes(0, varyingCounts(60)));
    const BatchInput sameName = input("y/a.chn", chnBytes(0, varyingCounts(70)));
    std::filesystem::create_directory(dir.file("out"));
    writeFile(dir.file("out/b.dat"), "keep me");
    writeFile(dir.file("out/b-0001.dat"), "and me");
    platform.dirAnswers = {dir.file("out/")};  // a trailing separator gets no second one
    platform.confirmAnswers = {false, true};
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.0};
    const BatchChoices xfit{kLinearConversion, kConstantStep, kXfitOutput};
    session.settings.constStepOpts.step = 0.001;
    const BatchResult result = convertFiles(session, platform, {a, b, sameName}, xfit);
    EXPECT_EQ(result.converted, 3);

    ASSERT_EQ(platform.dirRequests.size(), 1u);
    EXPECT_EQ(platform.dirRequests[0].title, messages::kSelectOutputDirectory);
    EXPECT_TRUE(platform.dirRequests[0].allowMakeDirectory);
    EXPECT_EQ(platform.dirRequests[0].defaultDirectory, dir.file("x/"));

    // b.dat existed: asked once, declined, so the first free numbered name. a.dat, which the
    // first file of the batch wrote, is not the user's to replace: the third file's output goes
    // to the next numbered name without a question (the answer left in the queue is not used).
    const auto confirms = callsOf("confirm");
    ASSERT_EQ(confirms.size(), 1u);
    EXPECT_EQ(confirms[0],
              (PlatformCall{"confirm", messages::kReplaceOutput, messages::replaceOutput(dir.file("out/b.dat"))}));
    EXPECT_EQ(readFile(dir.file("out/b.dat")), "keep me");
    EXPECT_EQ(readFile(dir.file("out/b-0001.dat")), "and me");
    EXPECT_TRUE(fileExists(dir.file("out/b-0002.dat")));
    EXPECT_TRUE(fileExists(dir.file("out/a-0001.dat")));
    EXPECT_EQ(callsOf("counter")[2].text, "File 3 of 3");
}

TEST_F(BatchFixture, CancelledDestinationGufiAnglesThroughTheLineAndChannelLists) {
    const BatchInput a = input("a.chn", chnBytes(7, varyingCounts(3)));
    const BatchResult cancelled = convertFiles(session, platform, {a}, text);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(callsOf("progressOpen").empty());

    // A GUFI file's angles 20, 20.5, 21 go through the line like channel numbers.
    const BatchInput g = input("g.guf", gufiBytes(20.0f, 0.5f, {1, 2, 3}));
    runBatch(session, platform, {g}, text, {OutputDestination::Kind::BesideInputs, ""});
    EXPECT_EQ(readFile(dir.file("g.txt")), "2-Theta\tCount\r\n11.47807020\t1\r\n11.49153443\t2\r\n11.50499866\t3\r\n");

    // Without 2-theta the channel list is written whatever the format; a GUFI file lists indices.
    platform.confirmAnswers = {true};
    MainPanelChoices panel;
    panel.convertToTwoTheta = false;
    panel.outputFormat = kCpiOutput;
    const BatchChoices channels = readBatchChoices(panel, session.settings.constStepOpts);
    EXPECT_EQ(channels.conversion, kNoConversion);
    runBatch(session, platform, {a, g}, channels, {OutputDestination::Kind::BesideInputs, ""});
    EXPECT_EQ(readFile(dir.file("a.txt")), "Channel\tCount\r\n7\t     100\r\n8\t     137\r\n9\t     124\r\n");
    EXPECT_EQ(readFile(dir.file("g.txt")), "Channel\tCount\r\n0\t       1\r\n1\t       2\r\n2\t       3\r\n");
}

TEST_F(BatchFixture, ChoicesFromTheMainPanel) {
    MainPanelChoices panel;
    panel.convertToTwoTheta = true;
    panel.linearMode = false;
    panel.splineMode = false;
    panel.wholeTwoTheta = true;
    panel.limitRange = true;
    panel.outputFormat = kLhpmOutput;
    ConstStepOptions constStep;
    constStep.fractionalCounts = 1;  // set on an earlier visit: keeps option 8
    BatchChoices choices = readBatchChoices(panel, constStep);
    EXPECT_EQ(choices.conversion, kFileAngles);
    EXPECT_EQ(choices.options, kWholeTwoTheta | kRangeLimits | kFractionalCounts);
    EXPECT_EQ(choices.outputFileType, kLhpmOutput);
    panel.splineMode = true;
    EXPECT_EQ(readBatchChoices(panel, constStep).conversion, kSplineConversion);
    panel.convertToTwoTheta = false;
    panel.outputFormatDimmed = true;
    choices = readBatchChoices(panel, constStep);
    EXPECT_EQ(choices.options, 0);
    EXPECT_EQ(choices.outputFileType, kTextOutput);
}

TEST_F(BatchFixture, LargestChannelFileResampledWithTheSpline) {
    // 32767 channels through the calibration spline, resampled by the spline: the scan's own
    // spline sorts an ascending scan in one pass.
    const BatchInput big = input("big.chn", chnBytes(0, varyingCounts(32767)));
    session.settings.constStepOpts = {kSplineInterpolation, 0, 0.01};
    platform.recordProgressValues = false;
    const BatchResult result = runBatch(session, platform, {big}, {kSplineConversion, kConstantStep, kCpiOutput},
                                        {OutputDestination::Kind::BesideInputs, ""});
    EXPECT_EQ(result.converted, 1);
    const std::string cpi = readFile(dir.file("big.cpi"));
    // Channel 0 lies below the calibrated channels: 28.783 - 655 x (69.132 - 28.783) / 1512.
    EXPECT_EQ(cpi.substr(0, 34), "SIETRONICS XRD SCAN\r\n11.30377050\r\n");
    EXPECT_TRUE(platform.messages().empty());
}

TEST(OutputNames, PathHelpers) {
    // Both '/' and '\' separate.
    EXPECT_EQ(getDirPath("C:\\data\\a.chn"), "C:\\data\\");
    EXPECT_EQ(getDirPath("/data/a\\b.chn"), "/data/a\\");
    EXPECT_EQ(getDirPath("/data/x/a.chn"), "/data/x/");
    EXPECT_EQ(getDirPath("a.chn"), "");
    EXPECT_EQ(removeExtension("/data/a.chn"), "/data/a");
    EXPECT_EQ(removeExtension("/my.dir/file"), "/my.dir/file");
    EXPECT_EQ(removeExtension("C:file"), "C:file");
    EXPECT_EQ(removeExtension("C:x.y\\file"), "C:x.y\\file");
    EXPECT_EQ(addExtension("/o/a", "txt"), "/o/a.txt");
    EXPECT_EQ(addExtension("/o/a", "abcdef"), "/o/a.abcd");
}

}  // namespace
}  // namespace s2t
