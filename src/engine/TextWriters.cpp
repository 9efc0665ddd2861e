#include "engine/OutputPass.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"

namespace s2t {

void writeTThetaLine(std::string& out, std::uint16_t options, double twoTheta, double count, LineEnd lineEnd) {
    // The whole line is built here and appended at once: this runs for every value written.
    char line[2 * kNumberRoom + 4];
    char* end = options & kWholeTwoTheta ? putWhole(line, twoTheta) : putFixed(line, twoTheta, 8, 9);
    *end++ = '\t';
    end = options & kFractionalCounts ? putFixed(end, count, 4, 8) : putWhole(end, count);
    out.append(line, putLineEnd(end, lineEnd));
}

bool writeTextFileChannels(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    DirectOutputTarget direct(platform, request.progressPanel);
    OutputTarget& target = outputTargetOf(request, direct);
    if (!target.open(request.outputFile, "txt", kChannelOutputFailure)) return false;
    const LineEnd lineEnd = session.settings.lineEnd;
    // A GUFI scan has no channel numbers of its own: its points are listed by index.
    const long long firstChannel = scan.fromGufi ? 0 : scan.chnHeader.firstChannel();
    const long long n = static_cast<long long>(scan.points.size());
    OutputStream stream(target.file());
    std::string& out = stream.buffer();
    out.append("Channel\tCount").append(lineEndText(lineEnd));
    PassProgress progress(n, request.progressPanel);
    for (long long i = 0; i < n; ++i) {
        progress.at(i);
        char line[2 * kNumberRoom + 4];
        char* end = putInteger(line, firstChannel + i);
        *end++ = '\t';
        end = putFixed(end, scan.points[static_cast<std::size_t>(i)].count, 0, 8);
        out.append(line, putLineEnd(end, lineEnd));
        stream.flushIfFull();
    }
    stream.flush();
    return target.finish(kChannelOutputFailure);
}

bool writeTextFileTTheta(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    const LineEnd lineEnd = session.settings.lineEnd;
    return runOutputPass(
        request, scan, session, platform, "txt",
        [&](OutputStream& stream, const HeaderRange&, const Grid&) {
            stream.buffer().append("2-Theta\tCount").append(lineEndText(lineEnd));
        },
        [&](OutputStream& stream, long long, double x, double y) {
            writeTThetaLine(stream.buffer(), request.options, x, y, lineEnd);
        });
}

}  // namespace s2t
