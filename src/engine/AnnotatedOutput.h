// What the annotated formats (xy, xye, fxye, pdCIF) share: the description of where the data came
// from and how it was made, the standard uncertainty of every count, counts per second, and the
// output pass that delivers each point with its uncertainty.
//
// Uncertainties follow counting statistics. A count as read has the variance of the count itself
// (a count of 0 or below: 1), so its uncertainty is sqrt(count). A count resampled onto a constant
// step is a weighted sum of counts, and its variance is the sum of the squared weights times the
// counts' variances: linear interpolation between counts a and b at weights 1 - t and t gives
// sqrt((1 - t)^2 a + t^2 b). The spline's value depends on every count of the scan, with weights
// that fall off fast away from x; its uncertainty is taken as that of linear interpolation between
// the two counts around x, which carry nearly all of the weight.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calibration/Spline.h"
#include "engine/OutputPass.h"

namespace s2t {

struct ScanAnnotation {
    std::string program;  // "scan2theta 0.1.0"
    std::string source;   // the input file as named
    // How channels became angles, in words: the straight line with its K and C, "cubic spline
    // through N points", "the file's own angles", or the line stored in the file.
    std::string calibration;
    // The same as an equation in the channel ("2theta = K + C * channel"); empty for the file's own
    // angles.
    std::string equation;
    // The standard the calibration was made from, when it is known and the conversion used it;
    // empty otherwise.
    std::string calibrationStandard;
    std::optional<double> wavelength;  // Angstrom: the file's own, else the one given for the output
    // "constant step of 0.02 degrees by linear interpolation"; empty for the points as read.
    std::string resampling;
    std::optional<double> perSecondLiveTime;  // set when counts are given per second of this live time
    const ScanMetadata* metadata = nullptr;
};

ScanAnnotation annotateScan(const ConversionRequest& request, const Scan& scan, const Session& session);

// The annotation as "Name: value" lines (no line ends; control characters of names become '?'),
// ending with the column line ("2theta count", with " sigma" when withSigma).
std::vector<std::string> annotationLines(const ScanAnnotation& annotation, bool withSigma);

// The variance of a count as read, by counting statistics.
inline double countVariance(double count) { return count > 0.0 ? count : 1.0; }

// The standard uncertainty of the count resampled at 2-theta x (see above). points ascending in
// 2-theta; cursor kept between the values of one ascending walk.
double resampledUncertainty(std::span<const ScanPoint> points, double x, IntervalCursor& cursor);

// Counts per second need a live time: false after an "Error" message naming the file when the
// request asks for them and the file has none.
bool checkPerSecond(const ConversionRequest& request, const Scan& scan, Platform& platform);

// What the pass will deliver: the number of points and the first and last 2-theta, for headers
// that announce them.
struct DeliveredPoints {
    long long count = 0;
    double first = 0.0;
    double last = 0.0;
};
DeliveredPoints countDelivered(const Grid& grid, const Scan& scan, const ConversionRequest& request,
                               const ConversionSettings& settings);

// One point as an annotated format writes it.
struct AnnotatedPoint {
    double twoTheta = 0.0;
    double count = 0.0;
    double sigma = 0.0;
};

// The output pass of an annotated format: header(stream, annotation, grid, delivered) writes the
// lines before the values, value(at, point) one value (returning the end of its text).
template <class Header, class Value>
bool runAnnotatedPass(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform,
                      std::string_view extension, Header&& header, Value&& value) {
    if (!checkPerSecond(request, scan, platform)) return false;
    const ScanAnnotation annotation = annotateScan(request, scan, session);
    const double perSecond = annotation.perSecondLiveTime.value_or(1.0);
    const bool resampled = (request.options & kConstantStep) != 0;
    Grid walked;
    IntervalCursor cursor;
    return runOutputPass(
        request, scan, session, platform, extension,
        [&](OutputStream& stream, const HeaderRange&, const Grid& grid) {
            walked = grid;
            header(stream, annotation, grid, countDelivered(grid, scan, request, session.settings));
        },
        [&](char* at, long long i, double x, double y) {
            double sigma;
            if (resampled)
                sigma = resampledUncertainty(scan.points, walked.start + static_cast<double>(i) * walked.step, cursor);
            else
                sigma = std::sqrt(countVariance(scan.points[static_cast<std::size_t>(i)].count));
            return value(at, AnnotatedPoint{x, y / perSecond, sigma / perSecond});
        });
}

// XY and XYE: '#' comment lines, then one "2theta count" line per point, with " sigma" when
// withSigma.
bool writeAnnotatedColumns(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform,
                           std::string_view extension, bool withSigma);

// The count of an annotated format: as the text format writes it, or a rate with six decimals.
char* putAnnotatedCount(char* at, std::uint16_t options, double count);
// The uncertainty: four decimals, six for a rate.
char* putAnnotatedSigma(char* at, std::uint16_t options, double sigma);
// The 2-theta: a whole number, or eight decimals.
char* putAnnotatedAngle(char* at, std::uint16_t options, double twoTheta);

}  // namespace s2t
