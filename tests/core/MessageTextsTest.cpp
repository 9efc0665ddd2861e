// The program's own message texts, pinned byte for byte. Every other test compares against the
// constants of platform/Messages.h; this one is where a changed word, a mended misspelling or a
// lost line break shows, since users and their scripts match these texts as they stand.
#include <gtest/gtest.h>

#include <string>

#include "CliMessages.h"
#include "platform/Messages.h"
#include "ui/PanelMessages.h"

namespace s2t {
namespace {

TEST(MessageTexts, Titles) {
    EXPECT_STREQ(messages::kError, "Error");
    EXPECT_STREQ(messages::kFileError, "File Error");
    EXPECT_STREQ(messages::kOptionFileError, "Option File Error");
    EXPECT_STREQ(messages::kNoPoints, "No Points");
    EXPECT_STREQ(messages::kNotPossible, "Not Possible");
    EXPECT_STREQ(messages::kPanelError, "Panel Error");
    EXPECT_STREQ(messages::kWarning, "Warning");
    EXPECT_STREQ(messages::kReplaceOutput, "Replace?");
    EXPECT_STREQ(messages::kReplaceOptionFile, "Replace");
    EXPECT_STREQ(messages::kSelectOutputFile, "Select Output File");
    EXPECT_STREQ(messages::kSelectOutputDirectory, "Select Output Directory");
    EXPECT_STREQ(messages::kProgressLabel, "Progress");
    EXPECT_STREQ(messages::kCalculatingSpline, "Calculating Spline");
    EXPECT_STREQ(messages::kFileCounterFormat, "File %d of %d");
}

TEST(MessageTexts, KeptMisspellingsStayAsTheyAre) {
    EXPECT_EQ(messages::replaceOutput("/d/a.txt"), "Do you want to repalce\nthe file: /d/a.txt?");
    EXPECT_EQ(messages::withPath(messages::kOutputFailure, "/d/a.txt"),
              "Couldn't open output file: /d/a.txt\nYour disk my be full, you may not have write permission or you "
              "may have the file already open.\nWill skip conversion.");
    EXPECT_EQ(messages::withPath(messages::kChannelOutputFailure, "/d/a.txt"),
              "Couldn't open output file: /d/a.txt\nYour disk my be full or you may not have write permission.\n"
              "Will skip conversion.");
    EXPECT_STREQ(messages::kOverwriteDefaultOptions,
                 "This will over write any other options in the default file.\nDo you still whant to do this?");
    EXPECT_STREQ(messages::kOverwriteDefaultSpline,
                 "This will over write the spline option in the default file.\nDo you still whant to do this?");
    EXPECT_STREQ(messages::kPointError, "There was an error with one of you points!");
    EXPECT_STREQ(messages::kStandardNotOpened,
                 "Couldn't Open standered File. You may have it open or it my not exist.");
    EXPECT_STREQ(messages::kXfitNotOpened, "Couldn't Open Xfit File. You may have it open or it my not exist.");
    EXPECT_STREQ(messages::kProgressPanelError, "There was an error will loading the progress panel");
}

TEST(MessageTexts, InputsAndOptionFiles) {
    EXPECT_EQ(messages::couldNotOpenInput("a.chn"),
              "Couldn't open input file: a.chn\nFile may not exist.\n"
              "Will skip conversion.");
    EXPECT_EQ(messages::corruptedInput("a.chn"), "The input file \"a.chn\" \nhas been corrupted.");
    EXPECT_EQ(messages::notAChnFile("a.chn"), "The input file \"a.chn\" \nwasn't a CHN file.");
    EXPECT_STREQ(messages::kOptionFileNotOpened, "Couldn't open option file.");
    EXPECT_STREQ(messages::kOptionFileIncomplete,
                 "There was a small error with the options file.\nI have loaded all the points I could");
    EXPECT_EQ(messages::replaceOptionFile("/mine.pre"), "Do you want to replace the file:/mine.pre");
    EXPECT_STREQ(messages::kStandardWithoutPoints, "The selected standard has no points.");
    EXPECT_STREQ(messages::kXfitWithoutPoints, "There were no points in the XFit file.");
}

TEST(MessageTexts, CalibrationFromAScanCountsInWords) {
    EXPECT_EQ(messages::tooFewMatches(1, 3),
              "Only 1 reflection of the standard could be matched with peaks of the scan; at least 3 are needed.");
    EXPECT_EQ(messages::tooFewMatches(2, 3),
              "Only 2 reflections of the standard could be matched with peaks of the scan; at least 3 are needed.");
    EXPECT_EQ(messages::offOneSmoothLaw("0.31"),
              "The peaks matched with reflections of the standard do not follow one smooth channel law: they "
              "scatter about it by 0.31 of their widths. Is the scan one of this standard?");
    EXPECT_EQ(messages::notAStandard("Quartz", "/h/Standards", ""),
              "Quartz is neither a standard in /h/Standards (none) nor a file");
}

// The desktop program's own texts are plain strings too; they are pinned here with the rest.
TEST(MessageTexts, DesktopProgram) {
    EXPECT_STREQ(messages::kStepNotAbove0, "The constant step must be larger\nthan 0.");
    EXPECT_STREQ(messages::kRangeReversed, "Max 2-theta Value must be larger\nthen Min 2-Theta Value.");
    EXPECT_STREQ(messages::kSelectInputFiles, "Select the input files");
    EXPECT_STREQ(messages::kSelectOptionFile, "Select Option File");
    EXPECT_EQ(messages::batchHeadline(1, "/o", 2) + messages::batchCancelled(3),
              "1 file written to /o, 2 skipped.\nCancelled: 3 files not converted.");
    EXPECT_EQ(messages::unsavedCalibration("/h/Default.pre"),
              "The calibration in force is not the one in\n/h/Default.pre,\nwhich the next start begins with.\n\n"
              "Save it as the default before quitting?");
}

TEST(MessageTexts, CommandLine) {
    EXPECT_STREQ(messages::kRunWithHelp, "\nRun with --help for more information.\n");
    EXPECT_EQ(messages::notAFiniteNumber("-K", "x"), "-K: 'x' is not a finite number");
    EXPECT_EQ(messages::noneOf("cr", "crlf, lf"), "'cr' is none of crlf, lf");
    EXPECT_EQ(messages::targetTooLong("12345678", 7), "'12345678' is longer than 7 characters");
    EXPECT_EQ(messages::pointsFileTooLarge("/p"), "The points file /p is larger than 16 MiB.\nIt was not read.");
    EXPECT_EQ(messages::malformedPointsLine("/p", 3, "655"),
              "/p line 3: expected \"channel 2-theta\" (two finite numbers), got \"655\"");
}

}  // namespace
}  // namespace s2t
