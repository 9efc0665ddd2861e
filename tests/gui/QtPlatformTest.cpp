// The desktop platform: message and question boxes, file and directory dialogs set up from the
// popup arguments, the progress panel and the wait cursor. Modal dialogs are answered from a timer
// while they run.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "calibration/CalibrationState.h"
#include "calibration/SplineProgress.h"
#include "platform/Messages.h"
#include "support/ModalDialogs.h"
#include "support/TempDir.h"
#include "ui/PanelMessages.h"
#include "ui/ProgressPanel.h"
#include "ui/QtPlatform.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::whenModal;

class QtPlatformTest : public QObject {
    Q_OBJECT
private slots:
    void messageAndQuestionBoxesShowTitleAndText() {
        QtPlatform platform;
        QStringList shown;
        const auto answer = [&](QMessageBox::StandardButton button) {
            whenModal<QMessageBox>([&shown, button](QMessageBox* box) {
                shown << box->windowTitle() + ": " + box->text();
                box->button(button)->click();
            });
        };
        answer(QMessageBox::Ok);
        platform.messagePopup(messages::kFileError, messages::couldNotOpenInput("a.chn"));
        answer(QMessageBox::Yes);
        QVERIFY(platform.confirmPopup(messages::kReplaceOutput, messages::replaceOutput("a.txt")));
        answer(QMessageBox::No);
        QVERIFY(!platform.confirmPopup(messages::kReplaceOutput, messages::replaceOutput("b.txt")));
        const auto popup = [](std::string_view title, const std::string& text) {
            return QString::fromStdString(std::string(title) + ": " + text);
        };
        QCOMPARE(shown, QStringList({popup(messages::kFileError, messages::couldNotOpenInput("a.chn")),
                                     popup(messages::kReplaceOutput, messages::replaceOutput("a.txt")),
                                     popup(messages::kReplaceOutput, messages::replaceOutput("b.txt"))}));
    }

    // A path may hold anything a file name can: the boxes show it as it is, tags and line break too.
    void popupTextsArePlainText() {
        QtPlatform platform;
        QList<Qt::TextFormat> formats;
        QStringList shown;
        const auto read = [&](QMessageBox::StandardButton button) {
            whenModal<QMessageBox>([&formats, &shown, button](QMessageBox* box) {
                formats << box->textFormat();
                shown << box->findChild<QLabel*>("qt_msgbox_label")->text();
                box->button(button)->click();
            });
        };
        const char* const text = "Couldn't open input file: /d/<b>x</b>.chn\nFile may not exist.";
        read(QMessageBox::Ok);
        platform.messagePopup(messages::kFileError, text);
        read(QMessageBox::No);
        platform.confirmPopup(messages::kReplaceOutput, text);
        QCOMPARE(formats, QList<Qt::TextFormat>({Qt::PlainText, Qt::PlainText}));
        QCOMPARE(shown, QStringList({text, text}));
    }

    // "No new folders" takes the New Folder button away; a popup that allows them keeps it.
    void fileDialogsOfferNewFoldersOnlyWhenAllowed() {
        QtPlatform platform;
        QList<bool> readOnly;
        const auto look = [&readOnly] {
            whenModal<QFileDialog>([&readOnly](QFileDialog* dialog) {
                readOnly << dialog->testOption(QFileDialog::ReadOnly);
                dialog->reject();
            });
        };
        FileSelectOptions options;
        options.title = messages::kSelectOptionFile;
        options.allowMakeDirectory = false;
        look();
        platform.fileSelectPopup(options);
        options.forSaving = true;
        look();
        platform.fileSelectPopup(options);
        look();
        platform.multiFileSelectPopup(options);
        options.allowMakeDirectory = true;
        look();
        platform.fileSelectPopup(options);
        QCOMPARE(readOnly, QList<bool>({true, true, true, false}));
    }

    void fileDialogFollowsThePopupArguments() {
        test::TempDir dir;
        const std::string chosen = dir.file("scan.chn");
        test::writeFile(chosen, "x");
        QtPlatform platform;
        FileSelectOptions options;
        options.title = messages::kSelectInputFiles;
        options.defaultDirectory = dir.path();
        options.defaultFileSpec = "*.chn";
        options.filterList = "*.chn; *.guf";
        QString title, directory, selectedFilter;
        QStringList filters;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            directory = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            selectedFilter = dialog->selectedNameFilter();
            dialog->selectFile(QString::fromStdString(chosen));
            static_cast<QDialog*>(dialog)->accept();
        });
        const auto answer = platform.fileSelectPopup(options);
        QCOMPARE(title, QString(messages::kSelectInputFiles));
        QCOMPARE(directory, QString::fromStdString(dir.path()));
        QCOMPARE(filters, QStringList({"*.chn (*.chn)", "*.guf (*.guf)", "All files (*)"}));
        QCOMPARE(selectedFilter, QString("*.chn (*.chn)"));
        QVERIFY(answer);
        QCOMPARE(*answer, chosen);
    }

    void restrictedExtensionOffersOnlyItsPatterns() {
        FileSelectOptions options;
        options.filterList = "*.pre";
        options.defaultFileSpec = "*.pre";
        options.restrictExtension = true;
        const QStringList filters = nameFiltersFor(options);
        QCOMPARE(filters, QStringList({"*.pre (*.pre)"}));
        QCOMPARE(defaultNameFilter(filters, "*.pre"), QString("*.pre (*.pre)"));
        QCOMPARE(defaultNameFilter(filters, "*.dat"), QString());
    }

    void cancelledDialogsAnswerNothing() {
        QtPlatform platform;
        FileSelectOptions options;
        options.title = messages::kSelectOutputFile;
        options.forSaving = true;
        bool confirmsOverwrite = true;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            dialog->reject();
        });
        QVERIFY(!platform.fileSelectPopup(options));
        // The writer asks its own "Replace?" question; the dialog must not ask first.
        QVERIFY(!confirmsOverwrite);
        whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        QVERIFY(!platform.multiFileSelectPopup(options));
        whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        QVERIFY(!platform.dirSelectPopup({}));
    }

    void progressPanelShowsWhatTheBatchTellsIt() {
        QtPlatform platform;
        std::unique_ptr<ProgressDisplay> display = platform.openProgressDisplay();
        auto* panel = dynamic_cast<ProgressPanel*>(display.get());
        QVERIFY(panel);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->label(), QString(messages::kProgressLabel));
        display->setInputFile("/d/a.chn");
        display->setOutputFile("/o/a.dat");
        display->setFileCounter("File 2 of 3");
        display->setValue(42.9);
        QCOMPARE(panel->inputFile(), QString("/d/a.chn"));
        QCOMPARE(panel->outputFile(), QString("/o/a.dat"));
        QCOMPARE(panel->fileCounter(), QString("File 2 of 3"));
        QCOMPARE(panel->value(), 42);
        display->setValue(100.0);
        QCOMPARE(panel->value(), 100);
        // The batch cannot be stopped: the close box does nothing.
        QVERIFY(!panel->close());
        QVERIFY(panel->isVisible());
    }

    void theSplineRelabelsTheIndicatorWhileItRuns() {
        QtPlatform platform;
        std::unique_ptr<ProgressDisplay> display = platform.openProgressDisplay();
        auto* panel = dynamic_cast<ProgressPanel*>(display.get());
        struct Watch : ProgressDisplay {
            ProgressPanel* panel;
            QStringList labels;
            void setLabel(std::string_view label) override {
                panel->setLabel(label);
                labels << panel->label();
            }
            void setValue(double percent) override { panel->setValue(percent); }
            void setInputFile(std::string_view) override {}
            void setOutputFile(std::string_view) override {}
            void setFileCounter(std::string_view) override {}
        } watch;
        watch.panel = panel;
        std::vector<CalibrationPoint> points(kStartupPoints, kStartupPoints + 4);
        splineWithProgress(std::span<CalibrationPoint>(points), true, {&platform, &watch});
        QCOMPARE(watch.labels, QStringList({messages::kCalculatingSpline, messages::kProgressLabel}));
        QCOMPARE(panel->label(), QString(messages::kProgressLabel));
    }

    void waitCursorComesAndGoes() {
        QtPlatform platform;
        QVERIFY(!QApplication::overrideCursor());
        platform.setWaitCursor(true);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        platform.setWaitCursor(true);
        platform.setWaitCursor(false);
        QVERIFY(!QApplication::overrideCursor());
        platform.setWaitCursor(false);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(QtPlatformTest)
#include "QtPlatformTest.moc"
