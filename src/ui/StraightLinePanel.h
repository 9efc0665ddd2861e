// The straight-line panel: K and C of 2-theta = C x channel + K, typed in directly.
#pragma once

#include <QDialog>
#include <functional>

#include "engine/Session.h"
#include "platform/Platform.h"

class QAction;
class QPushButton;

namespace s2t::ui {

class NumberEntry;

class StraightLinePanel : public QDialog {
    Q_OBJECT
public:
    StraightLinePanel(QWidget* parent, Session& session, Platform& platform,
                      std::function<void()> onCalibrationChanged);

    NumberEntry* kEntry() const { return kEntry_; }
    NumberEntry* cEntry() const { return cEntry_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QAction* saveAsDefaultAction() const { return saveAsDefault_; }

private:
    void takeEntries();
    void saveAsDefault();

    Session& session_;
    Platform& platform_;
    std::function<void()> onCalibrationChanged_;
    NumberEntry* kEntry_;
    NumberEntry* cEntry_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QAction* saveAsDefault_;
};

}  // namespace s2t::ui
