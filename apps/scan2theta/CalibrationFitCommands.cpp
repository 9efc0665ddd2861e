// scan2theta calibration fit: the straight line through points listed in a file.
// scan2theta calibration from-standard: the points made by pairing a standard's reflections with
// the peaks of an XFit peak file, as the standards window makes them, and the line through them.
// Both write the new calibration (K, C and the points) to an option file.
#include <memory>

#include "CalibrationFit.h"
#include "Cli.h"
#include "CliMessages.h"
#include "PointsFile.h"
#include "platform/ConsolePlatform.h"
#include "standards/StandardDiscovery.h"
#include "standards/StandardPairs.h"

namespace s2t::cli {
namespace {

struct FitArguments {
    CalibrationSource source;
    FitOutput output;
    std::string points;
};

struct FromStandardArguments {
    CalibrationSource source;
    FitOutput output;
    std::string standard;
    std::string peaks;
};

int fitPointsFile(const FitArguments& arguments) {
    ConsolePlatform platform;
    std::vector<CalibrationPoint> points;
    std::string problem;
    switch (readPointsFile(arguments.points, points, problem)) {
    case PointsFileResult::Read: break;
    case PointsFileResult::Malformed: return usageError("--points: " + problem);
    case PointsFileResult::CannotOpen:
        platform.messagePopup(messages::kFileError, messages::couldNotReadPointsFile(arguments.points));
        return kExitFailures;
    case PointsFileResult::TooLarge:
        platform.messagePopup(messages::kFileError, messages::pointsFileTooLarge(arguments.points));
        return kExitFailures;
    }
    CalibrationState state;
    std::string folder;
    if (!loadCalibration(arguments.source, state, platform, folder)) return kExitFailures;
    FitOutput output = arguments.output;
    output.inputs = {arguments.points, arguments.source.options};
    return statusAfterMessages(fitAndSave(state, folder, points, output, platform), platform.messageCount());
}

int fitFromStandard(const FromStandardArguments& arguments) {
    ConsolePlatform platform;
    CalibrationState state;
    std::string folder;
    if (!loadCalibration(arguments.source, state, platform, folder)) return kExitFailures;
    std::string path;
    if (const int status = findStandardFile(arguments.standard, folder, path); status != kExitOk) return status;

    StandardsImport data;
    if (!importStandardAndPeaks(path, arguments.peaks, data, platform)) return kExitFailures;
    const auto pairs = pairStandards(data, kMaxPanelPairs);
    FitOutput output = arguments.output;
    output.inputs = {path, arguments.peaks, arguments.source.options};
    output.standardName = standardNameOrFileName(path);
    std::vector<CalibrationPoint> points;
    for (const auto& pair : pairs) points.push_back({pair.channel, pair.twoTheta, 0.0});
    if (arguments.output.asJson) {
        JsonWriter json;
        json.beginObject();
        json.key("standard").string(path);
        json.key("peaks").string(arguments.peaks);
        json.key("reflectionCount").integer(static_cast<long long>(data.standard.size()));
        json.key("peakCount").integer(static_cast<long long>(data.observed.size()));
        json.key("pairs").beginArray();
        for (const auto& pair : pairs) {
            json.beginObject().key("twoTheta").fixed(pair.twoTheta, 4).key("channel").fixed(pair.channel, 4);
            json.endObject();
        }
        json.endArray();
        return statusAfterMessages(fitAndSave(state, folder, points, output, platform, &json), platform.messageCount());
    }

    std::string report = "Standard: " + path + "\nPeaks: " + arguments.peaks + "\n";
    report += std::to_string(data.standard.size()) + " reflections, " + std::to_string(data.observed.size()) +
              " peaks, " + std::to_string(pairs.size()) + " pairs (2-theta -> channel):\n";
    for (const auto& pair : pairs) report += pairListText(pair) + "\n";
    print(report);
    return statusAfterMessages(fitAndSave(state, folder, points, output, platform), platform.messageCount());
}

}  // namespace

void addCalibrationFitCommands(CLI::App& calibration, CommandAction& action) {
    auto fitArguments = std::make_shared<FitArguments>();
    auto* fit = calibration.add_subcommand(
        "fit", "Fit K and C to the points of a file and write them with the points to an option file");
    fit->add_option("--points", fitArguments->points,
                    "File of calibration points, one \"channel 2-theta\" per line (empty lines "
                    "and lines starting with # are ignored)")
        ->required()
        ->check(CLI::ExistingFile);
    addFitOutputOptions(*fit, fitArguments->output);
    addCalibrationSourceOptions(*fit, fitArguments->source);
    fit->callback([&action, fitArguments] { action = [fitArguments] { return fitPointsFile(*fitArguments); }; });

    auto standardArguments = std::make_shared<FromStandardArguments>();
    auto* fromStandard = calibration.add_subcommand(
        "from-standard",
        "Pair a standard's reflections with the peaks of an XFit peak file (k-th reflection with "
        "k-th peak, at most 512 pairs), make the pairs the calibration points, fit K and C, and "
        "write the option file");
    fromStandard
        ->add_option("--standard", standardArguments->standard,
                     "A standard's name (see \"scan2theta standards\", case ignored) or a standard "
                     "file")
        ->required();
    fromStandard
        ->add_option("--peaks", standardArguments->peaks,
                     "XFit peak file of the measured standard (peak positions in channels)")
        ->required()
        ->check(CLI::ExistingFile);
    addFitOutputOptions(*fromStandard, standardArguments->output);
    addCalibrationSourceOptions(*fromStandard, standardArguments->source);
    fromStandard->callback(
        [&action, standardArguments] { action = [standardArguments] { return fitFromStandard(*standardArguments); }; });
}

}  // namespace s2t::cli
