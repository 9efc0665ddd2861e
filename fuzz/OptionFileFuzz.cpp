// The option-file reader on any text: it never crashes, lets no number that is not finite into the
// calibration, allocates only for point lines it has read, and whatever it loads is written back
// and read again to the same text.
#include <cmath>

#include "FuzzSupport.h"
#include "options/OptionFile.h"
#include "platform/ScriptedPlatform.h"

using namespace s2t;

namespace {

void checkFinite(const CalibrationState& state) {
    S2T_FUZZ_CHECK(std::isfinite(state.header.K) && std::isfinite(state.header.C));
    for (const auto& point : state.calPoints)
        S2T_FUZZ_CHECK(std::isfinite(point.channel) && std::isfinite(point.twoTheta));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputFile& file = fuzz::inputFile();
    file.assign(data, size);

    ScriptedPlatform platform;
    CalibrationState state;
    state.installStartupValues();
    state.calPoints.clear();  // so that every point held afterwards came from the file
    S2T_FUZZ_CHECK(loadOptionFile(file.path(), state, platform));
    checkFinite(state);
    // Every point comes from a line of its own.
    S2T_FUZZ_CHECK(state.calPoints.size() <= fuzz::lineFeeds(data, size));
    for (const auto& call : platform.messages()) S2T_FUZZ_CHECK(call.title == "Option File Error");

    // Saving what was loaded and loading it again changes nothing more.
    for (LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Lf}) {
        const std::string written = optionFileText(state, lineEnd);
        file.assign(reinterpret_cast<const std::uint8_t*>(written.data()), written.size());
        CalibrationState reread;
        ScriptedPlatform quiet;
        S2T_FUZZ_CHECK(loadOptionFile(file.path(), reread, quiet));
        S2T_FUZZ_CHECK(quiet.messages().empty());
        checkFinite(reread);
        S2T_FUZZ_CHECK(reread.calPoints.size() == state.calPoints.size());
        S2T_FUZZ_CHECK(optionFileText(reread, lineEnd) == written);
    }
    return 0;
}
