// What the spline panel and the linear points panel share: the list of (2-theta, channel) points
// with its point table, the two entries, Add / Remove / Remove All / OK / Cancel, a menu bar with
// save as default and the standards import, and the plot of the calibration being edited. The
// panels differ in their dimming rule, in what Add, OK and save as default do, and in the line
// they plot.
#pragma once

#include <QDialog>
#include <functional>
#include <span>

#include "calibration/PanelDimming.h"
#include "calibration/PointTable.h"
#include "engine/Session.h"
#include "platform/Platform.h"
#include "standards/StandardPairs.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

namespace s2t::ui {

class CalibrationPlot;
class NumberEntry;
class StandardsWindow;

class PointsPanel : public QDialog {
    Q_OBJECT
public:
    PointsPanel(QWidget* parent, Session& session, Platform& platform, std::function<void()> onCalibrationChanged);

    QListWidget* pointList() const { return list_; }
    NumberEntry* twoThetaEntry() const { return twoThetaEntry_; }
    NumberEntry* channelEntry() const { return channelEntry_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QPushButton* removeAllButton() const { return removeAll_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QMenu* calibrationMenu() const { return calibrationMenu_; }
    QAction* saveAsDefaultAction() const { return saveAsDefault_; }
    QAction* standardsImportAction() const { return standardsImport_; }
    CalibrationPlot* plot() const { return plot_; }
    // The least-squares line through the listed points: K, C and the RMS residual, or why none.
    QString fitSummary() const;
    const PointList& points() const { return points_; }

    // The standards window's OK: its pairs (at most 512) replace the whole list and table.
    void replacePoints(std::span<const StandardPair> pairs);

    // The standards import: opens the standards window over this panel and returns at once; the
    // window's OK refills this panel, Cancel leaves it as it was.
    StandardsWindow* importStandards();

protected:
    // Appends a point (when a slot is free) and brings the dimming and the plot up to date.
    void addPoint(double twoTheta, double channel, ItemSpacing spacing);
    void removePointAt(int index);
    void removeAllPoints();
    // Lists a point without the updates that follow a change; false when the table is full.
    // sigmaChannel: the channel's standard uncertainty where known (shown after the point), else 0.
    // note: what the list shows after the point's text (an uncertainty, "  end guard").
    bool appendPoint(double twoTheta, double channel, ItemSpacing spacing, const std::string& note = {});
    // After the list changed: the dimming rule and the plot.
    void listChanged();
    void applyDimming();

    virtual PointsPanelDimming dimming() const = 0;
    virtual void addFromEntries() = 0;
    virtual void commitAndClose() = 0;
    virtual void saveAsDefault() = 0;
    // The straight line plotted with the points.
    virtual void plottedLine(double& C, double& K, QString& name) const = 0;

    // Writes the calibration in memory to Default.pre, replacing it without a question.
    void writeDefaultOptions();
    void calibrationChanged() const;

    // After a commit: the calibration's origin is the standard the listed points were taken from,
    // when they were and none was added or removed since.
    void noteOrigin();

    Session& session_;
    std::string importedStandard_;  // the standard of the pairs taken over, while they stand as taken
    Platform& platform_;
    PointList points_;

private:
    void updatePlot();

    std::function<void()> onCalibrationChanged_;
    QListWidget* list_;
    NumberEntry* twoThetaEntry_;
    NumberEntry* channelEntry_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* removeAll_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QMenu* calibrationMenu_;
    QAction* saveAsDefault_;
    QAction* standardsImport_;
    CalibrationPlot* plot_;
    QLabel* fitSummary_;
};

}  // namespace s2t::ui
