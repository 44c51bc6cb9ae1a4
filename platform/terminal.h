#pragma once
// What the command-line tools need to know about their standard streams, and
// the terminal that a full-screen program takes over.

#include <string>
#include <string_view>

namespace zv::platform {

enum class StdStream { In, Out, Err };

bool isTerminal(StdStream stream);
// Lets a console show the UTF-8 the tools print (Windows); nothing elsewhere.
void prepareConsole();

struct TerminalSize {
    int columns = 80;
    int rows = 24;
};

// What one wait on the terminal brought.
struct TerminalInput {
    std::string bytes;              // what the keyboard sent, as it came
    bool timedOut = false;          // nothing arrived in time
    bool resized = false;           // the window changed its size
    bool resumed = false;           // continued after a stop: the screen is stale
    bool suspendRequested = false;  // someone asked the program to stop (SIGTSTP)
    int endSignal = 0;              // a signal that asks the program to end (SIGINT, SIGTERM, SIGHUP)
    bool closed = false;            // the terminal went away
};

// The controlling terminal in raw mode for a full-screen program: keys arrive
// one by one without echo or line editing, and Ctrl+C, Ctrl+Z and Ctrl+Q
// arrive as keys rather than as signals or flow control. The terminal's settings come back on
// every way out: destruction, the end signals (reported to the program, which
// ends in order), a stop (restored while stopped, raw again on continue) and
// the fatal signals. One at a time per process.
class RawTerminal {
public:
    // enter is written once raw mode is on (again after every resume); leave
    // just before the settings are restored.
    RawTerminal(std::string enter, std::string leave);
    ~RawTerminal();
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    bool isOpen() const { return open_; }
    // Why the terminal could not be taken over.
    const std::string& error() const { return error_; }

    TerminalSize size() const;
    // Waits up to timeoutMs (negative: without limit) for keys or signals.
    TerminalInput wait(int timeoutMs);
    bool write(std::string_view bytes);
    // Stops the program as Ctrl+Z does on a terminal in normal mode (the
    // whole process group when group is set), with the terminal's settings
    // restored while it is stopped; returns once it is continued.
    void suspend(bool group);

private:
    bool open_ = false;
    std::string error_;
    std::string enter_, leave_;
};

// Ends the program by the signal that asked it to end, once it has cleaned
// up, so that its parent sees why it ended.
[[noreturn]] void endBySignal(int signal);

}  // namespace zv::platform
