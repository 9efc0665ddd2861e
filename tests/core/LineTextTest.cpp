#include <gtest/gtest.h>

#include <cmath>

#include "options/LineText.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

TEST(NextWord, SkipsLeadingSeparatorsOnlyFromASeparator) {
    std::string word;
    const std::string text = "  12.5  7";
    EXPECT_EQ(nextWord(text, word, ' ', 0), 6u);
    EXPECT_EQ(word, "12.5");
    EXPECT_EQ(nextWord(text, word, ' ', 6), 9u);
    EXPECT_EQ(word, "7");
    // From inside a word: its tail.
    EXPECT_EQ(nextWord(text, word, ' ', 3), 6u);
    EXPECT_EQ(word, "2.5");
    // The limit stops the word; the end of the text gives an empty word.
    EXPECT_EQ(nextWord(text, word, ' ', 0, 4), 4u);
    EXPECT_EQ(word, "12");
    EXPECT_EQ(nextWord(text, word, ' ', 9), 9u);
    EXPECT_EQ(word, "");
    // Only the given separator separates.
    EXPECT_EQ(nextWord("a\tb c", word, ' ', 0), 3u);
    EXPECT_EQ(word, "a\tb");
    // Quotes as separators: a name between single quotes.
    const std::string line = "name= 'Silicon' x";
    std::size_t at = nextWord(line, word, ' ', 0);
    at = nextWord(line, word, '\'', at);
    nextWord(line, word, '\'', at);
    EXPECT_EQ(word, "Silicon");
}

TEST(StrCmp, IgnoresAsciiCaseOnly) {
    EXPECT_EQ(strCmp("DATA", "data"), 0);
    EXPECT_EQ(strCmp("Th2", "tH2"), 0);
    EXPECT_EQ(strCmp("data", "dat"), 1);
    EXPECT_EQ(strCmp("\xc4", "\xe4"), 1);
    EXPECT_EQ(lowercase('Z'), 'z');
    EXPECT_EQ(lowercase('['), '[');
}

TEST(NumberText, FormatsLikePrintfInTheCLocale) {
    EXPECT_EQ(formatFixed(10.0, 3, 8), "  10.000");
    EXPECT_EQ(formatFixed(0.02, 3, 8), "   0.020");
    EXPECT_EQ(formatFixed(28.783, 8, 9), "28.78300000");
    EXPECT_EQ(formatFixed(1.5406, 5), "1.54060");
    EXPECT_EQ(formatFixed(123.45, 2, 8), "  123.45");
    EXPECT_EQ(formatFixed(-0.001, 2), "-0.00");
    EXPECT_EQ(formatFixed(0.125, 2), "0.12");  // ties to even, as glibc
    EXPECT_EQ(formatFixed(2.5, 0, 8), "       2");
    EXPECT_EQ(formatFixed(3.5, 0), "4");
    EXPECT_EQ(formatWhole(-0.4), "0");
    EXPECT_EQ(formatWhole(1234.0), "1234");
    EXPECT_EQ(formatWhole(-7.9, 8), "      -7");
    EXPECT_EQ(formatWhole(4294967296.0), "4294967296");
    EXPECT_EQ(formatWhole(1e20), "100000000000000000000");
}

TEST(NumberText, ParsesLikeAtofAndAtoi) {
    EXPECT_EQ(parseLeadingDouble("  \t28.783abc"), 28.783);
    EXPECT_EQ(parseLeadingDouble("+2.5e1"), 25.0);
    EXPECT_EQ(parseLeadingDouble("-.5"), -0.5);
    EXPECT_EQ(parseLeadingDouble("abc"), 0.0);
    EXPECT_EQ(parseLeadingDouble(""), 0.0);
    EXPECT_EQ(parseLeadingDouble("--1"), 0.0);
    EXPECT_TRUE(std::isinf(parseLeadingDouble("1e999")));
    EXPECT_EQ(parseLeadingDouble("1e-999"), 0.0);
    // Data files: what is not a finite number reads as no number.
    EXPECT_EQ(parseLeadingFiniteDouble(" 47.304 x"), 47.304);
    EXPECT_EQ(parseLeadingFiniteDouble("1e999"), 0.0);
    EXPECT_EQ(parseLeadingFiniteDouble("-inf"), 0.0);
    EXPECT_EQ(parseLeadingFiniteDouble("nan"), 0.0);
    EXPECT_EQ(parseLeadingInt(" 42x"), 42);
    EXPECT_EQ(parseLeadingInt("-3"), -3);
    EXPECT_EQ(parseLeadingInt("99999999999"), 2147483647);
    EXPECT_EQ(parseLeadingInt("x"), 0);
    double v = 0;
    EXPECT_TRUE(parseWholeDouble(" 0.25 ", v));
    EXPECT_EQ(v, 0.25);
    EXPECT_FALSE(parseWholeDouble("0.25x", v));
    EXPECT_FALSE(parseWholeDouble("inf", v));
    EXPECT_FALSE(parseWholeDouble("", v));
}

}  // namespace
}  // namespace s2t
