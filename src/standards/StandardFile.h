// Standard files (*.std): the name of a reference sample and its reflection angles.
//
//   name= 'Silicon'        name line: first word "name" or "name=" (any case), name in quotes
//   DATA                   opens the data section (first word, any case)
//   28.4429                one reflection 2-theta per line, its first word
//   ...
//                          an empty line (or the end of the file) ends the section
//
// Every other line is ignored. A last line without a line feed is never read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "options/TextFile.h"
#include "platform/Platform.h"

namespace s2t {

// Whether line is a name line; if so, name receives the text between the first pair of single
// quotes after the key word (to the end of the line without a closing quote, empty without any
// quote). "NAME = 'Corundum'" names Corundum; "name='Corundum'" is no name line (its first word
// is "name='Corundum'").
bool getNameOfStd(std::string_view line, std::string& name);

// Reads the reflections of an open standard file (from its start) into standard, replacing what
// it held. A file without a "DATA" line empties standard, shows "No Points" / "The selected
// standard has no points." and returns false. A data section without lines gives no
// reflections, no message and true. Text that is not a number reads as 0.
bool getStandardPoints(TextFile& file, std::vector<double>& standard, Platform& platform);

}  // namespace s2t
