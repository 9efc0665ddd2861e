// The one table of input formats: per format the kind the file list keeps, the kind the main
// panel's rules see, its name and label, the extensions it goes by, how its content is recognised,
// whether it holds channels or angles, and its reader. The batch, the preview, `info` and the file
// list all ask this table; adding a format is one reader file and one row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "calibration/CalibrationState.h"
#include "engine/ConversionRecords.h"
#include "platform/Platform.h"

namespace s2t {

// Reads one file into a scan (see ScanReaders.h): 0 on success, -1 after its own message.
using ReaderFunction = int (*)(const ConversionRequest& request, Scan& scan, const CalibrationState& calibration,
                               ConversionSettings& settings, Platform& platform);

// Whether the file at path holds this format, judged by its first bytes (false when it cannot be read).
using ContentCheck = bool (*)(const std::string& path);

// What a file's abscissa is: channels, mapped by the calibration, or the file's own angles, which
// a conversion with the file's angles keeps (and the other modes map like channels, as with GUFI).
enum class InputAxis { Channels, Angles };

struct InputFormatInfo {
    std::int32_t fileType;        // the kind the file list keeps with each file
    std::int32_t panelKind;       // the kind the main panel's rules and its "same kind" test see
    std::string_view name;        // short name (--input-format)
    std::string_view label;       // what `info` and the file list call it
    std::string_view extensions;  // the extensions it goes by, space-separated, no dots, any case
    ContentCheck recognises;      // null: the extension alone decides
    InputAxis axis;
    ReaderFunction reader;
};

std::span<const InputFormatInfo> inputFormats();

// The format the file list keeps as fileType; the unknown kind (read as a channel file) for a
// value outside the table.
const InputFormatInfo& findInputFormat(std::int32_t fileType);

// The format with that short name (letter case ignored); null when there is none.
const InputFormatInfo* findInputFormatByName(std::string_view name);

// The format of the file at path: a format that the extension alone decides; otherwise the first
// format whose extension fits and whose content check passes; otherwise the unknown kind, which
// is read as a channel file.
const InputFormatInfo& inputFormatForPath(const std::string& path);

// The short names of every format but the unknown kind, as "a, b or c" (for usage messages).
std::string inputFormatNames();

}  // namespace s2t
