#include "engine/BatchRun.h"

#include <cstdio>
#include <filesystem>
#include <span>

#include "calibration/Spline.h"
#include "engine/OutputFormats.h"
#include "engine/ScanReaders.h"
#include "engine/Writers.h"

namespace s2t {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The output path of one input under the chosen destination (still with the input's extension).
std::string outputPathFor(const std::string& input, const OutputDestination& destination) {
    switch (destination.kind) {
    case OutputDestination::Kind::File:
        return destination.path;
    case OutputDestination::Kind::BesideInputs:
        return input;
    case OutputDestination::Kind::Directory:
        break;
    }
    // The input's last component with the separator before it, after the directory; a directory
    // that already ends in a separator, or an input without one, gets exactly one between them.
    auto cut = input.find_last_of("/\\:");
    std::string name = cut == std::string::npos ? input : input.substr(cut + 1);
    std::string path = destination.path;
    if (path.empty() || !isSeparator(path.back())) path.push_back('/');
    return path + name;
}

}  // namespace

BatchChoices readBatchChoices(const MainPanelChoices& panel, const ConstStepOptions& constStepOpts) {
    BatchChoices choices;
    if (!panel.convertToTwoTheta) {
        choices.conversion = kNoConversion;
        choices.options = 0;
        choices.outputFileType = panel.outputFormatDimmed ? kTextOutput : panel.outputFormat;
        return choices;
    }
    std::uint16_t options = 0;
    if (panel.wholeTwoTheta) options |= kWholeTwoTheta;
    if (panel.constantStep) options |= kConstantStep;
    if (panel.limitRange) options |= kRangeLimits;
    if (constStepOpts.fractionalCounts == 1) options |= kFractionalCounts;
    choices.options = options;
    choices.outputFileType = panel.outputFormat;
    choices.conversion = panel.linearMode ? kLinearConversion : panel.splineMode ? kSplineConversion : kFileAngles;
    return choices;
}

bool convertAnyFile(const ConversionRequest& request, Session& session, Platform& platform) {
    Scan scan;
    const int status = request.fileType == kGufiFileType
                           ? readGUFIFile(request, scan, session.calibration, session.settings, platform)
                           : readMCAFile(request, scan, session.calibration, session.settings, platform);
    if (status != 0) return false;
    if (request.conversion == kNoConversion) return writeTextFileChannels(request, scan, session, platform);
    const OutputFormatInfo* format = findOutputFormat(request.outputFileType);
    return format && format->writer(request, scan, session, platform);
}

BatchResult runBatch(Session& session, Platform& platform, const std::vector<BatchInput>& inputs,
                     const BatchChoices& choices, const OutputDestination& destination, int /*jobs*/) {
    BatchResult result;
    std::unique_ptr<ProgressDisplay> progress = platform.openProgressDisplay();
    if (!progress) {
        platform.messagePopup("Panel Error", "There was an error will loading the progress panel");
        result.cancelled = true;
        return result;
    }
    const int n = static_cast<int>(inputs.size());
    for (int i = 0; i < n; ++i) {
        const BatchInput& input = inputs[static_cast<std::size_t>(i)];
        progress->setInputFile(input.path);
        const std::string output = removeExtension(outputPathFor(input.path, destination));
        char counter[64];
        std::snprintf(counter, sizeof counter, "File %d of %d", i + 1, n);
        progress->setFileCounter(counter);

        ConversionRequest request;
        request.inputFile = input.path;
        request.outputFile = output;
        request.fileType = input.fileType;
        request.conversion = choices.conversion;
        request.options = choices.options;
        request.outputFileType = choices.outputFileType;
        request.progressPanel = progress.get();

        // Every file starts from a freshly computed calibration spline.
        spline(std::span<CalibrationPoint>(session.calibration.calPoints), {&platform, nullptr}, true);
        if (convertAnyFile(request, session, platform))
            ++result.converted;
        else
            ++result.skipped;
    }
    return result;
}

BatchResult convertFiles(Session& session, Platform& platform, const std::vector<BatchInput>& inputs,
                         const BatchChoices& choices) {
    BatchResult result;
    if (inputs.empty()) return result;
    const OutputFormatInfo* format = findOutputFormat(choices.outputFileType);
    const std::string pattern = std::string(format ? format->pattern : "*.txt");
    std::string directory = getDirPath(inputs.front().path);
    if (directory.empty()) directory = std::filesystem::current_path().string();

    OutputDestination destination;
    if (inputs.size() == 1) {
        FileSelectOptions options;
        options.defaultDirectory = directory;
        options.defaultFileSpec = pattern;
        options.filterList = pattern;
        options.title = "Select Output File";
        options.restrictExtension = true;
        options.allowMakeDirectory = false;
        options.forSaving = true;
        auto chosen = platform.fileSelectPopup(options);
        if (!chosen) {
            result.cancelled = true;
            return result;
        }
        destination = {OutputDestination::Kind::File, *chosen};
    } else {
        DirSelectOptions options;
        options.defaultDirectory = directory;
        options.title = "Select Output Directory";
        options.allowMakeDirectory = true;
        auto chosen = platform.dirSelectPopup(options);
        if (!chosen) {
            result.cancelled = true;
            return result;
        }
        destination = {OutputDestination::Kind::Directory, *chosen};
    }
    return runBatch(session, platform, inputs, choices, destination);
}

}  // namespace s2t
