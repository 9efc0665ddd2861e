#include "engine/BatchBlocks.h"

#include <algorithm>
#include <string>

#include "engine/InputFormats.h"
#include "engine/ScanReaders.h"
#include "engine/XylibInput.h"

namespace s2t {
namespace {

// The blocks of the file; 1 for formats of one block, and for a file that cannot be read.
int blocksOf(const BatchInput& input) {
    const InputFormatInfo& format = findInputFormat(input.fileType);
    if (format.reader != readXylibFile || !xylibHoldsBlocks(format.name)) return 1;
    std::string bytes;
    if (readWholeFile(input.path, kMaxXylibInputBytes, bytes) != WholeFileStatus::Read) return 1;
    return std::max(1, countXylibBlocks(bytes, format.name));
}

}  // namespace

std::vector<BatchInput> expandBlocks(const std::vector<BatchInput>& inputs) {
    std::vector<BatchInput> entries;
    entries.reserve(inputs.size());
    for (const BatchInput& input : inputs) {
        const int blocks = input.block < 0 ? blocksOf(input) : 1;
        if (blocks == 1) {
            entries.push_back(input);
            continue;
        }
        for (int b = 0; b < blocks; ++b)
            entries.emplace_back(input.path, input.fileType, b, input.outputSuffix + "-b" + std::to_string(b + 1));
    }
    return entries;
}

}  // namespace s2t
