#include "platform/NumberText.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace s2t {
namespace {

constexpr std::uint64_t kPowersOfTen[20] = {1ULL,
                                            10ULL,
                                            100ULL,
                                            1000ULL,
                                            10000ULL,
                                            100000ULL,
                                            1000000ULL,
                                            10000000ULL,
                                            100000000ULL,
                                            1000000000ULL,
                                            10000000000ULL,
                                            100000000000ULL,
                                            1000000000000ULL,
                                            10000000000000ULL,
                                            100000000000000ULL,
                                            1000000000000000ULL,
                                            10000000000000000ULL,
                                            100000000000000000ULL,
                                            1000000000000000000ULL,
                                            10000000000000000000ULL};

// The number of decimal digits of v, without a branch: the count varies from value to value, and a
// loop over it mispredicts about once per number.
int digitCount(std::uint64_t v) {
    const int estimate = (std::bit_width(v | 1) * 1233) >> 12;  // log10(2) is about 1233 / 4096
    const int digits = estimate + static_cast<int>(v >= kPowersOfTen[estimate]);
    return digits + static_cast<int>(digits == 0);
}

// Writes exactly `digits` decimal digits of v (leading zeros included) ending at end. Four digits
// at a time from the right: each group is split into two pairs apart from the division that goes
// on to the next group, so that the divisions waiting on each other are a quarter as many (the
// eight decimals of a 2-theta value are two such groups).
void putDigits(char* end, std::uint64_t v, int digits) {
    for (; digits >= 4; digits -= 4) {
        const auto group = static_cast<std::uint32_t>(v % 10000);
        v /= 10000;
        end -= 4;
        std::memcpy(end, &kDigitPairs[2 * (group / 100)], 2);
        std::memcpy(end + 2, &kDigitPairs[2 * (group % 100)], 2);
    }
    for (; digits > 0; --digits) {
        *--end = static_cast<char>('0' + v % 10);
        v /= 10;
    }
}

char* putSpaces(char* at, int count) {
    for (; count > 0; --count) *at++ = ' ';
    return at;
}

char* putPadded(char* at, const char* begin, const char* end, int width) {
    const auto length = static_cast<int>(end - begin);
    at = putSpaces(at, width - length);
    for (const char* p = begin; p != end; ++p) *at++ = *p;
    return at;
}

bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view skipSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    return text.substr(i);
}

// printf's "%.<precision>f" for the values files hold (below 1e9 in magnitude, at most 9 decimals):
// the exact binary value scaled by 10^precision in 128-bit integers and rounded to nearest with
// ties to even, as the C library rounds. Null for anything else, which takes the general path.
char* putSmallFixed(char* at, double value, int precision, int width) {
    if (precision < 0 || precision > 9 || !(std::fabs(value) < 1e9)) return nullptr;  // NaN too
    __extension__ typedef unsigned __int128 Wide;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    // |value| = mantissa x 2^exponent with exponent < -22, since |value| < 2^30.
    const auto shift = static_cast<unsigned>(-exponent);
    std::uint64_t rounded = 0;  // beyond 127 bits of shift the value rounds to 0
    if (shift < 128) {
        const Wide scaled = static_cast<Wide>(mantissa) * kPowersOfTen[precision];
        Wide quotient = scaled >> shift;
        const Wide remainder = scaled - (quotient << shift);
        const Wide half = Wide{1} << (shift - 1);
        if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
        rounded = static_cast<std::uint64_t>(quotient);
    }
    const std::uint64_t unit = kPowersOfTen[precision];
    const std::uint64_t whole = rounded / unit;
    const int wholeDigits = digitCount(whole);
    const int length = (negative ? 1 : 0) + wholeDigits + (precision > 0 ? precision + 1 : 0);
    at = putSpaces(at, width - length);
    if (negative) *at++ = '-';
    at += wholeDigits;
    putDigits(at, whole, wholeDigits);
    if (precision > 0) {
        *at++ = '.';
        at += precision;
        putDigits(at, rounded % unit, precision);
    }
    return at;
}

}  // namespace

char* putFixed(char* at, double value, int precision, int width) {
    if (char* end = putSmallFixed(at, value, precision, width)) return end;
    char text[kNumberRoom];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
    return putPadded(at, text, result.ptr, width);
}

char* putInteger(char* at, long long value, int width) {
    // Two digits at a time, straight into place. (putDigits, which serves the fixed-point numbers,
    // made channel list lines, whose channels have up to four digits, about 15 % slower here.)
    const bool negative = value < 0;
    auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    const int digits = digitCount(magnitude);
    at = putSpaces(at, width - digits - (negative ? 1 : 0));
    if (negative) *at++ = '-';
    char* const end = at + digits;
    char* p = end;
    while (magnitude >= 100) {
        const auto pair = static_cast<std::size_t>(magnitude % 100) * 2;
        magnitude /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (magnitude >= 10) {
        const auto pair = static_cast<std::size_t>(magnitude) * 2;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    } else {
        *--p = static_cast<char>('0' + magnitude);
    }
    return end;
}

char* putWholeOfAnySize(char* at, double value, int width) {
    // The conversion truncates toward zero as the format asks, and a value between -1 and 0
    // becomes 0, never "-0".
    if (std::fabs(value) < 9.0e18) return putInteger(at, static_cast<long long>(value), width);
    // Beyond 64 bits (and inf, nan): the whole number digit for digit.
    return putFixed(at, std::trunc(value), 0, width);
}

void appendFixed(std::string& out, double value, int precision, int width) {
    if (precision <= kMaxPrecision && width <= kMaxWidth) {
        char buffer[kNumberRoom];
        out.append(buffer, putFixed(buffer, value, precision, width));
        return;
    }
    std::string text(static_cast<std::size_t>(precision) + kNumberRoom, '\0');
    auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, precision);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    if (width > static_cast<int>(text.size())) out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    out.append(text);
}

std::string formatFixed(double value, int precision, int width) {
    std::string out;
    appendFixed(out, value, precision, width);
    return out;
}

void appendWhole(std::string& out, double value, int width) {
    if (width <= kMaxWidth) {
        char buffer[kNumberRoom];
        out.append(buffer, putWhole(buffer, value, width));
        return;
    }
    appendFixed(out, std::fabs(value) < 9.0e18 ? static_cast<double>(static_cast<long long>(value)) : std::trunc(value),
                0, width);
}

std::string formatWhole(double value, int width) {
    std::string out;
    appendWhole(out, value, width);
    return out;
}

void appendInteger(std::string& out, long long value, int width) {
    if (width <= kMaxWidth) {
        char buffer[kNumberRoom];
        out.append(buffer, putInteger(buffer, value, width));
        return;
    }
    out.append(static_cast<std::size_t>(width - kMaxWidth), ' ');
    appendInteger(out, value, kMaxWidth);
}

double parseLeadingDouble(std::string_view text) {
    text = skipSpace(text);
    bool negative = false;
    std::string_view rest = text;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    // from_chars takes no sign of its own apart from '-', and never a '+'.
    if (rest.empty() || rest[0] == '-' || rest[0] == '+') return 0.0;
    double value = 0.0;
    auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // strtod gives HUGE_VAL on overflow and (nearly) zero on underflow; only a negative
        // exponent can underflow.
        std::string_view parsed(rest.data(), static_cast<std::size_t>(result.ptr - rest.data()));
        auto e = parsed.find_first_of("eE");
        bool underflow = e != std::string_view::npos && e + 1 < parsed.size() && parsed[e + 1] == '-';
        value = underflow ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

double parseLeadingFiniteDouble(std::string_view text) {
    const double value = parseLeadingDouble(text);
    return std::isfinite(value) ? value : 0.0;
}

std::int32_t parseLeadingInt(std::string_view text) {
    text = skipSpace(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > 1LL << 32) break;  // clamped below anyway
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

bool parseWholeDouble(std::string_view text, double& value) {
    text = skipSpace(text);
    while (!text.empty() && isCSpace(text.back())) text.remove_suffix(1);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    double parsed = 0.0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    if (!std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

std::string formatShortest(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace s2t
