// What "Find Peaks in Scan..." found: the scan with its peaks and the standard's reflections where
// the fitted line puts them, the matched pairs with a tick each (untick to drop a pair), and the
// residuals of the line refitted through the ticked pairs. OK hands the ticked pairs over.
//
// The radiation the doublets are fitted for (K-alpha1 and K-alpha2 wavelengths, or no K-alpha2,
// and the height ratio) stands in entries above the pairs; "Find Again" fits the scan again for
// what they say and keeps it, for this dialog and the next, while the program runs.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "peaks/AutoCalibration.h"
#include "platform/Platform.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScatterSeries;

namespace s2t::ui {

class NumberEntry;

class ScanPeaksDialog : public QDialog {
    Q_OBJECT
public:
    // Fits the scan for the radiation given; nothing after a message when nothing was matched.
    using PeakFinder = std::function<std::optional<peaks::AutoCalibrationResult>(const peaks::Radiation&)>;

    // result: what finder gave for radiation, which the dialog shows and updates on "Find Again".
    ScanPeaksDialog(QWidget* parent, const QString& scanName, const std::vector<double>& counts,
                    const peaks::AutoCalibrationResult& result, peaks::Radiation& radiation, Platform& platform,
                    PeakFinder finder);

    QListWidget* pairsList() const { return pairs_; }
    QPushButton* okButton() const { return ok_; }
    QLabel* lineLabel() const { return line_; }
    NumberEntry* wavelengthEntry() const { return wavelength_; }
    QCheckBox* alpha2Box() const { return alpha2Box_; }
    NumberEntry* alpha2Entry() const { return alpha2_; }
    NumberEntry* ratioEntry() const { return ratio_; }
    QPushButton* findAgainButton() const { return findAgain_; }
    // The ticked pairs, ascending in 2-theta.
    std::vector<peaks::MatchedReflection> tickedPairs() const;

    // "Find Again": the entries' radiation, refused with a message when it is not one; kept and
    // fitted otherwise. True when a new result is shown.
    bool findAgain();

private:
    void showResult(const peaks::AutoCalibrationResult& result);
    void showRadiation(const peaks::Radiation& radiation);
    void refit();

    peaks::AutoCalibrationResult result_;
    peaks::Radiation& radiation_;
    Platform& platform_;
    PeakFinder finder_;
    std::vector<double> counts_;
    double highest_ = 1.0;
    QScatterSeries* found_;
    QScatterSeries* predicted_;
    QListWidget* pairs_;
    QLabel* line_;
    QScatterSeries* residuals_;
    NumberEntry* wavelength_;
    QCheckBox* alpha2Box_;
    NumberEntry* alpha2_;
    NumberEntry* ratio_;
    QPushButton* findAgain_;
    QPushButton* ok_;
};

}  // namespace s2t::ui
