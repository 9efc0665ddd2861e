// Word and keyword helpers shared by the option-file, standard-file and XFit peak-file readers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace s2t {

// Copies one word of text, starting at start, into word and returns the index at which copying
// stopped. Separators are skipped only when text[start] is one; the word runs to the next
// separator, the limit or the end of the text. Calling again from the returned index delivers
// the next word. Only the given separator separates.
std::size_t nextWord(std::string_view text, std::string& word, char separator, std::size_t start,
                     std::size_t limit = std::string_view::npos);

// The character with A to Z mapped to a to z; every other character unchanged.
char lowercase(char c);

// 0 when a and b are equal once ASCII letters are compared without case, otherwise 1.
int strCmp(std::string_view a, std::string_view b);

}  // namespace s2t
