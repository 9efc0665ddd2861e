#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "standards/StandardDiscovery.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::TempDir;
using test::writeFile;

std::vector<std::string> names(const std::vector<StandardEntry>& list) {
    std::vector<std::string> result;
    for (const auto& entry : list) result.push_back(entry.name);
    return result;
}

TEST(StandardDiscovery, NamedStandardFilesListedInReverseEnumerationOrder) {
    TempDir home;
    const std::string standards = home.file("Standards");
    std::filesystem::create_directory(standards);
    writeFile(standards + "/a.std", "# corundum\r\n\r\nNAME = 'Corundum'\r\nname= 'Second'\r\nDATA\r\n");
    writeFile(standards + "/b.std", "name='Corundum'\r\nDATA\r\n25.578\r\n");  // no name line
    writeFile(standards + "/c.std", "DATA\r\n25.578\r\nname= 'Late'");         // no line feed
    writeFile(standards + "/d.txt", "name= 'Not a standard file'\r\n");
    writeFile(standards + "/.e.std", "name= 'Hidden'\r\n");
    writeFile(standards + "/F.STD", "name= 'Upper case'\r\n");
    std::filesystem::create_directory(standards + "/g.std");
    std::filesystem::create_symlink(standards + "/a.std", standards + "/h.std");

    // Enumerated byte by byte, listed the other way round.
    EXPECT_EQ(enumerateStandardFiles(home.path()),
              (std::vector<std::string>{"F.STD", "a.std", "b.std", "c.std", "h.std"}));
    auto list = checkForStandards(home.path());
    EXPECT_EQ(names(list), (std::vector<std::string>{"Corundum", "Corundum", "Upper case"}));
    EXPECT_EQ(list[0].path, standards + "/h.std");
    EXPECT_EQ(list[1].path, standards + "/a.std");
    EXPECT_EQ(list[2].path, standards + "/F.STD");
    // A trailing separator on the program folder gives no doubled one.
    EXPECT_EQ(checkForStandards(home.path() + "/")[2].path, standards + "/F.STD");
}

TEST(StandardDiscovery, MissingOrEmptyFolderGivesNoStandards) {
    TempDir home;
    EXPECT_TRUE(checkForStandards(home.path()).empty());
    std::filesystem::create_directory(home.file("Standards"));
    EXPECT_TRUE(checkForStandards(home.path()).empty());
}

TEST(StandardDiscovery, AddFileToListPutsEachStandardOnTop) {
    TempDir home;
    std::filesystem::create_directory(home.file("Standards"));
    writeFile(home.file("Standards/x.std"), "name= 'X'\n");
    writeFile(home.file("Standards/y.std"), "name= 'Y'\n");
    std::vector<StandardEntry> list;
    AddFileToList(list, home.path(), "y.std");
    AddFileToList(list, home.path(), "x.std");
    AddFileToList(list, home.path(), "missing.std");
    EXPECT_EQ(names(list), (std::vector<std::string>{"X", "Y"}));
}

TEST(StandardDiscovery, FindByNameIgnoresCase) {
    std::vector<StandardEntry> list = {{"LaB6", "/p/LaB6.std"}, {"Silicon", "/p/Si.std"}, {"silicon", "/p/Si2.std"}};
    ASSERT_NE(findStandardByName(list, "SILICON"), nullptr);
    EXPECT_EQ(findStandardByName(list, "SILICON")->path, "/p/Si.std");
    EXPECT_EQ(findStandardByName(list, "lab6")->path, "/p/LaB6.std");
    EXPECT_EQ(findStandardByName(list, "Silicon "), nullptr);
    EXPECT_EQ(findStandardByName({}, "Silicon"), nullptr);
}

}  // namespace
}  // namespace s2t
