#include "engine/AnnotatedOutput.h"

#include <algorithm>
#include <cmath>

#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

std::string lineText(double K, double C) {
    return "2-theta = C x channel + K, K = " + formatShortest(K) + ", C = " + formatShortest(C);
}

std::string lineEquation(double K, double C) {
    return "2theta = " + formatShortest(K) + " + " + formatShortest(C) + " * channel";
}

// Text from a file or a path as one line of a header: no line break, no control character.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

}  // namespace

std::vector<std::string> annotationLines(const ScanAnnotation& a, bool withSigma) {
    std::vector<std::string> lines;
    lines.push_back(a.program);
    lines.push_back("Source: " + oneLine(a.source));
    lines.push_back("Calibration: " + a.calibration);
    if (a.wavelength) lines.push_back("Wavelength: " + formatShortest(*a.wavelength) + " Angstrom");
    if (const ScanMetadata* m = a.metadata) {
        if (!m->description.empty()) lines.push_back("Description: " + oneLine(m->description));
        if (!m->detector.empty()) lines.push_back("Detector: " + oneLine(m->detector));
        if (!m->startDateTime.empty()) lines.push_back("Started: " + m->startDateTime);
        if (m->liveTime) lines.push_back("Live time: " + formatShortest(*m->liveTime) + " s");
        if (m->realTime) lines.push_back("Real time: " + formatShortest(*m->realTime) + " s");
    }
    if (!a.resampling.empty())
        lines.push_back("Resampled: " + a.resampling + (withSigma ? ", uncertainties propagated" : ""));
    if (a.perSecondLiveTime)
        lines.push_back("Counts per second: divided by the live time of " + formatShortest(*a.perSecondLiveTime) +
                        " s");
    lines.push_back(withSigma ? "2theta count sigma" : "2theta count");
    return lines;
}

ScanAnnotation annotateScan(const ConversionRequest& request, const Scan& scan, const Session& session) {
    ScanAnnotation a;
    a.program = std::string("scan2theta ") + S2T_VERSION;
    a.source = request.inputFile;
    a.metadata = &scan.metadata;
    const CalibrationHeader& line = session.calibration.header;
    switch (request.conversion) {
    case kSplineConversion: {
        const std::string spline =
            "cubic spline through " + std::to_string(session.calibration.calPoints.size()) + " points";
        a.calibration = spline;
        a.equation = spline;
        a.calibrationStandard = standardNameFor(session.calibrationOrigin, session.calibration);
        break;
    }
    case kTrailerCalibration:
        if (scan.metadata.calibration) {
            const StoredCalibration& stored = *scan.metadata.calibration;
            a.calibration = "the line stored in the file, " + lineText(stored.zero, stored.slope);
            a.equation = lineEquation(stored.zero, stored.slope);
        }
        break;
    case kFileAngles:
        if (scan.ownAngles) {
            a.calibration = "the file's own angles";
            break;
        }
        [[fallthrough]];  // a channel file has no angles of its own: the straight line
    default:
        a.calibration = lineText(line.K, line.C);
        a.equation = lineEquation(line.K, line.C);
        a.calibrationStandard = standardNameFor(session.calibrationOrigin, session.calibration);
        break;
    }
    if (scan.metadata.wavelength)
        a.wavelength = scan.metadata.wavelength;
    else if (session.settings.CPIOpt.wavelength > 0.0)
        a.wavelength = session.settings.CPIOpt.wavelength;
    if (request.options & kConstantStep) {
        a.resampling = "constant step of " + formatShortest(session.settings.constStepOpts.step) + " degrees by " +
                       (session.settings.constStepOpts.method == kSplineInterpolation ? "cubic spline" : "linear") +
                       " interpolation";
    }
    if (request.options & kCountsPerSecond) a.perSecondLiveTime = scan.metadata.liveTime;
    return a;
}

double resampledUncertainty(std::span<const ScanPoint> points, double x, IntervalCursor& cursor) {
    if (points.empty()) return 1.0;
    if (points.size() == 1) return std::sqrt(countVariance(points[0].count));
    const std::size_t lower = splineInterval(points, x, &cursor);
    const ScanPoint& a = points[lower];
    const ScanPoint& b = points[lower + 1];
    const double h = b.twoTheta - a.twoTheta;
    if (h == 0.0) return std::sqrt(countVariance(a.count));
    const double t = (x - a.twoTheta) / h;
    return std::sqrt((1.0 - t) * (1.0 - t) * countVariance(a.count) + t * t * countVariance(b.count));
}

bool checkPerSecond(const ConversionRequest& request, const Scan& scan, Platform& platform) {
    if (!(request.options & kCountsPerSecond) || scan.metadata.liveTime) return true;
    platform.messagePopup(messages::kError, messages::noLiveTime(request.inputFile));
    return false;
}

DeliveredPoints countDelivered(const Grid& grid, const Scan& scan, const ConversionRequest& request,
                               const ConversionSettings& settings) {
    // The same walk as the pass, without progress: what it delivers, nothing written.
    ConversionRequest quiet = request;
    quiet.progressPanel = nullptr;
    DeliveredPoints delivered;
    walkGrid(grid, scan, quiet, settings, [&](long long, double x, double) {
        if (delivered.count == 0) delivered.first = x;
        delivered.last = x;
        ++delivered.count;
    });
    return delivered;
}

char* putAnnotatedCount(char* at, std::uint16_t options, double count) {
    if (options & kCountsPerSecond) return putFixed(at, count, 6);
    return options & kFractionalCounts ? putFixed(at, count, 4) : putWhole(at, count);
}

char* putAnnotatedSigma(char* at, std::uint16_t options, double sigma) {
    return putFixed(at, sigma, options & kCountsPerSecond ? 6 : 4);
}

char* putAnnotatedAngle(char* at, std::uint16_t options, double twoTheta) {
    return options & kWholeTwoTheta ? putWhole(at, twoTheta) : putFixed(at, twoTheta, 8);
}

namespace {

// GSAS-II's xye reader takes a comment line holding a lower-case q as the mark of a scan in Q and
// reads its second word as the wavelength: no comment line of ours may hold one.
std::string columnsComment(std::string text) {
    std::replace(text.begin(), text.end(), 'q', 'Q');
    return "# " + text;
}

}  // namespace

bool writeAnnotatedColumns(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform,
                           std::string_view extension, bool withSigma) {
    const LineEnd lineEnd = session.settings.lineEnd;
    const std::uint16_t options = request.options;
    return runAnnotatedPass(
        request, scan, session, platform, extension,
        [&](OutputStream& stream, const ScanAnnotation& annotation, const Grid&, const DeliveredPoints&) {
            for (const std::string& line : annotationLines(annotation, withSigma))
                stream.buffer().append(columnsComment(line)).append(lineEndText(lineEnd));
        },
        [&](char* at, const AnnotatedPoint& point) {
            at = putAnnotatedAngle(at, options, point.twoTheta);
            *at++ = ' ';
            at = putAnnotatedCount(at, options, point.count);
            if (withSigma) {
                *at++ = ' ';
                at = putAnnotatedSigma(at, options, point.sigma);
            }
            return putLineEnd(at, lineEnd);
        });
}

}  // namespace s2t
