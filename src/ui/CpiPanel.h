// The CPI panel: the X-ray tube's target element and the wavelength that CPI headers carry.
// Edits session.settings.CPIOpt.
#pragma once

#include "engine/Session.h"
#include "ui/OptionPanel.h"
#include "ui/OptionPanelRules.h"

class QLineEdit;

namespace s2t::ui {

class NumberEntry;

class CpiPanel : public OptionPanel {
    Q_OBJECT
public:
    CpiPanel(Session& session, QWidget* parent);

    QLineEdit* targetEntry() const { return targetEntry_; }
    NumberEntry* wavelengthEntry() const { return wavelengthEntry_; }

protected:
    bool store() override;

private:
    Session& session_;
    QLineEdit* targetEntry_;
    NumberEntry* wavelengthEntry_;
};

}  // namespace s2t::ui
