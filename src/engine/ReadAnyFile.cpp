#include "engine/ReadAnyFile.h"

#include "engine/ScanMapping.h"
#include "engine/ScanReaders.h"
#include "platform/Messages.h"

namespace s2t {

ReadResult readAsFormat(const InputFormatInfo& format, const ConversionRequest& request,
                        const CalibrationState& calibration) {
    const bool keepAngles = format.axis == InputAxis::Angles && request.conversion == kFileAngles;
    if (!keepAngles) {
        if (auto refusal = calibrationRefusal(calibration, mapsWithStraightLine(request.conversion), request.inputFile))
            return ReadResult::failure(refusal->title, std::move(refusal->text));
    }
    ReadResult read = format.reader(request);
    if (read) mapReadScan(read, request, calibration, keepAngles);
    return read;
}

ReadResult readAnyFile(const ConversionRequest& request, const CalibrationState& calibration) {
    const InputFormatInfo& format = findInputFormat(request.fileType);
    if (request.block > 0 && format.reader != readXylibFile)
        return ReadResult::failure(
            messages::kError,
            messages::notReadableAs(request.inputFile, format.label,
                                    "it has no block " + std::to_string(request.block + 1) + " (it holds 1)"));
    return readAsFormat(format, request, calibration);
}

ReadResult readScanFile(const std::string& path, Conversion conversion, int block) {
    const InputFormatInfo& format = inputFormatForPath(path);
    ConversionRequest request;
    request.inputFile = path;
    request.fileType = format.fileType;
    request.conversion = conversion;
    request.block = block;
    CalibrationState calibration;
    calibration.installStartupValues();
    return readAsFormat(format, request, calibration);
}

}  // namespace s2t
