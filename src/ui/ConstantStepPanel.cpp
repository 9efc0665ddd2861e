#include "ui/ConstantStepPanel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {

ConstantStepPanel::ConstantStepPanel(Session& session, Platform& platform, QWidget* parent)
        : OptionPanel(QString::fromUtf8(messages::kConstantStepTitle),
                      tr("The output is resampled onto a grid of constant 2-theta step."), parent),
          session_(session),
          platform_(platform) {
    stepEntry_ = addNumberRow(tr("2-theta step (degrees):"), "stepEntry");
    linearButton_ = new QRadioButton(tr("Linear interpolation"), this);
    linearButton_->setObjectName("linearInterpolation");
    splineButton_ = new QRadioButton(tr("Cubic spline interpolation"), this);
    splineButton_->setObjectName("splineInterpolation");
    fractionalBox_ = new QCheckBox(tr("Keep fractional counts"), this);
    fractionalBox_->setObjectName("fractionalCounts");

    // Our own exclusion rule decides, so that clicking the selected button keeps it selected.
    linearButton_->setAutoExclusive(false);
    splineButton_->setAutoExclusive(false);
    connect(linearButton_, &QRadioButton::clicked, this, [this](bool on) { interpolationClicked(false, on); });
    connect(splineButton_, &QRadioButton::clicked, this, [this](bool on) { interpolationClicked(true, on); });

    form()->addRow(tr("Interpolation:"), linearButton_);
    form()->addRow(QString(), splineButton_);
    form()->addRow(QString(), fractionalBox_);

    showEntries(presetConstStep(session_.settings.constStepOpts));
}

ConstStepEntries ConstantStepPanel::entries() const {
    ConstStepEntries entries;
    entries.step = stepEntry_->value();
    entries.linearInterpolation = linearButton_->isChecked();
    entries.splineInterpolation = splineButton_->isChecked();
    entries.fractionalCounts = fractionalBox_->isChecked();
    return entries;
}

void ConstantStepPanel::showEntries(const ConstStepEntries& entries) {
    stepEntry_->setValue(entries.step);
    linearButton_->setChecked(entries.linearInterpolation);
    splineButton_->setChecked(entries.splineInterpolation);
    fractionalBox_->setChecked(entries.fractionalCounts);
}

void ConstantStepPanel::interpolationClicked(bool splineButton, bool onAfterClick) {
    ConstStepEntries current = entries();
    clickInterpolation(current, splineButton, onAfterClick);
    linearButton_->setChecked(current.linearInterpolation);
    splineButton_->setChecked(current.splineInterpolation);
}

bool ConstantStepPanel::store() { return saveConstOptions(session_.settings.constStepOpts, entries(), platform_); }

}  // namespace s2t::ui
