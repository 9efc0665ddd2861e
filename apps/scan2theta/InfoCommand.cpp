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

// The count range; channel files hold whole counts, GUFI files fractional ones.
void describeCounts(const Scan& scan, Row& row) {
    if (scan.points.empty()) {
        row[6] = row[7] = "-";
        return;
    }
    const auto [lowest, highest] = std::minmax_element(
        scan.points.begin(), scan.points.end(),
        [](const ScanPoint& a, const ScanPoint& b) { return a.count < b.count; });
    if (scan.ownAngles) {
        row[6] = formatFixed(lowest->count, 2);
        row[7] = formatFixed(highest->count, 2);
    } else {
        row[6] = formatWhole(lowest->count);
        row[7] = formatWhole(highest->count);
    }
}

// Reads one file as a conversion would, with the reader the input-format table gives it. The
// reader reports a file it cannot read; false then.
bool describe(const std::string& path, Platform& platform, Row& row) {
    const InputFormatInfo& format = inputFormatForPath(path);
    ConversionRequest request;
    request.inputFile = path;
    request.fileType = format.fileType;
    request.conversion = kFileAngles;  // angles as stored; nothing here needs a calibration
    CalibrationState calibration;
    calibration.installStartupValues();
    ConversionSettings settings;
    Scan scan;
    const int status = format.reader(request, scan, calibration, settings, platform);

    row = {path, std::string(format.label), "-", "-", "-", "-", "-", "-"};
    if (status != 0) {
        row[2] = "(not read)";
        return false;
    }
    row[5] = formatWhole(static_cast<double>(scan.points.size()));
    if (scan.ownAngles) {
        row[3] = formatFixed(scan.gufiHeader.firstAngle, 4) + " deg";
        row[4] = formatFixed(scan.gufiHeader.angleStep, 5) + " deg";
    } else {
        row[2] = hexByte(scan.chnHeader.bytes[0]) + " " + hexByte(scan.chnHeader.bytes[1]);
        row[3] = "channel " + formatWhole(scan.chnHeader.firstChannel());
        row[4] = "1 channel";
    }
    describeCounts(scan, row);
    return true;
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

int showInfo(const std::vector<std::string>& files) {
    ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false);
    std::vector<Row> rows(files.size());
    bool allRead = true;
    for (std::size_t i = 0; i < files.size(); ++i) allRead = describe(files[i], platform, rows[i]) && allRead;
    print(formatTable(rows));
    return allRead ? kExitOk : kExitFailures;
}

}  // namespace

void addInfoCommand(CLI::App& app, CommandAction& action) {
    auto* info = app.add_subcommand(
        "info", "Show what each scan holds: kind, signature, first channel or angle and step, points, "
                "count range");
    auto files = std::make_shared<std::vector<std::string>>();
    info->add_option("FILE", *files, "Channel files (*.chn), GUFI files (*.guf) or others (read as "
                                     "channel files)")
        ->required();
    info->callback([&action, files] { action = [files] { return showInfo(*files); }; });
}

}  // namespace s2t::cli
