#include "ui/RangePanel.h"

#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {

RangePanel::RangePanel(Session& session, Platform& platform, QWidget* parent)
        : OptionPanel(QString::fromUtf8(messages::kRangeTitle),
                      tr("Points outside these 2-theta limits are left out of the output."), parent),
          session_(session),
          platform_(platform) {
    minEntry_ = addNumberRow(tr("Min 2-theta (degrees):"), "minTwoTheta");
    maxEntry_ = addNumberRow(tr("Max 2-theta (degrees):"), "maxTwoTheta");

    const RangeEntries preset = presetRange(session_.settings.theRangeOptions);
    minEntry_->setValue(preset.minTwoTheta);
    maxEntry_->setValue(preset.maxTwoTheta);
}

bool RangePanel::store() {
    RangeEntries entries;
    entries.minTwoTheta = minEntry_->value();
    entries.maxTwoTheta = maxEntry_->value();
    return saveRangeOptions(session_.settings.theRangeOptions, entries, platform_);
}

}  // namespace s2t::ui
