// The option panels shown one after the other before a batch: constant step, range and CPI, each
// only when its bit is in the set, then the batch when OPT_CONVERT is in it. OK stores the panel's
// record and goes on; Cancel or closing a panel ends the chain (records already stored stay) and
// shows the main panel again. Panels are modal but never block the caller: the chain goes on
// from the panel's OK.
#pragma once

#include <functional>

#include <QDialog>
#include <QObject>
#include <QPointer>

#include "engine/Session.h"
#include "platform/Platform.h"

class QWidget;

namespace s2t::ui {

class OptionPanelChain : public QObject {
    Q_OBJECT
public:
    // mainPanel: the parent of the panels, shown again when the chain ends. runBatch: the batch
    // at the end of a chain with OPT_CONVERT.
    OptionPanelChain(Session& session, Platform& platform, QWidget* mainPanel, std::function<void()> runBatch);

    // Shows the first panel of the set, or runs the batch, or shows the main panel.
    void displayOptionPanels(int set);

    // The panel on screen; null between panels and after the chain.
    QDialog* currentPanel() const { return current_; }

signals:
    // The chain has ended: cancelled, or its last step (batch or main panel) is done.
    void finished();

private:
    void showPanel(QDialog* panel, int set, int bit);
    void showMainPanel();

    Session& session_;
    Platform& platform_;
    QWidget* mainPanel_;
    std::function<void()> runBatch_;
    QPointer<QDialog> current_;
};

}  // namespace s2t::ui
