#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "platform/ScriptedPlatform.h"
#include "standards/ShippedStandards.h"
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
    ASSERT_EQ(runCommand("python3 '" + std::string(S2T_SOURCE_DIR) + "/scripts/make-standards.py' '" + out.path() + "'",
                         output, true),
              0)
        << output;
    const auto names = fileNames(kDataDir);
    EXPECT_EQ(fileNames(out.path()), names);
    EXPECT_TRUE(names.count("Silicon.std") && names.count("LaB6.std"));
    for (const auto& name : names) EXPECT_EQ(readFile(out.file(name)), readFile(kDataDir + "/" + name)) << name;

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
    const auto lab6 = reflectionsOf(kDataDir + "/LaB6.std");
    ASSERT_GE(lab6.size(), 3u);
    struct Reflection {
        const std::vector<double>& list;
        std::size_t index;
        double a;
        int h, k, l;
    };
    for (const Reflection& r : {Reflection{silicon, 0, 5.431179, 1, 1, 1}, Reflection{silicon, 1, 5.431179, 2, 2, 0},
                                Reflection{silicon, 2, 5.431179, 3, 1, 1},
                                Reflection{silicon, 3, 5.431179, 4, 0, 0},  // 200 and 222 are forbidden
                                Reflection{silicon, 6, 5.431179, 3, 3, 3},  // one line for 333 and 511
                                Reflection{silicon, 10, 5.431179, 5, 3, 3}, Reflection{lab6, 0, 4.15689, 1, 0, 0},
                                Reflection{lab6, 1, 4.15689, 1, 1, 0}, Reflection{lab6, 2, 4.15689, 1, 1, 1}})
        EXPECT_EQ(r.list[r.index], braggTwoTheta(r.a, r.h, r.k, r.l)) << r.h << r.k << r.l << " of " << r.a;
    for (const auto& list : {silicon, lab6}) {
        EXPECT_GE(list.front(), 10.0);
        EXPECT_LE(list.back(), 150.0);
        for (std::size_t i = 1; i < list.size(); ++i) EXPECT_LT(list[i - 1], list[i]);
    }
}

}  // namespace
}  // namespace s2t
