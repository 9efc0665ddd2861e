// scan2theta standards: the standards of the program folder, named and located, in the order the
// standards window lists them.
#include <memory>

#include "Cli.h"
#include "platform/ConsolePlatform.h"
#include "standards/StandardDiscovery.h"

namespace s2t::cli {
namespace {

int listStandards(const std::string& home) {
    ConsolePlatform platform;
    // A first start sets the program folder up completely, Default.pre included.
    CalibrationState state;
    std::string folder;
    if (!loadCalibration(CalibrationSource{home, ""}, state, platform, folder)) return kExitFailures;
    std::string text;
    for (const auto& entry : checkForStandards(folder)) text += entry.name + "\t" + entry.path + "\n";
    print(text);
    return kExitOk;
}

}  // namespace

void addStandardsCommands(CLI::App& app, CommandAction& action) {
    auto home = std::make_shared<std::string>();
    auto* standards = app.add_subcommand(
        "standards",
        "List the standards of the program folder's Standards/ (name, tab, file), as the standards "
        "window lists them");
    addHomeOption(*standards, *home);
    standards->callback([&action, home] { action = [home] { return listStandards(*home); }; });
}

}  // namespace s2t::cli
