// The one table of input formats: per format the kind the file list keeps, the kind the main
// panel's rules see, its name and label, the extensions it goes by, how its content is recognised,
// whether it holds channels or angles, and its reader. The batch, the preview, `info` and the file
// list all ask this table (readAnyFile, ReadAnyFile.h, reads by it); adding a format is one reader
// file and one row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/ConversionRecords.h"
#include "engine/ReadResult.h"

namespace s2t {

// Decodes one file into a scan, or fails with the message that says why (see ScanReaders.h).
using ReaderFunction = ReadResult (*)(const ConversionRequest& request);

struct InputFormatInfo;

// Whether a file whose first bytes (up to kContentHeadBytes) are head holds the format.
using ContentCheck = bool (*)(const InputFormatInfo& format, std::string_view head);

inline constexpr std::size_t kContentHeadBytes = 64u << 10;

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
    bool byContentAlone;          // the check is specific enough to recognise a file under any name
    InputAxis axis;
    ReaderFunction reader;
};

std::span<const InputFormatInfo> inputFormats();

// The format the file list keeps as fileType; the unknown kind (read as a channel file) for a
// value outside the table.
const InputFormatInfo& findInputFormat(std::int32_t fileType);

// The format with that short name (letter case ignored); null when there is none.
const InputFormatInfo* findInputFormatByName(std::string_view name);

// The format of the file at path, by the first of these that holds:
// 1. a format that the extension alone decides (".chn", ".guf");
// 2. a file that begins as a channel file does (FF FF) is of the unknown kind and is read as a
//    channel file, whatever its name, as it always was;
// 3. the first format in table order whose extension fits and whose content check passes;
// 4. the first format recognisable by content alone whose check passes;
// 5. the unknown kind, read as a channel file.
const InputFormatInfo& inputFormatForPath(const std::string& path);

// The same for a file whose first bytes are head (steps 2 to 5 look at them alone).
const InputFormatInfo& inputFormatFor(std::string_view path, std::string_view head);

// The short names of every format but the unknown kind, as "a, b or c" (for usage messages).
std::string inputFormatNames();

}  // namespace s2t
