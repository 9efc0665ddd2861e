// The spline panel, driven as a user would: entries, buttons, the menu, without a screen.
#include <QAction>
#include <QApplication>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScatterSeries>
#include <QTimer>
#include <QtTest>
#include <iterator>
#include <memory>

#include "calibration/Spline.h"
#include "options/OptionFile.h"
#include "platform/ScriptedPlatform.h"
#include "support/PanelDriving.h"
#include "support/TempDir.h"
#include "ui/CalibrationPanels.h"
#include "ui/CalibrationPlot.h"
#include "ui/NumberEntry.h"
#include "ui/SplinePanel.h"

using namespace s2t;
using namespace s2t::ui;
using namespace s2t::test;

namespace {

using Fixture = PanelSession;

}  // namespace

class SplinePanelTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheCalibrationPointsAtOpening();
    void addTypesTwoSpacesAndClearsTheEntries();
    void dimmingFollowsTheNumberOfPoints();
    void addStopsAtTheTableSize();
    void freedSlotsAreReusedAndOkCommitsInSlotOrder();
    void okInstallsThePointsWithTheirSpline();
    void cancelAndCloseKeepTheCalibration();
    void saveAsDefaultAsksCommitsWritesAndStaysOpen();
    void plotFollowsTheList();
    void openSplinePanelRunsModally();
};

void SplinePanelTest::listsTheCalibrationPointsAtOpening() {
    Fixture f;
    auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
    QCOMPARE(itemTexts(panel.pointList()),
             QStringList({" 28.7830 -> 655.0000", " 47.3040 -> 1353.0000", " 56.1220 -> 1681.0000",
                          " 69.1320 -> 2167.0000"}));
    for (int row = 0; row < 4; ++row) QCOMPARE(slotOf(panel.pointList(), row), row);
    QVERIFY(panel.okButton()->isEnabled());
    QVERIFY(panel.saveAsDefaultAction()->isEnabled());
    QVERIFY(panel.removeButton()->isEnabled());
    QCOMPARE(panel.windowTitle(), QString("Spline Calibration"));
}

void SplinePanelTest::addTypesTwoSpacesAndClearsTheEntries() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
    addPoint(panel, "47.304", "1353");
    QCOMPARE(itemTexts(panel.pointList()), QStringList({" 47.3040  -> 1353.0000"}));
    QCOMPARE(panel.twoThetaEntry()->value(), 0.0);
    QCOMPARE(panel.channelEntry()->value(), 0.0);
    QCOMPARE(panel.twoThetaEntry()->text(), QString("0"));

    // Zero, negative and repeated values are listed as they are.
    addPoint(panel, "-1.5", "0");
    addPoint(panel, "-1.5", "0");
    QCOMPARE(panel.pointList()->count(), 3);
    QCOMPARE(panel.pointList()->item(2)->text(), QString(" -1.5000  ->   0.0000"));

    // Enter in an entry adds as well, and never closes the panel.
    type(panel.twoThetaEntry(), "28.783");
    type(panel.channelEntry(), "655");
    QTest::keyClick(panel.channelEntry(), Qt::Key_Return);
    QCOMPARE(panel.pointList()->count(), 4);
    QVERIFY(panel.isVisible());
    QCOMPARE(f.changes, 0);
}

void SplinePanelTest::dimmingFollowsTheNumberOfPoints() {
    Fixture f;
    auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
    QTest::mouseClick(panel.removeAllButton(), Qt::LeftButton);
    QCOMPARE(panel.pointList()->count(), 0);
    QVERIFY(!panel.removeButton()->isEnabled());
    QVERIFY(!panel.removeAllButton()->isEnabled());
    QVERIFY(!panel.okButton()->isEnabled());
    QVERIFY(!panel.saveAsDefaultAction()->isEnabled());
    QVERIFY(!panel.calibrationMenu()->menuAction()->isEnabled());
    QVERIFY(panel.addButton()->isEnabled());

    addPoint(panel, "10", "100");
    QVERIFY(panel.removeButton()->isEnabled());
    QVERIFY(panel.removeAllButton()->isEnabled());
    addPoint(panel, "20", "200");
    QVERIFY(!panel.okButton()->isEnabled());
    QVERIFY(!panel.calibrationMenu()->menuAction()->isEnabled());
    addPoint(panel, "30", "300");
    QVERIFY(panel.okButton()->isEnabled());
    QVERIFY(panel.saveAsDefaultAction()->isEnabled());
    QVERIFY(panel.calibrationMenu()->menuAction()->isEnabled());
    selectAndRemove(panel, 1);
    QVERIFY(!panel.okButton()->isEnabled());
    // A dimmed OK does nothing, even when clicked.
    QTest::mouseClick(panel.okButton(), Qt::LeftButton);
    QVERIFY(panel.isVisible());
}

void SplinePanelTest::addStopsAtTheTableSize() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    for (int i = 0; i < 600; ++i)
        f.session.calibration.calPoints.push_back({100.0 + i, 10.0 + 0.01 * i, 0});
    auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
    QCOMPARE(panel.pointList()->count(), 512);  // the points beyond the table are not listed
    QCOMPARE(panel.pointList()->item(511)->text(), QString(" 15.1100 -> 611.0000"));
    QVERIFY(!panel.addButton()->isEnabled());
    selectAndRemove(panel, 0);
    QVERIFY(panel.addButton()->isEnabled());
    addPoint(panel, "1", "2");
    QCOMPARE(slotOf(panel.pointList(), 511), 0);
    QVERIFY(!panel.addButton()->isEnabled());
}

void SplinePanelTest::freedSlotsAreReusedAndOkCommitsInSlotOrder() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
    addPoint(panel, "10", "100");
    addPoint(panel, "20", "200");
    addPoint(panel, "30", "300");
    selectAndRemove(panel, 0);
    addPoint(panel, "31", "300");  // takes slot 0, listed last

    QCOMPARE(itemTexts(panel.pointList()),
             QStringList({" 20.0000  -> 200.0000", " 30.0000  -> 300.0000", " 31.0000  -> 300.0000"}));
    QCOMPARE(slotOf(panel.pointList(), 0), 1);
    QCOMPARE(slotOf(panel.pointList(), 1), 2);
    QCOMPARE(slotOf(panel.pointList(), 2), 0);

    QTest::mouseClick(panel.okButton(), Qt::LeftButton);
    QCOMPARE(panel.result(), int(QDialog::Accepted));
    QCOMPARE(f.changes, 1);
    // Slot order is (300, 31), (200, 20), (300, 30); the spline's sort keeps equal channels in
    // that order, so 31 comes before 30. List order would have given 30 first.
    const auto& points = f.session.calibration.calPoints;
    QCOMPARE(f.session.calibration.numOfDataPoints(), 3);
    QCOMPARE(points[0].twoTheta, 20.0);
    QCOMPARE(points[1].twoTheta, 31.0);
    QCOMPARE(points[2].twoTheta, 30.0);
}

void SplinePanelTest::okInstallsThePointsWithTheirSpline() {
    Fixture f;
    auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
    selectAndRemove(panel, 1);          // (1353, 47.304) frees slot 1
    addPoint(panel, "47.304", "1353");  // back into slot 1, listed last
    addPoint(panel, "40.5", "1050");    // slot 4
    QTest::mouseClick(panel.okButton(), Qt::LeftButton);

    std::vector<CalibrationPoint> expected(std::begin(kStartupPoints), std::end(kStartupPoints));
    expected.push_back({1050, 40.5, 0});
    spline(std::span<CalibrationPoint>(expected), {}, true);
    const auto& points = f.session.calibration.calPoints;
    QCOMPARE(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        QCOMPARE(points[i].channel, expected[i].channel);
        QCOMPARE(points[i].twoTheta, expected[i].twoTheta);
        QCOMPARE(points[i].secondDeriv, expected[i].secondDeriv);
    }
    QCOMPARE(points[1].channel, 1050.0);
    QCOMPARE(f.session.calibration.header.C, kStartupC);  // the straight line is not touched
    QCOMPARE(f.session.calibration.header.K, kStartupK);
    QVERIFY(!test::fileExists(f.defaultFile()));
}

void SplinePanelTest::cancelAndCloseKeepTheCalibration() {
    for (bool byClose : {false, true}) {
        Fixture f;
        auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
        QTest::mouseClick(panel.removeAllButton(), Qt::LeftButton);
        addPoint(panel, "1", "2");
        addPoint(panel, "3", "4");
        addPoint(panel, "5", "6");
        if (byClose)
            panel.close();
        else
            QTest::mouseClick(panel.cancelButton(), Qt::LeftButton);
        QVERIFY(!panel.isVisible());
        QCOMPARE(panel.result(), int(QDialog::Rejected));
        QCOMPARE(f.changes, 0);
        QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
        QCOMPARE(f.session.calibration.calPoints[0].channel, 655.0);
    }
}

void SplinePanelTest::saveAsDefaultAsksCommitsWritesAndStaysOpen() {
    Fixture f;
    auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
    selectAndRemove(panel, 3);
    addPoint(panel, "62.5", "1900");

    // Declined: nothing changes.
    f.platform.confirmAnswers = {false};
    panel.saveAsDefaultAction()->trigger();
    const auto confirms = f.platform.callsOf("confirm");
    QCOMPARE(confirms.size(), std::size_t(1));
    QCOMPARE(confirms[0].title, std::string("Warning"));
    QCOMPARE(confirms[0].text, std::string("This will over write any other options in the default "
                                           "file.\nDo you still whant to do this?"));
    QVERIFY(!test::fileExists(f.defaultFile()));
    QCOMPARE(f.session.calibration.calPoints[3].channel, 2167.0);
    QCOMPARE(f.changes, 0);

    // Accepted: committed, written over any file there, panel still open with its list.
    test::writeFile(f.defaultFile(), "old contents\n");
    f.platform.confirmAnswers = {true};
    panel.saveAsDefaultAction()->trigger();
    QVERIFY(panel.isVisible());
    QCOMPARE(panel.pointList()->count(), 4);
    QCOMPARE(f.changes, 1);
    QCOMPARE(f.session.calibration.calPoints[3].channel, 1900.0);
    const std::string saved = optionFileText(f.session.calibration, LineEnd::CrLf);
    QCOMPARE(test::readFile(f.defaultFile()), saved);
    QVERIFY(saved.find("1900.0000") != std::string::npos);
    QVERIFY(f.platform.messages().empty());

    // Cancel afterwards does not undo what was saved, in memory or in the file.
    addPoint(panel, "80", "2500");
    QTest::mouseClick(panel.cancelButton(), Qt::LeftButton);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
    QCOMPARE(f.session.calibration.calPoints[3].channel, 1900.0);
    QCOMPARE(test::readFile(f.defaultFile()), saved);
    QCOMPARE(f.changes, 1);
}

void SplinePanelTest::plotFollowsTheList() {
    Fixture f;
    auto owned = f.open<SplinePanel>();
    SplinePanel& panel = *owned;
    CalibrationPlot* plot = panel.plot();
    QCOMPARE(plot->pointSeries()->count(), 4);
    QCOMPARE(plot->residualSeries()->count(), 4);
    QVERIFY(plot->splineSeries()->count() > 100);
    QCOMPARE(plot->lineSeries()->count(), 2);
    // The line is C x channel + K at the lowest and highest channel.
    QCOMPARE(plot->lineSeries()->at(0), QPointF(655, kStartupC * 655 + kStartupK));
    QCOMPARE(plot->residualSeries()->at(0).y(), 28.783 - (kStartupC * 655 + kStartupK));
    QCOMPARE(plot->calibrationChart()->axes(Qt::Horizontal).at(0)->titleText(), QString("Channel"));
    QVERIFY(plot->calibrationChart()->legend()->isVisible());

    QTest::mouseClick(panel.removeAllButton(), Qt::LeftButton);
    QCOMPARE(plot->pointSeries()->count(), 0);
    QCOMPARE(plot->splineSeries()->count(), 0);
    addPoint(panel, "30", "700");
    QCOMPARE(plot->pointSeries()->count(), 1);
    QCOMPARE(plot->splineSeries()->count(), 0);  // one channel: no spline
    addPoint(panel, "40", "1100");
    QVERIFY(plot->splineSeries()->count() > 0);
    QCOMPARE(plot->pointSeries()->at(1), QPointF(1100, 40));
}

void SplinePanelTest::openSplinePanelRunsModally() {
    Fixture f;
    bool sawPanel = false;
    QTimer::singleShot(0, [&] {
        auto* panel = qobject_cast<SplinePanel*>(QApplication::activeModalWidget());
        QVERIFY(panel);
        sawPanel = true;
        QCOMPARE(panel->pointList()->count(), 4);
        QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    });
    openSplinePanel(nullptr, f.session, f.platform, [&] { ++f.changes; });
    QVERIFY(sawPanel);
    QCOMPARE(f.changes, 1);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
}

QTEST_MAIN(SplinePanelTest)
#include "SplinePanelTest.moc"
