// What a channel file says of its measurement: header times and start, the trailer record's
// calibration and descriptions, and files whose trailer is missing, cut short or damaged, which
// read their counts exactly as before.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/ChnMetadata.h"
#include "engine/ReadAnyFile.h"
#include "engine/ScanReaders.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::TempDir;
using test::writeFile;

void put(std::string& bytes, std::size_t at, const void* value, std::size_t size) {
    std::memcpy(bytes.data() + at, value, size);
}

// A 512-byte trailer record of the given kind, calibration and descriptions.
std::string trailerBytes(std::int16_t kind, float zero, float slope, float quadratic, const std::string& detector,
                         const std::string& sample) {
    std::string bytes(kChnTrailerSize, '\0');
    put(bytes, 0, &kind, 2);
    for (auto [at, value] : {std::pair<std::size_t, float>{4, zero}, {8, slope}, {12, quadratic}, {16, 0.05f}})
        put(bytes, at, &value, 4);
    bytes[256] = static_cast<char>(detector.size());
    bytes.replace(257, detector.size(), detector);
    bytes[320] = static_cast<char>(sample.size());
    bytes.replace(321, sample.size(), sample);
    return bytes;
}

// A channel file header with times in ticks of 20 ms, start date and time texts.
std::string withHeader(std::string file, std::int32_t realTicks, std::int32_t liveTicks, const std::string& date,
                       const std::string& time, const std::string& seconds) {
    put(file, 8, &realTicks, 4);
    put(file, 12, &liveTicks, 4);
    file.replace(16, 8, date);
    file.replace(24, 4, time);
    file.replace(6, 2, seconds);
    return file;
}

struct ChnMetadataFixture : ::testing::Test {
    ChnMetadataFixture() { calibration.installStartupValues(); }
    Scan read(const std::string& bytes) {
        const std::string path = dir.file("scan.chn");
        writeFile(path, bytes);
        ConversionRequest request;
        request.inputFile = path;
        request.fileType = kChnFileType;
        last = readAnyFile(request, calibration);
        EXPECT_TRUE(last);
        EXPECT_TRUE(last.messages.empty());
        return last.scan;
    }
    TempDir dir;
    CalibrationState calibration;
    ReadResult last;
};

TEST_F(ChnMetadataFixture, TheSampleStandardSaysWhenHowLongAndWhatWasMeasured) {
    ConversionRequest request;
    request.inputFile = std::string(S2T_SOURCE_DIR) + "/examples/si-standard.chn";
    const ReadResult read = readMCAFile(request);
    ASSERT_TRUE(read);
    const ScanMetadata& m = read.scan.metadata;
    EXPECT_EQ(m.liveTime, 597.4);
    EXPECT_EQ(m.realTime, 600.0);
    EXPECT_EQ(m.startDateTime, "2024-03-04T09:15:17");
    EXPECT_EQ(m.description, "Si powder standard, 10 min");
    EXPECT_EQ(m.detector, "Scintillation detector, Cu tube 40 kV 30 mA");
    ASSERT_TRUE(m.calibration);
    // The stored floats come back as the decimals they were written from.
    EXPECT_EQ(m.calibration->zero, 10.939501);
    EXPECT_EQ(m.calibration->slope, 0.02692846);
    EXPECT_EQ(m.calibration->quadratic, 0.0);
    EXPECT_EQ(m.trailerProblem, "");
}

TEST_F(ChnMetadataFixture, MissingShortAndDamagedTrailersLeaveTheCountsAsTheyWere) {
    const std::vector<std::int32_t> counts = test::varyingCounts(40);
    const std::string plain = chnBytes(3, counts);
    const Scan without = read(plain);
    ASSERT_EQ(without.points.size(), counts.size());
    EXPECT_FALSE(without.metadata.calibration);
    EXPECT_EQ(without.metadata.trailerProblem, "");
    EXPECT_EQ(without.metadata.description, "");

    const std::string good = trailerBytes(-102, 5.0f, 0.25f, 0.0f, "det", "sample");
    std::string wrongKind = good;
    wrongKind[0] = 0x01;
    std::string overlong = trailerBytes(-101, 5.0f, 0.25f, 7.0f, "", "");
    overlong[256] = static_cast<char>(200);  // longer than the 63 characters a description may have
    for (std::size_t i = 257; i < 330; ++i) overlong[i] = 'x';
    overlong[260] = '\t';
    overlong[261] = static_cast<char>(0xC3);
    struct Case {
        const char* name;
        std::string trailer;
        std::string problem;
    };
    const Case cases[] = {
        {"short", good.substr(0, 100), "the record after the counts is cut short (100 of 512 bytes); not read"},
        {"one byte", good.substr(0, 1), "the record after the counts is cut short (1 of 512 bytes); not read"},
        {"wrong kind", wrongKind,
         "the record after the counts is no trailer (it starts with -255, not -101 or -102); not read"},
        {"good", good, ""},
        {"longer than a record", good + std::string(300, '\x7f'), ""},
        {"overlong text", overlong, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Scan scan = read(plain + c.trailer);
        ASSERT_EQ(scan.points.size(), without.points.size());
        for (std::size_t i = 0; i < counts.size(); ++i) {
            EXPECT_EQ(scan.points[i].count, without.points[i].count);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(scan.points[i].twoTheta),
                      std::bit_cast<std::uint64_t>(without.points[i].twoTheta));
        }
        EXPECT_EQ(last.startAngle, 3.0);
        EXPECT_EQ(scan.metadata.trailerProblem, c.problem);
        EXPECT_EQ(scan.metadata.calibration.has_value(), c.problem.empty());
    }
    const Scan damagedText = read(plain + overlong);
    // At most 63 characters, no control or non-ASCII byte; a -101 record has no quadratic term.
    EXPECT_EQ(damagedText.metadata.detector, "xxx??" + std::string(58, 'x'));
    EXPECT_EQ(damagedText.metadata.calibration->quadratic, 0.0);
    EXPECT_EQ(damagedText.metadata.calibration->slope, 0.25);
    const Scan withQuadratic = read(plain + trailerBytes(-102, 5.0f, 0.25f, 1e-7f, "", ""));
    EXPECT_EQ(withQuadratic.metadata.calibration->quadratic, 1e-7);
}

TEST_F(ChnMetadataFixture, AnUnusableStoredCalibrationIsNone) {
    const std::string plain = chnBytes(0, {1, 2, 3});
    for (float slope : {0.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        const Scan scan = read(plain + trailerBytes(-102, 1.0f, slope, 0.0f, "d", "s"));
        EXPECT_FALSE(scan.metadata.calibration) << slope;
        EXPECT_EQ(scan.metadata.description, "s");
    }
    const Scan nanZero = read(plain + trailerBytes(-101, std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.0f, "", ""));
    EXPECT_FALSE(nanZero.metadata.calibration);
}

TEST_F(ChnMetadataFixture, HeaderTimesAndStartAsFarAsTheyAreValid) {
    const std::string plain = chnBytes(0, {1, 2, 3});
    struct Case {
        std::int32_t real, live;
        std::string date, time, seconds;
        std::optional<double> realTime, liveTime;
        std::string start;
    };
    const Case cases[] = {
        {30000, 29870, "04MAR241", "0915", "17", 600.0, 597.4, "2024-03-04T09:15:17"},
        {1, 0, "31dec990", "2359", "59", 0.02, std::nullopt, "1999-12-31T23:59:59"},
        {-5, 50, " 7Jul051", "0000", "xx", std::nullopt, 1.0, "2005-07-07T00:00"},
        {0, 0, "07JLY051", "0000", "00", std::nullopt, std::nullopt, ""},
        {0, 0, "00JAN051", "0000", "00", std::nullopt, std::nullopt, ""},
        {0, 0, "07JAN051", "2400", "00", std::nullopt, std::nullopt, "2005-01-07"},
        {0, 0, "07JAN051", "1260", "00", std::nullopt, std::nullopt, "2005-01-07"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date + " " + c.time);
        const ScanMetadata m = read(withHeader(plain, c.real, c.live, c.date, c.time, c.seconds)).metadata;
        EXPECT_EQ(m.realTime, c.realTime);
        EXPECT_EQ(m.liveTime, c.liveTime);
        EXPECT_EQ(m.startDateTime, c.start);
    }
}

}  // namespace
}  // namespace s2t
