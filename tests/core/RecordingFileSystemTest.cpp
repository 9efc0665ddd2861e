// The files a batch completed, as the Python module's convert names them: exactly the outputs
// that reached their names, in list order, whether the batch ran one file after the other or on
// several workers whose files are named late.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "engine/ConvertRun.h"
#include "platform/MemoryFileSystem.h"
#include "platform/RecordingFileSystem.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::namesIn;
using test::TempDir;
using test::writeFile;

struct RecordedBatch : ::testing::TestWithParam<int> {
    // Four inputs, the third of them no channel file; outputs into out/.
    RecordedBatch() {
        for (const char* name : {"a.chn", "b.chn", "d.chn"}) writeFile(dir.file(name), chnBytes(0, {1, 2, 3}));
        writeFile(dir.file("c.chn"), "not a scan");
        arguments.inputs = {dir.file("a.chn"), dir.file("b.chn"), dir.file("c.chn"), dir.file("d.chn")};
        arguments.output = dir.file("out");
        arguments.jobs = GetParam();
        source.home = dir.file("home");
    }

    TempDir dir;
    ConvertArguments arguments;
    CalibrationSource source;
};

TEST_P(RecordedBatch, NamesEveryCompletedOutputInListOrder) {
    ConvertPlan plan;
    ASSERT_FALSE(planConversion(arguments, plan));
    auto recording = std::make_shared<RecordingFileSystem>(std::make_shared<RealFileSystem>());
    std::FILE* errors = std::tmpfile();
    const ConvertRunResult result = runConvertPlan(plan, source, errors, recording);
    std::fclose(errors);

    EXPECT_TRUE(result.prepared);
    EXPECT_FALSE(result.everyFileConverted(plan)) << "c.chn is skipped";
    EXPECT_EQ(result.batch.converted, 3);
    const std::string out = dir.file("out") + "/";
    EXPECT_EQ(recording->completed(), (std::vector<std::string>{out + "a.txt", out + "b.txt", out + "d.txt"}));
    EXPECT_EQ(namesIn(dir.file("out")), (std::vector<std::string>{"a.txt", "b.txt", "d.txt"}));
}

INSTANTIATE_TEST_SUITE_P(Jobs, RecordedBatch, ::testing::Values(1, 3));

TEST(RecordingFileSystem, LeavesOutFilesThatFailedOrWereNeverCommitted) {
    auto memory = std::make_shared<MemoryFileSystem>();
    RecordingFileSystem recording(memory);
    {
        auto kept = recording.createOutputFile("kept.txt", ExistingFile::Replace);
        kept->write("bytes");
        EXPECT_TRUE(kept->commit());
        auto abandoned = recording.createOutputFile("abandoned.txt", ExistingFile::Replace);
        abandoned->write("bytes");
    }
    memory->spaceLeft = 2;
    auto full = recording.createOutputFile("full.txt", ExistingFile::Replace);
    full->write("more than two bytes");
    EXPECT_FALSE(full->commit());
    memory->refuseCreation = true;
    EXPECT_EQ(recording.createOutputFile("refused.txt", ExistingFile::Replace), nullptr);
    EXPECT_TRUE(recording.exists("kept.txt"));

    EXPECT_EQ(recording.completed(), std::vector<std::string>{"kept.txt"});
}

}  // namespace
}  // namespace s2t
