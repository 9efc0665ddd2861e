// Values that overflow never reach a file as "inf" or "nan": a calibration so steep that the
// angles leave the range of numbers, resampling across such spans, range limits that overflow the
// header's grid arithmetic, and GUFI values beyond the float range. Each case was found by the
// conversion fuzz target; the file is refused with a message and nothing is written.
#include <gtest/gtest.h>

#include <span>

#include "calibration/Spline.h"
#include "engine/BatchRun.h"
#include "platform/MemoryFileSystem.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::TempDir;
using test::writeFile;

struct OverflowingValues : ::testing::Test {
    OverflowingValues() {
        session.calibration.installStartupValues();
        files->files["/out/scan.txt"] = "earlier result";
        platform.setFileSystem(files);
        platform.recordProgressValues = false;
        platform.confirmAnswers = {true, true};
    }

    // Converts a channel file with these counts; returns whether a file was written.
    bool convert(const std::vector<std::int32_t>& counts, std::int32_t format, std::uint16_t options) {
        writeFile(dir.file("scan.chn"), chnBytes(0, counts));
        spline(std::span<CalibrationPoint>(session.calibration.calPoints), true);
        ConversionRequest request;
        request.inputFile = dir.file("scan.chn");
        request.outputFile = "/out/scan";
        request.fileType = kChnFileType;
        request.conversion = kLinearConversion;
        request.options = options;
        request.outputFileType = format;
        return convertAnyFile(request, session, platform);
    }

    std::string notFinite(const std::string& path) const {
        return messages::withPath(messages::kNotFiniteFailure, path);
    }

    TempDir dir;
    Session session;
    ScriptedPlatform platform;
    std::shared_ptr<MemoryFileSystem> files = std::make_shared<MemoryFileSystem>();
};

TEST_F(OverflowingValues, AnglesBeyondTheRangeOfNumbersRefuseTheFile) {
    const std::string message = messages::anglesBeyondNumbers(dir.file("scan.chn"));
    session.calibration.header.C = 1e308;  // channel 2 lies at 2e308
    EXPECT_FALSE(convert({1, 2, 3}, kTextOutput, 0));
    EXPECT_EQ(platform.messages(), (std::vector<PlatformCall>{{"message", messages::kError, message}}));

    EXPECT_EQ(files->files, (std::map<std::string, std::string>{{"/out/scan.txt", "earlier result"}}));

    // A steep line that stays within the numbers still converts, digit for digit.
    platform.calls.clear();
    session.calibration.installStartupValues();
    session.calibration.header.K = 0.0;
    session.calibration.header.C = 1e300;
    EXPECT_TRUE(convert({7, 8}, kTextOutput, 0));
    EXPECT_EQ(files->files["/out/scan.txt"], "2-Theta\tCount\r\n0.00000000\t7\r\n" + formatFixed(1e300, 8) + "\t8\r\n");
}

TEST_F(OverflowingValues, ResampledCountsThatOverflowRefuseTheFile) {
    // Neighbouring points 2.5e304 degrees apart: the interpolation's product overflows.
    session.calibration.header.C = -2.4687558309571594e304;
    session.settings.constStepOpts = {kLinearInterpolation, 0, 3.2e302};
    std::vector<std::int32_t> counts;
    for (int i = 0; i < 65; ++i) counts.push_back((i * 7919) % 100000);
    EXPECT_FALSE(convert(counts, kTextOutput, kConstantStep));
    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{{"message", messages::kFileError, notFinite("/out/scan.txt")}}));
    EXPECT_EQ(files->files["/out/scan.txt"], "earlier result");
    EXPECT_EQ(files->openFiles, 0);
}

TEST_F(OverflowingValues, RangeLimitsFarBelowTheGridRefuseTheFile) {
    // An upper limit so far below the grid that (limit - start) / step leaves the numbers: the
    // header's end is found among the grid values themselves, and none of the 400 is within the
    // limits, which is what the message says.
    session.settings.constStepOpts = {kLinearInterpolation, 0, 0.005};
    session.settings.theRangeOptions = {2.3e-306, -4.0e307};
    EXPECT_FALSE(convert(std::vector<std::int32_t>(100, 5), kXfitOutput, kConstantStep | kRangeLimits));
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_NE(platform.messages()[0].text.find("No point of the constant-step grid"), std::string::npos);
    EXPECT_EQ(files->files.count("/out/scan.dat"), 0u);

    // Ordinary limits around an empty scan: no value, so no file either.
    platform.calls.clear();
    session.settings.theRangeOptions = {20.0, 30.0};
    EXPECT_FALSE(convert({}, kXfitOutput, kConstantStep | kRangeLimits));
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_NE(platform.messages()[0].text.find("No point of the constant-step grid"), std::string::npos);
    EXPECT_EQ(files->files.count("/out/scan.dat"), 0u);
}

TEST_F(OverflowingValues, GufiValuesBeyondTheFloatRangeRefuseTheFile) {
    // Angles from 3e38 down to -9e38: the first grid angle does not fit a float.
    session.calibration.header.K = 3e38;
    session.calibration.header.C = -3e38;
    session.settings.constStepOpts = {kLinearInterpolation, 0, 1e36};
    EXPECT_FALSE(convert({1, 2, 3, 4, 5}, kGufiOutput, kConstantStep));
    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{
                  {"message", messages::kFileError, messages::withPath(messages::kGufiBeyondFloat, "/out/scan.guf")}}));
    EXPECT_EQ(files->files.count("/out/scan.guf"), 0u);
    EXPECT_EQ(files->openFiles, 0);
}

}  // namespace
}  // namespace s2t
