// Every format read through xylib, on any bytes: the first byte picks the format of the input-format
// table (and the conversion), the rest is the file. Recognition by name and content never crashes;
// the reader never crashes, never throws, and accepts a file only with finite angles and counts,
// one point per value, and the file's own angles kept with conversion 3.
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "engine/InputFormats.h"
#include "engine/XylibInput.h"

using namespace s2t;

namespace {

const std::vector<const InputFormatInfo*>& xylibFormats() {
    static const std::vector<const InputFormatInfo*> formats = [] {
        std::vector<const InputFormatInfo*> list;
        for (const InputFormatInfo& format : inputFormats())
            if (format.reader == readXylibFile) list.push_back(&format);
        return list;
    }();
    return formats;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const auto& formats = xylibFormats();
    const InputFormatInfo& format = *formats[data[0] % formats.size()];
    const Conversion conversion = (data[0] / formats.size()) % 2 == 0 ? kFileAngles : kLinearConversion;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    // Recognition under the format's first extension and under no extension at all.
    const std::string_view extensions = format.extensions;
    const std::string name = "scan." + std::string(extensions.substr(0, extensions.find(' ')));
    (void)inputFormatFor(name, bytes.substr(0, kContentHeadBytes));
    (void)inputFormatFor("scan", bytes.substr(0, kContentHeadBytes));

    fuzz::inputFile().assign(data + 1, size - 1);
    const ReadResult run = fuzz::runReader(format.fileType, conversion);
    if (!run) return 0;
    S2T_FUZZ_CHECK(run.scan.ownAngles == (format.axis == InputAxis::Angles));
    XylibBlock block;
    std::string reason;
    S2T_FUZZ_CHECK(loadXylibBlock(std::string(bytes), format.name, 0, block, reason));
    S2T_FUZZ_CHECK(block.x.size() == run.scan.points.size() && block.counts.size() == run.scan.points.size());
    for (std::size_t i = 0; i < run.scan.points.size(); ++i) {
        const ScanPoint& point = run.scan.points[i];
        S2T_FUZZ_CHECK(std::isfinite(point.count) && point.count == block.counts[i]);
        S2T_FUZZ_CHECK(std::isfinite(point.twoTheta));
        if (conversion == kFileAngles && run.scan.ownAngles) S2T_FUZZ_CHECK(point.twoTheta == block.x[i]);
    }
    S2T_FUZZ_CHECK(countXylibBlocks(std::string(bytes), format.name) == block.blockCount);
    return 0;
}
