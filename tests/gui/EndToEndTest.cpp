// The desktop program from the first click to the written files, run under a German locale: two
// sample scans are added, the choices made on the main panel, the option panels confirmed, the
// output directory chosen, and every written file (and the Default.pre made at start-up) must be
// byte for byte what `scan2theta convert` writes with the same choices in the C locale.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/CliRun.h"
#include "support/ModalDialogs.h"
#include "support/TempDir.h"
#include "support/UserInput.h"
#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/MainPanel.h"
#include "ui/NumberEntry.h"
#include "ui/OptionPanelChain.h"
#include "ui/QtPlatform.h"
#include "ui/RangePanel.h"
#include "ui/StartUp.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::clickOn;
using s2t::test::typeInto;
using s2t::test::whenModal;

namespace {

namespace fs = std::filesystem;

const char* const kGerman = "de_DE.UTF-8";

// Copies sample scans into folder; returns their new paths in the given order.
std::vector<std::string> copySamples(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        fs::copy_file(std::string(S2T_SOURCE_DIR) + "/examples/" + name, path);
        paths.push_back(path);
    }
    return paths;
}

// Runs the command line in the C locale, whatever this process runs under.
test::CliResult runCliInCLocale(const std::vector<std::string>& words) {
    const std::string lang = std::getenv("LANG") ? std::getenv("LANG") : "";
    const std::string all = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    setenv("LANG", "C", 1);
    setenv("LC_ALL", "C", 1);
    test::CliResult result = test::runCli(words);
    setenv("LANG", lang.c_str(), 1);
    setenv("LC_ALL", all.c_str(), 1);
    return result;
}

// Converts fresh copies of the samples with the command line, in the C locale, with a program
// folder of its own inside cli, writing to cli/<out>; returns its exit status.
int convertByCli(test::TempDir& cli, const std::vector<std::string>& samples, const std::vector<std::string>& options,
                 const std::string& out = "out") {
    std::vector<std::string> words = {"convert", "--home", cli.file("home"), "-q", "-o", cli.file(out)};
    words.insert(words.end(), options.begin(), options.end());
    for (const std::string& input : copySamples(cli.path(), samples)) words.push_back(input);
    return runCliInCLocale(words).status;
}

void chooseFormat(MainPanel& panel, std::int32_t format) {
    auto* ring = panel.findChild<QComboBox*>("outputFormat");
    ring->setFocus();
    QTest::keyClick(ring, Qt::Key_Home);
    for (int i = 0; i < ring->findData(format); ++i) QTest::keyClick(ring, Qt::Key_Down);
    QCOMPARE(ring->currentData().toInt(), format);
}

template <class Panel>
Panel* currentPanel(MainPanel& panel) {
    return qobject_cast<Panel*>(panel.optionPanels().currentPanel());
}

// One desktop session: a program folder of its own, the samples added through the add popup.
struct DesktopRun {
    test::TempDir dir;
    std::string home = dir.file("home");
    std::string out = dir.file("out");
    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<MainPanel> panel;

    explicit DesktopRun(const std::vector<std::string>& samples) {
        fs::create_directories(out);
        fs::create_directories(dir.file("in"));
        QVERIFY(startSession(session, home, platform));
        panel = std::make_unique<MainPanel>(session, platform);
        fillMainPanel(*panel, {});
        panel->show();
        platform.multiFileAnswers.push_back(copySamples(dir.file("in"), samples));
        panel->findChild<QPushButton*>("addFiles")->click();
    }

    void convertInto() {
        platform.dirAnswers.push_back(out);
        panel->findChild<QPushButton*>("convert")->click();
    }
};

// The desktop program as a user starts it, with its real dialogs, and these samples in its list.
struct RealDesktop {
    explicit RealDesktop(const std::vector<std::string>& samples) {
        started = startSession(session, dir.file("home"), platform);
        panel = std::make_unique<MainPanel>(session, platform);
        platform.setParentWidget(panel.get());
        fillMainPanel(*panel, copySamples(dir.path(), samples));
        panel->show();
    }

    test::TempDir dir;
    Session session;
    QtPlatform platform;
    bool started = false;
    std::unique_ptr<MainPanel> panel;
};

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const char* decimal = std::localeconv()->decimal_point;
        if (std::string(decimal) != ",") QSKIP("the German locale is not installed (scripts/setup installs it)");
    }

    void xfitWithTheSplineCalibration() {
        DesktopRun gui({"si-standard.chn", "corundum.chn"});
        QCOMPARE(gui.panel->listedFiles().size(), std::size_t(2));
        clickOn(gui.panel->findChild<QRadioButton*>("splineMode"));
        chooseFormat(*gui.panel, kXfitOutput);
        gui.convertInto();
        auto* step = currentPanel<ConstantStepPanel>(*gui.panel);
        QVERIFY(step);
        typeInto(step->stepEntry(), "0.02");
        step->okButton()->click();
        QVERIFY(!gui.panel->optionPanels().currentPanel());
        QCOMPARE(gui.panel->lastBatch().converted, 2);
        QVERIFY(gui.platform.messages().empty());
        QVERIFY(gui.panel->isVisible());

        test::TempDir cli;
        QCOMPARE(convertByCli(cli, {"si-standard.chn", "corundum.chn"},
                              {"--calibration", "spline", "-f", "xfit", "-s", "0.02", "--date", gui.platform.date}),
                 0);
        const auto written = test::folderContents(gui.out);
        QCOMPARE(written.size(), std::size_t(2));
        QVERIFY(written.count("si-standard.dat"));
        QVERIFY(written == test::folderContents(cli.file("out")));
        QCOMPARE(test::readFile(defaultOptionsPath(gui.home)), test::readFile(defaultOptionsPath(cli.file("home"))));
    }

    void cpiWithRangeSplineResamplingAndFractionalCounts() {
        DesktopRun gui({"si-standard.chn", "si-corundum-mix.chn"});
        clickOn(gui.panel->findChild<QRadioButton*>("splineMode"));
        chooseFormat(*gui.panel, kCpiOutput);
        clickOn(gui.panel->findChild<QCheckBox*>("limitRangeBox"));
        gui.convertInto();
        auto* step = currentPanel<ConstantStepPanel>(*gui.panel);
        QVERIFY(step);
        typeInto(step->stepEntry(), "0.05");
        clickOn(step->splineButton());
        clickOn(step->fractionalCountsBox());
        step->okButton()->click();
        auto* range = currentPanel<RangePanel>(*gui.panel);
        QVERIFY(range);
        typeInto(range->minEntry(), "20.5");
        typeInto(range->maxEntry(), "80");
        range->okButton()->click();
        auto* cpi = currentPanel<CpiPanel>(*gui.panel);
        QVERIFY(cpi);
        typeInto(cpi->targetEntry(), "Mo");
        typeInto(cpi->wavelengthEntry(), "0.7093");
        cpi->okButton()->click();
        QCOMPARE(gui.panel->lastBatch().converted, 2);
        QVERIFY(gui.platform.messages().empty());

        test::TempDir cli;
        QCOMPARE(convertByCli(cli, {"si-standard.chn", "si-corundum-mix.chn"},
                              {"--calibration", "spline", "-f", "cpi", "-s", "0.05", "--interpolation", "spline",
                               "--fractional-counts", "--range", "20.5:80", "--target", "Mo", "--wavelength", "0.7093",
                               "--date", gui.platform.date}),
                 0);
        const auto written = test::folderContents(gui.out);
        QCOMPARE(written.size(), std::size_t(2));
        QVERIFY(written.at("si-standard.cpi").find("0.7093") != std::string::npos);
        QVERIFY(written == test::folderContents(cli.file("out")));
    }

    void gufiScansWithTheirOwnAnglesAndLfLineEnds() {
        DesktopRun gui({"alumina-scan.guf", "silicon-scan.guf"});
        gui.panel->findChild<QAction*>("lineEndLf")->trigger();
        clickOn(gui.panel->findChild<QRadioButton*>("fileAnglesMode"));
        clickOn(gui.panel->findChild<QCheckBox*>("wholeTwoThetaBox"));
        gui.convertInto();
        QVERIFY(!gui.panel->optionPanels().currentPanel());
        QCOMPARE(gui.panel->lastBatch().converted, 2);

        test::TempDir cli;
        QCOMPARE(convertByCli(cli, {"alumina-scan.guf", "silicon-scan.guf"},
                              {"--calibration", "file", "--whole-angle", "--line-end", "lf"}),
                 0);
        const auto written = test::folderContents(gui.out);
        QCOMPARE(written.size(), std::size_t(2));
        QVERIFY(written.at("silicon-scan.txt").find('\r') == std::string::npos);
        QVERIFY(written == test::folderContents(cli.file("out")));
    }

    void theDesktopPlatformCarriesABatchThroughItsDialogs() {
        RealDesktop desktop({"corundum.chn"});
        QVERIFY(desktop.started);
        test::TempDir& dir = desktop.dir;
        MainPanel& panel = *desktop.panel;
        chooseFormat(panel, kLhpmOutput);
        panel.findChild<QPushButton*>("convert")->click();
        auto* step = currentPanel<ConstantStepPanel>(panel);
        QVERIFY(step);
        typeInto(step->stepEntry(), "0.04");
        const std::string chosen = dir.file("result.dat");
        QString title;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            dialog->selectFile(QString::fromStdString(chosen));
            static_cast<QDialog*>(dialog)->accept();
        });
        step->okButton()->click();  // the batch runs from here, with its real dialogs
        QCOMPARE(title, QString(messages::kSelectOutputFile));
        QCOMPARE(panel.lastBatch().converted, 1);
        QVERIFY(panel.isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!QApplication::overrideCursor());

        test::TempDir cli;
        QCOMPARE(convertByCli(cli, {"corundum.chn"}, {"-f", "lhpm", "-s", "0.04"}, "result.dat"), 0);
        QCOMPARE(test::readFile(chosen), test::readFile(cli.file("result.dat")));
    }

    void aBatchOnEveryCoreAsksItsQuestionsThroughTheDesktopsDialogs() {
        // Three scans into a folder where one result exists: the workers convert while the
        // "Replace?" question is up, and the answer decides as it would one file after the other.
        RealDesktop desktop({"si-standard.chn", "corundum.chn", "si-corundum-mix.chn"});
        QVERIFY(desktop.started);
        test::TempDir& dir = desktop.dir;
        MainPanel& panel = *desktop.panel;
        chooseFormat(panel, kXfitOutput);
        const std::string out = dir.file("out");
        fs::create_directories(out);
        test::writeFile(out + "/corundum.dat", "an earlier result");
        panel.findChild<QPushButton*>("convert")->click();
        auto* step = currentPanel<ConstantStepPanel>(panel);
        QVERIFY(step);
        typeInto(step->stepEntry(), "0.01");
        QString title, question;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            dialog->selectFile(QString::fromStdString(out));
            whenModal<QMessageBox>([&](QMessageBox* box) {
                question = box->windowTitle() + ": " + box->text();
                box->button(QMessageBox::No)->click();
            });
            static_cast<QDialog*>(dialog)->accept();
        });
        step->okButton()->click();
        QCOMPARE(title, QString(messages::kSelectOutputDirectory));
        QCOMPARE(question, QString::fromStdString(std::string(messages::kReplaceOutput) + ": " +
                                                  messages::replaceOutput(out + "/corundum.dat")));
        QCOMPARE(panel.lastBatch().converted, 3);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!QApplication::overrideCursor());
        const auto written = test::folderContents(out);
        QCOMPARE(written.at("corundum.dat"), std::string("an earlier result"));

        test::TempDir cli;
        fs::create_directories(cli.file("out"));
        test::writeFile(cli.file("out/corundum.dat"), "an earlier result");
        QCOMPARE(convertByCli(cli, {"si-standard.chn", "corundum.chn", "si-corundum-mix.chn"},
                              {"-f", "xfit", "-s", "0.01", "-j", "1"}),
                 0);
        QVERIFY(written == test::folderContents(cli.file("out")));
        QVERIFY(written.count("corundum-0001.dat"));
    }
};

int main(int argc, char** argv) {
    // As a user in Germany starts it: Qt hands the environment's locale to the C library.
    setenv("LANG", kGerman, 1);
    setenv("LC_ALL", kGerman, 1);
    QApplication app(argc, argv);
    EndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EndToEndTest.moc"
