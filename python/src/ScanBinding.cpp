// scan2theta.read and the Scan it returns: the points as the command line's readers take them,
// shown to numpy without a copy.
#include <pybind11/stl.h>

#include <cstdint>
#include <vector>

#include "Bindings.h"
#include "MessageCapture.h"
#include "PythonScan.h"
#include "engine/BatchRun.h"
#include "engine/FileKind.h"
#include "platform/ConsolePlatform.h"

namespace s2t::python {
namespace {

// A view of one double of every point: the points are (2-theta, count, second derivative)
// records, so the view steps over whole records.
py::array pointMemberView(const py::object& owner, const PythonScan& scan, double ScanPoint::*member) {
    const auto& points = scan.scan.points;
    const double* first = points.empty() ? nullptr : &(points.front().*member);
    py::array view(py::dtype::of<double>(), {static_cast<py::ssize_t>(points.size())},
                   {static_cast<py::ssize_t>(sizeof(ScanPoint))}, first, owner);
    makeReadOnly(view);
    return view;
}

py::dict headerRecord(const PythonScan& scan) {
    py::dict meta;
    if (scan.scan.fromGufi) {
        const GufiHeader& header = scan.scan.gufiHeader;
        meta["first_angle"] = static_cast<double>(header.firstAngle);
        meta["angle_step"] = static_cast<double>(header.angleStep);
        meta["points"] = header.numPoints;
    } else {
        const ChnHeader& header = scan.scan.chnHeader;
        meta["signature"] = header.signature();
        meta["first_channel"] = header.firstChannel();
        meta["channels"] = header.numChannels();
        meta["header"] = py::bytes(reinterpret_cast<const char*>(header.bytes.data()), header.bytes.size());
    }
    return meta;
}

PythonScan readScan(const py::object& path) {
    PythonScan result;
    result.path = pathText(path);
    ConversionRequest request;
    request.inputFile = result.path;
    request.fileType = getFileType(result.path);
    // A GUFI file keeps its own angles; a channel file's angles are not kept (see two_theta).
    request.conversion = kFileAngles;
    CalibrationState calibration;
    calibration.installStartupValues();
    ConversionSettings settings;
    MessageCapture messages;
    int status = 0;
    {
        py::gil_scoped_release unlocked;
        ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false, messages.file());
        status = readAnyFile(request, result.scan, calibration, settings, platform);
    }
    if (status != 0) raiseError("ReadError", messages.text());
    return result;
}

}  // namespace

void addScan(py::module_& module) {
    py::class_<PythonScan>(module, "Scan",
                           "One scan as scan2theta's readers take it from a file. Made by scan2theta.read().\n\n"
                           "The arrays show the scan's own memory without a copy and are read-only; "
                           "numpy.array(scan.counts) gives a copy to change.")
        .def_readonly("path", &PythonScan::path, "The file the scan was read from.")
        .def_property_readonly(
            "kind", [](const PythonScan& scan) { return scan.scan.fromGufi ? "gufi" : "chn"; },
            "'chn' for an MCA channel file, 'gufi' for a GUFI scan (chosen by the file name's extension, as "
            "the command line chooses; any name but *.guf is read as a channel file).")
        .def_property_readonly(
            "channels",
            [](const PythonScan& scan) {
                const auto n = static_cast<py::ssize_t>(scan.scan.points.size());
                py::array_t<std::int64_t> channels(n);
                auto* out = channels.mutable_data();
                const std::int64_t first = scan.scan.fromGufi ? 0 : scan.scan.chnHeader.firstChannel();
                for (py::ssize_t i = 0; i < n; ++i) out[i] = first + i;
                return channels;
            },
            "The channel numbers as `scan2theta convert --channels` lists them (int64): the file's first "
            "channel onwards for a channel file, 0, 1, 2, ... for a GUFI scan. A new array on every access.")
        .def_property_readonly(
            "counts", [](const py::object& self) {
                return pointMemberView(self, self.cast<const PythonScan&>(), &ScanPoint::count);
            },
            "The counts (float64), one per channel or point, in file order.")
        .def_property_readonly(
            "two_theta",
            [](const py::object& self) -> py::object {
                const auto& scan = self.cast<const PythonScan&>();
                if (!scan.scan.fromGufi) return py::none();
                return pointMemberView(self, scan, &ScanPoint::twoTheta);
            },
            "The file's own 2-theta of each point (float64) for a GUFI scan: first angle + step x i. None for "
            "a channel file, which has no angles of its own: use Calibration.two_theta(scan).")
        .def_property_readonly("meta", &headerRecord,
                               "What the file's header holds, as a dict. Channel files: signature, "
                               "first_channel, channels, header (the 32 header bytes). GUFI scans: "
                               "first_angle, angle_step, points.")
        .def("__len__", [](const PythonScan& scan) { return scan.scan.points.size(); })
        .def("__repr__", [](const PythonScan& scan) {
            return "<scan2theta.Scan " + std::string(scan.scan.fromGufi ? "gufi" : "chn") + " '" + scan.path +
                   "', " + std::to_string(scan.scan.points.size()) + " points>";
        });

    module.def("read", &readScan, py::arg("path"),
               "read(path) -> Scan\n\n"
               "Reads a scan with the reader a conversion uses: *.guf (any letter case) as a GUFI scan, any "
               "other name as an MCA channel file. Raises ReadError with the program's message (\"File Error: "
               "Couldn't open input file: ...\", \"Error: The input file ... wasn't a CHN file.\", ...) when the "
               "file cannot be read.");
}

}  // namespace s2t::python
