// scan2theta info: what each input holds, read by the reader a conversion would use: its format,
// blocks, signature, first and last channel or angle and step, number of points and count range,
// one row per block; then, file by file, what the file says of its measurement.
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "Cli.h"
#include "engine/ConversionRecords.h"
#include "engine/InputFormats.h"
#include "engine/ReadAnyFile.h"
#include "platform/ConsolePlatform.h"
#include "platform/JsonWriter.h"
#include "platform/NumberText.h"

namespace s2t::cli {
namespace {

struct Column {
    const char* title;
    bool rightAligned;
};

constexpr Column kColumns[] = {
    {"File", false}, {"Kind", false}, {"Blocks", true}, {"Signature", false}, {"Start", true},
    {"End", true},   {"Step", true},  {"Points", true}, {"Min count", true},  {"Max count", true},
};
constexpr std::size_t kColumnCount = std::size(kColumns);

using Row = std::array<std::string, kColumnCount>;

std::string hexByte(unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

// What one file holds, every number already as the text shows it; empty: not known.
struct ScanSummary {
    std::string path;
    const InputFormatInfo* format = nullptr;
    int block = 0;   // from 0
    int blocks = 1;  // of the file
    bool read = false;
    std::string signature;
    std::string start, end, step;  // in channels or in degrees; step "varies" when there is none
    bool inDegrees = false;
    ScanMetadata metadata;
    std::string points;
    std::string minCount, maxCount;
};

// The count range; channel files hold whole counts, GUFI files fractional ones.
void describeCounts(const Scan& scan, ScanSummary& summary) {
    if (scan.points.empty()) return;
    const auto [lowest, highest] =
        std::minmax_element(scan.points.begin(), scan.points.end(),
                            [](const ScanPoint& a, const ScanPoint& b) { return a.count < b.count; });
    if (scan.ownAngles) {
        summary.minCount = formatFixed(lowest->count, 2);
        summary.maxCount = formatFixed(highest->count, 2);
    } else {
        summary.minCount = formatWhole(lowest->count);
        summary.maxCount = formatWhole(highest->count);
    }
}

// Reads one file as a conversion would, with the reader the input-format table gives it. A file
// that cannot be read is reported; read stays false then.
ScanSummary describe(const std::string& path, int block, Platform& platform) {
    const InputFormatInfo& format = inputFormatForPath(path);
    // Angles as stored; nothing here needs a calibration.
    const ReadResult read = readScanFile(path, kFileAngles, block);
    const Scan& scan = read.scan;

    ScanSummary summary;
    summary.path = path;
    summary.format = &format;
    summary.block = block;
    if (!showReadMessages(read, platform)) return summary;
    summary.read = true;
    summary.blocks = scan.blockCount;
    summary.metadata = scan.metadata;
    summary.points = formatWhole(static_cast<double>(scan.points.size()));
    const long long n = static_cast<long long>(scan.points.size());
    if (scan.ownAngles) {
        summary.inDegrees = true;
        summary.start = formatFixed(read.startAngle, 4);
        if (n > 0) summary.end = formatFixed(scan.points.back().twoTheta, 4);
        summary.step = read.inputStep != 0.0 || n < 2 ? formatFixed(read.inputStep, 5) : "varies";
    } else {
        // Only a channel file has a signature; other channel spectra start at channel 0.
        if (scan.chnHeader.signature() == -1)
            summary.signature = hexByte(scan.chnHeader.bytes[0]) + " " + hexByte(scan.chnHeader.bytes[1]);
        const long long first = scan.chnHeader.firstChannel();
        summary.start = formatWhole(static_cast<double>(first));
        if (n > 0) summary.end = formatWhole(static_cast<double>(first + n - 1));
        summary.step = "1";
    }
    describeCounts(scan, summary);
    return summary;
}

// The path as a row shows it: with the block after it when the file holds several.
std::string rowName(const ScanSummary& s) {
    return s.blocks > 1 ? s.path + " [b" + std::to_string(s.block + 1) + "]" : s.path;
}

Row tableRow(const ScanSummary& s) {
    auto orDash = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    Row row = {rowName(s), std::string(s.format->label),
               "-",        s.read ? orDash(s.signature) : "(not read)",
               "-",        "-",
               "-",        "-",
               "-",        "-"};
    if (!s.read) return row;
    const auto place = [&s](const std::string& value) {
        if (value.empty()) return std::string("-");
        return s.inDegrees ? value + " deg" : "channel " + value;
    };
    row[2] = std::to_string(s.blocks);
    row[4] = place(s.start);
    row[5] = place(s.end);
    row[6] = s.inDegrees ? (s.step == "varies" ? s.step : s.step + " deg") : "1 channel";
    row[7] = s.points;
    row[8] = orDash(s.minCount);
    row[9] = orDash(s.maxCount);
    return row;
}

std::string storedLineText(const StoredCalibration& line) {
    std::string text = "2-theta = " + formatShortest(line.slope) + " x channel + " + formatShortest(line.zero);
    if (line.quadratic != 0.0) text += " + " + formatShortest(line.quadratic) + " x channel^2";
    return text;
}

// What a file says of its measurement, below the table; nothing when it says nothing.
std::string formatMetadata(const ScanSummary& s) {
    const ScanMetadata& m = s.metadata;
    if (!s.read || m.empty()) return {};
    std::string text = "\n" + rowName(s) + "\n";
    auto line = [&text](std::string_view name, const std::string& value) {
        text += "  ";
        text += name;
        text += std::string(name.size() < 14 ? 14 - name.size() : 1, ' ');
        text += value + "\n";
    };
    if (m.liveTime) line("Live time", formatShortest(*m.liveTime) + " s");
    if (m.realTime) line("Real time", formatShortest(*m.realTime) + " s");
    if (!m.startDateTime.empty()) line("Started", m.startDateTime);
    if (!m.description.empty()) line("Description", m.description);
    if (!m.detector.empty()) line("Detector", m.detector);
    if (m.wavelength) line("Wavelength", formatShortest(*m.wavelength) + " Angstrom");
    if (m.calibration) line("Calibration", storedLineText(*m.calibration) + " (stored in the file)");
    if (!m.trailerProblem.empty()) line("Trailer", m.trailerProblem);
    for (const auto& [name, value] : m.extra) line(name, value);
    return text;
}

std::string formatJson(const std::vector<ScanSummary>& summaries) {
    JsonWriter json;
    json.beginObject().key("files").beginArray();
    for (const auto& s : summaries) {
        json.beginObject();
        json.key("path").string(s.path);
        json.key("kind").string(s.format->name);
        json.key("kindName").string(s.format->label);
        json.key("block").number(std::to_string(s.block + 1));
        json.key("read").boolean(s.read);
        if (s.read) {
            json.key("blocks").number(std::to_string(s.blocks));
            json.key("signature");
            s.signature.empty() ? json.null() : json.string(s.signature);
            json.key("unit").string(s.inDegrees ? "deg" : "channel");
            json.key("start").number(s.start);
            json.key("end");
            s.end.empty() ? json.null() : json.number(s.end);
            json.key("step");
            s.step == "varies" ? json.null() : json.number(s.step);
            json.key("points").number(s.points);
            json.key("minCount").number(s.minCount);
            json.key("maxCount").number(s.maxCount);
            const ScanMetadata& m = s.metadata;
            json.key("metadata").beginObject();
            json.key("started");
            m.startDateTime.empty() ? json.null() : json.string(m.startDateTime);
            json.key("description");
            m.description.empty() ? json.null() : json.string(m.description);
            json.key("wavelength");
            m.wavelength ? json.number(formatShortest(*m.wavelength)) : json.null();
            auto optionalNumber = [&json](std::string_view name, const std::optional<double>& value) {
                json.key(name);
                value ? json.number(formatShortest(*value)) : json.null();
            };
            optionalNumber("liveTime", m.liveTime);
            optionalNumber("realTime", m.realTime);
            json.key("detector");
            m.detector.empty() ? json.null() : json.string(m.detector);
            json.key("storedCalibration");
            if (m.calibration) {
                json.beginObject();
                json.key("zero").number(formatShortest(m.calibration->zero));
                json.key("slope").number(formatShortest(m.calibration->slope));
                json.key("quadratic").number(formatShortest(m.calibration->quadratic));
                json.endObject();
            } else {
                json.null();
            }
            json.key("trailerProblem");
            m.trailerProblem.empty() ? json.null() : json.string(m.trailerProblem);
            json.key("items").beginObject();
            for (const auto& [name, value] : m.extra) json.key(name).string(value);
            json.endObject().endObject();
        }
        json.endObject();
    }
    json.endArray().endObject();
    return json.text();
}

std::string formatTable(const std::vector<Row>& rows) {
    std::array<std::size_t, kColumnCount> widths{};
    for (std::size_t c = 0; c < kColumnCount; ++c) widths[c] = std::string_view(kColumns[c].title).size();
    for (const auto& row : rows)
        for (std::size_t c = 0; c < kColumnCount; ++c) widths[c] = std::max(widths[c], row[c].size());

    std::string text;
    auto appendRow = [&](const auto& cell) {
        std::string line;
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            const std::string_view value = cell(c);
            const std::string padding(widths[c] - value.size(), ' ');
            if (c > 0) line += "  ";
            if (kColumns[c].rightAligned) line += padding;
            line += value;
            if (!kColumns[c].rightAligned) line += padding;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + "\n";
    };
    appendRow([](std::size_t c) { return std::string_view(kColumns[c].title); });
    for (const auto& row : rows) appendRow([&row](std::size_t c) { return std::string_view(row[c]); });
    return text;
}

int showInfo(const std::vector<std::string>& files, bool asJson) {
    ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false);
    std::vector<ScanSummary> summaries;
    bool allRead = true;
    for (const auto& file : files) {
        summaries.push_back(describe(file, 0, platform));
        allRead = allRead && summaries.back().read;
        for (int block = 1; block < summaries.back().blocks; ++block)
            summaries.push_back(describe(file, block, platform));
    }
    if (asJson) {
        print(formatJson(summaries));
    } else {
        std::vector<Row> rows;
        std::string metadata;
        for (const auto& summary : summaries) {
            rows.push_back(tableRow(summary));
            metadata += formatMetadata(summary);
        }
        print(formatTable(rows) + metadata);
    }
    return allRead ? kExitOk : kExitFailures;
}

}  // namespace

void addInfoCommand(CLI::App& app, CommandAction& action) {
    auto* info = app.add_subcommand(
        "info",
        "Show what each scan holds: format, blocks, signature, first and last channel or angle, step, "
        "points, count range (one row per block), and what the file says of its measurement");
    auto files = std::make_shared<std::vector<std::string>>();
    auto asJson = std::make_shared<bool>(false);
    addJsonFlag(*info, *asJson);
    info->add_option("FILE", *files,
                     "Channel files (*.chn), GUFI files (*.guf), the scans xylib reads, "
                     "or others (read as channel files)")
        ->required();
    info->callback([&action, files, asJson] { action = [files, asJson] { return showInfo(*files, *asJson); }; });
}

}  // namespace s2t::cli
