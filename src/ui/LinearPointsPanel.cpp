#include "ui/LinearPointsPanel.h"

#include <QPushButton>

#include "calibration/LinearFit.h"
#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {

LinearPointsPanel::LinearPointsPanel(QWidget* parent, Session& session, Platform& platform,
                                     std::function<void()> onCalibrationChanged)
        : PointsPanel(parent, session, platform, std::move(onCalibrationChanged)) {
    setWindowTitle(QString::fromUtf8(messages::kLinearPointsTitle));
    // The rule runs after every point, as Add's state depends on the count it passed through.
    for (const CalibrationPoint& p : session_.calibration.calPoints) {
        appendPoint(p.twoTheta, p.channel, ItemSpacing::TwoSpaces);
        applyDimming();
    }
    listChanged();
}

PointsPanelDimming LinearPointsPanel::dimming() const {
    return linearPointsPanelDimming(points_.count(), addButton()->isEnabledTo(this));
}

void LinearPointsPanel::addFromEntries() {
    // The entries keep their values, so that a series of similar points is quick to type.
    addPoint(twoThetaEntry()->value(), channelEntry()->value(), ItemSpacing::TwoSpaces);
}

void LinearPointsPanel::commitAndClose() {
    // A refused fit has told the user why; the panel stays open with its points.
    if (!calcCoefficients(session_.calibration, points_.inListOrder(), platform_)) return;
    noteOrigin();
    calibrationChanged();
    accept();
}

void LinearPointsPanel::saveAsDefault() {
    // Only a line that was fitted is written: after a refusal Default.pre keeps what it holds.
    if (!calcCoefficients(session_.calibration, points_.inListOrder(), platform_)) return;
    noteOrigin();
    writeDefaultOptions();
    calibrationChanged();
}

void LinearPointsPanel::plottedLine(double& C, double& K, QString& name) const {
    if (!fitStraightLine(points_.inListOrder(), C, K)) {
        name = tr("Least-squares line");
        return;
    }
    C = session_.calibration.header.C;
    K = session_.calibration.header.K;
    name = tr("Straight line in force");
}

}  // namespace s2t::ui
