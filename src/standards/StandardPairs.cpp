#include "standards/StandardPairs.h"

#include <algorithm>

#include "calibration/PointTable.h"

namespace s2t {

std::vector<StandardPair> pairStandards(const StandardsImport& data, std::size_t limit) {
    const std::size_t count = std::min({data.standard.size(), data.observed.size(), limit});
    std::vector<StandardPair> pairs;
    pairs.reserve(count);
    for (std::size_t k = 0; k < count; ++k) pairs.push_back({data.standard[k], data.observed[k]});
    return pairs;
}

std::string pairListText(const StandardPair& pair) {
    return pointItemText(pair.twoTheta, pair.channel, ItemSpacing::OneSpace);
}

std::string pointListText(const StandardPair& pair) {
    return pointItemText(pair.twoTheta, pair.channel, ItemSpacing::TwoSpaces);
}

}  // namespace s2t
