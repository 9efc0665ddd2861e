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

}  // namespace s2t::test
