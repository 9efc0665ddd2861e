#include "engine/OutputPass.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"

namespace s2t {

void writeCPIHeader(std::string& out, double first, double step, double last, const CPIOptions& cpi,
                    const std::string& date, LineEnd lineEnd) {
    const std::string_view eol = lineEndText(lineEnd);
    out.append("SIETRONICS XRD SCAN").append(eol);
    appendFixed(out, first, 8);
    out.append(eol);
    appendFixed(out, last, 8);
    out.append(eol);
    appendFixed(out, step, 8);
    out.append(eol);
    // Exactly two characters of the target; a shorter target is padded with spaces.
    std::string target = cpi.target.substr(0, 2);
    target.resize(2, ' ');
    out.append(target).append(eol);
    appendFixed(out, cpi.wavelength, 5);
    out.append(eol);
    out.append(date).append(eol);
    out.append("1").append(eol);
    out.append("KORVANDELT").append(eol);
    out.append("SCANDATA").append(eol);
}

char* writeCPICount(char* at, std::uint16_t options, double count, LineEnd lineEnd) {
    at = options & kFractionalCounts ? putFixed(at, count, 4, 8) : putWhole(at, count);
    return putLineEnd(at, lineEnd);
}

bool writeCPIFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    const LineEnd lineEnd = session.settings.lineEnd;
    const std::string date = platform.dateText();
    return runOutputPass(
        request, scan, session, platform, "cpi",
        [&](OutputStream& stream, const HeaderRange& range, const Grid& grid) {
            writeCPIHeader(stream.buffer(), range.first, grid.step, range.last, session.settings.CPIOpt, date, lineEnd);
        },
        [&](char* at, long long, double, double y) { return writeCPICount(at, request.options, y, lineEnd); });
}

}  // namespace s2t
