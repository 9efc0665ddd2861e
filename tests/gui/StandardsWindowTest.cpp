// The standards window over the two points panels: standards listing, peak import, pairing, and
// what OK and Cancel do to the points panel that opened it. Reading and pairing the files are
// tested in the core; here the window must show them and hand its pairs over.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "support/PanelDriving.h"
#include "support/ScanBytes.h"
#include "ui/LinearPointsPanel.h"
#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"
#include "ui/ScanPeaksDialog.h"
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

int standardRow(const StandardsWindow& window, const QString& name) {
    for (int i = 0; i < window.standardsList()->count(); ++i)
        if (window.standardsList()->item(i)->text() == name) return i;
    return -1;
}

// Imports a peak file for the named standard.
void importPeaks(StandardsWindow& window, ScriptedPlatform& platform, const QString& standard,
                 const std::string& file) {
    window.standardsList()->setCurrentRow(standardRow(window, standard));
    platform.fileAnswers.push_back(file);
    QTest::mouseClick(window.peaksButton(), Qt::LeftButton);
}

}  // namespace

class StandardsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheStandardsAndAsksForAnXFitFile();
    void pairsByPositionUpToTheShorterList();
    void aFailedImportSaysWhyAndClearsThePairs();
    void okReplacesThePointsPanelsList();
    void cancelAndCloseLeaveThePointsPanelAsItWas();
    void anImportBringsAddBackToTheLinearPointsPanel();
    void findPeaksInScanPairsTheTickedReflections();
    void findPeaksForTheRadiationEnteredAndRememberIt();
    void theCalibrationOfAStandardKeepsItsNameUntilItsPointsChange();
};

void StandardsWindowTest::listsTheStandardsAndAsksForAnXFitFile() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    // Each file found goes to the top: Beta.std's standard above Alpha.std's.
    QCOMPARE(itemTexts(window.standardsList()), QStringList({"Silicon", "Corundum"}));
    QCOMPARE(window.standardsList()->item(0)->data(Qt::UserRole).toString().toStdString(),
             f.dir.file("Standards/Beta.std"));
    QVERIFY(window.peaksButton()->isEnabled());
    QVERIFY(!window.okButton()->isEnabled());

    f.platform.fileAnswers.push_back(std::nullopt);  // cancelled
    QTest::mouseClick(window.peaksButton(), Qt::LeftButton);
    QCOMPARE(f.platform.fileRequests.size(), std::size_t(1));
    const FileSelectOptions& asked = f.platform.fileRequests[0];
    QCOMPARE(asked.defaultDirectory, f.session.projectDir);
    QCOMPARE(asked.defaultFileSpec, std::string("*.txt"));
    QCOMPARE(asked.filterList, std::string("*.txt"));
    QCOMPARE(asked.title, std::string(messages::kSelectOptionFile));
    QVERIFY(asked.restrictExtension);
    QVERIFY(!asked.allowMakeDirectory);
    QCOMPARE(window.pairsList()->count(), 0);
    QVERIFY(f.platform.messages().empty());

    // Without standards, nothing can be imported.
    Fixture empty(false);
    StandardsWindow bare(nullptr, empty.session, empty.platform);
    QCOMPARE(bare.standardsList()->count(), 0);
    QVERIFY(!bare.peaksButton()->isEnabled());
    QVERIFY(!bare.okButton()->isEnabled());
}

void StandardsWindowTest::pairsByPositionUpToTheShorterList() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    // Ten reflections and seven peaks: seven pairs, k-th with k-th, in file order.
    importPeaks(window, f.platform, "Corundum", f.peaksFile());
    QCOMPARE(
        itemTexts(window.pairsList()),
        QStringList({" 25.5780 -> 655.0000", " 35.1520 -> 1040.5000", " 37.7760 -> 1130.0000", " 43.3550 -> 1353.0000",
                     " 52.5490 -> 1681.0000", " 57.4960 -> 1842.2500", " 61.2980 -> 2167.0000"}));
    QVERIFY(window.okButton()->isEnabled());

    // Another standard replaces the pairs: four reflections, four pairs.
    importPeaks(window, f.platform, "Silicon", f.peaksFile());
    QCOMPARE(window.pairsList()->count(), 4);
    QCOMPARE(window.pairsList()->item(0)->text(), QString(" 28.4430 -> 655.0000"));
    QCOMPARE(window.acceptedPairs().size(), std::size_t(4));
    QVERIFY(f.platform.messages().empty());
}

void StandardsWindowTest::aFailedImportSaysWhyAndClearsThePairs() {
    Fixture f;
    test::writeFile(f.dir.file("Standards/Delta.std"), "name= 'Nothing'\n1\n2\n");  // no data section
    test::writeFile(f.dir.file("empty.txt"), "\n");
    test::writeFile(f.dir.file("odd.txt"), "-28.44\n");
    StandardsWindow window(nullptr, f.session, f.platform);
    std::filesystem::remove(f.dir.file("Standards/Beta.std"));  // listed, then gone
    const struct {
        QString standard;
        std::string peaks, title, text;
    } cases[] = {
        {"Corundum", "missing.txt", messages::kFileError, messages::kXfitNotOpened},
        {"Silicon", "peaks.txt", messages::kFileError, messages::kStandardNotOpened},
        {"Corundum", "empty.txt", messages::kNoPoints, messages::kXfitWithoutPoints},
        {"Corundum", "odd.txt", messages::kNoPoints, messages::kXfitLayoutUnknown},
        {"Nothing", "peaks.txt", messages::kNoPoints, messages::kStandardWithoutPoints},
    };
    // After a good import, each kind of failure shows its message, leaves no pairs and dims OK.
    for (const auto& c : cases) {
        importPeaks(window, f.platform, "Corundum", f.peaksFile());
        QCOMPARE(window.pairsList()->count(), 7);
        QVERIFY(window.okButton()->isEnabled());
        const std::size_t before = f.platform.messages().size();
        importPeaks(window, f.platform, c.standard, f.dir.file(c.peaks));
        const auto messages = f.platform.messages();
        QCOMPARE(messages.size(), before + 1);
        QCOMPARE(messages.back().title, c.title);
        QCOMPARE(messages.back().text, c.text);
        QCOMPARE(window.pairsList()->count(), 0);
        QVERIFY(!window.okButton()->isEnabled());
        QVERIFY(window.acceptedPairs().empty());
    }
}

void StandardsWindowTest::okReplacesThePointsPanelsList() {
    Fixture f;
    SplinePanel spline(nullptr, f.session, f.platform, f.countChanges());
    spline.show();
    addPoint(spline, "12.5", "300");  // typed by hand: replaced as well
    QCOMPARE(spline.pointList()->count(), 5);
    spline.standardsImportAction()->trigger();  // the menu opens the window over the panel
    QPointer<StandardsWindow> window = spline.findChild<StandardsWindow*>();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->isModal());
    QCOMPARE(window->windowTitle(), QString("Standards"));
    importPeaks(*window, f.platform, "Silicon", f.peaksFile());
    QTest::mouseClick(window->okButton(), Qt::LeftButton);
    QTRY_VERIFY(window.isNull());  // discarded once closed

    QCOMPARE(itemTexts(spline.pointList()), QStringList({" 28.4430  -> 655.0000", " 47.3040  -> 1040.5000",
                                                         " 56.1220  -> 1130.0000", " 69.1320  -> 1353.0000"}));
    for (int row = 0; row < 4; ++row) QCOMPARE(slotOf(spline.pointList(), row), row);
    QVERIFY(spline.okButton()->isEnabled());
    // The calibration changes only when the panel is committed.
    QCOMPARE(f.session.calibration.calPoints[1].channel, 1353.0);
    QCOMPARE(f.changes, 0);
    QTest::mouseClick(spline.okButton(), Qt::LeftButton);
    QCOMPARE(f.session.calibration.numOfDataPoints(), 4);
    QCOMPARE(f.session.calibration.calPoints[1].channel, 1040.5);
    QCOMPARE(f.session.calibration.calPoints[1].twoTheta, 47.304);
    QCOMPARE(f.changes, 1);

    // At most 512 of 600 pairs reach a panel, and its dimming follows: the linear points panel,
    // opened with 511 points and Add dimmed, has Add again with 512.
    std::string standard = "name= 'Many'\nDATA\n";
    std::string peaks;
    for (int i = 0; i < 600; ++i) {
        standard += std::to_string(10 + i * 0.1) + "\n";
        peaks += std::to_string(100 + i) + "\n";
    }
    test::writeFile(f.dir.file("Standards/Many.std"), standard);
    test::writeFile(f.dir.file("many.txt"), peaks);
    f.session.calibration.calPoints.clear();
    for (int i = 0; i < 511; ++i) f.session.calibration.calPoints.push_back({100.0 + i, 10.0 + i, 0});
    LinearPointsPanel linear(nullptr, f.session, f.platform, {});
    linear.show();
    QVERIFY(!linear.addButton()->isEnabled());
    StandardsWindow* many = linear.importStandards();
    importPeaks(*many, f.platform, "Many", f.dir.file("many.txt"));
    QCOMPARE(many->pairsList()->count(), 600);
    QTest::mouseClick(many->okButton(), Qt::LeftButton);
    QCOMPARE(linear.pointList()->count(), 512);
    QCOMPARE(linear.pointList()->item(511)->text(), QString(" 61.1000  -> 611.0000"));
    QVERIFY(linear.addButton()->isEnabled());
    QVERIFY(linear.okButton()->isEnabled());
}

void StandardsWindowTest::cancelAndCloseLeaveThePointsPanelAsItWas() {
    for (bool byClose : {false, true}) {
        Fixture f;
        LinearPointsPanel panel(nullptr, f.session, f.platform, {});
        panel.show();
        const QStringList before = itemTexts(panel.pointList());
        StandardsWindow* window = panel.importStandards();
        importPeaks(*window, f.platform, "Silicon", f.peaksFile());
        QCOMPARE(window->pairsList()->count(), 4);
        if (byClose)
            window->close();
        else
            QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
        QCOMPARE(itemTexts(panel.pointList()), before);
        QVERIFY(panel.isVisible());
    }
}

// The list a standard brings is a new list: Add is available on it even when it holds a single
// pair, whose count alone would keep Add as the 511 points before it had left it (dimmed).
void StandardsWindowTest::anImportBringsAddBackToTheLinearPointsPanel() {
    Fixture f;
    test::writeFile(f.dir.file("Standards/One.std"), "name= 'One'\nDATA\n28.443\n");
    test::writeFile(f.dir.file("one.txt"), "655\n");
    f.session.calibration.calPoints.clear();
    for (int i = 0; i < 511; ++i) f.session.calibration.calPoints.push_back({100.0 + i, 10.0 + i, 0});
    LinearPointsPanel linear(nullptr, f.session, f.platform, {});
    linear.show();
    QVERIFY(!linear.addButton()->isEnabled());
    StandardsWindow* window = linear.importStandards();
    importPeaks(*window, f.platform, "One", f.dir.file("one.txt"));
    QCOMPARE(window->pairsList()->count(), 1);
    QTest::mouseClick(window->okButton(), Qt::LeftButton);
    QCOMPARE(itemTexts(linear.pointList()), QStringList({" 28.4430  -> 655.0000"}));
    QVERIFY(linear.addButton()->isEnabled());
    QVERIFY(!linear.okButton()->isEnabled());
}

// The silicon sample scan against a four-reflection silicon standard: the scan's peaks are found
// and matched by position, each pair can be unticked, and OK lists the ticked pairs as an import
// of their peak file would.
void StandardsWindowTest::findPeaksInScanPairsTheTickedReflections() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    window.standardsList()->setCurrentRow(standardRow(window, "Silicon"));
    QVERIFY(window.findPeaksButton()->isEnabled());
    f.platform.fileAnswers.push_back(std::string(S2T_SOURCE_DIR) + "/examples/si-standard.chn");
    QTest::mouseClick(window.findPeaksButton(), Qt::LeftButton);
    QCOMPARE(f.platform.fileRequests.back().filterList, std::string("*.chn"));
    auto* dialog = window.findChild<ScanPeaksDialog*>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->pairsList()->count(), 4);
    for (int i = 0; i < 4; ++i) QCOMPARE(dialog->pairsList()->item(i)->checkState(), Qt::Checked);
    QVERIFY(dialog->pairsList()->item(0)->text().startsWith(" 28.4430 ->   6"));
    QVERIFY(dialog->okButton()->isEnabled());
    const QString fourPairs = dialog->lineLabel()->text();
    QVERIFY(fourPairs.startsWith("K = 10.9"));

    // Two ticks fewer: no line from two pairs; one back: three pairs and their own line.
    dialog->pairsList()->item(1)->setCheckState(Qt::Unchecked);
    dialog->pairsList()->item(2)->setCheckState(Qt::Unchecked);
    QVERIFY(!dialog->okButton()->isEnabled());
    dialog->pairsList()->item(2)->setCheckState(Qt::Checked);
    QVERIFY(dialog->okButton()->isEnabled());
    QVERIFY(dialog->lineLabel()->text() != fourPairs);
    const auto ticked = dialog->tickedPairs();
    QCOMPARE(ticked.size(), std::size_t(3));
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The three pairs between the spline's two end guards, which say what they are.
    QCOMPARE(window.pairsList()->count(), 5);
    for (int guard : {0, 4}) {
        QVERIFY(window.pairsList()->item(guard)->text().endsWith("  end guard"));
        QVERIFY(!window.pairsList()->item(guard)->text().contains("+-"));
    }
    QVERIFY(window.pairsList()->item(0)->text().left(9).toDouble() < ticked[0].twoTheta);
    QVERIFY(window.pairsList()->item(4)->text().left(9).toDouble() > ticked[2].twoTheta);
    // Each pair shows its channel's uncertainty after the text an imported pair has.
    QCOMPARE(window.pairsList()->item(2)->text().toStdString(),
             pairListText({ticked[1].twoTheta, ticked[1].channel}) + "  +- " + formatFixed(ticked[1].sigmaChannel, 4));
    QCOMPARE(window.pairsList()->item(2)->text().left(9), QString(" 56.1220 "));
    QVERIFY(window.okButton()->isEnabled());
    QVERIFY(f.platform.messages().empty());

    // The points panel takes the pairs with their uncertainties; an XFit import has none.
    auto panel = f.open<SplinePanel>();
    StandardsWindow* fromPanel = panel->importStandards();
    fromPanel->standardsList()->setCurrentRow(standardRow(*fromPanel, "Silicon"));
    ScanPeaksDialog* found = fromPanel->findPeaksInScanFrom(std::string(S2T_SOURCE_DIR) + "/examples/si-standard.chn");
    QVERIFY(found);
    found->accept();
    fromPanel->okButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(panel->pointList()->count(), 6);
    QVERIFY(panel->pointList()->item(0)->text().endsWith("  end guard"));
    QVERIFY(panel->pointList()->item(5)->text().endsWith("  end guard"));
    QVERIFY(panel->pointList()->item(1)->text().startsWith(" 28.4430  -> 649.9"));
    QVERIFY(panel->pointList()->item(1)->text().contains("  +- 0.0"));
    StandardsWindow* again = panel->importStandards();
    importPeaks(*again, f.platform, "Silicon", f.peaksFile());
    QVERIFY(!again->pairsList()->item(0)->text().contains("+-"));

    // A scan without peaks: the reason, no dialog, the pairs as they were.
    test::writeFile(f.dir.file("flat.chn"), test::chnBytes(0, test::varyingCounts(4096)));
    QVERIFY(!window.findPeaksInScanFrom(f.dir.file("flat.chn")));
    QCOMPARE(f.platform.messages().size(), std::size_t(1));
    QCOMPARE(f.platform.messages()[0].title, std::string(messages::kNotPossible));
    QCOMPARE(window.pairsList()->count(), 5);
}

void StandardsWindowTest::findPeaksForTheRadiationEnteredAndRememberIt() {
    Fixture f;
    StandardsWindow window(nullptr, f.session, f.platform);
    window.standardsList()->setCurrentRow(standardRow(window, "Silicon"));
    const std::string example = std::string(S2T_SOURCE_DIR) + "/examples/si-standard.chn";
    ScanPeaksDialog* dialog = window.findPeaksInScanFrom(example);
    QVERIFY(dialog);
    // At first the Cu K-alpha doublet, as the command line's defaults.
    QCOMPARE(dialog->wavelengthEntry()->text(), QString("1.5406"));
    QVERIFY(dialog->alpha2Box()->isChecked());
    QCOMPARE(dialog->alpha2Entry()->text(), QString("1.54443"));
    QVERIFY(dialog->alpha2Entry()->isEnabled());
    QCOMPARE(dialog->ratioEntry()->text(), QString("0.5"));
    const QString doublets = dialog->lineLabel()->text();
    const std::string doubletPair = dialog->pairsList()->item(0)->text().toStdString();

    // Without K-alpha2: the entry dims, and the fit of single lines puts the pairs elsewhere.
    dialog->alpha2Box()->setChecked(false);
    QVERIFY(!dialog->alpha2Entry()->isEnabled());
    QTest::mouseClick(dialog->findAgainButton(), Qt::LeftButton);
    QVERIFY(f.platform.messages().empty());
    QCOMPARE(f.session.scanRadiation.alpha2Wavelength, 0.0);
    QVERIFY(dialog->lineLabel()->text() != doublets);
    QVERIFY(dialog->pairsList()->item(0)->text().toStdString() != doubletPair);
    QCOMPARE(dialog->pairsList()->item(0)->checkState(), Qt::Checked);

    // Entries that are no radiation: a message, nothing fitted, nothing kept.
    const QString single = dialog->lineLabel()->text();
    dialog->wavelengthEntry()->setValue(0.0);
    QVERIFY(!dialog->findAgain());
    dialog->wavelengthEntry()->setValue(1.5406);
    dialog->ratioEntry()->setValue(-0.5);
    QVERIFY(!dialog->findAgain());
    dialog->ratioEntry()->setValue(0.5);
    dialog->alpha2Box()->setChecked(true);
    dialog->alpha2Entry()->setValue(0.0);
    QVERIFY(!dialog->findAgain());
    QCOMPARE(f.platform.messages().size(), std::size_t(3));
    QCOMPARE(f.platform.messages()[0].text, std::string(messages::kAlpha1NotAbove0));
    QCOMPARE(f.platform.messages()[1].text, std::string(messages::kAlpha2RatioBelow0));
    QCOMPARE(f.platform.messages()[2].text, std::string(messages::kAlpha2NotAbove0));
    QCOMPARE(f.platform.messages()[2].title, std::string(messages::kNotPossible));
    QCOMPARE(dialog->lineLabel()->text(), single);
    QCOMPARE(f.session.scanRadiation.alpha2Wavelength, 0.0);

    // The next dialog starts from what was entered last, and fits for it.
    dialog->reject();
    ScanPeaksDialog* next = window.findPeaksInScanFrom(example);
    QVERIFY(next);
    QVERIFY(!next->alpha2Box()->isChecked());
    QVERIFY(!next->alpha2Entry()->isEnabled());
    QCOMPARE(next->alpha2Entry()->text(), QString("1.54443"));
    QCOMPARE(next->lineLabel()->text(), single);

    // A twin far from where the scan has it, five times as tall, matches nothing: the reason, and
    // the pairs stay.
    const int pairs = next->pairsList()->count();
    next->alpha2Box()->setChecked(true);
    next->alpha2Entry()->setValue(1.6);
    next->ratioEntry()->setValue(5.0);
    QVERIFY(!next->findAgain());
    QCOMPARE(f.platform.messages().size(), std::size_t(4));
    QCOMPARE(f.platform.messages()[3].title, std::string(messages::kNotPossible));
    QCOMPARE(next->pairsList()->count(), pairs);
    QCOMPARE(next->lineLabel()->text(), single);
    QCOMPARE(f.session.scanRadiation.alpha2Wavelength, 1.6);
    QCOMPARE(f.session.scanRadiation.alpha2Ratio, 5.0);
}

void StandardsWindowTest::theCalibrationOfAStandardKeepsItsNameUntilItsPointsChange() {
    Fixture f;
    auto takeOverSilicon = [&](PointsPanel& panel) {
        StandardsWindow* window = panel.importStandards();
        window->standardsList()->setCurrentRow(standardRow(*window, "Silicon"));
        ScanPeaksDialog* found = window->findPeaksInScanFrom(std::string(S2T_SOURCE_DIR) + "/examples/si-standard.chn");
        QVERIFY(found);
        found->accept();
        window->okButton()->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    auto spline = f.open<SplinePanel>();
    takeOverSilicon(*spline);
    QCOMPARE(standardNameFor(f.session.calibrationOrigin, f.session.calibration), std::string());  // not yet taken
    spline->okButton()->click();
    QCOMPARE(standardNameFor(f.session.calibrationOrigin, f.session.calibration), std::string("Silicon"));

    // Saved as the default, the name goes beside Default.pre and comes back with it at the next start.
    const std::string defaultFile = f.dir.file("Default.pre");
    auto again = f.open<SplinePanel>();
    f.platform.confirmAnswers.push_back(true);
    again->saveAsDefaultAction()->trigger();
    QVERIFY(test::fileExists(defaultFile + ".standard"));
    QCOMPARE(readCalibrationOrigin(defaultFile)->standardName, std::string("Silicon"));
    again->reject();

    // A point taken away: the calibration is no longer the standard's.
    auto edited = f.open<SplinePanel>();
    edited->pointList()->setCurrentRow(2);
    edited->removeButton()->click();
    edited->okButton()->click();
    QCOMPARE(standardNameFor(f.session.calibrationOrigin, f.session.calibration), std::string());

    // The straight line from the pairs of a peak file and the standard is the standard's too.
    auto linear = f.open<LinearPointsPanel>();
    StandardsWindow* window = linear->importStandards();
    importPeaks(*window, f.platform, "Silicon", f.peaksFile());
    window->okButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    linear->okButton()->click();
    QCOMPARE(standardNameFor(f.session.calibrationOrigin, f.session.calibration), std::string("Silicon"));
}

QTEST_MAIN(StandardsWindowTest)
#include "StandardsWindowTest.moc"
