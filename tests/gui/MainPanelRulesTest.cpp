// The main panel's rules without a screen, case by case: the three-way mode exclusion and
// Convert's choice of option panels. The panel test drives the same rules through the controls.
#include <QtTest>

#include "engine/FileKind.h"
#include "engine/InputFormats.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"
#include "ui/MainPanelRules.h"

using namespace s2t;
using namespace s2t::ui;

class MainPanelRulesTest : public QObject {
    Q_OBJECT
private slots:
    void modeButtons_data() {
        QTest::addColumn<int>("listKind");
        QTest::addColumn<int>("selected");  // the mode on before the click
        QTest::addColumn<int>("clicked");
        QTest::addColumn<bool>("onAfterClick");
        QTest::addColumn<int>("expected");  // the one mode on afterwards
        const int linear = int(ModeButton::Linear), spline = int(ModeButton::Spline),
                  file = int(ModeButton::FileAngles);
        QTest::newRow("selected line clicked: spline") << int(kGufiFileType) << linear << linear << false << spline;
        QTest::newRow("line chosen") << int(kGufiFileType) << spline << linear << true << linear;
        QTest::newRow("line chosen over file angles") << int(kGufiFileType) << file << linear << true << linear;
        QTest::newRow("selected spline clicked, GUFI: file angles")
            << int(kGufiFileType) << spline << spline << false << file;
        QTest::newRow("selected spline clicked, channels: line")
            << int(kChnFileType) << spline << spline << false << linear;
        QTest::newRow("spline chosen") << int(kGufiFileType) << linear << spline << true << spline;
        QTest::newRow("spline chosen, channels") << int(kChnFileType) << linear << spline << true << spline;
        QTest::newRow("spline chosen over file angles") << int(kGufiFileType) << file << spline << true << spline;
        QTest::newRow("selected file angles clicked: line") << int(kGufiFileType) << file << file << false << linear;
        QTest::newRow("file angles chosen") << int(kGufiFileType) << spline << file << true << file;
        const int stored = int(ModeButton::Trailer);
        QTest::newRow("stored line chosen") << int(kChnFileType) << spline << stored << true << stored;
        QTest::newRow("selected stored line clicked: line") << int(kChnFileType) << stored << stored << false << linear;
        QTest::newRow("spline chosen over the stored line") << int(kChnFileType) << stored << spline << true << spline;
        QTest::newRow("line chosen over the stored line") << int(kChnFileType) << stored << linear << true << linear;
    }
    void modeButtons() {
        QFETCH(int, listKind);
        QFETCH(int, selected);
        QFETCH(int, clicked);
        QFETCH(bool, onAfterClick);
        QFETCH(int, expected);
        MainPanelState state;
        state.fileKinds = {listKind};
        dimAsNeeded(state);
        state.linearMode.on = selected == int(ModeButton::Linear);
        state.splineMode.on = selected == int(ModeButton::Spline);
        state.fileAnglesMode.on = selected == int(ModeButton::FileAngles);
        state.trailerMode.on = selected == int(ModeButton::Trailer);
        clickModeButton(state, static_cast<ModeButton>(clicked), onAfterClick);
        QCOMPARE(state.linearMode.on, expected == int(ModeButton::Linear));
        QCOMPARE(state.splineMode.on, expected == int(ModeButton::Spline));
        QCOMPARE(state.fileAnglesMode.on, expected == int(ModeButton::FileAngles));
        QCOMPARE(state.trailerMode.on, expected == int(ModeButton::Trailer));
        // The enabling rules follow: the straight-line group shows exactly with the line.
        QCOMPARE(state.lineGroupDimmed, expected != int(ModeButton::Linear));
    }

    // The stored line exists for channel files only; a GUFI list falls back to the straight line.
    void theStoredLineIsForChannelFiles() {
        MainPanelState state;
        state.fileKinds = {kChnFileType};
        dimAsNeeded(state);
        QVERIFY(!state.trailerMode.dimmed);
        clickModeButton(state, ModeButton::Trailer, true);
        QVERIFY(state.trailerMode.on);
        QCOMPARE(panelChoices(state).trailerMode, true);
        state.fileKinds = {kGufiFileType};
        dimAsNeeded(state);
        QVERIFY(state.trailerMode.dimmed);
        QVERIFY(!state.trailerMode.on);
        QVERIFY(state.linearMode.on);
        state.fileKinds = {kChnFileType};
        state.convertToTwoTheta.on = false;
        dimAsNeeded(state);
        QVERIFY(state.trailerMode.dimmed);
        QVERIFY(state.perSecondBox.dimmed);
    }

    // The annotated formats need no constant step and can give counts per second; the grid formats
    // always resample and cannot.
    void formatsDecideStepAndCountsPerSecond() {
        MainPanelState state;
        state.fileKinds = {kChnFileType};
        for (std::int32_t format : {kXyOutput, kXyeOutput, kFxyeOutput, kPdcifOutput}) {
            state.outputFormat = format;
            dimAsNeeded(state);
            QVERIFY(!state.constantStepBox.dimmed);
            QVERIFY(!state.perSecondBox.dimmed);
        }
        state.perSecondBox.on = true;
        QVERIFY(panelChoices(state).perSecond);
        state.outputFormat = kXfitOutput;
        dimAsNeeded(state);
        QVERIFY(state.constantStepBox.dimmed);
        QVERIFY(state.constantStepBox.on);
        QVERIFY(state.perSecondBox.dimmed);
        QVERIFY(!state.perSecondBox.on);
        QVERIFY(!panelChoices(state).perSecond);
        state.outputFormat = kTextOutput;
        dimAsNeeded(state);
        QVERIFY(state.perSecondBox.dimmed);
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
        QTest::newRow("XFIT: no CPI panel")
            << true << true << false << int(kXfitOutput) << false << (OPT_CONVERT | OPT_CONSTANT_STEP);
    }
    void convertChoosesItsPanels() {
        QFETCH(bool, twoTheta);
        QFETCH(bool, constantStep);
        QFETCH(bool, limitRange);
        QFETCH(int, format);
        QFETCH(bool, formatDimmed);
        QFETCH(int, expected);
        MainPanelState state;
        state.fileKinds = {kChnFileType};
        state.convertToTwoTheta.on = twoTheta;
        state.constantStepBox.on = constantStep;
        state.limitRangeBox.on = limitRange;
        state.outputFormat = format;
        state.outputFormatDimmed = formatDimmed;
        QCOMPARE(convertPanelSet(state), expected);
    }

    // A list that starts with an angle scan (UXD, XRDML, CSV, ...) is treated as a GUFI list: always
    // to 2-theta, the file's own angles available; a Canberra spectrum as a channel-file list.
    void angleScansRuleThePanelAsGufiFilesDo() {
        const std::int32_t uxd = findInputFormatByName("uxd")->fileType;
        const std::int32_t mca = findInputFormatByName("canberra_mca")->fileType;
        for (const std::int32_t first : {uxd, std::int32_t(kGufiFileType)}) {
            MainPanelState state;
            state.fileKinds = {first};
            state.convertToTwoTheta.on = false;
            dimAsNeeded(state);
            QCOMPARE(listKind(state), panelKindOf(first));
            QVERIFY(state.convertToTwoTheta.on);
            QVERIFY(state.convertToTwoTheta.dimmed);
            QVERIFY(!state.fileAnglesMode.dimmed);
            clickModeButton(state, ModeButton::FileAngles, true);
            QVERIFY(state.fileAnglesMode.on);
        }
        MainPanelState channels;
        channels.fileKinds = {mca};
        channels.fileAnglesMode.on = true;
        channels.linearMode.on = false;
        dimAsNeeded(channels);
        QCOMPARE(listKind(channels), int(kChnFileType));
        QVERIFY(channels.fileAnglesMode.dimmed);
        QVERIFY(channels.linearMode.on);
        QVERIFY(!channels.convertToTwoTheta.dimmed);
    }

    // Angle scans of any format join a list of angle scans; GUFI files and channel files do not.
    void angleScansOfEveryFormatShareAList() {
        test::TempDir dir;
        test::writeFile(dir.file("a.uxd"), "_FILEVERSION=1\n_START=20\n_STEPSIZE=0.5\n_COUNTS\n 1 2 3\n");
        test::writeFile(dir.file("b.csv"), "angle,count\n10.0,5\n10.5,7.5\n11.25,9\n");
        test::writeFile(dir.file("c.chn"), test::chnBytes(0, {1, 2}));
        const std::vector<BatchInput> list = {{dir.file("a.uxd"), getFileType(dir.file("a.uxd"))}};
        QCOMPARE(panelKindOf(list[0].fileType), int(kAngleScanKind));
        const std::vector<BatchInput> added =
            filesToAdd(list, {dir.file("b.csv"), dir.file("c.chn"), dir.file("d.guf")});
        QCOMPARE(added.size(), std::size_t(1));
        QCOMPARE(added[0].path, dir.file("b.csv"));
        QCOMPARE(std::string(findInputFormat(added[0].fileType).name), std::string("csv"));
    }
};

QTEST_APPLESS_MAIN(MainPanelRulesTest)
#include "MainPanelRulesTest.moc"
