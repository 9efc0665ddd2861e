// The input-format table: every format once, found by its kind, its name and a file's name, and
// the reader each kind of file is read with.
#include <gtest/gtest.h>

#include <set>

#include "engine/BatchRun.h"
#include "engine/FileKind.h"
#include "engine/InputFormats.h"
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
    // Scans with angles of their own are angle scans; Canberra spectra hold channels.
    for (const InputFormatInfo& format : inputFormats()) {
        if (format.fileType == kChnFileType || format.fileType == kGufiFileType || format.fileType == kOtherFileType)
            continue;
        EXPECT_EQ(format.panelKind, format.axis == InputAxis::Angles ? kAngleScanKind : kChnFileType) << format.name;
    }
    EXPECT_EQ(findInputFormatByName("canberra_cnf")->axis, InputAxis::Channels);
    EXPECT_EQ(findInputFormatByName("xrdml")->panelKind, kAngleScanKind);
}

// Names other than .chn and .guf are looked into: a channel file keeps the unknown kind (read as a
// channel file, as always), a format's extension with its content check comes next, and a few
// formats are told by their content under any name.
TEST(InputFormats, OtherNamesAreRecognisedByTheirContent) {
    const std::string channel = chnBytes(0, {1, 2, 3});
    const std::string cpi =
        "SIETRONICS XRD SCAN\r\n10.00\r\n10.04\r\n0.02\r\nCu\r\n1.54\r\n2024-01-01\r\n"
        "1\r\nSAMPLE\r\nSCANDATA\r\n1\r\n2\r\n3\r\n";
    const std::string xfit =
        "\r\n\r\n\r\n\r\n  10.000   0.020  10.180\r\n"
        "       1       2       3       4       5       6       7       8       9      10\r\n";
    struct Case {
        const char* path;
        std::string bytes;
        std::string_view format;
    };
    const Case cases[] = {
        {"scan.raw", channel, "unknown"},
        {"scan", channel, "unknown"},
        {"scan.cpi", cpi, "cpi"},
        {"scan.bin", cpi, "cpi"},
        {"scan", cpi, "cpi"},
        {"scan.dat", xfit, "riet7"},
        {"scan.xy", "10 5\n11 6\n", "text"},
        {"scan.txt", "2-Theta\tCount\n10\t5\n", "text"},
        {"scan.bin", "10 5\n11 6\n", "unknown"},
        {"scan.cpi", "not a scan", "unknown"},
        {"scan.xrdml", "", "unknown"},
        {"scan.dat", gufiBytes(10.0f, 0.5f, {1.0f}), "unknown"},
        {"scan.txt", std::string("10 5\0\n", 6), "unknown"},
        {"scan.bin", gufiBytes(10.0f, 0.5f, std::vector<float>(2000, 1.0f)), "unknown"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(inputFormatFor(c.path, c.bytes).name, c.format) << c.path << " " << c.bytes;
        EXPECT_EQ(inputFormatFor(std::string("dir.d/") + c.path, c.bytes).name, c.format) << c.path;
    }
    // The extension alone decides for channel and GUFI files, whatever they hold.
    EXPECT_EQ(inputFormatFor("scan.chn", cpi).name, "chn");
    EXPECT_EQ(inputFormatFor("scan.GUF", cpi).name, "gufi");

    TempDir dir;
    writeFile(dir.file("scan.bin"), cpi);
    EXPECT_EQ(findInputFormat(getFileType(dir.file("scan.bin"))).name, "cpi");
    EXPECT_EQ(getFileType(dir.file("missing.cpi")), kOtherFileType);
}

// The batch reads each file with the reader of its kind: a GUFI file under the unknown kind is
// refused as no channel file, and a channel file under any name reads.
TEST(InputFormats, TheBatchReadsEachFileWithTheReaderOfItsKind) {
    TempDir dir;
    writeFile(dir.file("scan.guf"), gufiBytes(10.0f, 0.5f, {1.0f, 2.0f}));
    writeFile(dir.file("scan.bin"), chnBytes(0, {4, 5, 6}));
    CalibrationState calibration;
    calibration.installStartupValues();
    ConversionRequest request;
    request.conversion = kFileAngles;
    Scan scan;
    auto read = [&] {
        ReadResult result = readAnyFile(request, calibration);
        scan = std::move(result.scan);
        return bool(result);
    };

    request.inputFile = dir.file("scan.guf");
    request.fileType = getFileType(request.inputFile);
    ASSERT_TRUE(read());
    EXPECT_TRUE(scan.ownAngles);
    ASSERT_EQ(scan.points.size(), 2u);
    EXPECT_EQ(scan.points[1].twoTheta, 10.5);

    request.fileType = kOtherFileType;
    EXPECT_FALSE(read());

    request.inputFile = dir.file("scan.bin");
    request.fileType = getFileType(request.inputFile);
    EXPECT_EQ(request.fileType, kOtherFileType);
    ASSERT_TRUE(read());
    EXPECT_FALSE(scan.ownAngles);
    EXPECT_EQ(scan.points.size(), 3u);
}

}  // namespace
}  // namespace s2t
