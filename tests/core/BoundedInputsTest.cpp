// Inputs that never end or are far larger than any real one (an endless pipe, /dev/urandom, a
// file of many megabytes): option files, Default.pre, standard and peak files of more than
// 16 MiB are refused with a message, and nothing of them is used.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "options/OptionFile.h"
#include "options/TextFile.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardsImport.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::TempDir;
using test::writeFile;

// A file of size bytes that starts with text (the rest holes, read as zeros).
void writeLargeFile(const std::string& path, const std::string& text, long long size) {
    writeFile(path, text);
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
}

std::string tooLargeOption(const std::string& path) { return messages::optionFileTooLarge(path); }

TEST(BoundedInputs, OptionFilesLargerThan16MiBAreRefusedWhole) {
    TempDir dir;
    const std::string header = "#Header\r\nK=\t1.5\r\nC=\t0.5\r\n";
    writeLargeFile(dir.file("large.pre"), header, (16LL << 20) + 1);
    writeLargeFile(dir.file("fits.pre"), header, 16LL << 20);
    for (const std::string& path : {dir.file("large.pre"), std::string("/dev/urandom")}) {
        ScriptedPlatform platform;
        CalibrationState state;
        state.installStartupValues();
        EXPECT_FALSE(loadOptionFile(path, state, platform)) << path;
        EXPECT_EQ(platform.messages(),
                  (std::vector<PlatformCall>{{"message", messages::kOptionFileError, tooLargeOption(path)}}));
        EXPECT_EQ(state.header.K, kStartupK) << path;
        EXPECT_EQ(state.numOfDataPoints(), 4) << path;
    }
    // 16 MiB itself is still read.
    ScriptedPlatform platform;
    CalibrationState state;
    EXPECT_TRUE(loadOptionFile(dir.file("fits.pre"), state, platform));
    EXPECT_EQ(state.header.K, 1.5);
}

TEST(BoundedInputs, ADefaultPreLargerThan16MiBLeavesTheBuiltInValuesAndTheFile) {
    TempDir dir;
    const std::string path = dir.file("Default.pre");
    writeLargeFile(path, "#Header\r\nK=\t1.5\r\n", 20LL << 20);
    ScriptedPlatform platform;
    CalibrationState state;
    getCalibration(state, dir.path(), platform, LineEnd::CrLf);
    EXPECT_EQ(state.header.K, kStartupK);
    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{{"message", messages::kOptionFileError, tooLargeOption(path)}}));
    EXPECT_EQ(std::filesystem::file_size(path), 20u << 20);
}

TEST(BoundedInputs, StandardAndPeakFilesLargerThan16MiBAreRefused) {
    TempDir dir;
    writeFile(dir.file("Si.std"), "name= 'Si'\nDATA\n28.44\n47.30\n\n");
    writeFile(dir.file("peaks.txt"), "400\n600\n");
    writeLargeFile(dir.file("large.std"), "name= 'Large'\nDATA\n28.44\n", 17LL << 20);
    writeLargeFile(dir.file("large.txt"), "400\n600\n", 17LL << 20);
    const struct {
        std::string standard, peaks, refused;
    } cases[] = {
        {dir.file("large.std"), dir.file("peaks.txt"), dir.file("large.std")},
        {dir.file("Si.std"), dir.file("large.txt"), dir.file("large.txt")},
        {"/dev/urandom", dir.file("peaks.txt"), "/dev/urandom"},  // read until the limit
    };
    for (const auto& c : cases) {
        ScriptedPlatform platform;
        StandardsImport data;
        data.standard = {1.0};
        EXPECT_FALSE(importStandardAndPeaks(c.standard, c.peaks, data, platform)) << c.refused;
        ASSERT_FALSE(platform.messages().empty());
        EXPECT_EQ(platform.messages().back(),
                  (PlatformCall{"message", messages::kFileError, messages::fileTooLarge(c.refused)}));
        EXPECT_TRUE(data.standard.empty() && data.observed.empty());
    }
    // Lines read so far never pass the limit either: /dev/zero ends as it did.
    TextFile zeros("/dev/zero");
    std::string line;
    EXPECT_EQ(zeros.readLine(line), -1);
    EXPECT_TRUE(zeros.tooLarge());
}

}  // namespace
}  // namespace s2t
