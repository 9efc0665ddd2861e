#include "engine/BatchPlan.h"

#include <algorithm>
#include <cstdio>

#include "platform/Messages.h"

namespace s2t {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The output path of one input under the chosen destination (still with the input's extension).
std::string outputPathFor(const std::string& input, const OutputDestination& destination) {
    switch (destination.kind) {
    case OutputDestination::Kind::File:
    case OutputDestination::Kind::StandardOutput: return destination.path;
    case OutputDestination::Kind::BesideInputs: return input;
    case OutputDestination::Kind::Directory: break;
    }
    // The input's last component after the directory: the text after its last '/', '\' or ':', as
    // users of both kinds of path expect. A directory that already ends in a separator gets no
    // second one. Inputs whose names end alike ("run_10:30.chn" and "run_11:30.chn" both end in
    // "30.chn") then meet at one output name; the batch never replaces an output it wrote itself,
    // so the second takes the next numbered name.
    auto cut = input.find_last_of("/\\:");
    std::string name = cut == std::string::npos ? input : input.substr(cut + 1);
    std::string path = destination.path;
    if (path.empty() || !isSeparator(path.back())) path.push_back('/');
    return path + name;
}

}  // namespace

BatchPlan::BatchPlan(const std::vector<BatchInput>& inputs, const BatchChoices& choices,
                     const OutputDestination& destination, FileSystem* files)
        : inputs_(inputs), choices_(choices), destination_(destination) {
    // The inputs as they are when the batch starts: an output that would replace one of them
    // (the same file under another name, or a link to it) is refused, whatever the user said.
    if (files) {
        std::vector<std::string> paths;
        for (const BatchInput& input : inputs_) paths.push_back(input.path);
        batchFiles_.noteInputs(paths, *files);
    }
}

std::string BatchPlan::counterText(std::size_t i) const {
    char counter[64];
    std::snprintf(counter, sizeof counter, messages::kFileCounterFormat, static_cast<int>(i) + 1,
                  static_cast<int>(size()));
    return counter;
}

ConversionRequest BatchPlan::request(std::size_t i, ProgressDisplay* progress) const {
    const BatchInput& input = inputs_[i];
    ConversionRequest request;
    request.inputFile = input.path;
    request.outputFile = removeExtension(outputPathFor(input.path, destination_)) + input.outputSuffix;
    request.fileType = input.fileType;
    request.block = std::max(0, input.block);
    request.conversion = choices_.conversion;
    request.options = choices_.options;
    request.outputFileType = choices_.outputFileType;
    request.batchFiles = &batchFiles_;
    // A display that shows nothing gets nothing computed for it.
    request.progressPanel = progress && progress->showsAnything() ? progress : nullptr;
    return request;
}

}  // namespace s2t
