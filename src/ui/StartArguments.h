// The desktop program's command line: --help, --version, --home DIR, and files. Help and version
// are answered before any window system is touched, so they work without a display. Qt reads its
// own options (-style, -platform, -reverse, ...) only from the arguments before "--": every
// argument after it is a file, whatever its name.
#pragma once

#include <string>
#include <vector>

#include <QStringList>

namespace s2t::ui {

struct StartOptions {
    std::string home;                // --home DIR; empty: the per-user configuration folder
    std::vector<std::string> files;  // the files to list, in order
    bool showHelp = false;           // -h, --help, -?
    bool showVersion = false;        // -v, --version
    std::string error;               // a usage error; empty when the arguments are fine
};

// The arguments without the program name: options, then files; "--" ends the options.
StartOptions parseStartOptions(const QStringList& arguments);

// The text of --help (from the same parser, so it never disagrees with what is accepted).
std::string startHelpText();
// The line of --version.
std::string startVersionText();

// How many of argv's arguments (the program name included) Qt may see: those before the first
// "--" that follows the program name.
int argumentsForQt(int argc, const char* const* argv);

}  // namespace s2t::ui
