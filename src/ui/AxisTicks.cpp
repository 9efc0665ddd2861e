#include "ui/AxisTicks.h"

#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace s2t::ui {

double niceInterval(double span, double parts) {
    if (!(span > 0.0) || !std::isfinite(span)) return 1.0;
    const double raw = span / parts;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * magnitude >= raw) return factor * magnitude;
    return 10.0 * magnitude;
}

int decimalsFor(double interval) {
    if (!(interval > 0.0) || !std::isfinite(interval)) return 0;
    // Twelve decimals are more than a double's tick of any range these plots show.
    for (int decimals = 0; decimals < 12; ++decimals) {
        const double scaled = interval * std::pow(10.0, decimals);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled) return decimals;
    }
    return 12;
}

QString labelFormatFor(double interval) { return QStringLiteral("%.%1f").arg(decimalsFor(interval)); }

void setDynamicTicks(QValueAxis* axis, double low, double high, double parts) {
    const double interval = niceInterval(high - low, parts);
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setTickInterval(interval);
    axis->setTickAnchor(std::ceil(low / interval) * interval);
    axis->setRange(low, high);
    axis->setLabelFormat(labelFormatFor(interval));
    axis->setTickType(QValueAxis::TicksDynamic);
}

void fitLabelFormat(QValueAxis* axis) {
    const int ticks = std::max(2, axis->tickCount());
    axis->setLabelFormat(labelFormatFor((axis->max() - axis->min()) / (ticks - 1)));
}

}  // namespace s2t::ui
