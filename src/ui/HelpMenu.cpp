#include "ui/HelpMenu.h"
#include "ui/PanelMessages.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>

namespace s2t::ui {
namespace {

void showText(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

QString guideText() {
    return QObject::tr(
        "A day's work with scan2theta\n"
        "\n"
        "1. Add the scans (Add Files..., Ctrl+O, or drop them onto the list). The first file decides the kind:\n"
        "   channel files (*.chn) and GUFI files (*.guf) are never mixed in one list.\n"
        "2. Check the calibration: the preview shows the selected scan under the calibration and mode in force.\n"
        "   The wheel zooms about the cursor, a drag zooms onto a rectangle, a middle or Shift drag and the\n"
        "   arrow keys pan, a double click or Home shows the whole scan; the line under the plot reads out the\n"
        "   channel, 2-theta and count under the cursor. Tick a standard's reflections under the scan with the\n"
        "   list above it, and select several files to overlay them.\n"
        "   Calibration > Straight Line... sets K and C; Linear Fit to Points... fits them to points;\n"
        "   Spline Points... edits the points the spline passes through. Each panel's Standards menu pairs the\n"
        "   reflections of a standard with the peaks of an XFit peak file.\n"
        "3. Choose the conversion (straight line, spline, or a GUFI file's own angles), the output format, and\n"
        "   whether to resample onto a constant step or keep a 2-theta range.\n"
        "4. Convert (Ctrl+R): the program asks for the step, range and CPI options your choices need, then for\n"
        "   the output file or folder. Cancel on the progress panel stops after the file being written.\n"
        "5. Keep a calibration with File > Save Options... (Ctrl+S); Load Options... (Ctrl+L) brings it back.\n"
        "   Save as Default in a calibration panel makes it the one every start begins with; quitting with\n"
        "   another calibration in force asks whether to save it as the default first.\n"
        "\n"
        "The window, the format, the mode, the step, range and CPI options, the preview's scale and\n"
        "standard ticks and each dialog's folder are remembered for the next start (scan2theta-gui.ini\n"
        "in the program folder).");
}

QString aboutText() {
    return QObject::tr(
               "scan2theta %1\n\nConverts X-ray diffraction scans recorded with a multichannel analyser "
               "(MCA channel files, GUFI files) into counts against 2-theta.")
        .arg(QStringLiteral(S2T_VERSION));
}

void addHelpMenu(QMainWindow* window) {
    QMenu* help = window->menuBar()->addMenu(QObject::tr("&Help"));
    QAction* guide = help->addAction(QObject::tr("&Guide"), window, [window] {
        showText(window, QString::fromUtf8(messages::kGuideTitle), guideText());
    });
    guide->setObjectName("helpGuide");
    guide->setShortcut(QKeySequence::HelpContents);
    help->addAction(QObject::tr("&About scan2theta"), window,
                    [window] { showText(window, QString::fromUtf8(messages::kAboutTitle), aboutText()); })
        ->setObjectName("helpAbout");
}

}  // namespace s2t::ui
