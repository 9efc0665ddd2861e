#include "support/CliRun.h"

#include "support/TempDir.h"

namespace s2t::test {

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

CliResult runCli(const std::string& arguments, const std::string& scratchFolder) {
    const std::string errors = scratchFolder + "/cli-stderr.txt";
    CliResult result;
    result.status = runCommand(quoted(S2T_CLI_BINARY) + " " + arguments + " 2>" + quoted(errors),
                               result.out);
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
