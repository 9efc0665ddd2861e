#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::namesIn;
using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(RealFileSystem, ReplacesOnlyOnCommitAndLeavesNoTemporaryFile) {
    TempDir dir;
    RealFileSystem fs;
    const std::string target = dir.file("out.txt");
    writeFile(target, "old contents");
    {
        auto file = fs.createOutputFile(target);
        ASSERT_TRUE(file);
        file->write("new ");
        EXPECT_EQ(readFile(target), "old contents");  // nothing shows before the commit
        file->write("contents");
        ASSERT_TRUE(file->commit());
    }
    EXPECT_EQ(readFile(target), "new contents");
    {
        auto abandoned = fs.createOutputFile(target);
        abandoned->write("half");
    }  // destroyed without commit
    EXPECT_EQ(readFile(target), "new contents");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"out.txt"});
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_NE(status.st_mode & S_IRGRP, 0u) << "published files get ordinary permissions";
}

// Files written before they are named: nothing of them shows in the folder until the commit,
// under whichever name they get; a file that takes the chosen name in the meantime is replaced, as
// a rename would replace it; and a file never committed leaves nothing.
TEST(RealFileSystem, PendingFilesShowOnlyUnderTheirNameOnceCommitted) {
    TempDir dir;
    RealFileSystem fs;
    {
        auto file = fs.createPendingFile(dir.file("scan.txt"));
        ASSERT_TRUE(file);
        file->write("first");
        EXPECT_FALSE(file->commit()) << "no name yet";
    }
    EXPECT_TRUE(namesIn(dir.path()).empty());

    auto numbered = fs.createPendingFile(dir.file("scan.txt"));
    auto late = fs.createPendingFile(dir.file("late.txt"));
    ASSERT_TRUE(numbered && late);
    numbered->write("numbered");
    late->write("late");
    EXPECT_FALSE(numbered->name(dir.file("other/scan.txt"))) << "another folder";
    ASSERT_TRUE(numbered->name(dir.file("scan-0001.txt")));
    ASSERT_TRUE(late->name(dir.file("late.txt")));
    writeFile(dir.file("late.txt"), "came in between");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"late.txt"});
    ASSERT_TRUE(numbered->commit());
    ASSERT_TRUE(late->commit());
    EXPECT_EQ(readFile(dir.file("scan-0001.txt")), "numbered");
    EXPECT_EQ(readFile(dir.file("late.txt")), "late");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"late.txt", "scan-0001.txt"}));
    // Both got a new file's permissions, as files made under their names would have.
    const mode_t umask = ::umask(022);
    ::umask(umask);
    for (const char* name : {"scan-0001.txt", "late.txt"}) {
        struct stat status {};
        ASSERT_EQ(::stat(dir.file(name).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0666 & ~umask) << name;
    }
}

TEST(RealFileSystem, ExistsAndUncreatableFiles) {
    TempDir dir;
    RealFileSystem fs;
    EXPECT_FALSE(fs.exists(dir.file("none")));
    writeFile(dir.file("some"), "");
    EXPECT_TRUE(fs.exists(dir.file("some")));
    EXPECT_TRUE(fs.exists(dir.path()));
    EXPECT_EQ(fs.createOutputFile(dir.file("no/such/folder.txt")), nullptr);
    // A directory under the target name: the commit fails and the directory stays.
    std::filesystem::create_directory(dir.file("taken"));
    auto file = fs.createOutputFile(dir.file("taken"));
    ASSERT_TRUE(file);
    file->write("x");
    EXPECT_FALSE(file->commit());
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken")));
}

}  // namespace
}  // namespace s2t
