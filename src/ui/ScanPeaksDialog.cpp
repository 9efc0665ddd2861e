#include "ui/ScanPeaksDialog.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "peaks/WeightedLine.h"
#include "platform/NumberText.h"
#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"
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
                                 const peaks::AutoCalibrationResult& result, peaks::Radiation& radiation,
                                 Platform& platform, PeakFinder finder)
        : QDialog(parent),
          radiation_(radiation),
          platform_(platform),
          finder_(std::move(finder)),
          found_(new QScatterSeries),
          predicted_(new QScatterSeries),
          pairs_(new QListWidget),
          line_(new QLabel),
          residuals_(new QScatterSeries),
          wavelength_(new NumberEntry),
          alpha2Box_(new QCheckBox(tr("K-alpha2"))),
          alpha2_(new NumberEntry),
          ratio_(new NumberEntry),
          findAgain_(new QPushButton(tr("Find Again"))),
          ok_(new QPushButton(tr("OK"))) {
    setWindowTitle(QString::fromUtf8(messages::kScanPeaksTitle).arg(scanName));
    setModal(true);

    // The scan, its peaks, and every reflection where the line puts it.
    auto* scan = new QLineSeries;
    scan->setName(tr("Counts"));
    for (std::size_t i = 0; i < counts.size(); ++i) {
        scan->append(static_cast<double>(i), counts[i]);
        highest_ = std::max(highest_, counts[i]);
    }
    counts_ = counts;
    found_->setName(tr("Peaks found"));
    found_->setMarkerSize(7.0);
    predicted_->setName(tr("Reflections of the standard"));
    predicted_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    predicted_->setMarkerSize(8.0);

    auto* chart = new QChart;
    for (auto* series :
         {static_cast<QXYSeries*>(scan), static_cast<QXYSeries*>(found_), static_cast<QXYSeries*>(predicted_)})
        chart->addSeries(series);
    auto* x = axis(tr("Channel"), "%.0f");
    auto* y = axis(tr("Counts"), "%.0f");
    x->setRange(0.0, static_cast<double>(std::max<std::size_t>(counts.size(), 2) - 1));
    x->applyNiceNumbers();
    y->setRange(0.0, 1.1 * highest_);
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
    pairs_->setMinimumWidth(pairs_->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('0'))));
    line_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* cancel = new QPushButton(tr("Cancel"));
    for (QPushButton* button : {ok_, cancel}) button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(line_, 1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    // The radiation the doublets were fitted for, as the command line's --wavelength, --alpha2
    // NUM|none and --alpha2-ratio give it.
    auto* radiationGrid = new QGridLayout;
    radiationGrid->addWidget(new QLabel(tr("K-alpha1")), 0, 0);
    radiationGrid->addWidget(wavelength_, 0, 1);
    radiationGrid->addWidget(alpha2Box_, 1, 0);
    radiationGrid->addWidget(alpha2_, 1, 1);
    radiationGrid->addWidget(new QLabel(tr("K-alpha2 / K-alpha1 height")), 2, 0);
    radiationGrid->addWidget(ratio_, 2, 1);
    radiationGrid->addWidget(new QLabel(tr("Wavelengths in Angstrom; the standard's angles are for K-alpha1.")), 3, 0,
                             1, 2);
    radiationGrid->addWidget(findAgain_, 4, 1, Qt::AlignRight);
    findAgain_->setAutoDefault(false);
    for (NumberEntry* entry : {wavelength_, alpha2_, ratio_})
        entry->setMaximumWidth(entry->fontMetrics().horizontalAdvance(QString(14, QLatin1Char('0'))));
    connect(alpha2Box_, &QCheckBox::toggled, alpha2_, &QWidget::setEnabled);
    showRadiation(radiation_);

    auto* lower = new QHBoxLayout;
    auto* pairsColumn = new QVBoxLayout;
    pairsColumn->addLayout(radiationGrid);
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
    connect(findAgain_, &QPushButton::clicked, this, [this] { findAgain(); });
    showResult(result);
}

void ScanPeaksDialog::showRadiation(const peaks::Radiation& radiation) {
    wavelength_->setValue(radiation.wavelength);
    const bool twin = radiation.alpha2Wavelength > 0.0;
    alpha2Box_->setChecked(twin);
    alpha2_->setEnabled(twin);
    // Without a twin the entry keeps Cu's K-alpha2 to start from when it is ticked again.
    alpha2_->setValue(twin ? radiation.alpha2Wavelength : peaks::kCuKAlpha2);
    ratio_->setValue(radiation.alpha2Ratio);
}

void ScanPeaksDialog::showResult(const peaks::AutoCalibrationResult& result) {
    result_ = result;
    found_->clear();
    for (const auto& peak : result.peaks) {
        const auto at =
            static_cast<std::size_t>(std::clamp(std::lround(peak.channel), 0L, static_cast<long>(counts_.size()) - 1));
        found_->append(peak.channel, counts_[at]);
    }
    predicted_->clear();
    std::vector<double> reflections = result.missedReflections;
    for (const auto& pair : result.pairs) reflections.push_back(pair.twoTheta);
    for (double twoTheta : reflections) predicted_->append((twoTheta - result.line.K) / result.line.C, 1.05 * highest_);
    {
        const QSignalBlocker quiet(pairs_);
        pairs_->clear();
        for (const auto& pair : result.pairs) {
            auto* item = new QListWidgetItem(QString::fromStdString(pairText(pair)));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
            pairs_->addItem(item);
        }
    }
    refit();
}

bool ScanPeaksDialog::findAgain() {
    peaks::Radiation radiation;
    radiation.wavelength = wavelength_->value();
    radiation.alpha2Wavelength = alpha2Box_->isChecked() ? alpha2_->value() : 0.0;
    radiation.alpha2Ratio = ratio_->value();
    if (alpha2Box_->isChecked() && !(radiation.alpha2Wavelength > 0.0)) radiation.alpha2Wavelength = -1.0;
    if (const std::string problem = peaks::radiationProblem(radiation); !problem.empty()) {
        platform_.messagePopup(messages::kNotPossible, problem);
        return false;
    }
    radiation_ = radiation;
    setCursor(Qt::WaitCursor);
    const auto result = finder_(radiation);
    unsetCursor();
    if (!result) return false;
    showResult(*result);
    return true;
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
    std::string text = "K = " + formatFixed(fit.K, 6) + " +- " + formatFixed(fit.sigmaK, 6) +
                       "   C = " + formatFixed(fit.C, 9) + " +- " + formatFixed(fit.sigmaC, 9) + "   RMS " +
                       formatFixed(fit.rms, 5);
    line_->setText(QString::fromStdString(text));
}

}  // namespace s2t::ui
