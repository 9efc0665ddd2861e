// scan2theta.auto_calibrate: the calibration from a scan of a standard, as `scan2theta
// calibration auto` makes it: the same counts, reflections, starting line and settings, and the
// same peak search, matching and weighted fit.
#include <pybind11/stl.h>

#include <optional>
#include <string>
#include <vector>

#include "Bindings.h"
#include "MessageCapture.h"
#include "PythonScan.h"
#include "options/CalibrationSource.h"
#include "peaks/AutoCalibration.h"
#include "peaks/ChannelCounts.h"
#include "platform/ConsolePlatform.h"
#include "standards/StandardDiscovery.h"
#include "standards/StandardsImport.h"

namespace s2t::python {
namespace {

struct AutoCalibration {
    CalibrationState calibration;  // as the command line stores it: the pairs as points
    peaks::AutoCalibrationResult result;
    std::string standard;  // the standard file, or empty for reflections given as numbers
};

// The counts in channel order: a Scan's own, or a file's read as the command line reads them.
std::vector<double> scanCounts(const py::object& scanOrPath) {
    std::vector<double> counts;
    if (py::isinstance<PythonScan>(scanOrPath)) {
        for (const auto& point : scanOrPath.cast<const PythonScan&>().scan.points) counts.push_back(point.count);
        return counts;
    }
    const std::string path = pathText(scanOrPath);
    MessageCapture messages;
    bool read = false;
    {
        py::gil_scoped_release unlocked;
        ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false, messages.file());
        read = peaks::readChannelCounts(path, counts, platform);
    }
    if (!read) raiseError("ReadError", messages.text());
    return counts;
}

// The standard's reflections: numbers as given, or the file a name or path stands for.
std::vector<double> reflectionsOf(const py::object& standard, const std::string& folder, std::string& file) {
    if (!py::isinstance<py::str>(standard) && !py::hasattr(standard, "__fspath__"))
        return py::cast<std::vector<double>>(standard);
    std::string refusal;
    file = standardFileFor(pathText(standard), folder, refusal);
    if (file.empty()) raiseValueError("standard: " + refusal);
    std::vector<double> reflections;
    MessageCapture messages;
    ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false, messages.file());
    if (!readStandard(file, reflections, platform)) raiseError("ReadError", messages.text());
    return reflections;
}

AutoCalibration autoCalibrate(const py::object& scanOrPath, const py::object& standard,
                              const std::optional<CalibrationState>& start, const std::optional<py::object>& home,
                              const std::optional<py::object>& options, double wavelength, std::optional<double> alpha2,
                              double alpha2Ratio, double minSignificance) {
    if (!(wavelength > 0.0)) raiseValueError("wavelength: must be above 0");
    if (alpha2 && !(*alpha2 > 0.0)) raiseValueError("alpha2: must be above 0, or None");
    if (!(alpha2Ratio >= 0.0)) raiseValueError("alpha2_ratio: must not be below 0");

    // The program folder holds the standards by name and, unless one is given, the starting line.
    CalibrationSource source;
    if (home) source.home = pathText(*home);
    if (options) source.options = pathText(*options);
    AutoCalibration outcome;
    std::string folder;
    {
        MessageCapture messages;
        ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false, messages.file());
        if (!loadCalibration(source, outcome.calibration, platform, folder))
            raiseError("CalibrationError", messages.text());
    }
    if (start) outcome.calibration = *start;
    if (outcome.calibration.header.C == 0.0) raiseValueError("calibration: the starting slope C must not be 0");

    peaks::AutoCalibrationSettings settings;
    settings.wavelength = wavelength;
    settings.alpha2Wavelength = alpha2 ? *alpha2 : 0.0;
    settings.alpha2Ratio = alpha2Ratio;
    settings.minSignificance = minSignificance;
    settings.startK = outcome.calibration.header.K;
    settings.startC = outcome.calibration.header.C;
    const std::vector<double> reflections = reflectionsOf(standard, folder, outcome.standard);
    const std::vector<double> counts = scanCounts(scanOrPath);
    {
        py::gil_scoped_release unlocked;
        outcome.result = peaks::calibrateFromScan(counts, reflections, settings);
    }
    if (!outcome.result.ok) raiseError("CalibrationError", "Not Possible: " + outcome.result.refusal);
    outcome.calibration.header.K = outcome.result.storedK;
    outcome.calibration.header.C = outcome.result.storedC;
    outcome.calibration.calPoints = peaks::storedCalibrationPoints(outcome.result);
    return outcome;
}

py::list pairList(const peaks::AutoCalibrationResult& result) {
    py::list pairs;
    for (const auto& pair : result.pairs) {
        py::dict item;
        item["two_theta"] = pair.twoTheta;
        item["channel"] = pair.channel;
        item["sigma_channel"] = pair.sigmaChannel;
        item["residual"] = pair.residual;
        item["height"] = pair.height;
        item["fwhm"] = pair.fwhm;
        item["alpha2_offset"] = pair.alpha2Offset;
        pairs.append(item);
    }
    return pairs;
}

py::list peakList(const std::vector<peaks::FoundPeak>& found) {
    py::list peaks;
    for (const auto& peak : found) {
        py::dict item;
        item["channel"] = peak.channel;
        item["height"] = peak.height;
        item["fwhm"] = peak.fwhm;
        item["significance"] = peak.significance;
        peaks.append(item);
    }
    return peaks;
}

}  // namespace

void addAutoCalibration(py::module_& module) {
    py::class_<AutoCalibration>(module, "AutoCalibration",
                                "What scan2theta.auto_calibrate found: the calibration, the weighted line with "
                                "its uncertainties, the matched reflections and the peaks.")
        .def_readonly("calibration", &AutoCalibration::calibration,
                      "The calibration as `scan2theta calibration auto` stores it: K and C rounded as an option "
                      "file keeps them, the matched pairs (channel, two_theta) and the two end guards as its "
                      "points.")
        .def_readonly("standard", &AutoCalibration::standard,
                      "The standard file read (empty for reflections given as numbers).")
        .def_property_readonly(
            "standard_name",
            [](const AutoCalibration& a) {
                return a.standard.empty() ? std::string() : standardNameOrFileName(a.standard);
            },
            "The standard's name, as Calibration.save(standard=...) records it (empty for reflections given as "
            "numbers).")
        .def_property_readonly(
            "K", [](const AutoCalibration& a) { return a.result.line.K; },
            "Intercept of the weighted line, full precision.")
        .def_property_readonly(
            "C", [](const AutoCalibration& a) { return a.result.line.C; },
            "Slope of the weighted line, full precision.")
        .def_property_readonly(
            "sigma_K", [](const AutoCalibration& a) { return a.result.line.sigmaK; }, "Standard uncertainty of K.")
        .def_property_readonly(
            "sigma_C", [](const AutoCalibration& a) { return a.result.line.sigmaC; }, "Standard uncertainty of C.")
        .def_property_readonly(
            "rms", [](const AutoCalibration& a) { return a.result.line.rms; },
            "Root mean square residual of the pairs, degrees.")
        .def_property_readonly(
            "reduced_chi_square", [](const AutoCalibration& a) { return a.result.line.reducedChiSquare; },
            "Chi-square of the weighted fit over its degrees of freedom.")
        .def_property_readonly(
            "pairs", [](const AutoCalibration& a) { return pairList(a.result); },
            "The matched reflections, ascending in 2-theta: dicts of two_theta, channel, "
            "sigma_channel, residual, height, fwhm, alpha2_offset.")
        .def_property_readonly(
            "end_guards",
            [](const AutoCalibration& a) {
                std::vector<std::pair<double, double>> guards;
                for (const auto& guard : a.result.guards) guards.emplace_back(guard.channel, guard.twoTheta);
                return guards;
            },
            "The calibration spline's end guards (channel, two_theta), ascending in 2-theta: points beyond the "
            "pairs that make the stored spline the not-a-knot spline between them; no reflections.")
        .def_property_readonly(
            "missed_reflections", [](const AutoCalibration& a) { return a.result.missedReflections; },
            "Reflections predicted inside the scan and not matched (2-theta).")
        .def_property_readonly(
            "peaks", [](const AutoCalibration& a) { return peakList(a.result.peaks); },
            "Every peak found: dicts of channel, height, fwhm, significance.")
        .def_property_readonly(
            "unmatched_peaks", [](const AutoCalibration& a) { return peakList(a.result.unmatchedPeaks); },
            "Peaks that no matched reflection explains.")
        .def("__repr__", [](const AutoCalibration& a) {
            return "<scan2theta.AutoCalibration " + std::to_string(a.result.pairs.size()) +
                   " pairs, K=" + py::repr(py::float_(a.result.line.K)).cast<std::string>() +
                   " C=" + py::repr(py::float_(a.result.line.C)).cast<std::string>() + ">";
        });

    module.def("auto_calibrate", &autoCalibrate, py::arg("scan"), py::arg("standard"), py::kw_only(),
               py::arg("calibration") = py::none(), py::arg("home") = py::none(), py::arg("options") = py::none(),
               py::arg("wavelength") = peaks::kCuKAlpha1, py::arg("alpha2") = peaks::kCuKAlpha2,
               py::arg("alpha2_ratio") = 0.5, py::arg("min_significance") = 5.0,
               "auto_calibrate(scan, standard, *, calibration=None, home=None, options=None, wavelength=1.5406, "
               "alpha2=1.54443, alpha2_ratio=0.5, min_significance=5.0) -> AutoCalibration\n\n"
               "The calibration from a scan of a standard, as `scan2theta calibration auto` makes it: the "
               "scan's peaks are found, matched to the standard's reflections by position starting from the "
               "calibration in force, each K-alpha1/K-alpha2 doublet is fitted, and the weighted line is fitted "
               "through the pairs.\n"
               "scan: a Scan or a path (its counts in channel order). standard: a standard's name in the "
               "program folder's Standards/ (see `scan2theta standards`, case ignored), a standard file, or the "
               "reflections' 2-theta as numbers. calibration: the starting line (default: loaded from home and "
               "options as Calibration.load does). wavelength, alpha2 (None for monochromatic radiation), "
               "alpha2_ratio: the radiation; min_significance: of a peak, in standard deviations of the "
               "counting noise.\n"
               "Raises CalibrationError (\"Not Possible: ...\") when no calibration can be made, ReadError for "
               "a scan or standard that cannot be read, ValueError for arguments the command line refuses.");
}

}  // namespace s2t::python
