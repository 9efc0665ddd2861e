#include "ui/SplinePanel.h"

#include "calibration/Spline.h"
#include "ui/NumberEntry.h"

namespace s2t::ui {

SplinePanel::SplinePanel(QWidget* parent, Session& session, Platform& platform,
                         std::function<void()> onCalibrationChanged)
    : PointsPanel(parent, session, platform, std::move(onCalibrationChanged)) {
    setWindowTitle(tr("Spline Calibration"));
    // Points beyond the table's 512 slots are not listed.
    for (const CalibrationPoint& p : session_.calibration.calPoints)
        appendPoint(p.twoTheta, p.channel, ItemSpacing::OneSpace);
    listChanged();
}

PointsPanelDimming SplinePanel::dimming() const { return splinePanelDimming(points_.count()); }

void SplinePanel::addFromEntries() {
    const double twoTheta = twoThetaEntry()->value();
    const double channel = channelEntry()->value();
    twoThetaEntry()->setValue(0.0);
    channelEntry()->setValue(0.0);
    addPoint(twoTheta, channel, ItemSpacing::TwoSpaces);
}

void SplinePanel::commit() {
    CalibrationState& calibration = session_.calibration;
    calibration.calPoints = points_.inSlotOrder();
    spline(std::span<CalibrationPoint>(calibration.calPoints), {&platform_, nullptr}, true);
}

void SplinePanel::commitAndClose() {
    commit();
    calibrationChanged();
    accept();
}

void SplinePanel::saveAsDefault() {
    if (!platform_.confirmPopup("Warning",
                                "This will over write any other options in the default file.\n"
                                "Do you still whant to do this?"))
        return;
    commit();
    writeDefaultOptions();
    calibrationChanged();
}

void SplinePanel::plottedLine(double& C, double& K, QString& name) const {
    C = session_.calibration.header.C;
    K = session_.calibration.header.K;
    name = tr("Straight line (C x channel + K)");
}

}  // namespace s2t::ui
