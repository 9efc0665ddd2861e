#include <csignal>

#include "Cli.h"
#include "platform/MemoryTuning.h"

int main(int argc, char** argv) {
    // A reader that closes the pipe early makes writes fail with EPIPE, reported like any
    // other write error, instead of ending the process without a word.
    std::signal(SIGPIPE, SIG_IGN);
    s2t::keepFreedMemoryForReuse();
    return s2t::cli::runCli(argc, argv);
}
