// zvtype on a real terminal: started in a detached tmux session on a small
// data folder, driven with send-keys and read back with capture-pane. The
// terminal's settings must be the same after zvtype as before it, however
// the session ends.

#include "engine/default_store.h"
#include "tests/support/data_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace zv {
namespace {

std::string shellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string output(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// One tmux server of our own (its own socket and configuration), one pane
// running a shell script that notes the terminal's settings around zvtype.
class TmuxZvtype : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
        data.config = shippedConfigStore();
        data.writeConfig();
        data.writeMain({
            {"wqvb", u"你好", attr::make(16382, 20)},
            {"wqvb", u"您好", attr::make(16381, 20)},
            {"ab", u"甲", attr::make(16383, 18)},
            {"ab", u"乙", attr::make(16382, 18)},
            {"ab", u"丙", attr::make(16381, 18)},
            {"ab", u"丁", attr::make(16380, 18)},
            {"ab", u"戊", attr::make(16379, 18)},
            {"ab", u"己", attr::make(16378, 18)},
        });
        const std::string d = dir.path().string();
        socket = d + "/tmux.sock";
        std::ofstream(dir.path() / "tmux.conf") << "set -g status off\nset -g escape-time 0\n";
        // With job control, as in an interactive shell: zvtype runs as the
        // foreground job and can be stopped; the script notes the terminal's
        // settings while it is stopped and brings it back with fg when the
        // test says so.
        std::ofstream(dir.path() / "run.sh")
            << "set -m\n"
            << "cd " << shellQuoted(d) << "\n"
            << "stty -g > before.txt\n"
            << "ZORVAN_REGISTRY=" << shellQuoted(d + "/registry.ini") << " " << shellQuoted(ZVTYPE_PATH)
            << " --data " << shellQuoted(data.dir.path().string()) << " --output out.txt\n"
            << "status=$?\n"
            << "while [ $status = " << 128 + SIGTSTP << " ]; do\n"
            << "  stty -g > stopped.txt; echo ZVTYPE-STOPPED\n"
            << "  while [ ! -e continue ]; do sleep 0.05; done; rm continue\n"
            << "  fg; status=$?\n"
            << "done\n"
            << "echo \"status=$status\" > status.txt\n"
            << "stty -g > after.txt\n"
            << "echo ZVTYPE-ENDED\n"
            << "exec sleep 600\n";
        tmux("-f " + shellQuoted(d + "/tmux.conf") + " new-session -d -x 80 -y 24 " + shellQuoted("bash " + d + "/run.sh"));
        ASSERT_TRUE(waitFor("Zorvan 五笔")) << screen();
    }

    void TearDown() override {
        if (!socket.empty()) tmux("kill-server");
    }

    std::string tmux(const std::string& args) {
        return output("LC_ALL=C.UTF-8 tmux -u -S " + shellQuoted(socket) + " " + args + " 2>&1");
    }
    // Keys by tmux's names (C-Space, Escape, Enter).
    void keys(const std::string& names) { tmux("send-keys -t 0 " + names); }
    void type(const std::string& text) { tmux("send-keys -t 0 -l " + shellQuoted(text)); }
    std::string screen() { return tmux("capture-pane -p -t 0"); }

    bool waitUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        return false;
    }
    bool waitFor(const std::string& text) {
        return waitUntil([&] { return screen().find(text) != std::string::npos; });
    }
    bool waitWithout(const std::string& text) {
        return waitUntil([&] { return screen().find(text) == std::string::npos; });
    }
    // The row of the screen that holds the text typed so far.
    std::string textRow() {
        std::istringstream s(screen());
        std::string line;
        std::getline(s, line);
        std::getline(s, line);
        return line;
    }

    int zvtypePid() {
        const std::string shell = tmux("display -p -t 0 '#{pane_pid}'");
        const int sh = std::atoi(shell.c_str());
        int pid = 0;
        waitUntil([&] {
            pid = std::atoi(readFile("/proc/" + std::to_string(sh) + "/task/" + std::to_string(sh) + "/children").c_str());
            return pid > 0;
        });
        return pid;
    }
    // Waits for the end of zvtype; its exit status and what it wrote.
    void expectEnded(const std::string& status, const std::string& text) {
        ASSERT_TRUE(waitFor("ZVTYPE-ENDED")) << screen();
        EXPECT_EQ("status=" + status + "\n", readFile(dir.path() / "status.txt"));
        EXPECT_EQ(text + "\n", readFile(dir.path() / "out.txt"));
        const std::string before = readFile(dir.path() / "before.txt");
        EXPECT_FALSE(before.empty());
        EXPECT_EQ(before, readFile(dir.path() / "after.txt"));
    }

    test::DataFixture data;
    test::TempDir dir;
    std::string socket;
};

TEST_F(TmuxZvtype, TypesPagesSwitchesModesAndQuits) {
    type("wqvb");
    ASSERT_TRUE(waitFor("1.你好  2.您好")) << screen();
    EXPECT_NE(std::string::npos, textRow().find("wqvb"));
    keys("Space");
    ASSERT_TRUE(waitWithout("1.你好")) << screen();
    EXPECT_EQ("你好", textRow());

    // Paging with = and -; the arrows say where more pages are.
    type("ab");
    ASSERT_TRUE(waitFor("1.甲  2.乙  3.丙  4.丁 < >")) << screen();
    type("=");
    ASSERT_TRUE(waitFor("1.戊  2.己 < >")) << screen();
    type("-");
    ASSERT_TRUE(waitFor("1.甲")) << screen();
    keys("Escape");
    ASSERT_TRUE(waitWithout("1.甲")) << screen();

    // The Shift tap's key switches to English: letters go straight through.
    keys("C-Space");
    ASSERT_TRUE(waitFor("[英文]")) << screen();
    type("hi");
    ASSERT_TRUE(waitUntil([&] { return textRow() == "你好hi"; })) << screen();
    keys("C-Space");
    ASSERT_TRUE(waitFor("[中文]")) << screen();

    // The soft keyboard: on with the PC layout, then the Greek letters.
    keys("C-k");
    ASSERT_TRUE(waitFor("[软键盘:PC 键盘]")) << screen();
    keys("C-k");
    ASSERT_TRUE(waitFor("[软键盘:希腊字母]")) << screen();
    EXPECT_NE(std::string::npos, screen().find("qα Α")) << screen();
    type("q");
    ASSERT_TRUE(waitUntil([&] { return textRow() == "你好hiα"; })) << screen();
    keys("Escape");
    ASSERT_TRUE(waitWithout("软键盘:")) << screen();

    keys("C-q");
    expectEnded("0", "你好hiα");
}

TEST_F(TmuxZvtype, StoppedAndContinuedThenCtrlCWhileTypingACode) {
    type("wqvb ");
    ASSERT_TRUE(waitUntil([&] { return textRow() == "你好"; })) << screen();
    // Ctrl+Z stops zvtype with the terminal as the shell had it.
    keys("C-z");
    ASSERT_TRUE(waitFor("ZVTYPE-STOPPED")) << screen();
    EXPECT_EQ(readFile(dir.path() / "before.txt"), readFile(dir.path() / "stopped.txt"));
    std::ofstream(dir.path() / "continue").put('\n');
    ASSERT_TRUE(waitFor("Zorvan 五笔")) << screen();
    EXPECT_EQ("你好", textRow());

    // Ctrl+C ends the session even with a code half typed.
    type("ab");
    ASSERT_TRUE(waitFor("1.甲")) << screen();
    keys("C-c");
    expectEnded("0", "你好");
}

TEST_F(TmuxZvtype, TerminatedItWritesTheTextAndRestoresTheTerminal) {
    type("wqvb ab");
    ASSERT_TRUE(waitFor("1.甲")) << screen();
    const int pid = zvtypePid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(0, kill(pid, SIGTERM));
    expectEnded(std::to_string(128 + SIGTERM), "你好");
}

}  // namespace
}  // namespace zv
