#include "calibration/PointTable.h"

#include "platform/NumberText.h"

namespace s2t {

void markAllFree(PointTable& table) {
    for (PointSlot& slot : table) slot.free = 1;
}

int addNumsToArray(double twoTheta, double channel, PointTable& table) {
    for (int i = 0; i < kPointTableSize; ++i) {
        PointSlot& slot = table[static_cast<std::size_t>(i)];
        if (!slot.free) continue;
        slot.twoTheta = twoTheta;
        slot.channel = channel;
        slot.free = 0;
        return i;
    }
    return -1;
}

void removeNumsFromArray(int slot, PointTable& table) {
    if (slot < 0 || slot >= kPointTableSize) return;
    table[static_cast<std::size_t>(slot)].free = 1;
}

std::string pointItemText(double twoTheta, double channel, ItemSpacing spacing) {
    std::string text;
    appendFixed(text, twoTheta, 4, 8);
    text += spacing == ItemSpacing::OneSpace ? " -> " : "  -> ";
    appendFixed(text, channel, 4, 8);
    return text;
}

bool PointList::add(double twoTheta, double channel, ItemSpacing spacing) {
    const int slot = addNumsToArray(twoTheta, channel, table_);
    if (slot < 0) return false;
    items_.push_back({pointItemText(twoTheta, channel, spacing), slot});
    return true;
}

void PointList::removeAt(int index) {
    if (index < 0 || index >= count()) return;
    removeNumsFromArray(items_[static_cast<std::size_t>(index)].slot, table_);
    items_.erase(items_.begin() + index);
}

void PointList::clear() {
    items_.clear();
    markAllFree(table_);
}

std::vector<CalibrationPoint> PointList::inListOrder() const {
    std::vector<CalibrationPoint> points;
    points.reserve(items_.size());
    for (const PointItem& item : items_) {
        const PointSlot& slot = table_[static_cast<std::size_t>(item.slot)];
        points.push_back({slot.channel, slot.twoTheta, 0.0});
    }
    return points;
}

std::vector<CalibrationPoint> PointList::inSlotOrder() const {
    std::vector<CalibrationPoint> points;
    for (const PointSlot& slot : table_)
        if (!slot.free) points.push_back({slot.channel, slot.twoTheta, 0.0});
    return points;
}

}  // namespace s2t
