#include "engine/BatchRun.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#include <unistd.h>

#include "engine/AngleMemo.h"
#include "engine/BatchBlocks.h"
#include "engine/BatchPlan.h"
#include "engine/BatchSpline.h"
#include "engine/InputFormats.h"
#include "engine/OutputFormats.h"
#include "engine/ParallelBatch.h"
#include "engine/StreamOutputTarget.h"
#include "engine/Writers.h"
#include "platform/Messages.h"

namespace s2t {

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
    // A rate rounded to whole counts per second would lose nearly all of it: rates keep their
    // fractions.
    if (panel.perSecond) options |= kCountsPerSecond | kFractionalCounts;
    choices.options = options;
    choices.outputFileType = panel.outputFormat;
    choices.conversion = panel.linearMode    ? kLinearConversion
                         : panel.splineMode  ? kSplineConversion
                         : panel.trailerMode ? kTrailerCalibration
                                             : kFileAngles;
    return choices;
}

bool writeScan(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    if (request.conversion == kNoConversion) return writeTextFileChannels(request, scan, session, platform);
    const OutputFormatInfo* format = findOutputFormat(request.outputFileType);
    return format && format->writer(request, scan, session, platform);
}

bool convertAnyFile(const ConversionRequest& request, Session& session, Platform& platform) {
    ReadResult read = readAnyFile(request, session.calibration);
    if (!showReadMessages(read, platform)) return false;
    return writeScan(request, read.scan, session, platform);
}

BatchResult runBatch(Session& session, Platform& platform, const std::vector<BatchInput>& inputs,
                     const BatchChoices& choices, const OutputDestination& destination, int jobs) {
    BatchResult result;
    std::unique_ptr<ProgressDisplay> progress = platform.openProgressDisplay();
    if (!progress) {
        platform.messagePopup(messages::kPanelError, messages::kProgressPanelError);
        result.cancelled = true;
        return result;
    }
    const std::vector<BatchInput> entries = expandBlocks(inputs);
    const BatchPlan plan(entries, choices, destination, &platform.fileSystem());
    BatchSpline calibrationSpline;
    if (destination.kind == OutputDestination::Kind::StandardOutput) {
        StreamOutputTarget toStandardOutput(STDOUT_FILENO, destination.path, platform,
                                            progress->showsAnything() ? progress.get() : nullptr);
        AngleMemo angles;
        convertInOrder(session, platform, *progress, plan, calibrationSpline, &angles, result, &toStandardOutput);
        return result;
    }
    if (jobs > 1 && plan.size() > 1 &&
        runParallelBatch(session, platform, *progress, plan, calibrationSpline, jobs, result))
        return result;

    AngleMemo angles;
    convertInOrder(session, platform, *progress, plan, calibrationSpline, &angles, result);
    return result;
}

int jobsPerCore() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

void convertInOrder(Session& session, Platform& platform, ProgressDisplay& progress, const BatchPlan& plan,
                    BatchSpline& calibrationSpline, AngleMemo* angles, BatchResult& result, OutputTarget* target) {
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (progress.stopRequested()) {
            result.stopped = true;
            return;
        }
        progress.setInputFile(plan.inputPath(i));
        progress.setFileCounter(plan.counterText(i));
        calibrationSpline.computeFor(i, session.calibration);
        calibrationSpline.showFor(i, platform);
        ConversionRequest request = plan.request(i, &progress);
        request.angleMemo = angles;
        request.outputTarget = target;
        if (convertAnyFile(request, session, platform))
            ++result.converted;
        else
            ++result.skipped;
    }
}

BatchResult convertFiles(Session& session, Platform& platform, const std::vector<BatchInput>& inputs,
                         const BatchChoices& choices, int jobs) {
    BatchResult result;
    if (inputs.empty()) return result;
    const OutputFormatInfo* format = findOutputFormat(choices.outputFileType);
    const std::string pattern = std::string(format ? format->pattern : "*.txt");
    std::string directory = getDirPath(inputs.front().path);
    if (directory.empty()) directory = std::filesystem::current_path().string();

    OutputDestination destination;
    if (inputs.size() == 1) {
        FileSelectOptions options = filePopup(directory, pattern, messages::kSelectOutputFile, true);
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
        options.title = messages::kSelectOutputDirectory;
        options.allowMakeDirectory = true;
        auto chosen = platform.dirSelectPopup(options);
        if (!chosen) {
            result.cancelled = true;
            return result;
        }
        destination = {OutputDestination::Kind::Directory, *chosen};
    }
    return runBatch(session, platform, inputs, choices, destination, jobs);
}

}  // namespace s2t
