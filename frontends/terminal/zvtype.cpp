// zvtype: types Chinese with the engine on a data folder. On a terminal it
// is a full-screen text field; otherwise it reads a key script (from --keys
// or standard input). Either way it prints the text the application received.

#include "engine/config_store.h"
#include "engine/host.h"
#include "frontends/terminal/interactive.h"
#include "frontends/terminal/key_script.h"
#include "frontends/terminal/render.h"
#include "frontends/terminal/session.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/utf.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace {

using namespace zv;

constexpr const char* kUsage =
    "usage: zvtype [--data DIR | --name IMENAME] [--set 'set(...)']... [--now YYYY-MM-DDTHH:MM:SS]\n"
    "              [--clipboard TEXT] [--trace] [--keys SCRIPT] [--output FILE]\n"
    "              [--render FILE.png] [--render-status FILE.png] [--render-softkbd N FILE.png]\n"
    "Without --keys, standard input is the key script, or on a terminal the keys typed.\n";

int usage(const std::string& message) {
    std::fprintf(stderr, "zvtype: %s\n%s", message.c_str(), kUsage);
    return 2;
}

bool parseNow(const std::string& s, platform::LocalTime& t) {
    int y, mo, d, h, mi, se;
    char tail;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &se, &tail) != 6) return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 59 || y < 1 || h < 0 || mi < 0 || se < 0)
        return false;
    t = platform::LocalTime{y, mo, d, h, mi, se};
    t.weekday = platform::civilFromSeconds(platform::daysFromCivil(y, mo, d) * 86400).weekday;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir, name, script, now, clipboard, output;
    bool haveKeys = false, trace = false, haveClipboard = false;
    std::vector<std::string> sets;
    term::RenderRequest render;
    std::string badRender;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        if (a == "--data") {
            if (!value(dataDir)) return usage("--data needs a folder");
        } else if (a == "--name") {
            if (!value(name)) return usage("--name needs an input-method name");
        } else if (a == "--set") {
            std::string s;
            if (!value(s)) return usage("--set needs a command");
            sets.push_back(s);
        } else if (a == "--now") {
            if (!value(now)) return usage("--now needs a time");
        } else if (a == "--clipboard") {
            if (!value(clipboard)) return usage("--clipboard needs a text");
            haveClipboard = true;
        } else if (a == "--keys") {
            if (!value(script)) return usage("--keys needs a script");
            haveKeys = true;
        } else if (a == "--output") {
            if (!value(output)) return usage("--output needs a file");
        } else if (a == "--trace") {
            trace = true;
        } else if (term::takeRenderOption(argc, argv, i, render, badRender)) {
            if (!badRender.empty()) return usage(badRender);
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            return usage("unknown argument " + a);
        }
    }
    if (!dataDir.empty() && !name.empty()) return usage("give either --data or --name");

    platform::ManualClock clock;
    if (!now.empty()) {
        platform::LocalTime t;
        if (!parseNow(now, t)) return usage("--now wants YYYY-MM-DDTHH:MM:SS");
        clock.set(t);
    } else {
        clock.set(platform::systemClock().localTime());
    }

    // Pictures are made after a key script; without one, on a terminal,
    // they show the state before any key.
    const bool interactive = !haveKeys && isatty(0) && !render.any();
    if (interactive && trace) return usage("--trace needs a key script");
    if (!haveKeys && !interactive && isatty(0)) haveKeys = true;
    if (!haveKeys && !interactive)
        script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    term::ScriptError err;
    auto strokes = term::parseKeyScript(script, &err);
    if (!strokes) {
        std::fprintf(stderr, "zvtype: bad key script at offset %zu: %s\n", err.offset, err.message.c_str());
        return 2;
    }

    std::unique_ptr<platform::Registry> registry = platform::openSystemRegistry();
    platform::Platform services;
    services.registry = registry.get();
    services.shell = &platform::systemShell();
    services.dialogs = &platform::systemDialogs();
    const Engine ctx = !dataDir.empty() ? openEngineFolder(utf8ToUtf16(dataDir), u"", services)
                                        : openEngine(name.empty() ? kDefaultImeName : utf8ToUtf16(name), services);
    if (!ctx) {
        std::fprintf(stderr, "zvtype: cannot open the data folder %s\n",
                     !dataDir.empty() ? dataDir.c_str()
                                      : ("of " + (name.empty() ? utf16ToUtf8(kDefaultImeName) : name)).c_str());
        return 2;
    }

    // A script run leaves the settings as it found them (the --set commands
    // and mode switches are for this run), except what the user's typing
    // teaches the engine: the commit history.
    const SettingsBlocks& b = settingsOf(*ctx);
    const std::vector<uint8_t> savedIme(b.ime.base, b.ime.base + ImeSettings::Size);
    const std::vector<uint8_t> savedDme(b.dme.base, b.dme.base + DmeSettings::Size);
    const std::vector<uint8_t> savedSkin(b.skin.base, b.skin.base + SkinSettings::Size);
    auto restoreSettings = [&] {
        std::vector<uint8_t> history(b.ime.base + ImeSettings::HistoryCount,
                                     b.ime.base + ImeSettings::History + 16 * ImeSettings::HistoryEntrySize);
        std::copy(savedIme.begin(), savedIme.end(), b.ime.base);
        std::copy(history.begin(), history.end(), b.ime.base + ImeSettings::HistoryCount);
        std::copy(savedDme.begin(), savedDme.end(), b.dme.base);
        std::copy(savedSkin.begin(), savedSkin.end(), b.skin.base);
        saveSettings(*ctx);
    };

    term::Session session(*ctx, clock);
    if (haveClipboard) session.clipboardText = utf8ToUtf16(clipboard);
    for (const std::string& s : sets) {
        // A command that changed nothing is refused as zvconfig's set is:
        // the run would otherwise type under settings it was not given.
        std::u16string why;
        if (!applySetCommand(*ctx, utf8ToUtf16(s), &why)) {
            std::fprintf(stderr, "zvtype: %s: %s\n", s.c_str(), utf16ToUtf8(why).c_str());
            restoreSettings();
            return 2;
        }
    }
    session.activate();
    // Typing on a terminal teaches the engine and keeps what it changes, as
    // an input method in an application does.
    if (interactive) return term::runInteractive(*ctx, session, clock, {output, now.empty()});

    for (const term::KeyStroke& k : *strokes) {
        session.play(k);
        if (trace && k.kind != term::KeyStroke::Wait) std::printf("%s\n", session.traceLine(k.label).c_str());
    }
    // Pictures show the state after the last key, in this run's settings.
    std::string renderError;
    const bool rendered = term::writeRenders(*ctx, render, session.keyboard().capsLock, renderError);
    restoreSettings();
    std::string error;
    if (!term::writeTypedText(output, session.typed(), &error)) {
        std::fprintf(stderr, "zvtype: %s\n", error.c_str());
        return 2;
    }
    if (!rendered) {
        std::fprintf(stderr, "zvtype: %s\n", renderError.c_str());
        return 2;
    }
    return 0;
}
