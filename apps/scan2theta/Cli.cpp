#include "Cli.h"
#include "CliMessages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace s2t::cli {

void addHomeOption(CLI::App& command, std::string& home) {
    command.add_option("--home", home,
                       "Program folder with Default.pre and Standards/ (default: the per-user "
                       "configuration folder)");
}

void addJsonFlag(CLI::App& command, bool& asJson) {
    command.add_flag("--json", asJson, "Print the result as JSON (numbers with the digits of the text output)");
}

void addCalibrationSourceOptions(CLI::App& command, CalibrationSource& source) {
    addHomeOption(command, source.home);
    command.add_option("--options", source.options, "Option file loaded after Default.pre")->check(CLI::ExistingFile);
}

int statusAfterMessages(int status, int messagesShown) {
    return status == kExitOk && messagesShown > 0 ? kExitFailures : status;
}

void print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

int usageError(std::string_view text) {
    std::string message(text);
    message += messages::kRunWithHelp;
    std::fputs(message.c_str(), stderr);
    return kExitUsage;
}

int finishStandardOutput(int status) {
    // Output that never arrived (a full disk, a closed pipe) is a failure like any other: the
    // caller must not take a cut listing for a whole one.
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout)) return status;
    const int error = errno;
    std::string message = std::string(messages::kFileError) + ": " + messages::kCouldNotWriteStandardOutput;
    if (error != 0) message += std::string(": ") + std::strerror(error);
    message += "\n";
    std::fputs(message.c_str(), stderr);
    return status == kExitUsage ? status : kExitFailures;
}

int runCli(int argc, char** argv) {
    CLI::App app{
        "scan2theta: converts X-ray diffraction scans (MCA channel files, GUFI files) into "
        "2-theta data files, and maintains the calibration.",
        "scan2theta"};
    app.set_version_flag("--version", std::string("scan2theta ") + S2T_VERSION);
    app.require_subcommand(1);
    CommandAction action;
    addConvertCommand(app, action);
    addInfoCommand(app, action);
    addCalibrationCommands(app, action);
    addStandardsCommands(app, action);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }
    if (!action) return kExitUsage;
    return finishStandardOutput(action());
}

}  // namespace s2t::cli
