#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace s2t {
namespace {

void appendPadded(std::string& out, const char* begin, const char* end, int width) {
    auto length = static_cast<int>(end - begin);
    if (width > length) out.append(static_cast<std::size_t>(width - length), ' ');
    out.append(begin, end);
}

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view skipSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    return text.substr(i);
}

}  // namespace

void appendFixed(std::string& out, double value, int precision, int width) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                precision);
    appendPadded(out, buffer, result.ptr, width);
}

std::string formatFixed(double value, int precision, int width) {
    std::string out;
    appendFixed(out, value, precision, width);
    return out;
}

void appendWhole(std::string& out, double value, int width) {
    double whole = std::trunc(value);
    if (whole == 0.0) whole = 0.0;  // no "-0"
    if (std::isfinite(whole) && std::fabs(whole) < 9.0e18) {
        appendInteger(out, static_cast<long long>(whole), width);
        return;
    }
    appendFixed(out, whole, 0, width);
}

std::string formatWhole(double value, int width) {
    std::string out;
    appendWhole(out, value, width);
    return out;
}

void appendInteger(std::string& out, long long value, int width) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    appendPadded(out, buffer, result.ptr, width);
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
    auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value,
                                  std::chars_format::general);
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
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed,
                                  std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
    if (!std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

}  // namespace s2t
