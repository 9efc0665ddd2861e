#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calibration/PointTable.h"

namespace s2t {
namespace {

TEST(PointTable, SlotsAreTakenLowestFirstUntilTheTableIsFull) {
    PointTable table;
    markAllFree(table);
    for (int i = 0; i < kPointTableSize; ++i) ASSERT_EQ(addNumsToArray(i, i, table), i);
    EXPECT_EQ(addNumsToArray(1, 1, table), -1);
    removeNumsFromArray(300, table);
    EXPECT_EQ(table[300].free, 1);
    removeNumsFromArray(7, table);
    // Indices outside the table are ignored rather than written.
    removeNumsFromArray(-1, table);
    removeNumsFromArray(kPointTableSize, table);
    EXPECT_EQ(addNumsToArray(69.132, 2167, table), 7);
    EXPECT_EQ(table[7].twoTheta, 69.132);
    EXPECT_EQ(table[7].channel, 2167);
    EXPECT_EQ(table[7].free, 0);
    EXPECT_EQ(addNumsToArray(7, 8, table), 300);
    EXPECT_EQ(addNumsToArray(7, 8, table), -1);
}

TEST(PointTable, ItemTextsPutTwoThetaFirst) {
    EXPECT_EQ(pointItemText(28.783, 655, ItemSpacing::OneSpace), " 28.7830 -> 655.0000");
    EXPECT_EQ(pointItemText(47.304, 1353, ItemSpacing::TwoSpaces), " 47.3040  -> 1353.0000");
    EXPECT_EQ(pointItemText(28.783, 655, ItemSpacing::TwoSpaces), " 28.7830  -> 655.0000");
    EXPECT_EQ(pointItemText(-0.5, 0, ItemSpacing::OneSpace), " -0.5000 ->   0.0000");
    // Large values are printed whole, never cut.
    EXPECT_EQ(pointItemText(12345678.5, 1e8, ItemSpacing::OneSpace), "12345678.5000 -> 100000000.0000");
}

TEST(PointList, KeepsListOrderWhileSlotsAreReused) {
    PointList list;
    ASSERT_TRUE(list.add(28.783, 655, ItemSpacing::TwoSpaces));
    ASSERT_TRUE(list.add(47.304, 1353, ItemSpacing::TwoSpaces));
    ASSERT_TRUE(list.add(56.122, 1681, ItemSpacing::TwoSpaces));
    list.removeAt(0);
    list.removeAt(-1);
    list.removeAt(2);  // past the end: nothing
    ASSERT_TRUE(list.add(69.132, 2167, ItemSpacing::TwoSpaces));

    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.items()[0].slot, 1);
    EXPECT_EQ(list.items()[1].slot, 2);
    EXPECT_EQ(list.items()[2].slot, 0);  // the freed lowest slot, listed last
    EXPECT_EQ(list.items()[2].text, " 69.1320  -> 2167.0000");
    for (const PointItem& item : list.items()) {
        const PointSlot& slot = list.table()[static_cast<std::size_t>(item.slot)];
        EXPECT_EQ(slot.free, 0);
        EXPECT_EQ(item.text, pointItemText(slot.twoTheta, slot.channel, ItemSpacing::TwoSpaces));
    }

    std::vector<double> channels;
    for (const auto& point : list.inListOrder()) channels.push_back(point.channel);
    EXPECT_EQ(channels, (std::vector<double>{1353, 1681, 2167}));
    EXPECT_EQ(list.inListOrder()[2].twoTheta, 69.132);
    channels.clear();
    for (const auto& point : list.inSlotOrder()) channels.push_back(point.channel);
    EXPECT_EQ(channels, (std::vector<double>{2167, 1353, 1681}));

    list.clear();
    EXPECT_EQ(list.count(), 0);
    for (const PointSlot& slot : list.table()) EXPECT_EQ(slot.free, 1);
    ASSERT_TRUE(list.add(1, 2, ItemSpacing::TwoSpaces));
    EXPECT_EQ(list.items()[0].slot, 0);
}

TEST(PointList, ListsAtMostTheTableSize) {
    PointList list;
    for (int i = 0; i < kPointTableSize; ++i) ASSERT_TRUE(list.add(i, i, ItemSpacing::OneSpace));
    EXPECT_FALSE(list.add(1000, 1000, ItemSpacing::OneSpace));
    EXPECT_EQ(list.count(), kPointTableSize);
    EXPECT_EQ(list.inSlotOrder().size(), static_cast<std::size_t>(kPointTableSize));
}

}  // namespace
}  // namespace s2t
