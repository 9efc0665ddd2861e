#include "engine/ChnMetadata.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "engine/BinaryInput.h"

namespace s2t {
namespace {

constexpr double kTicksPerSecond = 50.0;
constexpr std::int16_t kTrailerKind = -101;
constexpr std::int16_t kTrailerKindWithQuadratic = -102;
constexpr std::size_t kDetectorAt = 256;
constexpr std::size_t kSampleAt = 320;
constexpr std::size_t kMaxTextLength = 63;

// A time in ticks; a count of zero or less means the analyser did not record one.
std::optional<double> seconds(const unsigned char* at) {
    const std::int32_t ticks = int32At(at);
    if (ticks <= 0) return std::nullopt;
    return static_cast<double>(ticks) / kTicksPerSecond;
}

// Two decimal digits (a leading space reads as 0, as analysers pad single digits); -1 otherwise.
int twoDigits(const unsigned char* at) {
    auto digit = [](unsigned char c, bool leading) {
        if (leading && c == ' ') return 0;
        return c >= '0' && c <= '9' ? c - '0' : -1;
    };
    const int high = digit(at[0], true), low = digit(at[1], false);
    return high < 0 || low < 0 ? -1 : 10 * high + low;
}

int monthNumber(const unsigned char* at) {
    static constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    std::string name;
    for (int i = 0; i < 3; ++i) {
        const unsigned char c = at[i];
        name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    for (std::size_t m = 0; m < kMonths.size(); ++m)
        if (kMonths[m] == name) return static_cast<int>(m) + 1;
    return -1;
}

void appendTwo(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

// "YYYY-MM-DDTHH:MM:SS", or as much of it from the left as the header holds in a valid form.
std::string startDateTime(const ChnHeader& header) {
    const unsigned char* b = header.bytes.data();
    const int day = twoDigits(b + 16), month = monthNumber(b + 18), year = twoDigits(b + 21);
    if (day < 1 || day > 31 || month < 0 || year < 0) return {};
    std::string text = std::to_string((b[23] == '1' ? 2000 : 1900) + year) + "-";
    appendTwo(text, month);
    text += '-';
    appendTwo(text, day);
    const int hour = twoDigits(b + 24), minute = twoDigits(b + 26), second = twoDigits(b + 6);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return text;
    text += 'T';
    appendTwo(text, hour);
    text += ':';
    appendTwo(text, minute);
    if (second < 0 || second > 59) return text;
    text += ':';
    appendTwo(text, second);
    return text;
}

// A counted string: at most 63 characters, ending early at a NUL. Anything but printable ASCII
// becomes '?', so that no output header gets a control character or a broken multi-byte one.
std::string countedText(std::span<const unsigned char> trailer, std::size_t at) {
    const std::size_t length = std::min<std::size_t>(trailer[at], kMaxTextLength);
    std::string text;
    for (std::size_t i = 0; i < length && trailer[at + 1 + i] != 0; ++i) {
        const unsigned char c = trailer[at + 1 + i];
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The float as the decimal it was most likely typed as: the shortest text that reads back as the
// same float, read as a double (0.02692846f gives 0.02692846, not 0.026928460597991943).
double typedValue(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double result = 0.0;
    std::from_chars(text, written.ptr, result);
    return result;
}

std::optional<StoredCalibration> storedCalibration(std::span<const unsigned char> trailer, bool withQuadratic) {
    const float zero = float32At(&trailer[4]), slope = float32At(&trailer[8]);
    const float quadratic = withQuadratic ? float32At(&trailer[12]) : 0.0f;
    if (!std::isfinite(zero) || !std::isfinite(slope) || !std::isfinite(quadratic) || slope == 0.0f)
        return std::nullopt;
    return StoredCalibration{typedValue(zero), typedValue(slope), typedValue(quadratic)};
}

}  // namespace

ScanMetadata readChnMetadata(const ChnHeader& header, std::span<const unsigned char> trailer) {
    ScanMetadata metadata;
    metadata.realTime = seconds(&header.bytes[8]);
    metadata.liveTime = seconds(&header.bytes[12]);
    metadata.startDateTime = startDateTime(header);
    if (trailer.empty()) return metadata;
    if (trailer.size() < kChnTrailerSize) {
        metadata.trailerProblem = "the record after the counts is cut short (" + std::to_string(trailer.size()) +
                                  " of " + std::to_string(kChnTrailerSize) + " bytes); not read";
        return metadata;
    }
    const std::int16_t kind = int16At(&trailer[0]);
    if (kind != kTrailerKind && kind != kTrailerKindWithQuadratic) {
        metadata.trailerProblem = "the record after the counts is no trailer (it starts with " + std::to_string(kind) +
                                  ", not -101 or -102); not read";
        return metadata;
    }
    metadata.calibration = storedCalibration(trailer, kind == kTrailerKindWithQuadratic);
    metadata.detector = countedText(trailer, kDetectorAt);
    metadata.description = countedText(trailer, kSampleAt);
    return metadata;
}

}  // namespace s2t
