// A numeric entry for 64-bit values: always a number, typed and shown with a decimal point
// whatever the user's locale, and shown in its shortest form (0.02, not 0.02000000).
#pragma once

#include <QDoubleSpinBox>

namespace s2t::ui {

class NumericEntry : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit NumericEntry(QWidget* parent = nullptr);

    QString textFromValue(double value) const override;
};

// The shortest decimal text that reads back as value, in fixed notation ("1.5406", "-3", "0.02").
QString shortestDecimalText(double value);

}  // namespace s2t::ui
