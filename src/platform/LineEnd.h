// The line end every writer emits. CR LF by default, so that files match those the laboratory's
// Windows programs read and write; LF on request. Readers accept both.
#pragma once

#include <string_view>

namespace s2t {

enum class LineEnd { CrLf, Lf };

constexpr std::string_view lineEndText(LineEnd lineEnd) {
    return lineEnd == LineEnd::CrLf ? std::string_view("\r\n") : std::string_view("\n");
}

// Writes the line end at `at`; returns the end of what it wrote.
inline char* putLineEnd(char* at, LineEnd lineEnd) {
    if (lineEnd == LineEnd::CrLf) *at++ = '\r';
    *at++ = '\n';
    return at;
}

}  // namespace s2t
