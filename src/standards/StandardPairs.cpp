#include "standards/StandardPairs.h"

#include "platform/NumberText.h"

#include <algorithm>

#include "calibration/PointTable.h"

namespace s2t {

std::vector<StandardPair> pairStandards(const StandardsImport& data, std::size_t limit) {
    const std::size_t count = std::min({data.standard.size(), data.observed.size(), limit});
    std::vector<StandardPair> pairs;
    pairs.reserve(count);
    const bool withSigma = data.observedSigma.size() == data.observed.size();
    for (std::size_t k = 0; k < count; ++k)
        pairs.push_back({data.standard[k], data.observed[k], withSigma ? data.observedSigma[k] : 0.0});
    if (data.endGuards.size() == 2 && count > 0 && count + 2 <= limit) {
        pairs.insert(pairs.begin(), {data.endGuards.front().twoTheta, data.endGuards.front().channel, 0.0, true});
        pairs.push_back({data.endGuards.back().twoTheta, data.endGuards.back().channel, 0.0, true});
    }
    return pairs;
}

std::string uncertaintyText(double sigmaChannel) {
    return sigmaChannel > 0.0 ? "  +- " + formatFixed(sigmaChannel, 4) : std::string();
}

std::string pairNoteText(const StandardPair& pair) {
    return pair.endGuard ? std::string("  end guard") : uncertaintyText(pair.sigmaChannel);
}

std::string pairListText(const StandardPair& pair) {
    return pointItemText(pair.twoTheta, pair.channel, ItemSpacing::OneSpace);
}

std::string pointListText(const StandardPair& pair) {
    return pointItemText(pair.twoTheta, pair.channel, ItemSpacing::TwoSpaces);
}

}  // namespace s2t
