// Powder CIF: one data block. Points as read are measured data (_pd_meas_2theta_scan,
// _pd_meas_counts_total, whose uncertainty is the square root by definition); resampled points or
// counts per second are processed data (_pd_proc_2theta_corrected, _pd_proc_intensity_total with
// the uncertainty in parentheses, in units of the value's last digit).
#include <cmath>

#include "engine/AnnotatedOutput.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

// A CIF name or quoted text from a file name or a file's text: printable ASCII without quotes,
// blanks only where allowed.
std::string cifSafe(const std::string& text, bool blanks) {
    std::string safe;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool printable = u > 0x20 && u < 0x7F && c != '\'' && c != '"';
        safe += printable || (blanks && c == ' ') ? c : '_';
    }
    return safe;
}

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    out.append(text);
    out += '\'';
    return out;
}

std::string baseName(const std::string& path) {
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

class CifHeader {
public:
    CifHeader(std::string& out, LineEnd lineEnd) : out_(out), lineEnd_(lineEnd) {}
    void line(const std::string& text) { out_.append(text).append(lineEndText(lineEnd_)); }
    // A data item, its value padded to one column.
    void item(std::string_view name, const std::string& value) {
        std::string text(name);
        text.resize(std::max<std::size_t>(text.size() + 1, 36), ' ');
        text.append(value);
        line(text);
    }

private:
    std::string& out_;
    LineEnd lineEnd_;
};

// value(su): the uncertainty in units of the value's last written digit, at least 1.
char* putWithUncertainty(char* at, std::uint16_t options, double value, double sigma) {
    at = putAnnotatedCount(at, options, value);
    const int decimals = options & kCountsPerSecond ? 6 : options & kFractionalCounts ? 4 : 0;
    const double units = std::max(1.0, std::round(sigma * std::pow(10.0, decimals)));
    *at++ = '(';
    at = putWhole(at, units);
    *at++ = ')';
    return at;
}

}  // namespace

bool writePdCIFFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    const LineEnd lineEnd = session.settings.lineEnd;
    const std::uint16_t options = request.options;
    const bool processed = (options & (kConstantStep | kCountsPerSecond)) != 0;
    return runAnnotatedPass(
        request, scan, session, platform, "cif",
        [&](OutputStream& stream, const ScanAnnotation& annotation, const Grid&, const DeliveredPoints& delivered) {
            CifHeader cif(stream.buffer(), lineEnd);
            const std::string name = cifSafe(baseName(annotation.source), false);
            std::string block = "data_";
            block.append(name.empty() ? std::string_view("scan") : std::string_view(name).substr(0, 70));
            cif.line(block);
            std::vector<std::string> comments = annotationLines(annotation, true);
            comments.pop_back();  // the column line: the loop names its columns
            for (const std::string& comment : comments) cif.line(std::string("# ").append(comment));
            const ScanMetadata& m = *annotation.metadata;
            cif.item("_pd_block_id", quoted(cifSafe(m.startDateTime, false).append("|").append(name).append("||")));
            cif.item("_audit_creation_method", quoted(annotation.program));
            if (annotation.wavelength) cif.item("_diffrn_radiation_wavelength", formatShortest(*annotation.wavelength));
            if (!m.startDateTime.empty()) cif.item("_pd_meas_datetime_initiated", m.startDateTime);
            // Channels are a stationary position-sensitive detector's record; a file with angles of its own
            // a step scan.
            cif.item("_pd_meas_scan_method", scan.ownAngles ? "step" : "fixed");
            if (processed) {
                cif.item("_pd_meas_number_of_points", std::to_string(scan.points.size()));
                cif.item("_pd_proc_number_of_points", std::to_string(delivered.count));
            } else {
                cif.item("_pd_meas_number_of_points", std::to_string(delivered.count));
            }
            if (!annotation.calibrationStandard.empty())
                cif.item("_pd_calib_std_external_name", quoted(cifSafe(annotation.calibrationStandard, true)));
            if (!annotation.equation.empty()) cif.item("_pd_calibration_conversion_eqn", quoted(annotation.equation));
            cif.line("loop_");
            cif.line(processed ? "_pd_proc_2theta_corrected" : "_pd_meas_2theta_scan");
            cif.line(processed ? "_pd_proc_intensity_total" : "_pd_meas_counts_total");
        },
        [&](char* at, const AnnotatedPoint& point) {
            at = putAnnotatedAngle(at, options, point.twoTheta);
            *at++ = ' ';
            at = processed ? putWithUncertainty(at, options, point.count, point.sigma)
                           : putAnnotatedCount(at, options, point.count);
            return putLineEnd(at, lineEnd);
        });
}

}  // namespace s2t
