#include "ui/StartArguments.h"

#include <cstring>

#include <QCommandLineParser>

namespace s2t::ui {
namespace {

constexpr const char* kDescription =
    "scan2theta-gui: converts X-ray diffraction scans (MCA channel files *.chn, GUFI files *.guf)\n"
    "into 2-theta data files, and maintains the calibration.\n"
    "\n"
    "Every argument that is not an option is a file for the file list. Qt's own options (-style NAME,\n"
    "-platform NAME, -reverse, ...) are read before \"--\" only: every argument after \"--\" is a file,\n"
    "whatever its name (scan2theta-gui -- -style.chn).";

void describeOptions(QCommandLineParser& parser) {
    // "-home DIR" reads as "--home DIR", and a Qt option such as -reverse is never taken for a
    // group of one-letter options (-r -e -v ...).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    // Not addHelpOption(): its --help-all would list Qt's options, which the help describes above.
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                                        QStringLiteral("Displays this help.")));
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        QStringLiteral("home"),
        QStringLiteral("Program folder with Default.pre and Standards/ (default: the per-user "
                       "configuration folder, $XDG_CONFIG_HOME/scan2theta or ~/.config/scan2theta)."),
        QStringLiteral("DIR")));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Channel files (*.chn) or GUFI files (*.guf) to list."),
                                 QStringLiteral("[FILE...]"));
}

}  // namespace

StartOptions parseStartOptions(const QStringList& arguments) {
    StartOptions options;
    QCommandLineParser parser;
    describeOptions(parser);
    const bool parsed = parser.parse(QStringList{QStringLiteral("scan2theta-gui")} + arguments);
    // Help and version win over anything else on the line, as they do in most programs.
    options.showHelp = parser.isSet(QStringLiteral("help"));
    options.showVersion = parser.isSet(QStringLiteral("version"));
    if (!parsed) {
        options.error = parser.errorText().toStdString();
        return options;
    }
    options.home = parser.value(QStringLiteral("home")).toStdString();
    for (const QString& file : parser.positionalArguments()) options.files.push_back(file.toStdString());
    return options;
}

std::string startHelpText() {
    QCommandLineParser parser;
    describeOptions(parser);
    std::string text = parser.helpText().toStdString();
    // The parser names the program as it was started (a full path, or "<executable_name>" before
    // the application exists); the help names it as it is typed.
    const auto lineEnd = text.find('\n');
    text.replace(0, lineEnd, "Usage: scan2theta-gui [options] [--] [FILE...]");
    return text;
}

std::string startVersionText() { return std::string("scan2theta-gui ") + S2T_VERSION + "\n"; }

int argumentsForQt(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--") == 0) return i;
    return argc;
}

}  // namespace s2t::ui
