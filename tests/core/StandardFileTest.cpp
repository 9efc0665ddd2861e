#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardFile.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::TempDir;
using test::writeFile;

TEST(StandardFile, NameIsTheQuotedTextAfterTheKeyWord) {
    struct Case {
        const char* line;
        bool found;
        const char* name;
    };
    for (const Case& c :
         {Case{"name= 'Silicon'", true, "Silicon"}, Case{"NAME = 'Corundum'", true, "Corundum"},
          Case{"Name  whatever 'LaB6 660b' trailing", true, "LaB6 660b"},
          // Without a closing quote the name runs to the end; without any quote it is empty.
          Case{"name= 'Quartz alpha", true, "Quartz alpha"}, Case{"name Silicon", true, ""}, Case{"name", true, ""},
          Case{"name='Corundum'", false, "unchanged"}, Case{"names= 'Corundum'", false, "unchanged"},
          Case{"# name= 'Corundum'", false, "unchanged"}, Case{"", false, "unchanged"}}) {
        std::string name = "unchanged";
        EXPECT_EQ(getNameOfStd(c.line, name), c.found) << c.line;
        EXPECT_EQ(name, c.name) << c.line;
    }
}

TEST(StandardFile, ReflectionsAreTheDataSectionUpToTheFirstEmptyLine) {
    const PlatformCall noPoints{"message", messages::kNoPoints, messages::kStandardWithoutPoints};
    struct Case {
        std::string text;
        bool ok;
        std::vector<double> standard;
    };
    const std::vector<Case> cases = {
        {"name= 'Silicon'\r\nlattice 5.431179\r\ndata\r\n28.4429\r\n  47.3033 220 extra\r\n56.1224\r\n\r\n69.1316\r\n",
         true,
         {28.4429, 47.3033, 56.1224}},
        // LF line ends, and text that is not a number (or not a finite one) reads as 0.
        {"DATA\n28.44\nabc\n1e999\n", true, {28.44, 0.0, 0.0}},
        // A last line without a line feed is not read.
        {"DATA\n28.4429\n47.3033", true, {28.4429}},
        // An empty data section gives no reflections and no message.
        {"name= 'Empty'\r\nDATA\r\n\r\n28.44\r\n", true, {}},
        {"DATA\n", true, {}},
        // No data section: nor is a "DATA" line without a line feed one.
        {"name= 'X'\nDATA", false, {}},
        {"name= 'Corundum'\r\n25.578\r\n35.152\r\n", false, {}},
        {"", false, {}},
        {"DATA28.44\n", false, {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        writeFile(dir.file("x.std"), c.text);
        TextFile file(dir.file("x.std"));
        ScriptedPlatform platform;
        std::vector<double> standard = {1.0, 2.0};
        EXPECT_EQ(getStandardPoints(file, standard, platform), c.ok);
        EXPECT_EQ(standard, c.standard);
        EXPECT_EQ(platform.calls, c.ok ? std::vector<PlatformCall>{} : std::vector<PlatformCall>{noPoints});
    }
}

TEST(StandardFile, ReadsFromTheStartOfTheFileEveryTime) {
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
