// The range panel: the lower and upper 2-theta limit of the output. Edits
// session.settings.theRangeOptions; a minimum above the maximum is refused.
#pragma once

#include "engine/Session.h"
#include "platform/Platform.h"
#include "ui/OptionPanel.h"
#include "ui/OptionPanelRules.h"

namespace s2t::ui {

class NumberEntry;

class RangePanel : public OptionPanel {
    Q_OBJECT
public:
    RangePanel(Session& session, Platform& platform, QWidget* parent);

    NumberEntry* minEntry() const { return minEntry_; }
    NumberEntry* maxEntry() const { return maxEntry_; }

protected:
    bool store() override;

private:
    Session& session_;
    Platform& platform_;
    NumberEntry* minEntry_;
    NumberEntry* maxEntry_;
};

}  // namespace s2t::ui
