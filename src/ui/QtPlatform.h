// The platform of the desktop program: Qt message boxes and file dialogs, the progress panel, and
// the wait cursor.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "platform/Platform.h"
#include "ui/BatchFeedback.h"

class QFileDialog;

namespace s2t::ui {

// Also asks the batch's "Replace?" with "Yes to All" and "No to All", and shows its summary.
class QtPlatform : public Platform, public BatchDialogs {
public:
    explicit QtPlatform(QWidget* parent = nullptr);
    ~QtPlatform() override;

    // The window that popups belong to when no other window is active (the main panel).
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void messagePopup(std::string_view title, std::string_view text) override;
    bool confirmPopup(std::string_view title, std::string_view text) override;
    std::optional<std::string> fileSelectPopup(const FileSelectOptions& options) override;
    std::optional<std::vector<std::string>> multiFileSelectPopup(const FileSelectOptions& options) override;
    std::optional<std::string> dirSelectPopup(const DirSelectOptions& options) override;
    std::unique_ptr<ProgressDisplay> openProgressDisplay() override;
    void setWaitCursor(bool on) override;

    ReplaceAnswer askReplace(std::string_view title, std::string_view text) override;
    void showSummary(const BatchSummary& summary) override;

private:
    QWidget* dialogParent() const;
    // A file dialog set up from the options; the caller runs it.
    QFileDialog* makeFileDialog(const FileSelectOptions& options, bool severalFiles) const;

    QPointer<QWidget> parent_;
    bool waitCursorOn_ = false;
};

// The name filters of a file dialog from a filter list such as "*.chn; *.guf": one entry per
// pattern, and "All files (*)" unless the extension is restricted.
QStringList nameFiltersFor(const FileSelectOptions& options);

// The filter that a default file pattern such as "*.chn" selects; empty when none matches.
QString defaultNameFilter(const QStringList& filters, const std::string& defaultFileSpec);

}  // namespace s2t::ui
