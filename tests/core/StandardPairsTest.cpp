#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardPairs.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::TempDir;
using test::writeFile;

TEST(StandardPairs, PairedByPositionUpToTheShorterListAndAtMost512ForAPanel) {
    StandardsImport data;
    for (int k = 0; k < 10; ++k) data.standard.push_back(20.0 + 10.0 * k);
    data.observed = {900.0, 655.0, 1353.0, 100.0, 1681.0, 2167.0, 3000.0};
    auto pairs = pairStandards(data);
    ASSERT_EQ(pairs.size(), 7u);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        EXPECT_EQ(pairs[k].twoTheta, data.standard[k]);
        EXPECT_EQ(pairs[k].channel, data.observed[k]);
    }
    std::swap(data.standard, data.observed);
    EXPECT_EQ(pairStandards(data).size(), 7u);
    EXPECT_EQ(pairStandards(data, 3).size(), 3u);
    EXPECT_TRUE(pairStandards(StandardsImport{}).empty());

    data.standard.assign(600, 28.0);
    data.observed.assign(700, 655.0);
    EXPECT_EQ(pairStandards(data, kMaxPanelPairs).size(), 512u);
}

TEST(StandardPairs, ItemTexts) {
    const StandardPair pair{28.443, 655.0};
    EXPECT_EQ(pairListText(pair), " 28.4430 -> 655.0000");
    EXPECT_EQ(pointListText(pair), " 28.4430  -> 655.0000");
    EXPECT_EQ(pairListText({136.8908, 3210.25}), "136.8908 -> 3210.2500");
    EXPECT_EQ(pointListText({5.0, -12.5}), "  5.0000  -> -12.5000");
}

class StandardsImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.file("si.std"), "name= 'Silicon'\r\nDATA\r\n28.4429\r\n47.3033\r\n56.1224\r\n\r\n");
        writeFile(dir.file("peaks.txt"), "655.5\r\n1353.25\r\n");
        data.standard = {1.0};
        data.observed = {2.0};
    }
    bool import(const std::string& standard, const std::string& peaks) {
        return importStandardAndPeaks(dir.file(standard), dir.file(peaks), data, platform);
    }

    TempDir dir;
    ScriptedPlatform platform;
    StandardsImport data;
};

TEST_F(StandardsImportTest, ReadsBothFiles) {
    ASSERT_TRUE(import("si.std", "peaks.txt"));
    EXPECT_EQ(data.standard, (std::vector<double>{28.4429, 47.3033, 56.1224}));
    EXPECT_EQ(data.observed, (std::vector<double>{655.5, 1353.25}));
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(StandardsImportTest, FilesThatCannotBeOpenedChangeNothing) {
    EXPECT_FALSE(import("si.std", "missing.txt"));
    EXPECT_FALSE(import("missing.std", "peaks.txt"));
    EXPECT_FALSE(import("missing.std", "missing.txt"));
    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{{"message", messages::kFileError, messages::kXfitNotOpened},
                                         {"message", messages::kFileError, messages::kStandardNotOpened},
                                         {"message", messages::kFileError, messages::kXfitNotOpened}}));
    EXPECT_EQ(data.standard, (std::vector<double>{1.0}));
    EXPECT_EQ(data.observed, (std::vector<double>{2.0}));
}

TEST_F(StandardsImportTest, AFailedReadLeavesNoPairs) {
    writeFile(dir.file("nodata.std"), "name= 'Silicon'\r\n28.4429\r\n");
    writeFile(dir.file("odd.txt"), "-655\r\n");
    writeFile(dir.file("empty.txt"), "");

    EXPECT_FALSE(import("nodata.std", "peaks.txt"));
    EXPECT_TRUE(data.standard.empty() && data.observed.empty());
    EXPECT_TRUE(pairStandards(data).empty());

    ASSERT_TRUE(import("si.std", "peaks.txt"));
    EXPECT_FALSE(import("si.std", "odd.txt"));
    EXPECT_TRUE(pairStandards(data).empty());
    ASSERT_TRUE(import("si.std", "peaks.txt"));
    EXPECT_FALSE(import("si.std", "empty.txt"));
    EXPECT_TRUE(data.standard.empty() && data.observed.empty());

    EXPECT_EQ(platform.messages(),
              (std::vector<PlatformCall>{{"message", messages::kNoPoints, messages::kStandardWithoutPoints},
                                         {"message", messages::kNoPoints, messages::kXfitLayoutUnknown},
                                         {"message", messages::kNoPoints, messages::kXfitWithoutPoints}}));
}

}  // namespace
}  // namespace s2t
