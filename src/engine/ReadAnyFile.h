// Reading one input file for a conversion: the reader of its kind (the input-format table's row),
// then its points' 2-theta by the calibration (ScanMapping.h). Nothing here shows anything; the
// result holds the scan or the messages that say why not (ReadResult.h), which the caller shows
// with showReadMessages (convertAnyFile does, for every file of a batch).
#pragma once

#include <string>

#include "calibration/CalibrationState.h"
#include "engine/ConversionRecords.h"
#include "engine/InputFormats.h"
#include "engine/ReadResult.h"

namespace s2t {

// The file of request read by format's reader, its points given their 2-theta for the request's
// conversion by calibration. A calibration that cannot map the file refuses it before it is
// opened; a scan with angles of its own keeps them under kFileAngles and needs none.
ReadResult readAsFormat(const InputFormatInfo& format, const ConversionRequest& request,
                        const CalibrationState& calibration);

// One file of a batch: readAsFormat with the format of request.fileType. Only xylib's formats know
// blocks: a later block of any other file is refused.
ReadResult readAnyFile(const ConversionRequest& request, const CalibrationState& calibration);

// The file at path read by the format its name and content give it (inputFormatForPath), with the
// built-in calibration: for looking at a file outside a batch (its counts, its header, its first
// abscissa and step). conversion and block (from 0) as in a request.
ReadResult readScanFile(const std::string& path, Conversion conversion, int block = 0);

}  // namespace s2t
