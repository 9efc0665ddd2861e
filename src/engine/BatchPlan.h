// The files of a batch as the batch run converts them: each file's request (input, output base
// path, the batch's choices) and its counter text.
#pragma once

#include <string>
#include <vector>

#include "engine/BatchFiles.h"
#include "engine/BatchRun.h"

namespace s2t {

class BatchPlan {
public:
    // files: where the inputs are looked up, so that no output replaces one (null: not looked up).
    BatchPlan(const std::vector<BatchInput>& inputs, const BatchChoices& choices, const OutputDestination& destination,
              FileSystem* files = nullptr);

    std::size_t size() const { return inputs_.size(); }
    const std::string& inputPath(std::size_t i) const { return inputs_[i].path; }
    // "File i+1 of n".
    std::string counterText(std::size_t i) const;
    // The request of file i, with its progress shown on progress.
    ConversionRequest request(std::size_t i, ProgressDisplay* progress) const;

private:
    const std::vector<BatchInput>& inputs_;
    BatchChoices choices_;
    OutputDestination destination_;
    // The inputs as they stood and the outputs written so far: the caller's thread notes each
    // output as it completes it, through the requests.
    mutable BatchFiles batchFiles_;
};

}  // namespace s2t
