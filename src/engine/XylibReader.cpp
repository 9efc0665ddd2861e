// Every format that xylib reads: the file is read whole (at most kMaxXylibInputBytes), xylib parses
// the block the request names, and its abscissae become the scan's. A file of angles goes the way
// a GUFI file goes: the file's own angles kept, or mapped by the calibration like channels; a
// channel spectrum goes the way a channel file goes, its point index being the channel.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "engine/InputFormats.h"
#include "engine/ReaderMessages.h"
#include "engine/ScanMapping.h"
#include "engine/ScanReaders.h"
#include "engine/XylibInput.h"
#include "options/LineText.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

bool contains(std::string_view text, std::string_view word) {
    if (word.size() > text.size()) return false;
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at)
        if (strCmp(text.substr(at, word.size()), word) == 0) return true;
    return false;
}

std::string unquoted(std::string value) {
    while (!value.empty() && (value.back() == ' ' || value.back() == '\'' || value.back() == '"')) value.pop_back();
    std::size_t start = 0;
    while (start < value.size() && (value[start] == ' ' || value[start] == '\'' || value[start] == '"')) ++start;
    return value.substr(start);
}

// What the file's items say of the measurement. Formats name them differently (UXD "WL1",
// Bruker RAW "ALPHA1", XRDML "usedWavelength ..."); every item is kept as it stands as well.
ScanMetadata metadataOf(const XylibBlock& block) {
    ScanMetadata metadata;
    for (const auto& [key, value] : block.items) {
        const std::string text = unquoted(value);
        double number = 0.0;
        if (!metadata.wavelength &&
            (contains(key, "wavelength") || contains(key, "lambda") || strCmp(key, "WL1") == 0 ||
             strCmp(key, "ALPHA1") == 0 || strCmp(key, "ALPHA_AVERAGE") == 0) &&
            parseWholeDouble(text, number) && number > 0.0) {
            metadata.wavelength = number;
        } else if (metadata.startDateTime.empty() && contains(key, "date") && !text.empty()) {
            metadata.startDateTime = text;
        } else if (metadata.description.empty() && contains(key, "sample") && !text.empty()) {
            metadata.description = text;
        } else {
            metadata.extra.emplace_back(key, value);
        }
    }
    return metadata;
}

ReadResult unreadable(const std::string& path, std::string_view label, const std::string& reason) {
    return ReadResult::failure(messages::kError, messages::notReadableAs(path, label, reason));
}

// The abscissae's step when they follow one (to a millionth of it, as decimal text gives them), else 0.
double commonStep(const std::vector<double>& x) {
    if (x.size() < 2) return 0.0;
    const double step = (x.back() - x.front()) / static_cast<double>(x.size() - 1);
    for (std::size_t i = 1; i < x.size(); ++i)
        if (!(std::abs(x[i] - (x.front() + step * static_cast<double>(i))) <= 1e-6 * std::abs(step))) return 0.0;
    return step;
}

// Whether every abscissa is first + step x i exactly, so the scan can be mapped (and its angles
// remembered) like a GUFI file's.
bool onConstantStep(const std::vector<double>& x, double step) {
    if (step == 0.0 || x.empty()) return false;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (x[i] != x[0] + step * static_cast<double>(i)) return false;
    return true;
}

}  // namespace

ReadResult readXylibFile(const ConversionRequest& request) {
    const InputFormatInfo& format = findInputFormat(request.fileType);
    const std::string& path = request.inputFile;
    const bool ownAngles = format.axis == InputAxis::Angles;

    std::string bytes;
    switch (readWholeFile(path, kMaxXylibInputBytes, bytes)) {
    case WholeFileStatus::Unopenable: return unopenableInput(path);
    case WholeFileStatus::TooLarge:
        return unreadable(path, format.label,
                          "it is larger than " + std::to_string(kMaxXylibInputBytes >> 20) + " MiB");
    case WholeFileStatus::Read: break;
    }
    // No format xylib reads stores a channel -> 2-theta line of its own (a Canberra file's
    // calibration is in energy).
    if (request.conversion == kTrailerCalibration) return withoutStoredCalibration(path);
    XylibBlock block;
    std::string reason;
    if (!loadXylibBlock(bytes, format.name, std::max(0, request.block), block, reason))
        return unreadable(path, format.label, reason);
    bytes = std::string();

    ReadResult read;
    std::vector<ScanPoint>& points = read.scan.points;
    points.resize(block.x.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!std::isfinite(block.x[i]) || !std::isfinite(block.counts[i])) return corruptedInput(path);
        points[i].count = block.counts[i];
    }
    read.scan.ownAngles = ownAngles;
    read.scan.metadata = metadataOf(block);
    read.scan.blockCount = block.blockCount;
    if (!ownAngles) {
        // A channel spectrum: the point index is the channel, as in a channel file.
        read.abscissae = {0.0, 1.0, std::nullopt, false};
        read.startAngle = 0.0;
        read.inputStep = 1.0;
        return read;
    }
    const double first = block.x.empty() ? 0.0 : block.x.front();
    read.startAngle = first;
    read.inputStep = block.step != 0.0 ? block.step : commonStep(block.x);  // 0: the angles follow no one step
    const bool onStep = onConstantStep(block.x, block.step);
    read.abscissae = {first, onStep ? block.step : 0.0, std::move(block.x), onStep};
    return read;
}

}  // namespace s2t
