// The titles and texts the program shows its user about files, conversions and calibrations, in
// one place; the tests check against the same texts. "%s" in a failure text stands for the path
// of the file it names (see reportOutputFailure).
//
// Some texts keep misspellings: "repalce", "my be full", "my not exist", "whant", "one of you
// points", "standered", "will loading". They are kept verbatim on purpose: users have met these
// texts for years, and scripts and stored expectations that match them rely on every byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace s2t::messages {

// Titles.
inline constexpr const char* kError = "Error";
inline constexpr const char* kFileError = "File Error";
inline constexpr const char* kOptionFileError = "Option File Error";
inline constexpr const char* kNoPoints = "No Points";
inline constexpr const char* kNotPossible = "Not Possible";
inline constexpr const char* kPanelError = "Panel Error";
inline constexpr const char* kWarning = "Warning";
inline constexpr const char* kReplaceOutput = "Replace?";  // an output file
inline constexpr const char* kReplaceOptionFile = "Replace";
inline constexpr const char* kSelectOutputFile = "Select Output File";
inline constexpr const char* kSelectOutputDirectory = "Select Output Directory";

// The progress panel's indicator and counter.
inline constexpr const char* kProgressLabel = "Progress";
inline constexpr const char* kCalculatingSpline = "Calculating Spline";
inline constexpr const char* kFileCounterFormat = "File %d of %d";  // file number, files in the batch

// Reading an input file.
inline std::string couldNotOpenInput(std::string_view path) {
    return "Couldn't open input file: " + std::string(path) + "\nFile may not exist.\nWill skip conversion.";
}
inline std::string inputFile(std::string_view path) { return "The input file \"" + std::string(path) + "\" \n"; }
inline std::string corruptedInput(std::string_view path) { return inputFile(path) + "has been corrupted."; }
inline std::string notAChnFile(std::string_view path) { return inputFile(path) + "wasn't a CHN file."; }
inline std::string noStoredCalibration(std::string_view path) {
    return inputFile(path) + "stores no calibration of its own.\nWill skip conversion.";
}
inline std::string quadraticStoredCalibration(std::string_view path) {
    return inputFile(path) + "stores a calibration with a quadratic term, not a straight line.\nWill skip conversion.";
}
inline std::string notReadableAs(std::string_view path, std::string_view format, std::string_view reason) {
    return inputFile(path) + "could not be read as " + std::string(format) + ":\n" + std::string(reason) +
           "\nWill skip conversion.";
}
inline std::string noLiveTime(std::string_view path) {
    return inputFile(path) + "holds no live time: its counts cannot be given per second.\nWill skip conversion.";
}

// Mapping and resampling.
inline constexpr const char* kPointError = "There was an error with one of you points!";
inline std::string splineNeedsTwoChannels(std::string_view path) {
    return "The spline calibration needs at least two points with different channels.\nWill skip conversion of " +
           std::string(path) + ".";
}
inline std::string anglesBeyondNumbers(std::string_view path) {
    return "The calibration gives the input file \"" + std::string(path) +
           "\" \nangles beyond the range of numbers.\nWill skip conversion.";
}
inline std::string tooManyValues(std::string_view path, std::string_view step) {
    return inputFile(path) + "cannot be resampled with a step of " + std::string(step) +
           " degrees: that would make more than 100000000 values.\nWill skip conversion.";
}

// Writing an output file.
inline constexpr const char* kProgressPanelError = "There was an error will loading the progress panel";
inline std::string replaceOutput(std::string_view path) {
    return "Do you want to repalce\nthe file: " + std::string(path) + "?";
}
// A failure text with its "%s" replaced by path.
inline std::string withPath(std::string_view failureText, std::string_view path) {
    const auto at = failureText.find("%s");
    if (at == std::string_view::npos) return std::string(failureText);
    std::string text(failureText.substr(0, at));
    text.append(path).append(failureText.substr(at + 2));
    return text;
}
// The failure text of the channel list and that of every other writer.
inline constexpr std::string_view kChannelOutputFailure =
    "Couldn't open output file: %s\nYour disk my be full or you may not have write permission.\n"
    "Will skip conversion.";
inline constexpr std::string_view kOutputFailure =
    "Couldn't open output file: %s\nYour disk my be full, you may not have write permission or you "
    "may have the file already open.\nWill skip conversion.";
inline constexpr std::string_view kNotFiniteFailure =
    "Couldn't write output file: %s\nThe conversion gave values that are not finite numbers.\n"
    "Will skip conversion.";
inline constexpr std::string_view kNoValuesFailure =
    "Couldn't write output file: %s\nNo point of the constant-step grid lies within the scan and the range "
    "limits.\nWill skip conversion.";
inline constexpr std::string_view kNotRegularFailure =
    "Couldn't write output file: %s\nIt is not a regular file (a folder, a device or a named pipe) and is "
    "never replaced.\nWill skip conversion.";
inline constexpr std::string_view kGufiTooManyValues =
    "Couldn't write output file: %s\nA GUFI file holds at most 32767 points.\nWill skip conversion.";
inline constexpr std::string_view kGufiBeyondFloat =
    "Couldn't write output file: %s\nAn angle or a count is too large for a GUFI file.\nWill skip conversion.";
inline constexpr std::string_view kInputFailure =
    "Couldn't write output file: %s\nIt is one of the input files of this conversion and is never "
    "replaced.\nWill skip conversion.";

// Option files.
inline constexpr const char* kOptionFileNotOpened = "Couldn't open option file.";
inline constexpr const char* kOptionFileIncomplete =
    "There was a small error with the options file.\nI have loaded all the points I could";
inline std::string optionFileTooLarge(std::string_view path) {
    return "The option file " + std::string(path) +
           " is larger than 16 MiB.\nIt was not read: the calibration is unchanged.";
}
inline std::string replaceOptionFile(std::string_view nameWithSeparator) {
    return "Do you want to replace the file:" + std::string(nameWithSeparator);
}
inline constexpr const char* kOptionFileNotRegular =
    "It is not a regular file (a folder, a device or a named pipe) and is never replaced.";
inline constexpr const char* kOptionFileIsInput = "It is one of the input files of this command and is never replaced.";
inline std::string optionFileRefused(std::string_view path, std::string_view why) {
    return "Couldn't write option file: " + std::string(path) + "\n" + std::string(why) + "\nThe file is unchanged.";
}
inline std::string couldNotWriteOptionFile(std::string_view path) {
    return "Couldn't write option file: " + std::string(path) +
           "\nThe disk may be full or you may not have write permission.\nThe file is unchanged.";
}
inline std::string couldNotWriteOrigin(std::string_view path) {
    return "Couldn't write " + std::string(path) +
           ", which names the standard the calibration was made from.\n"
           "The disk may be full or you may not have write permission.";
}
// Saving from a calibration panel as the default.
inline constexpr const char* kOverwriteDefaultOptions =
    "This will over write any other options in the default file.\nDo you still whant to do this?";
inline constexpr const char* kOverwriteDefaultSpline =
    "This will over write the spline option in the default file.\nDo you still whant to do this?";

// Standards and XFit peak files.
inline constexpr const char* kStandardNotOpened =
    "Couldn't Open standered File. You may have it open or it my not exist.";
inline constexpr const char* kXfitNotOpened = "Couldn't Open Xfit File. You may have it open or it my not exist.";
inline constexpr const char* kStandardWithoutPoints = "The selected standard has no points.";
inline constexpr const char* kXfitLayoutUnknown = "The layout of the XFit file was not recognised.";
inline constexpr const char* kXfitWithoutPoints = "There were no points in the XFit file.";
inline std::string fileTooLarge(std::string_view path) {
    return "The file " + std::string(path) + " is larger than 16 MiB.\nIt was not read.";
}

// The straight line fitted to calibration points (under the title "Not Possible").
inline constexpr const char* kLineNeedsTwoPoints = "A straight line needs at least two points.";
inline constexpr const char* kLineNeedsTwoChannels =
    "A straight line needs points with at least two different channels.";
inline constexpr const char* kNoFiniteLine = "The points give no finite straight line.";

// A standard named on the command line or to the Python module.
inline std::string notAStandard(std::string_view argument, std::string_view standardsFolder, std::string_view names) {
    return std::string(argument) + " is neither a standard in " + std::string(standardsFolder) + " (" +
           (names.empty() ? std::string("none") : std::string(names)) + ") nor a file";
}

// A calibration from a standard scan that is refused, and the radiation it fits.
inline std::string tooManyReflections(std::size_t listed, std::size_t most) {
    return "The standard lists " + std::to_string(listed) +
           " reflections; a calibration from a scan is made with at "
           "most " +
           std::to_string(most) + ".";
}
inline std::string tooFewMatches(std::size_t matched, std::size_t needed) {
    return "Only " + std::to_string(matched) + " reflection" + (matched == 1 ? "" : "s") +
           " of the standard could be matched with peaks of the scan; at least " + std::to_string(needed) +
           " are needed.";
}
inline constexpr const char* kIsItThisStandard = " Is the scan one of this standard?";
// spread: in full widths at half maximum, as shown.
inline std::string offOneSmoothLaw(std::string_view spread) {
    return "The peaks matched with reflections of the standard do not follow one smooth channel law: they "
           "scatter about it by " +
           std::string(spread) + " of their widths." + kIsItThisStandard;
}
// chance: the probability, as shown.
inline std::string matchedByChance(std::size_t peaks, std::size_t matched, std::size_t predicted,
                                   std::string_view chance) {
    return "Among the " + std::to_string(peaks) + " peaks of the scan, " + std::to_string(matched) + " of " +
           std::to_string(predicted) + " reflections would find a peak by chance with a probability of " +
           std::string(chance) + "." + kIsItThisStandard;
}
inline constexpr const char* kAlpha1NotAbove0 = "The K-alpha1 wavelength must be above 0.";
inline constexpr const char* kAlpha2NotAbove0 = "The K-alpha2 wavelength must be above 0.";
inline constexpr const char* kAlpha2RatioBelow0 = "The K-alpha2 height ratio must not be below 0.";

// Why an option of a conversion is refused, as the command line and the Python module say it
// after "OPTION: ", quoting what was given in single quotes.
inline std::string inQuotes(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(1, '\'').append(text).append(1, '\'');
    return quoted;
}
inline std::string notAFiniteNumber(std::string_view text) { return inQuotes(text) + " is not a finite number"; }
inline std::string noneOf(std::string_view given, std::string_view choices) {
    return inQuotes(given) + " is none of " + std::string(choices);
}
inline constexpr const char* kNoLineBreaks = "may not contain a line break";
inline std::string cannotBeCombinedWith(std::string_view option) {
    return "cannot be combined with " + std::string(option);
}
inline std::string fileAnglesOfAChannelFile(std::string_view firstInput) {
    return "file keeps a GUFI file's own angles, but the first input " + std::string(firstInput) + " is a channel file";
}
inline std::string trailerOfAGufiFile(std::string_view firstInput) {
    return "trailer takes the line stored in channel files, but the first input " + std::string(firstInput) +
           " is a GUFI file";
}
inline constexpr const char* kStepNotAbove0Option = "must be greater than 0";
inline std::string stepRequiredFor(std::string_view format) {
    return "is required for the " + std::string(format) + " format";
}
inline std::string perSecondNeeds(std::string_view annotatedFormats, std::string_view format) {
    return "needs one of the formats " + std::string(annotatedFormats) + ", not " + std::string(format);
}
inline std::string notMinMax(std::string_view text) { return inQuotes(text) + " is not MIN:MAX"; }
inline std::string minAboveMax(std::string_view min, std::string_view max) {
    return "MIN " + std::string(min) + " is greater than MAX " + std::string(max);
}
inline std::string targetTooLong(std::string_view target, std::size_t most) {
    return inQuotes(target) + " is longer than " + std::to_string(most) + " characters";
}
inline constexpr const char* kOutputNeededForStandardInput =
    "is required for the input - (standard input): a file, a folder, or - for standard output";
inline std::string oneFileToStandardOutput(std::size_t inputs) {
    return "- writes one file to standard output, but " + std::to_string(inputs) + " inputs were given";
}
inline constexpr const char* kJobsBelow1 = "must be at least 1";
inline constexpr const char* kNoInputs = "at least one input file is required";
inline constexpr const char* kBlockBelow1 = "must be 1 or more";

}  // namespace s2t::messages
