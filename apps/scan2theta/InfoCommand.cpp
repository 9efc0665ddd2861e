// scan2theta info: what each input holds, read by the reader a conversion would use: its kind,
// signature, first channel or first angle and step, number of points and count range.
#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "Cli.h"
#include "engine/ConversionRecords.h"
#include "engine/InputFormats.h"
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
    {"File", false},   {"Kind", false},  {"Signature", false}, {"Start", true},
    {"Step", true},    {"Points", true}, {"Min count", true},  {"Max count", true},
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
    bool read = false;
    std::string signature;
    std::string start, step;  // in channels or in degrees
    bool inDegrees = false;
    std::string points;
    std::string minCount, maxCount;
};

// The count range; channel files hold whole counts, GUFI files fractional ones.
void describeCounts(const Scan& scan, ScanSummary& summary) {
    if (scan.points.empty()) return;
    const auto [lowest, highest] = std::minmax_element(
        scan.points.begin(), scan.points.end(),
        [](const ScanPoint& a, const ScanPoint& b) { return a.count < b.count; });
    if (scan.ownAngles) {
        summary.minCount = formatFixed(lowest->count, 2);
        summary.maxCount = formatFixed(highest->count, 2);
    } else {
        summary.minCount = formatWhole(lowest->count);
        summary.maxCount = formatWhole(highest->count);
    }
}

// Reads one file as a conversion would, with the reader the input-format table gives it. The
// reader reports a file it cannot read; read stays false then.
ScanSummary describe(const std::string& path, Platform& platform) {
    const InputFormatInfo& format = inputFormatForPath(path);
    Scan scan;
    ConversionSettings settings;
    // Angles as stored; nothing here needs a calibration.
    const int status = readScanFile(path, kFileAngles, scan, settings, platform);

    ScanSummary summary;
    summary.path = path;
    summary.format = &format;
    if (status != 0) return summary;
    summary.read = true;
    summary.points = formatWhole(static_cast<double>(scan.points.size()));
    if (scan.ownAngles) {
        summary.inDegrees = true;
        summary.start = formatFixed(settings.startAngle, 4);
        summary.step = formatFixed(settings.inputStep, 5);
    } else {
        // Only a channel file has a signature; other channel spectra start at channel 0.
        if (scan.chnHeader.signature() == -1)
            summary.signature = hexByte(scan.chnHeader.bytes[0]) + " " + hexByte(scan.chnHeader.bytes[1]);
        summary.start = formatWhole(scan.chnHeader.firstChannel());
        summary.step = "1";
    }
    describeCounts(scan, summary);
    return summary;
}

Row tableRow(const ScanSummary& s) {
    auto orDash = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    Row row = {s.path, std::string(s.format->label), s.read ? orDash(s.signature) : "(not read)", "-", "-", "-", "-", "-"};
    if (!s.read) return row;
    row[3] = s.inDegrees ? s.start + " deg" : "channel " + s.start;
    row[4] = s.inDegrees ? s.step + " deg" : "1 channel";
    row[5] = s.points;
    row[6] = orDash(s.minCount);
    row[7] = orDash(s.maxCount);
    return row;
}

std::string formatJson(const std::vector<ScanSummary>& summaries) {
    JsonWriter json;
    json.beginObject().key("files").beginArray();
    for (const auto& s : summaries) {
        json.beginObject();
        json.key("path").string(s.path);
        json.key("kind").string(s.format->name);
        json.key("kindName").string(s.format->label);
        json.key("read").boolean(s.read);
        if (s.read) {
            json.key("signature");
            s.signature.empty() ? json.null() : json.string(s.signature);
            json.key("unit").string(s.inDegrees ? "deg" : "channel");
            json.key("start").number(s.start);
            json.key("step").number(s.step);
            json.key("points").number(s.points);
            json.key("minCount").number(s.minCount);
            json.key("maxCount").number(s.maxCount);
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
        summaries.push_back(describe(file, platform));
        allRead = allRead && summaries.back().read;
    }
    if (asJson) {
        print(formatJson(summaries));
    } else {
        std::vector<Row> rows;
        for (const auto& summary : summaries) rows.push_back(tableRow(summary));
        print(formatTable(rows));
    }
    return allRead ? kExitOk : kExitFailures;
}

}  // namespace

void addInfoCommand(CLI::App& app, CommandAction& action) {
    auto* info = app.add_subcommand(
        "info", "Show what each scan holds: kind, signature, first channel or angle and step, points, "
                "count range");
    auto files = std::make_shared<std::vector<std::string>>();
    auto asJson = std::make_shared<bool>(false);
    addJsonFlag(*info, *asJson);
    info->add_option("FILE", *files, "Channel files (*.chn), GUFI files (*.guf) or others (read as "
                                     "channel files)")
        ->required();
    info->callback([&action, files, asJson] { action = [files, asJson] { return showInfo(*files, *asJson); }; });
}

}  // namespace s2t::cli
