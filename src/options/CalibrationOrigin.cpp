#include "options/CalibrationOrigin.h"

#include "options/OptionFile.h"
#include "options/TextFile.h"
#include "platform/Messages.h"

namespace s2t {
namespace {

constexpr std::string_view kNameKey = "standard=";
constexpr std::string_view kFingerprintKey = "calibration=";

std::string hexText(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

std::optional<std::uint64_t> parseHex(std::string_view text) {
    if (text.size() != 16) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

// A name on one line of printable text.
std::string oneLine(const std::string& name) {
    std::string line;
    for (char c : name) line += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    return line;
}

}  // namespace

std::uint64_t calibrationFingerprint(const CalibrationState& state) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : optionFileText(state, LineEnd::Lf)) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string originFilePath(const std::string& optionPath) { return optionPath + ".standard"; }

CalibrationOrigin originFromStandard(const std::string& standardName, const CalibrationState& state) {
    return {oneLine(standardName), calibrationFingerprint(state)};
}

std::string standardNameFor(const CalibrationOrigin& origin, const CalibrationState& state) {
    if (origin.standardName.empty() || origin.fingerprint != calibrationFingerprint(state)) return {};
    return origin.standardName;
}

bool writeCalibrationOrigin(const std::string& optionPath, const CalibrationOrigin& origin, Platform& platform,
                            LineEnd lineEnd) {
    const std::string path = originFilePath(optionPath);
    const std::string_view eol = lineEndText(lineEnd);
    std::string text;
    text.append(kNameKey).append(oneLine(origin.standardName)).append(eol);
    text.append(kFingerprintKey).append(hexText(origin.fingerprint)).append(eol);
    auto file = platform.fileSystem().createOutputFile(path, ExistingFile::Replace);
    if (file) {
        OutputStream out(*file);
        out.append(text);
        if (out.commit()) return true;
    }
    platform.messagePopup(messages::kFileError, messages::couldNotWriteOrigin(path));
    return false;
}

bool recordCalibrationOrigin(const std::string& optionPath, const CalibrationOrigin& origin,
                             const CalibrationState& state, Platform& platform, LineEnd lineEnd) {
    if (standardNameFor(origin, state).empty()) return true;
    return writeCalibrationOrigin(optionPath, origin, platform, lineEnd);
}

std::optional<CalibrationOrigin> readCalibrationOrigin(const std::string& optionPath) {
    TextFile file(originFilePath(optionPath));
    if (!file.isOpen()) return std::nullopt;
    CalibrationOrigin origin;
    std::optional<std::uint64_t> fingerprint;
    std::string line;
    for (int lines = 0; lines < 2 && file.readLine(line) != -1; ++lines) {
        if (line.starts_with(kNameKey)) origin.standardName = line.substr(kNameKey.size());
        if (line.starts_with(kFingerprintKey))
            fingerprint = parseHex(std::string_view(line).substr(kFingerprintKey.size()));
    }
    if (origin.standardName.empty() || !fingerprint || file.tooLarge()) return std::nullopt;
    origin.fingerprint = *fingerprint;
    return origin;
}

CalibrationOrigin originAmong(const std::vector<std::string>& optionPaths, const CalibrationState& state) {
    CalibrationOrigin found;
    for (const std::string& path : optionPaths)
        if (auto origin = readCalibrationOrigin(path); origin && !standardNameFor(*origin, state).empty())
            found = *origin;
    return found;
}

}  // namespace s2t
