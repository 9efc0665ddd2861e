#include "ui/OptionPanelChain.h"

#include <QDialog>
#include <QWidget>

#include "ui/ConstantStepPanel.h"
#include "ui/CpiPanel.h"
#include "ui/OptionPanelRules.h"
#include "ui/RangePanel.h"

namespace s2t::ui {

OptionPanelChain::OptionPanelChain(Session& session, Platform& platform, QWidget* mainPanel,
                                   std::function<void()> runBatch)
        : QObject(mainPanel),
          session_(session),
          platform_(platform),
          mainPanel_(mainPanel),
          runBatch_(std::move(runBatch)) {}

void OptionPanelChain::displayOptionPanels(int set) {
    switch (nextOptionStep(set)) {
    case OptionStep::ConstantStep:
        showPanel(new ConstantStepPanel(session_, platform_, mainPanel_), set, OPT_CONSTANT_STEP);
        return;
    case OptionStep::Range: showPanel(new RangePanel(session_, platform_, mainPanel_), set, OPT_RANGE); return;
    case OptionStep::Cpi: showPanel(new CpiPanel(session_, mainPanel_), set, OPT_CPI); return;
    case OptionStep::Convert:
        if (runBatch_) runBatch_();
        showMainPanel();
        return;
    case OptionStep::ShowMain: showMainPanel(); return;
    }
}

void OptionPanelChain::showPanel(QDialog* panel, int set, int bit) {
    current_ = panel;
    // finished comes last when a panel closes, so the chain goes on once the panel is done with
    // itself; the batch may run from here, with dialogs of its own. The panel goes only after
    // that step has returned: a dialog's event loop inside the step must not delete it while
    // its own close is still on the stack.
    connect(panel, &QDialog::finished, this, [this, panel, set, bit](int result) {
        current_ = nullptr;
        if (result == QDialog::Accepted)
            displayOptionPanels(removeOption(set, bit));
        else
            showMainPanel();
        panel->deleteLater();
    });
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void OptionPanelChain::showMainPanel() {
    if (mainPanel_) mainPanel_->show();
    emit finished();
}

}  // namespace s2t::ui
