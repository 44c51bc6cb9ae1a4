#pragma once
// A desktop session of a test's own: child processes ended with the test,
// a scratch home for everything the daemons write, a private session bus,
// and a main loop run until what the test waits for holds.

#include <glib.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace zv::test {

// A child process, ended with the test.
class Child {
public:
    // Its output goes to `log` (the daemons talk a lot).
    Child(std::vector<std::string> argv, const std::string& log) {
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        if (posix_spawnp(&pid_, args[0], &files, nullptr, args.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&files);
    }
    // Asked to end; one that does not within a few seconds is killed, so
    // that a stuck daemon never hangs the test.
    ~Child() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        for (int waited = 0; waited < 500; ++waited) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

// Runs the default main loop until `done` holds or the time is up.
template <typename Done>
bool pumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
inline void pumpFor(std::chrono::milliseconds time) {
    pumpUntil([] { return false; }, time);
}

// Points HOME, the XDG folders and GSettings at a scratch folder, and
// starts a session bus there; returns its address (empty when it did not
// start).
inline std::string startPrivateSession(const std::string& root, std::unique_ptr<Child>& bus) {
    for (const char* d : {"/home", "/home/.config", "/home/.cache", "/run"})
        std::filesystem::create_directories(root + d);
    std::filesystem::permissions(root + "/run", std::filesystem::perms::owner_all);
    setenv("HOME", (root + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/home/.config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (root + "/home/.cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    const std::string socket = root + "/session.sock";
    bus = std::make_unique<Child>(
        std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + socket},
        root + "/daemons.log");
    if (!bus->started() || !pumpUntil([&] { return std::filesystem::exists(socket); })) return {};
    const std::string address = "unix:path=" + socket;
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    return address;
}

}  // namespace zv::test
