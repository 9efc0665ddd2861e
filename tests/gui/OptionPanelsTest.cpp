// The constant-step, range and CPI panels on screen, and the chain that shows them before a batch.
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/UserInput.h"
#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/NumberEntry.h"
#include "ui/OptionPanelChain.h"
#include "ui/PanelMessages.h"
#include "ui/RangePanel.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::typeInto;

namespace {

// A main panel stand-in, the chain over it, and the number of batches run.
struct ChainFixture {
    Session session;
    ScriptedPlatform platform;
    QWidget mainPanel;
    int runs = 0;
    bool mainVisibleDuringRun = true;
    OptionPanelChain chain{session, platform, &mainPanel, [this] {
                               ++runs;
                               mainVisibleDuringRun = mainPanel.isVisible();
                           }};

    template <class Panel>
    Panel* current() {
        return qobject_cast<Panel*>(chain.currentPanel());
    }

    // OK on a panel whose entries are refused: the one message, the panel still up, no batch.
    void checkRefused(QDialog* panel, const std::string& text) {
        QVERIFY(panel->isVisible());
        QCOMPARE(chain.currentPanel(), panel);
        QCOMPARE(runs, 0);
        const auto messages = platform.messages();
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].title, std::string(messages::kNotPossible));
        QCOMPARE(messages[0].text, text);
    }
};

}  // namespace

class OptionPanelsTest : public QObject {
    Q_OBJECT
private slots:
    void constantStepPanelOpensWithItsInitialValuesThenTheStoredOnes() {
        Session session;
        ScriptedPlatform platform;
        ConstantStepPanel first(session, platform, nullptr);
        first.show();
        QCOMPARE(first.stepEntry()->value(), 0.02);
        QVERIFY(first.linearButton()->isChecked());
        QVERIFY(!first.splineButton()->isChecked());
        typeInto(first.stepEntry(), "0.035");
        // The interpolation buttons exclude each other; clicking the selected one keeps it.
        for (QRadioButton* button : {first.linearButton(), first.splineButton(), first.splineButton()})
            QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(first.splineButton()->isChecked());
        QVERIFY(!first.linearButton()->isChecked());
        first.fractionalCountsBox()->setChecked(true);
        first.okButton()->click();
        QVERIFY(!first.isVisible());
        QCOMPARE(session.settings.constStepOpts.step, 0.035);
        QCOMPARE(session.settings.constStepOpts.method, kSplineInterpolation);
        QCOMPARE(session.settings.constStepOpts.fractionalCounts, 1);

        ConstantStepPanel second(session, platform, nullptr);
        QCOMPARE(second.stepEntry()->text(), QString("0.035"));
        QVERIFY(second.splineButton()->isChecked());
        QVERIFY(!second.linearButton()->isChecked());
        // Fractional counts are not preset from the record.
        QVERIFY(!second.fractionalCountsBox()->isChecked());

        // Any method but the spline shows linear, whatever number a record holds.
        for (int method : {1, 2, -4}) {
            session.settings.constStepOpts = {static_cast<Interpolation>(method), 0, 0.1};
            ConstantStepPanel panel(session, platform, nullptr);
            QVERIFY(panel.linearButton()->isChecked());
            QVERIFY(!panel.splineButton()->isChecked());
        }
    }

    void aStepOfZeroOrBelowKeepsThePanelOpen() {
        for (const char* typed : {"0", "-0.02"}) {
            ChainFixture f;
            f.session.settings.constStepOpts = {kLinearInterpolation, 0, 0.05};
            f.chain.displayOptionPanels(OPT_CONSTANT_STEP | OPT_CONVERT);
            auto* panel = f.current<ConstantStepPanel>();
            QVERIFY(panel);
            typeInto(panel->stepEntry(), typed);
            panel->fractionalCountsBox()->setChecked(true);
            panel->okButton()->click();
            f.checkRefused(panel, messages::kStepNotAbove0);
            QCOMPARE(f.session.settings.constStepOpts.step, 0.05);
            QCOMPARE(f.session.settings.constStepOpts.fractionalCounts, 0);
            // A corrected step goes on.
            typeInto(panel->stepEntry(), "0.02");
            panel->okButton()->click();
            QCOMPARE(f.session.settings.constStepOpts.step, 0.02);
            QCOMPARE(f.runs, 1);
        }
    }

    void rangePanelRefusesAMinimumAboveTheMaximumAndStaysOpen() {
        ChainFixture f;
        f.chain.displayOptionPanels(OPT_RANGE | OPT_CONVERT);
        auto* panel = f.current<RangePanel>();
        QVERIFY(panel);
        typeInto(panel->minEntry(), "70");
        typeInto(panel->maxEntry(), "40");
        panel->okButton()->click();
        f.checkRefused(panel, messages::kRangeReversed);
        QCOMPARE(f.session.settings.theRangeOptions.minTwoTheta, 0.0);
        QCOMPARE(f.session.settings.theRangeOptions.maxTwoTheta, 0.0);
        // The typed values stay for correcting; equal limits are a range.
        QCOMPARE(panel->minEntry()->value(), 70.0);
        typeInto(panel->maxEntry(), "70");
        panel->okButton()->click();
        QCOMPARE(f.session.settings.theRangeOptions.minTwoTheta, 70.0);
        QCOMPARE(f.session.settings.theRangeOptions.maxTwoTheta, 70.0);
        QCOMPARE(f.runs, 1);
    }

    void rangePanelShowsAStoredRangeOnlyWhenMinimumIsBelowMaximum() {
        Session session;
        ScriptedPlatform platform;
        session.settings.theRangeOptions = {25.0, 65.5};
        RangePanel stored(session, platform, nullptr);
        QCOMPARE(stored.minEntry()->value(), 25.0);
        QCOMPARE(stored.maxEntry()->value(), 65.5);
        for (RangeOptions record : {RangeOptions{0.0, 0.0}, RangeOptions{40.0, 40.0}, RangeOptions{50.0, 40.0}}) {
            session.settings.theRangeOptions = record;
            RangePanel initial(session, platform, nullptr);
            QCOMPARE(initial.minEntry()->value(), 10.0);
            QCOMPARE(initial.maxEntry()->value(), 80.0);
        }
    }

    void cpiTargetTakesAtMostSevenCharacters() {
        Session session;
        session.settings.CPIOpt = {"Mo", 0.0};  // no wavelength stored: the initial values
        CpiPanel panel(session, nullptr);
        panel.show();
        QCOMPARE(panel.targetEntry()->text(), QString("Cu"));
        QCOMPARE(panel.wavelengthEntry()->value(), 1.5406);
        typeInto(panel.targetEntry(), "Molybdenum");
        QCOMPARE(panel.targetEntry()->text(), QString("Molybde"));
        typeInto(panel.wavelengthEntry(), "0.7093");
        panel.okButton()->click();
        QCOMPARE(session.settings.CPIOpt.target, std::string("Molybde"));
        QCOMPARE(session.settings.CPIOpt.wavelength, 0.7093);

        CpiPanel again(session, nullptr);
        QCOMPARE(again.targetEntry()->text(), QString("Molybde"));
        QCOMPARE(again.wavelengthEntry()->value(), 0.7093);
    }

    // One typed character is one byte of the CPI header: letters beyond ASCII and control
    // characters never reach the entry, printable ASCII does.
    void cpiTargetTakesPrintableAsciiOnly() {
        Session session;
        CpiPanel panel(session, nullptr);
        panel.show();
        panel.targetEntry()->clear();
        panel.targetEntry()->setFocus();
        // Key presses that carry text, as a keyboard layout with these letters sends them.
        for (const QChar ch : QString::fromUtf8("C\u00fc\u03b1 u\u00c5~\u20ac")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(panel.targetEntry(), &press);
        }
        QCOMPARE(panel.targetEntry()->text(), QString("C u~"));
        // Pasted text is held to the same rule: refused whole when it holds anything else.
        panel.targetEntry()->clear();
        panel.targetEntry()->insert(QString::fromUtf8("Cu\u00e9"));
        QCOMPARE(panel.targetEntry()->text(), QString());
        panel.targetEntry()->insert("Ag");
        panel.okButton()->click();
        QCOMPARE(session.settings.CPIOpt.target, std::string("Ag"));
    }

    void entriesUseTheDecimalPointWhateverTheLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Session session;
        ScriptedPlatform platform;
        RangePanel panel(session, platform, nullptr);
        panel.show();
        typeInto(panel.minEntry(), "12.5");
        typeInto(panel.maxEntry(), "80.25");
        QCOMPARE(panel.maxEntry()->text(), QString("80.25"));
        panel.okButton()->click();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(session.settings.theRangeOptions.minTwoTheta, 12.5);
        QCOMPARE(session.settings.theRangeOptions.maxTwoTheta, 80.25);
    }

    void theChainShowsItsPanelsInOrderThenRuns() {
        ChainFixture f;
        f.mainPanel.show();
        f.mainPanel.hide();  // as Convert does
        QSignalSpy finished(&f.chain, &OptionPanelChain::finished);
        f.chain.displayOptionPanels(OPT_CONVERT | OPT_CPI | OPT_RANGE | OPT_CONSTANT_STEP);
        auto* step = f.current<ConstantStepPanel>();
        QVERIFY(step);
        QVERIFY(step->isVisible());
        QVERIFY(step->isModal());
        step->okButton()->click();
        auto* range = f.current<RangePanel>();
        QVERIFY(range);
        range->okButton()->click();
        auto* cpi = f.current<CpiPanel>();
        QVERIFY(cpi);
        QCOMPARE(f.runs, 0);
        QVERIFY(!f.mainPanel.isVisible());
        cpi->okButton()->click();
        QCOMPARE(f.runs, 1);
        QVERIFY(!f.mainVisibleDuringRun);
        QVERIFY(f.mainPanel.isVisible());
        QVERIFY(!f.chain.currentPanel());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(f.session.settings.constStepOpts.method, kLinearInterpolation);
        QCOMPARE(f.session.settings.theRangeOptions.maxTwoTheta, 80.0);
        QCOMPARE(f.session.settings.CPIOpt.target, std::string("Cu"));

        // Without panels the batch runs at once.
        f.chain.displayOptionPanels(OPT_CONVERT);
        QCOMPARE(f.runs, 2);
    }

    void cancelCloseAndEscapeEndTheChainAndKeepTheRecordsAlreadyStored() {
        enum How { CancelButton, CloseBox, Escape };
        for (How how : {CancelButton, CloseBox, Escape}) {
            ChainFixture f;
            f.session.settings.theRangeOptions = {20.0, 30.0};
            f.chain.displayOptionPanels(OPT_CONVERT | OPT_RANGE | OPT_CONSTANT_STEP);
            auto* step = f.current<ConstantStepPanel>();
            typeInto(step->stepEntry(), "0.08");
            step->okButton()->click();
            auto* range = f.current<RangePanel>();
            QVERIFY(range);
            typeInto(range->minEntry(), "5");
            if (how == CancelButton)
                range->cancelButton()->click();
            else if (how == CloseBox)
                QVERIFY(range->close());
            else
                QTest::keyClick(range, Qt::Key_Escape);
            QCOMPARE(f.runs, 0);
            QVERIFY(f.mainPanel.isVisible());
            QVERIFY(!f.chain.currentPanel());
            QCOMPARE(f.session.settings.constStepOpts.step, 0.08);
            QCOMPARE(f.session.settings.theRangeOptions.minTwoTheta, 20.0);
            QCOMPARE(f.session.settings.theRangeOptions.maxTwoTheta, 30.0);
        }
    }
};

QTEST_MAIN(OptionPanelsTest)
#include "OptionPanelsTest.moc"
