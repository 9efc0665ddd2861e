// A batch converted by several workers, or with the angles of one scan kept for the next, must be
// indistinguishable from one converted file after file with everything mapped afresh: the same
// output files under the same names with the same bytes, and the same questions, messages and
// progress, in the same order.
#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <cmath>
#include <filesystem>
#include <map>
#include <span>

#include "calibration/Spline.h"
#include "engine/AngleMemo.h"
#include "engine/BatchPlan.h"
#include "engine/BatchRun.h"
#include "engine/BatchSpline.h"
#include "engine/ScanMapping.h"
#include "options/CalibrationOrigin.h"
#include "platform/MemoryFileSystem.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

namespace fs = std::filesystem;
using test::chnBytes;
using test::gufiBytes;
using test::TempDir;
using test::writeFile;

std::vector<std::int32_t> peakCounts(int n, int seed = 0) {
    std::vector<std::int32_t> counts;
    for (int i = 0; i < n; ++i) counts.push_back(200 + (i * 7919 + seed * 131) % 500 + (i % 97 == 0 ? 5000 : 0));
    return counts;
}

std::vector<float> gufiCounts(int n) {
    std::vector<float> counts;
    for (int i = 0; i < n; ++i) counts.push_back(static_cast<float>(50 + (i * 31) % 200) + 0.25f);
    return counts;
}

// Points whose least-squares end slope differs in its last bit between the order given and the
// sorted order: the first file's spline differs from every later one.
const std::vector<CalibrationPoint> kUnsortedPoints = {
    {624.0, 103.218, 0.0}, {3078.7, 38.058, 0.0}, {2032.2, 59.444, 0.0}, {2641.2, 96.76, 0.0}, {466.1, 13.118, 0.0}};

// Refuses to create any file whose name holds "refused", as a locked or read-only file would.
// With pendingFiles, the workers write their files themselves and the caller's thread names
// them; without, the workers stop at the output and the caller's thread converts each file again.
struct PickyFileSystem : FileSystem {
    explicit PickyFileSystem(bool pendingFiles) : pendingFiles(pendingFiles) {}
    std::unique_ptr<OutputFile> createOutputFile(const std::string& path, ExistingFile existing) override {
        if (path.find("refused") != std::string::npos) return nullptr;
        return real.createOutputFile(path, existing);
    }
    std::unique_ptr<PendingOutputFile> createPendingFile(const std::string& nearPath) override {
        if (!pendingFiles || nearPath.find("refused") != std::string::npos) return nullptr;
        return real.createPendingFile(nearPath);
    }
    bool exists(const std::string& path) override { return real.exists(path); }
    FileStatus statusOf(const std::string& path, bool followLinks) override { return real.statusOf(path, followLinks); }
    bool pendingFiles;
    RealFileSystem real;
};

// Everything a batch leaves behind that a user could see.
struct Outcome {
    BatchResult result;
    std::vector<PlatformCall> calls;
    std::map<std::string, std::string> files;            // the output directory: name -> bytes ("<dir>" for a folder)
    std::vector<std::pair<double, double>> calibration;  // channel, second derivative
};

constexpr int kEachOnItsOwn = 0;

struct BatchEquivalence : ::testing::Test {
    BatchEquivalence() {
        calibration.installStartupValues();
        // Points listed out of order: the first file's spline sorts them, later files find them sorted.
        std::swap(calibration.calPoints[0], calibration.calPoints[2]);
    }

    BatchInput input(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file("in/" + name);
        fs::create_directories(fs::path(path).parent_path());
        writeFile(path, bytes);
        return {path, name.ends_with(".guf") ? kGufiFileType : kChnFileType};
    }

    // Runs the batch into a fresh output directory laid out by `existing`: as the program runs it
    // with this many jobs, or (kEachOnItsOwn) the batch's own loop with nothing kept between files.
    Outcome run(int jobs, const std::vector<BatchInput>& inputs, const BatchChoices& choices) {
        const std::string out = dir.file("out");
        fs::remove_all(out);
        fs::create_directories(out);
        if (existing) existing(out);

        Session session;
        session.calibration = calibration;
        session.settings = settings;
        session.calibrationOrigin = origin;
        ScriptedPlatform platform;
        platform.setFileSystem(std::make_shared<PickyFileSystem>(pendingFiles));
        platform.confirmAnswers = confirmAnswers;

        Outcome outcome;
        const OutputDestination destination{OutputDestination::Kind::Directory, out};
        if (jobs == kEachOnItsOwn) {
            std::unique_ptr<ProgressDisplay> progress = platform.openProgressDisplay();
            BatchSpline calibrationSpline;
            convertInOrder(session, platform, *progress, BatchPlan(inputs, choices, destination), calibrationSpline,
                           nullptr, outcome.result);
        } else {
            outcome.result = runBatch(session, platform, inputs, choices, destination, jobs);
        }
        outcome.calls = platform.calls;
        outcome.files = test::folderContents(out);
        for (const CalibrationPoint& p : session.calibration.calPoints)
            outcome.calibration.emplace_back(p.channel, p.secondDeriv);
        return outcome;
    }

    static void expectSame(const Outcome& other, const Outcome& reference, int jobs) {
        SCOPED_TRACE("jobs " + std::to_string(jobs));
        EXPECT_EQ(other.result.converted, reference.result.converted);
        EXPECT_EQ(other.result.skipped, reference.result.skipped);
        EXPECT_EQ(other.calls, reference.calls);
        ASSERT_EQ(other.files.size(), reference.files.size());
        for (const auto& [name, bytes] : reference.files)
            EXPECT_TRUE(other.files.count(name) && other.files.at(name) == bytes) << name << " differs";
        EXPECT_EQ(other.calibration, reference.calibration);
    }

    TempDir dir;
    CalibrationState calibration;
    CalibrationOrigin origin;
    ConversionSettings settings;
    std::deque<bool> confirmAnswers;
    bool pendingFiles = true;
    std::function<void(const std::string&)> existing;
};

TEST_F(BatchEquivalence, SplineBatchWithFailuresExistingOutputsAndSharedNames) {
    const std::vector<BatchInput> inputs = {
        input("x/same.chn", chnBytes(0, peakCounts(300))),        input("broken.chn", "not a channel file"),
        input("y/same.chn", chnBytes(0, peakCounts(350))),   // same output name as the first, never replacing it
        input("old.chn", chnBytes(0, peakCounts(300))),      // its output exists
        input("big.chn", chnBytes(0, peakCounts(4096))),     // an output of several megabytes
        input("refused.chn", chnBytes(0, peakCounts(200))),  // its output cannot be created
        input("g.guf", gufiBytes(700.0f, 1.0f, gufiCounts(100))), {dir.file("in/missing.chn"), kChnFileType},
        input("dir.chn", chnBytes(0, peakCounts(120))),  // a folder stands under its output name
    };
    settings.constStepOpts = {kSplineInterpolation, 0, 0.0005};
    confirmAnswers = {false, true, true};
    const BatchChoices choices{kSplineConversion, kConstantStep, kTextOutput};
    existing = [](const std::string& out) {
        writeFile(out + "/old.txt", "old result");
        writeFile(out + "/same-0001.txt", "an earlier run's");
        fs::create_directory(out + "/dir.txt");
    };

    const Outcome sequential = run(1, inputs, choices);
    // The batch meets what it is meant to: three questions answered no then yes, the second file
    // of a shared name under a numbered name (asked about an earlier run's file only), a large
    // output, and every kind of failure.
    EXPECT_EQ(sequential.result.converted, 5);
    EXPECT_EQ(sequential.result.skipped, 4);
    int confirms = 0, messages = 0;
    for (const PlatformCall& call : sequential.calls) {
        confirms += call.kind == "confirm";
        messages += call.kind == "message";
    }
    EXPECT_EQ(confirms, 3);
    EXPECT_EQ(messages, 4);
    EXPECT_EQ(sequential.files.at("same-0001.txt"), "an earlier run's");
    EXPECT_TRUE(sequential.files.count("same-0002.txt"));
    EXPECT_EQ(sequential.files.at("dir.txt"), "<dir>");
    EXPECT_NE(sequential.files.at("old.txt"), "old result");
    EXPECT_GT(sequential.files.at("big.txt").size(), 3u << 20);

    // No temporary file is left behind; the runs that follow must leave the same files.
    for (const auto& [name, bytes] : sequential.files) EXPECT_NE(name[0], '.') << name;

    for (int jobs : {2, 4}) expectSame(run(jobs, inputs, choices), sequential, jobs);
    pendingFiles = false;  // every file converted again on the caller's thread
    expectSame(run(2, inputs, choices), sequential, 2);
}

TEST_F(BatchEquivalence, GufiOutputsRefusedAndGridsTooLarge) {
    const std::vector<BatchInput> inputs = {
        input("ok.guf", gufiBytes(10.0f, 0.01f, gufiCounts(500))),
        input("wide.guf", gufiBytes(0.0f, 10.0f, gufiCounts(20000))),  // more than 100000000 values
        input("long.guf", gufiBytes(10.0f, 0.01f, gufiCounts(4000))),  // more than a GUFI file holds
        input("c.chn", chnBytes(3, peakCounts(100))),
    };
    settings.constStepOpts = {kLinearInterpolation, 1, 0.001};
    const BatchChoices choices{kFileAngles, kConstantStep | kFractionalCounts, kGufiOutput};

    const Outcome sequential = run(1, inputs, choices);
    EXPECT_EQ(sequential.result.converted, 2);
    ASSERT_EQ(sequential.files.size(), 2u);
    EXPECT_TRUE(sequential.files.count("ok.guf") && sequential.files.count("c.guf"));

    for (int jobs : {2, 3}) expectSame(run(jobs, inputs, choices), sequential, jobs);
    pendingFiles = false;
    expectSame(run(2, inputs, choices), sequential, 2);
}

TEST_F(BatchEquivalence, KeptAnglesAreThoseEachScanWouldGetOnItsOwn) {
    // The first file's calibration differs from every later file's, with the same channel count.
    calibration.calPoints = kUnsortedPoints;
    const std::vector<BatchInput> inputs = {
        input("a.chn", chnBytes(0, peakCounts(3000, 1))),
        input("b.chn", chnBytes(0, peakCounts(3000, 2))),
        input("c.chn", chnBytes(0, peakCounts(1200, 3))),  // fewer channels
        input("d.chn", chnBytes(7, peakCounts(3000, 4))),  // another first channel, the same abscissae
        // Points enough for more than a degree, so that every constant-step file has values.
        input("e.guf", gufiBytes(100.0f, 1.0f, gufiCounts(400))),
        input("f.guf", gufiBytes(100.0f, 2.0f, gufiCounts(400))),  // another step
        input("g.guf", gufiBytes(101.0f, 2.0f, gufiCounts(400))),  // another start
        input("h.chn", chnBytes(0, peakCounts(3000, 5))),
    };
    settings.constStepOpts = {kSplineInterpolation, 0, 0.01};
    for (const BatchChoices& choices : {BatchChoices{kSplineConversion, kConstantStep, kTextOutput},
                                        BatchChoices{kLinearConversion, 0, kXfitOutput}}) {
        SCOPED_TRACE("conversion " + std::to_string(static_cast<int>(choices.conversion)));
        const Outcome alone = run(kEachOnItsOwn, inputs, choices);
        ASSERT_EQ(alone.files.size(), inputs.size());
        for (int jobs : {1, 2}) expectSame(run(jobs, inputs, choices), alone, jobs);
    }

    // A calibration so steep that every angle beyond channel 1 overflows: every file is reported.
    calibration.installStartupValues();
    calibration.header.C = 1e308;
    const std::vector<BatchInput> steep(inputs.begin(), inputs.begin() + 3);
    const BatchChoices choices{kLinearConversion, 0, kTextOutput};
    const Outcome alone = run(kEachOnItsOwn, steep, choices);
    int reports = 0;
    for (const PlatformCall& call : alone.calls)
        reports += call.kind == "message" && call.text.find("angles beyond the range of numbers") != std::string::npos;
    EXPECT_EQ(reports, 3);
    EXPECT_TRUE(alone.files.empty());
    for (int jobs : {1, 2}) expectSame(run(jobs, steep, choices), alone, jobs);
}

TEST_F(BatchEquivalence, AnnotatedHeadersStateTheCalibrationOnEveryCore) {
    // The headers of xy, xye, fxye and pdCIF files say which calibration made the angles (and
    // pdCIF from which standard): the files a batch's workers write say it as the caller's would.
    calibration.installStartupValues();
    origin = originFromStandard("Corundum", calibration);
    const std::vector<BatchInput> inputs = {
        input("a.chn", chnBytes(0, peakCounts(1500, 1))),
        input("b.chn", chnBytes(0, peakCounts(1500, 2))),
        input("c.chn", chnBytes(0, peakCounts(1500, 3))),
    };
    settings.constStepOpts = {kLinearInterpolation, 0, 0.02};
    for (const BatchChoices& choices : {BatchChoices{kLinearConversion, 0, kXyOutput},
                                        BatchChoices{kSplineConversion, kConstantStep, kPdcifOutput}}) {
        SCOPED_TRACE("conversion " + std::to_string(static_cast<int>(choices.conversion)));
        const Outcome sequential = run(1, inputs, choices);
        ASSERT_EQ(sequential.files.size(), inputs.size());
        const std::string& header = sequential.files.begin()->second;
        EXPECT_NE(header.find(choices.conversion == kLinearConversion ? "K = 10.939501, C = 0.026928"
                                                                      : "cubic spline through 4 points"),
                  std::string::npos)
            << header.substr(0, 400);
        if (choices.outputFileType == kPdcifOutput) {
            EXPECT_NE(header.find("_pd_calib_std_external_name         'Corundum'"), std::string::npos)
                << header.substr(0, 2000);
        }
        for (int jobs : {2, 4}) expectSame(run(jobs, inputs, choices), sequential, jobs);
    }
}

// The in-memory file system of the tests and fuzzers keeps files without a name as the disk does:
// the workers write them, and the batch leaves what one run file after the other leaves.
TEST(ParallelBatchInMemory, WorkersWriteTheFilesAndTheBatchEndsAsOneAfterTheOther) {
    struct CountingFiles : MemoryFileSystem {
        std::unique_ptr<PendingOutputFile> createPendingFile(const std::string& nearPath) override {
            ++pending;
            return MemoryFileSystem::createPendingFile(nearPath);
        }
        std::atomic<int> pending = 0;
    };
    TempDir dir;
    std::vector<BatchInput> inputs;
    for (int i = 0; i < 6; ++i) {
        const std::string path = dir.file("in" + std::to_string(i) + ".chn");
        writeFile(path, i == 3 ? std::string("no channel file") : chnBytes(0, peakCounts(200 + 50 * i, i)));
        inputs.push_back({path, kChnFileType});
    }
    inputs.push_back(inputs[1]);  // the same output name again: a question, then a numbered name
    struct Run {
        std::map<std::string, std::string> files;
        std::vector<PlatformCall> calls;
        int pending = 0;
    };
    auto run = [&](int jobs) {
        auto files = std::make_shared<CountingFiles>();
        files->files["/out/in4.txt"] = "an older output";
        ScriptedPlatform platform;
        platform.setFileSystem(files);
        platform.confirmAnswers = {true, false};
        Session session;
        session.calibration.installStartupValues();
        const BatchResult result = runBatch(session, platform, inputs, {kSplineConversion, 0, kTextOutput},
                                            {OutputDestination::Kind::Directory, "/out"}, jobs);
        EXPECT_EQ(result.converted, 6) << jobs;
        EXPECT_EQ(files->openFiles, 0) << jobs;
        return Run{files->files, platform.calls, files->pending};
    };
    const Run sequential = run(1);
    EXPECT_EQ(sequential.pending, 0);
    EXPECT_EQ(sequential.files.size(), 6u);
    EXPECT_NE(sequential.files.at("/out/in4.txt"), "an older output");
    EXPECT_TRUE(sequential.files.count("/out/in1-0001.txt"));
    for (int jobs : {2, 3}) {
        const Run parallel = run(jobs);
        EXPECT_EQ(parallel.pending, 6) << jobs;
        EXPECT_EQ(parallel.files, sequential.files) << jobs;
        EXPECT_EQ(parallel.calls, sequential.calls) << jobs;
    }
}

// Angles mapped with a memo that has seen other scans equal, to the bit, the angles mapped afresh:
// any difference in the abscissae or in a number the mapping reads means mapping again.
TEST(AngleMemo, KeptAnglesServeOnlyTheSameAbscissaeAndCalibration) {
    CalibrationState curve;
    curve.installStartupValues();
    spline(std::span<CalibrationPoint>(curve.calPoints), true);
    CalibrationState nudged = curve;  // one second derivative one bit away
    nudged.calPoints[1].secondDeriv = std::nextafter(nudged.calPoints[1].secondDeriv, 1.0);
    const CalibrationState line = curve;
    CalibrationState shifted = curve;  // K alone changed
    shifted.header.K += 1.0;
    CalibrationState steeper = shifted;  // then C alone, by one bit
    steeper.header.C = std::nextafter(steeper.header.C, 1.0);

    struct Mapping {
        const CalibrationState* calibration;
        bool straightLine;
        double first, step;
        std::size_t count;
    };
    const std::vector<Mapping> mappings = {{&curve, false, 0.0, 1.0, 2000},    {&nudged, false, 0.0, 1.0, 2000},
                                           {&curve, false, 0.0, 1.0, 2000},    {&curve, false, 0.0, 1.0, 1999},
                                           {&curve, false, 0.5, 1.0, 1999},    {&curve, false, 0.5, 1.001, 1999},
                                           {&line, true, 0.5, 1.001, 1999},    {&shifted, true, 0.5, 1.001, 1999},
                                           {&steeper, true, 0.5, 1.001, 1999}, {&steeper, true, 0.5, 1.001, 1999}};
    std::vector<UserMessage> notes;
    AngleMemo memo;
    std::vector<ScanPoint> previous;
    for (std::size_t m = 0; m < mappings.size(); ++m) {
        const Mapping& mapping = mappings[m];
        std::vector<ScanPoint> kept(mapping.count), fresh(mapping.count);
        ASSERT_TRUE(mapScanToTwoTheta(kept, mapping.first, mapping.step, *mapping.calibration, mapping.straightLine,
                                      "scan", notes, &memo));
        ASSERT_TRUE(mapScanToTwoTheta(fresh, mapping.first, mapping.step, *mapping.calibration, mapping.straightLine,
                                      "scan", notes));
        bool differsFromPrevious = kept.size() != previous.size();
        for (std::size_t i = 0; i < kept.size(); ++i) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(kept[i].twoTheta), std::bit_cast<std::uint64_t>(fresh[i].twoTheta))
                << "mapping " << m << ", point " << i;
            differsFromPrevious = differsFromPrevious || kept[i].twoTheta != previous[i].twoTheta;
        }
        // Each change of the list shows in the angles, so a memo that ignored it would be caught.
        const bool repeat = m == 2 || m == mappings.size() - 1;
        if (!repeat) {
            EXPECT_TRUE(differsFromPrevious) << "mapping " << m;
        }
        previous = kept;
    }
    EXPECT_TRUE(notes.empty());
}

TEST(BatchSpline, TwoComputationsGiveWhatOneBeforeEveryFileGives) {
    CalibrationState everyFile, batch;
    everyFile.calPoints = batch.calPoints = kUnsortedPoints;
    BatchSpline batchSpline;
    std::vector<double> firstSecondDerivs;
    for (std::size_t k = 0; k < 4; ++k) {
        spline(std::span<CalibrationPoint>(everyFile.calPoints), true);
        batchSpline.computeFor(k, batch);
        for (std::size_t i = 0; i < kUnsortedPoints.size(); ++i) {
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
