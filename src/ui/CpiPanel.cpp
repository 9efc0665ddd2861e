#include "ui/CpiPanel.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {

CpiPanel::CpiPanel(Session& session, QWidget* parent)
        : OptionPanel(QString::fromUtf8(messages::kCpiTitle), tr("Written into the header of every CPI file."), parent),
          session_(session) {
    targetEntry_ = new QLineEdit(this);
    targetEntry_->setObjectName("target");
    targetEntry_->setMaxLength(static_cast<int>(kMaxCpiTargetLength));
    targetEntry_->setFixedWidth(120);
    // Printable ASCII only: one character is one byte of the header, so 7 typed characters
    // always fit the record and the header's first two characters are two letters.
    targetEntry_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\x20-\\x7E]*")), targetEntry_));
    form()->addRow(tr("Target:"), targetEntry_);
    wavelengthEntry_ = addNumberRow(tr("Wavelength (Angstrom):"), "wavelength");

    const CpiEntries preset = presetCpi(session_.settings.CPIOpt);
    targetEntry_->setText(QString::fromStdString(preset.target));
    wavelengthEntry_->setValue(preset.wavelength);
}

bool CpiPanel::store() {
    CpiEntries entries;
    entries.target = targetEntry_->text().toStdString();
    entries.wavelength = wavelengthEntry_->value();
    saveCPIOptions(session_.settings.CPIOpt, entries);
    return true;
}

}  // namespace s2t::ui
