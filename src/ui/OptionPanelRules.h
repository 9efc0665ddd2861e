// The output option panels' decisions without a screen: the order of the chain, how each panel
// presets its entries from its settings record, and what OK stores or refuses.
#pragma once

#include <string>

#include "engine/ConversionRecords.h"
#include "platform/Platform.h"
#include "ui/MainPanelRules.h"

namespace s2t::ui {

// What the chain does next for a set of OPT_ bits: the panels come in the fixed order constant
// step, range, CPI; then the batch (OPT_CONVERT) or just the main panel again.
enum class OptionStep { ConstantStep, Range, Cpi, Convert, ShowMain };
OptionStep nextOptionStep(int set);

// The set with that bit cleared.
int removeOption(int set, int bit);

// --- Constant-step panel ---

struct ConstStepEntries {
    double step = 0.02;
    bool linearInterpolation = true;
    bool splineInterpolation = false;
    bool fractionalCounts = false;
};

// The entries at an opening: the step once one was stored, the interpolation once the panel was
// confirmed (3 spline, any other value linear). Fractional counts always start as the panel's own
// initial state.
ConstStepEntries presetConstStep(const ConstStepOptions& record);

// A click on an interpolation button (onAfterClick: its state after the click). The other button
// goes off; clicking the selected button keeps it selected.
void clickInterpolation(ConstStepEntries& entries, bool splineButton, bool onAfterClick);

// OK: stores the entries. A step of 0 or below makes no grid: "Not Possible", nothing stored,
// false (the panel stays open).
bool saveConstOptions(ConstStepOptions& record, const ConstStepEntries& entries, Platform& platform);

// --- Range panel ---

struct RangeEntries {
    double minTwoTheta = 10.0;
    double maxTwoTheta = 80.0;
};

// The record's limits when it holds a range (minimum below maximum), else the initial values.
RangeEntries presetRange(const RangeOptions& record);

// OK: stores both limits when minimum <= maximum; otherwise "Not Possible", nothing stored, false.
bool saveRangeOptions(RangeOptions& record, const RangeEntries& entries, Platform& platform);

// --- CPI panel ---

struct CpiEntries {
    std::string target = "Cu";
    double wavelength = 1.5406;
};

// The record's values once a wavelength above 0 was stored, else the initial values.
CpiEntries presetCpi(const CPIOptions& record);

// OK: stores both (the target cut to its 7 characters, which the entry never exceeds).
void saveCPIOptions(CPIOptions& record, const CpiEntries& entries);

}  // namespace s2t::ui
