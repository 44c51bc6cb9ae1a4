// The fcitx5 addon in a headless fcitx5 of the test's own (only the D-Bus
// frontend, the keyboard and our addon), on a private session bus; this
// test is the application, talking to fcitx5's input-context interface.

#include "tests/desktop/desktop_scenarios.h"
#include "tests/desktop/private_session.h"
#include "tests/desktop/desktop_folder.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace zv {
namespace {

using namespace std::chrono_literals;
using test::Child;
using test::pumpFor;
using test::pumpUntil;

constexpr const char* kService = "org.fcitx.Fcitx5";
constexpr const char* kContextInterface = "org.fcitx.Fcitx.InputContext1";
// The capabilities of a client that shows preedit and candidates itself.
constexpr uint64_t kPreedit = 1u << 1, kFormattedPreedit = 1u << 4, kClientSideInputPanel = 1ull << 39;
constexpr uint32_t kShiftL = 0xFFE1, kShiftMask = 1;

using Seen = test::SeenByApplication;

// The texts of an a(si) (formatted text) or the first members of an
// a(ss) (candidates).
std::string joinedText(GVariant* list) {
    std::string out;
    for (gsize i = 0; i < g_variant_n_children(list); ++i) {
        GVariant* item = g_variant_get_child_value(list, i);
        GVariant* text = g_variant_get_child_value(item, 0);
        out += g_variant_get_string(text, nullptr);
        g_variant_unref(text);
        g_variant_unref(item);
    }
    return out;
}

void onSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name, GVariant* args,
              gpointer data) {
    Seen& seen = *static_cast<Seen*>(data);
    const std::string signal = name;
    if (signal == "CommitString") {
        const gchar* text = nullptr;
        g_variant_get(args, "(&s)", &text);
        seen.committed += text;
    } else if (signal == "UpdateFormattedPreedit") {
        GVariant* list = g_variant_get_child_value(args, 0);
        seen.preedit = joinedText(list);
        g_variant_unref(list);
    } else if (signal == "UpdateClientSideUI") {
        // The candidates are the first a(ss) among the arguments.
        seen.candidates.clear();
        for (gsize i = 0; i < g_variant_n_children(args); ++i) {
            GVariant* arg = g_variant_get_child_value(args, i);
            if (g_variant_is_of_type(arg, G_VARIANT_TYPE("a(ss)"))) {
                for (gsize k = 0; k < g_variant_n_children(arg); ++k) {
                    const gchar *label = nullptr, *text = nullptr;
                    g_variant_get_child(arg, k, "(&s&s)", &label, &text);
                    seen.candidates.emplace_back(text);
                }
                g_variant_unref(arg);
                break;
            }
            g_variant_unref(arg);
        }
    }
}

class HeadlessFcitx5 : public ::testing::Test {
public:  // the shared scenarios drive the fixture
    void SetUp() override {
        test::writeDesktopFolder(fx);
        const std::string root = scratch.path().string();
        const std::string address = test::startPrivateSession(root, sessionBus);
        ASSERT_FALSE(address.empty());
        // Our input method is the group's second, active from the start;
        // no Shift trigger of fcitx5's own takes the Shift tap first.
        const std::string config = root + "/home/.config/fcitx5";
        std::filesystem::create_directories(config);
        std::ofstream(config + "/profile") << "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=zorvan\n\n"
                                              "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                                              "[Groups/0/Items/1]\nName=zorvan\nLayout=\n\n[GroupOrder]\n0=Default\n";
        std::ofstream(config + "/config") << "[Hotkey]\nAltTriggerKeys=\n\n[Behavior]\nActiveByDefault=True\n";
        setenv("XDG_DATA_DIRS", (std::string(ZORVAN_FCITX5_TREE) + "/share:/usr/share").c_str(), 1);
        setenv("FCITX_ADDON_DIRS", (std::string(ZORVAN_FCITX5_TREE) + "/lib/fcitx5:" + FCITX5_ADDON_DIR).c_str(), 1);
        setenv("ZORVAN_DATA", fx.dir.path().string().c_str(), 1);
        daemon = std::make_unique<Child>(
            std::vector<std::string>{"fcitx5", "--disable=all", "--enable=dbus,dbusfrontend,keyboard,zorvan"},
            root + "/daemons.log");
        ASSERT_TRUE(daemon->started());

        GError* error = nullptr;
        bus = g_dbus_connection_new_for_address_sync(
            address.c_str(),
            GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                 G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        ASSERT_TRUE(bus) << (error ? error->message : "");
        // The context lives while this connection does. The bus must not
        // start a fcitx5 of its own for the name (the system's service file
        // would, without our addon, and the two would fight over the name):
        // the call waits for the daemon started above.
        ASSERT_TRUE(pumpUntil([&] {
            GVariant* reply = g_dbus_connection_call_sync(
                bus, kService, "/org/freedesktop/portal/inputmethod", "org.fcitx.Fcitx.InputMethod1",
                "CreateInputContext", g_variant_new_parsed("([('program', 'zorvan-test')],)"), nullptr,
                G_DBUS_CALL_FLAGS_NO_AUTO_START, 1000, nullptr, nullptr);
            if (!reply) return false;
            const gchar* path = nullptr;
            g_variant_get(reply, "(&o@ay)", &path, nullptr);
            context = path;
            g_variant_unref(reply);
            return true;
        })) << "fcitx5 never offered an input context";
        g_dbus_connection_signal_subscribe(bus, nullptr, kContextInterface, nullptr, context.c_str(), nullptr,
                                           G_DBUS_SIGNAL_FLAGS_NONE, onSignal, &seen, nullptr);
        call("SetCapability", g_variant_new("(t)", kPreedit | kFormattedPreedit | kClientSideInputPanel));
        call("FocusIn", nullptr);
        // Our addon answers once fcitx5 has loaded it for the context.
        ASSERT_TRUE(pumpUntil([&] {
            if (!key('w')) return false;
            key(0xFF1B);  // Escape
            return true;
        })) << "the addon never took a key; fcitx5 said:\n" << daemonLog();
        settle();
        seen = {};
    }

    std::string daemonLog() const {
        std::ifstream in(scratch.path() / "daemons.log");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void TearDown() override {
        if (bus) g_object_unref(bus);
        daemon.reset();
        sessionBus.reset();
    }

    GVariant* call(const char* method, GVariant* args) {
        return g_dbus_connection_call_sync(bus, kService, context.c_str(), kContextInterface, method, args, nullptr,
                                           G_DBUS_CALL_FLAGS_NO_AUTO_START, 5000, nullptr, nullptr);
    }
    bool keyEvent(uint32_t keysym, uint32_t state, bool release) {
        GVariant* reply = call("ProcessKeyEvent", g_variant_new("(uuubu)", keysym, 0u, state, release, 0u));
        if (!reply) return false;
        gboolean taken = FALSE;
        g_variant_get(reply, "(b)", &taken);
        g_variant_unref(reply);
        return taken;
    }
    bool key(uint32_t keysym, uint32_t state = 0) {
        const bool taken = keyEvent(keysym, state, false);
        keyEvent(keysym, state | (keysym == kShiftL ? kShiftMask : 0), true);
        return taken;
    }
    bool type(std::string_view keys) {
        bool all = true;
        for (char c : keys) all &= key(static_cast<uint8_t>(c));
        settle();
        return all;
    }
    void settle() { pumpFor(150ms); }

    test::DataFixture fx;
    test::TempDir scratch;
    std::unique_ptr<Child> sessionBus, daemon;
    GDBusConnection* bus = nullptr;
    std::string context;
    Seen seen;
};

TEST_F(HeadlessFcitx5, TypesCommitsPagesAndSwitchesToEnglish) { test::typeCommitPageAndSwitch(*this); }

TEST_F(HeadlessFcitx5, TemporaryEnglishAndALearnedWord) { test::temporaryEnglishAndALearnedWord(*this); }

}  // namespace
}  // namespace zv
