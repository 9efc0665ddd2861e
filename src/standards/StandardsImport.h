// What the standards window works on: the reflections of the selected standard and the peak
// positions of the chosen XFit peak file. One object per open window (or per command), never
// shared; both lists are emptied when the window closes.
#pragma once

#include <string>
#include <vector>

#include "calibration/CalibrationState.h"
#include "platform/Platform.h"

namespace s2t {

struct StandardsImport {
    std::vector<double> standard;  // reflection 2-theta values (degrees), in file order
    std::vector<double> observed;  // peak positions (channels), in file order
    // The standard uncertainty of each peak position where a profile fit gave one (peaks found in
    // a scan); empty for an XFit peak file, which carries none.
    std::vector<double> observedSigma;
    // The calibration spline's end guards (peaks/EndGuards.h) for peaks found in a scan, ascending
    // in 2-theta: no reflections, listed and handed on as such; empty for an XFit peak file.
    std::vector<CalibrationPoint> endGuards;

    // Frees both lists, as the window does when it closes.
    void clear() {
        standard.clear();
        observed.clear();
        observedSigma.clear();
        endGuards.clear();
    }
};

// One peak import: reads the standard file at standardPath and the XFit peak file at xfitPath
// into data, as the standards window's peaks button does after the file choice.
// - Either file cannot be opened: "File Error" popup (the XFit file is tried first); data is
//   left as it was, so the pairs shown before stay valid.
// - The standard has no data section, or the XFit file has no peaks or a layout that is not
//   recognised: the popup of that reader; both lists are emptied, so that no stale pairs remain
//   and there is nothing to accept.
// Returns true when both lists were read.
bool importStandardAndPeaks(const std::string& standardPath, const std::string& xfitPath, StandardsImport& data,
                            Platform& platform);

// Reads the reflections of the standard file at standardPath into standard. A file that cannot
// be opened gets the window's "File Error" popup and leaves standard as it was; one without a
// data section gets the reader's popup. Returns true when read.
bool readStandard(const std::string& standardPath, std::vector<double>& standard, Platform& platform);

}  // namespace s2t
