// Tick marks and label formats for the plots' value axes, chosen from the range shown so that no
// two labels read the same and a small range never reads as a row of zeros.
#pragma once

#include <QString>

class QValueAxis;

namespace s2t::ui {

// A tick interval of 1, 2 or 5 times a power of ten that divides span into about `parts` parts.
double niceInterval(double span, double parts = 8.0);

// The fewest decimals that write every multiple of interval exactly enough to tell neighbours
// apart (0.25 needs two, 5 needs none).
int decimalsFor(double interval);

// The printf format of a label with that many decimals.
QString labelFormatFor(double interval);

// Ticks at whole multiples of a nice interval over [low, high]. The interval is set while the
// axis has fixed ticks, before the range: with the previous, smaller interval still in force a
// much wider range would make the axis lay out millions of labels.
// parts: about how many intervals the axis has room for.
void setDynamicTicks(QValueAxis* axis, double low, double high, double parts = 8.0);

// After applyNiceNumbers (fixed tick count): labels with as many decimals as the tick step needs.
void fitLabelFormat(QValueAxis* axis);

}  // namespace s2t::ui
