#include "platform/terminal.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zv::platform {

bool isTerminal(StdStream stream) {
    int fd = stream == StdStream::In ? 0 : stream == StdStream::Out ? 1 : 2;
    return isatty(fd) == 1;
}

void prepareConsole() {}

namespace {

// State the signal handlers read: they may only touch plain values and call
// async-signal-safe functions (tcsetattr, write, raise).
int g_fd = -1;
int g_wake[2] = {-1, -1};  // the handlers write a byte here to wake the wait
struct termios g_saved, g_raw;
const char* g_leave = nullptr;
size_t g_leaveSize = 0;
volatile sig_atomic_t g_endSignal = 0, g_resized = 0, g_stopRequested = 0, g_continued = 0;

constexpr int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kFatalSignals[] = {SIGQUIT, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr int kOtherSignals[] = {SIGWINCH, SIGTSTP, SIGCONT};

struct SavedAction {
    int signal;
    struct sigaction action;
};
SavedAction g_previous[sizeof kEndSignals / sizeof(int) + sizeof kFatalSignals / sizeof(int) +
                       sizeof kOtherSignals / sizeof(int)];
size_t g_previousCount = 0;

void writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return;
        p += w;
        n -= static_cast<size_t>(w);
    }
}

void wake() {
    const int saved = errno;
    char b = 1;
    if (g_wake[1] >= 0) (void)::write(g_wake[1], &b, 1);
    errno = saved;
}

// Puts the terminal back as it was found; safe inside a signal handler.
void restoreNow() {
    if (g_fd < 0) return;
    if (g_leave) writeAll(g_fd, g_leave, g_leaveSize);
    tcsetattr(g_fd, TCSADRAIN, &g_saved);
}

void onEnd(int signal) {
    g_endSignal = signal;
    wake();
}
void onWinch(int) {
    g_resized = 1;
    wake();
}
void onStop(int) {
    g_stopRequested = 1;
    wake();
}
void onContinue(int) {
    g_continued = 1;
    wake();
}
void onFatal(int signal) {
    restoreNow();
    ::signal(signal, SIG_DFL);
    raise(signal);  // delivered with the default action once this handler returns
}

void install(int signal, void (*handler)(int)) {
    struct sigaction a {};
    a.sa_handler = handler;
    sigemptyset(&a.sa_mask);
    a.sa_flags = 0;  // no SA_RESTART: a signal must end the wait at once
    SavedAction& s = g_previous[g_previousCount++];
    s.signal = signal;
    sigaction(signal, &a, &s.action);
}

void uninstallAll() {
    while (g_previousCount > 0) {
        SavedAction& s = g_previous[--g_previousCount];
        sigaction(s.signal, &s.action, nullptr);
    }
}

bool g_taken = false;

}  // namespace

RawTerminal::RawTerminal(std::string enter, std::string leave) : enter_(std::move(enter)), leave_(std::move(leave)) {
    if (g_taken) {
        error_ = "the terminal is already in use";
        return;
    }
    int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && isatty(0)) fd = fcntl(0, F_DUPFD_CLOEXEC, 3);
    if (fd < 0) {
        error_ = "no terminal to type on";
        return;
    }
    struct termios saved {};
    if (tcgetattr(fd, &saved) != 0) {
        ::close(fd);
        error_ = "standard input is not a terminal";
        return;
    }
    if (pipe(g_wake) != 0) {
        ::close(fd);
        error_ = "cannot set up signal handling";
        return;
    }
    for (int end : g_wake) {
        fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
        fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    g_taken = true;
    g_fd = fd;
    g_saved = saved;
    g_raw = saved;
    // Keys as they are typed: no echo, no line editing, no signals from the
    // keyboard, no flow control, eight-bit bytes. Output processing stays.
    g_raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    g_raw.c_cflag |= CS8;
    g_raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
    g_raw.c_cc[VMIN] = 1;
    g_raw.c_cc[VTIME] = 0;
    g_leave = leave_.data();
    g_leaveSize = leave_.size();
    g_endSignal = 0;
    g_resized = 0;
    g_stopRequested = 0;
    g_continued = 0;
    for (int s : kEndSignals) install(s, onEnd);
    for (int s : kFatalSignals) install(s, onFatal);
    install(SIGWINCH, onWinch);
    install(SIGTSTP, onStop);
    install(SIGCONT, onContinue);
    tcsetattr(fd, TCSAFLUSH, &g_raw);
    writeAll(fd, enter_.data(), enter_.size());
    open_ = true;
}

RawTerminal::~RawTerminal() {
    if (!open_) return;
    restoreNow();
    uninstallAll();
    ::close(g_fd);
    g_fd = -1;
    g_leave = nullptr;
    for (int& end : g_wake) {
        ::close(end);
        end = -1;
    }
    g_taken = false;
}

TerminalSize RawTerminal::size() const {
    TerminalSize s;
    struct winsize w {};
    if (open_ && ioctl(g_fd, TIOCGWINSZ, &w) == 0 && w.ws_col > 0 && w.ws_row > 0) {
        s.columns = w.ws_col;
        s.rows = w.ws_row;
    }
    return s;
}

TerminalInput RawTerminal::wait(int timeoutMs) {
    TerminalInput in;
    if (!open_) {
        in.closed = true;
        return in;
    }
    auto takeFlags = [&] {
        char drain[64];
        while (::read(g_wake[0], drain, sizeof drain) > 0) {
        }
        bool any = false;
        if (const int end = g_endSignal) {
            in.endSignal = end;
            g_endSignal = 0;
            any = true;
        }
        if (g_resized) {
            in.resized = true;
            g_resized = 0;
            any = true;
        }
        if (g_stopRequested) {
            in.suspendRequested = true;
            g_stopRequested = 0;
            any = true;
        }
        if (g_continued) {
            // A stop we did not ask for may have left the shell's settings in
            // place: take raw mode again.
            g_continued = 0;
            tcsetattr(g_fd, TCSADRAIN, &g_raw);
            writeAll(g_fd, enter_.data(), enter_.size());
            in.resumed = true;
            any = true;
        }
        return any;
    };
    if (takeFlags()) return in;
    struct pollfd fds[2] = {{g_fd, POLLIN, 0}, {g_wake[0], POLLIN, 0}};
    int r = poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs);
    if (r < 0) {
        takeFlags();  // interrupted by a signal
        return in;
    }
    if (r == 0) {
        in.timedOut = true;
        return in;
    }
    takeFlags();
    if (fds[0].revents & POLLIN) {
        char buf[4096];
        ssize_t n = ::read(g_fd, buf, sizeof buf);
        if (n > 0)
            in.bytes.assign(buf, static_cast<size_t>(n));
        else if (n == 0 || (errno != EINTR && errno != EAGAIN))
            in.closed = true;
    } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
        in.closed = true;
    }
    return in;
}

bool RawTerminal::write(std::string_view bytes) {
    if (!open_) return false;
    const char* p = bytes.data();
    size_t n = bytes.size();
    while (n > 0) {
        ssize_t w = ::write(g_fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

void RawTerminal::suspend(bool group) {
    if (!open_) return;
    restoreNow();
    struct sigaction dfl {}, ours {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(SIGTSTP, &dfl, &ours);
    if (group)
        kill(0, SIGTSTP);
    else
        raise(SIGTSTP);
    // Continued (or never stopped, in an orphaned process group).
    sigaction(SIGTSTP, &ours, nullptr);
    g_stopRequested = 0;
    g_continued = 0;  // the caller redraws after this anyway
    tcsetattr(g_fd, TCSADRAIN, &g_raw);
    writeAll(g_fd, enter_.data(), enter_.size());
}

void endBySignal(int signal) {
    ::signal(signal, SIG_DFL);
    raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace zv::platform
