// The GUFI reader on any bytes: it never crashes, never allocates for counts the file cannot hold,
// and accepts a file only when its angles and every announced count are finite numbers.
#include <cmath>

#include "FuzzSupport.h"
#include "engine/BinaryInput.h"

using namespace s2t;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::inputFile().assign(data, size);
    for (Conversion conversion : {kLinearConversion, kSplineConversion, kFileAngles}) {
        const ReadResult run = fuzz::runReader(kGufiFileType, conversion);
        if (!run) continue;
        S2T_FUZZ_CHECK(size >= 19);
        const float first = float32At(data + 9);
        const float step = float32At(data + 13);
        const int points = int16At(data + 17);
        S2T_FUZZ_CHECK(std::isfinite(first) && std::isfinite(step));
        S2T_FUZZ_CHECK(points >= 0);
        S2T_FUZZ_CHECK(run.scan.points.size() == static_cast<std::size_t>(points));
        S2T_FUZZ_CHECK(points == 0 || size >= 643 + 4 * static_cast<std::size_t>(points));
        for (std::size_t i = 0; i < run.scan.points.size(); ++i) {
            const ScanPoint& point = run.scan.points[i];
            const float count = float32At(data + 643 + 4 * i);
            S2T_FUZZ_CHECK(std::isfinite(count) && point.count == static_cast<double>(count));
            if (conversion == kFileAngles)
                S2T_FUZZ_CHECK(point.twoTheta ==
                               static_cast<double>(first) + static_cast<double>(step) * static_cast<double>(i));
            else
                S2T_FUZZ_CHECK(std::isfinite(point.twoTheta));
        }
        S2T_FUZZ_CHECK(run.startAngle == first && run.inputStep == step);
    }
    return 0;
}
