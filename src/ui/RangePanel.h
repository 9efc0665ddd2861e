// The range panel: the lower and upper 2-theta limit of the output. Edits
// session.settings.theRangeOptions; a minimum above the maximum is refused.
#pragma once

#include "engine/Session.h"
#include "platform/Platform.h"
#include "ui/OptionPanel.h"
#include "ui/OptionPanelRules.h"

namespace s2t::ui {

class NumericEntry;

class RangePanel : public OptionPanel {
    Q_OBJECT
public:
    RangePanel(Session& session, Platform& platform, QWidget* parent);

    NumericEntry* minEntry() const { return minEntry_; }
    NumericEntry* maxEntry() const { return maxEntry_; }

protected:
    bool store() override;

private:
    Session& session_;
    Platform& platform_;
    NumericEntry* minEntry_;
    NumericEntry* maxEntry_;
};

}  // namespace s2t::ui
