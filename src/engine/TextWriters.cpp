#include "engine/OutputPass.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"

namespace s2t {

void writeTThetaLine(std::string& out, std::uint16_t options, double twoTheta, double count, LineEnd lineEnd) {
    if (options & kWholeTwoTheta)
        appendWhole(out, twoTheta);
    else
        appendFixed(out, twoTheta, 8, 9);
    out.push_back('\t');
    if (options & kFractionalCounts)
        appendFixed(out, count, 4, 8);
    else
        appendWhole(out, count);
    out.append(lineEndText(lineEnd));
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
    for (long long i = 0; i < n; ++i) {
        updateProgress(i, n, request.progressPanel);
        appendInteger(out, firstChannel + i);
        out.push_back('\t');
        appendFixed(out, scan.points[static_cast<std::size_t>(i)].count, 0, 8);
        out.append(lineEndText(lineEnd));
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
