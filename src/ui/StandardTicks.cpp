#include "ui/StandardTicks.h"

#include <algorithm>

#include "standards/StandardsImport.h"

namespace s2t::ui {

std::vector<double> standardReflections(const std::string& path, std::string& why) {
    std::vector<double> reflections;
    QuietPlatform quiet;
    if (!readStandard(path, reflections, quiet) || reflections.empty())
        why = quiet.messages.empty() ? std::string("the standard has no reflections") : quiet.messages.front();
    return reflections;
}

namespace {

// The abscissa at which the piecewise straight line through (angle[i], x[i]) reaches target.
std::vector<double> interpolatedPositions(const std::vector<double>& reflections, const std::vector<double>& angle,
                                          const std::vector<double>& x) {
    std::vector<double> positions;
    for (double target : reflections) {
        for (std::size_t i = 0; i + 1 < angle.size(); ++i) {
            const double a = angle[i], b = angle[i + 1];
            if ((target < std::min(a, b)) || (target > std::max(a, b))) continue;
            const double t = a == b ? 0.0 : (target - a) / (b - a);
            positions.push_back(x[i] + t * (x[i + 1] - x[i]));
            break;
        }
    }
    return positions;
}

}  // namespace

std::vector<double> reflectionPositions(const std::vector<double>& reflections, const PreviewData& data) {
    if (data.x.empty()) return {};
    if (!data.againstChannel) {
        const auto [low, high] = std::minmax_element(data.x.begin(), data.x.end());
        std::vector<double> positions;
        for (double reflection : reflections)
            if (reflection >= *low && reflection <= *high) positions.push_back(reflection);
        return positions;
    }
    if (data.twoTheta.size() != data.x.size()) return {};
    return interpolatedPositions(reflections, data.twoTheta, data.x);
}

}  // namespace s2t::ui
