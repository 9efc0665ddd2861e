// XFit peak files: the peak positions (in channels) that the peak-fitting program found in a
// measured channel scan of a standard. Three layouts, told apart by the first line:
//   kind 0   no header: each line starts with a peak position ("655.12")
//   kind 23  a header line with the column label "Th2" at index 25; each data line holds its
//            peak position from index 23
//   kind 42  a header line with "Th2" at index 48; positions from index 42
// The data lines run to the first empty line or the end of the file; a last line without a line
// feed is never read.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "options/TextFile.h"
#include "platform/LineEnd.h"
#include "platform/Platform.h"

namespace s2t {

inline constexpr int kXFitUnrecognised = -1;

// The layout kind of an open XFit peak file: 0, 23, 42, or kXFitUnrecognised (-1).
// A first line of at most 32 characters is a plain list when its first word holds only digits,
// points and tabs (an empty first line included), so "28.44" is kind 0 while "-28.44" and
// "2.8e1" are not recognised. A longer first line is a header: "Th2" (any case) as the word from
// index 25 gives 23, else "Th2" as the word from index 48 gives 42.
int findXFitType(TextFile& file);

// Reads all peak positions of an open XFit peak file of layout kind into observed, replacing
// what it held; the header line of kinds 23 and 42 is skipped. Each position is the number that
// starts at index kind of its line (leading spaces skipped; a line too short for it gives 0).
// Returns false, with observed emptied and a "No Points" popup, when the layout is not
// recognised ("The layout of the XFit file was not recognised.") or the file has no data lines
// ("There were no points in the XFit file.").
bool readXFitFile(TextFile& file, std::vector<double>& observed, int kind, Platform& platform);

// The text of a plain XFit peak file (kind 0): one peak position per line, four decimals, each
// line ended by lineEnd. findXFitType and readXFitFile read it back as written (to the digits
// shown); positions must not be negative, since the plain layout has no room for a sign.
std::string plainPeakFileText(std::span<const double> positions, LineEnd lineEnd);

}  // namespace s2t
