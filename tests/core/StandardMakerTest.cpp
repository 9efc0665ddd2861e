#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardFile.h"
#include "standards/StandardMaker.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

const ReferenceMaterial& material(const char* name) {
    const ReferenceMaterial* found = findReferenceMaterial(name);
    if (!found) throw std::runtime_error(name);
    return *found;
}

// A wavelength so short that its reflections need indices beyond any loop bound is refused
// before anything is searched: 1e-9 Angstrom made the index loop run past the range of int.
TEST(StandardMaker, RefusesWavelengthsNoFileCanHold) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    for (const auto& m : referenceMaterials()) {
        for (double wavelength : {0.0, -1.5406, 1e-9, tiny, std::nan(""), std::numeric_limits<double>::infinity()}) {
            EXPECT_FALSE(canMakeStandard(m, wavelength)) << m.name << " " << wavelength;
            EXPECT_TRUE(reflectionAngleTexts(m, wavelength).empty()) << m.name << " " << wavelength;
        }
        for (const auto& anode : anodes()) EXPECT_TRUE(canMakeStandard(m, anode.alpha1)) << m.name << anode.name;
    }
    // The bound lies at the cell edge (Corundum: its c) over the smallest spacing reaching 150 degrees.
    const double sine75 = std::sin(75.0 * M_PI / 180.0);
    const double siliconLimit = 2.0 * sine75 * material("Silicon").a / kHighestMillerIndex;
    EXPECT_TRUE(canMakeStandard(material("Silicon"), siliconLimit * 1.001));
    EXPECT_FALSE(canMakeStandard(material("Silicon"), siliconLimit * 0.999));
    const double corundumLimit = 2.0 * sine75 * material("Corundum").c / kHighestMillerIndex;
    EXPECT_TRUE(canMakeStandard(material("Corundum"), corundumLimit * 1.001));
    EXPECT_FALSE(canMakeStandard(material("Corundum"), corundumLimit * 0.999));
    EXPECT_GT(reflectionAngleTexts(material("Corundum"), corundumLimit * 1.001).size(), 1000u);
}

// What the writer writes, the standard-file reader reads back: the name and every reflection, for
// every material, near the shortest wavelength and far beyond the longest that diffracts.
TEST(StandardMaker, WrittenFilesReadBackWithTheirReflections) {
    test::TempDir dir;
    for (const auto& m : referenceMaterials()) {
        for (double wavelength : {0.13, 0.559422, 1.5406, 2.289726, 20.0, 1e300}) {
            const std::vector<std::string> angles = reflectionAngleTexts(m, wavelength);
            const std::string path = dir.file("made.std");
            test::writeFile(path, standardFileText(m, wavelength, LineEnd::Lf));
            TextFile file(path);
            std::string line, name;
            ASSERT_NE(file.readLine(line), -1);
            ASSERT_TRUE(getNameOfStd(line, name));
            EXPECT_EQ(name, m.name);
            ScriptedPlatform platform;
            std::vector<double> read;
            ASSERT_TRUE(getStandardPoints(file, read, platform));
            ASSERT_EQ(read.size(), angles.size()) << m.name << " " << wavelength;
            for (std::size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i], parseLeadingDouble(angles[i]));
            if (wavelength >= 20.0) {
                EXPECT_TRUE(angles.empty());
            }
        }
    }
}

}  // namespace
}  // namespace s2t
