// A batch converted by several workers must be indistinguishable from one converted file after
// file: the same output files under the same names with the same bytes, and the same questions,
// messages and progress, in the same order.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "calibration/Spline.h"
#include "engine/BatchRun.h"
#include "engine/BatchSpline.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

namespace fs = std::filesystem;
using test::chnBytes;
using test::gufiBytes;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<std::int32_t> peakCounts(int n) {
    std::vector<std::int32_t> counts;
    for (int i = 0; i < n; ++i) counts.push_back(200 + (i * 7919) % 500 + (i % 97 == 0 ? 5000 : 0));
    return counts;
}

std::vector<float> gufiCounts(int n) {
    std::vector<float> counts;
    for (int i = 0; i < n; ++i) counts.push_back(static_cast<float>(50 + (i * 31) % 200) + 0.25f);
    return counts;
}

// Refuses to create any file whose name holds "refused", as a locked or read-only file would.
// With pendingFiles, the workers write their files themselves and the caller's thread names
// them; without, the workers hand the bytes over in memory.
struct PickyFileSystem : FileSystem {
    explicit PickyFileSystem(bool pendingFiles) : pendingFiles(pendingFiles) {}
    std::unique_ptr<OutputFile> createOutputFile(const std::string& path) override {
        if (path.find("refused") != std::string::npos) return nullptr;
        return real.createOutputFile(path);
    }
    std::unique_ptr<PendingOutputFile> createPendingFile(const std::string& nearPath) override {
        if (!pendingFiles || nearPath.find("refused") != std::string::npos) return nullptr;
        return real.createPendingFile(nearPath);
    }
    bool exists(const std::string& path) override { return real.exists(path); }
    bool pendingFiles;
    RealFileSystem real;
};

// Everything a batch leaves behind that a user could see.
struct Outcome {
    BatchResult result;
    std::vector<PlatformCall> calls;
    std::map<std::string, std::string> files;  // the output directory: name -> bytes ("<dir>" for a folder)
    std::vector<CalibrationPoint> calibration;
    double startAngle = 0.0;
    double inputStep = 0.0;
};

struct ParallelBatchFixture : ::testing::Test {
    BatchInput input(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file("in/" + name);
        fs::create_directories(fs::path(path).parent_path());
        writeFile(path, bytes);
        return {path, name.ends_with(".guf") ? kGufiFileType : kChnFileType};
    }

    // Runs the batch into a fresh output directory laid out by `existing`.
    Outcome run(int jobs, const std::vector<BatchInput>& inputs, const BatchChoices& choices,
                const std::function<void(const std::string&)>& existing) {
        const std::string out = dir.file("out");
        fs::remove_all(out);
        fs::create_directories(out);
        existing(out);

        Session session;
        session.calibration.installStartupValues();
        // Points listed out of order: the first file's spline sorts them, later files find them sorted.
        std::swap(session.calibration.calPoints[0], session.calibration.calPoints[2]);
        session.settings = settings;
        ScriptedPlatform platform;
        platform.setFileSystem(std::make_shared<PickyFileSystem>(pendingFiles));
        platform.confirmAnswers = confirmAnswers;

        Outcome outcome;
        outcome.result = runBatch(session, platform, inputs, choices, {OutputDestination::Kind::Directory, out}, jobs);
        outcome.calls = platform.calls;
        outcome.files = test::folderContents(out);
        outcome.calibration = session.calibration.calPoints;
        outcome.startAngle = session.settings.startAngle;
        outcome.inputStep = session.settings.inputStep;
        return outcome;
    }

    static void expectSame(const Outcome& parallel, const Outcome& sequential, int jobs) {
        SCOPED_TRACE("jobs " + std::to_string(jobs));
        EXPECT_EQ(parallel.result.converted, sequential.result.converted);
        EXPECT_EQ(parallel.result.skipped, sequential.result.skipped);
        ASSERT_EQ(parallel.calls.size(), sequential.calls.size());
        for (std::size_t i = 0; i < sequential.calls.size(); ++i)
            ASSERT_EQ(parallel.calls[i], sequential.calls[i]) << "call " << i;
        ASSERT_EQ(parallel.files.size(), sequential.files.size());
        for (const auto& [name, bytes] : sequential.files) {
            ASSERT_TRUE(parallel.files.count(name)) << name;
            EXPECT_TRUE(parallel.files.at(name) == bytes) << name << " differs";
        }
        ASSERT_EQ(parallel.calibration.size(), sequential.calibration.size());
        for (std::size_t i = 0; i < sequential.calibration.size(); ++i) {
            EXPECT_EQ(parallel.calibration[i].channel, sequential.calibration[i].channel);
            EXPECT_EQ(parallel.calibration[i].secondDeriv, sequential.calibration[i].secondDeriv);
        }
        EXPECT_EQ(parallel.startAngle, sequential.startAngle);
        EXPECT_EQ(parallel.inputStep, sequential.inputStep);
    }

    TempDir dir;
    ConversionSettings settings;
    std::deque<bool> confirmAnswers;
    bool pendingFiles = true;
};

TEST_F(ParallelBatchFixture, SplineBatchWithFailuresExistingOutputsAndSharedNames) {
    const std::vector<BatchInput> inputs = {
        input("x/same.chn", chnBytes(0, peakCounts(300))),
        input("broken.chn", "not a channel file"),
        input("y/same.chn", chnBytes(0, peakCounts(350))),  // same output name as the first
        input("old.chn", chnBytes(0, peakCounts(300))),     // its output exists
        input("big.chn", chnBytes(0, peakCounts(4096))),    // an output of several megabytes
        input("refused.chn", chnBytes(0, peakCounts(200))), // its output cannot be created
        input("g.guf", gufiBytes(700.0f, 1.0f, gufiCounts(100))),
        {dir.file("in/missing.chn"), kChnFileType},
        input("dir.chn", chnBytes(0, peakCounts(120))),     // a folder stands under its output name
    };
    settings.constStepOpts = {3, 0, 0.0005};
    confirmAnswers = {false, true, true};
    const BatchChoices choices{kSplineConversion, kConstantStep, kTextOutput};
    auto existing = [](const std::string& out) {
        writeFile(out + "/old.txt", "old result");
        fs::create_directory(out + "/dir.txt");
    };

    const Outcome sequential = run(1, inputs, choices, existing);
    // The batch meets what it is meant to: two questions answered no then yes, the second file of
    // a shared name under a numbered name, a large output, and every kind of failure.
    EXPECT_EQ(sequential.result.converted, 5);
    EXPECT_EQ(sequential.result.skipped, 4);
    int confirms = 0, messages = 0;
    for (const PlatformCall& call : sequential.calls) {
        confirms += call.kind == "confirm";
        messages += call.kind == "message";
    }
    EXPECT_EQ(confirms, 3);
    EXPECT_EQ(messages, 4);
    EXPECT_TRUE(sequential.files.count("same-0001.txt"));
    EXPECT_EQ(sequential.files.at("dir.txt"), "<dir>");
    EXPECT_NE(sequential.files.at("old.txt"), "old result");
    EXPECT_GT(sequential.files.at("big.txt").size(), 3u << 20);

    for (int jobs : {2, 4}) expectSame(run(jobs, inputs, choices, existing), sequential, jobs);
    pendingFiles = false;
    expectSame(run(2, inputs, choices, existing), sequential, 2);
    // No temporary file is left behind, whichever way the files were written.
    for (const auto& [name, bytes] : run(2, inputs, choices, existing).files) EXPECT_NE(name[0], '.') << name;
    pendingFiles = true;
    for (const auto& [name, bytes] : run(2, inputs, choices, existing).files) EXPECT_NE(name[0], '.') << name;
}

TEST_F(ParallelBatchFixture, GufiOutputsRefusedAndGridsTooLarge) {
    const std::vector<BatchInput> inputs = {
        input("ok.guf", gufiBytes(10.0f, 0.01f, gufiCounts(500))),
        input("wide.guf", gufiBytes(0.0f, 10.0f, gufiCounts(20000))),  // more than 100000000 values
        input("long.guf", gufiBytes(10.0f, 0.01f, gufiCounts(4000))),  // more than a GUFI file holds
        input("c.chn", chnBytes(3, peakCounts(100))),
    };
    settings.constStepOpts = {1, 1, 0.001};
    const BatchChoices choices{kFileAngles, kConstantStep | kFractionalCounts, kGufiOutput};
    auto existing = [](const std::string&) {};

    const Outcome sequential = run(1, inputs, choices, existing);
    EXPECT_EQ(sequential.result.converted, 2);
    ASSERT_EQ(sequential.files.size(), 2u);
    EXPECT_TRUE(sequential.files.count("ok.guf"));
    EXPECT_TRUE(sequential.files.count("c.guf"));
    // The last reader's start and step stay in the settings: those of the channel file.
    EXPECT_EQ(sequential.startAngle, 3.0);
    EXPECT_EQ(sequential.inputStep, 1.0);

    for (int jobs : {2, 3}) expectSame(run(jobs, inputs, choices, existing), sequential, jobs);
    pendingFiles = false;
    expectSame(run(2, inputs, choices, existing), sequential, 2);
}

TEST(BatchSpline, TwoComputationsGiveWhatOneBeforeEveryFileGives) {
    // Points whose least-squares end slope differs in its last bit between the order given and
    // the sorted order: the first file's spline differs from every later one.
    CalibrationState given;
    given.calPoints = {{624.0, 103.218, 0.0}, {3078.7, 38.058, 0.0}, {2032.2, 59.444, 0.0},
                       {2641.2, 96.76, 0.0}, {466.1, 13.118, 0.0}};
    CalibrationState everyFile = given;
    CalibrationState batch = given;
    BatchSpline batchSpline;
    std::vector<double> firstSecondDerivs;
    for (std::size_t k = 0; k < 4; ++k) {
        spline(std::span<CalibrationPoint>(everyFile.calPoints), {}, true);
        batchSpline.computeFor(k, batch);
        for (std::size_t i = 0; i < given.calPoints.size(); ++i) {
            EXPECT_EQ(batch.calPoints[i].channel, everyFile.calPoints[i].channel);
            EXPECT_EQ(batch.calPoints[i].secondDeriv, everyFile.calPoints[i].secondDeriv) << "file " << k;
        }
        if (k == 0)
            for (const auto& p : batch.calPoints) firstSecondDerivs.push_back(p.secondDeriv);
        ScriptedPlatform platform;
        batchSpline.showFor(k, platform);
        EXPECT_EQ(platform.calls, (std::vector<PlatformCall>{{"waitCursor", "", "on"}, {"waitCursor", "", "off"}}));
    }
    bool firstDiffers = false;
    for (std::size_t i = 0; i < batch.calPoints.size(); ++i)
        firstDiffers = firstDiffers || batch.calPoints[i].secondDeriv != firstSecondDerivs[i];
    EXPECT_TRUE(firstDiffers);
}

}  // namespace
}  // namespace s2t
