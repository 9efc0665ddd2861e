#include "ui/PreviewSelection.h"

#include <QFileInfo>
#include <QListWidget>

namespace s2t::ui {
namespace {

BatchInput inputOf(const QListWidgetItem& item) { return {item.text().toStdString(), item.data(Qt::UserRole).toInt()}; }

}  // namespace

std::vector<BatchInput> previewedFiles(const QListWidget& list) {
    std::vector<BatchInput> files;
    const QListWidgetItem* current = list.currentItem();
    if (!current) return files;
    files.push_back(inputOf(*current));
    if (!current->isSelected()) return files;
    for (int row = 0; row < list.count(); ++row) {
        const QListWidgetItem* item = list.item(row);
        if (item != current && item->isSelected()) files.push_back(inputOf(*item));
    }
    return files;
}

PreviewSelection readPreviewSelection(const Session& session, const std::vector<BatchInput>& files,
                                      const MainPanelChoices& choices) {
    const Conversion conversion = readBatchChoices(choices, session.settings.constStepOpts).conversion;
    // The angles a channel list's points would have: the readout gives them beside the channel.
    MainPanelChoices angles = choices;
    angles.convertToTwoTheta = true;
    const Conversion angleConversion = readBatchChoices(angles, session.settings.constStepOpts).conversion;

    PreviewSelection selection;
    for (const BatchInput& file : files) {
        if (static_cast<int>(selection.scans.size()) == kMostOverlaidScans) {
            ++selection.leftOut;
            continue;
        }
        const QString path = QString::fromStdString(file.path);
        selection.scans.push_back(
            {QFileInfo(path).fileName(), previewScan(session, file.path, file.fileType, conversion, angleConversion)});
    }
    return selection;
}

}  // namespace s2t::ui
