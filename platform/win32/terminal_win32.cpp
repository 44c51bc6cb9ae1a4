#include "platform/terminal.h"

#include <windows.h>
#include <io.h>

#include <cstdlib>

namespace zv::platform {

bool isTerminal(StdStream stream) {
    int fd = stream == StdStream::In ? 0 : stream == StdStream::Out ? 1 : 2;
    return _isatty(fd) != 0;
}

void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

// The full-screen front end runs on POSIX terminals; on Windows the input
// method lives in the applications themselves.
RawTerminal::RawTerminal(std::string enter, std::string leave) : enter_(std::move(enter)), leave_(std::move(leave)) {
    error_ = "the interactive terminal needs a POSIX system";
}

RawTerminal::~RawTerminal() = default;

TerminalSize RawTerminal::size() const { return {}; }

TerminalInput RawTerminal::wait(int) {
    TerminalInput in;
    in.closed = true;
    return in;
}

bool RawTerminal::write(std::string_view) { return false; }

void RawTerminal::suspend(bool) {}

void endBySignal(int signal) { std::_Exit(128 + signal); }

}  // namespace zv::platform
