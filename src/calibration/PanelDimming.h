// Which controls of the calibration panels are available, as plain functions of what the panels
// hold, so that the rules are the same on screen and in tests.
#pragma once

namespace s2t {

struct PointsPanelDimming {
    bool addEnabled = true;
    bool removeEnabled = true;  // Remove and Remove All
    bool okEnabled = true;
    bool saveAsDefaultEnabled = true;  // the menu that holds the save-as-default command
};

// The spline panel with n listed points. A commit always carries at least three points, the
// fewest a clamped spline with a fitted end slope makes sense for.
PointsPanelDimming splinePanelDimming(int n);

// The linear points panel with n listed points. OK needs two points for a line; Add stops new
// points at 511. With 0 or 1 points Add keeps the state it had (addEnabledBefore).
PointsPanelDimming linearPointsPanelDimming(int n, bool addEnabledBefore);

struct StandardsWindowDimming {
    bool peaksEnabled = false;  // needs a standard to pair the peaks with
    bool okEnabled = false;     // needs pairs
};

StandardsWindowDimming standardsWindowDimming(int standardsListed, int pairsListed);

}  // namespace s2t
