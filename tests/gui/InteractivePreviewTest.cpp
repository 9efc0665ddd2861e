// The preview as a tool: zoom, pan and reset, the cursor readout, the count scales, several scans
// overlaid, a standard's reflections as ticks, and long scans drawn a few points per pixel column.
#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QLegend>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QValueAxis>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

#include "calibration/Spline.h"
#include "engine/ChannelMapping.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardsImport.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"
#include "support/UserInput.h"
#include "ui/ColumnDecimation.h"
#include "ui/CountScale.h"
#include "ui/MainPanel.h"
#include "ui/PreviewChartView.h"
#include "ui/PreviewScan.h"
#include "ui/ScanPreview.h"
#include "ui/StartUp.h"

using namespace s2t;
using namespace s2t::ui;
using s2t::test::clickOn;

namespace {

Session sessionIn(const test::TempDir& home) {
    Session session;
    ScriptedPlatform platform;
    startSession(session, home.path(), platform);
    return session;
}

// x = 10, 10.02, ... with one peak of `height` counts at the middle over a flat 5.
PreviewData peakScan(int points, double height) {
    PreviewData data;
    for (int i = 0; i < points; ++i) {
        data.x.push_back(10.0 + 0.02 * i);
        const double offset = (i - points / 2) / 3.0;
        data.counts.push_back(5.0 + std::round(height * std::exp(-offset * offset)));
    }
    data.twoTheta = data.x;
    return data;
}

QPointF valueAt(ScanPreview& preview, double xFraction, double yFraction) {
    auto* view = preview.findChild<PreviewChartView*>("previewChart");
    const QRectF area = view->chart()->plotArea();
    return view->valueAt(
        view->mapFromScene(QPointF(area.left() + area.width() * xFraction, area.top() + area.height() * yFraction)));
}

QPoint viewPointAt(ScanPreview& preview, double xFraction, double yFraction) {
    auto* view = preview.findChild<PreviewChartView*>("previewChart");
    const QRectF area = view->chart()->plotArea();
    return view->mapFromScene(QPointF(area.left() + area.width() * xFraction, area.top() + area.height() * yFraction));
}

void wheel(QWidget* target, QPoint at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent event(QPointF(at), target->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

bool near(double a, double b, double tolerance) { return std::abs(a - b) <= tolerance; }

}  // namespace

class InteractivePreviewTest : public QObject {
    Q_OBJECT
private slots:
    void zoomPanAndResetMoveTheView() {
        ScanPreview preview;
        preview.resize(800, 500);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        preview.showScan("peak.chn", peakScan(1001, 1000.0));  // 10 .. 30 degrees
        const AxisRange whole{10.0, 30.0};
        QCOMPARE(preview.view().x(), whole);
        QVERIFY(!preview.view().zoomed());
        auto* reset = preview.findChild<QPushButton*>("previewReset");
        QVERIFY(!reset->isEnabled());

        // Zooming about 20 by a half keeps 20 in place; the counts follow the highest shown.
        preview.zoomAbout(20.0, 0.5);
        QCOMPARE(preview.view().x(), (AxisRange{15.0, 25.0}));
        QVERIFY(preview.view().zoomed() && reset->isEnabled());
        preview.zoomAbout(12.0, 0.1);  // 12.3 .. 13.3: the flat part, so a low count axis
        QVERIFY(near(preview.view().x().low, 12.3, 1e-9) && near(preview.view().x().high, 13.3, 1e-9));
        QVERIFY(preview.view().counts().high < 50.0);

        // Panning moves by fractions of the view and stops at the ends of the scan.
        preview.pan(0.5, 0.0);
        QVERIFY(near(preview.view().x().low, 12.8, 1e-9));
        preview.pan(-100.0, 0.0);
        QCOMPARE(preview.view().x().low, 10.0);
        QVERIFY(near(preview.view().x().span(), 1.0, 1e-9));

        // A rubber band sets both ranges; the counts then stay where the band put them.
        const AxisRange counts{100.0, 600.0};
        preview.zoomTo({19.0, 21.0}, &counts);
        QCOMPARE(preview.view().x(), (AxisRange{19.0, 21.0}));
        QCOMPARE(preview.view().counts(), counts);
        QVERIFY(!preview.view().countsFollowData());
        QCOMPARE(preview.countAxis()->min(), 100.0);
        QCOMPARE(preview.countAxis()->max(), 600.0);
        preview.zoomAbout(20.0, 0.5);
        QCOMPARE(preview.view().counts(), counts);

        reset->click();
        QCOMPARE(preview.view().x(), whole);
        QVERIFY(preview.view().countsFollowData());
        QVERIFY(!reset->isEnabled());
        QCOMPARE(preview.countAxis()->min(), 0.0);
        QVERIFY(preview.countAxis()->max() >= 1005.0);
    }

    void theMouseAndKeysZoomPanAndReset() {
        ScanPreview preview;
        preview.resize(800, 500);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        preview.showScan("peak.chn", peakScan(1001, 1000.0));
        auto* view = preview.findChild<PreviewChartView*>("previewChart");
        QWidget* surface = view->viewport();

        // A notch of the wheel zooms in about the cursor, which stays on the same abscissa.
        const QPoint at = viewPointAt(preview, 0.25, 0.5);
        const double under = view->valueAt(at).x();
        wheel(surface, at, 120);
        QVERIFY(preview.view().x().span() < 20.0 * 0.9);
        QVERIFY(near(view->valueAt(at).x(), under, 0.05));
        wheel(surface, at, -120);
        QVERIFY(near(preview.view().x().span(), 20.0, 1e-9));
        // Ctrl + wheel zooms the counts alone.
        const double countSpan = preview.view().counts().span();
        wheel(surface, viewPointAt(preview, 0.5, 0.9), 240, Qt::ControlModifier);
        QVERIFY(!preview.view().countsFollowData());
        QVERIFY(near(preview.view().counts().span(), countSpan * 0.64, 1e-6 * countSpan));
        QTest::keyClick(view, Qt::Key_Home);
        QVERIFY(!preview.view().zoomed());

        // A rubber band from a quarter to the half of the width, over the upper half.
        const QPointF from = valueAt(preview, 0.25, 0.1);
        const QPointF to = valueAt(preview, 0.5, 0.5);
        QTest::mousePress(surface, Qt::LeftButton, {}, viewPointAt(preview, 0.25, 0.1));
        QTest::mouseMove(surface, viewPointAt(preview, 0.4, 0.3));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, viewPointAt(preview, 0.5, 0.5));
        QVERIFY(near(preview.view().x().low, from.x(), 0.05) && near(preview.view().x().high, to.x(), 0.05));
        QVERIFY(near(preview.view().counts().low, to.y(), 5.0) && near(preview.view().counts().high, from.y(), 5.0));
        // A flat band zooms the abscissa alone.
        QTest::mouseDClick(surface, Qt::LeftButton, {}, viewPointAt(preview, 0.5, 0.5));
        QVERIFY(!preview.view().zoomed());
        QTest::mousePress(surface, Qt::LeftButton, {}, viewPointAt(preview, 0.5, 0.5));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, viewPointAt(preview, 0.75, 0.5) + QPoint(0, 2));
        QVERIFY(near(preview.view().x().low, 20.0, 0.05) && near(preview.view().x().high, 25.0, 0.05));
        QVERIFY(preview.view().countsFollowData());

        // Arrow keys pan by a tenth; a middle drag pans with the cursor.
        const double low = preview.view().x().low;
        const double span = preview.view().x().span();
        QTest::keyClick(view, Qt::Key_Left);
        QVERIFY(near(preview.view().x().low, low - 0.1 * span, 1e-9));
        QTest::keyClick(view, Qt::Key_Right);
        QTest::keyClick(view, Qt::Key_Right);
        QVERIFY(near(preview.view().x().low, low + 0.1 * span, 1e-9));
        const double before = preview.view().x().low;
        QTest::mousePress(surface, Qt::MiddleButton, {}, viewPointAt(preview, 0.6, 0.5));
        QTest::mouseMove(surface, viewPointAt(preview, 0.4, 0.5));
        QTest::mouseRelease(surface, Qt::MiddleButton, {}, viewPointAt(preview, 0.4, 0.5));
        QVERIFY(near(preview.view().x().low, before + 0.2 * span, 0.02));
        QCOMPARE(preview.view().x().span(), span);

        // So does a left drag with Shift held.
        const double dragged = preview.view().x().low;
        QTest::mousePress(surface, Qt::LeftButton, Qt::ShiftModifier, viewPointAt(preview, 0.3, 0.5));
        QTest::mouseMove(surface, viewPointAt(preview, 0.5, 0.5));
        QTest::mouseRelease(surface, Qt::LeftButton, Qt::ShiftModifier, viewPointAt(preview, 0.5, 0.5));
        QVERIFY(near(preview.view().x().low, dragged - 0.2 * span, 0.02));
        QCOMPARE(preview.view().x().span(), span);

        QTest::mouseDClick(surface, Qt::LeftButton, {}, viewPointAt(preview, 0.5, 0.5));
        QCOMPARE(preview.view().x(), (AxisRange{10.0, 30.0}));
    }

    // However far in a scan of huge counts is zoomed, each axis lays out a few dozen labels.
    void zoomingNeverLaysOutMillionsOfLabels() {
        ScanPreview preview;
        preview.resize(800, 500);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        preview.showScan("huge.chn", peakScan(2001, 2.0e9));
        QValueAxis* counts = preview.countAxis();
        double mostTicks = 0.0;
        QObject::connect(counts, &QValueAxis::rangeChanged, [&](qreal low, qreal high) {
            if (counts->tickType() == QValueAxis::TicksDynamic)
                mostTicks = std::max(mostTicks, (high - low) / counts->tickInterval());
        });
        const AxisRange band{1.0e9, 1.0e9 + 10.0};
        preview.zoomTo({30.0, 30.0001}, &band);
        QVERIFY(preview.view().x().span() > 0.0);
        QVERIFY(counts->max() - counts->min() < 1e4);  // the narrowest view: a millionth of the data
        preview.resetView();
        preview.zoomAbout(20.0, 1e-9);
        QVERIFY(preview.view().x().span() >= 20.0 * 1e-6 * 0.999);
        QVERIFY2(mostTicks < 100.0, qPrintable(QString::number(mostTicks)));
    }

    void theReadoutGivesChannelTwoThetaAndCount() {
        test::TempDir home;
        Session session = sessionIn(home);
        session.calibration.header.K = 10.0;
        session.calibration.header.C = 0.01;
        ScriptedPlatform platform;
        const std::string path = home.file("a.chn");
        std::vector<std::int32_t> counts(2000, 3);
        counts[700] = 4321;
        test::writeFile(path, test::chnBytes(0, counts));
        MainPanel panel(session, platform);
        fillMainPanel(panel, {path});
        panel.resize(1180, 720);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        ScanPreview& preview = panel.preview();

        QVERIFY(preview.pointTo(QPointF(0.01 * 700 + 10.0 + 0.001, 100.0)));
        QCOMPARE(preview.readoutValues().index, std::size_t(700));
        QCOMPARE(*preview.readoutValues().channel, 700.0);
        QCOMPARE(*preview.readoutValues().twoTheta, 0.01 * 700 + 10.0);
        QCOMPARE(preview.readoutValues().count, 4321.0);
        QCOMPARE(preview.readout(), QString::fromUtf8("Channel 700   2-theta 17.0000\u00b0   Count 4321"));

        // Against channel, the 2-theta is still the one the chosen mode gives: here the spline.
        clickOn(panel.findChild<QRadioButton*>("splineMode"));
        clickOn(panel.findChild<QCheckBox*>("convertToTwoTheta"));
        QCOMPARE(preview.horizontalTitle(), QString("Channel"));
        QVERIFY(preview.pointTo(QPointF(1200.2, 3.0)));
        CalibrationState splined = session.calibration;
        spline(std::span<CalibrationPoint>(splined.calPoints), true);
        QCOMPARE(*preview.readoutValues().channel, 1200.0);
        QCOMPARE(*preview.readoutValues().twoTheta, channelToTTheta(splined, 1200, false));
        QCOMPARE(preview.readoutValues().count, 3.0);

        // The mouse over the plot shows the same line, and leaving it clears it.
        auto* view = preview.findChild<PreviewChartView*>("previewChart");
        QTest::mouseMove(view->viewport(), viewPointAt(preview, 0.5, 0.5));
        QVERIFY(preview.readout().startsWith("Channel "));
        // (within a few pixels: the offscreen window places the cursor by its own frame)
        QVERIFY2(near(*preview.readoutValues().channel, 1000.0, 30.0), qPrintable(preview.readout()));

        // An angle scan has no channels: the readout counts its points instead.
        const std::string gufi = home.file("s.guf");
        test::writeFile(gufi, test::gufiBytes(20.0f, 0.5f, {1.5f, 2.5f, 3.5f}));
        PreviewData own = previewScan(session, gufi, kGufiFileType, kFileAngles);
        preview.showScan("s.guf", own);
        QVERIFY(preview.pointTo(QPointF(20.6, 2.0)));
        QVERIFY(!preview.readoutValues().channel);
        QCOMPARE(*preview.readoutValues().twoTheta, 20.5);
        QCOMPARE(preview.readout(),
                 QString::fromUtf8("Point 2 of 3 (an angle scan has no channels)   2-theta 20.5000\u00b0   Count 2.5"));
        QVERIFY(platform.calls.empty());
    }

    void countScalesMapCountsAndHandleZero() {
        const CountScaleMap linear(CountScale::Linear, 0.5);
        const CountScaleMap root(CountScale::SquareRoot, 0.5);
        const CountScaleMap log(CountScale::Log, 0.5);
        QCOMPARE(linear.toAxis(400.0), 400.0);
        QCOMPARE(root.toAxis(400.0), 20.0);
        QCOMPARE(root.toAxis(-9.0), -3.0);
        QCOMPARE(root.toCount(20.0), 400.0);
        QCOMPARE(log.toAxis(1000.0), 3.0);
        QCOMPARE(log.toCount(2.0), 100.0);
        // Zero and negative counts lie on the floor, never at minus infinity.
        QCOMPARE(log.toAxis(0.0), std::log10(0.5));
        QCOMPARE(log.toAxis(-4.0), std::log10(0.5));
        QCOMPARE(log.toCount(-10.0), 0.5);

        const std::vector<double> counts{0.0, 7.0, 3.0, 0.0};
        QCOMPARE(logFloorFor(counts), 1.5);
        QCOMPARE(logFloorFor(std::vector<double>{0.0, 0.2}), 0.1);
        QCOMPARE(logFloorFor(std::vector<double>{0.0, 0.0}), 0.5);
        QCOMPARE(logFloorFor(counts, 0.25), 0.25);

        // Log labels: whole decades over a wide range, 1-2-5 over a narrow one.
        QCOMPARE(countTicks(log, std::log10(0.5), 5.0),
                 (std::vector<double>{1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0}));
        QCOMPARE(countTicks(log, 1.0, 2.5), (std::vector<double>{10.0, 20.0, 50.0, 100.0, 200.0}));
        for (double tick : countTicks(root, 0.0, 100.0)) QCOMPARE(std::sqrt(tick), std::round(std::sqrt(tick)));
        QVERIFY(countTicks(root, 0.0, 100.0).size() >= 4);

        // The preview draws a scan with empty channels under the log scale without a hole.
        ScanPreview preview;
        preview.resize(800, 500);
        preview.show();
        PreviewData data = peakScan(301, 10000.0);
        for (int i = 0; i < 20; ++i) data.counts[static_cast<std::size_t>(i)] = 0.0;
        preview.showScan("zeros.chn", data);
        preview.findChild<QComboBox*>("previewScale")->setCurrentIndex(2);
        emit preview.findChild<QComboBox*>("previewScale")->activated(2);
        QCOMPARE(preview.countScale(), CountScale::Log);
        QCOMPARE(preview.countScaleMap().logFloor(), 2.5);
        QCOMPARE(preview.view().counts().low, std::log10(2.5));
        double lowest = 1e9;
        for (int i = 0; i < preview.drawnPointCount(0); ++i) {
            QVERIFY(std::isfinite(preview.drawnPointAt(0, i).y()));
            lowest = std::min(lowest, preview.drawnPointAt(0, i).y());
        }
        QCOMPARE(lowest, std::log10(2.5));
        QCOMPARE(preview.labelledCounts(), (std::vector<double>{10.0, 100.0, 1000.0, 10000.0}));
        QCategoryAxis* labels = preview.countLabelAxis();
        QVERIFY(labels->isVisible() && !preview.countAxis()->isVisible());
        QCOMPARE(labels->categoriesLabels(), (QStringList{"10", "100", "1000", "10000"}));
        QCOMPARE(labels->endValue("1000"), 3.0);
        // The readout keeps the counts themselves.
        QVERIFY(preview.pointTo(QPointF(data.x[5], 0.0)));
        QCOMPARE(preview.readoutValues().count, 0.0);

        preview.setCountScale(CountScale::SquareRoot);
        QCOMPARE(preview.view().counts().low, 0.0);
        QVERIFY(near(preview.view().counts().high, std::sqrt(10005.0) * 1.05, 1e-9));
        preview.setCountScale(CountScale::Linear);
        QVERIFY(preview.countAxis()->isVisible() && !labels->isVisible());
        QCOMPARE(labels->count(), 0);
    }

    void selectedScansAreOverlaidEachInItsColour() {
        test::TempDir home;
        Session session = sessionIn(home);
        ScriptedPlatform platform;
        std::vector<std::string> files;
        for (int i = 0; i < 11; ++i) {
            files.push_back(home.file(QString("s%1.chn").arg(10 + i).toStdString()));
            test::writeFile(files.back(), test::chnBytes(0, std::vector<std::int32_t>(500, 10 * (i + 1))));
        }
        const std::string bad = home.file("bad.chn");
        test::writeFile(bad, "no scan");
        files.push_back(bad);
        MainPanel panel(session, platform);
        fillMainPanel(panel, files);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        ScanPreview& preview = panel.preview();
        auto* list = panel.findChild<QListWidget*>("fileList");
        list->setCurrentRow(1);
        QCOMPARE(preview.scanCount(), 1);
        list->item(0)->setSelected(true);
        QCOMPARE(preview.scanCount(), 2);
        // The current file comes first and keeps the single scan's colour.
        QCOMPARE(preview.scanName(0), QString("s11.chn"));
        QCOMPARE(preview.scanName(1), QString("s10.chn"));
        QVERIFY(preview.scanColour(0) != preview.scanColour(1));
        QCOMPARE(preview.title(), QString("2 scans"));
        QCOMPARE(preview.drawnPointAt(1, 3).y(), 10.0);
        QCOMPARE(preview.drawnPointAt(0, 3).y(), 20.0);
        // The readout follows the scan nearest the cursor.
        QVERIFY(preview.pointTo(QPointF(preview.drawnPointAt(1, 100).x(), 11.0)));
        QCOMPARE(preview.readoutScan(), 1);
        QVERIFY(preview.readout().startsWith("s10.chn:   Channel "));

        // All selected: eight drawn, the rest and the unreadable file named under the plot.
        list->selectAll();
        QCOMPARE(preview.scanCount(), 8);
        QVERIFY2(preview.note().contains("4 more selected not shown"), qPrintable(preview.note()));
        QSet<QRgb> colours;
        for (int i = 0; i < preview.scanCount(); ++i) colours.insert(preview.scanColour(i).rgb());
        QCOMPARE(colours.size(), 8);
        list->clearSelection();
        list->setCurrentRow(0);
        list->item(11)->setSelected(true);
        QCOMPARE(preview.scanCount(), 1);
        QVERIFY2(preview.note().contains("bad.chn: cannot preview: The input file"), qPrintable(preview.note()));
        QVERIFY(platform.calls.empty());
    }

    void aStandardsReflectionsAreTicksAtTheirTwoTheta() {
        test::TempDir home;
        Session session = sessionIn(home);
        session.calibration.header.K = 5.0;
        session.calibration.header.C = 0.03;
        ScriptedPlatform platform;
        const std::string path = home.file("a.chn");
        test::writeFile(path, test::chnBytes(0, std::vector<std::int32_t>(3000, 7)));  // 5 .. 94.97 degrees
        MainPanel panel(session, platform);
        fillMainPanel(panel, {path});
        panel.show();
        ScanPreview& preview = panel.preview();
        QCOMPARE(preview.standardNames().front(), QString("No standard ticks"));
        QVERIFY(preview.standardNames().contains("Silicon"));
        QVERIFY(preview.standardTickPositions().empty());

        std::vector<double> silicon;
        QuietPlatform quiet;
        QVERIFY(readStandard(home.path() + "/Standards/Silicon.std", silicon, quiet));
        std::vector<double> inScan;
        for (double reflection : silicon)
            if (reflection >= 5.0 && reflection <= 5.0 + 0.03 * 2999) inScan.push_back(reflection);
        QVERIFY(inScan.size() >= 5 && inScan.size() < silicon.size());

        QVERIFY(preview.chooseStandard("Silicon"));
        QCOMPARE(preview.standardTickPositions(), inScan);

        // Against channel, each tick stands at the channel that maps to its 2-theta.
        clickOn(panel.findChild<QCheckBox*>("convertToTwoTheta"));
        QCOMPARE(preview.standardTickPositions().size(), inScan.size());
        for (std::size_t i = 0; i < inScan.size(); ++i)
            QVERIFY(near(preview.standardTickPositions()[i], (inScan[i] - 5.0) / 0.03, 1e-6));

        // "No standard ticks" takes them away.
        QVERIFY(preview.chooseStandard("No standard ticks"));
        QVERIFY(preview.standardTickPositions().empty());
        QVERIFY(!preview.chooseStandard("Unobtainium"));
        QVERIFY(platform.calls.empty());
    }

    void longScansAreDrawnAFewPointsPerColumn() {
        ScanPreview preview;
        preview.resize(900, 500);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        PreviewData data = peakScan(32767, 50000.0);
        preview.showScan("long.chn", data);
        QCOMPARE(preview.pointCount(), 32767);
        const int columns =
            static_cast<int>(preview.findChild<PreviewChartView*>("previewChart")->chart()->plotArea().width());
        QVERIFY(columns > 500);
        QVERIFY2(preview.drawnPointCount(0) <= 4 * columns + 2,
                 qPrintable(QString::number(preview.drawnPointCount(0))));
        // The peak and the ends survive.
        double highest = 0.0;
        for (int i = 0; i < preview.drawnPointCount(0); ++i)
            highest = std::max(highest, preview.drawnPointAt(0, i).y());
        QCOMPARE(highest, 50005.0);
        QCOMPARE(preview.drawnPointAt(0, 0).x(), data.x.front());
        QCOMPARE(preview.drawnPointAt(0, preview.drawnPointCount(0) - 1).x(), data.x.back());

        // Zoomed in to a few hundred points, every one is drawn, with a neighbour past each edge.
        preview.zoomTo({300.005, 303.995}, nullptr);
        QCOMPARE(preview.drawnPointCount(0), 201);

        // The decimation itself: first, lowest, highest, last of each column, in order.
        const std::vector<double> x{0, 1, 2, 3, 4, 5, 6, 7};
        const std::vector<double> y{5, 9, 1, 4, 4, 0, 8, 3};
        QCOMPARE(decimatedIndices(x, y, 0.0, 7.0, 2), (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(decimatedIndices(x, y, 0.0, 7.0, 1), (std::vector<std::size_t>{0, 1, 5, 6, 7}));
        std::vector<double> manyX, manyY;
        for (int i = 0; i < 100; ++i) {
            manyX.push_back(i);
            manyY.push_back(i == 37 ? 100.0 : i == 12 ? -5.0 : 1.0);
        }
        QCOMPARE(decimatedIndices(manyX, manyY, 0.0, 100.0, 2), (std::vector<std::size_t>{0, 12, 37, 49, 50, 99}));
        // Unsorted data are drawn in abscissa order.
        PreviewData backwards;
        backwards.x = {3.0, 2.0, 1.0};
        backwards.counts = {30.0, 20.0, 10.0};
        preview.showScan("back.chn", backwards);
        QCOMPARE(preview.drawnPointAt(0, 0), QPointF(1.0, 10.0));
        QCOMPARE(preview.pointAt(0), QPointF(3.0, 30.0));
    }

    // The view stays on a zoomed peak while the same scan is redrawn (another calibration), and
    // another scan starts whole.
    void aRedrawKeepsTheZoomAnotherScanStartsWhole() {
        test::TempDir home;
        Session session = sessionIn(home);
        ScriptedPlatform platform;
        const std::string first = home.file("a.chn");
        const std::string second = home.file("b.chn");
        test::writeFile(first, test::chnBytes(0, std::vector<std::int32_t>(3000, 7)));
        test::writeFile(second, test::chnBytes(0, std::vector<std::int32_t>(3000, 9)));
        MainPanel panel(session, platform);
        fillMainPanel(panel, {first, second});
        panel.show();
        ScanPreview& preview = panel.preview();
        const AxisRange whole = preview.view().x();
        const AxisRange peak{whole.low + whole.span() * 0.4, whole.low + whole.span() * 0.45};
        preview.zoomTo(peak, nullptr);
        panel.refreshCalibrationDisplays();
        QCOMPARE(preview.view().x(), peak);
        panel.findChild<QListWidget*>("fileList")->setCurrentRow(1);
        QCOMPARE(preview.view().x(), whole);
    }
};

QTEST_MAIN(InteractivePreviewTest)
#include "InteractivePreviewTest.moc"
