#include "ui/SmallScreens.h"

#include <QScreen>
#include <QScrollArea>
#include <QWidget>

namespace s2t::ui {

QWidget* scrollableWhenSmall(QWidget* area) {
    auto* scroll = new QScrollArea(area->parentWidget());
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(area);
    // No tab stop of its own: the keys reach the area's controls as before, and the area scrolls
    // to the one that takes the focus.
    scroll->setFocusPolicy(Qt::NoFocus);
    return scroll;
}

QSize sizeForScreen(const QWidget* window, QSize preferred) {
    if (const QScreen* screen = window->screen()) return preferred.boundedTo(screen->availableSize() - QSize(16, 48));
    return preferred;
}

}  // namespace s2t::ui
