// The point table of a points panel (the spline panel and the linear points panel): 512 slots
// that hold (2-theta, channel) pairs, and the panel's list of items, each naming the slot that
// holds its point. The list keeps the user's order; the slots are reused lowest first, so the two
// orders differ once points have been removed and added again.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "calibration/CalibrationState.h"

namespace s2t {

inline constexpr int kPointTableSize = 512;

struct PointSlot {
    double twoTheta = 0.0;  // degrees
    double channel = 0.0;
    std::uint8_t free = 1;  // 1 = free, 0 = in use
};

using PointTable = std::array<PointSlot, kPointTableSize>;

void markAllFree(PointTable& table);

// Stores the pair in the free slot with the lowest index and returns that index; -1 when every
// slot is in use.
int addNumsToArray(double twoTheta, double channel, PointTable& table);

// Marks the slot free. An index outside the table is ignored.
void removeNumsFromArray(int slot, PointTable& table);

// How an item shows its point: 2-theta first, then the channel, each "%8.4f".
enum class ItemSpacing {
    OneSpace,   // " 28.7830 -> 655.0000": points listed when the spline panel opens
    TwoSpaces,  // " 28.7830  -> 655.0000": points typed in or imported
};

std::string pointItemText(double twoTheta, double channel, ItemSpacing spacing);

struct PointItem {
    std::string text;
    int slot = -1;  // index of the slot that holds the point
};

// A points panel's list together with its table: every item names a slot in use and every slot
// in use has one item.
class PointList {
public:
    PointList() { markAllFree(table_); }

    const std::vector<PointItem>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    const PointTable& table() const { return table_; }

    // Appends the point in the lowest free slot. Returns false (and lists nothing) when the table
    // is full.
    bool add(double twoTheta, double channel, ItemSpacing spacing);
    // Removes the item at a list index and frees its slot; an index outside the list is ignored.
    void removeAt(int index);
    // Empties the list and frees every slot.
    void clear();

    // The points in list order, and in the order of their slots.
    std::vector<CalibrationPoint> inListOrder() const;
    std::vector<CalibrationPoint> inSlotOrder() const;

private:
    PointTable table_;
    std::vector<PointItem> items_;
};

}  // namespace s2t
