// A scan read for Python: its points as the core's reader left them, and where it came from.
#pragma once

#include <string>

#include "engine/ConversionRecords.h"

namespace s2t::python {

struct PythonScan {
    std::string path;
    std::string kind;            // the short name of the input format that read it
    bool channelHeader = false;  // read by the channel-file reader: chnHeader holds its header
    bool gufiHeader = false;     // read by the GUFI reader: gufiHeader holds its header
    Scan scan;                   // the points of a scan with angles of its own carry them
};

}  // namespace s2t::python
