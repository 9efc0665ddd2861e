#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "options/CalibrationOrigin.h"
#include "options/OptionFile.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

CalibrationState standardCalibration() {
    CalibrationState state;
    state.header.K = 10.939512;
    state.header.C = 0.026928;
    state.calPoints = {{649.9282, 28.4411, 0.0}, {1350.306, 47.3006, 0.0}, {1677.7858, 56.1198, 0.0}};
    return state;
}

TEST(CalibrationOrigin, TheFingerprintIsThatOfTheCalibrationAsStored) {
    TempDir dir;
    ScriptedPlatform platform;
    const CalibrationState state = standardCalibration();
    ASSERT_EQ(saveOptionsFile(dir.file("si.pre"), true, state, platform, LineEnd::CrLf), SaveOutcome::Written);
    CalibrationState read;
    ASSERT_TRUE(loadOptionFile(dir.file("si.pre"), read, platform));
    EXPECT_EQ(calibrationFingerprint(read), calibrationFingerprint(state));
    // Below what the file keeps, nothing changes; a stored digit of anything does.
    CalibrationState same = state;
    same.header.K += 1e-8;
    EXPECT_EQ(calibrationFingerprint(same), calibrationFingerprint(state));
    for (auto change :
         {+[](CalibrationState& s) { s.header.K += 1e-6; }, +[](CalibrationState& s) { s.header.C = 0.026929; },
          +[](CalibrationState& s) { s.calPoints[1].channel += 1e-4; },
          +[](CalibrationState& s) { s.calPoints.pop_back(); }}) {
        CalibrationState other = state;
        change(other);
        EXPECT_NE(calibrationFingerprint(other), calibrationFingerprint(state));
    }
}

TEST(CalibrationOrigin, WrittenBesideTheOptionFileAndNamingTheStandardOnlyForItsCalibration) {
    TempDir dir;
    ScriptedPlatform platform;
    const CalibrationState state = standardCalibration();
    const std::string optionFile = dir.file("si.pre");
    const CalibrationOrigin origin = originFromStandard("Silicon\r\n640e", state);
    EXPECT_EQ(standardNameFor(origin, state), "Silicon  640e");  // one line of text
    ASSERT_TRUE(writeCalibrationOrigin(optionFile, origin, platform, LineEnd::CrLf));
    const std::string text = readFile(dir.file("si.pre.standard"));
    ASSERT_EQ(text.size(), std::string("standard=Silicon  640e\r\ncalibration=0123456789abcdef\r\n").size()) << text;
    EXPECT_EQ(text.substr(0, 36), "standard=Silicon  640e\r\ncalibration=");
    EXPECT_EQ(text.find_first_not_of("0123456789abcdef", 36), 52u);

    const auto read = readCalibrationOrigin(optionFile);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->standardName, "Silicon  640e");
    EXPECT_EQ(read->fingerprint, origin.fingerprint);
    CalibrationState edited = state;
    edited.calPoints[0].twoTheta = 28.4412;
    EXPECT_EQ(standardNameFor(*read, edited), "");
    EXPECT_EQ(originAmong({dir.file("none.pre"), optionFile}, state).standardName, "Silicon  640e");
    EXPECT_EQ(originAmong({optionFile}, edited).standardName, "");

    // Recorded only where it holds; nothing written otherwise.
    EXPECT_TRUE(recordCalibrationOrigin(dir.file("edited.pre"), origin, edited, platform, LineEnd::Lf));
    EXPECT_FALSE(test::fileExists(dir.file("edited.pre.standard")));
    EXPECT_TRUE(recordCalibrationOrigin(dir.file("lf.pre"), origin, state, platform, LineEnd::Lf));
    EXPECT_EQ(readFile(dir.file("lf.pre.standard")).substr(0, 23), "standard=Silicon  640e\n");
    EXPECT_TRUE(platform.messages().empty());
}

TEST(CalibrationOrigin, FilesThatAreNoneAreIgnored) {
    TempDir dir;
    for (const char* text :
         {"", "standard=Silicon\r\n", "standard=Silicon\r\ncalibration=12345\r\n",
          "standard=\r\ncalibration=0123456789abcdef\r\n", "standard=Silicon\r\ncalibration=0123456789ABCDEG\r\n",
          "calibration=0123456789abcdef\r\nstandard=Silicon"}) {
        writeFile(dir.file("x.pre.standard"), text);
        EXPECT_FALSE(readCalibrationOrigin(dir.file("x.pre"))) << text;
    }
    writeFile(dir.file("x.pre.standard"), "calibration=0123456789abcdef\nstandard=LaB6\n");
    const auto either = readCalibrationOrigin(dir.file("x.pre"));
    ASSERT_TRUE(either);
    EXPECT_EQ(either->standardName, "LaB6");
    EXPECT_EQ(either->fingerprint, 0x0123456789abcdefULL);

    // A folder where the file would go: reported, false.
    std::filesystem::create_directory(dir.file("y.pre.standard"));
    ScriptedPlatform platform;
    EXPECT_FALSE(writeCalibrationOrigin(dir.file("y.pre"), originFromStandard("Silicon", standardCalibration()),
                                        platform, LineEnd::CrLf));
    ASSERT_EQ(platform.messages().size(), 1u);
    EXPECT_EQ(platform.messages()[0].title, messages::kFileError);
}

}  // namespace
}  // namespace s2t
