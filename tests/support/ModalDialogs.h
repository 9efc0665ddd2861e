// Answering modal dialogs in the desktop tests: the dialog runs its own event loop, so the test
// acts on it from a timer once it is up.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

namespace s2t::test {

// Acts on the next modal dialog of type Dialog once it is up.
template <class Dialog>
void whenModal(std::function<void(Dialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

}  // namespace s2t::test
