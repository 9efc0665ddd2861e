// The cursor readout under the preview: the channel, 2-theta and count of the point nearest the
// cursor, as numbers (for the tests) and as the line the user reads.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "ui/PreviewScan.h"

namespace s2t::ui {

struct ReadoutValues {
    std::size_t index = 0;           // the point, counted from 0 in file order
    std::optional<double> channel;   // none for a scan with angles of its own
    std::optional<double> twoTheta;  // none when no 2-theta can be had
    double count = 0.0;
};

ReadoutValues readoutValues(const PreviewData& data, std::size_t index);

// "Channel 700   2-theta 35.1234°   Count 1234"; a scan with angles of its own names its point
// instead ("Point 13 of 400 (an angle scan has no channels)").
std::string readoutText(const PreviewData& data, const ReadoutValues& values);

}  // namespace s2t::ui
