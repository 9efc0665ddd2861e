#include <gtest/gtest.h>

#include "calibration/PanelDimming.h"

namespace s2t {
namespace {

TEST(PanelDimming, SplinePanelCommitsThreePointsOrMore) {
    for (int n : {0, 1, 2, 3, 4, 511, 512}) {
        SCOPED_TRACE(n);
        const PointsPanelDimming d = splinePanelDimming(n);
        EXPECT_EQ(d.removeEnabled, n > 0);
        EXPECT_EQ(d.okEnabled, n >= 3);
        EXPECT_EQ(d.saveAsDefaultEnabled, n >= 3);
        EXPECT_EQ(d.addEnabled, n < 512);
    }
}

TEST(PanelDimming, LinearPointsPanelFollowsItsTable) {
    for (bool before : {false, true}) {
        // 0 and 1 points: Add keeps its state.
        EXPECT_EQ(linearPointsPanelDimming(0, before).addEnabled, before);
        EXPECT_EQ(linearPointsPanelDimming(1, before).addEnabled, before);
        // 2 to 510, and 512: Add enabled; exactly 511: dimmed.
        for (int n : {2, 3, 300, 510, 512}) EXPECT_TRUE(linearPointsPanelDimming(n, before).addEnabled);
        EXPECT_FALSE(linearPointsPanelDimming(511, before).addEnabled);
    }
    for (int n : {0, 1, 2, 3, 511, 512}) {
        SCOPED_TRACE(n);
        const PointsPanelDimming d = linearPointsPanelDimming(n, true);
        EXPECT_EQ(d.okEnabled, n >= 2);
        EXPECT_EQ(d.removeEnabled, n >= 1);
        EXPECT_TRUE(d.saveAsDefaultEnabled);
    }
}

TEST(PanelDimming, StandardsWindowNeedsStandardsAndPairs) {
    EXPECT_FALSE(standardsWindowDimming(0, 0).peaksEnabled);
    EXPECT_FALSE(standardsWindowDimming(0, 0).okEnabled);
    EXPECT_TRUE(standardsWindowDimming(2, 0).peaksEnabled);
    EXPECT_FALSE(standardsWindowDimming(2, 0).okEnabled);
    EXPECT_TRUE(standardsWindowDimming(2, 7).okEnabled);
}

}  // namespace
}  // namespace s2t
