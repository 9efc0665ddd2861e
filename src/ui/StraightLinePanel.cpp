#include "ui/StraightLinePanel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "options/CalibrationOrigin.h"
#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {

StraightLinePanel::StraightLinePanel(QWidget* parent, Session& session, Platform& platform,
                                     std::function<void()> onCalibrationChanged)
        : QDialog(parent),
          session_(session),
          platform_(platform),
          onCalibrationChanged_(std::move(onCalibrationChanged)),
          kEntry_(new NumberEntry),
          cEntry_(new NumberEntry),
          ok_(nullptr),
          cancel_(nullptr),
          saveAsDefault_(nullptr) {
    setWindowTitle(QString::fromUtf8(messages::kStraightLineTitle));
    setModal(true);
    auto* menuBar = new QMenuBar;
    saveAsDefault_ = menuBar->addMenu(tr("&Calibration"))->addAction(tr("Save as &Default"));

    kEntry_->setValue(session_.calibration.header.K);
    cEntry_->setValue(session_.calibration.header.C);
    const int entryWidth = kEntry_->fontMetrics().horizontalAdvance(QString(24, QLatin1Char('0')));
    kEntry_->setMinimumWidth(entryWidth);
    cEntry_->setMinimumWidth(entryWidth);

    auto* form = new QFormLayout;
    form->addRow(tr("K (degrees):"), kEntry_);
    form->addRow(tr("C (degrees per channel):"), cEntry_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(new QLabel(tr("2-theta = C x channel + K")));
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        takeEntries();
        if (onCalibrationChanged_) onCalibrationChanged_();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(saveAsDefault_, &QAction::triggered, this, [this] { saveAsDefault(); });
}

void StraightLinePanel::takeEntries() {
    session_.calibration.header.K = kEntry_->value();
    session_.calibration.header.C = cEntry_->value();
}

void StraightLinePanel::saveAsDefault() {
    if (!platform_.confirmPopup(messages::kWarning, messages::kOverwriteDefaultSpline)) return;
    takeEntries();
    const std::string path = defaultOptionsPath(session_.projectDir);
    if (saveOptionsFile(path, true, session_.calibration, platform_, session_.settings.lineEnd) == SaveOutcome::Written)
        recordCalibrationOrigin(path, session_.calibrationOrigin, session_.calibration, platform_,
                                session_.settings.lineEnd);
    if (onCalibrationChanged_) onCalibrationChanged_();
}

}  // namespace s2t::ui
