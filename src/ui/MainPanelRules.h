// The main panel's decisions, as plain functions over a plain copy of its controls: which
// controls are dimmed, how the three conversion modes exclude each other, which files an addition
// takes, and which option panels come before a batch. The panel copies its widgets into a
// MainPanelState, applies a rule and copies the result back; the tests need no screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/BatchRun.h"

namespace s2t::ui {

// A check box or radio button: its state and whether it is dimmed.
struct Toggle {
    bool on = false;
    bool dimmed = false;
};

struct MainPanelState {
    // The file list: the input format (fileType) of every item, in list order.
    std::vector<std::int32_t> fileKinds;

    bool removeDimmed = false;
    bool convertDimmed = false;

    Toggle convertToTwoTheta{true, false};
    Toggle linearMode{true, false};
    Toggle splineMode;
    Toggle fileAnglesMode;
    Toggle trailerMode;                  // the line stored in each channel file's trailer
    bool conversionGroupDimmed = false;  // the caption of the conversion group
    bool lineGroupDimmed = false;        // kDisplay, cDisplay and their captions

    Toggle wholeTwoThetaBox;
    Toggle constantStepBox;
    Toggle limitRangeBox;
    Toggle perSecondBox;  // counts per second of live time: the annotated formats only

    std::int32_t outputFormat = kTextOutput;
    bool outputFormatDimmed = false;
    std::string outputFormatText = "Tab Delimited Text File";
};

// The kind that stands for the whole list: the panel kind of its first item's format (5 channels,
// 4 GUFI, -1 unknown), -1 when it is empty.
std::int32_t listKind(const MainPanelState& state);

// The enabling rules, in their order: list, input kind, conversion switch, output format.
void dimAsNeeded(MainPanelState& state);

// The output-format step of the enabling rules (also run alone when the format changes). Does
// nothing while convertToTwoTheta is off.
void displayOutputFileType(MainPanelState& state);

enum class ModeButton { Linear, Spline, FileAngles, Trailer };

// A click on a mode radio button; onAfterClick is the button's own state after the click.
// Exactly one mode is on afterwards: clicking the selected mode moves the selection on. The
// enabling rules follow.
void clickModeButton(MainPanelState& state, ModeButton button, bool onAfterClick);

// The controls that decide the request fields of a batch.
MainPanelChoices panelChoices(const MainPanelState& state);

// The option-panel bits.
inline constexpr int OPT_CONSTANT_STEP = 1;
inline constexpr int OPT_RANGE = 2;
inline constexpr int OPT_CONVERT = 4;
inline constexpr int OPT_CPI = 8;

// The set of panels that Convert shows before its batch (OPT_CONVERT included).
int convertPanelSet(const MainPanelState& state);

// Whether a listed path equals this one byte for byte.
bool doesFileListContain(const std::vector<BatchInput>& list, std::string_view path);

// The files an addition appends, in order: each path not yet listed (nor earlier in the same
// selection), of the list's panel kind, or of any kind when the list was empty before. Files of
// another kind are left out without a word.
std::vector<BatchInput> filesToAdd(const std::vector<BatchInput>& list, const std::vector<std::string>& selected);

}  // namespace s2t::ui
