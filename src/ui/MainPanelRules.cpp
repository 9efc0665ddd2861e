#include "ui/MainPanelRules.h"

#include "engine/FileKind.h"
#include "engine/OutputFormats.h"

namespace s2t::ui {

std::int32_t listKind(const MainPanelState& state) {
    return state.fileKinds.empty() ? kOtherFileType : panelKindOf(state.fileKinds.front());
}

void displayOutputFileType(MainPanelState& state) {
    if (!state.convertToTwoTheta.on) return;
    const OutputFormatInfo* format = findOutputFormat(state.outputFormat);
    if (format) state.outputFormatText = std::string(format->label);
    if (!format || format->constantStepOptional) {
        if (!state.outputFormatDimmed) state.constantStepBox.dimmed = false;
    } else {
        // The grid formats always resample onto a constant step.
        state.constantStepBox.on = true;
        state.constantStepBox.dimmed = true;
    }
    // Only the annotated formats can give counts per second.
    const bool perSecond = format && format->annotated && !state.outputFormatDimmed;
    state.perSecondBox.dimmed = !perSecond;
    if (!perSecond) state.perSecondBox.on = false;
}

void dimAsNeeded(MainPanelState& state) {
    const bool empty = state.fileKinds.empty();
    state.removeDimmed = empty;
    state.convertDimmed = empty;
    const std::int32_t kind = listKind(state);

    if (kind == kChnFileType) {
        // A channel file has no angles of its own.
        if (state.fileAnglesMode.on) {
            state.linearMode.on = true;
            state.fileAnglesMode.on = false;
        }
        state.fileAnglesMode.dimmed = true;
        state.convertToTwoTheta.dimmed = false;
    } else {
        // A GUFI file (or anything not known to be a channel file) always goes to 2-theta.
        state.convertToTwoTheta.on = true;
        state.convertToTwoTheta.dimmed = true;
        state.fileAnglesMode.dimmed = false;
    }
    // Only a channel file stores a calibration of its own; an empty list keeps the choice open.
    const bool trailerPossible = kind == kChnFileType || empty;
    if (!trailerPossible && state.trailerMode.on) {
        state.trailerMode.on = false;
        state.linearMode.on = true;
    }

    if (state.convertToTwoTheta.on) {
        state.linearMode.dimmed = false;
        state.splineMode.dimmed = false;
        state.trailerMode.dimmed = !trailerPossible;
        state.conversionGroupDimmed = false;
        state.wholeTwoThetaBox.dimmed = false;
        state.outputFormatDimmed = false;
        state.limitRangeBox.dimmed = false;
        // Read after the input-kind step, so a switch to the straight line shows K and C at once.
        state.lineGroupDimmed = !state.linearMode.on;
        displayOutputFileType(state);
    } else {
        state.linearMode.dimmed = true;
        state.splineMode.dimmed = true;
        state.fileAnglesMode.dimmed = true;
        state.trailerMode.dimmed = true;
        state.perSecondBox.dimmed = true;
        state.conversionGroupDimmed = true;
        state.wholeTwoThetaBox.dimmed = true;
        state.constantStepBox.dimmed = true;
        state.limitRangeBox.dimmed = true;
        state.outputFormatDimmed = true;
        state.lineGroupDimmed = true;
    }
}

void clickModeButton(MainPanelState& state, ModeButton button, bool onAfterClick) {
    switch (button) {
    case ModeButton::Linear:
        state.linearMode.on = onAfterClick;
        if (onAfterClick) {
            state.splineMode.on = false;
            state.fileAnglesMode.on = false;
            state.trailerMode.on = false;
        } else {
            state.splineMode.on = true;
        }
        break;
    case ModeButton::Spline:
        state.splineMode.on = onAfterClick;
        if (onAfterClick) {
            state.linearMode.on = false;
            state.fileAnglesMode.on = false;
            state.trailerMode.on = false;
        } else if (!state.fileAnglesMode.dimmed) {
            state.fileAnglesMode.on = true;
        } else {
            state.linearMode.on = true;
        }
        break;
    case ModeButton::FileAngles:
        state.fileAnglesMode.on = onAfterClick;
        if (onAfterClick) {
            state.linearMode.on = false;
            state.splineMode.on = false;
            state.trailerMode.on = false;
        } else {
            state.linearMode.on = true;
        }
        break;
    case ModeButton::Trailer:
        state.trailerMode.on = onAfterClick;
        if (onAfterClick) {
            state.linearMode.on = false;
            state.splineMode.on = false;
            state.fileAnglesMode.on = false;
        } else {
            state.linearMode.on = true;
        }
        break;
    }
    dimAsNeeded(state);
}

MainPanelChoices panelChoices(const MainPanelState& state) {
    MainPanelChoices choices;
    choices.convertToTwoTheta = state.convertToTwoTheta.on;
    choices.linearMode = state.linearMode.on;
    choices.splineMode = state.splineMode.on;
    choices.trailerMode = state.trailerMode.on;
    choices.perSecond = state.perSecondBox.on && !state.perSecondBox.dimmed;
    choices.wholeTwoTheta = state.wholeTwoThetaBox.on;
    choices.constantStep = state.constantStepBox.on;
    choices.limitRange = state.limitRangeBox.on;
    choices.outputFormat = state.outputFormat;
    choices.outputFormatDimmed = state.outputFormatDimmed;
    return choices;
}

int convertPanelSet(const MainPanelState& state) {
    int set = OPT_CONVERT;
    if (state.convertToTwoTheta.on) {
        if (state.constantStepBox.on) set |= OPT_CONSTANT_STEP;
        if (state.limitRangeBox.on) set |= OPT_RANGE;
    }
    if (!state.outputFormatDimmed && state.outputFormat == kCpiOutput) set |= OPT_CPI;
    return set;
}

bool doesFileListContain(const std::vector<BatchInput>& list, std::string_view path) {
    for (const BatchInput& item : list)
        if (item.path == path) return true;
    return false;
}

std::vector<BatchInput> filesToAdd(const std::vector<BatchInput>& list, const std::vector<std::string>& selected) {
    const bool wasEmpty = list.empty();
    const std::int32_t kind = wasEmpty ? kOtherFileType : panelKindOf(list.front().fileType);
    std::vector<BatchInput> grown = list;
    std::vector<BatchInput> added;
    for (const std::string& path : selected) {
        if (doesFileListContain(grown, path)) continue;
        const std::int32_t type = getFileType(path);
        if (!wasEmpty && panelKindOf(type) != kind) continue;
        grown.push_back({path, type});
        added.push_back({path, type});
    }
    return added;
}

}  // namespace s2t::ui
