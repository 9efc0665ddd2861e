#include <gtest/gtest.h>

#include <cmath>

#include <clocale>
#include <string>

#include "options/OptionFile.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "platform/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

const std::string kStartupDefault =
    "#y=Cx+K\r\n#Header\r\nK=\t10.939501\r\nC=\t0.026928\r\n\r\n"
    "#Observed Channel for the peaks, calculated 2-theta value for peaks\r\n"
    "#Calibrasion Data\r\nnumOfDataPoints= 4\r\n"
    "655.0000\t 28.7830\r\n1353.0000\t 47.3040\r\n1681.0000\t 56.1220\r\n2167.0000\t 69.1320\r\n\r\n";

struct Loaded {
    CalibrationState state;
    std::vector<PlatformCall> messages;
};

// Reads option file text over the built-in calibration.
Loaded load(const std::string& text) {
    TempDir dir;
    writeFile(dir.file("x.pre"), text);
    ScriptedPlatform platform;
    Loaded loaded;
    loaded.state.installStartupValues();
    EXPECT_TRUE(loadOptionFile(dir.file("x.pre"), loaded.state, platform));
    loaded.messages = platform.messages();
    return loaded;
}

// The real file system, on which another run stores its calibration under a name the moment
// this run starts writing a file of that name.
class RacingFileSystem : public RealFileSystem {
public:
    RacingFileSystem(std::string path, std::string text) : path_(std::move(path)), text_(std::move(text)) {}
    std::unique_ptr<OutputFile> createOutputFile(const std::string& path, ExistingFile existing) override {
        auto file = RealFileSystem::createOutputFile(path, existing);
        if (path == path_) writeFile(path, text_);
        return file;
    }

private:
    std::string path_;
    std::string text_;
};

const PlatformCall kSmallError{"message", messages::kOptionFileError, messages::kOptionFileIncomplete};

TEST(OptionFile, StartupCreatesDefaultPreByteForByte) {
    TempDir home;
    ScriptedPlatform platform;
    CalibrationState state;
    getCalibration(state, home.path(), platform, LineEnd::CrLf);
    EXPECT_EQ(readFile(home.file("Default.pre")), kStartupDefault);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(state.header.K, kStartupK);

    // Read back: K and C keep 6 decimals, the points are unchanged.
    CalibrationState again;
    getCalibration(again, home.path(), platform, LineEnd::CrLf);
    EXPECT_EQ(again.header.K, 10.939501);
    EXPECT_EQ(again.header.C, 0.026928);
    ASSERT_EQ(again.numOfDataPoints(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(again.calPoints[i].channel, kStartupPoints[i].channel);
        EXPECT_EQ(again.calPoints[i].twoTheta, kStartupPoints[i].twoTheta);
    }

    std::string lf = kStartupDefault;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    EXPECT_EQ(optionFileText(state, LineEnd::Lf), lf);
}

TEST(OptionFile, StartupKeepsTheDefaultPreAnotherRunStoresMeanwhile) {
    // A fresh program folder, and `calibration fit` from another run stores its calibration while
    // this run creates Default.pre from the built-in values: the fitted one stays, and is the one
    // in force here too.
    TempDir home;
    const std::string fitted = "#Header\nK=\t1.5\nC=\t0.03\n";
    ScriptedPlatform platform;
    platform.setFileSystem(std::make_shared<RacingFileSystem>(home.file("Default.pre"), fitted));
    CalibrationState state;
    getCalibration(state, home.path(), platform, LineEnd::CrLf);
    EXPECT_EQ(readFile(home.file("Default.pre")), fitted);
    EXPECT_EQ(state.header.K, 1.5);
    EXPECT_EQ(state.header.C, 0.03);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(test::namesIn(home.path()), std::vector<std::string>{"Default.pre"});
}

TEST(OptionFile, KeysSectionsAndPointBlocksAsTheyAreRead) {
    const double K0 = kStartupK, C0 = kStartupC;
    struct Case {
        std::string text;
        double K, C;
        std::vector<std::pair<double, double>> points;  // channel, 2-theta; empty: the four built-in points kept
        std::size_t count;
        bool smallError;
    };
    const std::vector<Case> cases = {
        {"#Header\nK=1\nC=2\n", 1, 2, {}, 4, false},
        // "K =" is the key "K ", a trailing space makes "#Header" a comment, keys outside their section
        // and lines before any section are ignored, "C" without "=" is ignored; "#Header " left the
        // header section in force.
        {"K=5\n#Header\nK =7\nC\nnumOfDataPoints= 1\n1 2\n#Header \nC=9\n", K0, 9, {}, 4, false},
        {"#Calibrasion Data\nK=3\n#Header\nC=\t 0.5xyz\n", K0, 0.5, {}, 4, false},
        {"#Header\nK=abc\nC=nan\n", 0, 0, {}, 4, false},
        // A last line without a line feed is never read.
        {"#Header\nK=3", K0, C0, {}, 4, false},
        // A point line with one space reads like the written form.
        {"#Calibrasion Data\nnumOfDataPoints= 2\n655 28.783\n  1353\t 47.304\n",
         K0,
         C0,
         {{655, 28.783}, {1353, 47.304}},
         2,
         false},
        // Announced 3: a point, an empty line and a point give two points and the message.
        {"#Calibrasion Data\nnumOfDataPoints= 3\n1 10\n\n2 20\n", K0, C0, {{1, 10}, {2, 20}}, 2, true},
        {"#Calibrasion Data\nnumOfDataPoints= 2\n1 10\n2 20", K0, C0, {{1, 10}}, 1, true},
        // CR LF files read like LF files; a one-field line gives 2-theta 0.
        {"#Calibrasion Data\r\nnumOfDataPoints= 2\r\n7.5\r\n8\t9\r\n", K0, C0, {{7.5, 0}, {8, 9}}, 2, false},
        // Count 0: an empty point set, no message; negative: empty and the message.
        {"#Calibrasion Data\nnumOfDataPoints= 0\n", K0, C0, {}, 0, false},
        {"#Calibrasion Data\nnumOfDataPoints= -3\n1 2\n", K0, C0, {}, 0, true},
        // A line starting with a digit in the data section is skipped; no "=", no count.
        {"#Calibrasion Data\n5=numOfDataPoints\nnumOfDataPoints\n", K0, C0, {}, 4, false},
        // A huge announced count costs nothing up front.
        {"#Calibrasion Data\nnumOfDataPoints=2000000000\n1 2\n3 4\n", K0, C0, {{1, 2}, {3, 4}}, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Loaded loaded = load(c.text);
        EXPECT_EQ(loaded.state.header.K, c.K);
        EXPECT_EQ(loaded.state.header.C, c.C);
        ASSERT_EQ(loaded.state.numOfDataPoints(), static_cast<int>(c.count));
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            EXPECT_EQ(loaded.state.calPoints[i].channel, c.points[i].first);
            EXPECT_EQ(loaded.state.calPoints[i].twoTheta, c.points[i].second);
        }
        EXPECT_EQ(loaded.messages, c.smallError ? std::vector<PlatformCall>{kSmallError} : std::vector<PlatformCall>{});
    }
}

TEST(OptionFile, HostileInputIsReadSafely) {
    // Lines of 100 000 characters.
    std::string longLine(100000, '7');
    auto longLines = load("#Header\nK=" + longLine + "\n" + std::string(100000, '#') +
                          "\n#Calibrasion Data\nnumOfDataPoints= 1\n" + longLine + " 3\n");
    EXPECT_EQ(longLines.state.numOfDataPoints(), 1);
    EXPECT_TRUE(std::isinf(longLines.state.calPoints[0].channel) || longLines.state.calPoints[0].channel == 0.0);

    // Binary garbage changes nothing it does not name and never crashes.
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
    EXPECT_EQ(load(garbage).state.header.K, kStartupK);
}

TEST(OptionFile, SaveAsksBeforeReplacingUnlessForced) {
    TempDir dir;
    ScriptedPlatform platform;
    CalibrationState state;
    state.installStartupValues();
    const std::string path = dir.file("mine.pre");
    writeFile(path, "old");

    platform.confirmAnswers = {false};
    EXPECT_EQ(saveOptionsFile(path, false, state, platform, LineEnd::CrLf), SaveOutcome::Declined);
    EXPECT_EQ(readFile(path), "old");
    ASSERT_EQ(platform.calls.size(), 1u);
    EXPECT_EQ(platform.calls[0],
              (PlatformCall{"confirm", messages::kReplaceOptionFile, messages::replaceOptionFile("/mine.pre")}));

    platform.confirmAnswers = {true};
    EXPECT_EQ(saveOptionsFile(path, false, state, platform, LineEnd::CrLf), SaveOutcome::Written);
    EXPECT_EQ(readFile(path), kStartupDefault);

    // Forced: no question. A path without a separator is named as it is.
    platform.calls.clear();
    EXPECT_EQ(saveOptionsFile(path, true, state, platform, LineEnd::CrLf), SaveOutcome::Written);
    EXPECT_TRUE(platform.calls.empty());
}

TEST(OptionFile, GermanLocaleChangesNoByte) {
    TempDir home;
    ScriptedPlatform platform;
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/setup installs de_DE.UTF-8";
    CalibrationState state;
    getCalibration(state, home.path(), platform, LineEnd::CrLf);
    auto loaded = load("#Header\nK=28.783\n");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(readFile(home.file("Default.pre")), kStartupDefault);
    EXPECT_EQ(loaded.state.header.K, 28.783);
}

}  // namespace
}  // namespace s2t
