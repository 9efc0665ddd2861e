// The main panel's Help menu: a short guide to a day's work, and About with the version.
#pragma once

#include <QString>

class QMainWindow;

namespace s2t::ui {

// Adds the Help menu to the window's menu bar (Guide on F1, About).
void addHelpMenu(QMainWindow* window);

QString guideText();
QString aboutText();

}  // namespace s2t::ui
