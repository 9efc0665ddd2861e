// The plot beside the file list: the selected scans as counts against 2-theta (or channel), or a
// line saying why they cannot be shown. The plot zooms and pans (see PreviewChartView), reads out
// the point under the cursor, draws the counts on a linear, square-root or log scale, overlays
// several scans each in its own colour, and marks the reflections of a chosen standard. Long
// scans are drawn with a few points per pixel column (ColumnDecimation), never one per channel.
#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QWidget>

#include "ui/CountScale.h"
#include "ui/PreviewReadout.h"
#include "ui/PreviewScan.h"
#include "ui/PreviewViewport.h"

class QCategoryAxis;
class QChart;
class QComboBox;
class QGraphicsEllipseItem;
class QGraphicsPathItem;
class QLabel;
class QLineSeries;
class QPushButton;
class QStackedLayout;
class QValueAxis;

namespace s2t::ui {

class PreviewChartView;

// One scan to show and the name it goes by (its file name).
struct PreviewedScan {
    QString name;
    PreviewData data;
};

class ScanPreview : public QWidget {
    Q_OBJECT
public:
    explicit ScanPreview(QWidget* parent = nullptr);
    ~ScanPreview() override;

    // Plots the data, or shows its error.
    void showScan(const QString& fileName, const PreviewData& data);
    // Plots the first scan and overlays the others; the first one's error stands in place of the
    // plot, the others' are named under it. leftOut: selected scans not given (too many to overlay).
    void showScans(std::vector<PreviewedScan> scans, int leftOut = 0);
    // Shows a hint instead of a plot (no file selected).
    void showNothing(const QString& hint);
    // The standards offered for the reflection ticks: those of this program folder.
    void setProgramFolder(const std::string& folder);

    // What stands in place of the plot; empty while a scan is plotted.
    QString message() const;
    // The first scan's points, in file order.
    int pointCount() const;
    QPointF pointAt(int index) const;
    QString horizontalTitle() const;
    QValueAxis* countAxis() const { return yAxis_; }
    // The count axis's labels under the square-root and log scales (hidden under the linear one).
    QCategoryAxis* countLabelAxis() const { return countLabels_; }
    // The chart's title: the file name, and the file's description when it has one.
    QString title() const;

    // The scans drawn: their names, colours and the points drawn of each (after decimation).
    int scanCount() const { return static_cast<int>(plotted_.size()); }
    QString scanName(int scan) const;
    QColor scanColour(int scan) const;
    int drawnPointCount(int scan) const;
    QPointF drawnPointAt(int scan, int index) const;
    // Scans selected but not drawn, and why.
    QString note() const;

    // The view: zoom, pan and reset as the mouse and keys do them.
    const PreviewViewport& view() const { return viewport_; }
    void zoomAbout(double x, double factor);
    void zoomCountsAbout(double countAxisValue, double factor);
    void zoomTo(const AxisRange& x, const AxisRange* countAxisValues);
    void pan(double xFraction, double countFraction);
    void resetView();

    void setCountScale(CountScale scale);
    CountScale countScale() const { return scaleMap_.scale(); }
    const CountScaleMap& countScaleMap() const { return scaleMap_; }
    // The counts labelled on the count axis (the value axis labels them itself on the linear scale).
    std::vector<double> labelledCounts() const;

    // The readout for a point of the chart (abscissa, count axis value): the nearest point of the
    // scan drawn nearest to it. Returns false (and clears the readout) away from every scan.
    bool pointTo(const QPointF& value);
    QString readout() const;
    // The scan and values the readout shows.
    int readoutScan() const { return readoutScan_; }
    const ReadoutValues& readoutValues() const { return readoutValues_; }

    // The standards offered ("No standard" first) and the choice; false when name is not offered.
    QStringList standardNames() const;
    bool chooseStandard(const QString& name);
    // The standard whose reflections are ticked; empty for none.
    QString chosenStandard() const;
    // Where the chosen standard's reflections are drawn on the abscissa.
    const std::vector<double>& standardTickPositions() const { return tickPositions_; }

private:
    // A scan as drawn: its points sorted by abscissa (the order decimation needs), and its counts
    // as axis values of the scale in force.
    struct Plotted {
        QString name;
        PreviewData data;
        std::vector<std::size_t> order;  // file index of each sorted point; empty when in file order
        std::vector<double> x;
        std::vector<double> axisCounts;
        QLineSeries* series = nullptr;
    };
    void buildControls(QWidget* page);
    void showMessage(const QString& text);
    void dropScans();
    void refreshStandards();
    void readChosenStandard();
    void prepareCounts();
    AxisRange countRangeOver(const AxisRange& x) const;
    void redraw();
    // About how many count labels the plot's height has room for.
    double countLabelRoom() const;
    void placeCountLabels(const AxisRange& counts);
    void placeOverlay();
    void hoverAt(const QPoint& viewPoint);
    void clearReadout();
    void updateNote();

    QStackedLayout* stack_;
    QLabel* messageLabel_;
    QWidget* plotPage_;
    PreviewChartView* view_;
    QChart* chart_;
    QValueAxis* xAxis_;
    QValueAxis* yAxis_;
    QCategoryAxis* countLabels_;
    QLineSeries* standardLegend_;
    QGraphicsPathItem* ticks_;
    QGraphicsEllipseItem* marker_;
    QComboBox* scaleChoice_;
    QComboBox* standardChoice_;
    QPushButton* resetButton_;
    QLabel* readoutLabel_;
    QLabel* noteLabel_;

    std::vector<Plotted> plotted_;
    QStringList problems_;  // overlaid scans that could not be read
    int leftOut_ = 0;
    PreviewViewport viewport_;
    CountScaleMap scaleMap_;
    std::string programFolder_;
    std::vector<double> reflections_;
    std::vector<double> tickPositions_;
    QString standardProblem_;
    int readoutScan_ = -1;
    ReadoutValues readoutValues_;
    bool redrawing_ = false;
};

}  // namespace s2t::ui
