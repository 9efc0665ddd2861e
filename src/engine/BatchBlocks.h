// Files of several blocks (the ranges of a Bruker RAW file, the scans of an XRDML file) in a batch:
// each block becomes an entry of its own, converted into an output named after the input with
// "-b1", "-b2", ... added.
#pragma once

#include <vector>

#include "engine/BatchRun.h"

namespace s2t {

// The inputs with every file that holds several blocks, and whose block is not chosen (-1),
// replaced by one entry per block. A file whose blocks cannot be counted stays one entry: its
// conversion reports why it cannot be read.
std::vector<BatchInput> expandBlocks(const std::vector<BatchInput>& inputs);

}  // namespace s2t
