#include "frontends/ibus/ibus_engine.h"

#include "frontends/desktop/input_context.h"
#include "frontends/desktop/status_actions.h"
#include "frontends/keys/x_keys.h"
#include "frontends/desktop/desktop_engine.h"
#include "platform/utf.h"

#include <ibus.h>

#include <memory>

namespace zv::ibus {

namespace {

std::string& dataFolder() {
    static std::string folder;
    return folder;
}


struct ZvEngine {
    IBusEngine parent;
    desktop::InputContext* context;  // null when the data folder could not be opened
    IBusLookupTable* table;
    IBusPropList* properties;  // the status area's, as last shown
};
struct ZvEngineClass {
    IBusEngineClass parent;
};

GType zvEngineType = 0;
IBusEngineClass* parentClass = nullptr;

ZvEngine* self(IBusEngine* e) { return reinterpret_cast<ZvEngine*>(e); }

IBusText* textOf(std::u16string_view s) { return ibus_text_new_from_string(utf16ToUtf8(s).c_str()); }

// Shows the modes and the tools in the status area, with their labels
// for the state now.
void showProperties(ZvEngine* z) {
    if (!z->context) return;
    if (z->properties) g_object_unref(z->properties);
    z->properties = ibus_prop_list_new();
    g_object_ref_sink(z->properties);
    for (const desktop::StatusAction& a : desktop::statusActions(*z->context)) {
        IBusProperty* p = ibus_property_new(a.name.c_str(), PROP_TYPE_NORMAL, ibus_text_new_from_string(a.label.c_str()),
                                            "", ibus_text_new_from_string(a.tooltip.c_str()), TRUE, TRUE,
                                            PROP_STATE_UNCHECKED, nullptr);
        ibus_prop_list_append(z->properties, p);
    }
    ibus_engine_register_properties(&z->parent, z->properties);
}

// Applies what the engine says to show and send.
void apply(ZvEngine* z) {
    if (!z->context) return;
    IBusEngine* e = &z->parent;
    const desktop::Update u = z->context->takeUpdate();
    if (u.modesChanged) showProperties(z);
    for (const std::u16string& c : u.commits) ibus_engine_commit_text(e, textOf(c));
    for (const keys::HostKey& k : z->context->takeForwarded()) {
        const auto keysym = keys::xKeysymOf(k);
        if (!keysym) continue;
        uint32_t state = (k.shift ? IBUS_SHIFT_MASK : 0) | (k.ctrl ? IBUS_CONTROL_MASK : 0) |
                         (k.alt ? IBUS_MOD1_MASK : 0) | (k.up ? IBUS_RELEASE_MASK : 0);
        ibus_engine_forward_key_event(e, *keysym, k.scan + keys::kEvdevOffset, state);
    }
    if (u.preedit.empty()) {
        ibus_engine_hide_preedit_text(e);
    } else {
        IBusText* preedit = textOf(u.preedit);
        ibus_text_append_attribute(preedit, IBUS_ATTR_TYPE_UNDERLINE, IBUS_ATTR_UNDERLINE_SINGLE, 0,
                                   static_cast<gint>(g_utf8_strlen(utf16ToUtf8(u.preedit).c_str(), -1)));
        const std::string before = utf16ToUtf8(std::u16string_view(u.preedit).substr(0, u.preeditCursor));
        ibus_engine_update_preedit_text(e, preedit, static_cast<guint>(g_utf8_strlen(before.c_str(), -1)), TRUE);
    }
    if (u.candidates.empty()) {
        ibus_engine_hide_lookup_table(e);
        return;
    }
    // The page is the engine's: IBus shows it whole, and paging goes
    // through the engine's own keys.
    ibus_lookup_table_clear(z->table);
    ibus_lookup_table_set_page_size(z->table, static_cast<guint>(u.candidates.size()));
    for (size_t i = 0; i < u.candidates.size(); ++i) {
        const desktop::CandidateRow& row = u.candidates[i];
        ibus_lookup_table_append_candidate(z->table, textOf(row.hint.empty() ? row.text : row.text + u" " + row.hint));
        ibus_lookup_table_set_label(z->table, static_cast<guint>(i), textOf(row.label));
    }
    ibus_lookup_table_set_cursor_pos(z->table, static_cast<guint>(u.highlight));
    ibus_engine_update_lookup_table(e, z->table, TRUE);
}

// Runs an engine operation and applies its result; an operation that
// fails for want of memory loses the key, never the application (nothing
// may escape into IBus).
template <typename Operation>
gboolean guarded(IBusEngine* e, Operation op) {
    ZvEngine* z = self(e);
    if (!z->context) return FALSE;
    try {
        const bool taken = op(*z->context);
        apply(z);
        return taken;
    } catch (...) {
        return FALSE;
    }
}

gboolean processKeyEvent(IBusEngine* e, guint keyval, guint, guint modifiers) {
    // The key data comes from the keysym: layouts differ in their key codes.
    const auto key = keys::hostKeyOfX(keyval, modifiers & 0xFF, (modifiers & IBUS_RELEASE_MASK) != 0);
    if (!key) return FALSE;
    return guarded(e, [&](desktop::InputContext& c) { return c.key(*key); });
}

void focusIn(IBusEngine* e) {
    guarded(e, [](desktop::InputContext& c) {
        c.focusIn();
        return true;
    });
    try {
        showProperties(self(e));
    } catch (...) {
    }
    parentClass->focus_in(e);
}

void focusOut(IBusEngine* e) {
    guarded(e, [](desktop::InputContext& c) {
        c.focusOut();
        return true;
    });
    parentClass->focus_out(e);
}

void reset(IBusEngine* e) {
    guarded(e, [](desktop::InputContext& c) {
        c.reset();
        return true;
    });
    parentClass->reset(e);
}

void pageUp(IBusEngine* e) {
    guarded(e, [](desktop::InputContext& c) {
        c.turnPage(false);
        return true;
    });
}

void pageDown(IBusEngine* e) {
    guarded(e, [](desktop::InputContext& c) {
        c.turnPage(true);
        return true;
    });
}

void candidateClicked(IBusEngine* e, guint index, guint, guint) {
    guarded(e, [index](desktop::InputContext& c) {
        c.choose(static_cast<int>(index));
        return true;
    });
}

void propertyActivate(IBusEngine* e, const gchar* name, guint) {
    guarded(e, [name](desktop::InputContext& c) { return desktop::runStatusAction(c, name); });
    try {
        showProperties(self(e));
    } catch (...) {
    }
}

void destroy(IBusObject* o) {
    ZvEngine* z = reinterpret_cast<ZvEngine*>(o);
    if (z->properties) g_object_unref(z->properties);
    z->properties = nullptr;
    delete z->context;
    z->context = nullptr;
    if (z->table) g_object_unref(z->table);
    z->table = nullptr;
    IBUS_OBJECT_CLASS(parentClass)->destroy(o);
}

void classInit(gpointer klass, gpointer) {
    parentClass = static_cast<IBusEngineClass*>(g_type_class_peek_parent(klass));
    IBusEngineClass* c = static_cast<IBusEngineClass*>(klass);
    c->process_key_event = processKeyEvent;
    c->focus_in = focusIn;
    c->focus_out = focusOut;
    c->reset = reset;
    c->page_up = pageUp;
    c->page_down = pageDown;
    c->candidate_clicked = candidateClicked;
    c->property_activate = propertyActivate;
    IBUS_OBJECT_CLASS(klass)->destroy = destroy;
}

void instanceInit(GTypeInstance* instance, gpointer) {
    ZvEngine* z = reinterpret_cast<ZvEngine*>(instance);
    z->table = ibus_lookup_table_new(10, 0, FALSE, FALSE);
    g_object_ref_sink(z->table);
    z->context = nullptr;
    z->properties = nullptr;
    // An instance whose folder cannot be opened lets every key through; so
    // does one that finds no memory (nothing may escape into IBus).
    try {
        Engine engine = desktop::openDesktopEngine(dataFolder());
        if (engine) z->context = new desktop::InputContext(std::move(engine));
    } catch (...) {
        z->context = nullptr;
    }
}

}  // namespace

GType engineType(const std::string& folder) {
    dataFolder() = folder;
    if (zvEngineType) return zvEngineType;
    GTypeInfo info{};
    info.class_size = sizeof(ZvEngineClass);
    info.class_init = classInit;
    info.instance_size = sizeof(ZvEngine);
    info.instance_init = instanceInit;
    zvEngineType = g_type_register_static(IBUS_TYPE_ENGINE, "ZorvanWubiEngine", &info, GTypeFlags{});
    return zvEngineType;
}

}  // namespace zv::ibus
