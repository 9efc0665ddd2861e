// A batch on several threads. Workers read, resample and format the files into memory, a few
// files ahead; the caller's thread plays each file's record back in list order, and is the only
// one that touches the platform and the file system: every question, message, progress value and
// output name is what a run one file after the other gives.
#pragma once

#include "engine/BatchPlan.h"
#include "engine/BatchSpline.h"
#include "engine/Session.h"

namespace s2t {

// Converts every file of the plan with up to `jobs` workers. False (with nothing done) when no
// worker thread could be started.
bool runParallelBatch(Session& session, Platform& platform, ProgressDisplay& progress, const BatchPlan& plan,
                      BatchSpline& calibrationSpline, int jobs, BatchResult& result);

}  // namespace s2t
