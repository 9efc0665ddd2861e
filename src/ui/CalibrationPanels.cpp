#include "ui/CalibrationPanels.h"

#include "ui/LinearPointsPanel.h"
#include "ui/SplinePanel.h"
#include "ui/StraightLinePanel.h"

namespace s2t::ui {

void openStraightLinePanel(QWidget* parent, Session& session, Platform& platform,
                           const std::function<void()>& onCalibrationChanged) {
    StraightLinePanel panel(parent, session, platform, onCalibrationChanged);
    panel.exec();
}

void openLinearPointsPanel(QWidget* parent, Session& session, Platform& platform,
                           const std::function<void()>& onCalibrationChanged) {
    LinearPointsPanel panel(parent, session, platform, onCalibrationChanged);
    panel.exec();
}

void openSplinePanel(QWidget* parent, Session& session, Platform& platform,
                     const std::function<void()>& onCalibrationChanged) {
    SplinePanel panel(parent, session, platform, onCalibrationChanged);
    panel.exec();
}

}  // namespace s2t::ui
