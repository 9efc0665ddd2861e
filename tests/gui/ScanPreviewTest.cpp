// The preview beside the file list: the selected scan read as the batch reads it, under the
// calibration and mode in force, never with a popup, and redrawn when any of them changes.
#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>
#include <QValueAxis>
#include <QtTest>

#include "calibration/Spline.h"
#include "engine/ChannelMapping.h"
#include "options/OptionFile.h"
#include "platform/ScriptedPlatform.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"
#include "support/UserInput.h"
#include "ui/MainPanel.h"
#include "ui/PreviewScan.h"
#include "ui/ScanPreview.h"
#include "ui/StartUp.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::clickOn;

namespace {

// The built-in line as a new program folder's Default.pre stores it: the line in force from the
// first start on.
CalibrationHeader storedStartup() {
    CalibrationState state;
    state.installStartupValues();
    adoptStoredValues(state);
    return state.header;
}

Session sessionIn(const test::TempDir& home) {
    Session session;
    ScriptedPlatform platform;
    startSession(session, home.path(), platform);
    return session;
}

}  // namespace

class ScanPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void eachKindOfScanUnderEachMode() {
        test::TempDir home;
        Session session = sessionIn(home);
        const std::string path = home.file("a.chn");
        test::writeFile(path, test::chnBytes(100, {5, 7, 9, 11}));
        PreviewData line = previewScan(session, path, kChnFileType, kLinearConversion);
        QVERIFY(line.error.empty());
        QVERIFY(!line.againstChannel);
        QCOMPARE(line.x.size(), std::size_t(4));
        QCOMPARE(line.x[2], storedStartup().C * 2.0 + storedStartup().K);
        QCOMPARE(line.counts[3], 11.0);

        PreviewData channels = previewScan(session, path, kChnFileType, kNoConversion);
        QVERIFY(channels.againstChannel);
        QCOMPARE(channels.x, std::vector<double>({100.0, 101.0, 102.0, 103.0}));

        // GUFI files keep their own angles, or count their points.
        const std::string gufi = home.file("s.guf");
        test::writeFile(gufi, test::gufiBytes(20.0f, 0.5f, {1.5f, 2.5f, 3.5f}));
        PreviewData own = previewScan(session, gufi, kGufiFileType, kFileAngles);
        QCOMPARE(own.x, std::vector<double>({20.0, 20.5, 21.0}));
        QCOMPARE(own.counts[1], 2.5);
        PreviewData indices = previewScan(session, gufi, kGufiFileType, kNoConversion);
        QCOMPARE(indices.x, std::vector<double>({0.0, 1.0, 2.0}));
    }

    void theSplineIsComputedOnACopyOfTheCalibration() {
        test::TempDir home;
        Session session = sessionIn(home);
        // Points out of order, as a points panel may leave them; no second derivatives yet.
        std::reverse(session.calibration.calPoints.begin(), session.calibration.calPoints.end());
        const auto before = session.calibration.calPoints;
        const std::string path = home.file("a.chn");
        test::writeFile(path, test::chnBytes(0, std::vector<std::int32_t>(2000, 3)));
        PreviewData curve = previewScan(session, path, kChnFileType, kSplineConversion);
        QVERIFY(curve.error.empty());

        CalibrationState expected = session.calibration;
        spline(std::span<CalibrationPoint>(expected.calPoints), true);
        for (int channel : {0, 700, 1353, 1999})
            QCOMPARE(curve.x[static_cast<std::size_t>(channel)], channelToTTheta(expected, channel, false));
        QCOMPARE(session.calibration.calPoints.size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            QCOMPARE(session.calibration.calPoints[i].channel, before[i].channel);
            QCOMPARE(session.calibration.calPoints[i].secondDeriv, 0.0);
        }

        // A spline that cannot be made is reported in the plot area; the line still serves.
        session.calibration.calPoints.resize(1);
        QVERIFY(!previewScan(session, path, kChnFileType, kSplineConversion).error.empty());
        QVERIFY(previewScan(session, path, kChnFileType, kLinearConversion).error.empty());
    }

    void aFileThatCannotBeReadSaysWhyInsteadOfAPopup() {
        test::TempDir home;
        Session session = sessionIn(home);
        const std::string bad = home.file("bad.chn");
        test::writeFile(bad, "hello, not a scan");
        PreviewData data = previewScan(session, bad, kChnFileType, kLinearConversion);
        QCOMPARE(data.error, "The input file \"" + bad + "\" wasn't a CHN file.");
        data = previewScan(session, home.file("missing.chn"), kChnFileType, kLinearConversion);
        QVERIFY(data.error.rfind("Couldn't open input file: ", 0) == 0);

        ScriptedPlatform platform;
        MainPanel panel(session, platform);
        fillMainPanel(panel, {bad});
        QCOMPARE(panel.preview().message(),
                 QString::fromStdString("cannot preview: The input file \"" + bad + "\" wasn't a CHN file."));
        QCOMPARE(panel.preview().pointCount(), 0);
        QVERIFY(platform.calls.empty());
    }

    void thePlotFollowsSelectionModeAndCalibration() {
        test::TempDir home;
        Session session = sessionIn(home);
        ScriptedPlatform platform;
        const std::string first = home.file("a.chn");
        const std::string second = home.file("b.chn");
        test::writeFile(first, test::chnBytes(10, {1, 2, 3, 4, 5}));
        test::writeFile(second, test::chnBytes(0, std::vector<std::int32_t>(1500, 8)));
        MainPanel panel(session, platform);
        fillMainPanel(panel, {first, second});
        panel.show();
        ScanPreview& preview = panel.preview();
        QVERIFY(preview.message().isEmpty());
        QCOMPARE(preview.pointCount(), 5);
        QCOMPARE(preview.horizontalTitle(), QString("2-theta (degrees)"));
        QCOMPARE(preview.pointAt(1).x(), storedStartup().C * 1.0 + storedStartup().K);

        panel.findChild<QListWidget*>("fileList")->setCurrentRow(1);
        QCOMPARE(preview.pointCount(), 1500);
        const double lineAt700 = preview.pointAt(700).x();

        clickOn(panel.findChild<QRadioButton*>("splineMode"));
        CalibrationState splined = session.calibration;
        spline(std::span<CalibrationPoint>(splined.calPoints), true);
        QCOMPARE(preview.pointAt(700).x(), channelToTTheta(splined, 700, false));
        QVERIFY(preview.pointAt(700).x() != lineAt700);

        clickOn(panel.findChild<QCheckBox*>("convertToTwoTheta"));
        QCOMPARE(preview.horizontalTitle(), QString("Channel"));
        QCOMPARE(preview.pointAt(700).x(), 700.0);

        clickOn(panel.findChild<QCheckBox*>("convertToTwoTheta"));
        clickOn(panel.findChild<QRadioButton*>("linearMode"));
        session.calibration.header.K = 5.0;
        panel.refreshCalibrationDisplays();
        QCOMPARE(preview.pointAt(700).x(), storedStartup().C * 700.0 + 5.0);
        QVERIFY(platform.calls.empty());
    }

    // Moving from an ordinary scan to one with counts near the top of the range must not lay the
    // new range out with the old tick interval, even for an instant: that is millions of labels.
    void aScanWithHugeCountsNeverMeetsTheLastTickInterval() {
        test::TempDir home;
        Session session = sessionIn(home);
        ScriptedPlatform platform;
        const std::string ordinary = home.file("a.chn");
        const std::string huge = home.file("b.chn");
        test::writeFile(ordinary, test::chnBytes(0, {10, 300, 2000, 150, 12}));
        test::writeFile(huge, test::chnBytes(0, {10, 2000000000, 150}));
        MainPanel panel(session, platform);
        fillMainPanel(panel, {ordinary, huge});
        QValueAxis* counts = panel.preview().countAxis();
        double mostTicks = 0.0;
        QObject::connect(counts, &QValueAxis::rangeChanged, [&](qreal low, qreal high) {
            if (counts->tickType() == QValueAxis::TicksDynamic)
                mostTicks = std::max(mostTicks, (high - low) / counts->tickInterval());
        });
        panel.findChild<QListWidget*>("fileList")->setCurrentRow(1);
        QCOMPARE(panel.preview().pointCount(), 3);
        QVERIFY(counts->max() >= 2000000000.0);
        QVERIFY2(mostTicks < 100.0, qPrintable(QString::number(mostTicks)));
        QCOMPARE(counts->tickType(), QValueAxis::TicksDynamic);
        QVERIFY(counts->tickInterval() >= 1e8);
        panel.findChild<QListWidget*>("fileList")->setCurrentRow(0);
        QVERIFY(mostTicks < 100.0);
        QVERIFY(counts->tickInterval() <= 500.0);
    }

    // The title names the file and adds what the file says it holds; the stored line maps it.
    void theTitleShowsTheFilesDescription() {
        test::TempDir home;
        Session session = sessionIn(home);
        ScriptedPlatform platform;
        const std::string example = std::string(S2T_SOURCE_DIR) + "/examples/corundum.chn";
        const std::string bare = home.file("bare.chn");
        test::writeFile(bare, test::chnBytes(0, {1, 2, 3}));
        MainPanel panel(session, platform);
        fillMainPanel(panel, {example, bare});
        panel.show();
        ScanPreview& preview = panel.preview();
        QCOMPARE(preview.title(), QString::fromUtf8("corundum.chn \u2014 Alumina (corundum), 15 min"));
        session.calibration.header.K = 5.0;
        panel.refreshCalibrationDisplays();
        QCOMPARE(preview.pointAt(100).x(), session.calibration.header.C * 100.0 + 5.0);
        clickOn(panel.findChild<QRadioButton*>("trailerMode"));
        QCOMPARE(preview.pointAt(100).x(), kStartupC * 100.0 + kStartupK);
        panel.findChild<QListWidget*>("fileList")->setCurrentRow(1);
        QCOMPARE(preview.title(), QString("bare.chn"));
        QCOMPARE(preview.pointCount(), 0);
        QVERIFY(preview.message().contains("stores no calibration of its own"));
        QVERIFY(platform.calls.empty());
    }
};

QTEST_MAIN(ScanPreviewTest)
#include "ScanPreviewTest.moc"
