#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
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
        auto file = fs.createOutputFile(target, ExistingFile::Replace);
        ASSERT_TRUE(file);
        file->write("new ");
        EXPECT_EQ(readFile(target), "old contents");  // nothing shows before the commit
        file->write("contents");
        ASSERT_TRUE(file->commit());
    }
    EXPECT_EQ(readFile(target), "new contents");
    {
        auto abandoned = fs.createOutputFile(target, ExistingFile::Replace);
        abandoned->write("half");
    }  // destroyed without commit
    EXPECT_EQ(readFile(target), "new contents");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"out.txt"});
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_NE(status.st_mode & S_IRGRP, 0u) << "published files get ordinary permissions";
}

// Files written before they are named: nothing of them shows in the folder until the commit,
// under whichever name they get; a file that takes a name found free in the meantime stays, and
// the output, still whole, takes another name; and a file never committed leaves nothing.
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
    EXPECT_FALSE(numbered->name(dir.file("other/scan.txt"), ExistingFile::Keep)) << "another folder";
    ASSERT_TRUE(numbered->name(dir.file("scan-0001.txt"), ExistingFile::Keep));
    ASSERT_TRUE(late->name(dir.file("late.txt"), ExistingFile::Keep));
    writeFile(dir.file("late.txt"), "came in between");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"late.txt"});
    ASSERT_TRUE(numbered->commit());
    EXPECT_FALSE(numbered->nameTaken());
    EXPECT_FALSE(late->commit());
    EXPECT_TRUE(late->nameTaken());
    ASSERT_TRUE(late->renameTo(dir.file("late-0001.txt")));
    ASSERT_TRUE(late->commit());
    EXPECT_EQ(readFile(dir.file("scan-0001.txt")), "numbered");
    EXPECT_EQ(readFile(dir.file("late.txt")), "came in between");
    EXPECT_EQ(readFile(dir.file("late-0001.txt")), "late");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"late-0001.txt", "late.txt", "scan-0001.txt"}));
    // Both got a new file's permissions, as files made under their names would have.
    const mode_t umask = ::umask(022);
    ::umask(umask);
    for (const char* name : {"scan-0001.txt", "late-0001.txt"}) {
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
    EXPECT_EQ(fs.createOutputFile(dir.file("no/such/folder.txt"), ExistingFile::Keep), nullptr);
    // A directory under the target name is never replaced, even when agreed to; nor is it taken
    // for free.
    std::filesystem::create_directory(dir.file("taken"));
    EXPECT_EQ(fs.createOutputFile(dir.file("taken"), ExistingFile::Replace), nullptr);
    auto file = fs.createOutputFile(dir.file("taken"), ExistingFile::Keep);
    ASSERT_TRUE(file);
    file->write("x");
    EXPECT_FALSE(file->commit());
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken")));
}

// Only the bytes of a regular file are ever replaced: a named pipe or a device under the name
// stays what it is, whatever the user agreed to. A link is replaced itself.
TEST(RealFileSystem, OnlyRegularFilesAndLinksAreReplaced) {
    TempDir dir;
    RealFileSystem fs;
    const std::string pipe = dir.file("pipe.txt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(fs.createOutputFile(pipe, ExistingFile::Replace), nullptr);
    struct stat status {};
    ASSERT_EQ(::lstat(pipe.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(fs.statusOf(pipe, false).kind, FileStatus::Kind::Other);

    // A link to the device: the link goes, the device stays.
    const std::string link = dir.file("null.txt");
    ASSERT_EQ(::symlink("/dev/null", link.c_str()), 0);
    EXPECT_EQ(fs.statusOf(link, false).kind, FileStatus::Kind::SymbolicLink);
    EXPECT_EQ(fs.statusOf(link, true).kind, FileStatus::Kind::Other);
    auto file = fs.createOutputFile(link, ExistingFile::Replace);
    ASSERT_TRUE(file);
    file->write("data");
    ASSERT_TRUE(file->commit());
    EXPECT_EQ(readFile(link), "data");
    ASSERT_EQ(::stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));

    // The same file under two names is one file.
    writeFile(dir.file("a"), "x");
    ASSERT_EQ(::link(dir.file("a").c_str(), dir.file("b").c_str()), 0);
    EXPECT_TRUE(fs.statusOf(dir.file("a"), false).sameFileAs(fs.statusOf(dir.file("b"), true)));
    EXPECT_FALSE(fs.statusOf(dir.file("a"), false).sameFileAs(fs.statusOf(link, false)));
}

// A replaced file keeps its owner, group and permission bits (root may give any; others keep at
// least a group they belong to).
TEST(RealFileSystem, AReplacedFileKeepsItsOwnerGroupAndPermissions) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    TempDir dir;
    RealFileSystem fs;
    const std::string target = dir.file("theirs.txt");
    writeFile(target, "their data");
    ASSERT_EQ(::chown(target.c_str(), 12345, 23456), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    auto file = fs.createOutputFile(target, ExistingFile::Replace);
    ASSERT_TRUE(file);
    file->write("new data");
    ASSERT_TRUE(file->commit());
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 12345u);
    EXPECT_EQ(status.st_gid, 23456u);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(target), "new data");
}

// The value of an extended attribute of path ("" when it has none).
std::string attributeOf(const std::string& path, const char* name) {
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return value;
}

// A POSIX access list as the kernel stores it: owner rw, user 12345 rw, group r, mask rw, others
// nothing (the file's permission bits are then 0660).
std::string accessList() {
    std::string acl;
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) acl.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(2, 4);  // version
    const std::uint32_t entries[][3] = {
        {0x01, 6, 0xFFFFFFFF}, {0x02, 6, 12345}, {0x04, 4, 0xFFFFFFFF}, {0x10, 6, 0xFFFFFFFF}, {0x20, 0, 0xFFFFFFFF}};
    for (const auto& entry : entries) {
        put(entry[0], 2);
        put(entry[1], 2);
        put(entry[2], 4);
    }
    return acl;
}

// A replaced file keeps its extended attributes: a note the user put on it, and the access list
// that lets a colleague write it.
TEST(RealFileSystem, AReplacedFileKeepsItsExtendedAttributes) {
    TempDir dir;
    RealFileSystem fs;
    const std::string target = dir.file("shared.txt");
    writeFile(target, "old data");
    const std::string note = "measured by the night shift";
    if (::setxattr(target.c_str(), "user.note", note.data(), note.size(), 0) != 0)
        GTEST_SKIP() << "the file system keeps no user attributes";
    const std::string acl = accessList();
    const bool withAcl = ::setxattr(target.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
    auto file = fs.createOutputFile(target, ExistingFile::Replace);
    ASSERT_TRUE(file);
    file->write("new data");
    ASSERT_TRUE(file->commit());
    EXPECT_EQ(readFile(target), "new data");
    EXPECT_EQ(attributeOf(target, "user.note"), note);
    if (withAcl) {
        EXPECT_EQ(attributeOf(target, "system.posix_acl_access"), acl);
        struct stat status {};
        ASSERT_EQ(::stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0660u);
    }
    // A new file gets none of them.
    auto fresh = fs.createOutputFile(dir.file("new.txt"), ExistingFile::Keep);
    ASSERT_TRUE(fresh);
    ASSERT_TRUE(fresh->commit());
    EXPECT_EQ(attributeOf(dir.file("new.txt"), "user.note"), "");
}

// The temporary name of a replacing file stays within the longest file name, however long the
// output's name: a name of 240 to 255 bytes can be replaced too.
TEST(RealFileSystem, LongNamesCanBeReplaced) {
    TempDir dir;
    RealFileSystem fs;
    for (std::size_t length : {239u, 240u, 250u, 255u}) {
        // Multi-byte characters, so that the cut must not fall inside one.
        std::string name;
        while (name.size() + 2 <= length - 4) name += "\xc3\xa9";
        while (name.size() < length - 4) name += "x";
        name += ".txt";
        ASSERT_EQ(name.size(), length);
        const std::string target = dir.file(name);
        writeFile(target, "old");
        auto file = fs.createOutputFile(target, ExistingFile::Replace);
        ASSERT_TRUE(file) << length;
        file->write("new");
        ASSERT_TRUE(file->commit()) << length;
        EXPECT_EQ(readFile(target), "new") << length;
    }
    for (const std::string& name : namesIn(dir.path())) EXPECT_NE(name[0], '.') << name;
}

}  // namespace
}  // namespace s2t
