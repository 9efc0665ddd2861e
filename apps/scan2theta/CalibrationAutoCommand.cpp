// scan2theta calibration auto: the calibration from a scan of a standard in one step. The
// scan's peaks are found and matched to the standard's reflections by position, each
// reflection's K-alpha1/K-alpha2 doublet is fitted, and the weighted line through the pairs
// is stored with the pairs as calibration points, as "calibration fit" stores its line.
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "AutoCalibrationReport.h"
#include "CalibrationFit.h"
#include "Cli.h"
#include "CliMessages.h"
#include "options/OptionFile.h"
#include "peaks/AutoCalibration.h"
#include "peaks/ChannelCounts.h"
#include "platform/ConsolePlatform.h"
#include "platform/NumberText.h"
#include "standards/StandardDiscovery.h"
#include "standards/StandardsImport.h"
#include "standards/XFitFile.h"

namespace s2t::cli {
namespace {

struct AutoArguments {
    CalibrationSource source;
    FitOutput output;
    std::string standard;
    std::string scan;
    std::string wavelength = "1.5406";
    std::string alpha2 = "1.54443";
    std::string alpha2Ratio = "0.5";
    std::string peaksOut;
    std::optional<std::string> K, C;
};

// A number of the command line: one whole finite number, read the same in every locale.
bool readNumber(const std::string& option, const std::string& text, double& value, int& status) {
    if (parseWholeDouble(text, value)) return true;
    status = usageError(messages::notAFiniteNumber(option, text));
    return false;
}

// Reads the numeric options into settings; kExitOk or the usage error reported.
int readSettings(const AutoArguments& a, peaks::AutoCalibrationSettings& settings) {
    int status = kExitOk;
    if (!readNumber("--wavelength", a.wavelength, settings.wavelength, status)) return status;
    if (!(settings.wavelength > 0.0)) return usageError(messages::kWavelengthOptionNotAbove0);
    if (a.alpha2 == "none") {
        settings.alpha2Wavelength = 0.0;
    } else {
        if (!readNumber("--alpha2", a.alpha2, settings.alpha2Wavelength, status)) return status;
        if (!(settings.alpha2Wavelength > 0.0)) return usageError(messages::kAlpha2OptionNotAbove0);
    }
    if (!readNumber("--alpha2-ratio", a.alpha2Ratio, settings.alpha2Ratio, status)) return status;
    if (!(settings.alpha2Ratio >= 0.0)) return usageError(messages::kAlpha2RatioOptionBelow0);
    return kExitOk;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code code;
    return std::filesystem::equivalent(a, b, code);
}

bool writePeakFile(const std::string& path, const peaks::AutoCalibrationResult& result, LineEnd lineEnd,
                   Platform& platform) {
    std::vector<double> channels;
    for (const auto& pair : result.pairs) channels.push_back(pair.channel);
    auto file = platform.fileSystem().createOutputFile(path, ExistingFile::Replace);
    if (file) {
        OutputStream out(*file);
        out.append(plainPeakFileText(channels, lineEnd));
        if (out.commit()) return true;
    }
    platform.messagePopup(messages::kFileError, messages::couldNotWritePeakFile(path));
    return false;
}

int calibrateAutomatically(const AutoArguments& a) {
    peaks::AutoCalibrationSettings settings;
    if (const int status = readSettings(a, settings); status != kExitOk) return status;
    double K = 0.0, C = 0.0;
    int status = kExitOk;
    if (a.K && !readNumber("-K", *a.K, K, status)) return status;
    if (a.C && !readNumber("-C", *a.C, C, status)) return status;

    ConsolePlatform platform;
    CalibrationState state;
    std::string folder;
    if (!loadCalibration(a.source, state, platform, folder)) return kExitFailures;
    if (a.K) state.header.K = K;
    if (a.C) state.header.C = C;
    if (state.header.C == 0.0) return usageError(messages::kStartingSlopeZero);
    settings.startK = state.header.K;
    settings.startC = state.header.C;

    std::string standardPath;
    if (const int found = findStandardFile(a.standard, folder, standardPath); found != kExitOk) return found;
    const std::string optionPath = a.output.path.empty() ? defaultOptionsPath(folder) : a.output.path;
    for (const std::string* output : {&optionPath, &a.peaksOut})
        if (!output->empty() && sameFile(*output, a.scan)) {
            platform.messagePopup(messages::kFileError, messages::outputIsTheScan(*output));
            return kExitFailures;
        }

    std::vector<double> reflections;
    if (!readStandard(standardPath, reflections, platform)) return kExitFailures;
    std::vector<double> counts;
    if (!peaks::readChannelCounts(a.scan, counts, platform)) return kExitFailures;

    AutoCalibrationRun run{standardPath, a.scan, counts.size(), settings,
                           peaks::calibrateFromScan(counts, reflections, settings)};
    const auto& result = run.result;
    // With --json nothing is printed unless the calibration was stored.
    if (!a.output.asJson) print(autoCalibrationText(run));
    if (!result.ok) {
        platform.messagePopup(messages::kNotPossible, result.refusal);
        return kExitFailures;
    }

    state.header.K = result.storedK;
    state.header.C = result.storedC;
    // The pairs and the spline's end guards, as the table shows them.
    state.calPoints = peaks::storedCalibrationPoints(result);
    const LineEnd lineEnd = a.output.lineEnd == "lf" ? LineEnd::Lf : LineEnd::CrLf;
    if (saveOptionsFile(optionPath, true, state, platform, lineEnd) != SaveOutcome::Written) return kExitFailures;
    if (!recordStandard(optionPath, standardNameOrFileName(standardPath), state, lineEnd, platform))
        return kExitFailures;
    if (!a.peaksOut.empty() && !writePeakFile(a.peaksOut, result, lineEnd, platform)) return kExitFailures;
    if (a.output.asJson) {
        print(autoCalibrationJson(run, optionPath, a.peaksOut));
        return kExitOk;
    }
    print("Option file written: " + optionPath + "\n");
    if (!a.peaksOut.empty()) print("Peak file written: " + a.peaksOut + "\n");
    return kExitOk;
}

}  // namespace

void addCalibrationAutoCommand(CLI::App& calibration, CommandAction& action) {
    auto a = std::make_shared<AutoArguments>();
    auto* command = calibration.add_subcommand(
        "auto",
        "Find the peaks of a scan of a standard, match them to its reflections by position, fit each "
        "K-alpha1/K-alpha2 doublet, and write the weighted line with the pairs as calibration points");
    command
        ->add_option("--standard", a->standard,
                     "A standard's name (see \"scan2theta standards\", case ignored) or a standard file")
        ->required();
    command->add_option("SCAN", a->scan, "Channel file (*.chn) of the standard; a GUFI file by point index")
        ->required()
        ->check(CLI::ExistingFile);
    command
        ->add_option("--wavelength", a->wavelength,
                     "K-alpha1 wavelength the standard's 2-theta were computed for (default 1.5406)")
        ->type_name("NUM");
    command
        ->add_option("--alpha2", a->alpha2,
                     "K-alpha2 wavelength (default 1.54443), or none for monochromatic radiation")
        ->type_name("NUM|none");
    command->add_option("--alpha2-ratio", a->alpha2Ratio, "K-alpha2 height over K-alpha1 height (default 0.5)")
        ->type_name("NUM");
    command
        ->add_option("--peaks-out", a->peaksOut,
                     "Also write the matched K-alpha1 peak channels as an XFit peak file (plain list)")
        ->type_name("FILE");
    command->add_option("-K", a->K, "Starting intercept K, set after loading the calibration")->type_name("NUM");
    command->add_option("-C", a->C, "Starting slope C, set after loading the calibration")->type_name("NUM");
    addFitOutputOptions(*command, a->output);
    addCalibrationSourceOptions(*command, a->source);
    command->callback([&action, a] { action = [a] { return calibrateAutomatically(*a); }; });
}

}  // namespace s2t::cli
