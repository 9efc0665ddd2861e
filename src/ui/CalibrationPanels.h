// The calibration panels as the main panel opens them. Each runs as a modal dialog and returns
// when it is closed; onCalibrationChanged runs whenever K, C or the calibration points change in
// memory (OK, and the save-as-default commands), so that the main panel can show them.
#pragma once

#include <functional>

#include "engine/Session.h"
#include "platform/Platform.h"

class QWidget;

namespace s2t::ui {

void openStraightLinePanel(QWidget* parent, Session& session, Platform& platform,
                           const std::function<void()>& onCalibrationChanged);
void openLinearPointsPanel(QWidget* parent, Session& session, Platform& platform,
                           const std::function<void()>& onCalibrationChanged);
void openSplinePanel(QWidget* parent, Session& session, Platform& platform,
                     const std::function<void()>& onCalibrationChanged);

}  // namespace s2t::ui
