// The window that ends a batch in which several files failed, or that was cancelled: how many
// files were written where, and each skipped file with its message, in a list that can be read
// and copied at leisure.
#pragma once

#include <QDialog>

#include "ui/BatchFeedback.h"

class QLabel;
class QPlainTextEdit;

namespace s2t::ui {

class BatchSummaryDialog : public QDialog {
    Q_OBJECT
public:
    BatchSummaryDialog(const BatchSummary& summary, QWidget* parent = nullptr);

    QString headline() const;
    QString details() const;

private:
    QLabel* headline_;
    QPlainTextEdit* details_;
};

}  // namespace s2t::ui
