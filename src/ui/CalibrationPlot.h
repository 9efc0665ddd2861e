// The plot beside a points panel's list: the points (channel against 2-theta), the spline through
// them, the straight line, and below, each point's distance from that line.
#pragma once

#include <QChart>
#include <QWidget>

#include "calibration/CalibrationCurves.h"

class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace s2t::ui {

class CalibrationPlot : public QWidget {
    Q_OBJECT
public:
    explicit CalibrationPlot(QWidget* parent = nullptr);

    // Shows the curves; lineName names the straight line in the legend.
    void showCurves(const CalibrationCurves& curves, const QString& lineName);

    QChart* calibrationChart() const { return calibration_; }
    QChart* residualChart() const { return residual_; }
    QScatterSeries* pointSeries() const { return points_; }
    QLineSeries* splineSeries() const { return spline_; }
    QLineSeries* lineSeries() const { return line_; }
    QScatterSeries* residualSeries() const { return residuals_; }

private:
    QChart* calibration_;
    QChart* residual_;
    QScatterSeries* points_;
    QLineSeries* spline_;
    QLineSeries* line_;
    QScatterSeries* residuals_;
    QLineSeries* zero_;
    QValueAxis* channelAxis_;
    QValueAxis* twoThetaAxis_;
    QValueAxis* residualChannelAxis_;
    QValueAxis* residualAxis_;
};

}  // namespace s2t::ui
