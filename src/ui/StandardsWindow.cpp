#include "ui/StandardsWindow.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "calibration/PanelDimming.h"
#include "peaks/AutoCalibration.h"
#include "peaks/ChannelCounts.h"
#include "peaks/EndGuards.h"
#include "standards/StandardDiscovery.h"
#include "ui/PanelMessages.h"
#include "ui/ScanPeaksDialog.h"

namespace s2t::ui {

StandardsWindow::StandardsWindow(QWidget* parent, Session& session, Platform& platform)
        : QDialog(parent),
          session_(session),
          platform_(platform),
          standards_(new QListWidget),
          pairs_(new QListWidget),
          peaks_(new QPushButton(tr("Peaks..."))),
          findPeaks_(new QPushButton(tr("Find Peaks in Scan..."))),
          ok_(new QPushButton(tr("OK"))),
          cancel_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(QString::fromUtf8(messages::kStandardsTitle));
    setModal(true);
    for (QPushButton* button : {peaks_, findPeaks_, ok_, cancel_}) button->setAutoDefault(false);

    for (const StandardEntry& entry : checkForStandards(session_.projectDir)) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.name));
        item->setData(Qt::UserRole, QString::fromStdString(entry.path));
        item->setToolTip(QString::fromStdString(entry.path));
        standards_->addItem(item);
    }
    if (standards_->count() > 0) standards_->setCurrentRow(0);
    pairs_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pairs_->setSelectionMode(QAbstractItemView::NoSelection);
    pairs_->setMinimumWidth(pairs_->fontMetrics().horizontalAdvance(QString(26, QLatin1Char('0'))));

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(tr("Standard")), 0, 0);
    lists->addWidget(new QLabel(tr("Pairs: 2-theta -> channel")), 0, 1);
    lists->addWidget(standards_, 1, 0);
    lists->addWidget(pairs_, 1, 1);
    lists->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(peaks_);
    buttons->addWidget(findPeaks_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Choose the standard, then the XFit peak file of its scan, or the scan itself.")));
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    connect(peaks_, &QPushButton::clicked, this, [this] { importPeaks(); });
    connect(findPeaks_, &QPushButton::clicked, this, [this] { findPeaksInScan(); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    applyDimming();
}

std::vector<StandardPair> StandardsWindow::acceptedPairs() const { return pairStandards(data_, kMaxPanelPairs); }

void StandardsWindow::importPeaks() {
    if (!standards_->currentItem()) return;
    // The peak file's popup has always carried the option file's title.
    const FileSelectOptions options = filePopup(session_.projectDir, "*.txt", messages::kSelectOptionFile, true);
    if (const auto xfitPath = platform_.fileSelectPopup(options)) importPeaksFrom(*xfitPath);
}

void StandardsWindow::importPeaksFrom(const std::string& xfitPath) {
    const QListWidgetItem* standard = standards_->currentItem();
    if (!standard) return;
    const std::string standardPath = standard->data(Qt::UserRole).toString().toStdString();
    // A failed import leaves nothing to accept: no pairs of an earlier import stay listed.
    if (!importStandardAndPeaks(standardPath, xfitPath, data_, platform_)) data_.clear();
    pairsStandard_ = data_.standard.empty() ? std::string() : standard->text().toStdString();
    showPairs();
    applyDimming();
}

void StandardsWindow::findPeaksInScan() {
    if (!standards_->currentItem()) return;
    const FileSelectOptions options = filePopup(session_.projectDir, "*.chn", messages::kSelectStandardScan, false);
    if (const auto scanPath = platform_.fileSelectPopup(options)) {
        if (ScanPeaksDialog* dialog = findPeaksInScanFrom(*scanPath)) dialog->open();
    }
}

ScanPeaksDialog* StandardsWindow::findPeaksInScanFrom(const std::string& scanPath) {
    const QListWidgetItem* standard = standards_->currentItem();
    if (!standard) return nullptr;
    std::vector<double> reflections, counts;
    if (!readStandard(standard->data(Qt::UserRole).toString().toStdString(), reflections, platform_) ||
        !peaks::readChannelCounts(scanPath, counts, platform_))
        return nullptr;
    // From the calibration in force, for the radiation last entered (Cu K-alpha at first, which the
    // shipped standards are made for).
    peaks::AutoCalibrationSettings start;
    start.startK = session_.calibration.header.K;
    start.startC = session_.calibration.header.C;
    if (start.startC == 0.0) start.startC = kStartupC;
    ScanPeaksDialog::PeakFinder finder =
        [this, start, counts,
         reflections](const peaks::Radiation& radiation) -> std::optional<peaks::AutoCalibrationResult> {
        peaks::AutoCalibrationSettings settings = start;
        settings.setRadiation(radiation);
        auto result = peaks::calibrateFromScan(counts, reflections, settings);
        if (result.ok) return result;
        platform_.messagePopup(messages::kNotPossible, result.refusal);
        return std::nullopt;
    };
    setCursor(Qt::WaitCursor);
    const auto result = finder(session_.scanRadiation);
    unsetCursor();
    if (!result) return nullptr;
    auto* dialog = new ScanPeaksDialog(this, QString::fromStdString(scanPath), counts, *result, session_.scanRadiation,
                                       platform_, std::move(finder));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const std::string standardName = standard->text().toStdString();
    connect(dialog, &QDialog::accepted, this, [this, dialog, standardName, channels = counts.size()] {
        // The ticked pairs, in 2-theta order, pair k-th with k-th like an imported peak file.
        data_.clear();
        pairsStandard_ = standardName;
        const auto ticked = dialog->tickedPairs();
        for (const auto& pair : ticked) {
            data_.standard.push_back(pair.twoTheta);
            data_.observed.push_back(pair.channel);
            data_.observedSigma.push_back(pair.sigmaChannel);
        }
        // The spline's end guards for the ticked pairs, as "calibration auto" stores them.
        data_.endGuards = peaks::endGuards(peaks::pairsAsStored(ticked), channels);
        std::sort(data_.endGuards.begin(), data_.endGuards.end(),
                  [](const CalibrationPoint& a, const CalibrationPoint& b) { return a.twoTheta < b.twoTheta; });
        showPairs();
        applyDimming();
    });
    return dialog;
}

void StandardsWindow::showPairs() {
    pairs_->clear();
    for (const StandardPair& pair : pairStandards(data_))
        pairs_->addItem(QString::fromStdString(pairListText(pair) + pairNoteText(pair)));
}

void StandardsWindow::applyDimming() {
    const StandardsWindowDimming d = standardsWindowDimming(standards_->count(), pairs_->count());
    peaks_->setEnabled(d.peaksEnabled);
    findPeaks_->setEnabled(d.peaksEnabled);
    ok_->setEnabled(d.okEnabled);
}

}  // namespace s2t::ui
