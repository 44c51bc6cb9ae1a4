// zvconfig: see config/cli/cli.h.

#include "config/cli/cli.h"
#include "platform/folders.h"
#include "platform/terminal.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace zv;
    platform::prepareConsole();
    config::cli::Io io{std::cout, std::cerr, std::cin};
    io.inTerminal = platform::isTerminal(platform::StdStream::In);
    io.errTerminal = platform::isTerminal(platform::StdStream::Err);
    io.tempFolder = platform::tempFolder();
    io.documentsFolder = platform::documentsFolder();
    std::vector<std::string> args(argv + 1, argv + argc);
    return config::cli::run(args, io);
}
