#include "ui/ScanPreview.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QStackedLayout>
#include <QValueAxis>

namespace s2t::ui {
namespace {

// A tick interval of 1, 2 or 5 times a power of ten that divides span into about eight parts.
double niceInterval(double span) {
    const double raw = span / 8.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * magnitude >= raw) return factor * magnitude;
    return 10.0 * magnitude;
}

// Ticks at whole multiples of a nice interval, labelled with as many decimals as it needs.
void setTicks(QValueAxis* axis, double low, double high) {
    const double interval = niceInterval(high - low);
    axis->setRange(low, high);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    axis->setTickInterval(interval);
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(interval))));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
}

}  // namespace

ScanPreview::ScanPreview(QWidget* parent) : QWidget(parent) {
    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);

    messageLabel_ = new QLabel(this);
    messageLabel_->setObjectName("previewMessage");
    messageLabel_->setAlignment(Qt::AlignCenter);
    messageLabel_->setWordWrap(true);
    messageLabel_->setMargin(24);
    messageLabel_->setStyleSheet("QLabel { color: palette(mid); background: palette(base);"
                                 " border: 1px solid palette(mid); }");

    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 8, 4));
    series_ = new QLineSeries(chart_);
    QPen pen = series_->pen();
    pen.setWidthF(1.2);
    series_->setPen(pen);
    chart_->addSeries(series_);
    xAxis_ = new QValueAxis(chart_);
    yAxis_ = new QValueAxis(chart_);
    yAxis_->setTitleText(tr("Counts"));
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    series_->attachAxis(xAxis_);
    series_->attachAxis(yAxis_);

    view_ = new QChartView(chart_, this);
    view_->setObjectName("previewChart");
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(360, 260);

    stack_->addWidget(messageLabel_);
    stack_->addWidget(view_);
    showNothing(tr("Select a file in the list to preview it."));
}

void ScanPreview::showMessage(const QString& text) {
    series_->clear();
    messageLabel_->setText(text);
    stack_->setCurrentWidget(messageLabel_);
}

void ScanPreview::showNothing(const QString& hint) { showMessage(hint); }

void ScanPreview::showScan(const QString& fileName, const PreviewData& data) {
    if (!data.error.empty()) {
        showMessage(QString::fromStdString(previewFailureText(data.error)));
        return;
    }
    if (data.x.empty()) {
        showMessage(QString::fromStdString(previewFailureText("the file holds no points")));
        return;
    }
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(data.x.size()));
    double minX = data.x.front(), maxX = data.x.front();
    double minY = data.counts.front(), maxY = data.counts.front();
    for (std::size_t i = 0; i < data.x.size(); ++i) {
        points.append(QPointF(data.x[i], data.counts[i]));
        minX = std::min(minX, data.x[i]);
        maxX = std::max(maxX, data.x[i]);
        minY = std::min(minY, data.counts[i]);
        maxY = std::max(maxY, data.counts[i]);
    }
    series_->replace(points);
    if (!(maxX > minX)) maxX = minX + 1.0;
    const double lowY = std::min(0.0, minY);
    if (!(maxY > lowY)) maxY = lowY + 1.0;
    // The scan fills the width; the counts start at zero with a little room above the highest.
    setTicks(xAxis_, minX, maxX);
    const double yInterval = niceInterval(maxY * 1.05 - lowY);
    setTicks(yAxis_, lowY, std::ceil(maxY * 1.05 / yInterval) * yInterval);
    xAxis_->setTitleText(data.againstChannel ? tr("Channel") : tr("2-theta (degrees)"));
    chart_->setTitle(fileName);
    stack_->setCurrentWidget(view_);
}

QString ScanPreview::message() const {
    return stack_->currentWidget() == messageLabel_ ? messageLabel_->text() : QString();
}

int ScanPreview::pointCount() const { return static_cast<int>(series_->count()); }

QPointF ScanPreview::pointAt(int index) const { return series_->at(index); }

QString ScanPreview::horizontalTitle() const { return xAxis_->titleText(); }

}  // namespace s2t::ui
