#include "ui/PreviewReadout.h"

#include "platform/NumberText.h"

namespace s2t::ui {

ReadoutValues readoutValues(const PreviewData& data, std::size_t index) {
    ReadoutValues values;
    values.index = index;
    if (index >= data.counts.size()) return values;
    if (data.hasChannels) values.channel = data.firstChannel + static_cast<double>(index);
    if (index < data.twoTheta.size()) values.twoTheta = data.twoTheta[index];
    values.count = data.counts[index];
    return values;
}

std::string readoutText(const PreviewData& data, const ReadoutValues& values) {
    std::string text;
    if (values.channel) {
        text = "Channel " + formatShortest(*values.channel);
    } else {
        text = "Point " + std::to_string(values.index + 1) + " of " + std::to_string(data.counts.size()) +
               " (an angle scan has no channels)";
    }
    text += "   2-theta ";
    if (values.twoTheta)
        text += formatFixed(*values.twoTheta, 4) + "\u00b0";
    else
        text += "unknown" + (data.twoThetaNote.empty() ? std::string() : " (" + data.twoThetaNote + ")");
    text += "   Count " + formatShortest(values.count);
    return text;
}

}  // namespace s2t::ui
