#include "ui/OptionPanelRules.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {

OptionStep nextOptionStep(int set) {
    if (set & OPT_CONSTANT_STEP) return OptionStep::ConstantStep;
    if (set & OPT_RANGE) return OptionStep::Range;
    if (set & OPT_CPI) return OptionStep::Cpi;
    if (set & OPT_CONVERT) return OptionStep::Convert;
    return OptionStep::ShowMain;
}

int removeOption(int set, int bit) { return set & ~bit; }

ConstStepEntries presetConstStep(const ConstStepOptions& record) {
    ConstStepEntries entries;
    if (record.step > 0.0) entries.step = record.step;
    if (record.method != kInterpolationNotChosen) {
        entries.splineInterpolation = record.method == kSplineInterpolation;
        entries.linearInterpolation = !entries.splineInterpolation;
    }
    return entries;
}

void clickInterpolation(ConstStepEntries& entries, bool splineButton, bool onAfterClick) {
    bool& clicked = splineButton ? entries.splineInterpolation : entries.linearInterpolation;
    bool& other = splineButton ? entries.linearInterpolation : entries.splineInterpolation;
    if (onAfterClick) {
        clicked = true;
        other = false;
    } else {
        clicked = true;
    }
}

bool saveConstOptions(ConstStepOptions& record, const ConstStepEntries& entries, Platform& platform) {
    // The grid walks from its start in steps of this size: zero never ends, a negative step
    // walks away from the scan.
    if (!(entries.step > 0.0)) {
        platform.messagePopup(messages::kNotPossible, messages::kStepNotAbove0);
        return false;
    }
    record.step = entries.step;
    record.fractionalCounts = entries.fractionalCounts ? 1 : 0;
    record.method = entries.linearInterpolation ? kLinearInterpolation : kSplineInterpolation;
    return true;
}

RangeEntries presetRange(const RangeOptions& record) {
    RangeEntries entries;
    if (record.minTwoTheta < record.maxTwoTheta) {
        entries.minTwoTheta = record.minTwoTheta;
        entries.maxTwoTheta = record.maxTwoTheta;
    }
    return entries;
}

bool saveRangeOptions(RangeOptions& record, const RangeEntries& entries, Platform& platform) {
    if (!(entries.minTwoTheta <= entries.maxTwoTheta)) {
        platform.messagePopup(messages::kNotPossible, messages::kRangeReversed);
        return false;
    }
    record.minTwoTheta = entries.minTwoTheta;
    record.maxTwoTheta = entries.maxTwoTheta;
    return true;
}

CpiEntries presetCpi(const CPIOptions& record) {
    CpiEntries entries;
    if (record.wavelength > 0.0) {
        entries.target = record.target;
        entries.wavelength = record.wavelength;
    }
    return entries;
}

void saveCPIOptions(CPIOptions& record, const CpiEntries& entries) {
    record.target = entries.target.substr(0, kMaxCpiTargetLength);
    record.wavelength = entries.wavelength;
}

}  // namespace s2t::ui
