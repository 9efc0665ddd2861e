// The option panels' rules without a screen: the chain's order, the presets from the settings
// records, and what OK stores or refuses.
#include <QtTest>

#include "platform/ScriptedPlatform.h"
#include "ui/OptionPanelRules.h"

using namespace s2t;
using namespace s2t::ui;

class OptionPanelRulesTest : public QObject {
    Q_OBJECT
private slots:
    void theChainGoesConstantStepRangeCpiThenTheRun() {
        int set = OPT_CONVERT | OPT_CPI | OPT_RANGE | OPT_CONSTANT_STEP;
        QCOMPARE(nextOptionStep(set), OptionStep::ConstantStep);
        set = removeOption(set, OPT_CONSTANT_STEP);
        QCOMPARE(nextOptionStep(set), OptionStep::Range);
        set = removeOption(set, OPT_RANGE);
        QCOMPARE(nextOptionStep(set), OptionStep::Cpi);
        set = removeOption(set, OPT_CPI);
        QCOMPARE(set, OPT_CONVERT);
        QCOMPARE(nextOptionStep(set), OptionStep::Convert);
        QCOMPARE(nextOptionStep(OPT_RANGE | OPT_CPI), OptionStep::Range);
        QCOMPARE(nextOptionStep(0), OptionStep::ShowMain);
    }

    void constantStepPresetsOnlyWhatWasStored() {
        const ConstStepEntries initial;
        ConstStepOptions never;
        ConstStepEntries entries = presetConstStep(never);
        QCOMPARE(entries.step, initial.step);
        QVERIFY(entries.linearInterpolation);
        QVERIFY(!entries.splineInterpolation);

        ConstStepOptions stored{3, 1, 0.05};
        entries = presetConstStep(stored);
        QCOMPARE(entries.step, 0.05);
        QVERIFY(entries.splineInterpolation);
        QVERIFY(!entries.linearInterpolation);
        // Fractional counts always open in the panel's own initial state.
        QCOMPARE(entries.fractionalCounts, initial.fractionalCounts);
    }

    void anyMethodButThreeShowsLinear_data() {
        QTest::addColumn<int>("method");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
        QTest::newRow("-4") << -4;
    }
    void anyMethodButThreeShowsLinear() {
        QFETCH(int, method);
        const ConstStepEntries shown = presetConstStep({method, 0, 0.0});
        QVERIFY(shown.linearInterpolation);
        QVERIFY(!shown.splineInterpolation);
    }

    void interpolationButtonsExcludeEachOtherAndStaySelected() {
        ConstStepEntries entries;  // linear on
        clickInterpolation(entries, true, true);
        QVERIFY(entries.splineInterpolation);
        QVERIFY(!entries.linearInterpolation);
        clickInterpolation(entries, true, false);  // the selected one clicked again
        QVERIFY(entries.splineInterpolation);
        QVERIFY(!entries.linearInterpolation);
        clickInterpolation(entries, false, true);
        QVERIFY(entries.linearInterpolation);
        QVERIFY(!entries.splineInterpolation);
    }

    void constantStepStoresStepMethodAndFractions() {
        ScriptedPlatform platform;
        ConstStepOptions record;
        ConstStepEntries entries{0.025, false, true, true};
        QVERIFY(saveConstOptions(record, entries, platform));
        QCOMPARE(record.step, 0.025);
        QCOMPARE(record.method, 3);
        QCOMPARE(record.fractionalCounts, 1);
        entries = {0.5, true, false, false};
        QVERIFY(saveConstOptions(record, entries, platform));
        QCOMPARE(record.method, 1);
        QCOMPARE(record.fractionalCounts, 0);
        QVERIFY(platform.messages().empty());
    }

    void aStepOfZeroOrBelowIsNotPossible_data() {
        QTest::addColumn<double>("step");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -0.02;
    }
    void aStepOfZeroOrBelowIsNotPossible() {
        QFETCH(double, step);
        ScriptedPlatform platform;
        ConstStepOptions record{1, 0, 0.04};
        QVERIFY(!saveConstOptions(record, {step, true, false, true}, platform));
        QCOMPARE(record.step, 0.04);
        QCOMPARE(record.fractionalCounts, 0);
        const auto messages = platform.messages();
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].title, std::string("Not Possible"));
    }

    void rangePresetsOnlyARealRange() {
        const RangeEntries initial;
        RangeEntries entries = presetRange({20.0, 60.0});
        QCOMPARE(entries.minTwoTheta, 20.0);
        QCOMPARE(entries.maxTwoTheta, 60.0);
        for (RangeOptions record : {RangeOptions{0.0, 0.0}, RangeOptions{30.0, 30.0}, RangeOptions{50.0, 40.0}}) {
            entries = presetRange(record);
            QCOMPARE(entries.minTwoTheta, initial.minTwoTheta);
            QCOMPARE(entries.maxTwoTheta, initial.maxTwoTheta);
        }
    }

    void rangeAcceptsEqualLimitsAndRefusesAMinimumAboveTheMaximum() {
        ScriptedPlatform platform;
        RangeOptions record{20.0, 60.0};
        QVERIFY(saveRangeOptions(record, {35.5, 35.5}, platform));
        QCOMPARE(record.minTwoTheta, 35.5);
        QCOMPARE(record.maxTwoTheta, 35.5);
        QVERIFY(!saveRangeOptions(record, {70.0, 40.0}, platform));
        QCOMPARE(record.minTwoTheta, 35.5);
        QCOMPARE(record.maxTwoTheta, 35.5);
        const auto messages = platform.messages();
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].title, std::string("Not Possible"));
        QCOMPARE(messages[0].text, std::string("Max 2-theta Value must be larger\nthen Min 2-Theta Value."));
    }

    void cpiPresetsOnceAWavelengthWasStored() {
        CpiEntries entries = presetCpi({});
        QCOMPARE(entries.target, std::string("Cu"));
        QCOMPARE(entries.wavelength, 1.5406);
        entries = presetCpi({"Mo", 0.7093});
        QCOMPARE(entries.target, std::string("Mo"));
        QCOMPARE(entries.wavelength, 0.7093);
        entries = presetCpi({"Mo", 0.0});
        QCOMPARE(entries.target, std::string("Cu"));
    }

    void cpiStoresTargetOfAtMostSevenCharacters() {
        CPIOptions record;
        saveCPIOptions(record, {"Cobalt", 1.78897});
        QCOMPARE(record.target, std::string("Cobalt"));
        QCOMPARE(record.wavelength, 1.78897);
        saveCPIOptions(record, {"Molybdenum", 0.7093});
        QCOMPARE(record.target, std::string("Molybde"));
    }
};

QTEST_APPLESS_MAIN(OptionPanelRulesTest)
#include "OptionPanelRulesTest.moc"
