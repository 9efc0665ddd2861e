// The input readers. Each reads one file into a scan whose points carry their 2-theta (by the
// calibration and the request's conversion), shows its own message when the file cannot be read,
// and returns 0 on success, -1 on failure. On success the settings' startAngle and inputStep are
// those of the file; a failure leaves them unchanged.
#pragma once

#include "calibration/CalibrationState.h"
#include "engine/ConversionRecords.h"
#include "platform/Platform.h"

namespace s2t {

// MCA channel file: 32-byte header (signature -1, firstChannel at 28, numChannels at 30), then
// one 32-bit count per channel. The channel index (from 0) is mapped to 2-theta.
int readMCAFile(const ConversionRequest& request, Scan& scan, const CalibrationState& calibration,
                ConversionSettings& settings, Platform& platform);

// GUFI binary scan: first angle (float at 9), step (float at 13), point count (int16 at 17),
// one float count per point from 643 on. Conversion 3 keeps the file's angles; otherwise the
// angle is mapped like a channel.
int readGUFIFile(const ConversionRequest& request, Scan& scan, const CalibrationState& calibration,
                 ConversionSettings& settings, Platform& platform);

// Every format xylib reads (the request's fileType names the row of the input-format table, whose
// name is xylib's): block request.block of the file. A file of angles keeps them with conversion 3
// and maps them like channels otherwise; a channel spectrum maps its point index.
int readXylibFile(const ConversionRequest& request, Scan& scan, const CalibrationState& calibration,
                  ConversionSettings& settings, Platform& platform);

}  // namespace s2t
