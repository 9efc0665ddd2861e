// The standards window: pairs the reflections of a standard with the peak positions of an XFit
// peak file, by position, for a points panel to take over. The window only reads files; the
// points panel that opened it takes the pairs on OK.
#pragma once

#include <QDialog>
#include <vector>

#include "engine/Session.h"
#include "platform/Platform.h"
#include "standards/StandardPairs.h"
#include "standards/StandardsImport.h"

class QListWidget;
class QPushButton;

namespace s2t::ui {

class ScanPeaksDialog;

class StandardsWindow : public QDialog {
    Q_OBJECT
public:
    StandardsWindow(QWidget* parent, Session& session, Platform& platform);

    QListWidget* standardsList() const { return standards_; }
    QListWidget* pairsList() const { return pairs_; }
    QPushButton* peaksButton() const { return peaks_; }
    QPushButton* findPeaksButton() const { return findPeaks_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // The pairs a points panel takes on OK: at most as many as it holds.
    std::vector<StandardPair> acceptedPairs() const;
    // The name of the standard those pairs were made from; empty when there are none.
    std::string pairsStandardName() const { return pairsStandard_; }

    // The peaks button: asks for an XFit peak file and pairs it with the selected standard.
    void importPeaks();
    // Pairs the XFit peak file at xfitPath with the selected standard, as after the file choice.
    void importPeaksFrom(const std::string& xfitPath);

    // "Find Peaks in Scan...": asks for a channel file of the selected standard and shows what
    // the calibration from it finds.
    void findPeaksInScan();
    // Finds the selected standard's reflections in the scan at scanPath and opens the dialog of
    // what was found (returned; null after a message when nothing could be matched). Its OK puts
    // the ticked pairs in the pairs list as an import does.
    ScanPeaksDialog* findPeaksInScanFrom(const std::string& scanPath);

private:
    void showPairs();
    void applyDimming();

    Session& session_;
    Platform& platform_;
    StandardsImport data_;
    std::string pairsStandard_;
    QListWidget* standards_;
    QListWidget* pairs_;
    QPushButton* peaks_;
    QPushButton* findPeaks_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace s2t::ui
