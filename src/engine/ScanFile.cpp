#include "engine/InputFormats.h"

namespace s2t {

int readScanFile(const std::string& path, Conversion conversion, Scan& scan, ConversionSettings& settings,
                 Platform& platform, int block) {
    const InputFormatInfo& format = inputFormatForPath(path);
    ConversionRequest request;
    request.inputFile = path;
    request.fileType = format.fileType;
    request.conversion = conversion;
    request.block = block;
    CalibrationState calibration;
    calibration.installStartupValues();
    settings = ConversionSettings{};
    return format.reader(request, scan, calibration, settings, platform);
}

}  // namespace s2t
