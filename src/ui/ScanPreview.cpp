#include "ui/ScanPreview.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QStackedLayout>
#include <QValueAxis>

#include "ui/AxisTicks.h"

namespace s2t::ui {
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
    // The file's own description tells scans of one name pattern apart.
    chart_->setTitle(data.description.empty() ? fileName
                                              : fileName + QString::fromUtf8(" \u2014 ") +
                                                    QString::fromStdString(data.description));
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
    setDynamicTicks(xAxis_, minX, maxX);
    const double yInterval = niceInterval(maxY * 1.05 - lowY);
    setDynamicTicks(yAxis_, lowY, std::ceil(maxY * 1.05 / yInterval) * yInterval);
    xAxis_->setTitleText(data.againstChannel ? tr("Channel") : tr("2-theta (degrees)"));
    stack_->setCurrentWidget(view_);
}

QString ScanPreview::message() const {
    return stack_->currentWidget() == messageLabel_ ? messageLabel_->text() : QString();
}

int ScanPreview::pointCount() const { return static_cast<int>(series_->count()); }

QPointF ScanPreview::pointAt(int index) const { return series_->at(index); }

QString ScanPreview::horizontalTitle() const { return xAxis_->titleText(); }

QString ScanPreview::title() const { return chart_->title(); }

}  // namespace s2t::ui
