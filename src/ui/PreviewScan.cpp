#include "ui/PreviewScan.h"

#include <span>

#include "calibration/Spline.h"
#include "engine/ReadAnyFile.h"

namespace s2t::ui {

namespace {

// A message as one line: the readers' texts carry line breaks for their popups.
std::string oneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

std::string previewFailureText(const std::string& reason) { return "cannot preview: " + reason; }

namespace {

// One read of the file, as the batch would read it for this conversion; false, with why on one line
// in error, when it cannot be read.
bool readForPreview(const Session& session, const std::string& path, std::int32_t fileType, Conversion conversion,
                    Scan& scan, std::string& error) {
    CalibrationState calibration = session.calibration;
    spline(std::span<CalibrationPoint>(calibration.calPoints), true);
    ConversionRequest request;
    request.inputFile = path;
    request.fileType = fileType;
    request.conversion = conversion;
    ReadResult read = readAnyFile(request, calibration);
    if (!read) {
        error = read.messages.empty() ? std::string("the file could not be read") : oneLine(read.messages.front().text);
        return false;
    }
    scan = std::move(read.scan);
    return true;
}

}  // namespace

PreviewData previewScan(const Session& session, const std::string& path, std::int32_t fileType, Conversion conversion,
                        Conversion angleConversion) {
    PreviewData data;
    const bool channels = conversion == kNoConversion;
    Scan scan;
    if (!readForPreview(session, path, fileType, conversion, scan, data.error)) return data;

    data.againstChannel = channels;
    data.description = scan.metadata.description;
    data.hasChannels = !scan.ownAngles;
    data.x.reserve(scan.points.size());
    data.counts.reserve(scan.points.size());
    // A scan with angles of its own has no channel numbers: its points go by index.
    data.firstChannel = scan.ownAngles ? 0.0 : static_cast<double>(scan.chnHeader.firstChannel());
    for (std::size_t i = 0; i < scan.points.size(); ++i) {
        data.x.push_back(channels ? data.firstChannel + static_cast<double>(i) : scan.points[i].twoTheta);
        data.counts.push_back(scan.points[i].count);
    }
    if (!channels) {
        data.twoTheta = data.x;
    } else if (angleConversion == kNoConversion) {
        data.twoThetaNote = "no conversion chosen";
    } else {
        // The same file read once more under the angles the mode buttons would give it.
        Scan angles;
        std::string why;
        if (!readForPreview(session, path, fileType, angleConversion, angles, why)) {
            data.twoThetaNote = why;
        } else if (angles.points.size() != scan.points.size()) {
            data.twoThetaNote = "the file changed";
        } else {
            data.twoTheta.reserve(angles.points.size());
            for (const ScanPoint& point : angles.points) data.twoTheta.push_back(point.twoTheta);
        }
    }
    return data;
}

}  // namespace s2t::ui
