#include "calibration/PanelDimming.h"

#include "calibration/PointTable.h"

namespace s2t {

PointsPanelDimming splinePanelDimming(int n) {
    PointsPanelDimming d;
    d.removeEnabled = n > 0;
    d.okEnabled = n >= 3;
    d.saveAsDefaultEnabled = n >= 3;
    d.addEnabled = n < kPointTableSize;
    return d;
}

PointsPanelDimming linearPointsPanelDimming(int n, bool addEnabledBefore) {
    PointsPanelDimming d;
    d.removeEnabled = n >= 1;
    d.okEnabled = n >= 2;
    d.saveAsDefaultEnabled = true;
    d.addEnabled = n <= 1 ? addEnabledBefore : n != kPointTableSize - 1;
    return d;
}

StandardsWindowDimming standardsWindowDimming(int standardsListed, int pairsListed) {
    return {standardsListed > 0, pairsListed > 0};
}

}  // namespace s2t
