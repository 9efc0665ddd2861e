#include "CalibrationFit.h"

#include "calibration/LinearFit.h"
#include "engine/ChannelMapping.h"
#include "options/CalibrationOrigin.h"
#include "options/OptionFile.h"
#include "platform/NumberText.h"
#include "standards/StandardDiscovery.h"

namespace s2t::cli {
namespace {

std::string fitReport(const CalibrationState& state) {
    std::string text = "Fitted straight line as stored: 2-theta = C x channel + K\n  K = ";
    appendFixed(text, state.header.K, 6);
    text += "\n  C = ";
    appendFixed(text, state.header.C, 8);
    text += "\n     channel     2-theta   line residual\n";
    for (const auto& point : state.calPoints) {
        appendFixed(text, point.channel, 4, 12);
        appendFixed(text, point.twoTheta, 4, 12);
        appendFixed(text, point.twoTheta - channelToTTheta(state, point.channel, true), 4, 16);
        text += "\n";
    }
    return text;
}

// The fitted line and the points as members of the open JSON object, with the text's digits.
void addFitJson(const CalibrationState& state, const std::string& optionFile, JsonWriter& json) {
    addLineJson(state, json);
    json.key("points").beginArray();
    for (const auto& point : state.calPoints) {
        json.beginObject();
        addPointJson(state, point, json);
        json.endObject();
    }
    json.endArray();
    json.key("optionFile").string(optionFile);
}

}  // namespace

void addLineJson(const CalibrationState& state, JsonWriter& json) {
    json.key("K").fixed(state.header.K, 6);
    json.key("C").fixed(state.header.C, 8);
}

void addPointJson(const CalibrationState& state, const CalibrationPoint& point, JsonWriter& json) {
    json.key("channel").fixed(point.channel, 4);
    json.key("twoTheta").fixed(point.twoTheta, 4);
    json.key("lineResidual").fixed(point.twoTheta - channelToTTheta(state, point.channel, true), 4);
}

int findStandardFile(const std::string& argument, const std::string& folder, std::string& path) {
    std::string refusal;
    path = standardFileFor(argument, folder, refusal);
    return path.empty() ? usageError("--standard: " + refusal) : kExitOk;
}

void addFitOutputOptions(CLI::App& command, FitOutput& output) {
    command.add_option("-o,--output", output.path,
                       "Option file to write, replaced without asking (default: Default.pre in "
                       "the program folder)");
    command.add_option("--line-end", output.lineEnd, "Line ends of the option file: crlf (default) or lf")
        ->check(CLI::IsMember({"crlf", "lf"}));
    addJsonFlag(command, output.asJson);
}

bool recordStandard(const std::string& path, const std::string& standardName, const CalibrationState& state,
                    LineEnd lineEnd, Platform& platform) {
    if (standardName.empty()) return true;
    return recordCalibrationOrigin(path, originFromStandard(standardName, state), state, platform, lineEnd);
}

int fitAndSave(CalibrationState& state, const std::string& folder, std::span<const CalibrationPoint> points,
               const FitOutput& output, Platform& platform, JsonWriter* json) {
    if (!calcCoefficients(state, points, platform)) return kExitFailures;
    const std::string path = output.path.empty() ? defaultOptionsPath(folder) : output.path;
    const LineEnd lineEnd = output.lineEnd == "lf" ? LineEnd::Lf : LineEnd::CrLf;
    if (saveOptionsFile(path, true, state, platform, lineEnd, output.inputs) != SaveOutcome::Written) {
        if (!output.asJson) print(fitReport(state));  // nothing stored: the fit as computed
        return kExitFailures;
    }
    if (!recordStandard(path, output.standardName, state, lineEnd, platform)) return kExitFailures;
    // What is reported is what later runs will use: the line as stored.
    adoptStoredValues(state);
    if (output.asJson) {
        JsonWriter own;
        JsonWriter& document = json ? *json : own.beginObject();
        addFitJson(state, path, document);
        print(document.endObject().text());
    } else {
        print(fitReport(state));
        print("Option file written: " + path + "\n");
    }
    return kExitOk;
}

}  // namespace s2t::cli
