// scan2theta-screenshots [DIR]: builds each window of the desktop program with sample state, off
// screen, and saves one PNG per window into DIR (default docs/screenshots). A new window gets one
// line in shots().
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "engine/Session.h"
#include "options/OptionFile.h"
#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/LinearPointsPanel.h"
#include "ui/MainPanel.h"
#include "ui/PreviewScan.h"
#include "ui/ProgressPanel.h"
#include "ui/RangePanel.h"
#include "ui/ScanPeaksDialog.h"
#include "ui/ScanPreview.h"
#include "ui/SplinePanel.h"
#include "ui/StandardsWindow.h"
#include "ui/StartUp.h"
#include "ui/StraightLinePanel.h"

namespace {

namespace fs = std::filesystem;

// What every window is built from: a session with the built-in calibration in a scratch program
// folder, a platform that never pops anything up, and the sample scans.
struct ShotContext {
    s2t::Session session;
    s2t::ui::QuietPlatform platform;
    std::string samples;  // folder of the sample scans, as the file list shows it
};

struct Shot {
    const char* fileName;
    QSize size;  // empty: the window's own size
    std::function<std::unique_ptr<QWidget>(ShotContext&)> make;
};

std::vector<std::string> samplesOf(const ShotContext& context, const char* extension) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(context.samples, error))
        if (entry.path().extension() == extension)
            files.push_back((fs::path(context.samples) / entry.path().filename()).string());
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<QWidget> mainPanelWith(ShotContext& context, const std::vector<std::string>& files,
                                       const std::function<void(s2t::ui::MainPanel&)>& adjust) {
    auto panel = std::make_unique<s2t::ui::MainPanel>(context.session, context.platform);
    s2t::ui::fillMainPanel(*panel, files);
    if (adjust) adjust(*panel);
    return panel;
}

// The preview zoomed onto the highest peak of its scan, give or take `halfWidth` degrees, with the
// readout on the peak's top.
void zoomOnHighestPeak(s2t::ui::ScanPreview& preview, double halfWidth) {
    if (preview.pointCount() == 0) return;
    int highest = 0;
    for (int i = 1; i < preview.pointCount(); ++i)
        if (preview.pointAt(i).y() > preview.pointAt(highest).y()) highest = i;
    const QPointF peak = preview.pointAt(highest);
    preview.zoomTo({peak.x() - halfWidth, peak.x() + halfWidth}, nullptr);
    preview.pointTo(QPointF(peak.x(), preview.countScaleMap().toAxis(peak.y())));
}

void clickNamed(QWidget& panel, const char* name) {
    if (auto* button = panel.findChild<QAbstractButton*>(name)) button->click();
}

void chooseFormat(QWidget& panel, int format) {
    auto* ring = panel.findChild<QComboBox*>("outputFormat");
    ring->setCurrentIndex(ring->findData(format));
    emit ring->activated(ring->currentIndex());
}

// The peaks XFit finds in the silicon sample scan (examples/si-standard.chn): channels a little
// off the straight line, as fitted peak positions are.
std::string writeSiliconPeaks(const ShotContext& context) {
    const std::string path = (fs::path(context.session.projectDir) / "si-standard-peaks.txt").string();
    std::ofstream(path) << "650.35\n1349.98\n1677.97\n2160.34\n2430.14\n2862.97\n3119.45\n3556.69\n3829.96\n";
    return path;
}

// Selects the silicon standard and pairs it with the silicon peaks.
void importSilicon(s2t::ui::StandardsWindow& window, const ShotContext& context) {
    const auto found = window.standardsList()->findItems("Silicon", Qt::MatchExactly);
    if (!found.isEmpty()) window.standardsList()->setCurrentItem(found.front());
    window.importPeaksFrom(writeSiliconPeaks(context));
}

std::vector<Shot> shots() {
    return {
        {"main-panel.png",
         {1280, 800},
         [](ShotContext& c) {
             auto files = samplesOf(c, ".chn");
             return mainPanelWith(c, files, [](s2t::ui::MainPanel& panel) {
                 panel.findChild<QListWidget*>("fileList")->setCurrentRow(0);
                 clickNamed(panel, "limitRangeBox");
                 chooseFormat(panel, s2t::kXfitOutput);
             });
         }},
        {"main-panel-gufi.png",
         {1280, 800},
         [](ShotContext& c) {
             return mainPanelWith(c, samplesOf(c, ".guf"), [](s2t::ui::MainPanel& panel) {
                 clickNamed(panel, "fileAnglesMode");
                 chooseFormat(panel, s2t::kCpiOutput);
             });
         }},
        {"main-panel-channels.png",
         {1280, 800},
         [](ShotContext& c) {
             auto files = samplesOf(c, ".chn");
             return mainPanelWith(c, files, [](s2t::ui::MainPanel& panel) {
                 panel.findChild<QListWidget*>("fileList")->setCurrentRow(1);
                 clickNamed(panel, "convertToTwoTheta");
             });
         }},
        {"preview-zoomed-peak.png",
         {1280, 800},
         [](ShotContext& c) {
             // The silicon scan zoomed onto its strongest reflection, the silicon standard's
             // reflections ticked under it, the readout on the peak's top.
             return mainPanelWith(c, {"examples/si-standard.chn"}, [](s2t::ui::MainPanel& panel) {
                 panel.preview().chooseStandard("Silicon");
                 zoomOnHighestPeak(panel.preview(), 1.5);
             });
         }},
        {"preview-overlay-log.png",
         {1280, 800},
         [](ShotContext& c) {
             // Two scans overlaid on the log scale, with the corundum standard's reflections.
             auto files = samplesOf(c, ".chn");
             return mainPanelWith(c, files, [](s2t::ui::MainPanel& panel) {
                 auto* list = panel.findChild<QListWidget*>("fileList");
                 list->setCurrentRow(1);
                 if (list->count() > 0) list->item(0)->setSelected(true);
                 panel.preview().setCountScale(s2t::ui::CountScale::Log);
                 panel.preview().chooseStandard("Corundum");
             });
         }},
        // What a 1366x768 screen at 150 % leaves the window (in logical pixels): the preview
        // scrolls, every other control stays in view.
        {"main-panel-small-screen.png",
         {910, 450},
         [](ShotContext& c) {
             return mainPanelWith(c, samplesOf(c, ".chn"), [](s2t::ui::MainPanel& panel) {
                 panel.findChild<QListWidget*>("fileList")->setCurrentRow(0);
             });
         }},
        {"constant-step-panel.png",
         {},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             c.session.settings.constStepOpts = {s2t::kSplineInterpolation, 0, 0.02};
             return std::make_unique<s2t::ui::ConstantStepPanel>(c.session, c.platform, nullptr);
         }},
        {"range-panel.png",
         {},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             c.session.settings.theRangeOptions = {20.0, 80.0};
             return std::make_unique<s2t::ui::RangePanel>(c.session, c.platform, nullptr);
         }},
        {"cpi-panel.png",
         {},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             return std::make_unique<s2t::ui::CpiPanel>(c.session, nullptr);
         }},
        {"progress-panel.png",
         {},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             auto panel = std::make_unique<s2t::ui::ProgressPanel>();
             const auto files = samplesOf(c, ".chn");
             const std::string input = files.empty() ? "/data/scans/si-standard.chn" : files.front();
             panel->setInputFile(input);
             fs::path output = fs::path(input).parent_path() / "converted" / fs::path(input).filename();
             panel->setOutputFile(output.replace_extension(".dat").string());
             panel->setFileCounter("File 1 of 3");
             panel->setValue(60.0);
             return panel;
         }},
        {"straight-line-panel.png",
         {},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             return std::make_unique<s2t::ui::StraightLinePanel>(nullptr, c.session, c.platform, nullptr);
         }},
        {"linear-points-panel.png",
         {900, 600},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             return std::make_unique<s2t::ui::LinearPointsPanel>(nullptr, c.session, c.platform, nullptr);
         }},
        {"spline-panel.png",
         {900, 600},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             // The points of a silicon standard, taken over from the standards window.
             auto panel = std::make_unique<s2t::ui::SplinePanel>(nullptr, c.session, c.platform, nullptr);
             s2t::ui::StandardsWindow* window = panel->importStandards();
             importSilicon(*window, c);
             window->okButton()->click();
             panel->pointList()->setCurrentRow(3);
             return panel;
         }},
        {"find-peaks-in-scan.png",
         {1000, 760},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             // What "Find Peaks in Scan..." finds in the silicon sample scan, one pair unticked.
             auto* window = new s2t::ui::StandardsWindow(nullptr, c.session, c.platform);
             const auto found = window->standardsList()->findItems("Silicon", Qt::MatchExactly);
             if (!found.isEmpty()) window->standardsList()->setCurrentItem(found.front());
             s2t::ui::ScanPeaksDialog* dialog = window->findPeaksInScanFrom("examples/si-standard.chn");
             if (!dialog) {
                 delete window;
                 return std::make_unique<QLabel>("No peaks were matched in examples/si-standard.chn.");
             }
             // The dialog stands alone on the picture and takes the window with it when it goes.
             dialog->setAttribute(Qt::WA_DeleteOnClose, false);
             dialog->setParent(nullptr);
             window->setParent(dialog, window->windowFlags());
             dialog->pairsList()->item(3)->setCheckState(Qt::Unchecked);
             return std::unique_ptr<QWidget>(dialog);
         }},
        {"standards-window.png",
         {},
         [](ShotContext& c) -> std::unique_ptr<QWidget> {
             auto window = std::make_unique<s2t::ui::StandardsWindow>(nullptr, c.session, c.platform);
             importSilicon(*window, c);
             return window;
         }},
    };
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const fs::path outDir = fs::absolute(arguments.size() > 1 ? arguments[1].toStdString() : "docs/screenshots");
    fs::create_directories(outDir);
    // The sample scans are listed as examples/..., the same on every machine.
    fs::current_path(S2T_SOURCE_DIR);

    const fs::path scratch =
        fs::temp_directory_path() / ("scan2theta-shots-" + std::to_string(QCoreApplication::applicationPid()));
    int failures = 0;
    for (const Shot& shot : shots()) {
        ShotContext context;
        context.samples = "examples";
        if (!s2t::ui::startSession(context.session, (scratch / "home").string(), context.platform)) return 1;
        std::unique_ptr<QWidget> window = shot.make(context);
        if (!shot.size.isEmpty()) window->resize(shot.size);
        window->show();
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
        const std::string path = (outDir / shot.fileName).string();
        if (window->grab().save(QString::fromStdString(path))) {
            std::printf("%s\n", path.c_str());
        } else {
            std::fprintf(stderr, "scan2theta-screenshots: could not write %s\n", path.c_str());
            ++failures;
        }
    }
    fs::remove_all(scratch);
    return failures == 0 ? 0 : 1;
}
