// The main panel's rules without a screen: the enabling rules step by step, the three-way mode
// exclusion, Convert's choice of option panels, and which files an addition takes.
#include <QtTest>

#include "ui/MainPanelRules.h"

using namespace s2t;
using namespace s2t::ui;

namespace {

MainPanelState withKinds(std::vector<std::int32_t> kinds) {
    MainPanelState state;
    state.fileKinds = std::move(kinds);
    return state;
}

// A state with every control dimmed the wrong way round, so each rule must set what it owns.
MainPanelState scrambled(std::vector<std::int32_t> kinds) {
    MainPanelState state = withKinds(std::move(kinds));
    state.removeDimmed = !state.fileKinds.empty();
    state.convertDimmed = !state.fileKinds.empty();
    for (Toggle* toggle : {&state.convertToTwoTheta, &state.linearMode, &state.splineMode, &state.noConversionMode,
                           &state.wholeTwoThetaBox, &state.constantStepBox, &state.limitRangeBox})
        toggle->dimmed = true;
    state.conversionGroupDimmed = true;
    state.lineGroupDimmed = true;
    state.outputFormatDimmed = true;
    return state;
}

}  // namespace

class MainPanelRulesTest : public QObject {
    Q_OBJECT
private slots:
    void emptyListDimsRemoveAndConvertAndForcesTwoTheta() {
        MainPanelState state = scrambled({});
        state.convertToTwoTheta = {false, false};
        dimAsNeeded(state);
        QVERIFY(state.removeDimmed);
        QVERIFY(state.convertDimmed);
        QCOMPARE(listKind(state), kOtherFileType);
        QVERIFY(state.convertToTwoTheta.on);
        QVERIFY(state.convertToTwoTheta.dimmed);
        QVERIFY(!state.noConversionMode.dimmed);
    }

    void gufiOrOtherFirstFileForcesTwoThetaAndOffersFileAngles_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("GUFI") << int(kGufiFileType);
        QTest::newRow("other extension") << int(kOtherFileType);
    }
    void gufiOrOtherFirstFileForcesTwoThetaAndOffersFileAngles() {
        QFETCH(int, kind);
        MainPanelState state = scrambled({kind, kChnFileType});
        state.convertToTwoTheta = {false, false};
        dimAsNeeded(state);
        QVERIFY(!state.removeDimmed);
        QVERIFY(!state.convertDimmed);
        QVERIFY(state.convertToTwoTheta.on);
        QVERIFY(state.convertToTwoTheta.dimmed);
        QVERIFY(!state.noConversionMode.dimmed);
    }

    void channelFileMovesFileAnglesToStraightLineAndShowsKAndCAtOnce() {
        MainPanelState state = scrambled({kChnFileType});
        state.linearMode.on = false;
        state.noConversionMode.on = true;
        dimAsNeeded(state);
        QVERIFY(state.linearMode.on);
        QVERIFY(!state.noConversionMode.on);
        QVERIFY(state.noConversionMode.dimmed);
        QVERIFY(!state.convertToTwoTheta.dimmed);
        QVERIFY(!state.lineGroupDimmed);
    }

    void channelFileKeepsTheSplineAndItsTwoThetaChoice() {
        MainPanelState state = scrambled({kChnFileType});
        state.linearMode.on = false;
        state.splineMode.on = true;
        state.convertToTwoTheta.on = true;
        dimAsNeeded(state);
        QVERIFY(state.splineMode.on);
        QVERIFY(!state.linearMode.on);
        QVERIFY(state.noConversionMode.dimmed);
        QVERIFY(state.lineGroupDimmed);  // the straight line is not in use
        QVERIFY(state.convertToTwoTheta.on);
    }

    void twoThetaOnEnablesTheConversionAndOutputControls() {
        MainPanelState state = scrambled({kChnFileType});
        state.convertToTwoTheta.on = true;
        dimAsNeeded(state);
        QVERIFY(!state.linearMode.dimmed);
        QVERIFY(!state.splineMode.dimmed);
        QVERIFY(!state.conversionGroupDimmed);
        QVERIFY(!state.wholeTwoThetaBox.dimmed);
        QVERIFY(!state.outputFormatDimmed);
        QVERIFY(!state.limitRangeBox.dimmed);
        QVERIFY(!state.constantStepBox.dimmed);  // text output: enabled with the format
        QVERIFY(!state.lineGroupDimmed);         // straight line on
    }

    void twoThetaOffDimsEveryConversionAndOutputControl() {
        MainPanelState state = withKinds({kChnFileType});
        state.convertToTwoTheta.on = false;
        state.outputFormat = kXfitOutput;
        state.outputFormatText = "Tab Delimited Text File";
        dimAsNeeded(state);
        for (const Toggle& toggle : {state.linearMode, state.splineMode, state.noConversionMode,
                                     state.wholeTwoThetaBox, state.constantStepBox, state.limitRangeBox})
            QVERIFY(toggle.dimmed);
        QVERIFY(state.conversionGroupDimmed);
        QVERIFY(state.outputFormatDimmed);
        QVERIFY(state.lineGroupDimmed);
        QVERIFY(!state.convertToTwoTheta.dimmed);
        // The output-format step does not run while the output lists channels.
        QCOMPARE(state.outputFormatText, std::string("Tab Delimited Text File"));
        QVERIFY(!state.constantStepBox.on);
    }

    void outputFormatStepShowsTheLabelAndForcesTheConstantStep_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("label");
        QTest::newRow("XFIT") << int(kXfitOutput) << "XFIT File";
        QTest::newRow("CPI") << int(kCpiOutput) << "CPI File";
        QTest::newRow("LHPM") << int(kLhpmOutput) << "LHPM File";
        QTest::newRow("GUFI") << int(kGufiOutput) << "Binary GUFI File";
    }
    void outputFormatStepShowsTheLabelAndForcesTheConstantStep() {
        QFETCH(int, format);
        QFETCH(QString, label);
        MainPanelState state = withKinds({kChnFileType});
        state.outputFormat = format;
        dimAsNeeded(state);
        QCOMPARE(QString::fromStdString(state.outputFormatText), label);
        QVERIFY(state.constantStepBox.on);
        QVERIFY(state.constantStepBox.dimmed);
    }

    void textFormatEnablesTheConstantStepAndLeavesItsState() {
        for (bool on : {false, true}) {
            MainPanelState state = withKinds({kChnFileType});
            state.outputFormat = kTextOutput;
            state.outputFormatText = "XFIT File";
            state.constantStepBox = {on, true};
            displayOutputFileType(state);
            QCOMPARE(state.outputFormatText, std::string("Tab Delimited Text File"));
            QVERIFY(!state.constantStepBox.dimmed);
            QCOMPARE(state.constantStepBox.on, on);
        }
    }

    void textFormatKeepsTheConstantStepDimmedWhileTheFormatIsDimmed() {
        MainPanelState state = withKinds({kChnFileType});
        state.outputFormatDimmed = true;
        state.constantStepBox = {false, true};
        displayOutputFileType(state);
        QVERIFY(state.constantStepBox.dimmed);
    }

    void unknownFormatValueLeavesTheText() {
        MainPanelState state = withKinds({kChnFileType});
        state.outputFormat = 7;
        state.outputFormatText = "LHPM File";
        displayOutputFileType(state);
        QCOMPARE(state.outputFormatText, std::string("LHPM File"));
    }

    void modeButtons_data() {
        QTest::addColumn<int>("listKind");
        QTest::addColumn<int>("selected");     // the mode on before the click
        QTest::addColumn<int>("clicked");
        QTest::addColumn<bool>("onAfterClick");
        QTest::addColumn<int>("expected");     // the one mode on afterwards
        const int linear = int(ModeButton::Linear), spline = int(ModeButton::Spline),
                  file = int(ModeButton::NoConversion);
        QTest::newRow("selected line clicked: spline") << int(kGufiFileType) << linear << linear << false << spline;
        QTest::newRow("line chosen") << int(kGufiFileType) << spline << linear << true << linear;
        QTest::newRow("line chosen over file angles") << int(kGufiFileType) << file << linear << true << linear;
        QTest::newRow("selected spline clicked, GUFI: file angles")
            << int(kGufiFileType) << spline << spline << false << file;
        QTest::newRow("selected spline clicked, channels: line")
            << int(kChnFileType) << spline << spline << false << linear;
        QTest::newRow("spline chosen") << int(kGufiFileType) << linear << spline << true << spline;
        QTest::newRow("spline chosen over file angles") << int(kGufiFileType) << file << spline << true << spline;
        QTest::newRow("selected file angles clicked: line") << int(kGufiFileType) << file << file << false << linear;
        QTest::newRow("file angles chosen") << int(kGufiFileType) << spline << file << true << file;
    }
    void modeButtons() {
        QFETCH(int, listKind);
        QFETCH(int, selected);
        QFETCH(int, clicked);
        QFETCH(bool, onAfterClick);
        QFETCH(int, expected);
        MainPanelState state = withKinds({listKind});
        dimAsNeeded(state);
        state.linearMode.on = selected == int(ModeButton::Linear);
        state.splineMode.on = selected == int(ModeButton::Spline);
        state.noConversionMode.on = selected == int(ModeButton::NoConversion);
        clickModeButton(state, static_cast<ModeButton>(clicked), onAfterClick);
        QCOMPARE(state.linearMode.on, expected == int(ModeButton::Linear));
        QCOMPARE(state.splineMode.on, expected == int(ModeButton::Spline));
        QCOMPARE(state.noConversionMode.on, expected == int(ModeButton::NoConversion));
        // The enabling rules follow: the straight-line group shows exactly with the line.
        QCOMPARE(state.lineGroupDimmed, expected != int(ModeButton::Linear));
    }

    void convertChoosesItsPanels_data() {
        QTest::addColumn<bool>("twoTheta");
        QTest::addColumn<bool>("constantStep");
        QTest::addColumn<bool>("limitRange");
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("formatDimmed");
        QTest::addColumn<int>("expected");
        QTest::newRow("nothing") << true << false << false << int(kTextOutput) << false << OPT_CONVERT;
        QTest::newRow("step") << true << true << false << int(kTextOutput) << false
                              << (OPT_CONVERT | OPT_CONSTANT_STEP);
        QTest::newRow("range") << true << false << true << int(kTextOutput) << false << (OPT_CONVERT | OPT_RANGE);
        QTest::newRow("all three") << true << true << true << int(kCpiOutput) << false
                                   << (OPT_CONVERT | OPT_CONSTANT_STEP | OPT_RANGE | OPT_CPI);
        QTest::newRow("channels: no panel") << false << true << true << int(kCpiOutput) << true << OPT_CONVERT;
        QTest::newRow("XFIT: no CPI panel") << true << true << false << int(kXfitOutput) << false
                                            << (OPT_CONVERT | OPT_CONSTANT_STEP);
    }
    void convertChoosesItsPanels() {
        QFETCH(bool, twoTheta);
        QFETCH(bool, constantStep);
        QFETCH(bool, limitRange);
        QFETCH(int, format);
        QFETCH(bool, formatDimmed);
        QFETCH(int, expected);
        MainPanelState state = withKinds({kChnFileType});
        state.convertToTwoTheta.on = twoTheta;
        state.constantStepBox.on = constantStep;
        state.limitRangeBox.on = limitRange;
        state.outputFormat = format;
        state.outputFormatDimmed = formatDimmed;
        QCOMPARE(convertPanelSet(state), expected);
    }

    void panelChoicesCarryTheControls() {
        MainPanelState state = withKinds({kChnFileType});
        state.linearMode.on = false;
        state.splineMode.on = true;
        state.wholeTwoThetaBox.on = true;
        state.limitRangeBox.on = true;
        state.outputFormat = kLhpmOutput;
        const MainPanelChoices choices = panelChoices(state);
        QVERIFY(choices.convertToTwoTheta);
        QVERIFY(!choices.linearMode);
        QVERIFY(choices.splineMode);
        QVERIFY(choices.wholeTwoTheta);
        QVERIFY(!choices.constantStep);
        QVERIFY(choices.limitRange);
        QCOMPARE(choices.outputFormat, kLhpmOutput);
        QVERIFY(!choices.outputFormatDimmed);
    }

    void addingTakesKindsFromExtensionsInAnyLetterCase() {
        const auto added = filesToAdd({}, {"/d/a.CHN", "/d/b.Guf", "/d/c.chn2", "/d/d.ch", "/d.x/noext"});
        QCOMPARE(added.size(), std::size_t(5));
        QCOMPARE(added[0].fileType, kChnFileType);
        QCOMPARE(added[1].fileType, kGufiFileType);
        QCOMPARE(added[2].fileType, kOtherFileType);
        QCOMPARE(added[3].fileType, kOtherFileType);
        QCOMPARE(added[4].fileType, kOtherFileType);
    }

    void addingRefusesDuplicatesButKeepsPathsThatDifferInCase() {
        const std::vector<BatchInput> list{{"/d/a.chn", kChnFileType}};
        const auto added = filesToAdd(list, {"/d/a.chn", "/d/b.chn", "/d/b.chn", "/d/A.chn"});
        QCOMPARE(added.size(), std::size_t(2));
        QCOMPARE(added[0].path, std::string("/d/b.chn"));
        QCOMPARE(added[1].path, std::string("/d/A.chn"));
        QVERIFY(doesFileListContain(list, "/d/a.chn"));
        QVERIFY(!doesFileListContain(list, "/d/A.chn"));
    }

    void addingLeavesOtherKindsOutOfAListSilently() {
        const std::vector<BatchInput> list{{"/d/a.chn", kChnFileType}};
        const auto added = filesToAdd(list, {"/d/s.guf", "/d/b.chn", "/d/t.txt"});
        QCOMPARE(added.size(), std::size_t(1));
        QCOMPARE(added[0].path, std::string("/d/b.chn"));
    }

    void anEmptyListTakesAMixedSelectionWhole() {
        const auto added = filesToAdd({}, {"/d/s.guf", "/d/a.chn", "/d/t.txt"});
        QCOMPARE(added.size(), std::size_t(3));
        QCOMPARE(added[0].fileType, kGufiFileType);
        MainPanelState state;
        for (const auto& file : added) state.fileKinds.push_back(file.fileType);
        dimAsNeeded(state);
        // The first listed file decides the rules.
        QVERIFY(state.convertToTwoTheta.dimmed);
        QVERIFY(!state.noConversionMode.dimmed);
    }
};

QTEST_APPLESS_MAIN(MainPanelRulesTest)
#include "MainPanelRulesTest.moc"
