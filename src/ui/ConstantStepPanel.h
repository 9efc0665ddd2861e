// The constant-step panel: the 2-theta step of the output grid, the interpolation that resamples
// onto it (linear or cubic spline) and whether counts keep their fractions. Edits
// session.settings.constStepOpts.
#pragma once

#include "engine/Session.h"
#include "platform/Platform.h"
#include "ui/OptionPanel.h"
#include "ui/OptionPanelRules.h"

class QCheckBox;
class QRadioButton;

namespace s2t::ui {

class NumberEntry;

class ConstantStepPanel : public OptionPanel {
    Q_OBJECT
public:
    ConstantStepPanel(Session& session, Platform& platform, QWidget* parent);

    NumberEntry* stepEntry() const { return stepEntry_; }
    QRadioButton* linearButton() const { return linearButton_; }
    QRadioButton* splineButton() const { return splineButton_; }
    QCheckBox* fractionalCountsBox() const { return fractionalBox_; }

    ConstStepEntries entries() const;

protected:
    bool store() override;

private:
    void showEntries(const ConstStepEntries& entries);
    void interpolationClicked(bool splineButton, bool onAfterClick);

    Session& session_;
    Platform& platform_;
    NumberEntry* stepEntry_;
    QRadioButton* linearButton_;
    QRadioButton* splineButton_;
    QCheckBox* fractionalBox_;
};

}  // namespace s2t::ui
