// What we write must read back through an independent reader of these formats (xylib's xyconv)
// with the same angles and counts as our own text list of the same conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "engine/OutputFormats.h"
#include "engine/Writers.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::readFile;
using test::runCommand;
using test::TempDir;

using Columns = std::vector<std::pair<double, double>>;

Columns parseColumns(const std::string& text) {
    Columns rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        auto tab = line.find_first_of("\t ");
        rows.emplace_back(parseLeadingDouble(line.substr(0, tab)), parseLeadingDouble(line.substr(tab)));
    }
    return rows;
}

TEST(IndependentReader, XyconvReadsCpiXfitAndLhpmLikeOurTextList) {
    TempDir dir;
    Session session;
    ScriptedPlatform platform;
    session.settings.constStepOpts = {kSplineInterpolation, 0, 0.02};
    session.settings.theRangeOptions = {21.3, 33.55};
    session.settings.CPIOpt = {"Cu", 1.5406};
    Scan scan;
    for (int i = 0; i < 1500; ++i) {
        const double angle = 20.0 + 0.0101 * i;
        scan.points.push_back({angle, 200.0 + 9000.0 * std::exp(-std::pow((angle - 28.44) / 0.08, 2)) + (i % 7), 0.0});
    }

    for (std::uint16_t extra : {std::uint16_t(0), kFractionalCounts}) {
        ConversionRequest request;
        request.options = kConstantStep | kRangeLimits | extra;
        request.outputFile = dir.file("ours");
        Scan copy = scan;
        ASSERT_TRUE(writeTextFileTTheta(request, copy, session, platform));
        const Columns expected = parseColumns(readFile(dir.file("ours.txt")).substr(15));
        ASSERT_GT(expected.size(), 600u);

        struct Case {
            WriterFunction writer;
            const char* name;
            const char* extension;
            const char* type;
        };
        for (const Case& c : {Case{writeCPIFile, "cpi", "cpi", "cpi"}, Case{writeXFITFile, "xfit", "dat", "xfit_xdd"},
                              Case{writeLhpmFile, "lhpm", "dat", "riet7"}}) {
            request.outputFile = dir.file(c.name);
            copy = scan;
            ASSERT_TRUE(c.writer(request, copy, session, platform));
            std::string output;
            const std::string file = dir.file(std::string(c.name) + "." + c.extension);
            ASSERT_EQ(runCommand("xyconv -t " + std::string(c.type) + " '" + file + "' -", output, true), 0) << output;
            const Columns read = parseColumns(output);
            ASSERT_EQ(read.size(), expected.size()) << c.name;
            for (std::size_t i = 0; i < read.size(); ++i) {
                EXPECT_NEAR(read[i].first, expected[i].first, 2e-6) << c.name << " row " << i;
                EXPECT_NEAR(read[i].second, expected[i].second, 0.006) << c.name << " row " << i;
            }
        }
    }
}

}  // namespace
}  // namespace s2t
