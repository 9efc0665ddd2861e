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

class StandardsWindow : public QDialog {
    Q_OBJECT
public:
    StandardsWindow(QWidget* parent, Session& session, Platform& platform);

    QListWidget* standardsList() const { return standards_; }
    QListWidget* pairsList() const { return pairs_; }
    QPushButton* peaksButton() const { return peaks_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // The pairs a points panel takes on OK: at most as many as it holds.
    std::vector<StandardPair> acceptedPairs() const;

    // The peaks button: asks for an XFit peak file and pairs it with the selected standard.
    void importPeaks();
    // Pairs the XFit peak file at xfitPath with the selected standard, as after the file choice.
    void importPeaksFrom(const std::string& xfitPath);

private:
    void showPairs();
    void applyDimming();

    Session& session_;
    Platform& platform_;
    StandardsImport data_;
    QListWidget* standards_;
    QListWidget* pairs_;
    QPushButton* peaks_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace s2t::ui
