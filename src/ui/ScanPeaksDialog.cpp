#include "ui/ScanPeaksDialog.h"

#include <QChart>
#include <QChartView>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "peaks/WeightedLine.h"
#include "platform/NumberText.h"
#include "ui/SmallScreens.h"

namespace s2t::ui {
namespace {

QValueAxis* axis(const QString& title, const char* labelFormat) {
    auto* a = new QValueAxis;
    a->setTitleText(title);
    a->setLabelFormat(labelFormat);
    return a;
}

std::string pairText(const peaks::MatchedReflection& pair) {
    std::string text = formatFixed(pair.twoTheta, 4, 8);
    text += " -> ";
    appendFixed(text, pair.channel, 4, 10);
    text += " +- ";
    appendFixed(text, pair.sigmaChannel, 4);
    return text;
}

}  // namespace

ScanPeaksDialog::ScanPeaksDialog(QWidget* parent, const QString& scanName, const std::vector<double>& counts,
                                 const peaks::AutoCalibrationResult& result)
    : QDialog(parent), result_(result), pairs_(new QListWidget), line_(new QLabel),
      residuals_(new QScatterSeries), ok_(new QPushButton(tr("OK"))) {
    setWindowTitle(tr("Peaks in %1").arg(scanName));
    setModal(true);

    // The scan, its peaks, and every reflection where the line puts it.
    auto* scan = new QLineSeries;
    scan->setName(tr("Counts"));
    double highest = 1.0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        scan->append(static_cast<double>(i), counts[i]);
        highest = std::max(highest, counts[i]);
    }
    auto* found = new QScatterSeries;
    found->setName(tr("Peaks found"));
    found->setMarkerSize(7.0);
    for (const auto& peak : result.peaks) {
        const auto at = static_cast<std::size_t>(std::clamp(std::lround(peak.channel), 0L, static_cast<long>(counts.size()) - 1));
        found->append(peak.channel, counts[at]);
    }
    auto* predicted = new QScatterSeries;
    predicted->setName(tr("Reflections of the standard"));
    predicted->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    predicted->setMarkerSize(8.0);
    std::vector<double> reflections = result.missedReflections;
    for (const auto& pair : result.pairs) reflections.push_back(pair.twoTheta);
    for (double twoTheta : reflections) predicted->append((twoTheta - result.line.K) / result.line.C, 1.05 * highest);

    auto* chart = new QChart;
    for (auto* series : {static_cast<QXYSeries*>(scan), static_cast<QXYSeries*>(found), static_cast<QXYSeries*>(predicted)})
        chart->addSeries(series);
    auto* x = axis(tr("Channel"), "%.0f");
    auto* y = axis(tr("Counts"), "%.0f");
    x->setRange(0.0, static_cast<double>(std::max<std::size_t>(counts.size(), 2) - 1));
    x->applyNiceNumbers();
    y->setRange(0.0, 1.1 * highest);
    y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (auto* series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
    auto* scanView = new QChartView(chart);
    scanView->setMinimumSize(560, 280);

    // The residuals of the line through the ticked pairs.
    residuals_->setName(tr("Residual (degrees)"));
    residuals_->setMarkerSize(7.0);
    auto* residualChart = new QChart;
    residualChart->addSeries(residuals_);
    residualChart->legend()->hide();
    auto* rx = axis(tr("2-theta (degrees)"), "%.1f");
    auto* ry = axis(tr("Residual (degrees)"), "%.4f");
    residualChart->addAxis(rx, Qt::AlignBottom);
    residualChart->addAxis(ry, Qt::AlignLeft);
    residuals_->attachAxis(rx);
    residuals_->attachAxis(ry);
    auto* residualView = new QChartView(residualChart);
    residualView->setMinimumSize(300, 220);

    pairs_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const auto& pair : result.pairs) {
        auto* item = new QListWidgetItem(QString::fromStdString(pairText(pair)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        pairs_->addItem(item);
    }
    pairs_->setMinimumWidth(pairs_->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('0'))));
    line_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* cancel = new QPushButton(tr("Cancel"));
    for (QPushButton* button : {ok_, cancel}) button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(line_, 1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* lower = new QHBoxLayout;
    auto* pairsColumn = new QVBoxLayout;
    pairsColumn->addWidget(new QLabel(tr("Pairs: 2-theta -> channel +- uncertainty")));
    pairsColumn->addWidget(pairs_);
    lower->addLayout(pairsColumn);
    lower->addWidget(scrollableWhenSmall(residualView), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scrollableWhenSmall(scanView), 1);
    layout->addLayout(lower, 1);
    layout->addLayout(buttons);

    connect(pairs_, &QListWidget::itemChanged, this, [this] { refit(); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    refit();
}

std::vector<peaks::MatchedReflection> ScanPeaksDialog::tickedPairs() const {
    std::vector<peaks::MatchedReflection> ticked;
    for (int i = 0; i < pairs_->count(); ++i)
        if (pairs_->item(i)->checkState() == Qt::Checked) ticked.push_back(result_.pairs[static_cast<std::size_t>(i)]);
    return ticked;
}

void ScanPeaksDialog::refit() {
    const auto ticked = tickedPairs();
    std::vector<peaks::LinePair> points;
    for (const auto& pair : ticked)
        points.push_back({pair.channel, pair.twoTheta, std::max(std::fabs(result_.line.C) * pair.sigmaChannel, 1e-7)});
    const peaks::WeightedLineFit fit = peaks::fitWeightedLine(points);
    ok_->setEnabled(ticked.size() >= peaks::kMinimumPairs && fit.ok);
    residuals_->clear();
    if (!fit.ok) {
        line_->setText(tr("Tick at least %1 pairs.").arg(peaks::kMinimumPairs));
        return;
    }
    double lowest = 0.0, highest = 0.0;
    for (const auto& pair : ticked) {
        const double residual = pair.twoTheta - (fit.K + fit.C * pair.channel);
        residuals_->append(pair.twoTheta, residual);
        lowest = std::min(lowest, residual);
        highest = std::max(highest, residual);
    }
    const auto axes = residuals_->attachedAxes();
    if (axes.size() == 2) {
        axes[0]->setRange(ticked.front().twoTheta - 2.0, ticked.back().twoTheta + 2.0);
        const double reach = std::max({std::fabs(lowest), std::fabs(highest), 1e-4}) * 1.2;
        axes[1]->setRange(-reach, reach);
    }
    std::string text = "K = " + formatFixed(fit.K, 6) + " +- " + formatFixed(fit.sigmaK, 6) + "   C = " +
                       formatFixed(fit.C, 9) + " +- " + formatFixed(fit.sigmaC, 9) + "   RMS " +
                       formatFixed(fit.rms, 5);
    line_->setText(QString::fromStdString(text));
}

}  // namespace s2t::ui
