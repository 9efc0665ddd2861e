// What "Find Peaks in Scan..." found: the scan with its peaks and the standard's reflections where
// the fitted line puts them, the matched pairs with a tick each (untick to drop a pair), and the
// residuals of the line refitted through the ticked pairs. OK hands the ticked pairs over.
#pragma once

#include <QDialog>
#include <vector>

#include "peaks/AutoCalibration.h"

class QLabel;
class QListWidget;
class QPushButton;
class QScatterSeries;

namespace s2t::ui {

class ScanPeaksDialog : public QDialog {
    Q_OBJECT
public:
    ScanPeaksDialog(QWidget* parent, const QString& scanName, const std::vector<double>& counts,
                    const peaks::AutoCalibrationResult& result);

    QListWidget* pairsList() const { return pairs_; }
    QPushButton* okButton() const { return ok_; }
    QLabel* lineLabel() const { return line_; }
    // The ticked pairs, ascending in 2-theta.
    std::vector<peaks::MatchedReflection> tickedPairs() const;

private:
    void refit();

    peaks::AutoCalibrationResult result_;
    QListWidget* pairs_;
    QLabel* line_;
    QScatterSeries* residuals_;
    QPushButton* ok_;
};

}  // namespace s2t::ui
