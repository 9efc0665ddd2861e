// The input-format table: every format once, found by its kind, its name and a file's name, and
// the reader each kind of file is read with.
#include <gtest/gtest.h>

#include <set>

#include "engine/BatchRun.h"
#include "engine/FileKind.h"
#include "engine/InputFormats.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::gufiBytes;
using test::TempDir;
using test::writeFile;

TEST(InputFormats, EveryFormatOnceWithAReaderAndTheUnknownKindLast) {
    std::set<std::int32_t> kinds;
    std::set<std::string_view> names;
    for (const InputFormatInfo& format : inputFormats()) {
        EXPECT_TRUE(kinds.insert(format.fileType).second) << format.name;
        EXPECT_TRUE(names.insert(format.name).second) << format.name;
        EXPECT_NE(format.reader, nullptr) << format.name;
        EXPECT_FALSE(format.label.empty()) << format.name;
        EXPECT_EQ(&findInputFormat(format.fileType), &format);
        EXPECT_EQ(findInputFormatByName(format.name), &format);
    }
    EXPECT_EQ(inputFormats().back().fileType, kOtherFileType);
    EXPECT_EQ(findInputFormat(12345).fileType, kOtherFileType);
    EXPECT_EQ(findInputFormatByName("GUFI")->fileType, kGufiFileType);
    EXPECT_EQ(findInputFormatByName("no such format"), nullptr);
    EXPECT_EQ(inputFormatNames().find("unknown"), std::string::npos);
    EXPECT_NE(inputFormatNames().find("chn"), std::string::npos);
}

TEST(InputFormats, ChannelAndGufiFilesGoByTheirExtensionAlone) {
    for (const char* path : {"a.chn", "DIR/A.CHN", "x.Chn", "no-such-dir/b.chn"})
        EXPECT_EQ(getFileType(path), kChnFileType) << path;
    for (const char* path : {"a.guf", "A.GUF", "dir.d/x.Guf"}) EXPECT_EQ(getFileType(path), kGufiFileType) << path;
    for (const char* path : {"a.chn2", "a.ch", "noextension", "dir.chn/file", "", "a."})
        EXPECT_EQ(getFileType(path), kOtherFileType) << path;
    // A channel file under another name keeps the unknown kind and is read as a channel file.
    EXPECT_EQ(findInputFormat(kOtherFileType).reader, findInputFormat(kChnFileType).reader);
    EXPECT_EQ(findInputFormat(kChnFileType).axis, InputAxis::Channels);
    EXPECT_EQ(findInputFormat(kGufiFileType).axis, InputAxis::Angles);
}

TEST(InputFormats, ThePanelKindOfEachFormat) {
    EXPECT_EQ(panelKindOf(kChnFileType), kChnFileType);
    EXPECT_EQ(panelKindOf(kGufiFileType), kGufiFileType);
    EXPECT_EQ(panelKindOf(kOtherFileType), kOtherFileType);
}

// The batch reads each file with the reader of its kind: a GUFI file under the unknown kind is
// refused as no channel file, and a channel file under any name reads.
TEST(InputFormats, TheBatchReadsEachFileWithTheReaderOfItsKind) {
    TempDir dir;
    writeFile(dir.file("scan.guf"), gufiBytes(10.0f, 0.5f, {1.0f, 2.0f}));
    writeFile(dir.file("scan.bin"), chnBytes(0, {4, 5, 6}));
    CalibrationState calibration;
    calibration.installStartupValues();
    ConversionSettings settings;
    ScriptedPlatform platform;
    ConversionRequest request;
    request.conversion = kFileAngles;
    Scan scan;

    request.inputFile = dir.file("scan.guf");
    request.fileType = getFileType(request.inputFile);
    ASSERT_EQ(readAnyFile(request, scan, calibration, settings, platform), 0);
    EXPECT_TRUE(scan.ownAngles);
    ASSERT_EQ(scan.points.size(), 2u);
    EXPECT_EQ(scan.points[1].twoTheta, 10.5);

    request.fileType = kOtherFileType;
    EXPECT_EQ(readAnyFile(request, scan, calibration, settings, platform), -1);

    request.inputFile = dir.file("scan.bin");
    request.fileType = getFileType(request.inputFile);
    EXPECT_EQ(request.fileType, kOtherFileType);
    ASSERT_EQ(readAnyFile(request, scan, calibration, settings, platform), 0);
    EXPECT_FALSE(scan.ownAngles);
    EXPECT_EQ(scan.points.size(), 3u);
}

}  // namespace
}  // namespace s2t
