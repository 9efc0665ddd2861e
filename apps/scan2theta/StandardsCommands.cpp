// scan2theta standards: the standards of the program folder, named and located, in the order the
// standards window lists them.
#include <memory>

#include "Cli.h"
#include "platform/ConsolePlatform.h"
#include "platform/JsonWriter.h"
#include "standards/StandardDiscovery.h"

namespace s2t::cli {
namespace {

int listStandards(const std::string& home, bool asJson) {
    ConsolePlatform platform;
    // A first start sets the program folder up completely, Default.pre included.
    CalibrationState state;
    std::string folder;
    if (!loadCalibration(CalibrationSource{home, ""}, state, platform, folder)) return kExitFailures;
    const auto standards = checkForStandards(folder);
    if (asJson) {
        JsonWriter json;
        json.beginObject().key("standards").beginArray();
        for (const auto& entry : standards)
            json.beginObject().key("name").string(entry.name).key("path").string(entry.path).endObject();
        print(json.endArray().endObject().text());
        return kExitOk;
    }
    std::string text;
    for (const auto& entry : standards) text += entry.name + "\t" + entry.path + "\n";
    print(text);
    return statusAfterMessages(kExitOk, platform.messageCount());
}

}  // namespace

void addStandardsCommands(CLI::App& app, CommandAction& action) {
    auto home = std::make_shared<std::string>();
    auto* standards =
        app.add_subcommand("standards",
                           "List the standards of the program folder's Standards/ (name, tab, file), as the standards "
                           "window lists them");
    addHomeOption(*standards, *home);
    auto asJson = std::make_shared<bool>(false);
    addJsonFlag(*standards, *asJson);
    CLI::App* make = addStandardsMakeCommand(*standards, action);
    // The list is the command's own action; "standards make" has its own.
    standards->callback([&action, home, asJson, make] {
        if (!make->parsed()) action = [home, asJson] { return listStandards(*home, *asJson); };
    });
}

}  // namespace s2t::cli
