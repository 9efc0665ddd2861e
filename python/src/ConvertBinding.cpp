// scan2theta.convert: the command line's conversion, argument for argument. The arguments are
// turned into the command line's option texts and checked and run by the same functions, so that
// the files and their bytes are the same.
#include <pybind11/stl.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Bindings.h"
#include "MessageCapture.h"
#include "engine/ConvertPlan.h"
#include "engine/ConvertRun.h"
#include "platform/RecordingFileSystem.h"

namespace s2t::python {
namespace {

using Text = ConvertArguments::Text;

// The command line's option names and the arguments that stand for them, for usage messages.
constexpr std::pair<const char*, const char*> kArgumentNames[] = {
    {"--fractional-counts", "fractional_counts"},
    {"--interpolation", "interpolation"},
    {"--calibration", "calibration"},
    {"--whole-angle", "whole_angle"},
    {"--wavelength", "wavelength"},
    {"--line-end", "line_end"},
    {"--channels", "channels"},
    {"--format", "format"},
    {"--target", "target"},
    {"--range", "range"},
    {"--step", "step"},
    {"--date", "date"},
    {"INPUT", "inputs"},
    {"-K", "K"},
    {"--block", "block"},
    {"-C", "C"},
    {"-j", "jobs"},
};

std::string argumentName(const std::string& option) {
    for (const auto& [cli, python] : kArgumentNames)
        if (option == cli) return python;
    return option;
}

// The message with every option name it mentions replaced by its argument's name.
std::string inArgumentNames(std::string message) {
    for (const auto& [cli, python] : kArgumentNames) {
        // Only the long names: "-C" could be part of a path the message quotes.
        if (std::string_view(cli).substr(0, 2) != "--") continue;
        const std::string name(cli);
        for (auto at = message.find(name); at != std::string::npos; at = message.find(name, at))
            message.replace(at, name.size(), python);
    }
    return message;
}

// A number as the command line would be given it: text is taken as it is, anything else through
// float() and its shortest exact text, so that the value arrives unchanged.
Text numberText(const std::optional<py::object>& value) {
    if (!value || value->is_none()) return std::nullopt;
    if (py::isinstance<py::str>(*value)) return value->cast<std::string>();
    if (py::isinstance<py::bool_>(*value)) throw py::type_error("a number was expected, not a bool");
    return py::repr(py::float_(*value)).cast<std::string>();
}

Text rangeText(const std::optional<py::object>& range) {
    if (!range || range->is_none()) return std::nullopt;
    if (py::isinstance<py::str>(*range)) return range->cast<std::string>();
    const auto limits = py::cast<std::vector<py::object>>(*range);
    if (limits.size() != 2) raiseValueError("range: (MIN, MAX) or 'MIN:MAX' expected");
    return *numberText(limits[0]) + ":" + *numberText(limits[1]);
}

// A choice whose default is written out in the signature counts as not given, as an option left
// off the command line: so --channels goes with the default format.
Text choiceText(const std::string& value, const char* defaultValue) {
    if (value == defaultValue) return std::nullopt;
    return value;
}

std::vector<std::string> inputPaths(const py::object& inputs) {
    std::vector<std::string> paths;
    if (py::isinstance<py::str>(inputs) || py::hasattr(inputs, "__fspath__")) {
        paths.push_back(pathText(inputs));
        return paths;
    }
    for (const auto& input : inputs) paths.push_back(pathText(input));
    return paths;
}

py::list convert(const py::object& inputs, const std::string& format, const std::optional<py::object>& step,
                 const std::string& interpolation, const std::string& calibration,
                 const std::optional<py::object>& range, const std::optional<py::object>& output,
                 const std::optional<py::object>& home, const std::optional<py::object>& options, bool overwrite,
                 std::optional<int> jobs, bool channels, bool wholeAngle, bool fractionalCounts,
                 std::optional<std::string> target, const std::optional<py::object>& wavelength,
                 std::optional<std::string> date, const std::optional<py::object>& K,
                 const std::optional<py::object>& C, const std::string& lineEnd, std::optional<int> block) {
    ConvertArguments arguments;
    arguments.inputs = inputPaths(inputs);
    arguments.channels = channels;
    arguments.calibration = choiceText(calibration, "linear");
    arguments.format = choiceText(format, "text");
    arguments.step = numberText(step);
    arguments.interpolation = choiceText(interpolation, "linear");
    arguments.range = rangeText(range);
    arguments.wholeAngle = wholeAngle;
    arguments.fractionalCounts = fractionalCounts;
    arguments.target = std::move(target);
    arguments.wavelength = numberText(wavelength);
    arguments.date = std::move(date);
    arguments.K = numberText(K);
    arguments.C = numberText(C);
    if (output && !output->is_none()) arguments.output = pathText(*output);
    arguments.overwrite = overwrite;
    arguments.lineEnd = choiceText(lineEnd, "crlf");
    arguments.quiet = true;
    arguments.jobs = jobs;
    arguments.block = block;

    CalibrationSource source;
    if (home && !home->is_none()) source.home = pathText(*home);
    if (options && !options->is_none()) {
        source.options = pathText(*options);
        std::error_code ignored;
        if (!std::filesystem::is_regular_file(source.options, ignored))
            raiseValueError("options: File does not exist: " + source.options);
    }

    ConvertPlan plan;
    if (auto error = planConversion(arguments, plan))
        raiseValueError(argumentName(error->option) + ": " + inArgumentNames(error->message));

    auto recording = std::make_shared<RecordingFileSystem>(std::make_shared<RealFileSystem>());
    MessageCapture messages;
    ConvertRunResult result;
    {
        py::gil_scoped_release unlocked;
        result = runConvertPlan(plan, source, messages.file(), recording);
    }
    py::list written;
    for (const auto& path : recording->completed()) written.append(path);
    if (!result.everyFileConverted(plan)) {
        py::object type = moduleException("ConversionError");
        py::object error = type(messages.text());
        error.attr("written") = written;
        PyErr_SetObject(type.ptr(), error.ptr());
        throw py::error_already_set();
    }
    return written;
}

}  // namespace

void addConversion(py::module_& module) {
    module.def("convert", &convert, py::arg("inputs"), py::arg("format") = "text", py::arg("step") = py::none(),
               py::arg("interpolation") = "linear", py::arg("calibration") = "linear", py::arg("range") = py::none(),
               py::arg("output") = py::none(), py::arg("home") = py::none(), py::arg("options") = py::none(),
               py::arg("overwrite") = false, py::arg("jobs") = py::none(), py::kw_only(), py::arg("channels") = false,
               py::arg("whole_angle") = false, py::arg("fractional_counts") = false, py::arg("target") = py::none(),
               py::arg("wavelength") = py::none(), py::arg("date") = py::none(), py::arg("K") = py::none(),
               py::arg("C") = py::none(), py::arg("line_end") = "crlf", py::arg("block") = py::none(),
               "convert(inputs, format='text', step=None, interpolation='linear', calibration='linear', "
               "range=None, output=None, home=None, options=None, overwrite=False, jobs=None, *, "
               "channels=False, whole_angle=False, fractional_counts=False, target=None, wavelength=None, "
               "date=None, K=None, C=None, line_end='crlf', block=None) -> list[str]\n\n"
               "Converts files exactly as `scan2theta convert` does, with the same bytes; returns the paths "
               "written, in input order. Each argument means what its option means:\n"
               "inputs: a path or a list of paths; the first one's kind decides, each is read by its own reader.\n"
               "format: text, xfit, cpi, lhpm, gufi (--format). step: constant 2-theta step (--step; required "
               "for every format but text). interpolation: linear or spline. calibration: linear, spline or "
               "file (a GUFI file's own angles). range: (MIN, MAX) or 'MIN:MAX'. output: the output file (one "
               "input) or directory (several inputs, an existing directory, or a path ending in '/'); default "
               "beside each input. home: the program folder; options: an option file loaded after Default.pre. "
               "overwrite: replace existing outputs (otherwise the next free name, name-0001, ...). jobs: files "
               "converted in parallel (default: one per core). channels: channel lists instead of 2-theta. "
               "whole_angle, fractional_counts, target, wavelength, date (CPI header), K, C (set over the loaded "
               "calibration), line_end ('crlf' or 'lf'), block (from 1; default every block of a file that holds "
               "several, each into NAME-b1, NAME-b2, ...): as their options. Numbers may be given as numbers or "
               "as the command line's text; a choice left at its default counts as not given.\n\n"
               "Raises ValueError for what the command line refuses as a usage error (the message names the "
               "argument), and ConversionError when a file was skipped; its message is what the command line "
               "prints, and its `written` lists the files written all the same. The interpreter's other "
               "threads run meanwhile.");
}

}  // namespace s2t::python
