// Numbers to text and back, exactly as printf and atof/atoi do in the C locale, whatever locale
// the process runs under: files never get a decimal comma, and "28.783" always reads as 28.783.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace s2t {

// printf("%<width>.<precision>f", value): right-aligned in at least width characters.
void appendFixed(std::string& out, double value, int precision, int width = 0);
std::string formatFixed(double value, int precision, int width = 0);

// printf("%<width>d") of a value that is already a whole number, truncated toward zero first.
// Works for every finite double (digit for digit, beyond the 32-bit range too); -0 prints as 0.
void appendWhole(std::string& out, double value, int width = 0);
std::string formatWhole(double value, int width = 0);

// The shortest text that reads back as exactly this value ("597.4", "0.02692846", "1e-07"), with a
// decimal point whatever the locale.
std::string formatShortest(double value);

// printf("%<width>d") of an integer.
void appendInteger(std::string& out, long long value, int width = 0);

// The same conversions written into a character buffer, for writers that build a whole line before
// appending it: each writes at `at` and returns the end of the text. With precision up to
// kMaxPrecision and width up to kMaxWidth, one call writes at most kNumberRoom characters.
inline constexpr int kMaxPrecision = 40;
inline constexpr int kMaxWidth = 64;
inline constexpr std::size_t kNumberRoom = 400;
char* putFixed(char* at, double value, int precision, int width = 0);
char* putWholeOfAnySize(char* at, double value, int width = 0);
char* putInteger(char* at, long long value, int width = 0);

// "00" to "99", two characters each.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// putWholeOfAnySize, with a short way for what nearly every count of a file is: a whole number
// below 10 000 in a field of at most eight characters. Its four digits are made at once, leading
// zeros become spaces, and the field is the last characters of eight stored at `at` (those past
// the returned end are scratch). No branch depends on the number of digits, which changes from
// value to value in a scan. Compiled into each writer's loop.
inline char* putWhole(char* at, double value, int width = 0) {
    static_assert(std::endian::native == std::endian::little, "the digits are assembled in a little-endian word");
    if (!(value >= 0.0 && value < 10000.0 && width <= 8)) return putWholeOfAnySize(at, value, width);
    const auto v = static_cast<std::uint32_t>(value);
    auto pair = [](std::uint32_t p) {
        std::uint16_t two;
        std::memcpy(&two, &kDigitPairs[2 * p], 2);
        return static_cast<std::uint32_t>(two);
    };
    const int digits = 1 + static_cast<int>(v >= 10) + static_cast<int>(v >= 100) + static_cast<int>(v >= 1000);
    const std::uint32_t leadingZeros = (1U << (8 * (4 - digits))) - 1;  // at most three bytes
    const std::uint32_t four = pair(v / 100) | pair(v % 100) << 16;     // byte 0: the first digit
    const std::uint64_t field =
        0x20202020ULL | static_cast<std::uint64_t>((four & ~leadingZeros) | (0x20202020U & leadingZeros)) << 32;
    const int length = width > digits ? width : digits;
    const std::uint64_t text = field >> (8 * (8 - length));
    std::memcpy(at, &text, 8);
    return at + length;
}

// atof: leading white space skipped, the longest prefix that forms a number is converted
// (sign, digits, point, exponent, inf, nan); no number gives 0.0.
double parseLeadingDouble(std::string_view text);

// parseLeadingDouble for numbers read from data files: a value that is not finite (inf, nan, or
// beyond the double range) counts as malformed and gives 0.0, so that it never reaches a
// calibration or a scan.
double parseLeadingFiniteDouble(std::string_view text);

// atoi: leading white space skipped, optional sign, digits; no number gives 0. Values beyond the
// 32-bit range are clamped to it.
std::int32_t parseLeadingInt(std::string_view text);

// Whether text (after optional white space) is one complete finite number and nothing else.
bool parseWholeDouble(std::string_view text, double& value);

}  // namespace s2t
