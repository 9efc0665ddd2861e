#include "ui/ProgressPanel.h"

#include <algorithm>
#include <cmath>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QVBoxLayout>

namespace s2t::ui {
namespace {

QString text(std::string_view value) {
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

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
    setWindowTitle(tr("Converting"));
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

    indicatorLabel_ = new QLabel(QStringLiteral("Progress"), this);
    indicatorLabel_->setObjectName("progressLabel");
    indicator_ = new QProgressBar(this);
    indicator_->setObjectName("progress");
    indicator_->setRange(0, 100);
    indicator_->setValue(0);
    counter_ = new QLabel(this);
    counter_->setObjectName("fileCounter");
    counter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    layout->addSpacing(6);
    layout->addWidget(indicatorLabel_);
    layout->addWidget(indicator_);
    layout->addWidget(counter_);
    sinceRepaint_.start();
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
    // Escape would reject the dialog; there is nothing to cancel.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

void ProgressPanel::repaintNow(bool force) {
    if (!isVisible()) return;
    if (!force && sinceRepaint_.elapsed() < 40) return;
    sinceRepaint_.restart();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace s2t::ui
