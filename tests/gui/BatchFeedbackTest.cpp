// A batch of several files in the desktop program: "Replace?" with "Yes to All" and "No to All",
// the failed files told once in a summary, and the progress panel's Cancel.
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <deque>
#include <filesystem>

#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/ModalDialogs.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"
#include "ui/BatchFeedback.h"
#include "ui/BatchSummaryDialog.h"
#include "ui/PanelMessages.h"
#include "ui/ProgressPanel.h"
#include "ui/QtPlatform.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::whenModal;

namespace {

// Answers the replace questions from a list, and keeps the summaries it is shown.
struct ScriptedDialogs : BatchDialogs {
    std::deque<ReplaceAnswer> answers;
    int asked = 0;
    std::vector<BatchSummary> summaries;
    ReplaceAnswer askReplace(std::string_view, std::string_view) override {
        ++asked;
        const ReplaceAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showSummary(const BatchSummary& summary) override { summaries.push_back(summary); }
};

struct BatchScene {
    test::TempDir dir;
    Session session;
    ScriptedPlatform platform;
    ScriptedDialogs dialogs;
    std::vector<BatchInput> inputs;

    BatchScene() {
        session.calibration.installStartupValues();
        std::filesystem::create_directories(dir.file("in"));
        std::filesystem::create_directories(dir.file("out"));
        platform.dirAnswers = {dir.file("out")};
    }
    std::string scan(const std::string& name, bool good = true) {
        const std::string path = dir.file("in/" + name);
        test::writeFile(path, good ? test::chnBytes(0, test::varyingCounts(6)) : std::string("not a scan"));
        inputs.push_back({path, kChnFileType});
        return path;
    }
    BatchResult run() {
        BatchFeedback feedback(platform, dialogs, inputs.size());
        const BatchResult result = convertFiles(session, feedback, inputs, {kLinearConversion, 0, kTextOutput}, 2);
        feedback.finish(result);
        return result;
    }
};

}  // namespace

class BatchFeedbackTest : public QObject {
    Q_OBJECT
private slots:
    void severalFailuresAreToldOnceAtTheEnd() {
        BatchScene s;
        const std::string bad1 = s.scan("a.chn", false);
        s.scan("b.chn");
        const std::string bad2 = s.scan("c.chn", false);
        const BatchResult result = s.run();
        QCOMPARE(result.converted, 1);
        QCOMPARE(result.skipped, 2);
        QVERIFY(s.platform.messages().empty());
        QCOMPARE(s.dialogs.summaries.size(), std::size_t(1));
        const BatchSummary& summary = s.dialogs.summaries[0];
        QCOMPARE(summary.headline, "1 file written to " + s.dir.file("out") + ", 2 skipped.");
        QCOMPARE(summary.messages.size(), std::size_t(2));
        QCOMPARE(summary.messages[0].input, bad1);
        QCOMPARE(summary.messages[0].title, std::string(messages::kError));
        QCOMPARE(summary.messages[0].text, messages::notAChnFile(bad1));
        QCOMPARE(summary.messages[1].input, bad2);
        const std::string text = summaryText(summary);
        QVERIFY(text.starts_with(summary.headline + "\n\n" + bad1 + "\nError: The input file"));

        // Shown by the plain dialogs as one message.
        ScriptedPlatform plainPlatform;
        PlainBatchDialogs plain(plainPlatform);
        plain.showSummary(summary);
        QCOMPARE(plainPlatform.messages().size(), std::size_t(1));
        QCOMPARE(plainPlatform.messages()[0].title, std::string(messages::kBatchFinished));
        QCOMPARE(plainPlatform.messages()[0].text, text);
    }

    void oneFailureIsToldAsItWasGiven() {
        BatchScene s;
        s.scan("a.chn");
        const std::string bad = s.scan("b.chn", false);
        s.run();
        QVERIFY(s.dialogs.summaries.empty());
        const auto messages = s.platform.messages();
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].text, messages::notAChnFile(bad));
    }

    void yesToAllAndNoToAllAnswerForTheRestOfTheBatch() {
        for (const ReplaceAnswer all : {ReplaceAnswer::YesToAll, ReplaceAnswer::NoToAll}) {
            BatchScene s;
            for (const char* name : {"a.chn", "b.chn", "c.chn"}) {
                s.scan(name);
                test::writeFile(s.dir.file("out/" + std::string(name, 1) + ".txt"), "old");
            }
            s.dialogs.answers = {ReplaceAnswer::No, all};
            const BatchResult result = s.run();
            QCOMPARE(result.converted, 3);
            QCOMPARE(s.dialogs.asked, 2);
            QVERIFY(s.platform.callsOf("confirm").empty());
            QCOMPARE(test::readFile(s.dir.file("out/a.txt")), std::string("old"));
            QVERIFY(test::fileExists(s.dir.file("out/a-0001.txt")));
            for (const char* name : {"b", "c"}) {
                const bool replaced = all == ReplaceAnswer::YesToAll;
                QCOMPARE(test::readFile(s.dir.file("out/" + std::string(name) + ".txt")) == "old", !replaced);
                QCOMPARE(test::fileExists(s.dir.file("out/" + std::string(name) + "-0001.txt")), !replaced);
            }
        }
    }

    void aSingleFileAsksYesOrNo() {
        BatchScene s;
        s.scan("a.chn");
        test::writeFile(s.dir.file("out/a.txt"), "old");
        s.platform.fileAnswers = {s.dir.file("out/a.txt")};
        s.platform.confirmAnswers = {true};
        s.run();
        QCOMPARE(s.dialogs.asked, 0);
        QCOMPARE(s.platform.callsOf("confirm").size(), std::size_t(1));
        QVERIFY(test::readFile(s.dir.file("out/a.txt")) != "old");
    }

    void cancelStopsBetweenFilesAndSaysHowFarItCame() {
        BatchScene s;
        for (const char* name : {"a.chn", "b.chn", "c.chn", "d.chn"}) s.scan(name);
        // The shown display stops before the third file.
        struct Stopping : ScriptedPlatform {
            int asked = 0;
            std::unique_ptr<ProgressDisplay> openProgressDisplay() override {
                struct Display : ProgressDisplay {
                    int* asked;
                    void setLabel(std::string_view) override {}
                    void setValue(double) override {}
                    void setInputFile(std::string_view) override {}
                    void setOutputFile(std::string_view) override {}
                    void setFileCounter(std::string_view) override {}
                    bool stopRequested() override { return ++*asked >= 3; }
                };
                auto display = std::make_unique<Display>();
                display->asked = &asked;
                return display;
            }
        } platform;
        platform.dirAnswers = {s.dir.file("out")};
        BatchFeedback feedback(platform, s.dialogs, s.inputs.size());
        const BatchResult result = convertFiles(s.session, feedback, s.inputs, {kLinearConversion, 0, kTextOutput}, 1);
        feedback.finish(result);
        QVERIFY(result.stopped);
        QCOMPARE(s.dialogs.summaries.size(), std::size_t(1));
        QCOMPARE(s.dialogs.summaries[0].headline,
                 "2 files written to " + s.dir.file("out") + ", 0 skipped.\nCancelled: 2 files not converted.");
    }

    void theProgressPanelsCancelAndEscape() {
        for (bool byEscape : {false, true}) {
            ProgressPanel panel;
            panel.show();
            QVERIFY(!panel.stopRequested());
            if (byEscape)
                QTest::keyClick(&panel, Qt::Key_Escape);
            else
                QTest::mouseClick(panel.cancelButton(), Qt::LeftButton);
            QVERIFY(panel.isVisible());
            QVERIFY(panel.stopRequested());
            QVERIFY(!panel.cancelButton()->isEnabled());
            QCOMPARE(panel.cancelButton()->text(), QString("Stopping after this file..."));
        }
    }

    void theDesktopAsksWithFourButtonsAndShowsTheSummaryInAWindow() {
        QtPlatform platform;
        QStringList buttons;
        whenModal<QMessageBox>([&buttons](QMessageBox* box) {
            for (QAbstractButton* button : box->buttons()) buttons << button->text().remove('&');
            box->button(QMessageBox::NoToAll)->click();
        });
        QCOMPARE(platform.askReplace(messages::kReplaceOutput, messages::replaceOutput("a.txt")),
                 ReplaceAnswer::NoToAll);
        buttons.sort();
        QCOMPARE(buttons, QStringList({"No", "No to All", "Yes", "Yes to All"}));

        QString headline, details;
        whenModal<BatchSummaryDialog>([&](BatchSummaryDialog* dialog) {
            headline = dialog->headline();
            details = dialog->details();
            dialog->accept();
        });
        platform.showSummary(
            {"0 files written to /o, 2 skipped.",
             {{"/d/a.chn", messages::kFileError, "one\ntwo"}, {"/d/<b>.chn", messages::kError, "three"}}});
        QCOMPARE(headline, QString("0 files written to /o, 2 skipped."));
        QCOMPARE(details, QString("/d/a.chn\n    File Error: one\n    two\n\n/d/<b>.chn\n    Error: three"));
    }
};

QTEST_MAIN(BatchFeedbackTest)
#include "BatchFeedbackTest.moc"
