// The annotated writers byte for byte on small scans: header lines, value columns, uncertainties
// of counts as read and resampled, counts per second.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "engine/AnnotatedOutput.h"
#include "engine/OutputFormats.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::readFile;
using test::TempDir;

struct AnnotatedWriterFixture : ::testing::Test {
    AnnotatedWriterFixture() {
        session.calibration.installStartupValues();
        session.settings.lineEnd = LineEnd::Lf;
        session.settings.CPIOpt = {"Cu", 1.5406};
        request.inputFile = "in/scan.chn";
        request.conversion = kLinearConversion;
        scan.points = {{10.0, 100.0}, {11.0, 400.0}, {12.0, 0.0}};
        scan.metadata.description = "test sample";
        scan.metadata.liveTime = 50.0;
    }
    std::string write(WriterFunction writer, std::uint16_t options, const char* extension) {
        request.outputFile = dir.file("out");
        request.options = options;
        Scan copy = scan;
        const bool written = writer(request, copy, session, platform);
        const std::string path = dir.file(std::string("out.") + extension);
        std::string bytes = written ? readFile(path) : "";
        std::remove(path.c_str());
        return bytes;
    }
    // The lines after the header that ends with the line starting with `last`.
    static std::vector<std::string> valuesAfter(const std::string& text, const std::string& last) {
        std::vector<std::string> lines;
        std::size_t at = text.find("\n" + last);
        at = text.find('\n', at + 1) + 1;
        while (at < text.size()) {
            const std::size_t end = text.find('\n', at);
            lines.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        return lines;
    }

    TempDir dir;
    Session session;
    ScriptedPlatform platform;
    ConversionRequest request;
    Scan scan;
};

TEST_F(AnnotatedWriterFixture, EveryFormatOfThePointsAsRead) {
    const std::string comments = "# scan2theta " S2T_VERSION
                                 "\n"
                                 "# Source: in/scan.chn\n"
                                 "# Calibration: 2-theta = C x channel + K, K = 10.939501, C = 0.02692846\n"
                                 "# Wavelength: 1.5406 Angstrom\n"
                                 "# Description: test sample\n"
                                 "# Live time: 50 s\n";
    EXPECT_EQ(write(writeXYFile, 0, "xy"),
              comments + "# 2theta count\n10.00000000 100\n11.00000000 400\n12.00000000 0\n");
    EXPECT_EQ(
        write(writeXYEFile, 0, "xye"),
        comments + "# 2theta count sigma\n10.00000000 100 10.0000\n11.00000000 400 20.0000\n12.00000000 0 1.0000\n");
    EXPECT_EQ(write(writeFXYEFile, 0, "fxye"),
              "scan.chn: test sample\n" + comments +
                  "# 2theta count sigma\n"
                  "BANK 1 3 3 CONS 1000.0000 100.0000 0 0 FXYE\n"
                  "1000.000000 100 10.0000\n1100.000000 400 20.0000\n1200.000000 0 1.0000\n");
    EXPECT_EQ(write(writePdCIFFile, 0, "cif"),
              "data_scan\n" + comments +
                  "_pd_block_id                        '|scan||'\n"
                  "_audit_creation_method              'scan2theta " S2T_VERSION
                  "'\n"
                  "_diffrn_radiation_wavelength        1.5406\n"
                  "_pd_meas_scan_method                fixed\n"
                  "_pd_meas_number_of_points           3\n"
                  "_pd_calibration_conversion_eqn      '2theta = 10.939501 + 0.02692846 * channel'\n"
                  "loop_\n_pd_meas_2theta_scan\n_pd_meas_counts_total\n"
                  "10.00000000 100\n11.00000000 400\n12.00000000 0\n");
    // Range limits, whole angles and fractional counts as for the text list; counts per second.
    session.settings.theRangeOptions = {10.5, 12.0};
    EXPECT_EQ(valuesAfter(write(writeXYEFile, kRangeLimits | kWholeTwoTheta | kFractionalCounts, "xye"), "# 2theta"),
              (std::vector<std::string>{"11 400.0000 20.0000", "12 0.0000 1.0000"}));
    EXPECT_EQ(
        valuesAfter(write(writePdCIFFile, kCountsPerSecond | kFractionalCounts, "cif"), "_pd_proc_intensity_total"),
        (std::vector<std::string>{"10.00000000 2.000000(200000)", "11.00000000 8.000000(400000)",
                                  "12.00000000 0.000000(20000)"}));
    EXPECT_TRUE(platform.messages().empty());
}

TEST_F(AnnotatedWriterFixture, ResampledUncertaintiesArePropagatedThroughTheInterpolation) {
    session.settings.constStepOpts = {kLinearInterpolation, 1, 0.25};
    // Counts a and b at weights 1 - t and t: sqrt((1 - t)^2 a + t^2 b), a count of 0 counting as 1.
    auto expected = [](double a, double b, double t) {
        return std::sqrt((1 - t) * (1 - t) * (a > 0 ? a : 1.0) + t * t * (b > 0 ? b : 1.0));
    };
    std::vector<std::string> lines;
    for (int i = 0; i < 8; ++i) {
        const double x = 10.0 + 0.25 * i;
        const double t = x < 11.0 ? x - 10.0 : x - 11.0;
        const double a = x < 11.0 ? 100.0 : 400.0, b = x < 11.0 ? 400.0 : 0.0;
        lines.push_back(formatFixed(x, 8) + " " + formatFixed(a + t * (b - a), 4) + " " +
                        formatFixed(expected(a, b, t), 4));
    }
    const std::string linear = write(writeXYEFile, kConstantStep | kFractionalCounts, "xye");
    EXPECT_EQ(valuesAfter(linear, "# 2theta"), lines);
    EXPECT_NE(linear.find("# Resampled: constant step of 0.25 degrees by linear interpolation, uncertainties "
                          "propagated\n"),
              std::string::npos);
    // The spline takes the uncertainties of the same rule; its counts are its own.
    session.settings.constStepOpts.method = kSplineInterpolation;
    const auto spline = valuesAfter(write(writeXYEFile, kConstantStep | kFractionalCounts, "xye"), "# 2theta");
    ASSERT_EQ(spline.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(spline[i].substr(spline[i].rfind(' ')), lines[i].substr(lines[i].rfind(' '))) << i;
    // XY says it was resampled, without a word on uncertainties it does not hold.
    EXPECT_NE(write(writeXYFile, kConstantStep, "xy")
                  .find("# Resampled: constant step of 0.25 degrees by cubic "
                        "spline interpolation\n"),
              std::string::npos);
}

TEST_F(AnnotatedWriterFixture, CountsPerSecondNeedALiveTime) {
    scan.metadata.liveTime.reset();
    EXPECT_EQ(write(writeXYFile, kCountsPerSecond | kFractionalCounts, "xy"), "");
    EXPECT_EQ(platform.messages().size(), 1u);
    EXPECT_FALSE(test::fileExists(dir.file("out.xy")));
}

}  // namespace
}  // namespace s2t
