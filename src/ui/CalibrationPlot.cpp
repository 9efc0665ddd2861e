#include "ui/CalibrationPlot.h"

#include <QChartView>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/AxisTicks.h"

namespace s2t::ui {
namespace {

QList<QPointF> qtPoints(const std::vector<CurvePoint>& curve) {
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(curve.size()));
    for (const CurvePoint& p : curve) list.append(QPointF(p.channel, p.twoTheta));
    return list;
}

// Lowest and highest value over the curves, widened a little so no point sits on the frame.
struct Span {
    double low = 0.0, high = 1.0;
};

Span spanOf(std::initializer_list<const std::vector<CurvePoint>*> curves, double CurvePoint::*field) {
    bool any = false;
    Span span;
    for (const auto* curve : curves)
        for (const CurvePoint& p : *curve) {
            const double v = p.*field;
            if (!std::isfinite(v)) continue;
            span.low = any ? std::min(span.low, v) : v;
            span.high = any ? std::max(span.high, v) : v;
            any = true;
        }
    if (!any) return {0.0, 1.0};
    const double margin = span.high > span.low ? 0.05 * (span.high - span.low) : 1.0;
    return {span.low - margin, span.high + margin};
}

QValueAxis* makeAxis(const QString& title, const QString& format) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(format);
    return axis;
}

QChart* makeChart() {
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    return chart;
}

}  // namespace

CalibrationPlot::CalibrationPlot(QWidget* parent)
        : QWidget(parent),
          calibration_(makeChart()),
          residual_(makeChart()),
          points_(new QScatterSeries),
          spline_(new QLineSeries),
          line_(new QLineSeries),
          residuals_(new QScatterSeries),
          zero_(new QLineSeries),
          channelAxis_(makeAxis(tr("Channel"), QStringLiteral("%.0f"))),
          twoThetaAxis_(makeAxis(tr("2-theta (degrees)"), QStringLiteral("%.1f"))),
          residualChannelAxis_(makeAxis(tr("Channel"), QStringLiteral("%.0f"))),
          residualAxis_(makeAxis(tr("Residual"), QStringLiteral("%.3f"))) {
    points_->setName(tr("Points"));
    points_->setMarkerSize(9.0);
    spline_->setName(tr("Spline"));
    QPen solid(QColor(0x20, 0x6a, 0xb0));
    solid.setWidthF(2.5);
    spline_->setPen(solid);
    // The line runs close to the spline: dashed and in a contrasting colour, so both show.
    QPen dashed(QColor(0xc0, 0x39, 0x2b));
    dashed.setStyle(Qt::DashLine);
    dashed.setWidthF(1.5);
    line_->setPen(dashed);
    residuals_->setName(tr("Residuals"));
    residuals_->setMarkerSize(8.0);
    QPen thin(QColor(0x80, 0x80, 0x80));
    thin.setWidthF(1.0);
    zero_->setPen(thin);

    calibration_->addSeries(spline_);
    calibration_->addSeries(line_);
    calibration_->addSeries(points_);
    calibration_->addAxis(channelAxis_, Qt::AlignBottom);
    calibration_->addAxis(twoThetaAxis_, Qt::AlignLeft);
    for (auto* series : calibration_->series()) {
        series->attachAxis(channelAxis_);
        series->attachAxis(twoThetaAxis_);
    }
    calibration_->legend()->setAlignment(Qt::AlignBottom);

    residual_->addSeries(zero_);
    residual_->addSeries(residuals_);
    residual_->addAxis(residualChannelAxis_, Qt::AlignBottom);
    residual_->addAxis(residualAxis_, Qt::AlignLeft);
    for (auto* series : residual_->series()) {
        series->attachAxis(residualChannelAxis_);
        series->attachAxis(residualAxis_);
    }
    residual_->legend()->hide();
    residual_->setTitle(tr("Residuals (degrees): 2-theta of each point minus the straight line"));
    QFont small = residual_->titleFont();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    residual_->setTitleFont(small);

    auto* calibrationView = new QChartView(calibration_);
    calibrationView->setRenderHint(QPainter::Antialiasing);
    auto* residualView = new QChartView(residual_);
    residualView->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(calibrationView, 3);
    layout->addWidget(residualView, 2);
    setMinimumSize(480, 460);
}

void CalibrationPlot::showCurves(const CalibrationCurves& curves, const QString& lineName) {
    points_->replace(qtPoints(curves.points));
    spline_->replace(qtPoints(curves.spline));
    line_->replace(qtPoints(curves.line));
    line_->setName(lineName);
    residuals_->replace(qtPoints(curves.residuals));

    const Span channels = spanOf({&curves.points, &curves.line}, &CurvePoint::channel);
    const Span angles = spanOf({&curves.points, &curves.spline, &curves.line}, &CurvePoint::twoTheta);
    channelAxis_->setRange(channels.low, channels.high);
    channelAxis_->applyNiceNumbers();
    twoThetaAxis_->setRange(angles.low, angles.high);
    twoThetaAxis_->applyNiceNumbers();
    residualChannelAxis_->setRange(channelAxis_->min(), channelAxis_->max());
    residualChannelAxis_->setTickCount(channelAxis_->tickCount());

    // The residual axis is symmetric about the zero line.
    double largest = 0.0;
    for (const CurvePoint& r : curves.residuals)
        if (std::isfinite(r.twoTheta)) largest = std::max(largest, std::abs(r.twoTheta));
    const double reach = largest > 0.0 ? 1.15 * largest : 0.01;
    residualAxis_->setRange(-reach, reach);
    residualAxis_->applyNiceNumbers();
    for (QValueAxis* axis : {channelAxis_, twoThetaAxis_, residualChannelAxis_, residualAxis_}) fitLabelFormat(axis);
    zero_->replace({QPointF(channelAxis_->min(), 0.0), QPointF(channelAxis_->max(), 0.0)});
}

}  // namespace s2t::ui
