// The standards window over the two points panels: standards listing, peak import, pairing, and
// what OK and Cancel do to the points panel that opened it.
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "platform/ScriptedPlatform.h"
#include "support/PanelDriving.h"
#include "support/TempDir.h"
#include "ui/LinearPointsPanel.h"
#include "ui/NumberEntry.h"
#include "ui/SplinePanel.h"
#include "ui/StandardsWindow.h"

using namespace s2t;
using namespace s2t::ui;
using namespace s2t::test;

namespace {

const char* const kCorundum =
    "NAME = 'Corundum'\n"
    "DATA\n"
    "25.578\n35.152\n37.776\n43.355\n52.549\n57.496\n61.298\n66.519\n68.212\n76.869\n";

const char* const kSilicon =
    "name= 'Silicon'\n"
    "# comment\n"
    "DATA\n"
    "28.443\n47.304\n56.122\n69.132\n";

// Seven peaks, no header line.
const char* const kSevenPeaks = "655\n1040.5\n1130\n1353\n1681\n1842.25\n2167\n";

// A program folder with a Standards folder (two named standards and one without a name, unless
// withStandards is false) and a peak file.
struct Fixture : PanelSession {
    explicit Fixture(bool withStandards = true) {
        std::filesystem::create_directory(dir.file("Standards"));
        if (withStandards) {
            test::writeFile(dir.file("Standards/Alpha.std"), kCorundum);
            test::writeFile(dir.file("Standards/Beta.std"), kSilicon);
            test::writeFile(dir.file("Standards/Gamma.std"), "DATA\n1\n2\n");  // no name: not listed
        }
        test::writeFile(dir.file("peaks.txt"), kSevenPeaks);
    }
    std::string peaksFile() const { return dir.file("peaks.txt"); }
};

// Imports a peak file for the standard at row of the standards list.
void importPeaks(StandardsWindow& window, ScriptedPlatform& platform, int row, const std::string& file) {
    window.standardsList()->setCurrentRow(row);
    platform.fileAnswers.push_back(file);
    QTest::mouseClick(window.peaksButton(), Qt::LeftButton);
}

int standardRow(const StandardsWindow& window, const QString& name) {
    for (int i = 0; i < window.standardsList()->count(); ++i)
        if (window.standardsList()->item(i)->text() == name) return i;
    return -1;
}

}  // namespace

class StandardsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheStandardsOfTheProgramFolder();
    void withoutStandardsNothingCanBeImported();
    void peaksAsksForAnXFitFile();
    void pairsByPositionUpToTheShorterList();
    void filesThatCannotBeOpened();
    void aFailedImportClearsThePairs();
    void okReplacesTheSplinePanelsList();
    void okReplacesTheLinearPointsPanelsList();
    void cancelAndCloseLeaveThePointsPanelAsItWas();
    void atMost512PairsReachAPanel();
    void importMenuOpensTheWindowOverThePanel();
};

void StandardsWindowTest::listsTheStandardsOfTheProgramFolder() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    // Each file found goes to the top: Beta.std's standard above Alpha.std's.
    QCOMPARE(itemTexts(window.standardsList()), QStringList({"Silicon", "Corundum"}));
    QCOMPARE(window.standardsList()->item(0)->data(Qt::UserRole).toString().toStdString(),
             f.dir.file("Standards/Beta.std"));
    QVERIFY(window.peaksButton()->isEnabled());
    QVERIFY(!window.okButton()->isEnabled());
    QCOMPARE(window.pairsList()->count(), 0);
}

void StandardsWindowTest::withoutStandardsNothingCanBeImported() {
    Fixture f(false);
    StandardsWindow window(nullptr, f.session, f.platform);
    QCOMPARE(window.standardsList()->count(), 0);
    QVERIFY(!window.peaksButton()->isEnabled());
    QVERIFY(!window.okButton()->isEnabled());

    test::TempDir noFolder;  // no Standards folder at all
    f.session.projectDir = noFolder.path();
    StandardsWindow bare(nullptr, f.session, f.platform);
    QCOMPARE(bare.standardsList()->count(), 0);
    QVERIFY(!bare.peaksButton()->isEnabled());
}

void StandardsWindowTest::peaksAsksForAnXFitFile() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    f.platform.fileAnswers.push_back(std::nullopt);  // cancelled
    QTest::mouseClick(window.peaksButton(), Qt::LeftButton);
    QCOMPARE(f.platform.fileRequests.size(), std::size_t(1));
    const FileSelectOptions& asked = f.platform.fileRequests[0];
    QCOMPARE(asked.defaultDirectory, f.session.projectDir);
    QCOMPARE(asked.defaultFileSpec, std::string("*.txt"));
    QCOMPARE(asked.filterList, std::string("*.txt"));
    QCOMPARE(asked.title, std::string("Select Option File"));
    QVERIFY(!asked.restrictDirectory);
    QVERIFY(asked.restrictExtension);
    QVERIFY(asked.allowCancel);
    QVERIFY(!asked.allowMakeDirectory);
    QCOMPARE(window.pairsList()->count(), 0);
    QVERIFY(f.platform.messages().empty());
}

void StandardsWindowTest::pairsByPositionUpToTheShorterList() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    // Ten reflections and seven peaks: seven pairs, k-th with k-th, in file order.
    importPeaks(window, f.platform, standardRow(window, "Corundum"), f.peaksFile());
    QCOMPARE(itemTexts(window.pairsList()),
             QStringList({" 25.5780 -> 655.0000", " 35.1520 -> 1040.5000", " 37.7760 -> 1130.0000",
                          " 43.3550 -> 1353.0000", " 52.5490 -> 1681.0000", " 57.4960 -> 1842.2500",
                          " 61.2980 -> 2167.0000"}));
    QVERIFY(window.okButton()->isEnabled());

    // Another standard replaces the pairs: four reflections, four pairs.
    importPeaks(window, f.platform, standardRow(window, "Silicon"), f.peaksFile());
    QCOMPARE(window.pairsList()->count(), 4);
    QCOMPARE(window.pairsList()->item(0)->text(), QString(" 28.4430 -> 655.0000"));
    QCOMPARE(window.acceptedPairs().size(), std::size_t(4));
    QVERIFY(f.platform.messages().empty());
}

void StandardsWindowTest::filesThatCannotBeOpened() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    importPeaks(window, f.platform, 0, f.dir.file("missing.txt"));
    QCOMPARE(f.platform.messages().size(), std::size_t(1));
    QCOMPARE(f.platform.messages()[0].title, std::string("File Error"));
    QCOMPARE(f.platform.messages()[0].text,
             std::string("Couldn't Open Xfit File. You may have it open or it my not exist."));

    std::filesystem::remove(f.dir.file("Standards/Beta.std"));  // listed, then gone
    importPeaks(window, f.platform, standardRow(window, "Silicon"), f.peaksFile());
    QCOMPARE(f.platform.messages().size(), std::size_t(2));
    QCOMPARE(f.platform.messages()[1].title, std::string("File Error"));
    QCOMPARE(f.platform.messages()[1].text,
             std::string("Couldn't Open standered File. You may have it open or it my not exist."));
    QCOMPARE(window.pairsList()->count(), 0);
    QVERIFY(!window.okButton()->isEnabled());
}

void StandardsWindowTest::aFailedImportClearsThePairs() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    const int silicon = standardRow(window, "Silicon");
    test::writeFile(f.dir.file("empty.txt"), "\n");
    test::writeFile(f.dir.file("odd.txt"), "-28.44\n");

    // After a good import, each kind of failure leaves no pairs and OK dimmed.
    for (const std::string& bad : {f.dir.file("empty.txt"), f.dir.file("odd.txt"), f.dir.file("none.txt")}) {
        importPeaks(window, f.platform, silicon, f.peaksFile());
        QCOMPARE(window.pairsList()->count(), 4);
        QVERIFY(window.okButton()->isEnabled());
        const std::size_t before = f.platform.messages().size();
        importPeaks(window, f.platform, silicon, bad);
        QCOMPARE(f.platform.messages().size(), before + 1);
        QCOMPARE(window.pairsList()->count(), 0);
        QVERIFY(!window.okButton()->isEnabled());
        QVERIFY(window.acceptedPairs().empty());
    }
    QCOMPARE(f.platform.messages()[0].title, std::string("No Points"));
    QCOMPARE(f.platform.messages()[0].text, std::string("There were no points in the XFit file."));
    QCOMPARE(f.platform.messages()[1].title, std::string("No Points"));

    // A standard without a data section.
    test::writeFile(f.dir.file("Standards/Delta.std"), "name= 'Nothing'\n1\n2\n");
    StandardsWindow again(nullptr, f.session, f.platform);
    importPeaks(again, f.platform, standardRow(again, "Silicon"), f.peaksFile());
    QVERIFY(again.okButton()->isEnabled());
    importPeaks(again, f.platform, standardRow(again, "Nothing"), f.peaksFile());
    QCOMPARE(f.platform.messages().back().text, std::string("The selected standard has no points."));
    QCOMPARE(again.pairsList()->count(), 0);
    QVERIFY(!again.okButton()->isEnabled());
}

void StandardsWindowTest::okReplacesTheSplinePanelsList() {
    Fixture f;
    int changes = 0;
    SplinePanel panel(nullptr, f.session, f.platform, [&] { ++changes; });
    panel.show();
    panel.twoThetaEntry()->setValue(12.5);
    panel.channelEntry()->setValue(300);
    QTest::mouseClick(panel.addButton(), Qt::LeftButton);  // typed by hand: replaced as well
    QCOMPARE(panel.pointList()->count(), 5);

    QPointer<StandardsWindow> window = panel.importStandards();
    importPeaks(*window, f.platform, standardRow(*window, "Silicon"), f.peaksFile());
    QTest::mouseClick(window->okButton(), Qt::LeftButton);
    QTRY_VERIFY(window.isNull());  // discarded once closed

    QCOMPARE(itemTexts(panel.pointList()),
             QStringList({" 28.4430  -> 655.0000", " 47.3040  -> 1040.5000", " 56.1220  -> 1130.0000",
                          " 69.1320  -> 1353.0000"}));
    for (int row = 0; row < 4; ++row)
        QCOMPARE(panel.pointList()->item(row)->data(Qt::UserRole).toInt(), row);
    QVERIFY(panel.okButton()->isEnabled());
    // The calibration changes only when the panel is committed.
    QCOMPARE(f.session.calibration.calPoints[1].channel, 1353.0);
    QCOMPARE(changes, 0);
    QTest::mouseClick(panel.okButton(), Qt::LeftButton);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
    QCOMPARE(f.session.calibration.calPoints[1].channel, 1040.5);
    QCOMPARE(f.session.calibration.calPoints[1].twoTheta, 47.304);
    QCOMPARE(changes, 1);
}

void StandardsWindowTest::okReplacesTheLinearPointsPanelsList() {
    Fixture f;
    // 511 points: Add is dimmed; a single pair then leaves Add available again.
    f.session.calibration.calPoints.clear();
    for (int i = 0; i < 511; ++i) f.session.calibration.calPoints.push_back({100.0 + i, 10.0 + i, 0});
    test::writeFile(f.dir.file("one.txt"), "777\n");
    LinearPointsPanel panel(nullptr, f.session, f.platform, {});
    panel.show();
    QVERIFY(!panel.addButton()->isEnabled());

    StandardsWindow* window = panel.importStandards();
    importPeaks(*window, f.platform, standardRow(*window, "Corundum"), f.dir.file("one.txt"));
    QCOMPARE(window->pairsList()->count(), 1);
    QTest::mouseClick(window->okButton(), Qt::LeftButton);

    QCOMPARE(itemTexts(panel.pointList()), QStringList({" 25.5780  -> 777.0000"}));
    QVERIFY(panel.addButton()->isEnabled());
    QVERIFY(!panel.okButton()->isEnabled());
    QVERIFY(panel.removeButton()->isEnabled());
}

void StandardsWindowTest::cancelAndCloseLeaveThePointsPanelAsItWas() {
    for (bool byClose : {false, true}) {
        Fixture f;
        LinearPointsPanel panel(nullptr, f.session, f.platform, {});
        panel.show();
        QStringList before = itemTexts(panel.pointList());
        StandardsWindow* window = panel.importStandards();
        importPeaks(*window, f.platform, 0, f.peaksFile());
        QCOMPARE(window->pairsList()->count(), 4);
        if (byClose)
            window->close();
        else
            QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
        QCOMPARE(itemTexts(panel.pointList()), before);
        QVERIFY(panel.isVisible());
    }
}

void StandardsWindowTest::atMost512PairsReachAPanel() {
    Fixture f;
    std::string standard = "name= 'Many'\nDATA\n";
    std::string peaks;
    for (int i = 0; i < 600; ++i) {
        standard += std::to_string(10 + i * 0.1) + "\n";
        peaks += std::to_string(100 + i) + "\n";
    }
    test::writeFile(f.dir.file("Standards/Many.std"), standard);
    test::writeFile(f.dir.file("many.txt"), peaks);
    SplinePanel panel(nullptr, f.session, f.platform, {});
    panel.show();
    StandardsWindow* window = panel.importStandards();
    importPeaks(*window, f.platform, standardRow(*window, "Many"), f.dir.file("many.txt"));
    QCOMPARE(window->pairsList()->count(), 600);
    QTest::mouseClick(window->okButton(), Qt::LeftButton);
    QCOMPARE(panel.pointList()->count(), 512);
    QCOMPARE(panel.pointList()->item(511)->text(), QString(" 61.1000  -> 611.0000"));
    QVERIFY(!panel.addButton()->isEnabled());
}

void StandardsWindowTest::importMenuOpensTheWindowOverThePanel() {
    Fixture f;
    SplinePanel panel(nullptr, f.session, f.platform, {});
    panel.show();
    panel.standardsImportAction()->trigger();
    auto* window = panel.findChild<StandardsWindow*>();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->isModal());
    QCOMPARE(window->windowTitle(), QString("Standards"));
    QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
    QCOMPARE(panel.pointList()->count(), 4);
}

QTEST_MAIN(StandardsWindowTest)
#include "StandardsWindowTest.moc"
