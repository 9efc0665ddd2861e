#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ScriptedPlatform.h"
#include "standards/StandardFile.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::TempDir;
using test::writeFile;

const PlatformCall kNoPoints{"message", "No Points", "The selected standard has no points."};

struct Read {
    bool ok = false;
    std::vector<double> standard;
    std::vector<PlatformCall> calls;
};

// Reads the reflections of a standard file holding text, over a list that held two values.
Read readStandard(const std::string& text) {
    TempDir dir;
    writeFile(dir.file("x.std"), text);
    TextFile file(dir.file("x.std"));
    ScriptedPlatform platform;
    Read read;
    read.standard = {1.0, 2.0};
    read.ok = getStandardPoints(file, read.standard, platform);
    read.calls = platform.calls;
    return read;
}

TEST(StandardName, KeyWordAndQuotedName) {
    std::string name;
    EXPECT_TRUE(getNameOfStd("name= 'Silicon'", name));
    EXPECT_EQ(name, "Silicon");
    EXPECT_TRUE(getNameOfStd("NAME = 'Corundum'", name));
    EXPECT_EQ(name, "Corundum");
    EXPECT_TRUE(getNameOfStd("Name  whatever 'LaB6 660b' trailing", name));
    EXPECT_EQ(name, "LaB6 660b");
    // Without a closing quote the name runs to the end of the line; without any quote it is empty.
    EXPECT_TRUE(getNameOfStd("name= 'Quartz alpha", name));
    EXPECT_EQ(name, "Quartz alpha");
    EXPECT_TRUE(getNameOfStd("name Silicon", name));
    EXPECT_EQ(name, "");
    EXPECT_TRUE(getNameOfStd("name", name));
    EXPECT_EQ(name, "");

    name = "unchanged";
    EXPECT_FALSE(getNameOfStd("name='Corundum'", name));
    EXPECT_FALSE(getNameOfStd("names= 'Corundum'", name));
    EXPECT_FALSE(getNameOfStd("# name= 'Corundum'", name));
    EXPECT_FALSE(getNameOfStd("", name));
    EXPECT_EQ(name, "unchanged");
}

TEST(StandardPoints, DataSectionUpToTheFirstEmptyLine) {
    auto read = readStandard(
        "name= 'Silicon'\r\nlattice 5.431179\r\ndata\r\n28.4429\r\n  47.3033 220 extra\r\n"
        "56.1224\r\n\r\n69.1316\r\n");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.standard, (std::vector<double>{28.4429, 47.3033, 56.1224}));
    EXPECT_TRUE(read.calls.empty());

    // LF line ends, and text that is not a number (or not a finite one) reads as 0.
    read = readStandard("DATA\n28.44\nabc\n1e999\n");
    EXPECT_EQ(read.standard, (std::vector<double>{28.44, 0.0, 0.0}));
}

TEST(StandardPoints, ALastLineWithoutLineFeedIsNotRead) {
    auto read = readStandard("DATA\n28.4429\n47.3033");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.standard, (std::vector<double>{28.4429}));

    // Nor is a "DATA" line without one: the standard has no data section.
    read = readStandard("name= 'X'\nDATA");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.calls, (std::vector<PlatformCall>{kNoPoints}));
}

TEST(StandardPoints, EmptyDataSectionGivesNoReflectionsWithoutMessage) {
    auto read = readStandard("name= 'Empty'\r\nDATA\r\n\r\n28.44\r\n");
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.standard.empty());
    EXPECT_TRUE(read.calls.empty());

    read = readStandard("DATA\n");
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.standard.empty());
}

TEST(StandardPoints, MissingDataSectionIsReported) {
    for (const std::string text : {"name= 'Corundum'\r\n25.578\r\n35.152\r\n", "", "DATA28.44\n"}) {
        auto read = readStandard(text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_TRUE(read.standard.empty()) << text;
        EXPECT_EQ(read.calls, (std::vector<PlatformCall>{kNoPoints})) << text;
    }
}

TEST(StandardPoints, ReadsFromTheStartOfTheFileEveryTime) {
    TempDir dir;
    writeFile(dir.file("x.std"), "name= 'Silicon'\nDATA\n28.4429\n47.3033\n");
    TextFile file(dir.file("x.std"));
    ScriptedPlatform platform;
    std::vector<double> standard;
    std::string line;
    file.readLine(line);
    file.readLine(line);
    ASSERT_TRUE(getStandardPoints(file, standard, platform));
    ASSERT_TRUE(getStandardPoints(file, standard, platform));
    EXPECT_EQ(standard, (std::vector<double>{28.4429, 47.3033}));
}

}  // namespace
}  // namespace s2t
