// scan2theta calibration show: the calibration in force, its points with their residuals, and
// the 2-theta of a few channels by both calibrations.
#include <memory>

#include "CalibrationFit.h"
#include "Cli.h"
#include "calibration/Spline.h"
#include "engine/ChannelMapping.h"
#include "options/OptionFile.h"
#include "platform/ConsolePlatform.h"
#include "platform/JsonWriter.h"
#include "platform/NumberText.h"

namespace s2t::cli {
namespace {

// The channels whose 2-theta the report shows by both calibrations.
constexpr double kSampleChannels[] = {0.0, 500.0, 1000.0, 1500.0, 2000.0, 2500.0, 4095.0};

std::string calibrationReport(const CalibrationState& state, const std::string& folder) {
    std::string text;
    text += "Program folder: " + folder + "\n";
    text += "Default option file: " + defaultOptionsPath(folder) + "\n";
    text += "Straight line: 2-theta = C x channel + K\n";
    text += "  K = ";
    appendFixed(text, state.header.K, 6);
    text += "\n  C = ";
    appendFixed(text, state.header.C, 8);
    text += "\nCalibration points: ";
    appendInteger(text, state.numOfDataPoints());
    text += "\n";

    const bool splineUsable = splineCalibrationUsable(state);
    text += "     channel     2-theta   line residual   spline residual\n";
    for (const auto& point : state.calPoints) {
        appendFixed(text, point.channel, 4, 12);
        appendFixed(text, point.twoTheta, 4, 12);
        appendFixed(text, point.twoTheta - channelToTTheta(state, point.channel, true), 4, 16);
        if (splineUsable)
            appendFixed(text, point.twoTheta - channelToTTheta(state, point.channel, false), 4, 18);
        else
            text += "                 -";
        text += "\n";
    }

    text += "     channel   2-theta (line)   2-theta (spline)\n";
    for (double channel : kSampleChannels) {
        appendFixed(text, channel, 1, 12);
        appendFixed(text, channelToTTheta(state, channel, true), 4, 17);
        if (splineUsable)
            appendFixed(text, channelToTTheta(state, channel, false), 4, 19);
        else
            text += "   (needs two points with different channels)";
        text += "\n";
    }
    return text;
}

// The report's values as JSON, with the digits the text shows; what the spline cannot give is null.
std::string calibrationJson(const CalibrationState& state, const std::string& folder) {
    const bool splineUsable = splineCalibrationUsable(state);
    JsonWriter json;
    json.beginObject();
    json.key("programFolder").string(folder);
    json.key("defaultOptionFile").string(defaultOptionsPath(folder));
    addLineJson(state, json);
    json.key("splineUsable").boolean(splineUsable);
    json.key("points").beginArray();
    for (const auto& point : state.calPoints) {
        json.beginObject();
        addPointJson(state, point, json);
        json.key("splineResidual");
        if (splineUsable)
            json.fixed(point.twoTheta - channelToTTheta(state, point.channel, false), 4);
        else
            json.null();
        json.endObject();
    }
    json.endArray();
    json.key("channels").beginArray();
    for (double channel : kSampleChannels) {
        json.beginObject();
        json.key("channel").fixed(channel, 1);
        json.key("lineTwoTheta").fixed(channelToTTheta(state, channel, true), 4);
        json.key("splineTwoTheta");
        if (splineUsable)
            json.fixed(channelToTTheta(state, channel, false), 4);
        else
            json.null();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return json.text();
}

int showCalibration(const CalibrationSource& source, bool asJson) {
    ConsolePlatform platform;
    CalibrationState state;
    std::string folder;
    if (!loadCalibration(source, state, platform, folder)) return kExitFailures;
    // As before every conversion: sort the points and compute the spline through them.
    spline(std::span<CalibrationPoint>(state.calPoints), true);
    print(asJson ? calibrationJson(state, folder) : calibrationReport(state, folder));
    return statusAfterMessages(kExitOk, platform.messageCount());
}

}  // namespace

void addCalibrationCommands(CLI::App& app, CommandAction& action) {
    auto* calibration = app.add_subcommand("calibration", "Show and build the calibration");
    calibration->require_subcommand(1);

    auto source = std::make_shared<CalibrationSource>();
    auto* show = calibration->add_subcommand(
        "show", "Print the calibration in force (K, C, every point) and the 2-theta of a few channels");
    addCalibrationSourceOptions(*show, *source);
    auto asJson = std::make_shared<bool>(false);
    addJsonFlag(*show, *asJson);
    show->callback(
        [&action, source, asJson] { action = [source, asJson] { return showCalibration(*source, *asJson); }; });

    addCalibrationFitCommands(*calibration, action);
    addCalibrationAutoCommand(*calibration, action);
}

}  // namespace s2t::cli
