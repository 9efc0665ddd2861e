// scan2theta.read and the Scan it returns: the points as the command line's readers take them,
// shown to numpy without a copy.
#include <pybind11/stl.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "Bindings.h"
#include "MessageCapture.h"
#include "PythonScan.h"
#include "engine/InputFormats.h"
#include "engine/ReadAnyFile.h"
#include "engine/ScanMetadata.h"
#include "engine/ScanReaders.h"
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

// What the file says of its measurement, as far as it says anything.
void addMetadata(const ScanMetadata& metadata, py::dict& meta) {
    if (metadata.liveTime) meta["live_time"] = *metadata.liveTime;
    if (metadata.realTime) meta["real_time"] = *metadata.realTime;
    if (!metadata.startDateTime.empty()) meta["start"] = metadata.startDateTime;
    if (!metadata.description.empty()) meta["description"] = metadata.description;
    if (!metadata.detector.empty()) meta["detector"] = metadata.detector;
    if (metadata.wavelength) meta["wavelength"] = *metadata.wavelength;
    if (metadata.calibration) {
        py::dict line;
        line["zero"] = metadata.calibration->zero;
        line["slope"] = metadata.calibration->slope;
        line["quadratic"] = metadata.calibration->quadratic;
        meta["stored_calibration"] = line;
    }
    if (!metadata.trailerProblem.empty()) meta["trailer_problem"] = metadata.trailerProblem;
    for (const auto& [name, value] : metadata.extra)
        if (!meta.contains(name)) meta[py::str(name)] = value;
}

py::dict headerRecord(const PythonScan& scan) {
    py::dict meta;
    if (scan.gufiHeader) {
        const GufiHeader& header = scan.scan.gufiHeader;
        meta["first_angle"] = static_cast<double>(header.firstAngle);
        meta["angle_step"] = static_cast<double>(header.angleStep);
        meta["points"] = header.numPoints;
    }
    if (scan.channelHeader) {
        const ChnHeader& header = scan.scan.chnHeader;
        meta["signature"] = header.signature();
        meta["first_channel"] = header.firstChannel();
        meta["channels"] = header.numChannels();
        meta["header"] = py::bytes(reinterpret_cast<const char*>(header.bytes.data()), header.bytes.size());
    }
    addMetadata(scan.scan.metadata, meta);
    return meta;
}

// The format named, or else the one the command line would choose for the path.
const InputFormatInfo& chooseFormat(const std::string& path, const std::optional<std::string>& name) {
    if (!name) return inputFormatForPath(path);
    const InputFormatInfo* format = findInputFormatByName(*name);
    if (!format || format->fileType == kOtherFileType)
        raiseValueError("format: '" + *name + "' is none of " + inputFormatNames());
    return *format;
}

PythonScan readScan(const py::object& path, const std::optional<std::string>& formatName, int block) {
    if (block < 1) raiseValueError("block: must be 1 or more");
    PythonScan result;
    result.path = pathText(path);
    const InputFormatInfo& format = chooseFormat(result.path, formatName);
    // A file of no known format is read as a channel file, and is one once it has been read.
    result.kind =
        format.fileType == kOtherFileType ? std::string(findInputFormat(kChnFileType).name) : std::string(format.name);
    result.channelHeader = format.reader == &readMCAFile;
    result.gufiHeader = format.reader == &readGUFIFile;
    ConversionRequest request;
    request.inputFile = result.path;
    request.fileType = format.fileType;
    request.block = block - 1;
    // A scan with angles of its own keeps them; a channel file's angles are not kept (see two_theta).
    request.conversion = kFileAngles;
    CalibrationState calibration;
    calibration.installStartupValues();
    MessageCapture messages;
    bool read = false;
    {
        py::gil_scoped_release unlocked;
        ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false, messages.file());
        ReadResult scan = readAsFormat(format, request, calibration);
        read = showReadMessages(scan, platform);
        result.scan = std::move(scan.scan);
    }
    if (!read) raiseError("ReadError", messages.text());
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
            "kind", [](const PythonScan& scan) { return scan.kind; },
            "The input format that read the file: 'chn' for an MCA channel file, 'gufi' for a GUFI scan. "
            "read() chooses it as the command line does (a file of no known format is read as a channel "
            "file).")
        .def_property_readonly(
            "channels",
            [](const PythonScan& scan) {
                const auto n = static_cast<py::ssize_t>(scan.scan.points.size());
                py::array_t<std::int64_t> channels(n);
                auto* out = channels.mutable_data();
                const std::int64_t first = scan.scan.ownAngles ? 0 : scan.scan.chnHeader.firstChannel();
                for (py::ssize_t i = 0; i < n; ++i) out[i] = first + i;
                return channels;
            },
            "The channel numbers as `scan2theta convert --channels` lists them (int64): the file's first "
            "channel onwards for a channel file, 0, 1, 2, ... for a scan with angles of its own. A new array "
            "on every access.")
        .def_property_readonly(
            "counts",
            [](const py::object& self) {
                return pointMemberView(self, self.cast<const PythonScan&>(), &ScanPoint::count);
            },
            "The counts (float64), one per channel or point, in file order.")
        .def_property_readonly(
            "two_theta",
            [](const py::object& self) -> py::object {
                const auto& scan = self.cast<const PythonScan&>();
                if (!scan.scan.ownAngles) return py::none();
                return pointMemberView(self, scan, &ScanPoint::twoTheta);
            },
            "The file's own 2-theta of each point (float64) for a scan with angles of its own (GUFI: first "
            "angle + step x i). None for a channel file, which has none: use Calibration.two_theta(scan).")
        .def_property_readonly("meta", &headerRecord,
                               "What the file says besides the counts, as a dict. Channel files: "
                               "signature, first_channel, channels, header (the 32 header bytes). GUFI "
                               "scans: first_angle, angle_step, points. Any file, where it says so: "
                               "live_time and real_time (seconds), start, description, detector, "
                               "wavelength (Angstrom), stored_calibration (zero, slope, quadratic: "
                               "2-theta by channel from 0), trailer_problem (why a trailer was not read), "
                               "and the further items of a format's own header by their names.")
        .def("__len__", [](const PythonScan& scan) { return scan.scan.points.size(); })
        .def("__repr__", [](const PythonScan& scan) {
            return "<scan2theta.Scan " + scan.kind + " '" + scan.path + "', " +
                   std::to_string(scan.scan.points.size()) + " points>";
        });

    module.def("read", &readScan, py::arg("path"), py::arg("format") = py::none(), py::arg("block") = 1,
               "read(path, format=None, block=1) -> Scan\n\n"
               "Reads a scan with the reader a conversion uses: by the file name as the command line chooses "
               "(by extension, else by content; *.guf as a GUFI scan, *.chn and files of no known format as an "
               "MCA channel file), or by the input format named ('chn', 'gufi', or one of the other "
               "instruments' formats `scan2theta convert --help` lists). block: the block of a file that "
               "holds several (from 1). Raises ReadError with the program's message (\"File Error: "
               "Couldn't open input file: ...\", \"Error: The input file ... wasn't a CHN file.\", ...) when the "
               "file cannot be read.");
}

}  // namespace s2t::python
