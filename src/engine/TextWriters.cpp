#include <cmath>

#include "engine/OutputPass.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"

namespace s2t {

char* writeChannelLine(char* at, long long channel, double count, LineEnd lineEnd) {
    at = putInteger(at, channel);
    *at++ = '\t';
    // A whole count below 10 000 (nearly every count of a channel file) reads the same as a whole
    // number, which takes the short path; -0 (a GUFI float) must keep its sign.
    const bool shortWhole = count == std::trunc(count) && !std::signbit(count) && count < 10000.0;
    at = shortWhole ? putWhole(at, count, 8) : putFixed(at, count, 0, 8);
    return putLineEnd(at, lineEnd);
}

char* writeTThetaLine(char* at, std::uint16_t options, double twoTheta, double count, LineEnd lineEnd) {
    at = options & kWholeTwoTheta ? putWhole(at, twoTheta) : putFixed(at, twoTheta, 8, 9);
    *at++ = '\t';
    at = options & kFractionalCounts ? putFixed(at, count, 4, 8) : putWhole(at, count);
    return putLineEnd(at, lineEnd);
}

bool writeTextFileChannels(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    DirectOutputTarget direct(platform, request.progressPanel, request.batchFiles);
    OutputTarget& target = outputTargetOf(request, direct);
    if (!target.open(request.outputFile, "txt", messages::kChannelOutputFailure)) return false;
    const LineEnd lineEnd = session.settings.lineEnd;
    // A scan with angles of its own has no channel numbers: its points are listed by index.
    const long long firstChannel = scan.ownAngles ? 0 : scan.chnHeader.firstChannel();
    const long long n = static_cast<long long>(scan.points.size());
    OutputStream stream(target.file());
    stream.buffer().append("Channel\tCount").append(lineEndText(lineEnd));
    PassProgress progress(n, request.progressPanel);
    TextBlock block(stream);
    for (long long i = 0; i < n; ++i) {
        progress.at(i);
        block.advance(
            writeChannelLine(block.at(), firstChannel + i, scan.points[static_cast<std::size_t>(i)].count, lineEnd));
    }
    block.flush();
    stream.flush();
    return target.finish(messages::kChannelOutputFailure);
}

bool writeTextFileTTheta(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    const LineEnd lineEnd = session.settings.lineEnd;
    return runOutputPass(
        request, scan, session, platform, "txt",
        [&](OutputStream& stream, const HeaderRange&, const Grid&) {
            stream.buffer().append("2-Theta\tCount").append(lineEndText(lineEnd));
        },
        [&](char* at, long long, double x, double y) { return writeTThetaLine(at, request.options, x, y, lineEnd); });
}

}  // namespace s2t
