// scan2theta.Calibration and scan2theta.fit_line: the calibration in force as the command line
// loads it, channels mapped to 2-theta by the conversion's own functions, option files written by
// the program's writer.
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "Bindings.h"
#include "MessageCapture.h"
#include "PythonScan.h"
#include "calibration/LinearFit.h"
#include "calibration/Spline.h"
#include "engine/ChannelMapping.h"
#include "engine/ScanMapping.h"
#include "options/CalibrationOrigin.h"
#include "options/CalibrationSource.h"
#include "options/OptionFile.h"
#include "platform/ConsolePlatform.h"

namespace s2t::python {
namespace {

using PointPairs = std::vector<std::pair<double, double>>;

CalibrationState makeCalibration(double K, double C, const std::optional<PointPairs>& points) {
    CalibrationState state;
    state.header.K = K;
    state.header.C = C;
    if (points)
        for (const auto& [channel, twoTheta] : *points) state.calPoints.push_back({channel, twoTheta, 0.0});
    return state;
}

PointPairs pointPairs(const CalibrationState& state) {
    PointPairs pairs;
    for (const auto& point : state.calPoints) pairs.emplace_back(point.channel, point.twoTheta);
    return pairs;
}

// Warns with the messages of a load that succeeded all the same (the command line prints them
// on standard error and goes on).
void warnAbout(const std::string& messages) {
    if (!messages.empty() && PyErr_WarnEx(PyExc_RuntimeWarning, messages.c_str(), 1) != 0)
        throw py::error_already_set();
}

CalibrationState loadCalibrationInForce(const std::optional<py::object>& home,
                                        const std::optional<py::object>& options) {
    CalibrationSource source;
    if (home) source.home = pathText(*home);
    if (options) source.options = pathText(*options);
    CalibrationState state;
    MessageCapture messages;
    bool loaded = false;
    {
        py::gil_scoped_release unlocked;
        ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false, messages.file());
        std::string folder;
        loaded = loadCalibration(source, state, platform, folder);
    }
    if (!loaded) raiseError("CalibrationError", messages.text());
    warnAbout(messages.text());
    return state;
}

bool isSplineMode(const std::string& mode) {
    if (mode == "linear") return false;
    if (mode == "spline") return true;
    raiseValueError("mode: '" + mode + "' is none of linear, spline");
}

// The calibration as a conversion maps with it: for the spline, the points sorted with their
// second derivatives, refused (CalibrationError) as a conversion refuses them.
CalibrationState mappingCalibration(const CalibrationState& state, bool spline) {
    CalibrationState mapping = state;
    if (!spline) return mapping;
    s2t::spline(std::span<CalibrationPoint>(mapping.calPoints), true);
    if (const auto refusal = calibrationRefusal(mapping, false, "the channels")) {
        MessageCapture messages;
        ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false, messages.file());
        platform.messagePopup(refusal->title, refusal->text);
        raiseError("CalibrationError", messages.text());
    }
    return mapping;
}

// Maps n abscissae; x(i) gives the i-th. Ascending abscissae walk the spline without searching.
template <class Abscissa>
void mapAbscissae(const CalibrationState& mapping, bool spline, py::ssize_t n, Abscissa x, double* out) {
    if (!spline) {
        const double K = mapping.header.K;
        const double C = mapping.header.C;
        for (py::ssize_t i = 0; i < n; ++i) out[i] = C * x(i) + K;
        return;
    }
    IntervalCursor cursor;
    for (py::ssize_t i = 0; i < n; ++i) out[i] = channelToTTheta(mapping, x(i), false, nullptr, &cursor);
}

using InputArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

template <class Value>
using ChannelArray = py::array_t<Value, py::array::c_style>;

template <class Value>
py::array_t<double> mapChannelArray(const CalibrationState& mapping, bool spline, const ChannelArray<Value>& channels) {
    py::array_t<double> result(std::vector<py::ssize_t>(channels.shape(), channels.shape() + channels.ndim()));
    const Value* in = channels.data();
    double* out = result.mutable_data();
    const py::ssize_t n = channels.size();
    {
        py::gil_scoped_release unlocked;
        mapAbscissae(
            mapping, spline, n, [in](py::ssize_t i) { return static_cast<double>(in[i]); }, out);
    }
    return result;
}

// Channels of the common types in C order are read where they are (channel numbers are mostly
// integers); anything else through a float64 copy.
template <class Value, class... Others>
py::array_t<double> mapChannels(const CalibrationState& mapping, bool spline, const py::object& channels) {
    if (py::isinstance<ChannelArray<Value>>(channels))
        return mapChannelArray(mapping, spline, py::cast<ChannelArray<Value>>(channels));
    if constexpr (sizeof...(Others) > 0) {
        return mapChannels<Others...>(mapping, spline, channels);
    } else {
        const auto converted = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(channels);
        if (!converted) throw py::type_error("channels: an array of numbers, or a Scan, was expected");
        return mapChannelArray<double>(mapping, spline, converted);
    }
}

py::array_t<double> twoThetaOfChannels(const CalibrationState& state, const py::object& channels,
                                       const std::string& mode) {
    const bool spline = isSplineMode(mode);
    const CalibrationState mapping = mappingCalibration(state, spline);
    return mapChannels<double, std::int64_t, std::int32_t>(mapping, spline, channels);
}

// The scan's points mapped as a conversion maps them: a channel file's channel index from 0, the
// own angle of a scan that has angles (GUFI).
py::array_t<double> twoThetaOfScan(const CalibrationState& state, const PythonScan& scan, const std::string& mode) {
    const bool spline = isSplineMode(mode);
    const CalibrationState mapping = mappingCalibration(state, spline);
    const auto& points = scan.scan.points;
    const auto n = static_cast<py::ssize_t>(points.size());
    py::array_t<double> result(n);
    double* out = result.mutable_data();
    {
        py::gil_scoped_release unlocked;
        if (scan.scan.ownAngles)
            mapAbscissae(
                mapping, spline, n, [&points](py::ssize_t i) { return points[static_cast<std::size_t>(i)].twoTheta; },
                out);
        else
            mapAbscissae(
                mapping, spline, n, [](py::ssize_t i) { return static_cast<double>(i); }, out);
    }
    return result;
}

void saveCalibration(const CalibrationState& state, const py::object& path, const std::string& lineEnd,
                     const std::optional<std::string>& standard) {
    LineEnd end = LineEnd::CrLf;
    if (lineEnd == "lf")
        end = LineEnd::Lf;
    else if (lineEnd != "crlf")
        raiseValueError("line_end: '" + lineEnd + "' is none of crlf, lf");
    const std::string target = pathText(path);
    MessageCapture messages;
    SaveOutcome outcome = SaveOutcome::Failed;
    {
        py::gil_scoped_release unlocked;
        ConsolePlatform platform(ConfirmPolicy::AlwaysYes, false, messages.file());
        outcome = saveOptionsFile(target, true, state, platform, end);
        // The standard it was made from, beside it, as the command line records it.
        if (outcome == SaveOutcome::Written && standard && !standard->empty() &&
            !recordCalibrationOrigin(target, originFromStandard(*standard, state), state, platform, end))
            outcome = SaveOutcome::Failed;
    }
    if (outcome != SaveOutcome::Written) raiseError("CalibrationError", messages.text());
}

std::pair<double, double> fitLine(const InputArray& channels, const InputArray& twoTheta) {
    if (channels.size() != twoTheta.size())
        raiseValueError("channels and two_theta differ in length (" + std::to_string(channels.size()) + " and " +
                        std::to_string(twoTheta.size()) + ")");
    std::vector<CalibrationPoint> points;
    for (py::ssize_t i = 0; i < channels.size(); ++i) points.push_back({channels.data()[i], twoTheta.data()[i], 0.0});
    double C = 0.0, K = 0.0;
    if (const char* refusal = fitStraightLine(points, C, K)) raiseValueError(refusal);
    return {K, C};
}

}  // namespace

void addCalibration(py::module_& module) {
    py::class_<CalibrationState>(
        module, "Calibration",
        "A calibration: the straight line 2-theta = C x channel + K and the points (channel, 2-theta) the "
        "calibration spline passes through, as option files (*.pre) keep them.")
        .def(py::init(&makeCalibration), py::kw_only(), py::arg("K") = kStartupK, py::arg("C") = kStartupC,
             py::arg("points") = py::none(),
             "Calibration(*, K=10.939501, C=0.02692846, points=None)\n\n"
             "A calibration with these values; K and C default to the built-in straight line, points to none. "
             "points: pairs (channel, two_theta) in any order.")
        .def_static(
            "builtin",
            [] {
                CalibrationState state;
                state.installStartupValues();
                return state;
            },
            "The program's built-in calibration: what a new Default.pre holds.")
        .def_static("load", &loadCalibrationInForce, py::kw_only(), py::arg("home") = py::none(),
                    py::arg("options") = py::none(),
                    "load(*, home=None, options=None) -> Calibration\n\n"
                    "The calibration in force, as `scan2theta convert --home HOME --options OPTIONS` loads it: "
                    "the built-in values, Default.pre of the program folder over them (the folder and the file "
                    "are made when missing), then the option file. home: the program folder (default: "
                    "$XDG_CONFIG_HOME/scan2theta, else ~/.config/scan2theta). Raises CalibrationError with the "
                    "program's message when the folder or the option file cannot be read.")
        .def_property(
            "K", [](const CalibrationState& s) { return s.header.K; },
            [](CalibrationState& s, double K) { s.header.K = K; }, "Intercept of the straight line, degrees.")
        .def_property(
            "C", [](const CalibrationState& s) { return s.header.C; },
            [](CalibrationState& s, double C) { s.header.C = C; }, "Slope of the straight line, degrees per channel.")
        .def_property(
            "points", &pointPairs,
            [](CalibrationState& s, const PointPairs& points) { s = makeCalibration(s.header.K, s.header.C, points); },
            "The calibration points as a list of (channel, two_theta) tuples, in the order given.")
        .def("two_theta", &twoThetaOfScan, py::arg("scan"), py::arg("mode") = "linear")
        .def("two_theta", &twoThetaOfChannels, py::arg("channels"), py::arg("mode") = "linear",
             "two_theta(channels, mode='linear') -> numpy.ndarray\n"
             "two_theta(scan, mode='linear') -> numpy.ndarray\n\n"
             "2-theta of each channel (any array shape; float64, int64 and int32 arrays in C order are read "
             "without a copy), or of "
             "each point of a Scan as a conversion maps it (a channel file's channel index from 0, a GUFI "
             "scan's own angle). mode 'linear': C x channel + K; 'spline': the calibration spline (the "
             "straight line through its first and last point outside them), with the end slopes a conversion "
             "uses. The values are a conversion's to the last bit. Raises CalibrationError when the spline "
             "needs points it lacks.")
        .def("save", &saveCalibration, py::arg("path"), py::arg("line_end") = "crlf", py::kw_only(),
             py::arg("standard") = py::none(),
             "save(path, line_end='crlf', *, standard=None)\n\n"
             "Writes the calibration as an option file, replacing an existing one whole. line_end: 'crlf' or "
             "'lf'. standard: the name of the standard the calibration was made from (AutoCalibration."
             "standard_name), recorded beside the file in PATH.standard as the command line records it, so "
             "that pdCIF output names it while this calibration is in force. Raises CalibrationError when a "
             "file cannot be written.")
        .def("__repr__", [](const CalibrationState& s) {
            return "<scan2theta.Calibration K=" + py::repr(py::float_(s.header.K)).cast<std::string>() +
                   " C=" + py::repr(py::float_(s.header.C)).cast<std::string>() + ", " +
                   std::to_string(s.calPoints.size()) + " points>";
        });

    module.def("fit_line", &fitLine, py::arg("channels"), py::arg("two_theta"),
               "fit_line(channels, two_theta) -> (K, C)\n\n"
               "The least-squares straight line 2-theta = C x channel + K through the points, as the linear "
               "fit panel and `scan2theta calibration fit` compute it. Raises ValueError with the program's "
               "reason for fewer than two points or points on one channel.");
}

}  // namespace s2t::python
