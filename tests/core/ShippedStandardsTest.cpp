#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "platform/ScriptedPlatform.h"
#include "standards/ShippedStandards.h"
#include "standards/StandardDiscovery.h"
#include "standards/StandardFile.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::readFile;
using test::runCommand;
using test::TempDir;

const std::string kDataDir = std::string(S2T_SOURCE_DIR) + "/data/standards";

std::set<std::string> fileNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::vector<double> reflectionsOf(const std::string& path) {
    TextFile file(path);
    ScriptedPlatform platform;
    std::vector<double> standard;
    EXPECT_TRUE(getStandardPoints(file, standard, platform)) << path;
    EXPECT_TRUE(platform.calls.empty()) << path;
    return standard;
}

// Bragg's law for Cu K-alpha1 on a cubic lattice, 4 decimals as the files hold them.
double braggTwoTheta(double a, int h, int k, int l) {
    const double d = a / std::sqrt(h * h + k * k + l * l);
    const double twoTheta = 2.0 * std::asin(1.5406 / (2.0 * d)) * 180.0 / std::numbers::pi;
    return std::round(twoTheta * 1e4) / 1e4;
}

TEST(ShippedStandards, CommittedFilesAreWhatTheScriptWrites) {
    TempDir out;
    std::string output;
    ASSERT_EQ(runCommand("python3 '" + std::string(S2T_SOURCE_DIR) +
                             "/scripts/make-standards.py' '" + out.path() + "'",
                         output, true),
              0)
        << output;
    const auto names = fileNames(kDataDir);
    EXPECT_EQ(fileNames(out.path()), names);
    EXPECT_TRUE(names.count("Silicon.std") && names.count("LaB6.std"));
    for (const auto& name : names)
        EXPECT_EQ(readFile(out.file(name)), readFile(kDataDir + "/" + name)) << name;

    // And the program carries exactly these files.
    std::set<std::string> embedded;
    for (const ShippedFile& file : shippedStandards()) {
        embedded.insert(std::string(file.name));
        EXPECT_EQ(file.contents, readFile(kDataDir + "/" + std::string(file.name))) << file.name;
    }
    EXPECT_EQ(embedded, names);
}

TEST(ShippedStandards, ReflectionsFollowBraggsLaw) {
    const auto silicon = reflectionsOf(kDataDir + "/Silicon.std");
    ASSERT_EQ(silicon.size(), 11u);  // 111 to 533 below 150 degrees
    EXPECT_GE(silicon[0], 28.4406);  // 111
    EXPECT_LE(silicon[0], 28.4416);
    EXPECT_EQ(silicon[0], braggTwoTheta(5.431179, 1, 1, 1));
    EXPECT_EQ(silicon[1], braggTwoTheta(5.431179, 2, 2, 0));
    EXPECT_EQ(silicon[2], braggTwoTheta(5.431179, 3, 1, 1));
    EXPECT_EQ(silicon[3], braggTwoTheta(5.431179, 4, 0, 0));  // 200 and 222 are forbidden
    EXPECT_EQ(silicon[6], braggTwoTheta(5.431179, 3, 3, 3));  // one line for 333 and 511
    EXPECT_EQ(silicon[10], braggTwoTheta(5.431179, 5, 3, 3));

    const auto lab6 = reflectionsOf(kDataDir + "/LaB6.std");
    ASSERT_GE(lab6.size(), 3u);
    EXPECT_EQ(lab6[0], braggTwoTheta(4.15689, 1, 0, 0));
    EXPECT_EQ(lab6[1], braggTwoTheta(4.15689, 1, 1, 0));
    EXPECT_EQ(lab6[2], braggTwoTheta(4.15689, 1, 1, 1));
    for (const auto& list : {silicon, lab6}) {
        EXPECT_GE(list.front(), 10.0);
        EXPECT_LE(list.back(), 150.0);
        for (std::size_t i = 1; i < list.size(); ++i) EXPECT_LT(list[i - 1], list[i]);
    }
}

TEST(ShippedStandards, ANewProgramFolderOffersThem) {
    TempDir dir;
    const std::string home = dir.file("home");
    std::string error;
    ASSERT_TRUE(prepareProgramFolder(home, error)) << error;
    auto list = checkForStandards(home);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "Silicon");
    EXPECT_EQ(list[0].path, home + "/Standards/Silicon.std");
    EXPECT_EQ(list[1].name, "LaB6");
    EXPECT_EQ(readFile(list[1].path), readFile(kDataDir + "/LaB6.std"));
}

}  // namespace
}  // namespace s2t
