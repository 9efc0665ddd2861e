#include "engine/InputFormats.h"

#include <array>

#include "engine/BinaryInput.h"
#include "engine/ScanReaders.h"
#include "engine/XylibInput.h"
#include "options/LineText.h"

namespace s2t {
namespace {

bool xylibCheck(const InputFormatInfo& format, std::string_view head) { return xylibRecognises(format.name, head); }

constexpr auto kChannels = InputAxis::Channels;
constexpr auto kAngles = InputAxis::Angles;

// Formats that share an extension are tried in the order of the table, so the more particular
// check comes first (".dat": Rigaku, Canberra, RIET7/LHPM/XFIT, then plain columns). xylib's own
// names are the short names of its formats.
constexpr std::array<InputFormatInfo, 25> kFormats = {{
    {kChnFileType, kChnFileType, "chn", "MCA channel file", "chn", nullptr, false, kChannels, readMCAFile},
    {kGufiFileType, kGufiFileType, "gufi", "GUFI file", "guf", nullptr, false, kAngles, readGUFIFile},
    {10, kAngleScanKind, "cpi", "Sietronics Sieray CPI", "cpi", xylibCheck, true, kAngles, readXylibFile},
    {11, kAngleScanKind, "uxd", "Bruker Diffrac-AT UXD", "uxd", xylibCheck, true, kAngles, readXylibFile},
    {12, kAngleScanKind, "rigaku_dat", "Rigaku DAT", "dat", xylibCheck, true, kAngles, readXylibFile},
    {13, kAngleScanKind, "bruker_raw", "Siemens/Bruker RAW", "raw", xylibCheck, true, kAngles, readXylibFile},
    {14, kAngleScanKind, "bruker_spc", "Bruker ESP300-E SPC", "spc", xylibCheck, false, kAngles, readXylibFile},
    {15, kAngleScanKind, "vamas", "VAMAS ISO-14976", "vms", xylibCheck, true, kAngles, readXylibFile},
    {16, kAngleScanKind, "philips_udf", "Philips UDF", "udf", xylibCheck, true, kAngles, readXylibFile},
    {17, kAngleScanKind, "spe", "PI WinSpec SPE", "spe", xylibCheck, false, kAngles, readXylibFile},
    {18, kAngleScanKind, "pdcif", "Powder Diffraction CIF", "cif", xylibCheck, true, kAngles, readXylibFile},
    {19, kAngleScanKind, "philips_rd", "Philips PC-APD RD/SD", "rd sd", xylibCheck, true, kAngles, readXylibFile},
    {20, kAngleScanKind, "xrdml", "PANalytical XRDML", "xrdml", xylibCheck, true, kAngles, readXylibFile},
    {21, kChnFileType, "canberra_mca", "Canberra MCA", "mca dat", xylibCheck, true, kChannels, readXylibFile},
    {22, kChnFileType, "canberra_cnf", "Canberra CNF", "cnf", xylibCheck, true, kChannels, readXylibFile},
    {23, kAngleScanKind, "xfit_xdd", "XFIT XDD", "xdd", xylibCheck, false, kAngles, readXylibFile},
    {24, kAngleScanKind, "riet7", "RIET7/LHPM/PSI_DMC", "dat", xylibCheck, false, kAngles, readXylibFile},
    {25, kAngleScanKind, "dbws", "DBWS data", "dbw rit neu", xylibCheck, false, kAngles, readXylibFile},
    {26, kAngleScanKind, "chiplot", "ChiPLOT data", "chi", xylibCheck, false, kAngles, readXylibFile},
    {27, kAngleScanKind, "spectra", "Spectra / VGX 900", "1 2 3 4 5 6 7 8 9", xylibCheck, true, kAngles, readXylibFile},
    {28, kAngleScanKind, "specsxy", "SPECS SpecsLab2 xy", "xy", xylibCheck, true, kAngles, readXylibFile},
    {29, kAngleScanKind, "csv", "CSV or TSV", "csv tsv tab", xylibCheck, false, kAngles, readXylibFile},
    {30, kAngleScanKind, "xsyg", "Freiberg Instruments Lexsyg", "xsyg", xylibCheck, true, kAngles, readXylibFile},
    {31, kAngleScanKind, "text", "x-y text", "xy txt dat asc prn", xylibCheck, false, kAngles, readXylibFile},
    {kOtherFileType, kOtherFileType, "unknown", "unknown", "", nullptr, false, kChannels, readMCAFile},
}};

// The text after the last dot; empty without one. A dot in a directory name leaves a separator
// in the text, which matches no extension.
std::string_view extensionOf(std::string_view path) {
    const auto dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
}

bool goesBy(const InputFormatInfo& format, std::string_view extension) {
    std::string_view rest = format.extensions;
    while (!rest.empty()) {
        const auto space = rest.find(' ');
        const std::string_view word = rest.substr(0, space);
        if (!word.empty() && strCmp(word, extension) == 0) return true;
        if (space == std::string_view::npos) break;
        rest.remove_prefix(space + 1);
    }
    return false;
}

const InputFormatInfo& unknownKind() { return kFormats.back(); }

// The format that the extension alone decides; null when the content must be looked at.
const InputFormatInfo* byExtensionAlone(std::string_view extension) {
    if (extension.empty()) return nullptr;
    for (const auto& format : kFormats)
        if (!format.recognises && goesBy(format, extension) && format.fileType != kOtherFileType) return &format;
    return nullptr;
}

}  // namespace

std::span<const InputFormatInfo> inputFormats() { return kFormats; }

const InputFormatInfo& findInputFormat(std::int32_t fileType) {
    for (const auto& format : kFormats)
        if (format.fileType == fileType) return format;
    return unknownKind();
}

const InputFormatInfo* findInputFormatByName(std::string_view name) {
    for (const auto& format : kFormats)
        if (strCmp(format.name, name) == 0) return &format;
    return nullptr;
}

const InputFormatInfo& inputFormatFor(std::string_view path, std::string_view head) {
    const std::string_view extension = extensionOf(path);
    if (const InputFormatInfo* format = byExtensionAlone(extension)) return *format;
    if (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF && static_cast<unsigned char>(head[1]) == 0xFF)
        return unknownKind();
    if (head.empty()) return unknownKind();
    if (!extension.empty())
        for (const auto& format : kFormats)
            if (format.recognises && goesBy(format, extension) && format.recognises(format, head)) return format;
    for (const auto& format : kFormats)
        if (format.recognises && format.byContentAlone && format.recognises(format, head)) return format;
    return unknownKind();
}

const InputFormatInfo& inputFormatForPath(const std::string& path) {
    if (const InputFormatInfo* format = byExtensionAlone(extensionOf(path))) return *format;
    // Only a regular file is looked into: what a pipe delivers would be gone for its reader.
    std::string head(kContentHeadBytes, '\0');
    BinaryInput input(path);
    head.resize(input.isOpen() && input.size() >= 0 ? input.read(head.data(), head.size()) : 0);
    return inputFormatFor(path, head);
}

std::string inputFormatNames() {
    std::string names;
    const std::size_t count = kFormats.size() - 1;  // the unknown kind last, not named
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) names += i + 1 == count ? " or " : ", ";
        names += kFormats[i].name;
    }
    return names;
}

}  // namespace s2t
