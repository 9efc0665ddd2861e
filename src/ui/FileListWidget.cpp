#include "ui/FileListWidget.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include "engine/InputFormats.h"

namespace s2t::ui {
namespace {

QString kindName(std::int32_t fileType) {
    const InputFormatInfo& format = findInputFormat(fileType);
    const QString label = QString::fromUtf8(format.label.data(), static_cast<qsizetype>(format.label.size()));
    if (format.fileType == kOtherFileType) return QObject::tr("%1 kind (read as an MCA channel file)").arg(label);
    return label;
}

}  // namespace

FileListWidget::FileListWidget(QWidget* parent) : QListWidget(parent) {
    // Shift and Ctrl select several files for Remove.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
    setTextElideMode(Qt::ElideMiddle);
    setUniformItemSizes(true);
}

void FileListWidget::appendFile(const BatchInput& file) {
    auto* item = new QListWidgetItem(QString::fromStdString(file.path), this);
    item->setData(Qt::UserRole, file.fileType);
    item->setToolTip(QString::fromStdString(file.path) + "\n" + kindName(file.fileType));
}

std::vector<BatchInput> FileListWidget::files() const {
    std::vector<BatchInput> list;
    for (int i = 0; i < count(); ++i)
        list.push_back({item(i)->text().toStdString(), item(i)->data(Qt::UserRole).toInt()});
    return list;
}

std::vector<std::int32_t> FileListWidget::kinds() const {
    std::vector<std::int32_t> list;
    for (int i = 0; i < count(); ++i) list.push_back(item(i)->data(Qt::UserRole).toInt());
    return list;
}

std::vector<std::string> droppedPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

void FileListWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedPaths(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void FileListWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedPaths(event->mimeData()).empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void FileListWidget::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = droppedPaths(event->mimeData());
    if (paths.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

void FileListWidget::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Backspace) {
        emit deletePressed();
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace s2t::ui
