#include "ui/PointsPanel.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

#include "calibration/CalibrationCurves.h"
#include "calibration/LinearFit.h"
#include "options/CalibrationOrigin.h"
#include "options/OptionFile.h"
#include "ui/CalibrationPlot.h"
#include "ui/NumberEntry.h"
#include "ui/SmallScreens.h"
#include "ui/StandardsWindow.h"

namespace s2t::ui {
namespace {

QPushButton* makeButton(const QString& text) {
    auto* button = new QPushButton(text);
    // Enter in an entry adds the point; it must never close the panel.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

PointsPanel::PointsPanel(QWidget* parent, Session& session, Platform& platform,
                         std::function<void()> onCalibrationChanged)
        : QDialog(parent),
          session_(session),
          platform_(platform),
          onCalibrationChanged_(std::move(onCalibrationChanged)),
          list_(new QListWidget),
          twoThetaEntry_(new NumberEntry),
          channelEntry_(new NumberEntry),
          add_(makeButton(tr("Add"))),
          remove_(makeButton(tr("Remove"))),
          removeAll_(makeButton(tr("Remove All"))),
          ok_(makeButton(tr("OK"))),
          cancel_(makeButton(tr("Cancel"))),
          calibrationMenu_(nullptr),
          saveAsDefault_(nullptr),
          standardsImport_(nullptr),
          plot_(new CalibrationPlot),
          fitSummary_(new QLabel) {
    setModal(true);
    auto* menuBar = new QMenuBar;
    calibrationMenu_ = menuBar->addMenu(tr("&Calibration"));
    saveAsDefault_ = calibrationMenu_->addAction(tr("Save as &Default"));
    QMenu* standardsMenu = menuBar->addMenu(tr("&Standards"));
    standardsImport_ = standardsMenu->addAction(tr("&Import Pairs from a Standard..."));

    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setMinimumWidth(list_->fontMetrics().horizontalAdvance(QString(26, QLatin1Char('0'))));

    auto* entries = new QFormLayout;
    entries->addRow(tr("2-theta (degrees):"), twoThetaEntry_);
    entries->addRow(tr("Channel:"), channelEntry_);

    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(add_);
    editButtons->addWidget(remove_);
    editButtons->addWidget(removeAll_);

    auto* closeButtons = new QHBoxLayout;
    closeButtons->addStretch();
    closeButtons->addWidget(ok_);
    closeButtons->addWidget(cancel_);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("2-theta -> channel")));
    left->addWidget(list_, 1);
    left->addLayout(entries);
    left->addLayout(editButtons);

    fitSummary_->setObjectName("fitSummary");
    fitSummary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fitSummary_->setToolTip(tr("The straight line fitted by least squares to the listed points, at full precision"));
    auto* right = new QVBoxLayout;
    right->addWidget(scrollableWhenSmall(plot_), 1);
    right->addWidget(fitSummary_);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(columns, 1);
    layout->addLayout(closeButtons);

    resize(sizeForScreen(this, QSize(900, 600)));

    connect(add_, &QPushButton::clicked, this, [this] { addFromEntries(); });
    auto addOnEnter = [this] {
        if (add_->isEnabled()) addFromEntries();
    };
    connect(twoThetaEntry_, &QLineEdit::returnPressed, this, addOnEnter);
    connect(channelEntry_, &QLineEdit::returnPressed, this, addOnEnter);
    connect(remove_, &QPushButton::clicked, this, [this] { removePointAt(list_->currentRow()); });
    connect(removeAll_, &QPushButton::clicked, this, [this] { removeAllPoints(); });
    connect(ok_, &QPushButton::clicked, this, [this] { commitAndClose(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(saveAsDefault_, &QAction::triggered, this, [this] { saveAsDefault(); });
    connect(standardsImport_, &QAction::triggered, this, [this] { importStandards(); });
}

bool PointsPanel::appendPoint(double twoTheta, double channel, ItemSpacing spacing, const std::string& note) {
    if (!points_.add(twoTheta, channel, spacing)) return false;
    const PointItem& item = points_.items().back();
    auto* listItem = new QListWidgetItem(QString::fromStdString(item.text + note));
    listItem->setData(Qt::UserRole, item.slot);
    list_->addItem(listItem);
    if (list_->currentRow() < 0) list_->setCurrentRow(0);
    return true;
}

void PointsPanel::addPoint(double twoTheta, double channel, ItemSpacing spacing) {
    importedStandard_.clear();
    appendPoint(twoTheta, channel, spacing);
    listChanged();
}

void PointsPanel::removePointAt(int index) {
    if (index < 0 || index >= points_.count()) return;
    importedStandard_.clear();
    points_.removeAt(index);
    delete list_->takeItem(index);
    if (list_->count() > 0) list_->setCurrentRow(std::min(index, list_->count() - 1));
    listChanged();
}

void PointsPanel::removeAllPoints() {
    importedStandard_.clear();
    // One point at a time, last first, with the dimming rule after each: the linear points panel's
    // Add depends on the counts the list passes through (from 511 points it comes back at 510).
    while (points_.count() > 0) {
        const int last = points_.count() - 1;
        points_.removeAt(last);
        delete list_->takeItem(last);
        applyDimming();
    }
    listChanged();
}

StandardsWindow* PointsPanel::importStandards() {
    auto* window = new StandardsWindow(this, session_, platform_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QDialog::accepted, this, [this, window] {
        const std::vector<StandardPair> pairs = window->acceptedPairs();
        replacePoints(pairs);
        importedStandard_ = window->pairsStandardName();
    });
    window->open();
    return window;
}

void PointsPanel::replacePoints(std::span<const StandardPair> pairs) {
    importedStandard_.clear();
    points_.clear();
    list_->clear();
    for (const StandardPair& pair : pairs)
        if (!appendPoint(pair.twoTheta, pair.channel, ItemSpacing::TwoSpaces, pairNoteText(pair))) break;
    // A new list starts with Add available, whatever the list before it had come to.
    add_->setEnabled(true);
    listChanged();
}

void PointsPanel::listChanged() {
    applyDimming();
    updatePlot();
}

void PointsPanel::applyDimming() {
    const PointsPanelDimming d = dimming();
    add_->setEnabled(d.addEnabled);
    remove_->setEnabled(d.removeEnabled);
    removeAll_->setEnabled(d.removeEnabled);
    ok_->setEnabled(d.okEnabled);
    saveAsDefault_->setEnabled(d.saveAsDefaultEnabled);
    calibrationMenu_->menuAction()->setEnabled(d.saveAsDefaultEnabled);
}

void PointsPanel::updatePlot() {
    double C = 0.0, K = 0.0;
    QString name;
    plottedLine(C, K, name);
    const auto listed = points_.inListOrder();
    plot_->showCurves(calibrationCurves(listed, C, K), name);
    fitSummary_->setText(fitSummary());
}

QString PointsPanel::fitSummary() const {
    const auto listed = points_.inListOrder();
    double C = 0.0, K = 0.0;
    if (const char* refusal = fitStraightLine(listed, C, K)) return tr("No fitted line: %1").arg(refusal);
    double sumOfSquares = 0.0;
    for (const CalibrationPoint& p : listed) sumOfSquares += std::pow(p.twoTheta - (C * p.channel + K), 2);
    const double rms = std::sqrt(sumOfSquares / static_cast<double>(listed.size()));
    return tr("Fitted line: K = %1, C = %2\nRMS residual %3 degrees (%4 points)")
        .arg(numberText(K), numberText(C))
        .arg(rms, 0, 'g', 3)
        .arg(listed.size());
}

void PointsPanel::writeDefaultOptions() {
    const std::string path = defaultOptionsPath(session_.projectDir);
    if (saveOptionsFile(path, true, session_.calibration, platform_, session_.settings.lineEnd) == SaveOutcome::Written)
        recordCalibrationOrigin(path, session_.calibrationOrigin, session_.calibration, platform_,
                                session_.settings.lineEnd);
}

void PointsPanel::noteOrigin() {
    // Points taken over from a standard and left as they were: the calibration is the standard's.
    if (!importedStandard_.empty())
        session_.calibrationOrigin = originFromStandard(importedStandard_, session_.calibration);
}

void PointsPanel::calibrationChanged() const {
    if (onCalibrationChanged_) onCalibrationChanged_();
}

}  // namespace s2t::ui
