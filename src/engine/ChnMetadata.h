// What a channel file says of its measurement besides the counts. The 32-byte header holds the
// real and live time (20 ms ticks, at 8 and 12), the start date ("DDMMMYY" and a century flag,
// '1' for the 2000s, at 16), the start time ("HHMM" at 24) and its seconds ("SS" at 6). The
// 512-byte trailer record after the counts holds its kind (-101, or -102 with a quadratic term;
// 16-bit at 0), the axis calibration (zero, slope and quadratic term, floats at 4, 8, 12), the
// peak-width calibration (at 16), and two counted strings of at most 63 characters: the detector
// description (length byte at 256) and the sample description (length byte at 320).
#pragma once

#include <cstddef>
#include <span>

#include "engine/ConversionRecords.h"

namespace s2t {

inline constexpr std::size_t kChnTrailerSize = 512;

// The metadata of a channel file from its header and the bytes after its counts (at most
// kChnTrailerSize of them; none when the file ends with its counts). Fields the file leaves
// blank or holds in a form that cannot be right stay empty; a trailer that is cut short or is
// no trailer record is named in trailerProblem and nothing of it is used.
ScanMetadata readChnMetadata(const ChnHeader& header, std::span<const unsigned char> trailer);

}  // namespace s2t
