// The data of a scan preview: one listed file read as a batch would read it, under the
// calibration and mode in force, without any popup and without touching the session.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Session.h"
#include "platform/NullPlatform.h"

namespace s2t::ui {

// A platform that shows nothing: messages are kept for the caller, questions are answered no,
// popups are cancelled, and there is no progress display.
class QuietPlatform : public NullPlatform {
public:
    void messagePopup(std::string_view, std::string_view text) override { messages.emplace_back(text); }

    std::vector<std::string> messages;  // the texts of the messages, in order
};

struct PreviewData {
    std::vector<double> x;  // 2-theta (degrees), or channel when againstChannel
    std::vector<double> counts;
    bool againstChannel = false;
    // Whether the points are channels (firstChannel, firstChannel + 1, ...); a scan with angles
    // of its own has none, and against channel its points go by index.
    bool hasChannels = false;
    double firstChannel = 0.0;
    // The 2-theta of every point under the calibration in force (the file's own angles where
    // they are taken); empty when there is none to be had, twoThetaNote then says why.
    std::vector<double> twoTheta;
    std::string twoThetaNote;
    std::string description;  // what the file says it holds; empty when it says nothing
    std::string error;        // why there is nothing to plot; empty when there is
};

// Reads path (of the given kind) for conversion (0 channel list, 1 straight line, 2 spline,
// 3 the file's own angles, 5 the line stored in the file). The calibration spline is recomputed on
// a copy first, as the batch does before every file. A channel list also gets the 2-theta its
// points would have under angleConversion (the conversion the mode buttons choose), for the
// cursor readout; by default the straight line in force.
PreviewData previewScan(const Session& session, const std::string& path, std::int32_t fileType, Conversion conversion,
                        Conversion angleConversion = kLinearConversion);

// The text shown in place of the plot when a file cannot be previewed.
std::string previewFailureText(const std::string& reason);

}  // namespace s2t::ui
