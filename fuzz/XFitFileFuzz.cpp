// The XFit peak-file reader on any text: the layout is recognised or refused without reading
// outside a line, and every data line gives one finite peak position.
#include <cmath>

#include "FuzzSupport.h"
#include "options/TextFile.h"
#include "platform/ScriptedPlatform.h"
#include "standards/XFitFile.h"

using namespace s2t;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputFile& input = fuzz::inputFile();
    input.assign(data, size);

    TextFile file(input.path());
    S2T_FUZZ_CHECK(file.isOpen());
    const int kind = findXFitType(file);
    S2T_FUZZ_CHECK(kind == 0 || kind == 23 || kind == 42 || kind == kXFitUnrecognised);

    ScriptedPlatform platform;
    std::vector<double> observed{1.0};
    const bool read = readXFitFile(file, observed, kind, platform);
    const std::size_t lineFeeds = fuzz::lineFeeds(data, size);
    if (!read) {
        S2T_FUZZ_CHECK(observed.empty());
        S2T_FUZZ_CHECK(platform.messages().size() == 1);
        S2T_FUZZ_CHECK(platform.messages()[0].title == "No Points");
        return 0;
    }
    S2T_FUZZ_CHECK(kind != kXFitUnrecognised);
    S2T_FUZZ_CHECK(platform.messages().empty());
    S2T_FUZZ_CHECK(!observed.empty());
    S2T_FUZZ_CHECK(observed.size() <= lineFeeds - (kind != 0 ? 1 : 0));
    for (double peak : observed) S2T_FUZZ_CHECK(std::isfinite(peak));
    return 0;
}
