// A scan read for Python: its points as the core's reader left them, and where it came from.
#pragma once

#include <string>

#include "engine/ConversionRecords.h"

namespace s2t::python {

struct PythonScan {
    std::string path;
    Scan scan;  // a GUFI scan's points carry its own angles
};

}  // namespace s2t::python
