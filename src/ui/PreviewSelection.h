// Which listed scans the preview shows, and reading them: the current file first, then the other
// selected files in list order, each under the conversion the main panel's choices give.
#pragma once

#include <vector>

#include "engine/BatchRun.h"
#include "engine/Session.h"
#include "ui/ScanPreview.h"

class QListWidget;

namespace s2t::ui {

// More overlaid scans than this read as a tangle, and each costs a file read per redraw.
inline constexpr int kMostOverlaidScans = 8;

// The files to preview: the current item first, then the other selected items in list order (the
// current item alone when it is not selected).
std::vector<BatchInput> previewedFiles(const QListWidget& list);

struct PreviewSelection {
    std::vector<PreviewedScan> scans;
    int leftOut = 0;  // selected files beyond kMostOverlaidScans
};

PreviewSelection readPreviewSelection(const Session& session, const std::vector<BatchInput>& files,
                                      const MainPanelChoices& choices);

}  // namespace s2t::ui
