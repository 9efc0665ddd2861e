// XY: '#' comment lines saying where the data came from, then "2theta count" per point.
#include "engine/AnnotatedOutput.h"
#include "engine/Writers.h"

namespace s2t {

bool writeXYFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    return writeAnnotatedColumns(request, scan, session, platform, "xy", false);
}

}  // namespace s2t
