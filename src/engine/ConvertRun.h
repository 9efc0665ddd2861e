// A checked conversion request carried out: the calibration loaded, the coefficients set over it,
// the output folder made, and the batch run. The command line and the Python module run their
// conversions through here, so that both write the same files with the same messages.
#pragma once

#include <cstdio>
#include <memory>

#include "engine/BatchRun.h"
#include "engine/ConvertPlan.h"
#include "options/CalibrationSource.h"
#include "platform/FileSystem.h"

namespace s2t {

struct ConvertRunResult {
    bool prepared = false;  // false: the calibration or the output folder failed (reported)
    BatchResult batch;
    int messagesShown = 0;  // messages written to `errors`, warnings included

    // Whether every input became an output (a file of several blocks gives one output per block).
    bool everyFileConverted(const ConvertPlan& plan) const {
        return prepared && batch.skipped == 0 && !batch.cancelled &&
               batch.converted >= static_cast<int>(plan.inputs.size());
    }
};

// Runs plan with the command line's platform: messages go to `errors` as "TITLE: text", questions
// are answered by the plan's policy. fileSystem: where the batch creates its outputs (null: the real one; the program
// folder's Default.pre is always written to the real one).
ConvertRunResult runConvertPlan(const ConvertPlan& plan, const CalibrationSource& source, std::FILE* errors,
                                std::shared_ptr<FileSystem> fileSystem = nullptr);

}  // namespace s2t
