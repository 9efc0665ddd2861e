#include "ui/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "ui/BatchSummaryDialog.h"
#include "ui/PanelMessages.h"
#include "ui/ProgressPanel.h"

namespace s2t::ui {
namespace {

QString qtext(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

std::string stdtext(const QString& value) { return value.toUtf8().toStdString(); }

QString startDirectory(const std::string& directory) {
    return directory.empty() ? QDir::currentPath() : QString::fromStdString(directory);
}

}  // namespace

QStringList nameFiltersFor(const FileSelectOptions& options) {
    QStringList filters;
    const QString list = QString::fromStdString(options.filterList);
    for (const QString& part : list.split(';', Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty()) filters << QStringLiteral("%1 (%1)").arg(pattern);
    }
    if (!options.restrictExtension || filters.isEmpty()) filters << QObject::tr("All files (*)");
    return filters;
}

QString defaultNameFilter(const QStringList& filters, const std::string& defaultFileSpec) {
    const QString pattern = QString::fromStdString(defaultFileSpec).trimmed();
    for (const QString& filter : filters)
        if (filter.startsWith(pattern + " (")) return filter;
    return QString();
}

QtPlatform::QtPlatform(QWidget* parent) : parent_(parent) {}

QtPlatform::~QtPlatform() {
    if (waitCursorOn_) QApplication::restoreOverrideCursor();
}

QWidget* QtPlatform::dialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    if (parent_ && parent_->isVisible()) return parent_;
    return nullptr;
}

void QtPlatform::messagePopup(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, qtext(title), qtext(text), QMessageBox::Ok, dialogParent());
    // Messages quote paths and file contents: "<b>" in a file name is text, not markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtPlatform::confirmPopup(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Question, qtext(title), qtext(text), QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

ReplaceAnswer QtPlatform::askReplace(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Question, qtext(title), qtext(text),
                    QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll, dialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes: return ReplaceAnswer::Yes;
    case QMessageBox::YesToAll: return ReplaceAnswer::YesToAll;
    case QMessageBox::NoToAll: return ReplaceAnswer::NoToAll;
    default: return ReplaceAnswer::No;
    }
}

UnsavedCalibrationAnswer QtPlatform::askAboutUnsavedCalibration(std::string_view title, std::string_view text) {
    QMessageBox box(QMessageBox::Question, qtext(title), qtext(text), QMessageBox::NoButton, dialogParent());
    box.setTextFormat(Qt::PlainText);
    QPushButton* save = box.addButton(QString::fromUtf8(messages::kSaveAsDefaultButton), QMessageBox::AcceptRole);
    save->setObjectName("saveAsDefault");
    QPushButton* discard =
        box.addButton(QString::fromUtf8(messages::kQuitWithoutSavingButton), QMessageBox::DestructiveRole);
    discard->setObjectName("quitWithoutSaving");
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return UnsavedCalibrationAnswer::SaveAsDefault;
    if (box.clickedButton() == discard) return UnsavedCalibrationAnswer::QuitWithoutSaving;
    return UnsavedCalibrationAnswer::Cancel;
}

void QtPlatform::showSummary(const BatchSummary& summary) {
    BatchSummaryDialog dialog(summary, dialogParent());
    dialog.exec();
}

void QtPlatform::rememberFoldersIn(const std::string& programFolder) {
    folders_ = std::make_unique<DialogFolders>(programFolder);
}

QString QtPlatform::startFolder(const std::string& title, const std::string& requested) const {
    const QString folder = startDirectory(requested);
    return folders_ ? folders_->startFolder(title, folder) : folder;
}

void QtPlatform::rememberFolder(const std::string& title, const std::string& requested, const QString& chosenFolder) {
    if (folders_) folders_->remember(title, startDirectory(requested), chosenFolder);
}

QFileDialog* QtPlatform::makeFileDialog(const FileSelectOptions& options, bool severalFiles) const {
    auto* dialog = new QFileDialog(dialogParent(), QString::fromStdString(options.title),
                                   startFolder(options.title, options.defaultDirectory));
    if (severalFiles) {
        dialog->setFileMode(QFileDialog::ExistingFiles);
    } else if (options.forSaving) {
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        // Whoever writes the file asks before replacing it, with its own question.
        dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    // A read-only dialog offers no New Folder button (nor renaming or deleting).
    if (!options.allowMakeDirectory) dialog->setOption(QFileDialog::ReadOnly, true);
    const QStringList filters = nameFiltersFor(options);
    dialog->setNameFilters(filters);
    const QString chosen = defaultNameFilter(filters, options.defaultFileSpec);
    if (!chosen.isEmpty()) dialog->selectNameFilter(chosen);
    return dialog;
}

std::optional<std::string> QtPlatform::fileSelectPopup(const FileSelectOptions& options) {
    std::unique_ptr<QFileDialog> dialog(makeFileDialog(options, false));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    rememberFolder(options.title, options.defaultDirectory, QFileInfo(dialog->selectedFiles().front()).absolutePath());
    return stdtext(dialog->selectedFiles().front());
}

std::optional<std::vector<std::string>> QtPlatform::multiFileSelectPopup(const FileSelectOptions& options) {
    std::unique_ptr<QFileDialog> dialog(makeFileDialog(options, true));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    rememberFolder(options.title, options.defaultDirectory, QFileInfo(dialog->selectedFiles().front()).absolutePath());
    std::vector<std::string> paths;
    for (const QString& path : dialog->selectedFiles()) paths.push_back(stdtext(path));
    return paths;
}

std::optional<std::string> QtPlatform::dirSelectPopup(const DirSelectOptions& options) {
    QFileDialog dialog(dialogParent(), QString::fromStdString(options.title),
                       startFolder(options.title, options.defaultDirectory));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!options.allowMakeDirectory) dialog.setOption(QFileDialog::ReadOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    rememberFolder(options.title, options.defaultDirectory, dialog.selectedFiles().front());
    return stdtext(dialog.selectedFiles().front());
}

std::unique_ptr<ProgressDisplay> QtPlatform::openProgressDisplay() {
    auto panel = std::make_unique<ProgressPanel>(parent_);
    panel->show();
    panel->raise();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return panel;
}

void QtPlatform::setWaitCursor(bool on) {
    if (on == waitCursorOn_) return;
    waitCursorOn_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace s2t::ui
