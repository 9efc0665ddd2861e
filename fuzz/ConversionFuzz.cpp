// A whole conversion on fuzzed choices and a fuzzed input file: reader, mapping, resampling and
// the writer of the chosen format, all output kept in memory. Whatever the input, the conversion
// either writes one complete file or reports why not and writes nothing, an existing file is only
// ever replaced whole, and no text output holds a number that is not finite.
//
// Input layout: two choice bytes, the step, the range limits, the CPI target and wavelength, K and
// C (doubles), optionally calibration points (pairs of doubles), then the bytes of the input file.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

#include "FuzzSupport.h"
#include "calibration/Spline.h"
#include "engine/BatchRun.h"
#include "engine/OutputFormats.h"
#include "platform/MemoryFileSystem.h"
#include "platform/ScriptedPlatform.h"

using namespace s2t;

namespace {

// The largest constant-step grid a run may walk: keeps every input fast. Coarser steps still cover
// every code path of the pass.
constexpr double kMaxFuzzGrid = 5000.0;

struct Choices {
    Session session;
    ConversionRequest request;
    bool previousFile = false;  // a file already stands under the output name
    bool replace = false;       // the answer to "Replace?"
};

Choices decode(fuzz::ByteReader& in, const std::string& inputPath) {
    Choices c;
    const std::uint8_t flags = in.byte();
    const std::uint8_t format = in.byte();
    ConversionRequest& r = c.request;
    r.inputFile = inputPath;
    r.outputFile = "/out/scan";
    r.conversion = static_cast<Conversion>(flags & 3);
    r.fileType = (flags & 4) ? kGufiFileType : kChnFileType;
    r.options = format & 15;
    r.outputFileType = (format >> 5) % 5;
    c.previousFile = (flags & 32) != 0;
    c.replace = (flags & 64) != 0;

    ConversionSettings& s = c.session.settings;
    s.lineEnd = (flags & 8) ? LineEnd::Lf : LineEnd::CrLf;
    s.constStepOpts.method = (format & 16) ? kSplineInterpolation : kLinearInterpolation;
    s.constStepOpts.fractionalCounts = (r.options & kFractionalCounts) ? 1 : 0;
    s.constStepOpts.step = (in.uint16() % 20000 + 1) * 0.0005;  // only positive steps get this far
    s.theRangeOptions.minTwoTheta = in.finite();
    s.theRangeOptions.maxTwoTheta = in.finite();
    // The target as the CPI panel and the command line take it: up to 7 printable characters.
    s.CPIOpt.target = in.text(in.byte() % 8);
    for (char& ch : s.CPIOpt.target) ch = static_cast<char>(' ' + static_cast<unsigned char>(ch) % 95);
    s.CPIOpt.wavelength = in.finite();

    CalibrationState& calibration = c.session.calibration;
    calibration.installStartupValues();
    calibration.header.K = in.finite(kStartupK);
    calibration.header.C = in.finite(kStartupC);
    if (flags & 16) {
        calibration.calPoints.resize(in.byte() % 9);
        for (auto& point : calibration.calPoints) {
            point.channel = in.finite();
            point.twoTheta = in.finite();
        }
    }
    return c;
}

// With constant step, a step that would walk more than kMaxFuzzGrid values is made coarser.
void boundGrid(Choices& c) {
    if (!(c.request.options & kConstantStep)) return;
    const ReadResult read = readAnyFile(c.request, c.session.calibration);
    const Scan& probe = read.scan;
    if (!read || probe.points.empty()) return;
    double lo = probe.points.front().twoTheta, hi = lo;
    for (const auto& p : probe.points) {
        lo = std::min(lo, p.twoTheta);
        hi = std::max(hi, p.twoTheta);
    }
    const double span = hi - lo;
    double& step = c.session.settings.constStepOpts.step;
    if (std::isfinite(span) && span / step > kMaxFuzzGrid) step = span / kMaxFuzzGrid;
}

std::string_view extensionOf(const ConversionRequest& r) {
    if (r.conversion == kNoConversion) return "txt";
    const OutputFormatInfo* format = findOutputFormat(r.outputFileType);
    return format ? format->extension : "";
}

bool endsEveryLine(std::string_view text, std::string_view eol) {
    if (text.empty()) return true;
    if (text.size() < eol.size() || text.substr(text.size() - eol.size()) != eol) return false;
    if (eol == "\r\n") {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    } else if (text.find('\r') != std::string_view::npos) {
        return false;
    }
    return true;
}

void checkOutput(const Choices& c, const std::string& text) {
    const ConversionRequest& r = c.request;
    const std::string_view eol = lineEndText(c.session.settings.lineEnd);
    if (r.conversion != kNoConversion && r.outputFileType == kGufiOutput) {
        // What the GUFI writer wrote reads back through the GUFI reader.
        fuzz::InputFile& file = fuzz::inputFile();
        file.assign(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        ConversionRequest back;
        back.inputFile = file.path();
        back.fileType = kGufiFileType;
        back.conversion = kFileAngles;
        const ReadResult read = readAnyFile(back, c.session.calibration);
        S2T_FUZZ_CHECK(bool(read));
        S2T_FUZZ_CHECK(text.size() == 643 + 4 * read.scan.points.size());
        return;
    }
    if (fuzz::holdsNonFiniteText(text)) {
        const auto at = std::min(text.find("nan"), text.find("inf"));
        std::fprintf(stderr, "output around the finding: %s\n", text.substr(at > 60 ? at - 60 : 0, 120).c_str());
        fuzz::fail("a number that is no number in the output", __FILE__, __LINE__);
    }
    const bool gridValues =
        r.conversion != kNoConversion && (r.outputFileType == kXfitOutput || r.outputFileType == kLhpmOutput);
    // XFIT and LHPM end their last line of values only when it is full; every other line ends.
    if (!gridValues) S2T_FUZZ_CHECK(endsEveryLine(text, eol));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    fuzz::InputFile& input = fuzz::inputFile();
    Choices c = decode(in, input.path());
    input.assign(in.rest(), in.restSize());
    // As the batch run does before every file.
    spline(std::span<CalibrationPoint>(c.session.calibration.calPoints), true);
    boundGrid(c);

    auto files = std::make_shared<MemoryFileSystem>();
    const std::string extension(extensionOf(c.request));
    const std::string target = c.request.outputFile + "." + extension;
    if (c.previousFile) files->files[target] = "previous";
    const auto before = files->files;
    ScriptedPlatform platform;
    platform.recordProgressValues = false;
    platform.setFileSystem(files);
    platform.confirmAnswers = {c.replace};

    const bool written = convertAnyFile(c.request, c.session, platform);
    S2T_FUZZ_CHECK(files->openFiles == 0);
    if (!written) {
        S2T_FUZZ_CHECK(!platform.messages().empty());
        S2T_FUZZ_CHECK(files->files == before);
        return 0;
    }
    // One file more, or the previous one replaced when the user agreed.
    const std::string chosen = c.previousFile && !c.replace ? c.request.outputFile + "-0001." + extension : target;
    S2T_FUZZ_CHECK(files->files.count(chosen) == 1);
    S2T_FUZZ_CHECK(files->files.size() == before.size() + (chosen == target && c.previousFile ? 0 : 1));
    if (chosen != target) S2T_FUZZ_CHECK(files->files[target] == "previous");
    checkOutput(c, files->files[chosen]);
    return 0;
}
