// The channel-file reader on any bytes: it never crashes, never reads or allocates beyond what the
// file holds, and accepts a file only when every announced count is there.
#include <cmath>

#include "FuzzSupport.h"
#include "engine/BinaryInput.h"

using namespace s2t;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::inputFile().assign(data, size);
    for (Conversion conversion : {kLinearConversion, kSplineConversion}) {
        const ReadResult run = fuzz::runReader(kChnFileType, conversion);
        if (!run) continue;
        S2T_FUZZ_CHECK(size >= 32);
        S2T_FUZZ_CHECK(data[0] == 0xFF && data[1] == 0xFF);
        const int channels = int16At(data + 30);
        S2T_FUZZ_CHECK(channels >= 0);
        S2T_FUZZ_CHECK(run.scan.points.size() == static_cast<std::size_t>(channels));
        S2T_FUZZ_CHECK(size >= 32 + 4 * static_cast<std::size_t>(channels));
        for (std::size_t i = 0; i < run.scan.points.size(); ++i) {
            S2T_FUZZ_CHECK(run.scan.points[i].count == static_cast<double>(int32At(data + 32 + 4 * i)));
            S2T_FUZZ_CHECK(std::isfinite(run.scan.points[i].twoTheta));
        }
        S2T_FUZZ_CHECK(run.startAngle == int16At(data + 28));
        S2T_FUZZ_CHECK(run.inputStep == 1.0);
    }
    return 0;
}
