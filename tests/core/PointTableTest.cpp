#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calibration/PointTable.h"

namespace s2t {
namespace {

TEST(PointTable, SlotsAreTakenLowestFirstAndReused) {
    PointTable table;
    markAllFree(table);
    EXPECT_EQ(addNumsToArray(28.783, 655, table), 0);
    EXPECT_EQ(addNumsToArray(47.304, 1353, table), 1);
    EXPECT_EQ(addNumsToArray(56.122, 1681, table), 2);
    removeNumsFromArray(0, table);
    EXPECT_EQ(table[0].free, 1);
    EXPECT_EQ(addNumsToArray(69.132, 2167, table), 0);
    EXPECT_EQ(table[0].twoTheta, 69.132);
    EXPECT_EQ(table[0].channel, 2167);
    EXPECT_EQ(table[0].free, 0);
    EXPECT_EQ(addNumsToArray(1, 2, table), 3);

    // Indices outside the table are ignored rather than written.
    removeNumsFromArray(-1, table);
    removeNumsFromArray(kPointTableSize, table);
    EXPECT_EQ(addNumsToArray(3, 4, table), 4);
}

TEST(PointTable, AFullTableGivesNoSlot) {
    PointTable table;
    markAllFree(table);
    for (int i = 0; i < kPointTableSize; ++i) ASSERT_EQ(addNumsToArray(i, i, table), i);
    EXPECT_EQ(addNumsToArray(1, 1, table), -1);
    removeNumsFromArray(300, table);
    EXPECT_EQ(addNumsToArray(7, 8, table), 300);
}

TEST(PointTable, ItemTextsPutTwoThetaFirst) {
    EXPECT_EQ(pointItemText(28.783, 655, ItemSpacing::OneSpace), " 28.7830 -> 655.0000");
    EXPECT_EQ(pointItemText(47.304, 1353, ItemSpacing::TwoSpaces), " 47.3040  -> 1353.0000");
    const std::string typed = pointItemText(28.783, 655, ItemSpacing::TwoSpaces);
    EXPECT_EQ(typed, " 28.7830  -> 655.0000");
    EXPECT_EQ(typed.size(), 21u);
    EXPECT_EQ(pointItemText(-0.5, 0, ItemSpacing::OneSpace), " -0.5000 ->   0.0000");
    // Large values are printed whole, never cut.
    EXPECT_EQ(pointItemText(12345678.5, 1e8, ItemSpacing::OneSpace),
              "12345678.5000 -> 100000000.0000");
}

TEST(PointList, KeepsListOrderWhileSlotsAreReused) {
    PointList list;
    ASSERT_TRUE(list.add(28.783, 655, ItemSpacing::TwoSpaces));
    ASSERT_TRUE(list.add(47.304, 1353, ItemSpacing::TwoSpaces));
    ASSERT_TRUE(list.add(56.122, 1681, ItemSpacing::TwoSpaces));
    list.removeAt(0);
    ASSERT_TRUE(list.add(69.132, 2167, ItemSpacing::TwoSpaces));

    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.items()[0].slot, 1);
    EXPECT_EQ(list.items()[1].slot, 2);
    EXPECT_EQ(list.items()[2].slot, 0);  // the freed lowest slot, listed last
    EXPECT_EQ(list.items()[2].text, " 69.1320  -> 2167.0000");

    const auto listed = list.inListOrder();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].channel, 1353);
    EXPECT_EQ(listed[1].channel, 1681);
    EXPECT_EQ(listed[2].channel, 2167);
    EXPECT_EQ(listed[2].twoTheta, 69.132);

    const auto bySlot = list.inSlotOrder();
    ASSERT_EQ(bySlot.size(), 3u);
    EXPECT_EQ(bySlot[0].channel, 2167);
    EXPECT_EQ(bySlot[1].channel, 1353);
    EXPECT_EQ(bySlot[2].channel, 1681);
}

TEST(PointList, RemovingKeepsEveryItemOnItsSlot) {
    PointList list;
    for (int i = 0; i < 5; ++i) list.add(10.0 + i, 100.0 * i, ItemSpacing::OneSpace);
    list.removeAt(2);
    list.removeAt(-1);
    list.removeAt(4);  // past the end: nothing
    ASSERT_EQ(list.count(), 4);
    for (const PointItem& item : list.items()) {
        const PointSlot& slot = list.table()[static_cast<std::size_t>(item.slot)];
        EXPECT_EQ(slot.free, 0);
        EXPECT_EQ(item.text, pointItemText(slot.twoTheta, slot.channel, ItemSpacing::OneSpace));
    }
    EXPECT_EQ(list.table()[2].free, 1);

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
