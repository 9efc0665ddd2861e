// GSAS FXYE: a title line, '#' comment lines, the line "BANK 1 N N CONS first step 0 0 FXYE" (2-theta
// in centidegrees; a step that is not constant is given as the mean step), then one line per point:
// 2-theta in centidegrees, count, uncertainty.
#include "engine/AnnotatedOutput.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

constexpr std::size_t kTitleWidth = 80;  // a GSAS title is one 80-column record

std::string titleOf(const ScanAnnotation& annotation) {
    std::string title = annotation.source.substr(annotation.source.find_last_of("/\\") + 1);
    if (annotation.metadata && !annotation.metadata->description.empty())
        title += ": " + annotation.metadata->description;
    for (char& c : title)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    if (title.size() > kTitleWidth) title.resize(kTitleWidth);
    return title;
}

void appendBankLine(std::string& out, const Grid& grid, const DeliveredPoints& delivered, bool constantStep) {
    double step = grid.step;
    if (!constantStep)
        step =
            delivered.count > 1 ? (delivered.last - delivered.first) / static_cast<double>(delivered.count - 1) : 0.0;
    out += "BANK 1 ";
    appendInteger(out, delivered.count);
    out += ' ';
    appendInteger(out, delivered.count);
    out += " CONS ";
    appendFixed(out, delivered.first * 100.0, 4);
    out += ' ';
    appendFixed(out, step * 100.0, 4);
    out += " 0 0 FXYE";
}

}  // namespace

bool writeFXYEFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    const LineEnd lineEnd = session.settings.lineEnd;
    const std::uint16_t options = request.options;
    return runAnnotatedPass(
        request, scan, session, platform, "fxye",
        [&](OutputStream& stream, const ScanAnnotation& annotation, const Grid& grid,
            const DeliveredPoints& delivered) {
            std::string& out = stream.buffer();
            out.append(titleOf(annotation)).append(lineEndText(lineEnd));
            for (const std::string& line : annotationLines(annotation, true))
                out.append("# ").append(line).append(lineEndText(lineEnd));
            appendBankLine(out, grid, delivered, (options & kConstantStep) != 0);
            out.append(lineEndText(lineEnd));
        },
        [&](char* at, const AnnotatedPoint& point) {
            const double centidegrees = point.twoTheta * 100.0;
            at = options & kWholeTwoTheta ? putWhole(at, centidegrees) : putFixed(at, centidegrees, 6);
            *at++ = ' ';
            at = putAnnotatedCount(at, options, point.count);
            *at++ = ' ';
            at = putAnnotatedSigma(at, options, point.sigma);
            return putLineEnd(at, lineEnd);
        });
}

}  // namespace s2t
