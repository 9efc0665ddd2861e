#include "ui/NumberEntry.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>

#include "platform/NumberText.h"

namespace s2t::ui {
namespace {

// Sets value (only) when the text is one finite number.
bool parseEntry(const QString& input, double& value) {
    const QByteArray text = input.toLatin1();
    return parseWholeDouble(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), value);
}

}  // namespace

QValidator::State NumberValidator::validate(QString& input, int&) const {
    double value = 0.0;
    if (parseEntry(input, value)) return Acceptable;
    // What may still become a number as the user goes on typing.
    static const QRegularExpression partial(QStringLiteral(R"(^\s*[+-]?\d*\.?\d*([eE][+-]?\d*)?\s*$)"));
    return partial.match(input).hasMatch() ? Intermediate : Invalid;
}

NumberEntry::NumberEntry(QWidget* parent) : QLineEdit(parent) {
    setValidator(new NumberValidator(this));
    setAlignment(Qt::AlignRight);
    setValue(0.0);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { parseEntry(text, value_); });
}

double NumberEntry::value() const { return value_; }

void NumberEntry::setValue(double value) {
    value_ = value;
    setText(numberText(value));
}

void NumberEntry::focusOutEvent(QFocusEvent* event) {
    // An incomplete number shows the value it stands for again.
    if (!hasAcceptableInput()) setText(numberText(value_));
    QLineEdit::focusOutEvent(event);
}

QString numberText(double value) {
    if (value == 0.0) return QStringLiteral("0");  // -0 as well
    // Plain decimals for the numbers a calibration holds, exponents only where decimals would run
    // to many digits.
    const double size = std::abs(value);
    const auto format = size >= 1e-6 && size < 1e15 ? std::chars_format::fixed : std::chars_format::general;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

}  // namespace s2t::ui
