// The records that carry a user's choices into the conversion engine, and the in-memory scan.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/ScanMetadata.h"
#include "platform/LineEnd.h"
#include "platform/Platform.h"

namespace s2t {

// Input kinds, as the file list stores them with each file.
inline constexpr std::int32_t kGufiFileType = 4;  // "*.guf"
inline constexpr std::int32_t kChnFileType = 5;   // "*.chn"
inline constexpr std::int32_t kOtherFileType = -1;
// The main panel's kind of every other scan with angles of its own ("angle scan"): its rules treat
// such a list as a GUFI list.
inline constexpr std::int32_t kAngleScanKind = 6;

// How a scan's abscissae become angles. No file holds these numbers.
enum class Conversion : std::int16_t {
    kNoConversion = 0,        // channel list output
    kLinearConversion = 1,    // 2-theta = C x channel + K
    kSplineConversion = 2,    // the calibration spline
    kFileAngles = 3,          // the file's own angles (a channel file has none: the straight line)
    kTrailerCalibration = 5,  // the straight line a channel file's trailer stores
};
using enum Conversion;

// How a constant-step grid takes its counts between the scan's points. The desktop program's
// stored choices hold these numbers (storedNumber, interpolationFromStored).
enum class Interpolation : std::int32_t {
    kInterpolationNotChosen = 0,  // the constant-step panel was never confirmed
    kLinearInterpolation = 1,
    kSplineInterpolation = 3,
};
using enum Interpolation;

inline int storedNumber(Interpolation method) { return static_cast<int>(method); }
// The method a stored number names; none for any other number.
inline std::optional<Interpolation> interpolationFromStored(int number) {
    if (number == storedNumber(kLinearInterpolation)) return kLinearInterpolation;
    if (number == storedNumber(kSplineInterpolation)) return kSplineInterpolation;
    return std::nullopt;
}

// Output option bits.
inline constexpr std::uint16_t kWholeTwoTheta = 1;
inline constexpr std::uint16_t kConstantStep = 2;
inline constexpr std::uint16_t kRangeLimits = 4;
inline constexpr std::uint16_t kFractionalCounts = 8;
inline constexpr std::uint16_t kCountsPerSecond = 16;  // counts divided by the live time (annotated formats)

// Output formats (the value of the main panel's format ring).
inline constexpr std::int32_t kTextOutput = 0;
inline constexpr std::int32_t kXfitOutput = 1;
inline constexpr std::int32_t kCpiOutput = 2;
inline constexpr std::int32_t kLhpmOutput = 3;
inline constexpr std::int32_t kGufiOutput = 4;
inline constexpr std::int32_t kXyOutput = 5;
inline constexpr std::int32_t kXyeOutput = 6;
inline constexpr std::int32_t kFxyeOutput = 7;
inline constexpr std::int32_t kPdcifOutput = 8;

// One point of a scan: its 2-theta, its count, and the spline's second derivative there.
struct ScanPoint {
    double twoTheta = 0.0;
    double count = 0.0;
    double secondDeriv = 0.0;

    static constexpr auto abscissa = &ScanPoint::twoTheta;
    static constexpr auto ordinate = &ScanPoint::count;
    static constexpr auto secondDerivative = &ScanPoint::secondDeriv;
};

// The first 32 bytes of an MCA channel file, as read.
struct ChnHeader {
    std::array<unsigned char, 32> bytes{};

    std::int16_t field(std::size_t offset) const {
        return static_cast<std::int16_t>(bytes[offset] | (bytes[offset + 1] << 8));
    }
    std::int16_t signature() const { return field(0); }
    std::int16_t firstChannel() const { return field(28); }
    std::int16_t numChannels() const { return field(30); }
};

// The header values of a GUFI binary scan.
struct GufiHeader {
    float firstAngle = 0.0f;
    float angleStep = 0.0f;
    std::int16_t numPoints = 0;
};

// A scan as a reader made it: one point per stored channel or point, in file order, the header
// of the reader that ran, and what the file says of the measurement. ownAngles: the file's
// abscissae are angles of its own (a GUFI file's header is then filled), not channels (a channel
// file's header is then filled); a channel list of such a scan goes by point index.
struct Scan {
    std::vector<ScanPoint> points;
    bool ownAngles = false;
    ChnHeader chnHeader;
    GufiHeader gufiHeader;
    ScanMetadata metadata;
    int blockCount = 1;  // the blocks of the file the scan is one of
};

class OutputTarget;
class AngleMemo;
class BatchFiles;

// One file's conversion.
struct ConversionRequest {
    std::string inputFile;
    std::string outputFile;  // output path without extension; the writer adds its own
    std::int32_t fileType = kOtherFileType;
    int block = 0;  // the block of a file that holds several, from 0
    Conversion conversion = kLinearConversion;
    std::uint16_t options = 0;
    std::int32_t outputFileType = kTextOutput;
    ProgressDisplay* progressPanel = nullptr;  // null: no progress shown
    OutputTarget* outputTarget = nullptr;      // null: straight to the platform's file system
    AngleMemo* angleMemo = nullptr;            // the batch's angles kept from the last scan; null: none
    BatchFiles* batchFiles = nullptr;          // the files no output replaces; null: none
};

// The range limits of the output.
struct RangeOptions {
    double minTwoTheta = 0.0;
    double maxTwoTheta = 0.0;
};

// The constant-step grid: its step, the interpolation (1 linear, 3 cubic spline, 0 never set
// and linear) and whether counts keep their fractions.
struct ConstStepOptions {
    Interpolation method = kInterpolationNotChosen;
    std::int32_t fractionalCounts = 0;
    double step = 0.0;
};

// What CPI headers say of the measurement.
struct CPIOptions {
    std::string target;  // at most 7 characters; the header carries the first two
    double wavelength = 0.0;
};

inline constexpr std::size_t kMaxCpiTargetLength = 7;

// The settings every conversion reads: the option panels' records and the line end of written
// files.
struct ConversionSettings {
    RangeOptions theRangeOptions;
    ConstStepOptions constStepOpts;
    CPIOptions CPIOpt;
    LineEnd lineEnd = LineEnd::CrLf;
};

}  // namespace s2t
