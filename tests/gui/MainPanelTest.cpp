// The main panel on screen: adding and removing files, the enabling rules and the mode buttons as
// the user meets them, Convert and its option panels, the menus, the line-end preference and the
// start-up.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <functional>

#include "options/OptionFile.h"
#include "platform/ScriptedPlatform.h"
#include "support/UserInput.h"
#include "support/ModalDialogs.h"
#include "support/TempDir.h"
#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/LineEndPreference.h"
#include "ui/MainPanel.h"
#include "ui/OptionPanelChain.h"
#include "ui/NumberEntry.h"
#include "ui/RangePanel.h"
#include "ui/SplinePanel.h"
#include "ui/StraightLinePanel.h"
#include "ui/StartUp.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::whenModal;
using s2t::test::clickOn;

namespace {

struct PanelFixture {
    test::TempDir home;
    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<MainPanel> panel;

    PanelFixture() {
        QVERIFY(startSession(session, home.path(), platform));
        panel = std::make_unique<MainPanel>(session, platform);
        fillMainPanel(*panel, {});
        panel->show();
    }

    template <class T>
    T* control(const char* name) {
        T* found = panel->findChild<T*>(name);
        if (!found) qFatal("no control %s", name);
        return found;
    }
    QAction* action(const char* name) { return control<QAction>(name); }

    void add(std::vector<std::string> paths) {
        platform.multiFileAnswers.push_back(std::move(paths));
        control<QPushButton>("addFiles")->click();
    }
    QStringList labels() {
        QStringList list;
        for (const BatchInput& file : panel->listedFiles()) list << QString::fromStdString(file.path);
        return list;
    }
};

}  // namespace

class MainPanelTest : public QObject {
    Q_OBJECT
private slots:
    void addFilesAsksWithItsTitlePatternsAndTheProgramFolder() {
        PanelFixture f;
        f.add({});
        QCOMPARE(f.platform.fileRequests.size(), std::size_t(1));
        const FileSelectOptions& asked = f.platform.fileRequests[0];
        QCOMPARE(asked.title, std::string("Select the input files"));
        QCOMPARE(asked.defaultFileSpec, std::string("*.chn"));
        QCOMPARE(asked.filterList, std::string("*.chn; *.guf"));
        QCOMPARE(asked.defaultDirectory, f.session.projectDir);
        QVERIFY(!asked.restrictExtension);
        QVERIFY(!asked.restrictDirectory);
        QVERIFY(asked.allowCancel);
    }

    void addedFilesCarryTheirKinds() {
        PanelFixture f;
        f.add({"/d/a.CHN", "/d/b.chn", "/d/b.chn"});
        f.add({"/d/s.guf", "/d/B.chn", "/d/a.CHN"});
        QCOMPARE(f.labels(), QStringList({"/d/a.CHN", "/d/b.chn", "/d/B.chn"}));
        const auto files = f.panel->listedFiles();
        for (const BatchInput& file : files) QCOMPARE(file.fileType, kChnFileType);
        f.add({"/d/b.chn", "/d/c.Guf", "/d/e.chn"});
        QCOMPARE(f.labels(), QStringList({"/d/a.CHN", "/d/b.chn", "/d/B.chn", "/d/e.chn"}));
        QVERIFY(f.platform.messages().empty());
    }

    void aMixedSelectionEntersAnEmptyListWhole() {
        PanelFixture f;
        f.add({"/d/s.guf", "/d/a.chn", "/d/t.txt"});
        const auto files = f.panel->listedFiles();
        QCOMPARE(files.size(), std::size_t(3));
        QCOMPARE(files[0].fileType, kGufiFileType);
        QCOMPARE(files[1].fileType, kChnFileType);
        QCOMPARE(files[2].fileType, kOtherFileType);
        // The GUFI file first: the output is in 2-theta, and its own angles are offered.
        QVERIFY(f.control<QCheckBox>("convertToTwoTheta")->isChecked());
        QVERIFY(!f.control<QCheckBox>("convertToTwoTheta")->isEnabled());
        QVERIFY(f.control<QRadioButton>("noConversionMode")->isEnabled());
    }

    void cancellingTheAddPopupAddsNothing() {
        PanelFixture f;
        f.platform.multiFileAnswers.push_back(std::nullopt);
        f.control<QPushButton>("addFiles")->click();
        QVERIFY(f.labels().isEmpty());
        QVERIFY(!f.control<QPushButton>("convert")->isEnabled());
    }

    void filesDroppedOnTheListFollowTheSameRules() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile("/d/b.chn"), QUrl::fromLocalFile("/d/s.guf"),
                      QUrl::fromLocalFile("/d/a.chn"), QUrl::fromLocalFile("/d/C.CHN")});
        auto* list = f.control<QListWidget>("fileList");
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drop);
        QCOMPARE(f.labels(), QStringList({"/d/a.chn", "/d/b.chn", "/d/C.CHN"}));
    }

    void removingTheLastFileDimsRemoveAndConvertAndForcesTwoTheta() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        auto* twoTheta = f.control<QCheckBox>("convertToTwoTheta");
        QVERIFY(twoTheta->isEnabled());
        clickOn(twoTheta);
        QVERIFY(!twoTheta->isChecked());
        QVERIFY(!f.control<QRadioButton>("noConversionMode")->isEnabled());
        QVERIFY(f.control<QPushButton>("removeFile")->isEnabled());
        f.control<QPushButton>("removeFile")->click();
        QVERIFY(f.labels().isEmpty());
        QVERIFY(!f.control<QPushButton>("removeFile")->isEnabled());
        QVERIFY(!f.control<QPushButton>("convert")->isEnabled());
        QVERIFY(twoTheta->isChecked());
        QVERIFY(!twoTheta->isEnabled());
        QVERIFY(f.control<QRadioButton>("noConversionMode")->isEnabled());
    }

    void removeTakesTheSelectedFile() {
        PanelFixture f;
        f.add({"/d/a.chn", "/d/b.chn", "/d/c.chn"});
        f.control<QListWidget>("fileList")->setCurrentRow(1);
        f.control<QPushButton>("removeFile")->click();
        QCOMPARE(f.labels(), QStringList({"/d/a.chn", "/d/c.chn"}));
    }

    void aChannelFileMovesFileAnglesToTheStraightLine() {
        PanelFixture f;
        auto* file = f.control<QRadioButton>("noConversionMode");
        clickOn(file);
        QVERIFY(file->isChecked());
        QVERIFY(!f.control<QRadioButton>("linearMode")->isChecked());
        QVERIFY(!f.control<QLineEdit>("kDisplay")->isEnabled());
        f.add({"/d/a.chn"});
        QVERIFY(f.control<QRadioButton>("linearMode")->isChecked());
        QVERIFY(!file->isChecked());
        QVERIFY(!file->isEnabled());
        QVERIFY(f.control<QLineEdit>("kDisplay")->isEnabled());
        QVERIFY(f.control<QLineEdit>("cDisplay")->isEnabled());
        QVERIFY(f.control<QLabel>("kCaption")->isEnabled());
    }

    void clickingTheSelectedModeMovesTheSelection() {
        PanelFixture f;
        f.add({"/d/s.guf"});
        auto* linear = f.control<QRadioButton>("linearMode");
        auto* spline = f.control<QRadioButton>("splineMode");
        auto* file = f.control<QRadioButton>("noConversionMode");
        clickOn(linear);  // selected: on to the spline
        QVERIFY(spline->isChecked());
        QVERIFY(!linear->isChecked());
        QVERIFY(!f.control<QLineEdit>("kDisplay")->isEnabled());
        clickOn(spline);  // selected, GUFI list: on to the file's angles
        QVERIFY(file->isChecked());
        QVERIFY(!spline->isChecked());
        clickOn(file);  // selected: back to the line
        QVERIFY(linear->isChecked());
        QVERIFY(!file->isChecked());
        clickOn(spline);
        QVERIFY(spline->isChecked());
        QVERIFY(!linear->isChecked());
    }

    void clickingTheSelectedSplineWithChannelFilesSelectsTheLine() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        auto* spline = f.control<QRadioButton>("splineMode");
        clickOn(spline);
        QVERIFY(spline->isChecked());
        clickOn(spline);
        QVERIFY(f.control<QRadioButton>("linearMode")->isChecked());
        QVERIFY(!spline->isChecked());
        QVERIFY(!f.control<QRadioButton>("noConversionMode")->isChecked());
    }

    void channelOutputDimsTheConversionAndOutputControls() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        clickOn(f.control<QCheckBox>("convertToTwoTheta"));
        for (const char* name : {"linearMode", "splineMode", "noConversionMode", "wholeTwoThetaBox",
                                 "constantStepBox", "limitRangeBox", "outputFormat", "kDisplay", "cDisplay",
                                 "kCaption", "cCaption", "conversionGroupControl"})
            QVERIFY2(!f.control<QWidget>(name)->isEnabled(), name);
        clickOn(f.control<QCheckBox>("convertToTwoTheta"));
        for (const char* name : {"linearMode", "splineMode", "wholeTwoThetaBox", "constantStepBox", "limitRangeBox",
                                 "outputFormat", "kDisplay", "conversionGroupControl"})
            QVERIFY2(f.control<QWidget>(name)->isEnabled(), name);
        QVERIFY(!f.control<QRadioButton>("noConversionMode")->isEnabled());
    }

    void choosingAFormatOtherThanTextForcesTheConstantStep() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        auto* format = f.control<QComboBox>("outputFormat");
        auto* step = f.control<QCheckBox>("constantStepBox");
        auto* text = f.control<QLabel>("outputFormatText");
        QCOMPARE(text->text(), QString("Tab Delimited Text File"));
        QVERIFY(!step->isChecked());
        QStringList labels;
        for (int i = 0; i < format->count(); ++i) labels << format->itemText(i);
        QCOMPARE(labels, QStringList({"Tab Delimited Text File", "XFIT File", "CPI File", "LHPM File",
                                      "Binary GUFI File"}));
        format->setFocus();
        QTest::keyClick(format, Qt::Key_Down);  // XFIT, as the user picks it
        QCOMPARE(text->text(), QString("XFIT File"));
        QVERIFY(step->isChecked());
        QVERIFY(!step->isEnabled());
        QTest::keyClick(format, Qt::Key_Up);  // back to text
        QCOMPARE(text->text(), QString("Tab Delimited Text File"));
        QVERIFY(step->isEnabled());
        QVERIFY(step->isChecked());
    }

    void convertWithChannelOutputRunsAtOnce() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        f.control<QComboBox>("outputFormat")->setFocus();
        QTest::keyClick(f.control<QComboBox>("outputFormat"), Qt::Key_End);  // GUFI output, step forced
        clickOn(f.control<QCheckBox>("limitRangeBox"));
        clickOn(f.control<QCheckBox>("convertToTwoTheta"));
        f.control<QPushButton>("convert")->click();
        QVERIFY(!f.panel->optionPanels().currentPanel());
        const auto asked = f.platform.callsOf("fileSelect");
        QCOMPARE(asked.size(), std::size_t(1));
        QCOMPARE(asked[0].title, std::string("Select Output File"));
        QVERIFY(f.panel->lastBatch().cancelled);
        QVERIFY(f.panel->isVisible());
    }

    void convertShowsTheChosenPanelsWhileTheMainPanelIsHidden() {
        PanelFixture f;
        f.add({"/d/a.chn", "/d/b.chn"});
        clickOn(f.control<QCheckBox>("limitRangeBox"));
        f.control<QComboBox>("outputFormat")->setFocus();
        QTest::keyClick(f.control<QComboBox>("outputFormat"), Qt::Key_Down);
        QTest::keyClick(f.control<QComboBox>("outputFormat"), Qt::Key_Down);  // CPI
        f.control<QPushButton>("convert")->click();
        QVERIFY(!f.panel->isVisible());
        auto* step = qobject_cast<ConstantStepPanel*>(f.panel->optionPanels().currentPanel());
        QVERIFY(step);
        step->okButton()->click();
        auto* range = qobject_cast<RangePanel*>(f.panel->optionPanels().currentPanel());
        QVERIFY(range);
        range->okButton()->click();
        auto* cpi = qobject_cast<CpiPanel*>(f.panel->optionPanels().currentPanel());
        QVERIFY(cpi);
        QVERIFY(!f.panel->isVisible());
        f.platform.dirAnswers.push_back(std::nullopt);  // several files: the directory popup
        cpi->okButton()->click();
        QCOMPARE(f.platform.callsOf("dirSelect").size(), std::size_t(1));
        QCOMPARE(f.platform.dirRequests[0].title, std::string("Select Output Directory"));
        QCOMPARE(f.platform.dirRequests[0].defaultDirectory, std::string("/d/"));
        QVERIFY(f.panel->isVisible());
    }

    void cancelInTheChainShowsTheMainPanelAgainWithoutARun() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        clickOn(f.control<QCheckBox>("constantStepBox"));
        f.control<QPushButton>("convert")->click();
        auto* step = qobject_cast<ConstantStepPanel*>(f.panel->optionPanels().currentPanel());
        QVERIFY(step);
        QVERIFY(!f.panel->isVisible());
        step->cancelButton()->click();
        QVERIFY(f.panel->isVisible());
        QVERIFY(f.platform.callsOf("fileSelect").empty());
    }

    void theCpiPanelNeedsTwoThetaOutput() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        f.control<QComboBox>("outputFormat")->setFocus();
        QTest::keyClick(f.control<QComboBox>("outputFormat"), Qt::Key_Down);
        QTest::keyClick(f.control<QComboBox>("outputFormat"), Qt::Key_Down);  // CPI, step forced on
        clickOn(f.control<QCheckBox>("convertToTwoTheta"));
        f.platform.fileAnswers.push_back(std::nullopt);
        f.control<QPushButton>("convert")->click();
        QVERIFY(!f.panel->optionPanels().currentPanel());
        QCOMPARE(f.platform.callsOf("fileSelect").size(), std::size_t(1));
    }

    void loadOptionsRefreshesKAndCInEveryCase() {
        PanelFixture f;
        auto* k = f.control<QLineEdit>("kDisplay");
        auto* c = f.control<QLineEdit>("cDisplay");
        QCOMPARE(k->text(), QString("   10.940"));
        QCOMPARE(c->text(), QString("    0.027"));
        f.session.calibration.header.K = 11.25;  // changed behind the panel's back
        f.platform.fileAnswers.push_back(std::nullopt);
        f.action("loadOptions")->trigger();
        QCOMPARE(k->text(), QString("   11.250"));
        const FileSelectOptions& asked = f.platform.fileRequests.back();
        QCOMPARE(asked.title, std::string("Select Option File"));
        QCOMPARE(asked.defaultFileSpec, std::string("*.pre"));
        QCOMPARE(asked.filterList, std::string("*.pre"));
        QCOMPARE(asked.defaultDirectory, f.session.projectDir);
        QVERIFY(asked.restrictExtension);

        CalibrationState other;
        other.installStartupValues();
        other.header.K = -1.5;
        other.header.C = 123.4567;
        const std::string path = f.home.file("other.pre");
        QVERIFY(saveOptionsFile(path, true, other, f.platform, LineEnd::CrLf) == SaveOutcome::Written);
        f.platform.fileAnswers.push_back(path);
        f.action("loadOptions")->trigger();
        QCOMPARE(k->text(), QString("   -1.500"));
        QCOMPARE(c->text(), QString("  123.457"));
    }

    void saveOptionsAsksAgainWhileTheUserDeclinesToReplace() {
        PanelFixture f;
        const std::string path = f.home.file("kept.pre");
        test::writeFile(path, "old");
        f.platform.fileAnswers = {path, path, std::nullopt};
        f.platform.confirmAnswers = {false, false};
        f.action("saveOptions")->trigger();
        QCOMPARE(f.platform.callsOf("fileSelect").size(), std::size_t(3));
        QCOMPARE(f.platform.callsOf("confirm").size(), std::size_t(2));
        QCOMPARE(test::readFile(path), std::string("old"));

        f.platform.fileAnswers = {path};
        f.platform.confirmAnswers = {true};
        f.action("saveOptions")->trigger();
        QCOMPARE(test::readFile(path), optionFileText(f.session.calibration, LineEnd::CrLf));
        QCOMPARE(f.platform.fileRequests.back().title, std::string("Select Option File"));
    }

    void theLineEndPreferenceIsKeptInTheProgramFolder() {
        PanelFixture f;
        QCOMPARE(f.session.settings.lineEnd, LineEnd::CrLf);
        QVERIFY(f.action("lineEndCrLf")->isChecked());
        f.action("lineEndLf")->trigger();
        QCOMPARE(f.session.settings.lineEnd, LineEnd::Lf);
        QCOMPARE(loadLineEndPreference(f.session.projectDir), LineEnd::Lf);

        Session next;
        QVERIFY(startSession(next, f.home.path(), f.platform));
        QCOMPARE(next.settings.lineEnd, LineEnd::Lf);
        MainPanel again(next, f.platform);
        QVERIFY(again.findChild<QAction*>("lineEndLf")->isChecked());

        // Option files follow it too.
        const std::string path = f.home.file("lf.pre");
        f.platform.fileAnswers = {path};
        f.action("saveOptions")->trigger();
        QCOMPARE(test::readFile(path), optionFileText(f.session.calibration, LineEnd::Lf));
    }

    void menusRequestTheCalibrationPanelsAndTheOptionPanels() {
        PanelFixture f;
        QSignalSpy line(f.panel.get(), &MainPanel::straightLinePanelRequested);
        QSignalSpy points(f.panel.get(), &MainPanel::linearPointsPanelRequested);
        QSignalSpy spline(f.panel.get(), &MainPanel::splinePanelRequested);
        f.action("optionsMenu")->trigger();
        f.action("linearCalibration")->trigger();
        f.action("SplineOptionsMenu")->trigger();
        QCOMPARE(line.count(), 1);
        QCOMPARE(points.count(), 1);
        QCOMPARE(spline.count(), 1);

        f.action("rangeOptions")->trigger();
        auto* range = qobject_cast<RangePanel*>(f.panel->optionPanels().currentPanel());
        QVERIFY(range);
        QVERIFY(f.panel->isVisible());
        range->okButton()->click();
        f.action("constStepOption")->trigger();
        auto* step = qobject_cast<ConstantStepPanel*>(f.panel->optionPanels().currentPanel());
        QVERIFY(step);
        step->okButton()->click();
        QVERIFY(f.panel->isVisible());
        QVERIFY(f.platform.callsOf("fileSelect").empty());
        QCOMPARE(f.session.settings.constStepOpts.method, 1);
    }

    void calibrationPanelsOpenFromTheMenuAndShowTheirChangesAtOnce() {
        PanelFixture f;
        connectCalibrationPanels(*f.panel, f.session, f.platform);
        whenModal<StraightLinePanel>([](StraightLinePanel* line) {
            line->kEntry()->setValue(12.25);
            line->cEntry()->setValue(0.5);
            line->okButton()->click();
        });
        f.action("optionsMenu")->trigger();
        QCOMPARE(f.session.calibration.header.K, 12.25);
        QCOMPARE(f.control<QLineEdit>("kDisplay")->text(), QString("   12.250"));
        QCOMPARE(f.control<QLineEdit>("cDisplay")->text(), QString("    0.500"));

        bool opened = false;
        whenModal<SplinePanel>([&](SplinePanel* spline) {
            opened = true;
            spline->reject();
        });
        f.action("SplineOptionsMenu")->trigger();
        QVERIFY(opened);
    }

    void quitButtonMenuAndCloseBoxAskToQuit() {
        PanelFixture f;
        QSignalSpy quit(f.panel.get(), &MainPanel::quitRequested);
        f.control<QPushButton>("quit")->click();
        f.panel->show();
        f.action("quitMenu")->trigger();
        QCOMPARE(quit.count(), 2);
    }

    void startUpListsTheCommandLineFilesAsTheyAre() {
        test::TempDir home;
        Session session;
        ScriptedPlatform platform;
        const std::string folder = home.file("fresh");
        QVERIFY(startSession(session, folder, platform));
        QVERIFY(test::fileExists(defaultOptionsPath(folder)));
        QVERIFY(test::fileExists(folder + "/Standards"));
        MainPanel panel(session, platform);
        fillMainPanel(panel, {"/d/a.chn", "/d/a.chn", "/d/s.guf", "/d/noext"});
        const auto files = panel.listedFiles();
        QCOMPARE(files.size(), std::size_t(4));
        QCOMPARE(files[1].path, std::string("/d/a.chn"));
        QCOMPARE(files[2].fileType, kGufiFileType);
        QCOMPARE(files[3].fileType, kOtherFileType);
        QCOMPARE(panel.findChild<QLineEdit*>("kDisplay")->text(), QString("   10.940"));
        QCOMPARE(panel.findChild<QLineEdit*>("cDisplay")->text(), QString("    0.027"));
        // The rules already hold: a channel file first.
        QVERIFY(!panel.findChild<QRadioButton*>("noConversionMode")->isEnabled());
        QVERIFY(panel.findChild<QPushButton*>("convert")->isEnabled());
    }

    void startUpArguments() {
        StartOptions options = parseStartOptions({"--home", "/h", "a.chn", "--home=/g", "b.guf"});
        QCOMPARE(options.home, std::string("/g"));
        QCOMPARE(options.files, std::vector<std::string>({"a.chn", "b.guf"}));
        QVERIFY(options.error.empty());
        options = parseStartOptions({"--", "--home"});
        QCOMPARE(options.files, std::vector<std::string>({"--home"}));
        options = parseStartOptions({"a.chn", "--home"});
        QVERIFY(!options.error.empty());
    }

    void anUnusableProgramFolderIsReported() {
        test::TempDir dir;
        const std::string blocker = dir.file("file");
        test::writeFile(blocker, "x");
        Session session;
        ScriptedPlatform platform;
        QVERIFY(!startSession(session, blocker + "/home", platform));
        QCOMPARE(platform.messages().size(), std::size_t(1));
        QCOMPARE(platform.messages()[0].title, std::string("File Error"));
    }
};

QTEST_MAIN(MainPanelTest)
#include "MainPanelTest.moc"
