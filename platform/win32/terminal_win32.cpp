#include "platform/terminal.h"

#include <windows.h>
#include <io.h>

namespace zv::platform {

bool isTerminal(StdStream stream) {
    int fd = stream == StdStream::In ? 0 : stream == StdStream::Out ? 1 : 2;
    return _isatty(fd) != 0;
}

void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

}  // namespace zv::platform
