// Numbers to text and back, exactly as printf and atof/atoi do in the C locale, whatever locale
// the process runs under: files never get a decimal comma, and "28.783" always reads as 28.783.
#pragma once

#include <cstddef>
#include <cstdint>
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

// printf("%<width>d") of an integer.
void appendInteger(std::string& out, long long value, int width = 0);

// The same conversions written into a character buffer, for writers that build a whole line before
// appending it: each writes at `at` and returns the end of the text. With precision up to
// kMaxPrecision and width up to kMaxWidth, one call writes at most kNumberRoom characters.
inline constexpr int kMaxPrecision = 40;
inline constexpr int kMaxWidth = 64;
inline constexpr std::size_t kNumberRoom = 400;
char* putFixed(char* at, double value, int precision, int width = 0);
char* putWhole(char* at, double value, int width = 0);
char* putInteger(char* at, long long value, int width = 0);

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
