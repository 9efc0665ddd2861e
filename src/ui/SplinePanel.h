// The spline panel: edits the calibration points that the spline calibration passes through.
// Edits stay in the panel's table until OK (or save as default) commits them, in slot order, and
// recomputes the spline.
#pragma once

#include "ui/PointsPanel.h"

namespace s2t::ui {

class SplinePanel : public PointsPanel {
    Q_OBJECT
public:
    SplinePanel(QWidget* parent, Session& session, Platform& platform, std::function<void()> onCalibrationChanged);

private:
    PointsPanelDimming dimming() const override;
    void addFromEntries() override;
    void commitAndClose() override;
    void saveAsDefault() override;
    void plottedLine(double& C, double& K, QString& name) const override;

    // The listed points become the calibration points, in slot order, with their spline; refused
    // with a message (and nothing changed) when two of them share a channel.
    bool commit();
};

}  // namespace s2t::ui
