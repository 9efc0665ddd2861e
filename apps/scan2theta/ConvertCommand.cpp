// scan2theta convert: the main panel's batch from the command line. The options stand for the
// main panel's controls and the option panels; the batch itself is the desktop program's.
#include <memory>

#include "Cli.h"
#include "ConvertInputs.h"
#include "engine/ConvertPlan.h"
#include "engine/ConvertRun.h"
#include "engine/OutputFormats.h"

namespace s2t::cli {
namespace {

int runConversion(const ConvertPlan& plan, const CalibrationSource& source) {
    const ConvertRunResult run = runConvertPlan(plan, source, stderr);
    // A warning about the option file counts as for every other command.
    return statusAfterMessages(run.everyFileConverted(plan) ? kExitOk : kExitFailures, run.messagesShown);
}

// An option whose value is kept as text and whose presence matters.
CLI::Option* addText(CLI::App& command, const std::string& names, ConvertArguments::Text& value,
                     const std::string& description, const std::string& typeName) {
    return command
        .add_option_function<std::string>(
            names, [&value](const std::string& text) { value = text; }, description)
        ->type_name(typeName);
}

// Every --format name, the first (the default) marked as such.
std::string formatNamesWithDefault() {
    std::string names = commandLineNames();
    names.insert(outputFormats().front().commandLineName.size(), " (default)");
    return names;
}

}  // namespace

void addConvertCommand(CLI::App& app, CommandAction& action) {
    auto* convert = app.add_subcommand(
        "convert",
        "Convert channel files (*.chn), GUFI files (*.guf) and the scans of other instruments into 2-theta "
        "data files or channel lists");
    auto arguments = std::make_shared<ConvertArguments>();
    auto source = std::make_shared<CalibrationSource>();
    ConvertArguments& a = *arguments;

    convert->add_option("INPUT", a.inputs,
                        "Input files; the first one's kind (by extension, else by content) decides like "
                        "the main panel's file list, and each file is read by its own reader. - reads a "
                        "scan from standard input (needs -o)");
    addText(*convert, "--input-format", a.inputFormat,
            "Read every input as this format (see info) instead of choosing by extension; for - the "
            "default is the format its content shows",
            "NAME");
    addText(*convert, "--files-from", a.filesFrom,
            "Also convert the files listed in FILE, one path per line (- reads the list from "
            "standard input)",
            "FILE");
    convert->add_flag("-0,--null", a.nulSeparated, "The paths of --files-from end in a NUL byte, not a line end");
    convert->add_flag("--channels", a.channels,
                      "Write channel lists (channel, count) instead of converting to 2-theta");
    addText(*convert, "--calibration", a.calibration,
            "linear (default): 2-theta = C x channel + K; spline: the calibration spline; file: the "
            "file's own angles (GUFI files and other angle scans); trailer: the straight line stored in "
            "each channel file's trailer",
            "MODE");
    addText(*convert, "-f,--format", a.format, "Output format: " + formatNamesWithDefault(), "FMT");
    addText(*convert, "-s,--step", a.step,
            "Resample onto a constant 2-theta step of DEG degrees (required for " +
                commandLineNames([](const OutputFormatInfo& f) { return !f.constantStepOptional; }) + ")",
            "DEG");
    addText(*convert, "--interpolation", a.interpolation, "Resampling: linear (default) or spline", "METHOD");
    addText(*convert, "--range", a.range, "Keep 2-theta from MIN to MAX degrees", "MIN:MAX");
    convert->add_flag("--whole-angle", a.wholeAngle, "Round every 2-theta to a whole degree");
    convert->add_flag("--fractional-counts", a.fractionalCounts,
                      "Keep counts as computed instead of rounding them to whole numbers");
    convert->add_flag("--per-second", a.perSecond,
                      "Counts and uncertainties per second of each file's live time (" +
                          commandLineNames([](const OutputFormatInfo& f) { return f.annotated; }) +
                          "; implies --fractional-counts)");
    addText(*convert, "--target", a.target, "CPI tube target, at most 7 characters (default Cu)", "TEXT");
    addText(*convert, "--wavelength", a.wavelength,
            "Wavelength in Angstrom for the CPI, pdcif, xy, xye and fxye headers (default 1.5406)", "NUM");
    addText(*convert, "--date", a.date, "CPI date line (default: today, YYYY-MM-DD)", "TEXT");
    addCalibrationSourceOptions(*convert, *source);
    addText(*convert, "-K", a.K, "Straight-line intercept K, set after loading the calibration", "NUM");
    addText(*convert, "-C", a.C, "Straight-line slope C, set after loading the calibration", "NUM");
    addText(*convert, "-o,--output", a.output,
            "One input: the output file (its extension becomes the format's), or - for standard "
            "output; several inputs: the output directory, created if missing. Default: beside each input",
            "PATH");
    convert->add_flag("--overwrite", a.overwrite,
                      "Replace existing output files (default: take the next free name, -0001, -0002, ...)");
    addText(*convert, "--line-end", a.lineEnd, "Line ends of written files: crlf (default) or lf", "crlf|lf");
    convert
        ->add_option_function<int>(
            "--block", [&a](int block) { a.block = block; },
            "Convert block N (from 1) of each input; default: every block of a file that holds several, "
            "each into NAME-b1, NAME-b2, ...")
        ->type_name("N");
    convert->add_flag("-q,--quiet", a.quiet, "No progress display");
    convert
        ->add_option_function<int>(
            "-j", [&a](int jobs) { a.jobs = jobs; }, "Files converted in parallel (default: the number of cores)")
        ->type_name("N");

    convert->callback([&action, arguments, source] {
        if (auto error = gatherInputs(*arguments)) throw CLI::ValidationError(error->option, error->message);
        auto plan = std::make_shared<ConvertPlan>();
        if (auto error = planConversion(*arguments, *plan)) throw CLI::ValidationError(error->option, error->message);
        action = [plan, source] { return runConversion(*plan, *source); };
    });
}

}  // namespace s2t::cli
