#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "standards/XFitFile.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::TempDir;
using test::writeFile;

const PlatformCall kNoPeaks{"message", messages::kNoPoints, messages::kXfitWithoutPoints};
const PlatformCall kUnrecognised{"message", messages::kNoPoints, messages::kXfitLayoutUnknown};

// A line with each word starting at its given index, spaces in between.
std::string columns(const std::vector<std::pair<std::size_t, std::string>>& words) {
    std::string line;
    for (const auto& [index, word] : words) {
        if (line.size() < index) line.resize(index, ' ');
        line.replace(index, word.size(), word);
    }
    return line;
}

TEST(XFitFile, LayoutsAndThePeaksReadFromThem) {
    const std::string header25 = columns({{0, "Peak"}, {10, "Height"}, {25, "Th2"}, {35, "FWHM"}});
    const std::string header48 = columns({{0, "Peak"}, {25, "Height"}, {48, "th2"}, {58, "FWHM"}});
    const std::string words32 = columns({{0, "Peak"}, {25, "Th2"}, {29, "Int"}});
    ASSERT_EQ(words32.size(), 32u);
    struct Case {
        std::string text;
        int kind;
        std::vector<double> observed;  // none: the file is refused
    };
    const std::vector<Case> cases = {
        // A plain list of positions; the first word may hold tabs, other words are ignored.
        {"28.44\r\n47.30\r\n56.12\r\n", 0, {28.44, 47.30, 56.12}},
        {"655.1\t1200\n1353.7 800\n", 0, {655.1, 1353.7}},
        // The list ends at the first empty line; a last line without a line feed is not read.
        {"655\n1353\n\n1681\n", 0, {655, 1353}},
        {"655\n1353", 0, {655}},
        // Signs, exponents and words are not recognised.
        {"-28.44\r\n47.30\r\n", kXFitUnrecognised, {}},
        {"2.8e1\r\n47.30\r\n", kXFitUnrecognised, {}},
        {"+28.44\r\n47.30\r\n", kXFitUnrecognised, {}},
        {"Peak list\r\n47.30\r\n", kXFitUnrecognised, {}},
        {"28,44\r\n47.30\r\n", kXFitUnrecognised, {}},
        // 32 characters are still a short line: a header must be longer; Th2 in neither column.
        {words32 + "\n1 2\n", kXFitUnrecognised, {}},
        {columns({{0, "Peak"}, {24, "Th2"}, {47, "Th2"}, {60, "x"}}) + "\n", kXFitUnrecognised, {}},
        // "Th2" at index 25 (any case): positions from index 23, the rest of a number taken whole.
        {header25 + "\r\n" + columns({{3, "1"}, {10, "1520.5"}, {23, "655.2313"}, {35, "3.1"}}) + "\r\n" +
             columns({{3, "2"}, {10, "980.0"}, {24, "1353.9"}, {35, "2.9"}}) + "\r\n" +
             columns({{3, "3"}, {10, "410.0"}, {22, "71681.5"}, {35, "3.0"}}) + "\r\n",
         23,
         {655.2313, 1353.9, 1681.5}},
        {columns({{0, "Peak"}, {25, "TH2"}, {40, "x"}}) + "\n1\n", 23, {0.0}},
        // "Th2" at index 48: positions from index 42; a short line is read inside the line.
        {header48 + "\n" + columns({{3, "1"}, {25, "1520.5"}, {42, "655.25"}, {58, "3.1"}}) + "\n" +
             columns({{3, "2"}, {25, "980.0"}, {44, "1353.75"}, {58, "2.9"}}) + "\n\n",
         42,
         {655.25, 1353.75}},
        {header48 + "\n1\n" + columns({{42, "655.5"}}) + "\n", 42, {0.0, 655.5}},
        // Files without peaks.
        {"", 0, {}},
        {"\n655\n", 0, {}},
        {"655", 0, {}},
        {header25 + "\n", 23, {}},
        {header25 + "\n\n655\n", 23, {}},
        {header25, 23, {}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        writeFile(dir.file("peaks.txt"), c.text);
        TextFile file(dir.file("peaks.txt"));
        ScriptedPlatform platform;
        std::vector<double> observed = {99.0};
        const int kind = findXFitType(file);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(readXFitFile(file, observed, kind, platform), !c.observed.empty());
        EXPECT_EQ(observed, c.observed);
        const std::vector<PlatformCall> refusal = {kind == kXFitUnrecognised ? kUnrecognised : kNoPeaks};
        EXPECT_EQ(platform.calls, c.observed.empty() ? refusal : std::vector<PlatformCall>{});
    }
}

TEST(XFitFile, UnknownKindIsRefusedWithoutReading) {
    TempDir dir;
    writeFile(dir.file("peaks.txt"), "655\n1353\n");
    TextFile file(dir.file("peaks.txt"));
    ScriptedPlatform platform;
    std::vector<double> observed = {1.0};
    EXPECT_FALSE(readXFitFile(file, observed, kXFitUnrecognised, platform));
    EXPECT_FALSE(readXFitFile(file, observed, 7, platform));
    EXPECT_TRUE(observed.empty());
    EXPECT_EQ(platform.calls, (std::vector<PlatformCall>{kUnrecognised, kUnrecognised}));
}

}  // namespace
}  // namespace s2t
