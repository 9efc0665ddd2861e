// Runs the built scan2theta command line in tests.
#pragma once

#include <string>
#include <vector>

namespace s2t::test {

struct CliResult {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs scan2theta with arguments (a shell fragment; quote paths with quoted()), with standard
// error captured in a file of scratchFolder.
CliResult runCli(const std::string& arguments, const std::string& scratchFolder);

// Runs scan2theta with these words as its arguments, each passed as it is, whatever it holds.
CliResult runCli(const std::vector<std::string>& words);

// The lines of a file's text, split at LF with a CR before it removed.
std::vector<std::string> fileLines(const std::string& path);

// text in single quotes for the shell.
std::string quoted(const std::string& text);

// Starts scan2theta with these arguments without waiting for it, standard output to /dev/null and
// standard error to errorsPath; returns the process, or -1.
int startCli(const std::vector<std::string>& arguments, const std::string& errorsPath = "/dev/null");

// Waits for a process started by startCli; returns its wait status.
int waitForCli(int pid);

}  // namespace s2t::test
