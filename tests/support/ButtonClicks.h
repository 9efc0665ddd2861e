// Mouse clicks on check boxes and radio buttons for the desktop tests: on the indicator, where a
// user clicks, since a stretched button takes no click in the empty space beside its text.
#pragma once

#include <QAbstractButton>
#include <QTest>

namespace s2t::test {

inline void clickOn(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(7, button->height() / 2));
}

}  // namespace s2t::test
