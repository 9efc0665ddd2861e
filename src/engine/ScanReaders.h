// The input readers. Each decodes one file (request.inputFile) into a scan of counts with its
// header and metadata, says where the scan's points lie (Abscissae) and what first abscissa and
// step the file states, or fails with the message naming the file. A reader shows nothing and
// knows no calibration: readAnyFile gives the points their 2-theta and its caller shows the
// messages (see ReadResult.h).
#pragma once

#include "engine/ConversionRecords.h"
#include "engine/ReadResult.h"

namespace s2t {

// MCA channel file: 32-byte header (signature -1, firstChannel at 28, numChannels at 30), then
// one 32-bit count per channel. The points lie at their channel index, from 0.
ReadResult readMCAFile(const ConversionRequest& request);

// GUFI binary scan: first angle (float at 9), step (float at 13), point count (int16 at 17),
// one float count per point from 643 on. The points lie at the file's angles. A GUFI file
// stores no calibration: kTrailerCalibration is refused once the file is open.
ReadResult readGUFIFile(const ConversionRequest& request);

// Every format xylib reads (the request's fileType names the row of the input-format table, whose
// name is xylib's): block request.block of the file. A file of angles has its points at its
// angles, a channel spectrum at its point index. No such file stores a channel -> 2-theta line:
// kTrailerCalibration is refused once the file is read.
ReadResult readXylibFile(const ConversionRequest& request);

}  // namespace s2t
