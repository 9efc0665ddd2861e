#include "ui/BatchSummaryDialog.h"
#include "ui/PanelMessages.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace s2t::ui {

BatchSummaryDialog::BatchSummaryDialog(const BatchSummary& summary, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(messages::kBatchFinished));
    headline_ = new QLabel(QString::fromStdString(summary.headline), this);
    headline_->setObjectName("summaryHeadline");
    headline_->setTextFormat(Qt::PlainText);
    headline_->setWordWrap(true);
    details_ = new QPlainTextEdit(this);
    details_->setObjectName("summaryDetails");
    details_->setReadOnly(true);
    details_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QString text;
    for (const BatchMessage& message : summary.messages) {
        if (!text.isEmpty()) text += "\n\n";
        text +=
            QString::fromStdString(message.input.empty() ? std::string(messages::kBeforeTheFirstFile) : message.input);
        text += "\n    " + QString::fromStdString(message.title) + ": ";
        text += QString::fromStdString(message.text).replace('\n', "\n    ");
    }
    details_->setPlainText(text);
    details_->setVisible(!summary.messages.empty());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headline_);
    layout->addWidget(details_, 1);
    layout->addWidget(buttons);
    resize(640, summary.messages.empty() ? 120 : 400);
}

QString BatchSummaryDialog::headline() const { return headline_->text(); }

QString BatchSummaryDialog::details() const { return details_->toPlainText(); }

}  // namespace s2t::ui
