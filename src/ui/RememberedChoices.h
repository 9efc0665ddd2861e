// What the desktop program remembers from one start to the next: the window's place and size, the
// output format, the conversion mode and output check boxes, the records of the constant-step,
// range and CPI panels, and the preview's count scale and standard ticks. They are kept in scan2theta-gui.ini in the
// program folder, beside Default.pre, and never in the user's own Qt settings, so that every program folder (and every
// test) keeps its own. A first start finds nothing and shows the program's initial state.
#pragma once

#include <optional>
#include <string>

#include <QByteArray>

#include "engine/ConversionRecords.h"
#include "ui/CountScale.h"
#include "ui/MainPanelRules.h"

namespace s2t::ui {

// Every field is empty when nothing usable was stored: a missing, damaged or out-of-range value is
// not remembered, and the initial state holds for it alone.
struct RememberedChoices {
    QByteArray windowGeometry;
    std::optional<std::int32_t> outputFormat;
    std::optional<bool> convertToTwoTheta;
    std::optional<ModeButton> mode;
    std::optional<bool> wholeTwoTheta;
    std::optional<bool> constantStep;
    std::optional<bool> limitRange;
    std::optional<bool> perSecond;
    std::optional<ConstStepOptions> constStep;
    std::optional<RangeOptions> range;
    std::optional<CPIOptions> cpi;
    std::optional<CountScale> previewScale;
    std::optional<std::string> previewStandard;  // a standard's name; "" for no ticks
};

RememberedChoices loadRememberedChoices(const std::string& programFolder);

// Writes every field that holds a value. False when the file could not be written; nothing else
// depends on it.
bool saveRememberedChoices(const std::string& programFolder, const RememberedChoices& choices);

// The main panel's choices: copied out of its controls, and laid over them (the enabling rules
// run afterwards and have the last word).
void rememberPanel(const MainPanelState& state, RememberedChoices& choices);
void applyRememberedPanel(const RememberedChoices& choices, MainPanelState& state);

// The option panels' records: those that were ever stored (a record still zero is not
// remembered), and laid over the session's.
void rememberRecords(const ConversionSettings& settings, RememberedChoices& choices);
void applyRememberedRecords(const RememberedChoices& choices, ConversionSettings& settings);

}  // namespace s2t::ui
