// XYE: as XY, with the standard uncertainty of each count as a third column.
#include "engine/AnnotatedOutput.h"
#include "engine/Writers.h"

namespace s2t {

bool writeXYEFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    return writeAnnotatedColumns(request, scan, session, platform, "xye", true);
}

}  // namespace s2t
