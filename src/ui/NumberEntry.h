// A numeric entry for doubles that behaves the same in every locale: the point is the decimal
// separator, any finite number is accepted at full precision (K = 10.939501, C = 0.02692846), and
// text that is not (yet) a number never becomes a value: the entry keeps its last number.
#pragma once

#include <QLineEdit>
#include <QValidator>

namespace s2t::ui {

// Accepts one finite number in C notation; lets partial input ("-", "1.", "2e") stand while it
// is being typed.
class NumberValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

class NumberEntry : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberEntry(QWidget* parent = nullptr);

    // The number shown, or the last number while the text is incomplete.
    double value() const;
    void setValue(double value);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    double value_ = 0.0;
};

// The shortest text that reads back as exactly this double, in C notation.
QString numberText(double value);

}  // namespace s2t::ui
