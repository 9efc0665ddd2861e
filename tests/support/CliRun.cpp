#include "support/CliRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "support/TempDir.h"

extern char** environ;

namespace s2t::test {

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

CliResult runCli(const std::string& arguments, const std::string& scratchFolder) {
    const std::string errors = scratchFolder + "/cli-stderr.txt";
    CliResult result;
    result.status = runCommand(quoted(S2T_CLI_BINARY) + " " + arguments + " 2>" + quoted(errors), result.out);
    result.err = readFile(errors);
    return result;
}

CliResult runCli(const std::vector<std::string>& words) {
    std::string arguments;
    for (const auto& word : words) {
        if (!arguments.empty()) arguments += ' ';
        arguments += quoted(word);
    }
    TempDir scratch;
    return runCli(arguments, scratch.path());
}

int startCli(const std::vector<std::string>& arguments, const std::string& errorsPath) {
    std::vector<std::string> words = {S2T_CLI_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

int waitForCli(int pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

std::vector<std::string> fileLines(const std::string& path) {
    const std::string text = readFile(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace s2t::test
