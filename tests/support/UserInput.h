// What a user does to the desktop program's controls, for the tests: clicks on check boxes and
// radio buttons (on the indicator, since a stretched button takes no click in the empty space
// beside its text), and typing that replaces an entry's text.
#pragma once

#include <QAbstractButton>
#include <QString>
#include <QTest>
#include <QWidget>

namespace s2t::test {

inline void clickOn(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(7, button->height() / 2));
}

inline void typeInto(QWidget* entry, const QString& text) {
    entry->setFocus();
    QTest::keyClick(entry, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(entry, Qt::Key_Delete);
    QTest::keyClicks(entry, text);
}

}  // namespace s2t::test
