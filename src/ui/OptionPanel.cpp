#include "ui/OptionPanel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/NumberEntry.h"

namespace s2t::ui {

OptionPanel::OptionPanel(const QString& title, const QString& description, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    body_ = new QVBoxLayout(this);
    auto* about = new QLabel(description, this);
    about->setWordWrap(true);
    body_->addWidget(about);
    body_->addSpacing(4);
    form_ = new QFormLayout;
    form_->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    body_->addLayout(form_);
    body_->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    cancelButton_ = buttons->button(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    body_->addWidget(buttons);
    setMinimumWidth(430);
}

NumberEntry* OptionPanel::addNumberRow(const QString& label, const char* name) {
    auto* entry = new NumberEntry(this);
    entry->setObjectName(name);
    entry->setFixedWidth(120);
    form_->addRow(label, entry);
    return entry;
}

void OptionPanel::accept() {
    if (store()) QDialog::accept();
}

}  // namespace s2t::ui
