// The plot beside the file list: the selected scan as counts against 2-theta (or channel), or a
// line saying why it cannot be shown.
#pragma once

#include <QWidget>

#include "ui/PreviewScan.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QStackedLayout;
class QValueAxis;

namespace s2t::ui {

class ScanPreview : public QWidget {
    Q_OBJECT
public:
    explicit ScanPreview(QWidget* parent = nullptr);

    // Plots the data, or shows its error.
    void showScan(const QString& fileName, const PreviewData& data);
    // Shows a hint instead of a plot (no file selected).
    void showNothing(const QString& hint);

    // What stands in place of the plot; empty while a scan is plotted.
    QString message() const;
    int pointCount() const;
    QPointF pointAt(int index) const;
    QString horizontalTitle() const;
    QValueAxis* countAxis() const { return yAxis_; }
    // The chart's title: the file name, and the file's description when it has one.
    QString title() const;

private:
    void showMessage(const QString& text);

    QStackedLayout* stack_;
    QLabel* messageLabel_;
    QChartView* view_;
    QChart* chart_;
    QLineSeries* series_;
    QValueAxis* xAxis_;
    QValueAxis* yAxis_;
};

}  // namespace s2t::ui
