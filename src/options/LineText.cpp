#include "options/LineText.h"

namespace s2t {

std::size_t nextWord(std::string_view text, std::string& word, char separator, std::size_t start, std::size_t limit) {
    word.clear();
    std::size_t i = start;
    bool skipping = start < text.size() && text[start] == separator;
    while (i < limit && i < text.size() && text[i] != '\0' && (skipping || text[i] != separator)) {
        if (skipping && text[i] != separator) skipping = false;
        if (!skipping) word.push_back(text[i]);
        ++i;
    }
    return i;
}

char lowercase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int strCmp(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return 1;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowercase(a[i]) != lowercase(b[i])) return 1;
    return 0;
}

}  // namespace s2t
