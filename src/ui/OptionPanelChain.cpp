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
        case OptionStep::Range:
            showPanel(new RangePanel(session_, platform_, mainPanel_), set, OPT_RANGE);
            return;
        case OptionStep::Cpi:
            showPanel(new CpiPanel(session_, mainPanel_), set, OPT_CPI);
            return;
        case OptionStep::Convert:
            if (runBatch_) runBatch_();
            showMainPanel();
            return;
        case OptionStep::ShowMain:
            showMainPanel();
            return;
    }
}

void OptionPanelChain::showPanel(QDialog* panel, int set, int bit) {
    current_ = panel;
    connect(panel, &QDialog::accepted, this, [this, panel, set, bit] {
        current_ = nullptr;
        panel->deleteLater();
        displayOptionPanels(removeOption(set, bit));
    });
    connect(panel, &QDialog::rejected, this, [this, panel] {
        current_ = nullptr;
        panel->deleteLater();
        showMainPanel();
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
