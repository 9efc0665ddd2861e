// Runs the built scan2theta command line in tests.
#pragma once

#include <string>

namespace s2t::test {

struct CliResult {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs scan2theta with arguments (a shell fragment; quote paths with quoted()), with standard
// error captured in a file of scratchFolder.
CliResult runCli(const std::string& arguments, const std::string& scratchFolder);

// text in single quotes for the shell.
std::string quoted(const std::string& text);

}  // namespace s2t::test
