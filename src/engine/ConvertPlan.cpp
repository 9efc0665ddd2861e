#include "engine/ConvertPlan.h"

#include <algorithm>
#include <filesystem>

#include "engine/FileKind.h"
#include "engine/InputFormats.h"
#include "engine/OutputFormats.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

using Error = std::optional<UsageError>;

Error usage(std::string option, std::string message) { return UsageError{std::move(option), std::move(message)}; }

// Every number of the command line: one whole finite number, read the same in every locale.
Error readNumber(const std::string& option, const std::string& text, double& value) {
    if (!parseWholeDouble(text, value)) return usage(option, messages::notAFiniteNumber(text));
    return std::nullopt;
}

// Lines of the CPI header are written as given; a line break inside would add header lines.
Error refuseLineBreaks(const std::string& option, const std::string& text) {
    if (text.find_first_of("\r\n") != std::string::npos) return usage(option, messages::kNoLineBreaks);
    return std::nullopt;
}

const OutputFormatInfo* findFormatByName(std::string_view name) {
    for (const auto& format : outputFormats())
        if (format.commandLineName == name) return &format;
    return nullptr;
}

// The options that choose a conversion or shape its output; none of them means anything for a
// channel list.
Error checkChannelListAlone(const ConvertArguments& a) {
    const std::pair<const char*, bool> given[] = {
        {"--calibration", a.calibration.has_value()},
        {"--format", a.format.has_value()},
        {"--step", a.step.has_value()},
        {"--interpolation", a.interpolation.has_value()},
        {"--range", a.range.has_value()},
        {"--whole-angle", a.wholeAngle},
        {"--fractional-counts", a.fractionalCounts},
        {"--per-second", a.perSecond},
        {"--target", a.target.has_value()},
        {"--wavelength", a.wavelength.has_value()},
        {"--date", a.date.has_value()},
    };
    for (const auto& [name, isGiven] : given)
        if (isGiven) return usage("--channels", messages::cannotBeCombinedWith(name));
    return std::nullopt;
}

// Each input with its format: "-" as found before planning, every other input by --input-format
// or else by its name.
Error readInputs(const ConvertArguments& a, int block, std::vector<BatchInput>& inputs) {
    const InputFormatInfo* format = nullptr;
    if (auto error = namedInputFormat(a, format)) return error;
    for (const auto& path : a.inputs) {
        if (path == "-")
            inputs.emplace_back(kStandardInputPath, a.standardInputType.value_or(kOtherFileType), block);
        else
            inputs.emplace_back(path, format ? format->fileType : getFileType(path), block);
    }
    return std::nullopt;
}

Error readConversion(const ConvertArguments& a, const std::vector<BatchInput>& inputs, MainPanelChoices& panel) {
    panel.convertToTwoTheta = !a.channels;
    const std::string mode = a.calibration.value_or("linear");
    panel.linearMode = mode == "linear";
    panel.splineMode = mode == "spline";
    panel.trailerMode = mode == "trailer";
    if (mode != "linear" && mode != "spline" && mode != "file" && mode != "trailer")
        return usage("--calibration", messages::noneOf(mode, "linear, spline, file, trailer"));
    // A channel file has no angles of its own: the file's angles exist for GUFI lists only.
    if (mode == "file" && panelKindOf(inputs.front().fileType) == kChnFileType)
        return usage("--calibration", messages::fileAnglesOfAChannelFile(a.inputs.front()));
    // A GUFI file stores no calibration: the trailer's line exists for channel lists only.
    if (mode == "trailer" && getFileType(a.inputs.front()) == kGufiFileType)
        return usage("--calibration", messages::trailerOfAGufiFile(a.inputs.front()));
    return std::nullopt;
}

Error readFormatAndStep(const ConvertArguments& a, MainPanelChoices& panel, ConstStepOptions& constStep) {
    const std::string name = a.format.value_or("text");
    const OutputFormatInfo* format = findFormatByName(name);
    if (!format) return usage("--format", messages::noneOf(name, commandLineNames()));
    panel.outputFormat = format->value;

    // The grid formats describe a constant-step grid, so they always resample.
    const bool gridFormat = !format->constantStepOptional;
    if (a.step) {
        if (auto error = readNumber("--step", *a.step, constStep.step)) return error;
        if (!(constStep.step > 0.0)) return usage("--step", messages::kStepNotAbove0Option);
    } else if (gridFormat && !a.channels) {
        return usage("--step", messages::stepRequiredFor(name));
    }
    panel.constantStep = a.step.has_value() || gridFormat;

    const std::string method = a.interpolation.value_or("linear");
    if (method == "linear")
        constStep.method = kLinearInterpolation;
    else if (method == "spline")
        constStep.method = kSplineInterpolation;
    else
        return usage("--interpolation", messages::noneOf(method, "linear, spline"));
    constStep.fractionalCounts = a.fractionalCounts ? 1 : 0;
    panel.wholeTwoTheta = a.wholeAngle;
    if (a.perSecond && !format->annotated) {
        const std::string annotated = commandLineNames([](const OutputFormatInfo& f) { return f.annotated; });
        return usage("--per-second", messages::perSecondNeeds(annotated, name));
    }
    panel.perSecond = a.perSecond;
    return std::nullopt;
}

Error readRange(const ConvertArguments& a, MainPanelChoices& panel, RangeOptions& range) {
    if (!a.range) return std::nullopt;
    const std::string& text = *a.range;
    // The first colon splits, so negative limits need no quoting: -5:-1.
    const auto colon = text.find(':');
    if (colon == std::string::npos) return usage("--range", messages::notMinMax(text));
    if (auto error = readNumber("--range", text.substr(0, colon), range.minTwoTheta)) return error;
    if (auto error = readNumber("--range", text.substr(colon + 1), range.maxTwoTheta)) return error;
    if (range.minTwoTheta > range.maxTwoTheta)
        return usage("--range", messages::minAboveMax(text.substr(0, colon), text.substr(colon + 1)));
    panel.limitRange = true;
    return std::nullopt;
}

Error readCpiOptions(const ConvertArguments& a, CPIOptions& cpi) {
    cpi.target = a.target.value_or("Cu");
    if (cpi.target.size() > kMaxCpiTargetLength)
        return usage("--target", messages::targetTooLong(cpi.target, kMaxCpiTargetLength));
    if (auto error = refuseLineBreaks("--target", cpi.target)) return error;
    if (auto error = readNumber("--wavelength", a.wavelength.value_or("1.5406"), cpi.wavelength)) return error;
    if (a.date)
        if (auto error = refuseLineBreaks("--date", *a.date)) return error;
    return std::nullopt;
}

Error readCoefficients(const ConvertArguments& a, ConvertPlan& plan) {
    double value = 0.0;
    if (a.K) {
        if (auto error = readNumber("-K", *a.K, value)) return error;
        plan.K = value;
    }
    if (a.C) {
        if (auto error = readNumber("-C", *a.C, value)) return error;
        plan.C = value;
    }
    return std::nullopt;
}

bool endsWithSeparator(const std::string& path) { return !path.empty() && (path.back() == '/' || path.back() == '\\'); }

Error readDestination(const ConvertArguments& a, OutputDestination& destination) {
    const bool fromStandardInput = std::find(a.inputs.begin(), a.inputs.end(), "-") != a.inputs.end();
    if (!a.output) {
        // Beside each input; standard input has no folder to write beside.
        if (fromStandardInput) return usage("-o", messages::kOutputNeededForStandardInput);
        return std::nullopt;
    }
    if (*a.output == "-") {
        if (a.inputs.size() != 1) return usage("-o", messages::oneFileToStandardOutput(a.inputs.size()));
        destination = {OutputDestination::Kind::StandardOutput, "standard output"};
        return std::nullopt;
    }
    destination.path = *a.output;
    std::error_code ignored;
    // One input names its output file, unless the path is plainly a directory: writing
    // "out/.txt" or "out.txt" next to an existing folder out/ is never what was meant.
    const bool directory = a.inputs.size() > 1 || endsWithSeparator(destination.path) ||
                           std::filesystem::is_directory(destination.path, ignored);
    destination.kind = directory ? OutputDestination::Kind::Directory : OutputDestination::Kind::File;
    return std::nullopt;
}

Error readRunManners(const ConvertArguments& a, ConvertPlan& plan) {
    const std::string lineEnd = a.lineEnd.value_or("crlf");
    if (lineEnd == "crlf")
        plan.settings.lineEnd = LineEnd::CrLf;
    else if (lineEnd == "lf")
        plan.settings.lineEnd = LineEnd::Lf;
    else
        return usage("--line-end", messages::noneOf(lineEnd, "crlf, lf"));
    if (a.jobs && *a.jobs < 1) return usage("-j", messages::kJobsBelow1);
    plan.jobs = a.jobs ? *a.jobs : jobsPerCore();
    plan.confirmPolicy = a.overwrite ? ConfirmPolicy::AlwaysYes : ConfirmPolicy::AlwaysNo;
    plan.showProgress = !a.quiet;
    return std::nullopt;
}

}  // namespace

std::optional<UsageError> namedInputFormat(const ConvertArguments& a, const InputFormatInfo*& format) {
    format = nullptr;
    if (!a.inputFormat) return std::nullopt;
    format = findInputFormatByName(*a.inputFormat);
    if (format && format->name != "unknown") return std::nullopt;
    return UsageError{"--input-format", messages::noneOf(*a.inputFormat, inputFormatNames())};
}

std::optional<UsageError> planConversion(const ConvertArguments& arguments, ConvertPlan& plan) {
    plan = ConvertPlan{};
    if (arguments.inputs.empty()) return usage("INPUT", messages::kNoInputs);
    if (arguments.channels)
        if (auto error = checkChannelListAlone(arguments)) return error;

    if (arguments.block && *arguments.block < 1) return usage("--block", messages::kBlockBelow1);
    const int block = arguments.block ? *arguments.block - 1 : -1;

    MainPanelChoices panel;
    ConversionSettings& settings = plan.settings;
    if (auto error = readInputs(arguments, block, plan.inputs)) return error;
    if (auto error = readConversion(arguments, plan.inputs, panel)) return error;
    if (auto error = readFormatAndStep(arguments, panel, settings.constStepOpts)) return error;
    if (auto error = readRange(arguments, panel, settings.theRangeOptions)) return error;
    if (auto error = readCpiOptions(arguments, settings.CPIOpt)) return error;
    if (auto error = readCoefficients(arguments, plan)) return error;
    if (auto error = readRunManners(arguments, plan)) return error;

    plan.choices = readBatchChoices(panel, settings.constStepOpts);
    plan.date = arguments.date;
    return readDestination(arguments, plan.destination);
}

}  // namespace s2t
