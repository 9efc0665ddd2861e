// The main panel on screen: adding and removing files, the enabling rules and the mode buttons as
// the user meets them, Convert and its option panels, the menus, the line-end preference and the
// start-up.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <functional>

#include "calibration/LinearFit.h"
#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "support/ModalDialogs.h"
#include "support/TempDir.h"
#include "support/UserInput.h"
#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/LineEndPreference.h"
#include "ui/LinearPointsPanel.h"
#include "ui/MainPanel.h"
#include "ui/NumberEntry.h"
#include "ui/OptionPanelChain.h"
#include "ui/PanelMessages.h"
#include "ui/PointsPanel.h"
#include "ui/RangePanel.h"
#include "ui/StartArguments.h"
#include "ui/StartUp.h"
#include "ui/StraightLinePanel.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::clickOn;
using s2t::test::whenModal;

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
    void addFilesAsksAndTakesNewFilesOfTheListsKind() {
        PanelFixture f;
        f.platform.multiFileAnswers.push_back(std::nullopt);  // cancelled: nothing added
        f.control<QPushButton>("addFiles")->click();
        QVERIFY(f.labels().isEmpty());
        QVERIFY(!f.control<QPushButton>("convert")->isEnabled());
        QCOMPARE(f.platform.fileRequests.size(), std::size_t(1));
        const FileSelectOptions& asked = f.platform.fileRequests[0];
        QCOMPARE(asked.title, std::string(messages::kSelectInputFiles));
        QCOMPARE(asked.defaultFileSpec, std::string("*.chn"));
        QCOMPARE(asked.filterList, std::string("*.chn; *.guf"));
        QCOMPARE(asked.defaultDirectory, f.session.projectDir);
        QVERIFY(!asked.restrictExtension);

        // Paths already listed (byte for byte) are left out silently, files of another kind with
        // a message that names them.
        f.add({"/d/a.CHN", "/d/b.chn", "/d/b.chn"});
        QVERIFY(f.platform.messages().empty());
        f.add({"/d/s.guf", "/d/B.chn", "/d/a.CHN"});
        f.add({"/d/b.chn", "/d/c.Guf", "/d/e.chn", "/d/c.Guf"});
        QCOMPARE(f.labels(), QStringList({"/d/a.CHN", "/d/b.chn", "/d/B.chn", "/d/e.chn"}));
        for (const BatchInput& file : f.panel->listedFiles()) QCOMPARE(file.fileType, kChnFileType);
        const std::string otherKind = messages::kOtherKindNotListed + std::string("\n");
        auto messages = f.platform.messages();
        QCOMPARE(messages.size(), std::size_t(2));
        QCOMPARE(messages[0].title, std::string(messages::kFilesNotAdded));
        QCOMPARE(messages[0].text, otherKind + "/d/s.guf");
        QCOMPARE(messages[1].text, otherKind + "/d/c.Guf");

        // Files dropped on the list follow the same rules.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile("/d/f.chn"), QUrl::fromLocalFile("/d/s.guf"), QUrl::fromLocalFile("/d/a.CHN"),
                      QUrl::fromLocalFile("/d/G.CHN")});
        auto* list = f.control<QListWidget>("fileList");
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drop);
        QCOMPARE(f.labels(), QStringList({"/d/a.CHN", "/d/b.chn", "/d/B.chn", "/d/e.chn", "/d/f.chn", "/d/G.CHN"}));
        QCOMPARE(f.platform.messages().back().text, otherKind + std::string("/d/s.guf"));
    }

    // A folder is no scan: dropped onto the list, alone or among files, it is named and left out,
    // so it never stands for the list's kind.
    void aDroppedFolderIsRefusedWithAMessage() {
        PanelFixture f;
        const std::string folder = f.home.file("scans.chn");
        QDir().mkpath(QString::fromStdString(folder));
        const std::string scan = f.home.file("a.guf");
        QMimeData mime;
        mime.setUrls(
            {QUrl::fromLocalFile(QString::fromStdString(folder)), QUrl::fromLocalFile(QString::fromStdString(scan))});
        auto* list = f.control<QListWidget>("fileList");
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drop);
        QCOMPARE(f.labels(), QStringList({QString::fromStdString(scan)}));
        QCOMPARE(f.panel->listedFiles()[0].fileType, kGufiFileType);
        const auto messages = f.platform.messages();
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].title, std::string(messages::kFilesNotAdded));
        QCOMPARE(messages[0].text, messages::kFoldersNotListed + std::string("\n") + folder);

        // Alone on an empty list it leaves the list empty and Convert dimmed.
        PanelFixture g;
        const std::string only = g.home.file("more");
        QDir().mkpath(QString::fromStdString(only));
        g.add({only});
        QVERIFY(g.labels().isEmpty());
        QVERIFY(!g.control<QPushButton>("convert")->isEnabled());
        QCOMPARE(g.platform.messages().size(), std::size_t(1));
    }

    void aMixedSelectionEntersAnEmptyListWhole() {
        PanelFixture f;
        f.add({"/d/s.guf", "/d/a.chn", "/d/t.txt", "/d/c.chn2", "/d/d.ch", "/d.x/noext", "/d/b.Guf"});
        const std::int32_t kinds[] = {kGufiFileType,  kChnFileType,   kOtherFileType, kOtherFileType,
                                      kOtherFileType, kOtherFileType, kGufiFileType};
        const auto files = f.panel->listedFiles();
        QCOMPARE(files.size(), std::size(kinds));
        for (std::size_t i = 0; i < files.size(); ++i) QCOMPARE(files[i].fileType, kinds[i]);
        // The GUFI file first: the output is in 2-theta, and its own angles are offered.
        QVERIFY(f.control<QCheckBox>("convertToTwoTheta")->isChecked());
        QVERIFY(!f.control<QCheckBox>("convertToTwoTheta")->isEnabled());
        QVERIFY(f.control<QRadioButton>("fileAnglesMode")->isEnabled());
    }

    void removeTakesTheSelectedFileAndTheLastOneDimsRemoveAndConvert() {
        PanelFixture f;
        f.add({"/d/a.chn", "/d/b.chn"});
        auto* twoTheta = f.control<QCheckBox>("convertToTwoTheta");
        QVERIFY(twoTheta->isEnabled());
        clickOn(twoTheta);
        QVERIFY(!twoTheta->isChecked());
        QVERIFY(!f.control<QRadioButton>("fileAnglesMode")->isEnabled());
        f.control<QListWidget>("fileList")->setCurrentRow(1);
        f.control<QPushButton>("removeFile")->click();
        QCOMPARE(f.labels(), QStringList({"/d/a.chn"}));
        QVERIFY(f.control<QPushButton>("removeFile")->isEnabled());
        f.control<QListWidget>("fileList")->setCurrentRow(0);
        f.control<QPushButton>("removeFile")->click();
        QVERIFY(f.labels().isEmpty());
        QVERIFY(!f.control<QPushButton>("removeFile")->isEnabled());
        QVERIFY(!f.control<QPushButton>("convert")->isEnabled());
        QVERIFY(twoTheta->isChecked());
        QVERIFY(!twoTheta->isEnabled());
        QVERIFY(f.control<QRadioButton>("fileAnglesMode")->isEnabled());
    }

    void severalFilesGoAtOnceAndTheListCountsThem() {
        PanelFixture f;
        auto* list = f.control<QListWidget>("fileList");
        QCOMPARE(f.control<QLabel>("fileCount")->text(), QString("0 files"));
        QVERIFY(!f.control<QPushButton>("removeAllFiles")->isEnabled());
        f.add({"/d/a.chn", "/d/b.chn", "/d/c.chn", "/d/d.chn"});
        QCOMPARE(f.control<QLabel>("fileCount")->text(), QString("4 files"));
        // As Ctrl+clicks on the second and fourth leave them.
        list->clearSelection();
        list->item(1)->setSelected(true);
        list->item(3)->setSelected(true);
        f.control<QPushButton>("removeFile")->click();
        QCOMPARE(f.labels(), QStringList({"/d/a.chn", "/d/c.chn"}));
        QCOMPARE(f.control<QLabel>("fileCount")->text(), QString("2 files"));
        QVERIFY(list->currentItem());

        // Delete on the list removes as the button does.
        list->setFocus();
        list->clearSelection();
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(f.labels(), QStringList({"/d/c.chn"}));
        QCOMPARE(f.control<QLabel>("fileCount")->text(), QString("1 file"));

        f.add({"/d/e.chn"});
        f.control<QPushButton>("removeAllFiles")->click();
        QVERIFY(f.labels().isEmpty());
        QVERIFY(!f.control<QPushButton>("convert")->isEnabled());
        QVERIFY(!f.control<QPushButton>("removeAllFiles")->isEnabled());
    }

    void theModeButtonsAsTheUserMeetsThem() {
        PanelFixture f;
        auto* linear = f.control<QRadioButton>("linearMode");
        auto* spline = f.control<QRadioButton>("splineMode");
        auto* file = f.control<QRadioButton>("fileAnglesMode");
        auto* k = f.control<QLineEdit>("kDisplay");
        clickOn(file);
        QVERIFY(file->isChecked());
        QVERIFY(!linear->isChecked());
        QVERIFY(!k->isEnabled());
        // A channel file moves the file's angles to the straight line, and shows K and C at once.
        f.add({"/d/a.chn"});
        QVERIFY(linear->isChecked());
        QVERIFY(!file->isChecked());
        QVERIFY(!file->isEnabled());
        QVERIFY(k->isEnabled());
        QVERIFY(f.control<QLineEdit>("cDisplay")->isEnabled());
        QVERIFY(f.control<QLabel>("kCaption")->isEnabled());

        // Clicking the selected mode moves the selection on.
        f.control<QPushButton>("removeFile")->click();
        f.add({"/d/s.guf"});
        clickOn(linear);  // selected: on to the spline
        QVERIFY(spline->isChecked());
        QVERIFY(!linear->isChecked());
        QVERIFY(!k->isEnabled());
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

    void channelOutputDimsTheConversionAndOutputControls() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        clickOn(f.control<QCheckBox>("convertToTwoTheta"));
        for (const char* name :
             {"linearMode", "splineMode", "fileAnglesMode", "wholeTwoThetaBox", "constantStepBox", "limitRangeBox",
              "outputFormat", "kDisplay", "cDisplay", "kCaption", "cCaption", "conversionGroupControl"})
            QVERIFY2(!f.control<QWidget>(name)->isEnabled(), name);
        clickOn(f.control<QCheckBox>("convertToTwoTheta"));
        for (const char* name : {"linearMode", "splineMode", "wholeTwoThetaBox", "constantStepBox", "limitRangeBox",
                                 "outputFormat", "kDisplay", "conversionGroupControl"})
            QVERIFY2(f.control<QWidget>(name)->isEnabled(), name);
        QVERIFY(!f.control<QRadioButton>("fileAnglesMode")->isEnabled());
    }

    void choosingAGridFormatForcesTheConstantStep() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        auto* format = f.control<QComboBox>("outputFormat");
        auto* step = f.control<QCheckBox>("constantStepBox");
        auto* perSecond = f.control<QCheckBox>("perSecondBox");
        auto* text = f.control<QLabel>("outputFormatText");
        QVERIFY(!step->isChecked());
        const QStringList labels{"Tab Delimited Text File",
                                 "XFIT File",
                                 "CPI File",
                                 "LHPM File",
                                 "Binary GUFI File",
                                 "XY File (2-theta, count)",
                                 "XYE File (2-theta, count, uncertainty)",
                                 "GSAS FXYE File",
                                 "Powder CIF File"};
        QCOMPARE(format->count(), labels.size());
        format->setFocus();
        for (int i = 0; i < 5; ++i) {
            if (i > 0) QTest::keyClick(format, Qt::Key_Down);  // as the user picks it
            QCOMPARE(format->itemText(i), labels[i]);
            QCOMPARE(text->text(), labels[i]);
            QCOMPARE(step->isChecked(), i > 0);
            QCOMPARE(step->isEnabled(), i == 0);
            QVERIFY(!perSecond->isEnabled());
        }
        QTest::keyClick(format, Qt::Key_Home);  // back to text: enabled, left as it was
        QCOMPARE(text->text(), labels[0]);
        QVERIFY(step->isEnabled());
        QVERIFY(step->isChecked());
        clickOn(step);
        // The annotated formats leave the step to the user and offer counts per second.
        for (int i = 5; i < labels.size(); ++i) {
            format->setCurrentIndex(i - 1);
            QTest::keyClick(format, Qt::Key_Down);
            QCOMPARE(text->text(), labels[i]);
            QVERIFY(step->isEnabled());
            QVERIFY(!step->isChecked());
            QVERIFY(perSecond->isEnabled());
        }
        clickOn(perSecond);
        QTest::keyClick(format, Qt::Key_Home);
        QVERIFY(!perSecond->isEnabled());
        QVERIFY(!perSecond->isChecked());
    }

    void convertWithChannelOutputRunsAtOnce() {
        PanelFixture f;
        f.add({"/d/a.chn"});
        f.control<QComboBox>("outputFormat")->setFocus();
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(f.control<QComboBox>("outputFormat"), Qt::Key_Down);  // GUFI output, step forced
        clickOn(f.control<QCheckBox>("limitRangeBox"));
        clickOn(f.control<QCheckBox>("convertToTwoTheta"));
        f.control<QPushButton>("convert")->click();
        QVERIFY(!f.panel->optionPanels().currentPanel());
        const auto asked = f.platform.callsOf("fileSelect");
        QCOMPARE(asked.size(), std::size_t(1));
        QCOMPARE(asked[0].title, std::string(messages::kSelectOutputFile));
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
        QCOMPARE(f.platform.dirRequests[0].title, std::string(messages::kSelectOutputDirectory));
        QCOMPARE(f.platform.dirRequests[0].defaultDirectory, std::string("/d/"));
        QVERIFY(f.panel->isVisible());
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
        QCOMPARE(asked.title, std::string(messages::kSelectOptionFile));
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
        QCOMPARE(f.platform.fileRequests.back().title, std::string(messages::kSelectOptionFile));
    }

    // The Load popup lists "*.pre" files only: a name typed without an extension gets one.
    void saveOptionsAddsTheExtensionToANameWithoutOne() {
        PanelFixture f;
        const std::string typed = f.home.file("mine");
        const std::string dotted = f.home.file("v2.calib");
        const std::string trailing = f.home.file("last.");
        f.platform.fileAnswers = {typed};
        f.action("saveOptions")->trigger();
        f.platform.fileAnswers = {dotted};
        f.action("saveOptions")->trigger();
        f.platform.fileAnswers = {trailing};
        f.action("saveOptions")->trigger();
        const std::string saved = optionFileText(f.session.calibration, LineEnd::CrLf);
        QCOMPARE(test::readFile(typed + ".pre"), saved);
        QVERIFY(!test::fileExists(typed));
        QCOMPARE(test::readFile(dotted), saved);
        QCOMPARE(test::readFile(trailing + "pre"), saved);

        // The question before replacing names the file that would be replaced.
        f.platform.fileAnswers = {typed};
        f.platform.confirmAnswers = {false};
        f.platform.fileAnswers.push_back(std::nullopt);
        f.action("saveOptions")->trigger();
        const auto asked = f.platform.callsOf("confirm");
        QCOMPARE(asked.size(), std::size_t(1));
        QVERIFY(asked[0].text.find("mine.pre") != std::string::npos);
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

    void menusOpenTheCalibrationPanelsAndTheOptionPanels() {
        PanelFixture f;
        connectCalibrationPanels(*f.panel, f.session, f.platform);
        whenModal<StraightLinePanel>([](StraightLinePanel* line) {
            line->kEntry()->setValue(12.25);
            line->cEntry()->setValue(0.5);
            line->okButton()->click();
        });
        f.action("optionsMenu")->trigger();
        // The main panel shows the change at once.
        QCOMPARE(f.session.calibration.header.K, 12.25);
        QCOMPARE(f.control<QLineEdit>("kDisplay")->text(), QString("   12.250"));
        QCOMPARE(f.control<QLineEdit>("cDisplay")->text(), QString("    0.500"));
        for (const char* action : {"linearCalibration", "SplineOptionsMenu"}) {
            QString opened;
            whenModal<PointsPanel>([&](PointsPanel* panel) {
                opened = panel->windowTitle();
                panel->reject();
            });
            f.action(action)->trigger();
            QCOMPARE(opened, QString(action[0] == 'l' ? messages::kLinearPointsTitle : messages::kSplineTitle));
        }

        // The option panels from the menu store their record and run no batch; the main panel stays.
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
        QCOMPARE(f.session.settings.constStepOpts.method, kLinearInterpolation);
    }

    void theLinearPointsPanelsOkShowsTheFittedLineInTheMainPanel() {
        PanelFixture f;
        connectCalibrationPanels(*f.panel, f.session, f.platform);
        whenModal<LinearPointsPanel>([](LinearPointsPanel* points) {
            points->pointList()->setCurrentRow(3);
            points->removeButton()->click();
            points->okButton()->click();
        });
        f.action("linearCalibration")->trigger();
        double C = 0.0, K = 0.0;
        const std::vector<CalibrationPoint> fitted(kStartupPoints, kStartupPoints + 3);
        QVERIFY(!fitStraightLine(fitted, C, K));
        QCOMPARE(f.session.calibration.header.K, K);
        QVERIFY(K != kStartupK);
        QCOMPARE(f.control<QLineEdit>("kDisplay")->text(), QString::fromStdString(formatFixed(K, 3, 9)));
        QCOMPARE(f.control<QLineEdit>("cDisplay")->text(), QString::fromStdString(formatFixed(C, 3, 9)));
    }

    void kAndCShowTheirFullValueInATooltip() {
        PanelFixture f;
        f.session.calibration.header.K = 10.93950123456789;
        f.session.calibration.header.C = 0.0266883;
        f.panel->refreshCalibrationDisplays();
        QCOMPARE(f.control<QLineEdit>("kDisplay")->text(), QString("   10.940"));
        QCOMPARE(f.control<QLineEdit>("kDisplay")->toolTip(), QString("K = 10.93950123456789 degrees"));
        QCOMPARE(f.control<QLineEdit>("cDisplay")->toolTip(), QString("C = 0.0266883 degrees per channel"));
    }

    void shortcutsTooltipsAndTheHelpMenu() {
        PanelFixture f;
        QCOMPARE(f.action("addFilesMenu")->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(f.action("convertMenu")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QCOMPARE(f.action("loadOptions")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        QCOMPARE(f.action("saveOptions")->shortcut(), QKeySequence(QKeySequence::Save));
        // Every control the user acts on says what it does.
        for (QWidget* control : f.panel->findChildren<QWidget*>())
            if (!control->objectName().isEmpty() && !control->objectName().startsWith("qt_") &&
                control->isVisibleTo(f.panel.get()) &&
                (qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
                 qobject_cast<QListWidget*>(control)))
                QVERIFY2(!control->toolTip().isEmpty(), qPrintable(control->objectName()));

        // The menu's Add Files asks as the button does; Convert does nothing on an empty list.
        f.platform.multiFileAnswers.push_back(std::vector<std::string>{"/d/a.chn"});
        f.action("addFilesMenu")->trigger();
        QCOMPARE(f.labels(), QStringList({"/d/a.chn"}));
        f.control<QPushButton>("removeFile")->click();
        f.action("convertMenu")->trigger();
        QVERIFY(f.panel->isVisible());

        QStringList shown;
        for (const char* name : {"helpGuide", "helpAbout"}) {
            whenModal<QMessageBox>([&shown](QMessageBox* box) {
                shown << box->windowTitle() + ": " + box->text();
                box->accept();
            });
            f.action(name)->trigger();
        }
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0].startsWith("Guide: A day's work with scan2theta"));
        QVERIFY(shown[1].startsWith("About scan2theta: scan2theta " S2T_VERSION "\n"));
    }

    void quitButtonMenuAndCloseBoxAskToQuit() {
        PanelFixture f;
        QSignalSpy quit(f.panel.get(), &MainPanel::quitRequested);
        f.control<QPushButton>("quit")->click();
        f.panel->show();
        f.action("quitMenu")->trigger();
        QCOMPARE(quit.count(), 2);
    }

    // What a 1366x768 screen leaves a window below its title bar and beside a task bar, at 100 %
    // and at 150 %, and a 1280x720 screen at 150 % (in the logical pixels the layout works in):
    // Convert and Quit are whole and visible at each, with a list of files.
    void convertAndQuitFitASmallScreen() {
        PanelFixture f;
        f.add({"/d/a.chn", "/d/b.chn"});
        for (const QSize size : {QSize(1366, 700), QSize(910, 450), QSize(840, 420)}) {
            f.panel->resize(size);
            QCoreApplication::processEvents();
            QCOMPARE(f.panel->size(), size);
            for (const char* name : {"convert", "quit"}) {
                auto* button = f.control<QPushButton>(name);
                const QRect inWindow(button->mapTo(f.panel.get(), QPoint(0, 0)), button->size());
                QVERIFY2(f.panel->rect().contains(inWindow), name);
                QVERIFY2(button->isVisible(), name);
                QCOMPARE(button->visibleRegion(), QRegion(button->rect()));
            }
        }
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
        // The rules already hold: a channel file first.
        QVERIFY(!panel.findChild<QRadioButton*>("fileAnglesMode")->isEnabled());
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
        options = parseStartOptions({"--bogus", "a.chn"});
        QVERIFY(options.error.find("bogus") != std::string::npos);
        // Help and version are seen wherever they stand before "--", and only there.
        QVERIFY(parseStartOptions({"a.chn", "--help"}).showHelp);
        QVERIFY(parseStartOptions({"-h"}).showHelp);
        QVERIFY(parseStartOptions({"--version"}).showVersion);
        QVERIFY(parseStartOptions({"-v"}).showVersion);
        // Qt's -reverse is not read as a group of one-letter options that holds -v.
        QVERIFY(!parseStartOptions({"-reverse"}).showVersion);
        options = parseStartOptions({"--", "--help", "-v", "-style"});
        QVERIFY(!options.showHelp && !options.showVersion && options.error.empty());
        QCOMPARE(options.files, std::vector<std::string>({"--help", "-v", "-style"}));
        const char* argv[] = {"scan2theta-gui", "-style", "fusion", "--", "-reverse", "--"};
        QCOMPARE(argumentsForQt(6, argv), 3);
        QCOMPARE(argumentsForQt(3, argv), 3);
        QVERIFY(startHelpText().rfind("Usage: scan2theta-gui [options] [--] [FILE...]\n", 0) == 0);
        QVERIFY(startHelpText().find("--home <DIR>") != std::string::npos);
        QCOMPARE(startVersionText(), std::string("scan2theta-gui ") + S2T_VERSION + "\n");
    }

    void anUnusableProgramFolderIsReported() {
        test::TempDir dir;
        const std::string blocker = dir.file("file");
        test::writeFile(blocker, "x");
        Session session;
        ScriptedPlatform platform;
        QVERIFY(!startSession(session, blocker + "/home", platform));
        QCOMPARE(platform.messages().size(), std::size_t(1));
        QCOMPARE(platform.messages()[0].title, std::string(messages::kFileError));
    }
};

QTEST_MAIN(MainPanelTest)
#include "MainPanelTest.moc"
