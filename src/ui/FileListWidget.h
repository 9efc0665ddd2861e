// The main panel's file list: one item per input file, the full path as its text and the file's
// kind as its value. Files dropped onto it are handed on, to be added by the same rules as files
// chosen in the add popup.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QListWidget>

#include "engine/BatchRun.h"

namespace s2t::ui {

class FileListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit FileListWidget(QWidget* parent = nullptr);

    void appendFile(const BatchInput& file);
    std::vector<BatchInput> files() const;
    std::vector<std::int32_t> kinds() const;

signals:
    void filesDropped(const std::vector<std::string>& paths);
    // The Delete key, which removes the selected files as the Remove button does.
    void deletePressed();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The local file paths of a drop, in order.
std::vector<std::string> droppedPaths(const QMimeData* data);

}  // namespace s2t::ui
