#include "standards/StandardPairs.h"

#include <algorithm>

#include "platform/NumberText.h"

namespace s2t {
namespace {

std::string pairText(const StandardPair& pair, std::string_view arrow) {
    std::string text;
    appendFixed(text, pair.twoTheta, 4, 8);
    text.append(arrow);
    appendFixed(text, pair.channel, 4, 8);
    return text;
}

}  // namespace

std::vector<StandardPair> pairStandards(const StandardsImport& data, std::size_t limit) {
    const std::size_t count = std::min({data.standard.size(), data.observed.size(), limit});
    std::vector<StandardPair> pairs;
    pairs.reserve(count);
    for (std::size_t k = 0; k < count; ++k) pairs.push_back({data.standard[k], data.observed[k]});
    return pairs;
}

std::string pairListText(const StandardPair& pair) { return pairText(pair, " -> "); }

std::string pointListText(const StandardPair& pair) { return pairText(pair, "  -> "); }

}  // namespace s2t
