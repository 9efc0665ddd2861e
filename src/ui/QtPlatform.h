// The platform of the desktop program: Qt message boxes and file dialogs, the progress panel, and
// the wait cursor.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "platform/Platform.h"
#include "ui/BatchFeedback.h"
#include "ui/DialogFolders.h"
#include "ui/UnsavedCalibration.h"

class QFileDialog;

namespace s2t::ui {

// Also asks the batch's "Replace?" with "Yes to All" and "No to All", shows its summary, and asks
// what to do with an unsaved calibration at quit.
class QtPlatform : public Platform, public BatchDialogs, public UnsavedCalibrationQuestion {
public:
    explicit QtPlatform(QWidget* parent = nullptr);
    ~QtPlatform() override;

    // The window that popups belong to when no other window is active (the main panel).
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    // From now on every file dialog starts in the folder it was last left in, as remembered in
    // this program folder.
    void rememberFoldersIn(const std::string& programFolder);

    void messagePopup(std::string_view title, std::string_view text) override;
    bool confirmPopup(std::string_view title, std::string_view text) override;
    std::optional<std::string> fileSelectPopup(const FileSelectOptions& options) override;
    std::optional<std::vector<std::string>> multiFileSelectPopup(const FileSelectOptions& options) override;
    std::optional<std::string> dirSelectPopup(const DirSelectOptions& options) override;
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override;
    void setWaitCursor(bool on) override;

    ReplaceAnswer askReplace(std::string_view title, std::string_view text) override;
    void showSummary(const BatchSummary& summary) override;
    UnsavedCalibrationAnswer askAboutUnsavedCalibration(std::string_view title, std::string_view text) override;

private:
    QWidget* dialogParent() const;
    // A file dialog set up from the options; the caller runs it.
    QFileDialog* makeFileDialog(const FileSelectOptions& options, bool severalFiles) const;
    // The folder a dialog starts in, and the folder it was left in.
    QString startFolder(const std::string& title, const std::string& requested) const;
    void rememberFolder(const std::string& title, const std::string& requested, const QString& chosenFolder);

    QPointer<QWidget> parent_;
    std::unique_ptr<DialogFolders> folders_;
    bool waitCursorOn_ = false;
};

// The name filters of a file dialog from a filter list such as "*.chn; *.guf": one entry per
// pattern, and "All files (*)" unless the extension is restricted.
QStringList nameFiltersFor(const FileSelectOptions& options);

// The filter that a default file pattern such as "*.chn" selects; empty when none matches.
QString defaultNameFilter(const QStringList& filters, const std::string& defaultFileSpec);

}  // namespace s2t::ui
