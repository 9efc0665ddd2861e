// The constant-step, range and CPI panels on screen, and the chain that shows them before a batch.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "platform/ScriptedPlatform.h"
#include "support/UserInput.h"
#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/NumberEntry.h"
#include "ui/OptionPanelChain.h"
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
        QCOMPARE(first.stepEntry()->value(), ConstStepEntries{}.step);
        QVERIFY(first.linearButton()->isChecked());
        QVERIFY(!first.splineButton()->isChecked());
        typeInto(first.stepEntry(), "0.035");
        QTest::mouseClick(first.splineButton(), Qt::LeftButton);
        first.fractionalCountsBox()->setChecked(true);
        first.okButton()->click();
        QVERIFY(!first.isVisible());
        QCOMPARE(session.settings.constStepOpts.step, 0.035);
        QCOMPARE(session.settings.constStepOpts.method, 3);
        QCOMPARE(session.settings.constStepOpts.fractionalCounts, 1);

        ConstantStepPanel second(session, platform, nullptr);
        QCOMPARE(second.stepEntry()->value(), 0.035);
        QCOMPARE(second.stepEntry()->text(), QString("0.035"));
        QVERIFY(second.splineButton()->isChecked());
        QVERIFY(!second.linearButton()->isChecked());
        // Fractional counts are not preset from the record.
        QVERIFY(!second.fractionalCountsBox()->isChecked());
    }

    void aMethodOtherThanSplineShowsLinear() {
        Session session;
        ScriptedPlatform platform;
        session.settings.constStepOpts = {2, 0, 0.1};
        ConstantStepPanel panel(session, platform, nullptr);
        QVERIFY(panel.linearButton()->isChecked());
        QVERIFY(!panel.splineButton()->isChecked());
    }

    void clickingTheSelectedInterpolationKeepsItSelected() {
        Session session;
        ScriptedPlatform platform;
        ConstantStepPanel panel(session, platform, nullptr);
        panel.show();
        QTest::mouseClick(panel.linearButton(), Qt::LeftButton);
        QVERIFY(panel.linearButton()->isChecked());
        QVERIFY(!panel.splineButton()->isChecked());
        QTest::mouseClick(panel.splineButton(), Qt::LeftButton);
        QVERIFY(panel.splineButton()->isChecked());
        QVERIFY(!panel.linearButton()->isChecked());
        QTest::mouseClick(panel.splineButton(), Qt::LeftButton);
        QVERIFY(panel.splineButton()->isChecked());
        QVERIFY(!panel.linearButton()->isChecked());
    }

    void aStepOfZeroOrBelowKeepsThePanelOpen_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-0.02";
    }
    void aStepOfZeroOrBelowKeepsThePanelOpen() {
        QFETCH(QString, typed);
        ChainFixture f;
        f.session.settings.constStepOpts = {1, 0, 0.05};
        f.chain.displayOptionPanels(OPT_CONSTANT_STEP | OPT_CONVERT);
        auto* panel = f.current<ConstantStepPanel>();
        QVERIFY(panel);
        typeInto(panel->stepEntry(), typed);
        panel->okButton()->click();
        QVERIFY(panel->isVisible());
        QCOMPARE(f.chain.currentPanel(), panel);
        QCOMPARE(f.session.settings.constStepOpts.step, 0.05);
        const auto messages = f.platform.messages();
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].title, std::string("Not Possible"));
        QCOMPARE(f.runs, 0);
        // A corrected step goes on.
        typeInto(panel->stepEntry(), "0.02");
        panel->okButton()->click();
        QCOMPARE(f.session.settings.constStepOpts.step, 0.02);
        QCOMPARE(f.runs, 1);
    }

    void rangePanelRefusesAMinimumAboveTheMaximumAndStaysOpen() {
        ChainFixture f;
        f.chain.displayOptionPanels(OPT_RANGE | OPT_CONVERT);
        auto* panel = f.current<RangePanel>();
        QVERIFY(panel);
        typeInto(panel->minEntry(), "70");
        typeInto(panel->maxEntry(), "40");
        panel->okButton()->click();
        QVERIFY(panel->isVisible());
        QCOMPARE(f.runs, 0);
        QCOMPARE(f.session.settings.theRangeOptions.minTwoTheta, 0.0);
        QCOMPARE(f.session.settings.theRangeOptions.maxTwoTheta, 0.0);
        const auto messages = f.platform.messages();
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].title, std::string("Not Possible"));
        QCOMPARE(messages[0].text, std::string("Max 2-theta Value must be larger\nthen Min 2-Theta Value."));
        // The typed values stay for correcting.
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
        session.settings.theRangeOptions = {40.0, 40.0};
        RangePanel equal(session, platform, nullptr);
        QCOMPARE(equal.minEntry()->value(), RangeEntries{}.minTwoTheta);
        QCOMPARE(equal.maxEntry()->value(), RangeEntries{}.maxTwoTheta);
    }

    void cpiTargetTakesAtMostSevenCharacters() {
        Session session;
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
        QCOMPARE(f.session.settings.constStepOpts.method, 1);
        QCOMPARE(f.session.settings.theRangeOptions.maxTwoTheta, RangeEntries{}.maxTwoTheta);
        QCOMPARE(f.session.settings.CPIOpt.target, std::string("Cu"));
    }

    void cancelEndsTheChainAndKeepsTheRecordsAlreadyStored() {
        ChainFixture f;
        f.session.settings.theRangeOptions = {20.0, 30.0};
        f.chain.displayOptionPanels(OPT_CONVERT | OPT_RANGE | OPT_CONSTANT_STEP);
        auto* step = f.current<ConstantStepPanel>();
        typeInto(step->stepEntry(), "0.08");
        step->okButton()->click();
        auto* range = f.current<RangePanel>();
        QVERIFY(range);
        typeInto(range->minEntry(), "5");
        range->cancelButton()->click();
        QCOMPARE(f.runs, 0);
        QVERIFY(f.mainPanel.isVisible());
        QVERIFY(!f.chain.currentPanel());
        QCOMPARE(f.session.settings.constStepOpts.step, 0.08);
        QCOMPARE(f.session.settings.theRangeOptions.minTwoTheta, 20.0);
        QCOMPARE(f.session.settings.theRangeOptions.maxTwoTheta, 30.0);
    }

    void closingAPanelActsAsCancel() {
        ChainFixture f;
        f.session.settings.CPIOpt = {"Fe", 1.936};
        f.chain.displayOptionPanels(OPT_CONVERT | OPT_CPI);
        auto* cpi = f.current<CpiPanel>();
        QVERIFY(cpi);
        typeInto(cpi->targetEntry(), "Co");
        QVERIFY(cpi->close());
        QCOMPARE(f.runs, 0);
        QVERIFY(f.mainPanel.isVisible());
        QVERIFY(!f.chain.currentPanel());
        QCOMPARE(f.session.settings.CPIOpt.target, std::string("Fe"));
    }

    void escapeActsAsCancel() {
        ChainFixture f;
        f.chain.displayOptionPanels(OPT_CONVERT | OPT_RANGE);
        auto* range = f.current<RangePanel>();
        QVERIFY(range);
        QTest::keyClick(range, Qt::Key_Escape);
        QCOMPARE(f.runs, 0);
        QVERIFY(!f.chain.currentPanel());
    }

    void aPanelFromTheMenuStoresAndRunsNothing() {
        ChainFixture f;
        f.mainPanel.show();
        f.chain.displayOptionPanels(OPT_CONSTANT_STEP);
        auto* step = f.current<ConstantStepPanel>();
        QVERIFY(step);
        QVERIFY(f.mainPanel.isVisible());
        typeInto(step->stepEntry(), "0.01");
        step->okButton()->click();
        QCOMPARE(f.session.settings.constStepOpts.step, 0.01);
        QCOMPARE(f.runs, 0);
        QVERIFY(f.mainPanel.isVisible());
        QVERIFY(!f.chain.currentPanel());
    }

    void aChainWithoutPanelsRunsAtOnce() {
        ChainFixture f;
        f.chain.displayOptionPanels(OPT_CONVERT);
        QCOMPARE(f.runs, 1);
        QVERIFY(f.mainPanel.isVisible());
    }
};

QTEST_MAIN(OptionPanelsTest)
#include "OptionPanelsTest.moc"
