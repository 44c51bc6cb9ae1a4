// zorvan-ibus in a private IBus: a session bus and an ibus-daemon of the
// test's own, the engine started by the daemon from a component
// description, and this test as the application's input context, sending
// key events and collecting what the engine shows and commits.

#include "platform/utf.h"
#include "tests/desktop/desktop_scenarios.h"
#include "tests/desktop/private_session.h"
#include "tests/desktop/desktop_folder.h"

#include <gtest/gtest.h>
#include <ibus.h>

#include <algorithm>
#include <fstream>

namespace zv {
namespace {

using namespace std::chrono_literals;
using test::Child;
using test::pumpFor;
using test::pumpUntil;

// What the application's side of the input context saw.
using Seen = test::SeenByApplication;

std::string textOf(IBusText* t) { return t && t->text ? t->text : ""; }

// The daemons and the connection, once for all the tests: libibus keeps
// the address of the first daemon it reached for the whole process.
struct IbusSession {
    test::DataFixture fx;
    test::TempDir scratch;
    std::unique_ptr<Child> sessionBus, daemon;
    IBusBus* bus = nullptr;
    std::string failure;

    IbusSession() {
        test::writeDesktopFolder(fx);
        const std::string root = scratch.path().string();
        std::filesystem::create_directories(root + "/components");
        if (test::startPrivateSession(root, sessionBus).empty()) {
            failure = "no session bus";
            return;
        }
        setenv("IBUS_COMPONENT_PATH", (root + "/components").c_str(), 1);
        std::ofstream(root + "/components/zorvan.xml")
            << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<component><name>org.freedesktop.IBus.Zorvan</name>"
               "<description>Zorvan Wubi</description><exec>"
            << ZORVAN_IBUS_PATH << " --ibus --data " << fx.dir.path().string()
            << "</exec><version>1.0</version><author/><license/><homepage/><textdomain/><engines><engine>"
               "<name>zorvan-wubi</name><language>zh_CN</language><license/><author/><icon/><layout>us</layout>"
               "<longname>Zorvan Wubi</longname><description>Wubi 86</description></engine></engines></component>\n";
        const std::string address = "unix:path=" + root + "/ibus.sock";
        daemon = std::make_unique<Child>(
            std::vector<std::string>{"ibus-daemon", "--panel=disable", "--config=disable", "--emoji-extension=disable",
                                     "--cache=none", "--address=" + address},
            root + "/daemons.log");
        setenv("IBUS_ADDRESS", address.c_str(), 1);
        if (!daemon->started() || !pumpUntil([&] { return std::filesystem::exists(root + "/ibus.sock"); })) {
            failure = "ibus-daemon did not start";
            return;
        }
        ibus_init();
        if (!pumpUntil([&] {
                if (bus && ibus_bus_is_connected(bus)) return true;
                if (bus) g_object_unref(bus);
                bus = ibus_bus_new();
                return ibus_bus_is_connected(bus) != FALSE;
            }))
            failure = "no connection to ibus-daemon";
    }
    ~IbusSession() {
        if (bus) g_object_unref(bus);
        daemon.reset();
        sessionBus.reset();
    }
};

class PrivateIbus : public ::testing::Test {
public:  // the shared scenarios drive the fixture
    static void SetUpTestSuite() { session = new IbusSession; }
    static void TearDownTestSuite() {
        delete session;
        session = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(session->failure.empty()) << session->failure;
        bus = session->bus;
        context = ibus_bus_create_input_context(bus, "zorvan test");
        ASSERT_TRUE(context);
        g_signal_connect(context, "commit-text", G_CALLBACK(+[](IBusInputContext*, IBusText* t, gpointer s) {
                             static_cast<Seen*>(s)->committed += textOf(t);
                         }),
                         &seen);
        g_signal_connect(context, "update-preedit-text",
                         G_CALLBACK(+[](IBusInputContext*, IBusText* t, guint, gboolean visible, gpointer s) {
                             static_cast<Seen*>(s)->preedit = visible ? textOf(t) : "";
                         }),
                         &seen);
        g_signal_connect(context, "hide-preedit-text",
                         G_CALLBACK(+[](IBusInputContext*, gpointer s) { static_cast<Seen*>(s)->preedit.clear(); }),
                         &seen);
        g_signal_connect(context, "update-lookup-table",
                         G_CALLBACK(+[](IBusInputContext*, IBusLookupTable* table, gboolean visible, gpointer s) {
                             auto& rows = static_cast<Seen*>(s)->candidates;
                             rows.clear();
                             if (!visible) return;
                             for (guint i = 0; i < ibus_lookup_table_get_number_of_candidates(table); ++i)
                                 rows.push_back(textOf(ibus_lookup_table_get_candidate(table, i)));
                         }),
                         &seen);
        g_signal_connect(context, "hide-lookup-table",
                         G_CALLBACK(+[](IBusInputContext*, gpointer s) { static_cast<Seen*>(s)->candidates.clear(); }),
                         &seen);
        ibus_input_context_set_capabilities(context, IBUS_CAP_PREEDIT_TEXT | IBUS_CAP_LOOKUP_TABLE | IBUS_CAP_FOCUS);
        ibus_input_context_focus_in(context);
        ibus_input_context_set_engine(context, "zorvan-wubi");
        ASSERT_TRUE(pumpUntil([&] {
            IBusEngineDesc* desc = ibus_input_context_get_engine(context);
            return desc && std::string(ibus_engine_desc_get_name(desc)) == "zorvan-wubi";
        }));
        // The engine answers once the daemon has started it: a key it takes
        // shows that.
        ASSERT_TRUE(pumpUntil([&] {
            if (!key('w')) return false;
            key(IBUS_KEY_Escape);
            return true;
        })) << "the engine never took a key";
        settle();
        seen = {};
    }

    void TearDown() override {
        if (!context) return;
        ibus_proxy_destroy(IBUS_PROXY(context));
        g_object_unref(context);
    }

    // A press and a release; true when the engine took the press.
    bool key(guint keyval, guint state = 0) {
        const bool taken = ibus_input_context_process_key_event(context, keyval, 0, state);
        ibus_input_context_process_key_event(context, keyval, 0, state | IBUS_RELEASE_MASK);
        return taken;
    }
    bool type(std::string_view keys) {
        bool all = true;
        for (char c : keys) all &= key(static_cast<guint>(c));
        settle();
        return all;
    }
    // The signals of the keys sent so far reach the test.
    void settle() { pumpFor(150ms); }

    static IbusSession* session;
    IBusBus* bus = nullptr;
    IBusInputContext* context = nullptr;
    Seen seen;
};
IbusSession* PrivateIbus::session = nullptr;

TEST_F(PrivateIbus, TypesCommitsPagesAndSwitchesToEnglish) {
    test::typeCommitPageAndSwitch(*this);
    // The status area's 中/英 does what the Shift tap does.
    ibus_input_context_property_activate(context, "zorvan-chinese", PROP_STATE_CHECKED);
    settle();
    EXPECT_FALSE(type("wq"));
    ibus_input_context_property_activate(context, "zorvan-chinese", PROP_STATE_CHECKED);
    settle();
    EXPECT_TRUE(type("wq"));
}

TEST_F(PrivateIbus, TemporaryEnglishAndALearnedWord) { test::temporaryEnglishAndALearnedWord(*this); }

}  // namespace
}  // namespace zv
