// Windows that stay usable on small screens (1366x768, also at 150 % scaling): plots that would
// push buttons off the screen scroll instead, and a window opens no larger than its screen.
#pragma once

#include <QSize>

class QWidget;

namespace s2t::ui {

// The area as it is while the window gives it room, with scroll bars when it does not. Put it
// where the area would go.
QWidget* scrollableWhenSmall(QWidget* area);

// The size a window opens with: preferred, or less where the screen it opens on has less room
// (leaving some for the frame and title bar, which a window's size does not include).
QSize sizeForScreen(const QWidget* window, QSize preferred);

}  // namespace s2t::ui
