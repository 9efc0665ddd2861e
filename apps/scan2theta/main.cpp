#include "Cli.h"
#include "platform/MemoryTuning.h"

int main(int argc, char** argv) {
    s2t::keepFreedMemoryForReuse();
    return s2t::cli::runCli(argc, argv);
}
