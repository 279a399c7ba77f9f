#pragma once

#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace kestrel::cli {

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs kestrel-cli as the program itself, in `dir`: the port library is loaded from the
// program's folder and a simulated device lives for one run, as it would for a user.
inline int runCliProcess(const test::TempDir& dir, const std::string& arguments, std::string& out, std::string& err)
{
    const std::string command = std::string("cd '") + dir.path().string() + "' && '" + KESTREL_CLI_PATH + "' "
        + arguments + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    out = readFile(dir.file("out.txt"));
    err = readFile(dir.file("err.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace kestrel::cli
