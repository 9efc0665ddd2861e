// The bridge to xylib, the field's library for reading diffraction and spectrum files: the bytes of
// a file read with a bound, xylib's content checks, and one block of a file as abscissae, counts
// and the file's own items. Nothing of xylib's types or exceptions leaves this bridge.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace s2t {

// Files above this size are refused before xylib sees them: xylib holds a whole file, and every
// value of it as a double, in memory at once.
inline constexpr std::size_t kMaxXylibInputBytes = 64u << 20;

enum class WholeFileStatus { Read, Unopenable, TooLarge };

// The bytes of the file at path, at most limit of them.
WholeFileStatus readWholeFile(const std::string& path, std::size_t limit, std::string& bytes);

// Whether xylib's check for the format (by its xylib name) takes these first bytes of a file. A
// check that throws counts as no, and a text format never takes bytes that hold a NUL.
bool xylibRecognises(std::string_view formatName, std::string_view head);

// Whether files of the format may hold several blocks.
bool xylibHoldsBlocks(std::string_view formatName);

struct XylibBlock {
    std::vector<double> x;       // the abscissae (column 1; the point index when there is one column)
    std::vector<double> counts;  // column 2 (column 1 when there is one column)
    double step = 0.0;           // the abscissa step when xylib knows it to be constant, else 0
    int blockCount = 0;          // blocks in the file
    // The file's items, then the block's, as (name, value) in xylib's order.
    std::vector<std::pair<std::string, std::string>> items;
};

// Reads block `block` (from 0) of bytes in the format. False with reason set (xylib's words, or
// ours for a block that is missing or holds no points) when it cannot.
bool loadXylibBlock(const std::string& bytes, std::string_view formatName, int block, XylibBlock& result,
                    std::string& reason);

// The number of blocks of bytes in the format; -1 when xylib cannot read them.
int countXylibBlocks(const std::string& bytes, std::string_view formatName);

}  // namespace s2t
