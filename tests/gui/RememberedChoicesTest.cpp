// What the desktop program remembers from one start to the next (scan2theta-gui.ini in the program
// folder): the window, the main panel's choices, the option panels' records and the folder of every
// file dialog; damaged and unwritable files; and the question at quit when the calibration in
// force is not the one Default.pre holds.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <deque>
#include <filesystem>

#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/ModalDialogs.h"
#include "support/TempDir.h"
#include "support/UserInput.h"
#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/LineEndPreference.h"
#include "ui/MainPanel.h"
#include "ui/NumberEntry.h"
#include "ui/OptionPanelChain.h"
#include "ui/PanelMessages.h"
#include "ui/QtPlatform.h"
#include "ui/RangePanel.h"
#include "ui/RememberedChoices.h"
#include "ui/ScanPreview.h"
#include "ui/StartUp.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::clickOn;
using s2t::test::typeInto;
using s2t::test::whenModal;

namespace {

// The scripted platform that also answers the question at quit, from a list.
struct QuittingPlatform : ScriptedPlatform, UnsavedCalibrationQuestion {
    std::deque<UnsavedCalibrationAnswer> quitAnswers;
    std::vector<std::string> quitQuestions;
    UnsavedCalibrationAnswer askAboutUnsavedCalibration(std::string_view title, std::string_view text) override {
        quitQuestions.push_back(std::string(title) + ": " + std::string(text));
        const UnsavedCalibrationAnswer answer = quitAnswers.front();
        quitAnswers.pop_front();
        return answer;
    }
};

// One start of the program in a given program folder, as main() makes it.
struct Start {
    Session session;
    QuittingPlatform platform;
    std::unique_ptr<MainPanel> panel;
    int quits = 0;

    explicit Start(const std::string& home, std::vector<std::string> files = {}) {
        if (!startSession(session, home, platform)) qFatal("the program folder cannot be used");
        panel = std::make_unique<MainPanel>(session, platform);
        QObject::connect(panel.get(), &MainPanel::quitRequested, [this] { ++quits; });
        panel->show();
        fillMainPanel(*panel, files);
    }
    template <class T>
    T* control(const char* name) {
        T* found = panel->findChild<T*>(name);
        if (!found) qFatal("no control %s", name);
        return found;
    }
    void chooseFormat(std::int32_t format) {
        auto* ring = control<QComboBox>("outputFormat");
        ring->setCurrentIndex(ring->findData(format));
        emit ring->activated(ring->currentIndex());
    }
    template <class Panel>
    Panel* optionPanel(const char* menu) {
        panel->findChild<QAction*>(menu)->trigger();
        return qobject_cast<Panel*>(panel->optionPanels().currentPanel());
    }
    // Quit as the button does.
    void quit() { control<QPushButton>("quit")->click(); }
};

std::string iniOf(const test::TempDir& home) { return preferencesPath(home.path()); }

}  // namespace

class RememberedChoicesTest : public QObject {
    Q_OBJECT
private slots:
    void everyChoiceComesBackAtTheNextStart() {
        test::TempDir home;
        {
            Start first(home.path(), {"/d/a.chn"});
            // A first start shows the initial state: nothing is remembered yet.
            QVERIFY(!test::fileExists(iniOf(home)));
            QVERIFY(first.control<QRadioButton>("linearMode")->isChecked());
            QCOMPARE(first.control<QComboBox>("outputFormat")->currentData().toInt(), kTextOutput);
            QVERIFY(!first.control<QCheckBox>("limitRangeBox")->isChecked());
            QCOMPARE(first.session.settings.constStepOpts.step, 0.0);
            QCOMPARE(first.session.settings.CPIOpt.wavelength, 0.0);

            // A CPI conversion asks for the step and the CPI options; the output popup is cancelled.
            first.chooseFormat(kCpiOutput);
            first.control<QPushButton>("convert")->click();
            auto* step = qobject_cast<ConstantStepPanel*>(first.panel->optionPanels().currentPanel());
            QVERIFY(step);
            typeInto(step->stepEntry(), "0.025");
            clickOn(step->splineButton());
            step->okButton()->click();
            auto* cpi = qobject_cast<CpiPanel*>(first.panel->optionPanels().currentPanel());
            QVERIFY(cpi);
            typeInto(cpi->targetEntry(), "Co");
            typeInto(cpi->wavelengthEntry(), "1.78897");
            cpi->okButton()->click();
            QVERIFY(first.panel->isVisible());

            first.chooseFormat(kXyeOutput);
            clickOn(first.control<QRadioButton>("splineMode"));
            clickOn(first.control<QCheckBox>("wholeTwoThetaBox"));
            clickOn(first.control<QCheckBox>("limitRangeBox"));
            clickOn(first.control<QCheckBox>("perSecondBox"));
            auto* range = first.optionPanel<RangePanel>("rangeOptions");
            typeInto(range->minEntry(), "12.5");
            typeInto(range->maxEntry(), "77.125");
            range->okButton()->click();
            first.panel->resize(1000, 640);
            first.quit();
            QCOMPARE(first.quits, 1);
            QVERIFY(first.platform.quitQuestions.empty());
        }
        Start second(home.path(), {"/d/b.chn"});
        QCOMPARE(second.control<QComboBox>("outputFormat")->currentData().toInt(), kXyeOutput);
        QCOMPARE(second.control<QLabel>("outputFormatText")->text(), QString("XYE File (2-theta, count, uncertainty)"));
        QVERIFY(second.control<QRadioButton>("splineMode")->isChecked());
        QVERIFY(!second.control<QRadioButton>("linearMode")->isChecked());
        for (const char* box :
             {"convertToTwoTheta", "wholeTwoThetaBox", "constantStepBox", "limitRangeBox", "perSecondBox"})
            QVERIFY2(second.control<QCheckBox>(box)->isChecked(), box);
        QCOMPARE(second.session.settings.constStepOpts.step, 0.025);
        QCOMPARE(second.session.settings.constStepOpts.method, kSplineInterpolation);
        QCOMPARE(second.session.settings.theRangeOptions.minTwoTheta, 12.5);
        QCOMPARE(second.session.settings.theRangeOptions.maxTwoTheta, 77.125);
        QCOMPARE(second.session.settings.CPIOpt.target, std::string("Co"));
        QCOMPARE(second.session.settings.CPIOpt.wavelength, 1.78897);
        QCOMPARE(second.panel->size(), QSize(1000, 640));
        // The option panels open with the remembered records.
        auto* range = second.optionPanel<RangePanel>("rangeOptions");
        QCOMPARE(range->minEntry()->value(), 12.5);
        range->cancelButton()->click();
    }

    // The preview's count scale and standard ticks come back; a standard removed in between is
    // simply not ticked.
    void thePreviewKeepsItsScaleAndStandardTicks() {
        test::TempDir home;
        {
            Start first(home.path());
            auto* preview = first.control<ScanPreview>("preview");
            QCOMPARE(preview->countScale(), CountScale::Linear);
            QCOMPARE(preview->chosenStandard(), QString());
            preview->setCountScale(CountScale::Log);
            QVERIFY(preview->chooseStandard("Silicon"));
            first.quit();
        }
        {
            Start second(home.path());
            auto* preview = second.control<ScanPreview>("preview");
            QCOMPARE(preview->countScale(), CountScale::Log);
            QCOMPARE(preview->chosenStandard(), QString("Silicon"));
            second.quit();
        }
        QVERIFY(std::filesystem::remove(std::filesystem::path(home.path()) / "Standards" / "Silicon.std"));
        Start third(home.path());
        auto* preview = third.control<ScanPreview>("preview");
        QCOMPARE(preview->countScale(), CountScale::Log);
        QCOMPARE(preview->chosenStandard(), QString());
    }

    // The enabling rules have the last word over what is remembered: the file's own angles do not
    // stay selected for a list of channel files, and a grid format forces the constant step.
    void theRulesStillHoldOverRememberedChoices() {
        test::TempDir home;
        {
            Start first(home.path(), {"/d/s.guf"});
            clickOn(first.control<QRadioButton>("fileAnglesMode"));
            first.chooseFormat(kXfitOutput);
            first.quit();
        }
        Start second(home.path(), {"/d/a.chn"});
        QVERIFY(second.control<QRadioButton>("linearMode")->isChecked());
        QVERIFY(!second.control<QRadioButton>("fileAnglesMode")->isEnabled());
        QCOMPARE(second.control<QLabel>("outputFormatText")->text(), QString("XFIT File"));
        QVERIFY(second.control<QCheckBox>("constantStepBox")->isChecked());
        QVERIFY(!second.control<QCheckBox>("constantStepBox")->isEnabled());
    }

    // A damaged file, or values nobody could have stored, leave the program as at a first start;
    // the values that can be read still come back, and Default.pre is never touched.
    void aDamagedSettingsFileFallsBackToTheInitialState() {
        test::TempDir home;
        { Start first(home.path()); }
        const std::string defaults = test::readFile(defaultOptionsPath(home.path()));
        test::writeFile(iniOf(home), std::string("\x00\xff[[[\n=\n\x01garbage", 17));
        {
            Start start(home.path(), {"/d/a.chn"});
            QVERIFY(start.control<QRadioButton>("linearMode")->isChecked());
            QCOMPARE(start.control<QComboBox>("outputFormat")->currentData().toInt(), kTextOutput);
            QVERIFY(start.platform.messages().empty());
            start.quit();
            QCOMPARE(start.quits, 1);
        }
        test::writeFile(iniOf(home),
                        "[window]\ngeometry=@ByteArray(nonsense)\n"
                        "[output]\nformat=bmp\nlimitRange=yes\nwholeTwoTheta=true\n"
                        "[conversion]\nmode=sideways\ntoTwoTheta=1\n"
                        "[constantStep]\nstep=-0.02\nmethod=3\nfractionalCounts=false\n"
                        "[range]\nminTwoTheta=80\nmaxTwoTheta=10\n"
                        "[cpi]\ntarget=Copper-K-alpha\nwavelength=1.54\n");
        const RememberedChoices read = loadRememberedChoices(home.path());
        QVERIFY(!read.outputFormat && !read.mode && !read.limitRange && !read.convertToTwoTheta);
        QVERIFY(!read.constStep && !read.range && !read.cpi);
        QVERIFY(read.wholeTwoTheta && *read.wholeTwoTheta);
        Start start(home.path(), {"/d/a.chn"});
        QVERIFY(start.control<QRadioButton>("linearMode")->isChecked());
        QVERIFY(start.control<QCheckBox>("wholeTwoThetaBox")->isChecked());
        QCOMPARE(start.session.settings.constStepOpts.step, 0.0);
        QCOMPARE(start.session.settings.theRangeOptions.minTwoTheta, 0.0);
        QCOMPARE(start.session.settings.CPIOpt.wavelength, 0.0);
        QVERIFY(start.panel->width() > 0);
        QCOMPARE(test::readFile(defaultOptionsPath(home.path())), defaults);
    }

    // Nothing can be written where the settings file would go: the program starts and quits as
    // always, and Default.pre is untouched.
    void anUnwritableSettingsFileStopsNothing() {
        test::TempDir home;
        { Start first(home.path()); }
        const std::string defaults = test::readFile(defaultOptionsPath(home.path()));
        QVERIFY(QDir().mkpath(QString::fromStdString(iniOf(home))));
        Start start(home.path());
        clickOn(start.control<QCheckBox>("limitRangeBox"));
        start.quit();
        QCOMPARE(start.quits, 1);
        QVERIFY(start.platform.messages().empty());
        RememberedChoices choices;
        choices.outputFormat = kXfitOutput;
        QVERIFY(!saveRememberedChoices(home.path(), choices));
        QCOMPARE(test::readFile(defaultOptionsPath(home.path())), defaults);
    }

    void quittingWithACalibrationThatIsNotTheDefaultAsksFirst() {
        test::TempDir home;
        Start start(home.path());
        const std::string defaultPath = defaultOptionsPath(home.path());
        const std::string stored = test::readFile(defaultPath);
        start.session.calibration.header.K = 11.5;

        // Cancel: the program stays, calibration and all.
        start.platform.quitAnswers = {UnsavedCalibrationAnswer::Cancel};
        start.quit();
        QCOMPARE(start.quits, 0);
        QVERIFY(start.panel->isVisible());
        QCOMPARE(start.platform.quitQuestions.size(), std::size_t(1));
        QCOMPARE(start.platform.quitQuestions[0],
                 messages::kUnsavedCalibrationTitle + std::string(": ") + messages::unsavedCalibration(defaultPath));
        QCOMPARE(start.session.calibration.header.K, 11.5);

        // Quit without saving: Default.pre keeps what it held.
        start.platform.quitAnswers = {UnsavedCalibrationAnswer::QuitWithoutSaving};
        start.quit();
        QCOMPARE(start.quits, 1);
        QCOMPARE(test::readFile(defaultPath), stored);

        // Save as default: Default.pre holds the calibration in force, and the next quit asks nothing.
        start.panel->show();
        start.platform.quitAnswers = {UnsavedCalibrationAnswer::SaveAsDefault};
        start.quit();
        QCOMPARE(start.quits, 2);
        QCOMPARE(test::readFile(defaultPath), optionFileText(start.session.calibration, LineEnd::CrLf));
        start.panel->show();
        start.quit();
        QCOMPARE(start.quits, 3);
        QCOMPARE(start.platform.quitQuestions.size(), std::size_t(3));
        Start next(home.path());
        QCOMPARE(next.session.calibration.header.K, 11.5);
    }

    // Equal is what the option file would store: a difference in the tenth decimal is none, a
    // point more or a point moved is one.
    void noQuestionWhenTheDefaultHoldsTheCalibration() {
        test::TempDir home;
        Start start(home.path());
        start.session.calibration.header.K += 1e-9;
        start.session.calibration.header.C -= 1e-10;
        QVERIFY(!differsFromDefault(start.session.calibration, home.path()));
        start.quit();
        QCOMPARE(start.quits, 1);
        QVERIFY(start.platform.quitQuestions.empty());

        CalibrationState moved = start.session.calibration;
        moved.calPoints.back().channel += 0.001;
        QVERIFY(differsFromDefault(moved, home.path()));
        CalibrationState fewer = start.session.calibration;
        fewer.calPoints.pop_back();
        QVERIFY(differsFromDefault(fewer, home.path()));
        // A missing Default.pre is written from the built-in values at the next start.
        std::filesystem::remove(defaultOptionsPath(home.path()));
        QVERIFY(!differsFromDefault(start.session.calibration, home.path()));
    }

    // Saving as the default fails (Default.pre is not a file): the failure is told and the program stays.
    void aDefaultThatCannotBeSavedKeepsTheProgramOpen() {
        test::TempDir home;
        Start start(home.path());
        start.session.calibration.header.C = 0.03;
        std::filesystem::remove(defaultOptionsPath(home.path()));
        QVERIFY(QDir().mkpath(QString::fromStdString(defaultOptionsPath(home.path()))));
        start.platform.quitAnswers = {UnsavedCalibrationAnswer::SaveAsDefault};
        start.quit();
        QCOMPARE(start.quits, 0);
        QVERIFY(start.panel->isVisible());
        QCOMPARE(start.platform.messages().size(), std::size_t(1));
        QCOMPARE(start.platform.messages()[0].title, std::string(messages::kFileError));
    }

    // A platform without the three-button question is asked yes (save) or no (quit without saving).
    void aPlainPlatformIsAskedYesOrNo() {
        test::TempDir home;
        Session session;
        ScriptedPlatform platform;
        QVERIFY(startSession(session, home.path(), platform));
        MainPanel panel(session, platform);
        fillMainPanel(panel, {});
        panel.show();
        session.calibration.header.K = 9.0;
        platform.confirmAnswers = {true};
        QSignalSpy quit(&panel, &MainPanel::quitRequested);
        panel.findChild<QAction*>("quitMenu")->trigger();
        QCOMPARE(quit.count(), 1);
        QCOMPARE(platform.callsOf("confirm").size(), std::size_t(1));
        QCOMPARE(platform.callsOf("confirm")[0].title, std::string(messages::kUnsavedCalibrationTitle));
        CalibrationState stored;
        QVERIFY(loadOptionFile(defaultOptionsPath(home.path()), stored, platform));
        QCOMPARE(stored.header.K, 9.0);
    }

    // The desktop platform asks in a plain-text box with the three answers.
    void theQuestionBoxHasThreeAnswers() {
        QtPlatform platform;
        const std::pair<const char*, UnsavedCalibrationAnswer> clicks[] = {
            {"saveAsDefault", UnsavedCalibrationAnswer::SaveAsDefault},
            {"quitWithoutSaving", UnsavedCalibrationAnswer::QuitWithoutSaving},
            {nullptr, UnsavedCalibrationAnswer::Cancel},
        };
        const char* const text = "The calibration in force is not the one in\n/h/<b>x</b>/Default.pre";
        for (const auto& [button, expected] : clicks) {
            QStringList seen;
            whenModal<QMessageBox>([&seen, button](QMessageBox* box) {
                QCOMPARE(box->textFormat(), Qt::PlainText);
                for (QAbstractButton* shown : box->buttons()) seen << shown->text();
                seen.sort();
                if (button)
                    box->findChild<QPushButton*>(button)->click();
                else
                    QTest::keyClick(box, Qt::Key_Escape);
            });
            QCOMPARE(platform.askAboutUnsavedCalibration(messages::kUnsavedCalibrationTitle, text), expected);
            QCOMPARE(seen, QStringList({"Cancel", messages::kQuitWithoutSavingButton, messages::kSaveAsDefaultButton}));
        }
    }

    // Every file dialog comes back where the user left it, at the next start too; the output
    // dialogs only for inputs from the same folder as before; a folder that is gone is not offered.
    void fileDialogsStartWhereTheyWereLeft() {
        test::TempDir home;
        const std::string scans = home.file("scans");
        const std::string out = home.file("out");
        const std::string other = home.file("other");
        for (const std::string& folder : {scans, out, other}) QDir().mkpath(QString::fromStdString(folder));
        test::writeFile(scans + "/a.chn", "x");
        const auto pick = [](const std::string& path, QString& startedIn) {
            whenModal<QFileDialog>([path, &startedIn](QFileDialog* dialog) {
                startedIn = dialog->directory().absolutePath();
                dialog->selectFile(QString::fromStdString(path));
                static_cast<QDialog*>(dialog)->accept();
            });
        };
        FileSelectOptions input;
        input.title = messages::kSelectInputFiles;
        input.defaultDirectory = home.path();
        DirSelectOptions output;
        output.title = messages::kSelectOutputDirectory;
        output.defaultDirectory = scans;
        QString startedIn;
        {
            QtPlatform first;
            first.rememberFoldersIn(home.path());
            pick(scans + "/a.chn", startedIn);
            QVERIFY(first.multiFileSelectPopup(input));
            QCOMPARE(startedIn, QString::fromStdString(home.path()));
            pick(out, startedIn);
            QCOMPARE(first.dirSelectPopup(output), std::optional<std::string>(out));
            QCOMPARE(startedIn, QString::fromStdString(scans));
        }
        QtPlatform second;
        second.rememberFoldersIn(home.path());
        pick(scans + "/a.chn", startedIn);
        QVERIFY(second.multiFileSelectPopup(input));
        QCOMPARE(startedIn, QString::fromStdString(scans));
        pick(out, startedIn);
        QVERIFY(second.dirSelectPopup(output));
        QCOMPARE(startedIn, QString::fromStdString(out));
        // Inputs from another folder: the output dialog starts beside them.
        output.defaultDirectory = other;
        pick(other, startedIn);
        QVERIFY(second.dirSelectPopup(output));
        QCOMPARE(startedIn, QString::fromStdString(other));
        // Another dialog keeps its own folder.
        FileSelectOptions options;
        options.title = messages::kSelectOptionFile;
        options.defaultDirectory = home.path();
        whenModal<QFileDialog>([&startedIn](QFileDialog* dialog) {
            startedIn = dialog->directory().absolutePath();
            dialog->reject();
        });
        QVERIFY(!second.fileSelectPopup(options));
        QCOMPARE(startedIn, QString::fromStdString(home.path()));
        // The folder the input dialog was left in is gone.
        std::filesystem::remove_all(scans);
        whenModal<QFileDialog>([&startedIn](QFileDialog* dialog) {
            startedIn = dialog->directory().absolutePath();
            dialog->reject();
        });
        QVERIFY(!second.multiFileSelectPopup(input));
        QCOMPARE(startedIn, QString::fromStdString(home.path()));
    }
};

QTEST_MAIN(RememberedChoicesTest)
#include "RememberedChoicesTest.moc"
