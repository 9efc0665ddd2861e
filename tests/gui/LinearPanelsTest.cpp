// The straight-line panel and the linear points panel, driven as a user would, without a screen.
#include <QAction>
#include <QApplication>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QTimer>
#include <QtTest>
#include <iterator>
#include <memory>

#include "calibration/LinearFit.h"
#include "options/OptionFile.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "support/PanelDriving.h"
#include "support/TempDir.h"
#include "ui/CalibrationPanels.h"
#include "ui/CalibrationPlot.h"
#include "ui/LinearPointsPanel.h"
#include "ui/NumberEntry.h"
#include "ui/StraightLinePanel.h"

using namespace s2t;
using namespace s2t::ui;
using namespace s2t::test;

namespace {

using Fixture = PanelSession;

void setCalibrationPoints(Session& session, int count) {
    session.calibration.calPoints.clear();
    for (int i = 0; i < count; ++i)
        session.calibration.calPoints.push_back({100.0 + i, 10.0 + 0.02 * i, 0});
}

QValidator::State validity(NumberEntry* entry, QString text) {
    int pos = 0;
    return entry->validator()->validate(text, pos);
}

}  // namespace

class LinearPanelsTest : public QObject {
    Q_OBJECT
private slots:
    // The straight-line panel
    void entriesShowKAndCAtFullPrecision();
    void entriesTakeOnlyFiniteNumbersInCNotation();
    void okSetsKAndC();
    void cancelAndCloseKeepKAndC();
    void straightLineSaveAsDefault();
    void openStraightLinePanelRunsModally();

    // The linear points panel
    void listsTheCalibrationPointsWithTwoSpaces();
    void addKeepsTheEntries();
    void dimmingTable();
    void addDimmedAtExactly511();
    void removeAllOnManyPoints();
    void freedSlotsAreReusedAndOkFitsInListOrder();
    void refusedFitKeepsThePanelOpen();
    void cancelAndCloseKeepTheCalibration();
    void pointsSaveAsDefaultFitsAndWritesWithoutAsking();
    void refusedSaveAsDefaultWritesNothing();
    void plotShowsTheFittedLine();
};

void LinearPanelsTest::entriesShowKAndCAtFullPrecision() {
    Fixture f;
    auto panel = f.open<StraightLinePanel>();
    QCOMPARE(panel->kEntry()->text(), QString("10.939501"));
    QCOMPARE(panel->cEntry()->text(), QString("0.02692846"));
    QCOMPARE(panel->kEntry()->value(), kStartupK);
    QCOMPARE(panel->cEntry()->value(), kStartupC);

    // Every double is shown so that it reads back exactly, as a plain decimal where that is short.
    for (double v : {0.1, 1e-5, -2.5e-7, 11.263612345678901, 123456789.125, 1e300, -0.0}) {
        double back = 0.0;
        const QByteArray text = numberText(v).toLatin1();
        QVERIFY(parseWholeDouble(text.constData(), back));
        QCOMPARE(back, v);
    }
    QCOMPARE(numberText(1e-5), QString("0.00001"));
    QCOMPARE(numberText(-0.0), QString("0"));
    QCOMPARE(numberText(1e300), QString("1e+300"));
}

void LinearPanelsTest::entriesTakeOnlyFiniteNumbersInCNotation() {
    Fixture f;
    auto panel = f.open<StraightLinePanel>();
    NumberEntry* k = panel->kEntry();
    QCOMPARE(validity(k, "0.02692846"), QValidator::Acceptable);
    QCOMPARE(validity(k, "-1.5e-3"), QValidator::Acceptable);
    QCOMPARE(validity(k, "-"), QValidator::Intermediate);
    QCOMPARE(validity(k, "2e"), QValidator::Intermediate);
    QCOMPARE(validity(k, "1e999"), QValidator::Intermediate);  // too large: never a value
    QCOMPARE(validity(k, "1,5"), QValidator::Invalid);
    QCOMPARE(validity(k, "inf"), QValidator::Invalid);
    QCOMPARE(validity(k, "nan"), QValidator::Invalid);
    QCOMPARE(validity(k, "abc"), QValidator::Invalid);

    // Refused characters never reach the text; an incomplete number keeps the last value and is
    // put back when the entry loses the focus.
    type(k, "12,5");
    QCOMPARE(k->text(), QString("125"));
    QCOMPARE(k->value(), 125.0);
    type(k, "1e999");
    QCOMPARE(k->value(), 1e99);  // "1e99" was the last whole number on the way
    QApplication::setActiveWindow(panel.get());
    k->setFocus();
    QVERIFY(k->hasFocus());
    type(k, "-");
    QCOMPARE(k->value(), 1e99);
    panel->cEntry()->setFocus();
    QCOMPARE(k->text(), QString("1e+99"));
    k->setFocus();
    type(k, "0.5");
    panel->cEntry()->setFocus();
    QCOMPARE(k->text(), QString("0.5"));  // a whole number stays as typed
}

void LinearPanelsTest::okSetsKAndC() {
    Fixture f;
    auto panel = f.open<StraightLinePanel>();
    type(panel->kEntry(), "11.2636");
    type(panel->cEntry(), "0.0266883");
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QCOMPARE(panel->result(), int(QDialog::Accepted));
    QCOMPARE(f.session.calibration.header.K, 11.2636);
    QCOMPARE(f.session.calibration.header.C, 0.0266883);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);  // the points are not touched
    QCOMPARE(f.changes, 1);
    QVERIFY(!test::fileExists(f.defaultFile()));
}

void LinearPanelsTest::cancelAndCloseKeepKAndC() {
    for (bool byClose : {false, true}) {
        Fixture f;
        auto panel = f.open<StraightLinePanel>();
        type(panel->kEntry(), "1");
        type(panel->cEntry(), "2");
        if (byClose)
            panel->close();
        else
            QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
        QCOMPARE(panel->result(), int(QDialog::Rejected));
        QCOMPARE(f.session.calibration.header.K, kStartupK);
        QCOMPARE(f.session.calibration.header.C, kStartupC);
        QCOMPARE(f.changes, 0);
    }
}

void LinearPanelsTest::straightLineSaveAsDefault() {
    Fixture f;
    auto panel = f.open<StraightLinePanel>();
    type(panel->kEntry(), "9.5");
    type(panel->cEntry(), "0.031");

    f.platform.confirmAnswers = {false};
    panel->saveAsDefaultAction()->trigger();
    const auto confirms = f.platform.callsOf("confirm");
    QCOMPARE(confirms.size(), std::size_t(1));
    QCOMPARE(confirms[0].title, std::string("Warning"));
    QCOMPARE(confirms[0].text, std::string("This will over write the spline option in the default "
                                           "file.\nDo you still whant to do this?"));
    QCOMPARE(f.session.calibration.header.K, kStartupK);
    QVERIFY(!test::fileExists(f.defaultFile()));
    QCOMPARE(f.changes, 0);

    f.platform.confirmAnswers = {true};
    panel->saveAsDefaultAction()->trigger();
    QVERIFY(panel->isVisible());
    QCOMPARE(f.session.calibration.header.K, 9.5);
    QCOMPARE(f.session.calibration.header.C, 0.031);
    const std::string saved = optionFileText(f.session.calibration, LineEnd::CrLf);
    QCOMPARE(test::readFile(f.defaultFile()), saved);
    QCOMPARE(f.changes, 1);

    // Cancel keeps what was saved.
    type(panel->kEntry(), "3");
    QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
    QCOMPARE(f.session.calibration.header.K, 9.5);
    QCOMPARE(f.session.calibration.header.C, 0.031);
    QCOMPARE(test::readFile(f.defaultFile()), saved);
}

void LinearPanelsTest::openStraightLinePanelRunsModally() {
    Fixture f;
    bool sawPanel = false;
    QTimer::singleShot(0, [&] {
        auto* panel = qobject_cast<StraightLinePanel*>(QApplication::activeModalWidget());
        QVERIFY(panel);
        sawPanel = true;
        type(panel->cEntry(), "0.025");
        QTest::keyClick(panel->cEntry(), Qt::Key_Return);  // Enter is OK here
    });
    openStraightLinePanel(nullptr, f.session, f.platform, [&] { ++f.changes; });
    QVERIFY(sawPanel);
    QCOMPARE(f.session.calibration.header.C, 0.025);
    QCOMPARE(f.changes, 1);
}

void LinearPanelsTest::listsTheCalibrationPointsWithTwoSpaces() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    QCOMPARE(itemTexts(panel->pointList()),
             QStringList({" 28.7830  -> 655.0000", " 47.3040  -> 1353.0000", " 56.1220  -> 1681.0000",
                          " 69.1320  -> 2167.0000"}));
    QCOMPARE(panel->pointList()->item(0)->text().size(), 21);
    for (int row = 0; row < 4; ++row) QCOMPARE(slotOf(panel->pointList(), row), row);
    QVERIFY(panel->okButton()->isEnabled());
}

void LinearPanelsTest::addKeepsTheEntries() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto panel = f.open<LinearPointsPanel>();
    addPoint(*panel, "28.783", "655");
    QCOMPARE(itemTexts(panel->pointList()), QStringList({" 28.7830  -> 655.0000"}));
    QCOMPARE(panel->twoThetaEntry()->value(), 28.783);
    QCOMPARE(panel->channelEntry()->value(), 655.0);
    QTest::mouseClick(panel->addButton(), Qt::LeftButton);  // the same point again
    QCOMPARE(itemTexts(panel->pointList()),
             QStringList({" 28.7830  -> 655.0000", " 28.7830  -> 655.0000"}));
}

void LinearPanelsTest::dimmingTable() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto panel = f.open<LinearPointsPanel>();
    // 0 points
    QVERIFY(!panel->okButton()->isEnabled());
    QVERIFY(!panel->removeButton()->isEnabled());
    QVERIFY(!panel->removeAllButton()->isEnabled());
    QVERIFY(panel->addButton()->isEnabled());
    QVERIFY(panel->saveAsDefaultAction()->isEnabled());  // never dimmed here
    // 1 point
    addPoint(*panel, "20", "500");
    QVERIFY(!panel->okButton()->isEnabled());
    QVERIFY(panel->removeButton()->isEnabled());
    QVERIFY(panel->removeAllButton()->isEnabled());
    // 2 points
    addPoint(*panel, "30", "900");
    QVERIFY(panel->okButton()->isEnabled());
    QVERIFY(panel->addButton()->isEnabled());
    selectAndRemove(*panel, 0);
    QVERIFY(!panel->okButton()->isEnabled());
}

void LinearPanelsTest::addDimmedAtExactly511() {
    Fixture f;
    setCalibrationPoints(f.session, 509);
    auto panel = f.open<LinearPointsPanel>();
    QVERIFY(panel->addButton()->isEnabled());
    addPoint(*panel, "1", "1");  // 510
    QVERIFY(panel->addButton()->isEnabled());
    addPoint(*panel, "2", "2");  // 511
    QCOMPARE(panel->pointList()->count(), 511);
    QVERIFY(!panel->addButton()->isEnabled());
    selectAndRemove(*panel, 0);
    QVERIFY(panel->addButton()->isEnabled());

    // 512 points can only come from the calibration (or a standard): Add is enabled again, and
    // finds no free slot.
    Fixture full;
    setCalibrationPoints(full.session, 600);
    auto fullPanel = full.open<LinearPointsPanel>();
    QCOMPARE(fullPanel->pointList()->count(), 512);
    QVERIFY(fullPanel->addButton()->isEnabled());
    addPoint(*fullPanel, "3", "3");
    QCOMPARE(fullPanel->pointList()->count(), 512);
    QVERIFY(fullPanel->addButton()->isEnabled());

    Fixture opened511;
    setCalibrationPoints(opened511.session, 511);
    QVERIFY(!opened511.open<LinearPointsPanel>()->addButton()->isEnabled());
}

void LinearPanelsTest::removeAllOnManyPoints() {
    Fixture f;
    setCalibrationPoints(f.session, 300);
    auto panel = f.open<LinearPointsPanel>();
    QCOMPARE(panel->pointList()->count(), 300);
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    QCOMPARE(panel->pointList()->count(), 0);
    QVERIFY(!panel->okButton()->isEnabled());
    QVERIFY(!panel->removeButton()->isEnabled());
    QVERIFY(!panel->removeAllButton()->isEnabled());
    QVERIFY(panel->addButton()->isEnabled());
    addPoint(*panel, "5", "6");
    QCOMPARE(slotOf(panel->pointList(), 0), 0);
}

void LinearPanelsTest::freedSlotsAreReusedAndOkFitsInListOrder() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto panel = f.open<LinearPointsPanel>();
    addPoint(*panel, "28.783", "655");
    addPoint(*panel, "47.304", "1353");
    addPoint(*panel, "56.122", "1681");
    selectAndRemove(*panel, 0);
    addPoint(*panel, "69.132", "2167");
    QCOMPARE(slotOf(panel->pointList(), 2), 0);
    QCOMPARE(panel->pointList()->item(2)->text(), QString(" 69.1320  -> 2167.0000"));
    addPoint(*panel, "28.783", "655");
    QCOMPARE(slotOf(panel->pointList(), 3), 3);

    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QCOMPARE(panel->result(), int(QDialog::Accepted));
    QCOMPARE(f.changes, 1);
    const auto& points = f.session.calibration.calPoints;
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
    const double listOrder[] = {1353, 1681, 2167, 655};
    for (int i = 0; i < 4; ++i) QCOMPARE(points[static_cast<std::size_t>(i)].channel, listOrder[i]);
    // The start-up points, in any order, give the known line.
    QVERIFY(std::abs(f.session.calibration.header.C - 0.0266883) < 5e-8);
    QVERIFY(std::abs(f.session.calibration.header.K - 11.2636) < 5e-5);
}

void LinearPanelsTest::refusedFitKeepsThePanelOpen() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto panel = f.open<LinearPointsPanel>();
    addPoint(*panel, "20", "500");
    addPoint(*panel, "30", "500");
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QCOMPARE(f.platform.messages().size(), std::size_t(1));
    QCOMPARE(f.platform.messages()[0].title, std::string("Not Possible"));
    QCOMPARE(f.session.calibration.header.C, kStartupC);
    QCOMPARE(f.session.calibration.header.K, kStartupK);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 0);
    QCOMPARE(f.changes, 0);

    // Corrected, it goes through.
    addPoint(*panel, "40", "900");
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    QCOMPARE(f.session.calibration.numOfDataPoints(), 3);
    QCOMPARE(f.changes, 1);
}

void LinearPanelsTest::cancelAndCloseKeepTheCalibration() {
    for (bool byClose : {false, true}) {
        Fixture f;
        auto panel = f.open<LinearPointsPanel>();
        addPoint(*panel, "80", "2500");
        selectAndRemove(*panel, 0);
        if (byClose)
            panel->close();
        else
            QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
        QCOMPARE(panel->result(), int(QDialog::Rejected));
        QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
        QCOMPARE(f.session.calibration.calPoints[0].channel, 655.0);
        QCOMPARE(f.session.calibration.header.C, kStartupC);
        QCOMPARE(f.changes, 0);
    }
}

void LinearPanelsTest::pointsSaveAsDefaultFitsAndWritesWithoutAsking() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    selectAndRemove(*panel, 3);
    panel->saveAsDefaultAction()->trigger();
    QVERIFY(f.platform.callsOf("confirm").empty());
    QVERIFY(panel->isVisible());
    QCOMPARE(f.changes, 1);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 3);
    const std::vector<CalibrationPoint> three(std::begin(kStartupPoints), std::begin(kStartupPoints) + 3);
    double C = 0, K = 0;
    QVERIFY(fitStraightLine(three, C, K) == nullptr);
    QCOMPARE(f.session.calibration.header.C, C);
    QCOMPARE(f.session.calibration.header.K, K);
    const std::string saved = optionFileText(f.session.calibration, LineEnd::CrLf);
    QCOMPARE(test::readFile(f.defaultFile()), saved);

    // Cancel afterwards keeps the fitted line and the points, in memory and in the file.
    addPoint(*panel, "80", "2500");
    QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
    QCOMPARE(f.session.calibration.header.C, C);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 3);
    QCOMPARE(test::readFile(f.defaultFile()), saved);
    QCOMPARE(f.changes, 1);
}

void LinearPanelsTest::refusedSaveAsDefaultWritesNothing() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    addPoint(*panel, "20", "500");
    panel->saveAsDefaultAction()->trigger();
    QCOMPARE(f.platform.messages().size(), std::size_t(1));
    QCOMPARE(f.platform.messages()[0].title, std::string("Not Possible"));
    QVERIFY(!test::fileExists(f.defaultFile()));
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
    QCOMPARE(f.session.calibration.header.C, kStartupC);
    QCOMPARE(f.changes, 0);
}

void LinearPanelsTest::plotShowsTheFittedLine() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    CalibrationPlot* plot = panel->plot();
    QCOMPARE(plot->pointSeries()->count(), 4);
    QCOMPARE(plot->lineSeries()->name(), QString("Least-squares line"));
    const std::vector<CalibrationPoint> startup(std::begin(kStartupPoints), std::end(kStartupPoints));
    double C = 0, K = 0;
    fitStraightLine(startup, C, K);
    QCOMPARE(plot->lineSeries()->at(1), QPointF(2167, C * 2167 + K));
    QCOMPARE(plot->residualSeries()->at(0).y(), 28.783 - (C * 655 + K));

    // Without a line to fit, the line in force is shown.
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    addPoint(*panel, "20", "500");
    QCOMPARE(plot->lineSeries()->name(), QString("Straight line in force"));
    QCOMPARE(plot->lineSeries()->at(0), QPointF(499, kStartupC * 499 + kStartupK));
}

QTEST_MAIN(LinearPanelsTest)
#include "LinearPanelsTest.moc"
