// Every number written to a file must be printf's in the C locale, digit for digit, including the
// rounding of exact ties and of values a hair off them; every number read must be atof's or atoi's.
#include <gtest/gtest.h>

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "platform/NumberText.h"

namespace s2t {
namespace {

// printf in the C locale, whatever locale another test left the process in.
std::string printfFixed(double value, int precision, int width = 0) {
    locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    locale_t previous = uselocale(c);
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, precision, value);
    uselocale(previous);
    freelocale(c);
    return buffer;
}

void expectPrintf(double value, int precision, int width = 0) {
    ASSERT_EQ(formatFixed(value, precision, width), printfFixed(value, precision, width))
        << "value " << std::hexfloat << value << ", precision " << precision << ", width " << width;
}

TEST(NumberText, FixedFormatIsPrintfForTiesTheirNeighboursAndEveryMagnitude) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> exponent(-30.0, 12.0);
    for (int precision = 0; precision <= 12; ++precision) {
        // Odd multiples of 2^-(precision + 1) are exact ties at this precision.
        for (int i = 0; i < 2000; ++i) {
            const auto odd = static_cast<double>((random() % (std::uint64_t{1} << 40)) | 1);
            const double tie = std::ldexp(odd, -(precision + 1));
            expectPrintf(tie, precision);
            expectPrintf(-tie, precision);
            expectPrintf(std::nextafter(tie, 0.0), precision);
            expectPrintf(std::nextafter(tie, 1e300), precision);
        }
        for (int i = 0; i < 5000; ++i)
            expectPrintf(std::pow(10.0, exponent(random)) * (random() % 2 ? 1.0 : -1.0), precision,
                         static_cast<int>(random() % 14));
        for (double value : {0.0, -0.0, 5e-324, -5e-324, 2.2250738585072014e-308, 0.5, 1.5, 2.5, 999999999.5,
                             999999999.9999999, std::nextafter(1e9, 0.0), 1e9, -1e9, 1e15, 28.783, 0.02, 69.132,
                             11.30377050179894, 123456789.123456789}) {
            expectPrintf(value, precision);
        }
    }
    EXPECT_EQ(formatFixed(28.783, 8, 12), " 28.78300000");
    EXPECT_EQ(formatFixed(0.125, 2), "0.12");  // ties to even, as glibc
    EXPECT_EQ(formatFixed(1e10, 2, 4), "10000000000.00");
}

TEST(NumberText, WholeNumbersArePercentDOfTheTruncatedValue) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i) {
        const int width = static_cast<int>(random() % 12);
        const auto bits = static_cast<int>(random() % 63);
        const long long integer = static_cast<long long>(random() >> (63 - bits)) * (random() % 2 ? 1 : -1);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%*lld", width, integer);
        std::string text;
        appendInteger(text, integer, width);
        ASSERT_EQ(text, expected);
        const double fraction = static_cast<double>(random() % 1000) / 1000.0;
        const double value = static_cast<double>(integer) + (integer < 0 ? -fraction : fraction);
        if (std::fabs(value) < 1e15) {  // exactly the integer plus its fraction
            std::snprintf(expected, sizeof expected, "%*lld", width, static_cast<long long>(std::trunc(value)));
            ASSERT_EQ(formatWhole(value, width), expected) << value;
        }
    }
    // Beyond the range of integers: still every digit, never a wrapped value.
    // Each digit count and field width of the short way counts take, and the values beyond it.
    for (double value : {0.0, 0.5, 9.0, 9.99, 10.0, 99.0, 100.0, 999.0, 1000.0, 9999.0, 9999.99, 10000.0, 99999.0}) {
        for (int width = 0; width <= 10; ++width) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%*lld", width, static_cast<long long>(value));
            char buffer[kNumberRoom];
            ASSERT_EQ(std::string(buffer, putWhole(buffer, value, width)), expected) << value << " in " << width;
        }
    }
    EXPECT_EQ(formatWhole(-0.999, 3), "  0");
    EXPECT_EQ(formatWhole(-1e19), "-10000000000000000000");
    EXPECT_EQ(formatWhole(1e20), "100000000000000000000");
}

TEST(NumberText, ParsesLikeAtofAndAtoi) {
    struct Case {
        const char* text;
        double leading, finite;
    };
    const double inf = HUGE_VAL;
    for (const Case& c : {Case{"  \t28.783abc", 28.783, 28.783}, Case{"+2.5e1", 25.0, 25.0}, Case{"-.5", -0.5, -0.5},
                          Case{"abc", 0.0, 0.0}, Case{"", 0.0, 0.0}, Case{"--1", 0.0, 0.0}, Case{"1e999", inf, 0.0},
                          Case{"1e-999", 0.0, 0.0}, Case{"-inf", -inf, 0.0}, Case{" 47.304 x", 47.304, 47.304}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseLeadingDouble(c.text), c.leading);
        // Data files: what is not a finite number reads as no number.
        EXPECT_EQ(parseLeadingFiniteDouble(c.text), c.finite);
    }
    EXPECT_EQ(parseLeadingFiniteDouble("nan"), 0.0);
    EXPECT_EQ(parseLeadingInt(" 42x"), 42);
    EXPECT_EQ(parseLeadingInt("-3"), -3);
    EXPECT_EQ(parseLeadingInt("99999999999"), 2147483647);
    EXPECT_EQ(parseLeadingInt("x"), 0);
    double v = 0;
    EXPECT_TRUE(parseWholeDouble(" 0.25 ", v));
    EXPECT_EQ(v, 0.25);
    for (const char* refused : {"0.25x", "inf", ""}) EXPECT_FALSE(parseWholeDouble(refused, v)) << refused;
}

}  // namespace
}  // namespace s2t
