#include "options/OptionFile.h"

#include "options/LineText.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

constexpr std::string_view kPointComment = "#Observed Channel for the peaks, calculated 2-theta value for peaks";
constexpr std::string_view kDataSection = "#Calibrasion Data";
constexpr std::string_view kHeaderSection = "#Header";
constexpr std::string_view kCountKey = "numOfDataPoints";

// Splits "key=value" at the first "="; false when the line holds no "=".
bool splitKey(std::string_view line, std::string_view& key, std::string_view& value) {
    auto equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    key = line.substr(0, equals);
    value = line.substr(equals + 1);
    return true;
}

// One point line: the channel is the first field (tab-separated if the line holds a tab,
// otherwise space-separated), the 2-theta the number that follows it.
CalibrationPoint getTheNumbers(std::string_view line) {
    const char separator = line.find('\t') != std::string_view::npos ? '\t' : ' ';
    std::string word;
    std::size_t end = nextWord(line, word, separator, 0);
    return {parseLeadingFiniteDouble(word), parseLeadingFiniteDouble(line.substr(end)), 0.0};
}

// The point block after a "numOfDataPoints" line: its lines replace the calibration points.
void processDataLine(std::string_view line, CalibrationState& state, TextFile& file, Platform& platform) {
    if (!line.empty() && line[0] >= '0' && line[0] <= '9') return;
    std::string_view key, value;
    if (!splitKey(line, key, value) || key != kCountKey) return;
    const std::int32_t announced = parseLeadingInt(value);
    // Points are appended as they are read: an announced count costs nothing by itself.
    std::vector<CalibrationPoint> points;
    std::string pointLine;
    for (std::int32_t i = 0; i < announced; ++i) {
        long length = file.readLine(pointLine);
        if (length < 0) break;
        if (length > 0) points.push_back(getTheNumbers(pointLine));
    }
    const bool complete = static_cast<std::int64_t>(points.size()) == announced;
    state.calPoints = std::move(points);
    if (!complete) platform.messagePopup(messages::kOptionFileError, messages::kOptionFileIncomplete);
}

void processLine(std::string_view line, OptionSection& section, CalibrationState& state, TextFile& file,
                 Platform& platform) {
    if (line[0] == '#') {
        if (line == kHeaderSection) section = OptionSection::Header;
        if (line == kDataSection) section = OptionSection::Data;
        return;
    }
    if (section == OptionSection::Header) {
        std::string_view key, value;
        if (!splitKey(line, key, value)) return;
        if (key == "C") state.header.C = parseLeadingFiniteDouble(value);
        if (key == "K") state.header.K = parseLeadingFiniteDouble(value);
    } else if (section == OptionSection::Data) {
        processDataLine(line, state, file, platform);
    }
}

// Reads the option file into state only when it is not larger than any option file can be (an
// endless pipe, /dev/urandom): then it is refused whole, with a message, and state stays.
void readWholeOptionFile(TextFile& file, const std::string& path, CalibrationState& state, Platform& platform) {
    CalibrationState read = state;
    readOptionLines(file, read, platform);
    if (file.tooLarge()) {
        platform.messagePopup(messages::kOptionFileError, messages::optionFileTooLarge(path));
        return;
    }
    state = std::move(read);
}

std::string lastComponentWithSeparator(const std::string& path) {
    auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator);
}

}  // namespace

std::string optionFileText(const CalibrationState& state, LineEnd lineEnd) {
    const std::string_view eol = lineEndText(lineEnd);
    std::string text;
    text.append("#y=Cx+K").append(eol).append(kHeaderSection).append(eol);
    text.append("K=\t");
    appendFixed(text, state.header.K, 6, 8);
    text.append(eol).append("C=\t");
    appendFixed(text, state.header.C, 6, 8);
    text.append(eol).append(eol);
    if (state.numOfDataPoints() > 0) {
        text.append(kPointComment).append(eol).append(kDataSection).append(eol);
        text.append(kCountKey).append("= ");
        appendInteger(text, state.numOfDataPoints());
        text.append(eol);
        for (const auto& point : state.calPoints) {
            appendFixed(text, point.channel, 4, 8);
            text.push_back('\t');
            appendFixed(text, point.twoTheta, 4, 8);
            text.append(eol);
        }
        text.append(eol);
    }
    return text;
}

void adoptStoredValues(CalibrationState& state) {
    auto stored = [](double value, int decimals) {
        std::string text;
        appendFixed(text, value, decimals, 8);
        return parseLeadingFiniteDouble(text);
    };
    state.header.K = stored(state.header.K, 6);
    state.header.C = stored(state.header.C, 6);
    for (auto& point : state.calPoints) {
        point.channel = stored(point.channel, 4);
        point.twoTheta = stored(point.twoTheta, 4);
    }
}

void readOptionLines(TextFile& file, CalibrationState& state, Platform& platform) {
    OptionSection section = OptionSection::None;
    std::string line;
    long length;
    while ((length = file.readLine(line)) != -1)
        if (length > 0) processLine(line, section, state, file, platform);
}

bool loadOptionFile(const std::string& path, CalibrationState& state, Platform& platform) {
    TextFile file(path);
    if (!file.isOpen()) {
        platform.messagePopup(messages::kFileError, messages::kOptionFileNotOpened);
        return false;
    }
    readWholeOptionFile(file, path, state, platform);
    return !file.tooLarge();
}

SaveOutcome saveOptionsFile(const std::string& path, bool force, const CalibrationState& state, Platform& platform,
                            LineEnd lineEnd, const std::vector<std::string>& inputs) {
    if (!force && platform.fileSystem().exists(path)) {
        if (!platform.confirmPopup(messages::kReplaceOptionFile,
                                   messages::replaceOptionFile(lastComponentWithSeparator(path))))
            return SaveOutcome::Declined;
    }
    // Whatever the answer: only a regular file (or a link, itself replaced) is ever replaced, and
    // never a file the command reads.
    const FileStatus target = platform.fileSystem().statusOf(path, false);
    const char* refusal = nullptr;
    if (target.kind == FileStatus::Kind::Other) refusal = messages::kOptionFileNotRegular;
    for (const std::string& input : inputs)
        if (!refusal && target.sameFileAs(platform.fileSystem().statusOf(input, true)))
            refusal = messages::kOptionFileIsInput;
    if (refusal) {
        platform.messagePopup(messages::kFileError, messages::optionFileRefused(path, refusal));
        return SaveOutcome::Failed;
    }
    auto file = platform.fileSystem().createOutputFile(path, ExistingFile::Replace);
    if (file) {
        OutputStream out(*file);
        out.append(optionFileText(state, lineEnd));
        if (out.commit()) return SaveOutcome::Written;
    }
    platform.messagePopup(messages::kOptionFileError, messages::couldNotWriteOptionFile(path));
    return SaveOutcome::Failed;
}

std::string defaultOptionsPath(const std::string& programFolder) { return programFolder + "/Default.pre"; }

namespace {

// Creates the missing Default.pre from the calibration in force. Another run may store its own
// calibration there meanwhile (`calibration fit` starting from the same fresh folder): that file
// is kept and read, never replaced by the built-in values. Whether a file was written or read.
bool createDefaultOptions(const std::string& path, CalibrationState& state, Platform& platform, LineEnd lineEnd) {
    auto file = platform.fileSystem().createOutputFile(path, ExistingFile::Keep);
    if (file) {
        OutputStream out(*file);
        out.append(optionFileText(state, lineEnd));
        if (out.commit()) {
            adoptStoredValues(state);
            return true;
        }
        if (file->nameTaken()) {
            TextFile written(path);
            if (written.isOpen()) {
                readWholeOptionFile(written, path, state, platform);
                return true;
            }
        }
    }
    platform.messagePopup(messages::kOptionFileError, messages::couldNotWriteOptionFile(path));
    return false;
}

}  // namespace

void getCalibration(CalibrationState& state, const std::string& programFolder, Platform& platform, LineEnd lineEnd) {
    const std::string path = defaultOptionsPath(programFolder);
    state.installStartupValues();
    TextFile file(path);
    if (file.isOpen()) {
        readWholeOptionFile(file, path, state, platform);
    } else if (!platform.fileSystem().exists(path)) {
        createDefaultOptions(path, state, platform, lineEnd);
    }
    // A Default.pre that exists but cannot be read is left alone: the built-in values hold.
}

}  // namespace s2t
