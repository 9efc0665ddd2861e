#include "ui/ProgressPanel.h"

#include <algorithm>
#include <cmath>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Messages.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {
namespace {

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

QLineEdit* readOnlyField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setMinimumWidth(460);
    return field;
}

}  // namespace

ProgressPanel::ProgressPanel(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(messages::kConvertingTitle));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    inputField_ = readOnlyField(this, "inputFile");
    outputField_ = readOnlyField(this, "outputFile");
    form->addRow(tr("Input file:"), inputField_);
    form->addRow(tr("Output file:"), outputField_);
    layout->addLayout(form);

    indicatorLabel_ = new QLabel(QString::fromUtf8(messages::kProgressLabel), this);
    indicatorLabel_->setObjectName("progressLabel");
    indicator_ = new QProgressBar(this);
    indicator_->setObjectName("progress");
    indicator_->setRange(0, 100);
    indicator_->setValue(0);
    counter_ = new QLabel(this);
    counter_->setObjectName("fileCounter");
    counter_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    layout->addSpacing(6);
    layout->addWidget(indicatorLabel_);
    layout->addWidget(indicator_);
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName("cancelBatch");
    cancel_->setAutoDefault(false);
    cancel_->setToolTip(tr("Stop the batch once the file being written is finished"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(counter_, 1);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(cancel_, &QPushButton::clicked, this, &ProgressPanel::requestStop);
    sinceRepaint_.start();
    sinceInput_.start();
}

void ProgressPanel::requestStop() {
    stopRequested_ = true;
    cancel_->setEnabled(false);
    cancel_->setText(tr("Stopping after this file..."));
}

bool ProgressPanel::stopRequested() {
    // The batch asks between files; the clicks it finds are those made meanwhile (the panel is
    // application modal, so no other window takes them). Read at most every 20 ms.
    if (!stopRequested_ && isVisible() && sinceInput_.elapsed() >= 20) {
        sinceInput_.restart();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return stopRequested_;
}

void ProgressPanel::setLabel(std::string_view label) {
    indicatorLabel_->setText(text(label));
    repaintNow(true);
}

void ProgressPanel::setValue(double percent) {
    const double clamped = std::isfinite(percent) ? std::clamp(percent, 0.0, 100.0) : 0.0;
    indicator_->setValue(static_cast<int>(clamped));
    repaintNow(false);
}

void ProgressPanel::setInputFile(std::string_view path) {
    inputField_->setText(text(path));
    repaintNow(true);
}

void ProgressPanel::setOutputFile(std::string_view path) {
    outputField_->setText(text(path));
    repaintNow(true);
}

void ProgressPanel::setFileCounter(std::string_view counterText) {
    counter_->setText(text(counterText));
    repaintNow(true);
}

QString ProgressPanel::label() const { return indicatorLabel_->text(); }
int ProgressPanel::value() const { return indicator_->value(); }
QString ProgressPanel::inputFile() const { return inputField_->text(); }
QString ProgressPanel::outputFile() const { return outputField_->text(); }
QString ProgressPanel::fileCounter() const { return counter_->text(); }

void ProgressPanel::closeEvent(QCloseEvent* event) { event->ignore(); }

void ProgressPanel::keyPressEvent(QKeyEvent* event) {
    // Escape would reject the dialog at once; it asks for the stop the Cancel button asks for.
    if (event->key() == Qt::Key_Escape) {
        if (cancel_->isEnabled()) requestStop();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ProgressPanel::repaintNow(bool force) {
    if (!isVisible()) return;
    if (!force && sinceRepaint_.elapsed() < 40) return;
    sinceRepaint_.restart();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace s2t::ui
