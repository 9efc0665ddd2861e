// The linear points panel: a list of calibration points through which OK fits the straight line
// (C and K) by least squares; the points, in list order, become the calibration points too.
#pragma once

#include "ui/PointsPanel.h"

namespace s2t::ui {

class LinearPointsPanel : public PointsPanel {
    Q_OBJECT
public:
    LinearPointsPanel(QWidget* parent, Session& session, Platform& platform,
                      std::function<void()> onCalibrationChanged);

private:
    PointsPanelDimming dimming() const override;
    void addFromEntries() override;
    void commitAndClose() override;
    void saveAsDefault() override;
    void plottedLine(double& C, double& K, QString& name) const override;
};

}  // namespace s2t::ui
