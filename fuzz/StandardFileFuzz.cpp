// The standard-file reader on any text: it never crashes, finds the name line and the reflections
// without reading outside a line, and gives one finite reflection per data line.
#include <cmath>

#include "FuzzSupport.h"
#include "options/TextFile.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardFile.h"

using namespace s2t;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputFile& input = fuzz::inputFile();
    input.assign(data, size);

    TextFile file(input.path());
    S2T_FUZZ_CHECK(file.isOpen());
    // The name as the standards list finds it: the first name line.
    std::string line, name;
    while (file.readLine(line) != -1) {
        if (getNameOfStd(line, name)) {
            S2T_FUZZ_CHECK(name.size() <= line.size());
            break;
        }
    }

    ScriptedPlatform platform;
    std::vector<double> standard{1.0, 2.0};
    const bool read = getStandardPoints(file, standard, platform);
    if (!read) {
        S2T_FUZZ_CHECK(standard.empty());
        S2T_FUZZ_CHECK(platform.messages().size() == 1);
        S2T_FUZZ_CHECK(platform.messages()[0].title == "No Points");
        return 0;
    }
    S2T_FUZZ_CHECK(platform.messages().empty());
    const std::size_t lineFeeds = fuzz::lineFeeds(data, size);
    S2T_FUZZ_CHECK(standard.size() < lineFeeds);  // the DATA line itself holds no reflection
    for (double reflection : standard) S2T_FUZZ_CHECK(std::isfinite(reflection));
    return 0;
}
