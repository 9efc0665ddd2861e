// The texts that only the command line shows: its usage errors (each "OPTION: reason", then the
// hint to --help) and the failures of the files it writes itself (peak files, standard files,
// standard output). What the core shows through the platform is in platform/Messages.h, which
// this header includes, in the same namespace; the command line's tests check against both.
#pragma once

#include <string>
#include <string_view>

#include "platform/Messages.h"

namespace s2t::messages {

// After every usage error.
inline constexpr const char* kRunWithHelp = "\nRun with --help for more information.\n";

// Usage errors.
inline std::string notAFiniteNumber(std::string_view option, std::string_view text) {
    return std::string(option) + ": " + notAFiniteNumber(text);
}
inline constexpr const char* kWavelengthOptionNotAbove0 = "--wavelength: must be above 0";
inline constexpr const char* kAlpha2OptionNotAbove0 = "--alpha2: must be above 0, or none";
inline constexpr const char* kAlpha2RatioOptionBelow0 = "--alpha2-ratio: must not be below 0";
inline constexpr const char* kStartingSlopeZero = "-C: the starting slope must not be 0";
inline std::string notAMaterial(std::string_view material, std::string_view materials) {
    return "--material: " + std::string(material) + " is none of " + std::string(materials);
}
inline std::string notAWavelengthOrAnode(std::string_view text, std::string_view anodes) {
    return "--wavelength: '" + std::string(text) + "' is neither a wavelength above 0 nor an anode (" +
           std::string(anodes) + ")";
}
inline std::string wavelengthTooShort(std::string_view text, std::string_view material, int highestIndex) {
    return "--wavelength: '" + std::string(text) + "' is too short for " + std::string(material) +
           ": its reflections up to 150 degrees would need Miller indices above " + std::to_string(highestIndex);
}
inline std::string tooManyReflections(std::string_view text, std::string_view material, std::size_t count,
                                      std::size_t most) {
    return "--wavelength: '" + std::string(text) + "' is too short for " + std::string(material) + ": it would list " +
           std::to_string(count) +
           " reflections from 10 to 150 degrees, and a calibration from a scan is made with at most " +
           std::to_string(most);
}
// line: the offending line as quoted (cut short when long).
inline std::string malformedPointsLine(std::string_view path, long number, std::string_view line) {
    return std::string(path) + " line " + std::to_string(number) +
           ": expected \"channel 2-theta\" (two finite numbers), got \"" + std::string(line) + "\"";
}
inline constexpr const char* kNulNeedsFilesFrom = "needs --files-from";
inline constexpr const char* kListAndInputOnStandardInput =
    "- reads the list from standard input, which the input - reads too";
inline std::string cannotReadList(std::string_view path, std::string_view why) {
    return "cannot read " + std::string(path) + ": " + std::string(why);
}
inline constexpr const char* kStandardInputOnce = "- (standard input) may be given once";
inline std::string cannotReadStandardInput(std::string_view why) {
    return "cannot read standard input (-): " + std::string(why);
}
inline std::string standardInputNotRecognised(std::string_view formats) {
    return "the format of the scan on standard input (-) was not recognised; name it with --input-format (" +
           std::string(formats) + ")";
}

// Files the command line writes or reads itself (under "File Error").
inline std::string couldNotWritePeakFile(std::string_view path) {
    return "Couldn't write the peak file " + std::string(path) +
           "\nThe disk may be full or you may not have write permission.";
}
inline std::string outputIsTheScan(std::string_view path) {
    return "The output " + std::string(path) + " is the scan itself; it is not replaced.";
}
inline std::string couldNotReadPointsFile(std::string_view path) {
    return "Couldn't read the points file " + std::string(path);
}
inline std::string pointsFileTooLarge(std::string_view path) {
    return "The points file " + std::string(path) + " is larger than 16 MiB.\nIt was not read.";
}
inline std::string couldNotWriteStandardFile(std::string_view path) {
    return "Couldn't write the standard file " + std::string(path) +
           "\nThe disk may be full or you may not have write permission.";
}
inline constexpr const char* kCouldNotWriteStandardOutput = "Couldn't write to standard output";

}  // namespace s2t::messages
