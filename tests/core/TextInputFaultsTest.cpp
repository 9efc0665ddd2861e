// Option, standard and peak files that are no text files at all: a folder, a named pipe nobody
// writes to, a device that never ends a line. None of them blocks, crashes or takes all memory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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

TEST(TextInputFaults, AFolderIsNoOptionFile) {
    TempDir dir;
    ScriptedPlatform platform;
    CalibrationState state;
    state.installStartupValues();
    EXPECT_FALSE(loadOptionFile(dir.path(), state, platform));
    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{{"message", messages::kFileError, messages::kOptionFileNotOpened}}));
    EXPECT_EQ(state.header.K, kStartupK);
}

TEST(TextInputFaults, APipeWithoutWriterOrALineThatNeverEndsReadsAsEmpty) {
    TempDir dir;
    const std::string pipe = dir.file("calibration.pre");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // /dev/zero delivers zeros for ever and never a line feed: it ends the file instead of taking all memory.
    TextFile zeros("/dev/zero");
    ASSERT_TRUE(zeros.isOpen());
    std::string line = "before";
    EXPECT_EQ(zeros.readLine(line), -1);
    EXPECT_TRUE(line.empty());
    EXPECT_EQ(zeros.readLine(line), -1);  // and stays ended

    // A pipe without writer is an empty option file; /dev/zero, which never ends, is refused.
    ScriptedPlatform platform;
    for (const std::string& path : {pipe, std::string("/dev/zero")}) {
        CalibrationState state;
        state.installStartupValues();
        EXPECT_EQ(loadOptionFile(path, state, platform), path == pipe) << path;
        EXPECT_EQ(state.header.K, kStartupK);
        EXPECT_EQ(state.numOfDataPoints(), 4);
    }
    EXPECT_EQ(platform.messages(), (std::vector<PlatformCall>{{"message", messages::kOptionFileError,
                                                               messages::optionFileTooLarge("/dev/zero")}}));
    platform.calls.clear();

    // As the XFit file of a peak import: no peaks.
    writeFile(dir.file("Si.std"), "name= 'Si'\nDATA\n28.44\n\n");
    StandardsImport data;
    EXPECT_FALSE(importStandardAndPeaks(dir.file("Si.std"), pipe, data, platform));
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].title, messages::kNoPoints);
}

TEST(TextInputFaults, LinesUpToTheLimitAreReadWhole) {
    TempDir dir;
    const std::string longLine(1 << 20, '7');
    writeFile(dir.file("long.txt"), "a\r\n" + longLine + "\nb");
    TextFile file(dir.file("long.txt"));
    std::string line;
    EXPECT_EQ(file.readLine(line), 1);
    EXPECT_EQ(line, "a");
    EXPECT_EQ(file.readLine(line), static_cast<long>(longLine.size()));
    EXPECT_EQ(line, longLine);
    EXPECT_EQ(file.readLine(line), -1);  // no line feed after the last line
    EXPECT_EQ(line, "b");
}

}  // namespace
}  // namespace s2t
