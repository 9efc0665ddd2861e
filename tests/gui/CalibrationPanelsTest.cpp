// The straight-line panel, the linear points panel and the spline panel, driven as a user would,
// without a screen. The slot table and the dimming rules themselves are tested in the core; here
// each panel must show them, commit what it lists, and leave the calibration alone on Cancel.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScatterSeries>
#include <QSet>
#include <QValueAxis>
#include <QtTest>
#include <iterator>
#include <memory>

#include "calibration/LinearFit.h"
#include "calibration/Spline.h"
#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "support/ModalDialogs.h"
#include "support/PanelDriving.h"
#include "ui/CalibrationPanels.h"
#include "ui/CalibrationPlot.h"
#include "ui/LinearPointsPanel.h"
#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"
#include "ui/SplinePanel.h"
#include "ui/StraightLinePanel.h"

using namespace s2t;
using namespace s2t::ui;
using namespace s2t::test;

namespace {

using Fixture = PanelSession;

void setCalibrationPoints(Session& session, int count) {
    session.calibration.calPoints.clear();
    for (int i = 0; i < count; ++i) session.calibration.calPoints.push_back({100.0 + i, 10.0 + 0.02 * i, 0});
}

// The controls of a points panel that are enabled, in a fixed order.
QString enabledControls(const PointsPanel& panel) {
    QStringList on;
    if (panel.addButton()->isEnabled()) on << "add";
    if (panel.removeButton()->isEnabled()) on << "remove";
    if (panel.removeAllButton()->isEnabled()) on << "removeAll";
    if (panel.okButton()->isEnabled()) on << "ok";
    if (panel.saveAsDefaultAction()->isEnabled()) on << "save";
    if (panel.calibrationMenu()->menuAction()->isEnabled()) on << "menu";
    return on.join(' ');
}

// The start-up points without the last n, and the line fitted through them.
std::vector<CalibrationPoint> startupPoints(std::size_t dropped, double& C, double& K) {
    std::vector<CalibrationPoint> points(std::begin(kStartupPoints), std::end(kStartupPoints) - dropped);
    if (fitStraightLine(points, C, K)) qFatal("the start-up points give no line");
    return points;
}

// Edits each kind of panel, leaves it by Cancel and by its close box, and checks that nothing of
// the calibration changed.
template <class Panel>
void checkLeavingKeepsTheCalibration(const std::function<void(Panel&)>& edit) {
    for (bool byClose : {false, true}) {
        Fixture f;
        auto panel = f.open<Panel>();
        edit(*panel);
        if (byClose)
            panel->close();
        else
            QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
        QVERIFY(!panel->isVisible());
        QCOMPARE(panel->result(), int(QDialog::Rejected));
        QCOMPARE(f.session.calibration.header.K, kStartupK);
        QCOMPARE(f.session.calibration.header.C, kStartupC);
        QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
        QCOMPARE(f.session.calibration.calPoints[0].channel, 655.0);
        QCOMPARE(f.changes, 0);
    }
}

// Save as default on a panel that asks first. Declined, nothing changes; accepted, the edited
// values go into memory and over any Default.pre there, and the panel stays open; a Cancel
// afterwards undoes none of it. edited tells whether the calibration holds the edit.
template <class Panel>
void checkSaveAsDefaultAsks(const std::string& question, const std::function<void(Panel&)>& edit,
                            const std::function<bool(const CalibrationState&)>& edited) {
    Fixture f;
    auto panel = f.open<Panel>();
    edit(*panel);
    f.platform.confirmAnswers = {false};
    panel->saveAsDefaultAction()->trigger();
    const auto confirms = f.platform.callsOf("confirm");
    QCOMPARE(confirms.size(), std::size_t(1));
    QCOMPARE(confirms[0].title, std::string(messages::kWarning));
    QCOMPARE(confirms[0].text, question);
    QVERIFY(!edited(f.session.calibration));
    QVERIFY(!test::fileExists(f.defaultFile()));
    QCOMPARE(f.changes, 0);

    test::writeFile(f.defaultFile(), "old contents\n");
    f.platform.confirmAnswers = {true};
    panel->saveAsDefaultAction()->trigger();
    QVERIFY(panel->isVisible());
    QVERIFY(edited(f.session.calibration));
    const std::string saved = optionFileText(f.session.calibration, LineEnd::CrLf);
    QCOMPARE(test::readFile(f.defaultFile()), saved);
    QCOMPARE(f.changes, 1);
    QVERIFY(f.platform.messages().empty());

    QTest::mouseClick(panel->cancelButton(), Qt::LeftButton);
    QVERIFY(edited(f.session.calibration));
    QCOMPARE(test::readFile(f.defaultFile()), saved);
    QCOMPARE(f.changes, 1);
}

}  // namespace

class CalibrationPanelsTest : public QObject {
    Q_OBJECT
private slots:
    void straightLineEntries();
    void straightLineOkAndItsModalRun();
    void cancelAndCloseKeepTheCalibration();
    void saveAsDefaultAsksFirstOnTheStraightLineAndSplinePanels();

    void linearPointsListAndAdd();
    void linearPointsDimming();
    void linearPointsOkFitsInListOrder();
    void linearPointsRefuseAFitWithoutALine();
    void linearPointsSaveAsDefaultFitsAndWritesWithoutAsking();
    void linearPointsPlot();

    void splineListAndAdd();
    void splineDimming();
    void splineOkCommitsInSlotOrderWithItsSecondDerivatives();
    void splinePlot();
    void splineRefusesPointsThatShareAChannel();
    void removeAllPassesThroughEveryCount();
    void plotLabelsTellTheirTicksApart();
    void thePanelsShowTheFittedLineAndItsResidual();
};

void CalibrationPanelsTest::straightLineEntries() {
    Fixture f;
    auto panel = f.open<StraightLinePanel>();
    NumberEntry* k = panel->kEntry();
    QCOMPARE(k->text(), QString("10.939501"));
    QCOMPARE(panel->cEntry()->text(), QString("0.02692846"));
    QCOMPARE(k->value(), kStartupK);

    // Every double is shown so that it reads back exactly, as a plain decimal where that is short.
    for (double v : {0.1, 1e-5, -2.5e-7, 11.263612345678901, 123456789.125, 1e300, -0.0}) {
        double back = 0.0;
        QVERIFY(parseWholeDouble(numberText(v).toLatin1().constData(), back));
        QCOMPARE(back, v);
    }
    QCOMPARE(numberText(1e-5), QString("0.00001"));
    QCOMPARE(numberText(-0.0), QString("0"));
    QCOMPARE(numberText(1e300), QString("1e+300"));

    // Only finite numbers in C notation; a number too large is never a value.
    const struct {
        QString text;
        QValidator::State state;
    } cases[] = {
        {"0.02692846", QValidator::Acceptable}, {"-1.5e-3", QValidator::Acceptable}, {"-", QValidator::Intermediate},
        {"2e", QValidator::Intermediate},       {"1e999", QValidator::Intermediate}, {"1,5", QValidator::Invalid},
        {"inf", QValidator::Invalid},           {"nan", QValidator::Invalid},        {"abc", QValidator::Invalid}};
    for (const auto& c : cases) {
        QString text = c.text;
        int pos = 0;
        QVERIFY2(k->validator()->validate(text, pos) == c.state, qPrintable(c.text));
    }

    // Refused characters never reach the text; an incomplete number keeps the last value and is
    // put back when the entry loses the focus.
    typeInto(k, "12,5");
    QCOMPARE(k->text(), QString("125"));
    typeInto(k, "1e999");
    QCOMPARE(k->value(), 1e99);  // "1e99" was the last whole number on the way
    QApplication::setActiveWindow(panel.get());
    k->setFocus();
    QVERIFY(k->hasFocus());
    typeInto(k, "-");
    QCOMPARE(k->value(), 1e99);
    panel->cEntry()->setFocus();
    QCOMPARE(k->text(), QString("1e+99"));
    k->setFocus();
    typeInto(k, "0.5");
    panel->cEntry()->setFocus();
    QCOMPARE(k->text(), QString("0.5"));  // a whole number stays as typed
}

void CalibrationPanelsTest::straightLineOkAndItsModalRun() {
    Fixture f;
    bool sawPanel = false;
    whenModal<StraightLinePanel>([&](StraightLinePanel* panel) {
        sawPanel = true;
        typeInto(panel->kEntry(), "11.2636");
        typeInto(panel->cEntry(), "0.0266883");
        QTest::keyClick(panel->cEntry(), Qt::Key_Return);  // Enter is OK here
    });
    openStraightLinePanel(nullptr, f.session, f.platform, f.countChanges());
    QVERIFY(sawPanel);
    QCOMPARE(f.session.calibration.header.K, 11.2636);
    QCOMPARE(f.session.calibration.header.C, 0.0266883);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);  // the points are not touched
    QCOMPARE(f.changes, 1);
    QVERIFY(!test::fileExists(f.defaultFile()));
}

void CalibrationPanelsTest::cancelAndCloseKeepTheCalibration() {
    checkLeavingKeepsTheCalibration<StraightLinePanel>([](StraightLinePanel& panel) {
        typeInto(panel.kEntry(), "1");
        typeInto(panel.cEntry(), "2");
    });
    checkLeavingKeepsTheCalibration<LinearPointsPanel>([](LinearPointsPanel& panel) {
        addPoint(panel, "80", "2500");
        selectAndRemove(panel, 0);
    });
    checkLeavingKeepsTheCalibration<SplinePanel>([](SplinePanel& panel) {
        QTest::mouseClick(panel.removeAllButton(), Qt::LeftButton);
        for (const char* v : {"1", "3", "5"}) addPoint(panel, v, v);
    });
}

void CalibrationPanelsTest::saveAsDefaultAsksFirstOnTheStraightLineAndSplinePanels() {
    checkSaveAsDefaultAsks<StraightLinePanel>(
        messages::kOverwriteDefaultSpline,
        [](StraightLinePanel& panel) {
            typeInto(panel.kEntry(), "9.5");
            typeInto(panel.cEntry(), "0.031");
        },
        [](const CalibrationState& c) { return c.header.K == 9.5 && c.header.C == 0.031; });
    checkSaveAsDefaultAsks<SplinePanel>(
        messages::kOverwriteDefaultOptions,
        [](SplinePanel& panel) {
            selectAndRemove(panel, 3);
            addPoint(panel, "62.5", "1900");
        },
        [](const CalibrationState& c) { return c.numOfDataPoints() == 4 && c.calPoints[3].channel == 1900.0; });
}

void CalibrationPanelsTest::linearPointsListAndAdd() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    QCOMPARE(panel->windowTitle(), QString(messages::kLinearPointsTitle));
    QCOMPARE(itemTexts(panel->pointList()), QStringList({" 28.7830  -> 655.0000", " 47.3040  -> 1353.0000",
                                                         " 56.1220  -> 1681.0000", " 69.1320  -> 2167.0000"}));
    for (int row = 0; row < 4; ++row) QCOMPARE(slotOf(panel->pointList(), row), row);

    // Add keeps the entries, so the same point can go in twice.
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    addPoint(*panel, "28.783", "655");
    QCOMPARE(panel->twoThetaEntry()->value(), 28.783);
    QCOMPARE(panel->channelEntry()->value(), 655.0);
    QTest::mouseClick(panel->addButton(), Qt::LeftButton);
    QCOMPARE(itemTexts(panel->pointList()), QStringList({" 28.7830  -> 655.0000", " 28.7830  -> 655.0000"}));
    QCOMPARE(slotOf(panel->pointList(), 0), 0);
}

void CalibrationPanelsTest::linearPointsDimming() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto panel = f.open<LinearPointsPanel>();
    QCOMPARE(enabledControls(*panel), QString("add save menu"));  // save as default never dimmed
    addPoint(*panel, "20", "500");
    QCOMPARE(enabledControls(*panel), QString("add remove removeAll save menu"));
    addPoint(*panel, "30", "900");
    QCOMPARE(enabledControls(*panel), QString("add remove removeAll ok save menu"));

    // Add is dimmed at exactly 511 points, and back once one goes.
    Fixture many;
    setCalibrationPoints(many.session, 510);
    panel = many.open<LinearPointsPanel>();
    addPoint(*panel, "2", "2");
    QCOMPARE(enabledControls(*panel), QString("remove removeAll ok save menu"));
    selectAndRemove(*panel, 0);
    QVERIFY(panel->addButton()->isEnabled());

    // 512 points can only come from the calibration (or a standard): Add is enabled again, and
    // finds no free slot.
    Fixture full;
    setCalibrationPoints(full.session, 600);
    panel = full.open<LinearPointsPanel>();
    QCOMPARE(panel->pointList()->count(), 512);
    QVERIFY(panel->addButton()->isEnabled());
    addPoint(*panel, "3", "3");
    QCOMPARE(panel->pointList()->count(), 512);
}

void CalibrationPanelsTest::linearPointsOkFitsInListOrder() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto panel = f.open<LinearPointsPanel>();
    addPoint(*panel, "28.783", "655");
    addPoint(*panel, "47.304", "1353");
    addPoint(*panel, "56.122", "1681");
    selectAndRemove(*panel, 0);
    addPoint(*panel, "69.132", "2167");  // takes slot 0, listed last
    addPoint(*panel, "28.783", "655");
    QCOMPARE(slotOf(panel->pointList(), 2), 0);

    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QCOMPARE(panel->result(), int(QDialog::Accepted));
    QCOMPARE(f.changes, 1);
    const auto& points = f.session.calibration.calPoints;
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
    const double listOrder[] = {1353, 1681, 2167, 655};
    for (std::size_t i = 0; i < 4; ++i) QCOMPARE(points[i].channel, listOrder[i]);
    // The start-up points, in any order, give the known line.
    QVERIFY(std::abs(f.session.calibration.header.C - 0.0266883) < 5e-8);
    QVERIFY(std::abs(f.session.calibration.header.K - 11.2636) < 5e-5);
}

void CalibrationPanelsTest::linearPointsRefuseAFitWithoutALine() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    addPoint(*panel, "20", "500");
    addPoint(*panel, "30", "500");  // one channel: no line
    panel->saveAsDefaultAction()->trigger();
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QVERIFY(panel->isVisible());
    const auto messages = f.platform.messages();
    QCOMPARE(messages.size(), std::size_t(2));
    for (const auto& message : messages) QCOMPARE(message.title, std::string(messages::kNotPossible));
    QVERIFY(!test::fileExists(f.defaultFile()));
    QCOMPARE(f.session.calibration.header.C, kStartupC);
    QCOMPARE(f.session.calibration.header.K, kStartupK);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
    QCOMPARE(f.changes, 0);

    // Corrected, it goes through.
    addPoint(*panel, "40", "900");
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    QCOMPARE(f.session.calibration.numOfDataPoints(), 3);
    QCOMPARE(f.changes, 1);
}

void CalibrationPanelsTest::linearPointsSaveAsDefaultFitsAndWritesWithoutAsking() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    selectAndRemove(*panel, 3);
    panel->saveAsDefaultAction()->trigger();
    QVERIFY(f.platform.callsOf("confirm").empty());
    QVERIFY(panel->isVisible());
    QCOMPARE(f.changes, 1);
    double C = 0, K = 0;
    startupPoints(1, C, K);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 3);
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

void CalibrationPanelsTest::linearPointsPlot() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    CalibrationPlot* plot = panel->plot();
    QCOMPARE(plot->pointSeries()->count(), 4);
    QCOMPARE(plot->lineSeries()->name(), QString("Least-squares line"));
    double C = 0, K = 0;
    startupPoints(0, C, K);
    QCOMPARE(plot->lineSeries()->at(1), QPointF(2167, C * 2167 + K));
    QCOMPARE(plot->residualSeries()->at(0).y(), 28.783 - (C * 655 + K));

    // Without a line to fit, the line in force is shown.
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    addPoint(*panel, "20", "500");
    QCOMPARE(plot->lineSeries()->name(), QString("Straight line in force"));
    QCOMPARE(plot->lineSeries()->at(0), QPointF(499, kStartupC * 499 + kStartupK));
}

void CalibrationPanelsTest::splineListAndAdd() {
    Fixture f;
    auto panel = f.open<SplinePanel>();
    QCOMPARE(panel->windowTitle(), QString(messages::kSplineTitle));
    // At opening one space; typed points get two.
    QCOMPARE(itemTexts(panel->pointList()), QStringList({" 28.7830 -> 655.0000", " 47.3040 -> 1353.0000",
                                                         " 56.1220 -> 1681.0000", " 69.1320 -> 2167.0000"}));
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    addPoint(*panel, "47.304", "1353");
    QCOMPARE(itemTexts(panel->pointList()), QStringList({" 47.3040  -> 1353.0000"}));
    // Add clears the entries.
    QCOMPARE(panel->twoThetaEntry()->value(), 0.0);
    QCOMPARE(panel->channelEntry()->value(), 0.0);
    QCOMPARE(panel->twoThetaEntry()->text(), QString("0"));

    // Zero, negative and repeated values are listed as they are.
    addPoint(*panel, "-1.5", "0");
    addPoint(*panel, "-1.5", "0");
    QCOMPARE(panel->pointList()->count(), 3);
    QCOMPARE(panel->pointList()->item(2)->text(), QString(" -1.5000  ->   0.0000"));

    // Enter in an entry adds as well, and never closes the panel.
    typeInto(panel->twoThetaEntry(), "28.783");
    typeInto(panel->channelEntry(), "655");
    QTest::keyClick(panel->channelEntry(), Qt::Key_Return);
    QCOMPARE(panel->pointList()->count(), 4);
    QVERIFY(panel->isVisible());
    QCOMPARE(f.changes, 0);
}

void CalibrationPanelsTest::splineDimming() {
    Fixture f;
    auto panel = f.open<SplinePanel>();
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    QCOMPARE(enabledControls(*panel), QString("add"));
    addPoint(*panel, "10", "100");
    addPoint(*panel, "20", "200");
    QCOMPARE(enabledControls(*panel), QString("add remove removeAll"));
    addPoint(*panel, "30", "300");
    QCOMPARE(enabledControls(*panel), QString("add remove removeAll ok save menu"));
    selectAndRemove(*panel, 1);
    QCOMPARE(enabledControls(*panel), QString("add remove removeAll"));
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);  // a dimmed OK does nothing
    QVERIFY(panel->isVisible());

    // The table holds 512: the points beyond it are not listed, and Add stops there.
    Fixture full;
    setCalibrationPoints(full.session, 600);
    panel = full.open<SplinePanel>();
    QCOMPARE(panel->pointList()->count(), 512);
    QCOMPARE(panel->pointList()->item(511)->text(), QString(" 20.2200 -> 611.0000"));
    QVERIFY(!panel->addButton()->isEnabled());
    selectAndRemove(*panel, 0);
    QVERIFY(panel->addButton()->isEnabled());
    addPoint(*panel, "1", "2");
    QCOMPARE(slotOf(panel->pointList(), 511), 0);
    QVERIFY(!panel->addButton()->isEnabled());
}

void CalibrationPanelsTest::splineOkCommitsInSlotOrderWithItsSecondDerivatives() {
    Fixture f;
    f.session.calibration.calPoints.clear();
    auto panel = f.open<SplinePanel>();
    addPoint(*panel, "10", "100");
    addPoint(*panel, "20", "200");
    addPoint(*panel, "30", "300");
    selectAndRemove(*panel, 0);
    addPoint(*panel, "31", "50");  // takes slot 0, listed last
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QCOMPARE(panel->result(), int(QDialog::Accepted));
    QCOMPARE(f.changes, 1);
    const auto& points = f.session.calibration.calPoints;
    QCOMPARE(f.session.calibration.numOfDataPoints(), 3);
    QCOMPARE(points[0].channel, 50.0);
    QCOMPARE(points[1].channel, 200.0);
    QCOMPARE(points[2].channel, 300.0);

    // OK installs the points with the second derivatives of their spline, and leaves the line.
    Fixture g;
    panel = g.open<SplinePanel>();
    addPoint(*panel, "40.5", "1050");
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    std::vector<CalibrationPoint> expected(std::begin(kStartupPoints), std::end(kStartupPoints));
    expected.push_back({1050, 40.5, 0});
    spline(std::span<CalibrationPoint>(expected), true);
    const auto& installed = g.session.calibration.calPoints;
    QCOMPARE(installed.size(), expected.size());
    for (std::size_t i = 0; i < installed.size(); ++i) {
        QCOMPARE(installed[i].channel, expected[i].channel);
        QCOMPARE(installed[i].secondDeriv, expected[i].secondDeriv);
    }
    QCOMPARE(installed[1].channel, 1050.0);
    QCOMPARE(g.session.calibration.header.C, kStartupC);
    QCOMPARE(g.session.calibration.header.K, kStartupK);
    QVERIFY(!test::fileExists(g.defaultFile()));
}

void CalibrationPanelsTest::splinePlot() {
    Fixture f;
    auto panel = f.open<SplinePanel>();
    CalibrationPlot* plot = panel->plot();
    QCOMPARE(plot->pointSeries()->count(), 4);
    QCOMPARE(plot->residualSeries()->count(), 4);
    QVERIFY(plot->splineSeries()->count() > 100);
    // The line is C x channel + K at the lowest and highest channel.
    QCOMPARE(plot->lineSeries()->count(), 2);
    QCOMPARE(plot->lineSeries()->at(0), QPointF(655, kStartupC * 655 + kStartupK));
    QCOMPARE(plot->residualSeries()->at(0).y(), 28.783 - (kStartupC * 655 + kStartupK));
    QCOMPARE(plot->calibrationChart()->axes(Qt::Horizontal).at(0)->titleText(), QString("Channel"));

    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    QCOMPARE(plot->splineSeries()->count(), 0);
    addPoint(*panel, "30", "700");
    QCOMPARE(plot->pointSeries()->count(), 1);
    QCOMPARE(plot->splineSeries()->count(), 0);  // one channel: no spline
    addPoint(*panel, "40", "1100");
    QVERIFY(plot->splineSeries()->count() > 0);
    QCOMPARE(plot->pointSeries()->at(1), QPointF(1100, 40));
}

QTEST_MAIN(CalibrationPanelsTest)
#include "CalibrationPanelsTest.moc"

void CalibrationPanelsTest::splineRefusesPointsThatShareAChannel() {
    // OK and save as default both refuse, say why, and change nothing; the panel stays open.
    Fixture f;
    auto panel = f.open<SplinePanel>();
    addPoint(*panel, "47.5", "1353");  // the channel of the second start-up point
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    f.platform.confirmAnswers = {true};
    panel->saveAsDefaultAction()->trigger();
    QVERIFY(panel->isVisible());
    const auto messages = f.platform.messages();
    QCOMPARE(messages.size(), std::size_t(2));
    for (const auto& message : messages) {
        QCOMPARE(message.title, std::string(messages::kNotPossible));
        QCOMPARE(message.text, messages::channelListedTwice("1353.0000"));
    }
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
    QVERIFY(!test::fileExists(f.defaultFile()));
    QCOMPARE(f.changes, 0);

    // Without the second point on that channel, OK goes through.
    selectAndRemove(*panel, 4);
    QTest::mouseClick(panel->okButton(), Qt::LeftButton);
    QCOMPARE(panel->result(), int(QDialog::Accepted));
    QCOMPARE(f.changes, 1);
}

void CalibrationPanelsTest::removeAllPassesThroughEveryCount() {
    // Remove All on 511 points passes through 510, where Add comes back; on the empty list Add
    // then stays available.
    Fixture f;
    setCalibrationPoints(f.session, 511);
    auto panel = f.open<LinearPointsPanel>();
    QVERIFY(!panel->addButton()->isEnabled());
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    QCOMPARE(panel->pointList()->count(), 0);
    QCOMPARE(enabledControls(*panel), QString("add save menu"));
    addPoint(*panel, "20", "500");
    QCOMPARE(panel->pointList()->count(), 1);

    Fixture g;
    setCalibrationPoints(g.session, 300);
    auto spline = g.open<SplinePanel>();
    QTest::mouseClick(spline->removeAllButton(), Qt::LeftButton);
    QCOMPARE(enabledControls(*spline), QString("add"));
}

namespace {

// The labels an axis shows: its format applied at every tick.
QStringList tickLabels(const QValueAxis* axis) {
    QStringList labels;
    const int ticks = axis->tickCount();
    for (int i = 0; i < ticks; ++i) {
        const double value = axis->min() + (axis->max() - axis->min()) * i / (ticks - 1);
        labels << QString::asprintf(axis->labelFormat().toLatin1().constData(), value);
    }
    return labels;
}

}  // namespace

void CalibrationPanelsTest::plotLabelsTellTheirTicksApart() {
    // Points close in 2-theta with tiny residuals, and points far apart with large ones: every
    // axis shows distinct labels, and the residual axis no row of zeros.
    for (const auto& points :
         {std::vector<CalibrationPoint>{{1000, 28.4401, 0}, {1001, 28.4402, 0}, {1002, 28.4404, 0}},
          std::vector<CalibrationPoint>{{10, 10.0, 0}, {3000, 90.0, 0}, {6000, 120.0, 0}}}) {
        Fixture f;
        f.session.calibration.calPoints = points;
        auto panel = f.open<LinearPointsPanel>();
        for (QChart* chart : {panel->plot()->calibrationChart(), panel->plot()->residualChart()})
            for (QAbstractAxis* abstract : chart->axes()) {
                const QStringList labels = tickLabels(static_cast<QValueAxis*>(abstract));
                QVERIFY2(labels.size() >= 2, qPrintable(labels.join(", ")));
                QCOMPARE(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
            }
    }
}

void CalibrationPanelsTest::thePanelsShowTheFittedLineAndItsResidual() {
    Fixture f;
    auto panel = f.open<LinearPointsPanel>();
    double C = 0, K = 0;
    const auto points = startupPoints(0, C, K);
    double sum = 0.0;
    for (const CalibrationPoint& p : points) sum += std::pow(p.twoTheta - (C * p.channel + K), 2);
    const QString expected = QString("Fitted line: K = %1, C = %2\nRMS residual %3 degrees (4 points)")
                                 .arg(numberText(K), numberText(C))
                                 .arg(std::sqrt(sum / 4), 0, 'g', 3);
    QCOMPARE(panel->fitSummary(), expected);
    QCOMPARE(panel->findChild<QLabel*>("fitSummary")->text(), expected);
    QTest::mouseClick(panel->removeAllButton(), Qt::LeftButton);
    addPoint(*panel, "20", "500");
    QCOMPARE(panel->findChild<QLabel*>("fitSummary")->text(),
             QString("No fitted line: ") + messages::kLineNeedsTwoPoints);
    // Two points: the line passes through both.
    addPoint(*panel, "30", "1000");
    QVERIFY(panel->fitSummary().startsWith("Fitted line: K = 10"));
    QVERIFY(panel->fitSummary().endsWith("degrees (2 points)"));

    Fixture g;
    auto spline = g.open<SplinePanel>();
    QCOMPARE(spline->fitSummary(), expected);
}
