// A batch maps each scan's channels once per kind of scan and reuses the angles for the files
// that follow. Reused angles must be exactly those the file would have been given on its own:
// the same bytes in every output and the same messages, whatever the mix of scans.
#include <gtest/gtest.h>

#include <filesystem>
#include <bit>
#include <cmath>
#include <cstdint>
#include <map>
#include <span>

#include "calibration/Spline.h"
#include "engine/BatchPlan.h"
#include "engine/BatchRun.h"
#include "engine/BatchSpline.h"
#include "engine/ScanMapping.h"
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

std::vector<std::int32_t> counts(int n, int seed) {
    std::vector<std::int32_t> values;
    for (int i = 0; i < n; ++i) values.push_back(100 + (i * 7919 + seed * 131) % 900);
    return values;
}

struct Outcome {
    std::vector<PlatformCall> calls;
    std::map<std::string, std::string> files;
};

struct AngleReuse : ::testing::Test {
    BatchInput input(const std::string& name, const std::string& bytes) {
        fs::create_directories(dir.file("in"));
        writeFile(dir.file("in/" + name), bytes);
        return {dir.file("in/" + name), name.ends_with(".guf") ? kGufiFileType : kChnFileType};
    }

    Session freshSession() const {
        Session session;
        session.calibration = calibration;
        session.settings.constStepOpts = {3, 0, 0.01};
        return session;
    }

    // Both ways write into one folder, so that the output paths they report are the same.
    std::string freshOutput() {
        const std::string out = dir.file("out");
        fs::remove_all(out);
        fs::create_directories(out);
        return out;
    }

    Outcome collect(const std::string& out, const ScriptedPlatform& platform) const {
        return {platform.calls, test::folderContents(out)};
    }

    // The batch as the program runs it, with one job or several.
    Outcome batch(int jobs, const std::vector<BatchInput>& inputs, const BatchChoices& choices) {
        const std::string out = freshOutput();
        Session session = freshSession();
        ScriptedPlatform platform;
        platform.setFileSystem(std::make_shared<RealFileSystem>());
        runBatch(session, platform, inputs, choices, {OutputDestination::Kind::Directory, out}, jobs);
        return collect(out, platform);
    }

    // Every file mapped afresh: the batch's own loop with nothing kept between files.
    Outcome eachOnItsOwn(const std::vector<BatchInput>& inputs, const BatchChoices& choices) {
        const std::string out = freshOutput();
        Session session = freshSession();
        ScriptedPlatform platform;
        platform.setFileSystem(std::make_shared<RealFileSystem>());
        std::unique_ptr<ProgressDisplay> progress = platform.openProgressDisplay();
        const BatchPlan plan(inputs, choices, {OutputDestination::Kind::Directory, out});
        BatchSpline calibrationSpline;
        BatchResult result;
        convertInOrder(session, platform, *progress, plan, calibrationSpline, nullptr, result);
        progress.reset();
        return collect(out, platform);
    }

    void expectSame(const Outcome& batch, const Outcome& alone) {

        ASSERT_EQ(batch.calls.size(), alone.calls.size());
        for (std::size_t i = 0; i < alone.calls.size(); ++i) EXPECT_EQ(batch.calls[i], alone.calls[i]) << "call " << i;
        ASSERT_EQ(batch.files.size(), alone.files.size());
        for (const auto& [name, bytes] : alone.files) {
            ASSERT_TRUE(batch.files.count(name)) << name;
            EXPECT_TRUE(batch.files.at(name) == bytes) << name << " differs";
        }
    }

    TempDir dir;
    CalibrationState calibration;
};

TEST_F(AngleReuse, MixedScansGetTheAnglesTheyWouldHaveOnTheirOwn) {
    // Points given out of order and with end slopes that differ in their last bit once sorted:
    // the first file's calibration differs from every later file's, with the same channel count.
    calibration.installStartupValues();
    calibration.calPoints = {{624.0, 103.218, 0.0}, {3078.7, 38.058, 0.0}, {2032.2, 59.444, 0.0},
                             {2641.2, 96.76, 0.0}, {466.1, 13.118, 0.0}};
    const std::vector<BatchInput> inputs = {
        input("a.chn", chnBytes(0, counts(3000, 1))),
        input("b.chn", chnBytes(0, counts(3000, 2))),
        input("c.chn", chnBytes(0, counts(1200, 3))),  // fewer channels
        input("d.chn", chnBytes(7, counts(3000, 4))),  // another first channel, the same abscissae
        input("e.guf", gufiBytes(100.0f, 1.0f, {5.0f, 6.0f, 7.0f, 8.0f})),
        input("f.guf", gufiBytes(100.0f, 2.0f, {5.0f, 6.0f, 7.0f, 8.0f})),  // another step
        input("g.guf", gufiBytes(101.0f, 2.0f, {5.0f, 6.0f, 7.0f, 8.0f})),  // another start
        input("h.chn", chnBytes(0, counts(3000, 5))),
    };
    for (const BatchChoices& choices : {BatchChoices{kSplineConversion, kConstantStep, kTextOutput},
                                        BatchChoices{kLinearConversion, 0, kXfitOutput}}) {
        const Outcome alone = eachOnItsOwn(inputs, choices);
        ASSERT_EQ(alone.files.size(), inputs.size());
        for (int jobs : {1, 2}) {
            SCOPED_TRACE("conversion " + std::to_string(choices.conversion) + ", jobs " + std::to_string(jobs));
            expectSame(batch(jobs, inputs, choices), alone);
        }
    }
}

TEST_F(AngleReuse, EveryFileOfASteepCalibrationIsReported) {
    calibration.installStartupValues();
    calibration.header.C = 1e308;  // every angle beyond channel 1 overflows
    const std::vector<BatchInput> inputs = {input("a.chn", chnBytes(0, counts(50, 1))),
                                            input("b.chn", chnBytes(0, counts(50, 2))),
                                            input("c.chn", chnBytes(0, counts(50, 3)))};
    const BatchChoices choices{kLinearConversion, 0, kTextOutput};
    const Outcome alone = eachOnItsOwn(inputs, choices);
    int reports = 0;
    for (const PlatformCall& call : alone.calls)
        reports += call.kind == "message" && call.text.find("angles beyond the range of numbers") != std::string::npos;
    EXPECT_EQ(reports, 3);
    EXPECT_TRUE(alone.files.empty());
    for (int jobs : {1, 2}) expectSame(batch(jobs, inputs, choices), alone);
}


// Angles mapped with a memo that has seen other scans equal, to the bit, the angles mapped afresh:
// any difference in the abscissae or in a number the mapping reads means mapping again.
TEST(AngleMemo, KeptAnglesServeOnlyTheSameAbscissaeAndCalibration) {
    CalibrationState curve;
    curve.installStartupValues();
    spline(std::span<CalibrationPoint>(curve.calPoints), {}, true);
    CalibrationState nudged = curve;  // one second derivative one bit away
    nudged.calPoints[1].secondDeriv = std::nextafter(nudged.calPoints[1].secondDeriv, 1.0);
    CalibrationState line = curve;
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
    const std::vector<Mapping> mappings = {
        {&curve, false, 0.0, 1.0, 2000}, {&nudged, false, 0.0, 1.0, 2000},  {&curve, false, 0.0, 1.0, 2000},
        {&curve, false, 0.0, 1.0, 1999}, {&curve, false, 0.5, 1.0, 1999},  {&curve, false, 0.5, 1.001, 1999},
        {&line, true, 0.5, 1.001, 1999},  {&shifted, true, 0.5, 1.001, 1999}, {&steeper, true, 0.5, 1.001, 1999},
        {&steeper, true, 0.5, 1.001, 1999}};
    ScriptedPlatform platform;
    AngleMemo memo;
    std::vector<ScanPoint> previous;
    for (std::size_t m = 0; m < mappings.size(); ++m) {
        const Mapping& mapping = mappings[m];
        std::vector<ScanPoint> kept(mapping.count), fresh(mapping.count);
        ASSERT_TRUE(mapScanToTwoTheta(kept, mapping.first, mapping.step, *mapping.calibration, mapping.straightLine,
                                      "scan", platform, &memo));
        ASSERT_TRUE(mapScanToTwoTheta(fresh, mapping.first, mapping.step, *mapping.calibration,
                                      mapping.straightLine, "scan", platform));
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
    EXPECT_TRUE(platform.messages().empty());
}

}  // namespace
}  // namespace s2t
