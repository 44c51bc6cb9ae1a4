#include "platform/terminal.h"

#include <unistd.h>

namespace zv::platform {

bool isTerminal(StdStream stream) {
    int fd = stream == StdStream::In ? 0 : stream == StdStream::Out ? 1 : 2;
    return isatty(fd) == 1;
}

void prepareConsole() {}

}  // namespace zv::platform
