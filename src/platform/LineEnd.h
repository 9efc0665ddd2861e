// The line end every writer emits. CR LF by default, so that files match those the laboratory's
// Windows programs read and write; LF on request. Readers accept both.
#pragma once

#include <string_view>

namespace s2t {

enum class LineEnd { CrLf, Lf };

constexpr std::string_view lineEndText(LineEnd lineEnd) {
    return lineEnd == LineEnd::CrLf ? std::string_view("\r\n") : std::string_view("\n");
}

}  // namespace s2t
