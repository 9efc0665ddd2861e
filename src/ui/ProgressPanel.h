// The progress panel of a batch: the indicator (0 to 100, labelled "Progress", relabelled while
// the spline is computed), the input and output file, the "File %d of %d" counter, and a Cancel
// button that stops the batch once the file being written is finished. A batch runs inside one
// event-loop callback, so the panel repaints itself from its setters (never more often than
// needed) and reads the Cancel button when the batch asks between files.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include "platform/Platform.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace s2t::ui {

class ProgressPanel : public QDialog, public ProgressDisplay {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent = nullptr);

    void setLabel(std::string_view label) override;
    void setValue(double percent) override;
    void setInputFile(std::string_view path) override;
    void setOutputFile(std::string_view path) override;
    void setFileCounter(std::string_view text) override;
    bool stopRequested() override;

    QString label() const;
    int value() const;
    QString inputFile() const;
    QString outputFile() const;
    QString fileCounter() const;
    QPushButton* cancelButton() const { return cancel_; }

protected:
    // A file cannot be stopped half-way: the close box does nothing, Escape is Cancel.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Lets the window repaint; forced for once-per-file changes, else at most every 40 ms.
    void repaintNow(bool force);
    void requestStop();

    QLabel* indicatorLabel_;
    QProgressBar* indicator_;
    QLineEdit* inputField_;
    QLineEdit* outputField_;
    QLabel* counter_;
    QPushButton* cancel_;
    QElapsedTimer sinceRepaint_;
    QElapsedTimer sinceInput_;
    bool stopRequested_ = false;
};

}  // namespace s2t::ui
