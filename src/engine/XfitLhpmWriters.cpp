#include <cstring>

#include "engine/OutputPass.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

void appendGridLine(std::string& out, double first, double step, double last, LineEnd lineEnd) {
    appendFixed(out, first, 3, 8);
    appendFixed(out, step, 3, 8);
    appendFixed(out, last, 3, 8);
    out.append(lineEndText(lineEnd));
}

template <class Header>
bool writeGridFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform,
                   Header&& header) {
    const LineEnd lineEnd = session.settings.lineEnd;
    return runOutputPass(
        request, scan, session, platform, "dat",
        [&](OutputStream& stream, const HeaderRange& range, const Grid& grid) {
            header(stream.buffer(), range.first, grid.step, range.last, lineEnd);
        },
        [&](char* at, long long i, double, double y) { return writeXFitCount(at, request.options, y, i, lineEnd); });
}

}  // namespace

void writeXFITHeader(std::string& out, double first, double step, double last, LineEnd lineEnd) {
    for (int i = 0; i < 4; ++i) out.append(lineEndText(lineEnd));
    appendGridLine(out, first, step, last, lineEnd);
}

void writeLhpmHeader(std::string& out, double first, double step, double last, LineEnd lineEnd) {
    appendGridLine(out, first, step, last, lineEnd);
}

char* writeXFitCount(char* at, std::uint16_t options, double count, long long index, LineEnd lineEnd) {
    char* end = options & kFractionalCounts ? putFixed(at, count, 2, 8) : putWhole(at, count, 8);
    // The fields have no separator: a value wider than its field gets one space before it, so
    // that it never runs into its neighbour.
    if (end - at > 8) {
        std::memmove(at + 1, at, static_cast<std::size_t>(end - at));
        *at = ' ';
        ++end;
    }
    if ((index + 1) % 10 == 0) end = putLineEnd(end, lineEnd);
    return end;
}

bool writeXFITFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    return writeGridFile(request, scan, session, platform, writeXFITHeader);
}

bool writeLhpmFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    return writeGridFile(request, scan, session, platform, writeLhpmHeader);
}

}  // namespace s2t
