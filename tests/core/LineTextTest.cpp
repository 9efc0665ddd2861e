#include <gtest/gtest.h>

#include "options/LineText.h"

namespace s2t {
namespace {

TEST(LineText, NextWordSkipsLeadingSeparatorsOnlyFromASeparator) {
    struct Case {
        std::string text;
        char separator;
        std::size_t from, limit, end;
        std::string word;
    };
    const std::string text = "  12.5  7";
    const std::size_t none = std::string::npos;
    for (const Case& c : {Case{text, ' ', 0, none, 6, "12.5"}, Case{text, ' ', 6, none, 9, "7"},
                          Case{text, ' ', 3, none, 6, "2.5"},  // from inside a word: its tail
                          Case{text, ' ', 0, 4, 4, "12"},      // the limit stops the word
                          Case{text, ' ', 9, none, 9, ""},     // the end of the text gives an empty word
                          Case{"a\tb c", ' ', 0, none, 3, "a\tb"}}) {
        SCOPED_TRACE(c.text + " from " + std::to_string(c.from));
        std::string word = "before";
        EXPECT_EQ(nextWord(c.text, word, c.separator, c.from, c.limit), c.end);
        EXPECT_EQ(word, c.word);
    }
    // Quotes as separators: a name between single quotes.
    const std::string line = "name= 'Silicon' x";
    std::string word;
    std::size_t at = nextWord(line, word, ' ', 0);
    at = nextWord(line, word, '\'', at);
    nextWord(line, word, '\'', at);
    EXPECT_EQ(word, "Silicon");
}

TEST(LineText, StrCmpIgnoresAsciiCaseOnly) {
    EXPECT_EQ(strCmp("DATA", "data"), 0);
    EXPECT_EQ(strCmp("Th2", "tH2"), 0);
    EXPECT_EQ(strCmp("data", "dat"), 1);
    EXPECT_EQ(strCmp("\xc4", "\xe4"), 1);
    EXPECT_EQ(lowercase('Z'), 'z');
    EXPECT_EQ(lowercase('['), '[');
}

}  // namespace
}  // namespace s2t
