// Every window of the desktop program on the room a 1366x768 screen leaves a window at 150 %
// scaling (in the logical pixels the layouts work in, below a title bar and beside a task bar):
// the window can be made that small, and its OK and Cancel buttons are whole and in view.
#include <QPushButton>
#include <QScrollArea>
#include <QtTest>

#include "platform/ScriptedPlatform.h"
#include "support/PanelDriving.h"
#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/LinearPointsPanel.h"
#include "ui/RangePanel.h"
#include "ui/ScanPeaksDialog.h"
#include "ui/SplinePanel.h"
#include "ui/StandardsWindow.h"
#include "ui/StartUp.h"
#include "ui/StraightLinePanel.h"

using namespace s2t;
using namespace s2t::ui;

namespace {

const QSize kSmallScreenRoom(910, 450);

void checkFits(QWidget& window, std::initializer_list<QPushButton*> buttons) {
    window.show();
    window.resize(kSmallScreenRoom);
    QCoreApplication::processEvents();
    const QString name = window.metaObject()->className();
    QVERIFY2(window.width() <= kSmallScreenRoom.width() && window.height() <= kSmallScreenRoom.height(),
             qPrintable(name + QString(" is at least %1x%2").arg(window.width()).arg(window.height())));
    for (QPushButton* button : buttons) {
        const QRect inWindow(button->mapTo(&window, QPoint(0, 0)), button->size());
        QVERIFY2(window.rect().contains(inWindow), qPrintable(name + ": " + button->text()));
        QVERIFY2(button->isVisible(), qPrintable(name + ": " + button->text()));
        QCOMPARE(button->visibleRegion(), QRegion(button->rect()));
    }
    // The scrolling adds no tab stop of its own.
    for (const QScrollArea* scroll : window.findChildren<QScrollArea*>()) QCOMPARE(scroll->focusPolicy(), Qt::NoFocus);
}

}  // namespace

class SmallScreenTest : public QObject {
    Q_OBJECT
private slots:
    void calibrationPanelsFit() {
        test::PanelSession s;
        LinearPointsPanel linear(nullptr, s.session, s.platform, nullptr);
        checkFits(linear, {linear.okButton()});
        SplinePanel spline(nullptr, s.session, s.platform, nullptr);
        checkFits(spline, {spline.okButton()});
        StraightLinePanel line(nullptr, s.session, s.platform, nullptr);
        checkFits(line, {line.okButton()});
    }

    void standardsWindowAndFoundPeaksFit() {
        test::TempDir home;
        Session session;
        ScriptedPlatform platform;
        QVERIFY(startSession(session, home.path(), platform));
        StandardsWindow window(nullptr, session, platform);
        checkFits(window, {window.okButton()});
        const auto silicon = window.standardsList()->findItems("Silicon", Qt::MatchExactly);
        QCOMPARE(silicon.size(), 1);
        window.standardsList()->setCurrentItem(silicon.front());
        ScanPeaksDialog* found = window.findPeaksInScanFrom(S2T_SOURCE_DIR "/examples/si-standard.chn");
        QVERIFY(found);
        checkFits(*found, {found->okButton()});
        found->reject();
    }

    void optionPanelsFit() {
        test::PanelSession s;
        ConstantStepPanel step(s.session, s.platform, nullptr);
        checkFits(step, {step.okButton(), step.cancelButton()});
        RangePanel range(s.session, s.platform, nullptr);
        checkFits(range, {range.okButton(), range.cancelButton()});
        CpiPanel cpi(s.session, nullptr);
        checkFits(cpi, {cpi.okButton(), cpi.cancelButton()});
    }
};

QTEST_MAIN(SmallScreenTest)
#include "SmallScreenTest.moc"
