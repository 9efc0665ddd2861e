#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <span>
#include <thread>
#include <utility>

#include "calibration/Spline.h"
#include "engine/ChannelMapping.h"
#include "engine/ReadAnyFile.h"
#include "engine/ScanReaders.h"
#include "platform/ScriptedPlatform.h"
#include "support/Messages.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::gufiBytes;
using test::TempDir;
using test::writeFile;

struct ReaderFixture : ::testing::Test {
    ReaderFixture() {
        calibration.installStartupValues();
        spline(std::span<CalibrationPoint>(calibration.calPoints), true);
    }
    // Reads bytes as a batch reads a file of the given kind; the messages shown land in platform.
    int read(const std::string& bytes, bool gufi, Conversion conversion = kLinearConversion) {
        const std::string path = dir.file(gufi ? "scan.guf" : "scan.chn");
        writeFile(path, bytes);
        request.inputFile = path;
        request.conversion = conversion;
        return readRequest(gufi ? kGufiFileType : kChnFileType);
    }
    int readRequest(std::int32_t fileType) {
        last = readAsFormat(findInputFormat(fileType), request, calibration);
        scan = last.scan;
        return showReadMessages(last, platform) ? 0 : -1;
    }
    std::string corrupted() const { return test::corruptedInput(request.inputFile); }

    TempDir dir;
    CalibrationState calibration;
    ScriptedPlatform platform;
    ConversionRequest request;
    ReadResult last;
    Scan scan;
};

// A channel file that arrives through a named pipe in pieces, as another program writes it: the
// reader waits for every piece of the header and of the counts.
TEST_F(ReaderFixture, ChannelFileFromAPipeInPieces) {
    const std::vector<std::int32_t> counts = {3, 1, 4, 1, 5, 9, 2, 6};
    const std::string bytes = chnBytes(7, counts);
    request.inputFile = dir.file("piped.chn");
    ASSERT_EQ(::mkfifo(request.inputFile.c_str(), 0600), 0);
    // Opened for reading and writing, the pipe has a writer from the start without waiting for
    // a reader.
    const int pipe = ::open(request.inputFile.c_str(), O_RDWR);
    ASSERT_GE(pipe, 0);
    std::thread writer([&] {
        for (auto [from, to] : {std::pair<std::size_t, std::size_t>{0, 5}, {5, 33}, {33, bytes.size()}}) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_EQ(::write(pipe, bytes.data() + from, to - from), static_cast<ssize_t>(to - from));
        }
    });
    const int result = readRequest(kChnFileType);
    writer.join();
    ::close(pipe);
    ASSERT_EQ(result, 0) << platform.calls.size() << " calls";
    ASSERT_EQ(scan.points.size(), counts.size());
    for (std::size_t i = 0; i < counts.size(); ++i) EXPECT_EQ(scan.points[i].count, counts[i]);
    EXPECT_EQ(last.startAngle, 7.0);
}

TEST_F(ReaderFixture, ChannelFileMapsIndicesAndIgnoresTrailer) {
    const std::vector<std::int32_t> counts = {0, 7, std::numeric_limits<std::int32_t>::max(),
                                              std::numeric_limits<std::int32_t>::min(), 42};
    ASSERT_EQ(read(chnBytes(100, counts, std::string(512, '\x7f')), false), 0);
    ASSERT_EQ(scan.points.size(), counts.size());
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(scan.points[i].count, static_cast<double>(counts[i]));
        // The index in the file is mapped, not firstChannel + index.
        EXPECT_EQ(scan.points[i].twoTheta, kStartupC * static_cast<double>(i) + kStartupK);
    }
    EXPECT_EQ(scan.chnHeader.firstChannel(), 100);
    EXPECT_EQ(last.startAngle, 100.0);
    EXPECT_EQ(last.inputStep, 1.0);
    EXPECT_TRUE(platform.calls.empty());

    // Conversion 3 on a channel file maps like the straight line; 2 with the spline.
    ASSERT_EQ(read(chnBytes(0, std::vector<std::int32_t>(1001, 1)), false, kFileAngles), 0);
    EXPECT_EQ(scan.points[1000].twoTheta, kStartupC * 1000.0 + kStartupK);
    ASSERT_EQ(read(chnBytes(0, std::vector<std::int32_t>(1001, 1)), false, kSplineConversion), 0);
    EXPECT_EQ(scan.points[1000].twoTheta, channelToTTheta(calibration, 1000.0, false));
    EXPECT_NEAR(scan.points[1000].twoTheta, 37.9329, 5e-5);

    ASSERT_EQ(read(chnBytes(5, {}), false), 0);
    EXPECT_TRUE(scan.points.empty());
}

TEST_F(ReaderFixture, ChannelFileFailuresAndTheirMessages) {
    // Not FF FF, or fewer than two bytes: not a CHN file.
    std::string notChn = chnBytes(0, {1, 2});
    notChn[1] = 0x00;
    EXPECT_EQ(read(notChn, false), -1);
    EXPECT_EQ(read("\xff", false), -1);
    const PlatformCall notAChn{"message", messages::kError, test::notAChnFile(request.inputFile)};
    EXPECT_EQ(platform.messages(), (std::vector<PlatformCall>{notAChn, notAChn}));
    platform.calls.clear();

    const std::string whole = chnBytes(0, {1, 2, 3});
    EXPECT_EQ(read(whole.substr(0, whole.size() - 4), false), -1);  // one count short
    EXPECT_EQ(read(whole.substr(0, whole.size() - 1), false), -1);  // inside the last count
    EXPECT_EQ(read(whole.substr(0, 20), false), -1);                // signature, short header
    EXPECT_EQ(read(chnBytes(0, {1}, "", -5), false), -1);           // negative count
    EXPECT_EQ(read(chnBytes(0, {1, 2}, "", 32767), false), -1);     // 40 bytes announcing 32767
    ASSERT_EQ(platform.messages().size(), 5u);
    for (const auto& message : platform.messages())
        EXPECT_EQ(message, (PlatformCall{"message", messages::kError, corrupted()}));

    platform.calls.clear();
    request.inputFile = dir.file("missing.chn");
    EXPECT_EQ(readRequest(kChnFileType), -1);
    EXPECT_EQ(
        platform.messages(),
        (std::vector<PlatformCall>{{"message", messages::kFileError, test::couldNotOpenInput(request.inputFile)}}));
}

TEST_F(ReaderFixture, GufiFileAnglesByConversion) {
    const std::vector<float> counts = {10.5f, 20.25f, 0.0f, -3.0f};
    ASSERT_EQ(read(gufiBytes(10.0f, 0.02f, counts, true), true, kFileAngles), 0);
    ASSERT_EQ(scan.points.size(), 4u);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(scan.points[i].count, static_cast<double>(counts[i]));
        EXPECT_EQ(scan.points[i].twoTheta, 10.0 + static_cast<double>(0.02f) * static_cast<double>(i));
    }
    EXPECT_EQ(last.startAngle, 10.0);
    EXPECT_EQ(last.inputStep, static_cast<double>(0.02f));
    // Junk or zeros in the unread bytes read the same.
    Scan withJunk = scan;
    ASSERT_EQ(read(gufiBytes(10.0f, 0.02f, counts, false), true, kFileAngles), 0);
    for (std::size_t i = 0; i < counts.size(); ++i) EXPECT_EQ(scan.points[i].twoTheta, withJunk.points[i].twoTheta);

    ASSERT_EQ(read(gufiBytes(1000.0f, 2.0f, counts), true, kLinearConversion), 0);
    EXPECT_EQ(scan.points[1].twoTheta, kStartupC * 1002.0 + kStartupK);
    ASSERT_EQ(read(gufiBytes(1000.0f, 2.0f, counts), true, kSplineConversion), 0);
    EXPECT_EQ(scan.points[0].twoTheta, channelToTTheta(calibration, 1000.0, false));

    ASSERT_EQ(read(gufiBytes(5.0f, 1.0f, {}).substr(0, 19), true, kFileAngles), 0);  // 0 points
    EXPECT_TRUE(scan.points.empty());
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(ReaderFixture, GufiFileFailures) {
    const std::string whole = gufiBytes(10.0f, 0.5f, {1, 2, 3});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(read(whole.substr(0, whole.size() - 1), true), -1);  // one byte short
    EXPECT_EQ(read(whole.substr(0, 18), true), -1);                // ends inside numPoints
    EXPECT_EQ(read(whole.substr(0, 12), true), -1);                // ends inside firstAngle
    EXPECT_EQ(read(gufiBytes(10.0f, 0.5f, {1}, false, -2), true), -1);
    EXPECT_EQ(read(gufiBytes(nan, 0.5f, {1}), true), -1);
    EXPECT_EQ(read(gufiBytes(10.0f, inf, {1}), true), -1);
    EXPECT_EQ(read(gufiBytes(10.0f, 0.5f, {1, nan}), true), -1);
    EXPECT_EQ(read(gufiBytes(10.0f, 0.5f, {}, false, 32767).substr(0, 700), true), -1);
    ASSERT_EQ(platform.messages().size(), 8u);
    for (const auto& message : platform.messages())
        EXPECT_EQ(message, (PlatformCall{"message", messages::kError, corrupted()}));
}

TEST_F(ReaderFixture, SplineCalibrationThatCannotMapIsRefusedOnce) {
    calibration.calPoints = {{100, 20}};
    EXPECT_EQ(read(chnBytes(0, {1, 2, 3}), false, kSplineConversion), -1);
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].title, messages::kError);
    // The straight line and the channel list do not need the spline.
    EXPECT_EQ(read(chnBytes(0, {1, 2, 3}), false, kLinearConversion), 0);
    EXPECT_EQ(read(chnBytes(0, {1, 2, 3}), false, kNoConversion), 0);
    EXPECT_EQ(read(gufiBytes(1, 1, {1}), true, kFileAngles), 0);

    // Two points on one channel among others: one message, and the file is not converted.
    platform.calls.clear();
    calibration.calPoints = {{100, 20}, {100, 21}, {300, 25}};
    spline(std::span<CalibrationPoint>(calibration.calPoints), true);
    EXPECT_EQ(read(chnBytes(0, std::vector<std::int32_t>(400, 1)), false, kSplineConversion), -1);
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].text, messages::kPointError);
}

// A reader only decodes: a file it cannot use comes back as one message naming it, with no
// platform to show it and no calibration to map with.
TEST_F(ReaderFixture, ReadersSayWhyWithoutShowingIt) {
    request.inputFile = dir.file("cut.guf");
    const std::string gufi = gufiBytes(10.0f, 0.5f, {1, 2, 3});
    writeFile(request.inputFile, gufi.substr(0, gufi.size() - 1));
    const ReadResult cut = readGUFIFile(request);
    EXPECT_FALSE(cut);
    EXPECT_EQ(cut.messages, (std::vector<UserMessage>{{messages::kError, corrupted()}}));

    request.inputFile = dir.file("cut.chn");
    writeFile(request.inputFile, chnBytes(0, {1, 2, 3}).substr(0, 40));
    const ReadResult short_ = readMCAFile(request);
    EXPECT_FALSE(short_);
    EXPECT_EQ(short_.messages, (std::vector<UserMessage>{{messages::kError, corrupted()}}));
}

// A file is refused for the first thing that stops it, in this order: a calibration that cannot
// map it (before the file is opened), a file that cannot be opened, a GUFI file asked for the
// calibration it stores (before its bytes are looked at), then what its bytes hold.
TEST_F(ReaderFixture, RefusalsComeInTheOrderTheyAreMet) {
    request.inputFile = dir.file("missing.chn");
    calibration.calPoints = {{100, 20}};
    request.conversion = kSplineConversion;
    EXPECT_EQ(readRequest(kChnFileType), -1);
    request.conversion = kTrailerCalibration;
    EXPECT_EQ(readRequest(kGufiFileType), -1);
    request.inputFile = dir.file("cut.guf");
    writeFile(request.inputFile, "cut");
    EXPECT_EQ(readRequest(kGufiFileType), -1);
    request.conversion = kFileAngles;
    EXPECT_EQ(readRequest(kGufiFileType), -1);

    const std::string missing = dir.file("missing.chn");
    EXPECT_EQ(platform.messages(), (std::vector<PlatformCall>{
                                       {"message", messages::kError, messages::splineNeedsTwoChannels(missing)},
                                       {"message", messages::kFileError, test::couldNotOpenInput(missing)},
                                       {"message", messages::kError, messages::noStoredCalibration(request.inputFile)},
                                       {"message", messages::kError, corrupted()}}));
}

}  // namespace
}  // namespace s2t
