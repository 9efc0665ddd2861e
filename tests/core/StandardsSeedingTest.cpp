// Standards/ of a program folder: created complete or not at all, and mended where a killed run or
// a full disk left a shipped standard empty or without its name line. Files of the user's own are
// never touched.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "standards/ShippedStandards.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::namesIn;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::string shipped(std::size_t i) { return std::string(shippedStandards().at(i).contents); }
std::string shippedName(std::size_t i) { return std::string(shippedStandards().at(i).name); }

TEST(StandardsSeeding, ANewFolderGetsEveryStandardAndNoSeedFolderRemains) {
    TempDir dir;
    const std::string home = dir.file("home");
    std::filesystem::create_directory(home);
    // What a run killed while seeding left behind: a seed folder nobody holds.
    std::filesystem::create_directory(home + "/.Standards.partial-Ab12Cd");
    writeFile(home + "/.Standards.partial-Ab12Cd/" + shippedName(0), "");
    std::string error;
    ASSERT_TRUE(prepareProgramFolder(home, error)) << error;
    EXPECT_EQ(namesIn(home), std::vector<std::string>{"Standards"});
    ASSERT_EQ(namesIn(home + "/Standards").size(), shippedStandards().size());
    for (std::size_t i = 0; i < shippedStandards().size(); ++i)
        EXPECT_EQ(readFile(home + "/Standards/" + shippedName(i)), shipped(i));
}

TEST(StandardsSeeding, EmptyOrNamelessShippedStandardsAreWrittenAgainAndTheUsersFilesStay) {
    ASSERT_GE(shippedStandards().size(), 2u);
    TempDir dir;
    const std::string home = dir.file("home");
    const std::string standards = home + "/Standards";
    std::filesystem::create_directories(standards);
    writeFile(standards + "/" + shippedName(0), "");                  // a kill between create and write
    writeFile(standards + "/" + shippedName(1), "DATA\r\n28.4\r\n");  // cut before its name line was on disk
    writeFile(standards + "/Mine.std", "");                           // the user's own, empty
    writeFile(standards + "/Notes.std", "no name line here\r\n");     // the user's own, without a name
    std::string error;
    ASSERT_TRUE(prepareProgramFolder(home, error)) << error;
    EXPECT_EQ(readFile(standards + "/" + shippedName(0)), shipped(0));
    EXPECT_EQ(readFile(standards + "/" + shippedName(1)), shipped(1));
    EXPECT_EQ(readFile(standards + "/Mine.std"), "");
    EXPECT_EQ(readFile(standards + "/Notes.std"), "no name line here\r\n");

    // A shipped standard the user edited (it keeps a name line), or removed, stays so.
    const std::string edited = "name= 'My silicon'\r\nDATA\r\n28.44\r\n\r\n";
    writeFile(standards + "/" + shippedName(0), edited);
    std::filesystem::remove(standards + "/" + shippedName(1));
    ASSERT_TRUE(prepareProgramFolder(home, error)) << error;
    EXPECT_EQ(readFile(standards + "/" + shippedName(0)), edited);
    EXPECT_FALSE(test::fileExists(standards + "/" + shippedName(1)));
}

}  // namespace
}  // namespace s2t
