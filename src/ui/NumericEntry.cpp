#include "ui/NumericEntry.h"

#include <charconv>

#include <QLocale>

namespace s2t::ui {

NumericEntry::NumericEntry(QWidget* parent) : QDoubleSpinBox(parent) {
    setLocale(QLocale::c());
    setDecimals(8);
    setRange(-1.0e7, 1.0e7);
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setAlignment(Qt::AlignRight);
    setFixedWidth(120);
}

QString NumericEntry::textFromValue(double value) const { return shortestDecimalText(value); }

QString shortestDecimalText(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (result.ec != std::errc()) return QString::number(value, 'f', 8);
    QString shown = QString::fromLatin1(text, static_cast<int>(result.ptr - text));
    return shown == QLatin1String("-0") ? QStringLiteral("0") : shown;
}

}  // namespace s2t::ui
