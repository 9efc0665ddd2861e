#include "Cli.h"

int main(int argc, char** argv) { return s2t::cli::runCli(argc, argv); }
