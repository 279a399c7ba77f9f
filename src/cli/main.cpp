#include "cli/Commands.h"

#include <iostream>

int main(int argc, char** argv)
{
    const kestrel::cli::Args args(argv + 1, argv + argc);
    return kestrel::cli::runCli(args, std::cout, std::cerr);
}
