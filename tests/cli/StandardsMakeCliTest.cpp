#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "CliMessages.h"
#include "platform/NumberText.h"
#include "standards/StandardMaker.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::quoted;
using test::readFile;
using test::runCli;
using test::TempDir;

const std::string kDataDir = std::string(S2T_SOURCE_DIR) + "/data/standards";

TEST(StandardsMakeCli, CuFilesAreTheShippedFilesByteForByte) {
    TempDir dir;
    for (const char* material : {"Silicon", "LaB6", "CeO2", "Corundum"}) {
        for (const char* wavelength : {"Cu", "1.5406"}) {
            const auto result = runCli(std::string("standards make --material ") + material + " --wavelength " +
                                           wavelength + " -o " + quoted(dir.file("made.std")),
                                       dir.path());
            ASSERT_EQ(result.status, 0) << result.err;
            EXPECT_EQ(readFile(dir.file("made.std")), readFile(kDataDir + "/" + material + ".std")) << material;
        }
    }
}

TEST(StandardsMakeCli, OtherAnodesAndWavelengths) {
    TempDir dir;
    auto make = [&](const std::string& arguments) {
        return runCli("standards make " + arguments + " -o " + quoted(dir.file("s.std")), dir.path());
    };
    ASSERT_EQ(make("--material silicon --wavelength co").status, 0);
    const std::string cobalt = readFile(dir.file("s.std"));
    // Silicon 111 for cobalt K-alpha1: 2 asin(1.788996 sqrt(3) / (2 x 5.431179)).
    const double expected = 2.0 * std::asin(1.788996 * std::sqrt(3.0) / (2.0 * 5.431179)) * 180.0 / M_PI;
    EXPECT_EQ(cobalt.rfind("name= 'Silicon'\r\n# diamond cubic Fd-3m, a = 5.431179 Angstrom (NIST SRM 640e), Co "
                           "K-alpha1 1.788996 Angstrom\r\nDATA\r\n" +
                               formatFixed(expected, 4) + "\r\n",
                           0),
              0u)
        << cobalt;
    EXPECT_EQ(cobalt.substr(cobalt.size() - 4), "\r\n\r\n");

    // A shorter wavelength reaches more reflections below 150 degrees; any wavelength is named as it is.
    ASSERT_EQ(make("--material Corundum --wavelength Mo --line-end lf").status, 0);
    const std::string molybdenum = readFile(dir.file("s.std"));
    ASSERT_EQ(make("--material Corundum --wavelength 0.7").status, 0);
    EXPECT_NE(readFile(dir.file("s.std")).find(", wavelength 0.7 Angstrom\r\n"), std::string::npos);
    ASSERT_EQ(make("--material Corundum --wavelength Cu").status, 0);
    EXPECT_GT(molybdenum.size(), 3 * readFile(dir.file("s.std")).size() / 2);
    EXPECT_EQ(molybdenum.find('\r'), std::string::npos);
    for (const char* anode : {"Cr", "Fe", "Ag"})
        EXPECT_EQ(make(std::string("--material CeO2 --wavelength ") + anode).status, 0);

    for (const char* bad : {"--material Quartz --wavelength Cu", "--material Silicon --wavelength W",
                            "--material Silicon --wavelength 0", "--material Silicon --wavelength -1.5"}) {
        const auto result = make(bad);
        EXPECT_EQ(result.status, 2) << bad;
    }
    // A wavelength that would need reflections of indices beyond any file's use is refused, not searched.
    const auto tooShort = make("--material Corundum --wavelength 0.1");
    EXPECT_EQ(tooShort.status, 2);
    EXPECT_NE(tooShort.err.find(messages::wavelengthTooShort("0.1", "Corundum", 200)), std::string::npos)
        << tooShort.err;
    EXPECT_EQ(make("--material Silicon --wavelength 1e-9").status, 2);

    // Nor is a standard written that "calibration auto" would refuse for its number of reflections.
    const auto tooMany = make("--material Corundum --wavelength 0.3");
    EXPECT_EQ(tooMany.status, 2);
    const std::size_t corundumAt03 = reflectionAngleTexts(*findReferenceMaterial("Corundum"), 0.3).size();
    EXPECT_GT(corundumAt03, 2000u);
    EXPECT_NE(tooMany.err.find(messages::tooManyReflections("0.3", "Corundum", corundumAt03, 2000)), std::string::npos)
        << tooMany.err;
}

}  // namespace
}  // namespace s2t
