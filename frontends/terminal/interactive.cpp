#include "frontends/terminal/interactive.h"

#include "engine/config_store.h"
#include "engine/host_view.h"
#include "frontends/terminal/terminal_keys.h"
#include "platform/terminal.h"
#include "platform/utf.h"
#include "ui/engine_view.h"

#include <cstdio>
#include <deque>
#include <fstream>
#include <optional>

namespace zv::term {

namespace {

struct Binding {
    int virtualKey;  // held with Ctrl alone
    TerminalCommand command;
    const char* keys;     // for the help line; null: not listed
    const char16_t* help;
};

// Ctrl+C and Ctrl+D end the session like the quit key, so that the usual
// ways out of a terminal program work whatever is being typed.
constexpr Binding kBindings[] = {
    // In the help line's order: what a narrow screen leaves out comes last.
    {0x20, TerminalCommand::ShiftTap, "^Space", u"中/英"},
    {'Q', TerminalCommand::Quit, "^Q", u"退出"},
    {'K', TerminalCommand::SoftKeyboard, "^K", u"软键盘"},
    {'W', TerminalCommand::FullWidth, "^W", u"全/半角"},
    {'P', TerminalCommand::Punctuation, "^P", u"标点"},
    {'T', TerminalCommand::Traditional, "^T", u"繁/简"},
    {'C', TerminalCommand::Quit, nullptr, nullptr},
    {'D', TerminalCommand::Quit, nullptr, nullptr},
    {'L', TerminalCommand::Redraw, nullptr, nullptr},
    {'Z', TerminalCommand::Suspend, nullptr, nullptr},
};

// Waiting this long after an Esc tells the Esc key from the start of a
// sequence: terminals send a sequence in one piece.
constexpr int kEscapeWaitMs = 40;

// The terminal's modes while the session runs: the other screen (the shell's
// stays as it was), the keypad reporting its own keys, no wrapping at the
// right edge (lines are never wider than the screen).
constexpr const char* kEnterScreen = "\x1b[?1049h\x1b=\x1b[?7l\x1b[H\x1b[2J";
constexpr const char* kLeaveScreen = "\x1b[0m\x1b[?25h\x1b[?7h\x1b>\x1b[?1049l";

class Interactive : public platform::Dialogs {
public:
    Interactive(EngineContext& ctx, Session& session, platform::ManualClock& clock, const InteractiveOptions& options,
                platform::RawTerminal& tty)
        : ctx_(ctx), session_(session), clock_(clock), options_(options), tty_(tty),
          shiftTap_(*strokeForName("LShift")) {}

    // Returns the signal that ended the session, or 0.
    int run() {
        platform::Dialogs* previous = services(ctx_).dialogs;
        services(ctx_).dialogs = this;
        tick();
        draw();
        while (!quit_) {
            if (keys_.empty()) receive(tty_.wait(pending_.empty() ? -1 : kEscapeWaitMs));
            while (!keys_.empty() && !quit_) {
                TerminalKey key = std::move(keys_.front());
                keys_.pop_front();
                handle(key);
            }
            draw();
        }
        services(ctx_).dialogs = previous;
        return endSignal_;
    }

    // Questions of the engine (deleting a word) are asked on the help line.
    bool confirm(std::u16string_view caption, std::u16string_view text) override {
        message_ = std::u16string(caption) + u" " + std::u16string(text) + u" (y/n)";
        draw();
        std::optional<bool> answer;
        while (!answer && !quit_) {
            if (keys_.empty()) receive(tty_.wait(pending_.empty() ? -1 : kEscapeWaitMs));
            while (!keys_.empty() && !answer) {
                TerminalKey key = std::move(keys_.front());
                keys_.pop_front();
                answer = answerOf(key);
            }
            draw();
        }
        message_.clear();
        return answer.value_or(false);
    }
    void inform(std::u16string_view caption, std::u16string_view text, platform::DialogIcon) override {
        message_ = std::u16string(caption) + u" " + std::u16string(text);
    }

private:
    static std::optional<bool> answerOf(const TerminalKey& key) {
        if (key.kind != TerminalKey::Press) return std::nullopt;
        const KeyStroke& k = key.stroke;
        if (k.ctrl || k.alt) return commandFor(k) == TerminalCommand::Quit ? std::optional<bool>(false) : std::nullopt;
        if (k.virtualKey == 'Y' || k.virtualKey == 0x0D) return true;
        if (k.virtualKey == 'N' || k.virtualKey == 0x1B) return false;
        return std::nullopt;
    }

    void receive(const platform::TerminalInput& in) {
        if (in.endSignal) {
            endSignal_ = in.endSignal;
            quit_ = true;
        }
        if (in.closed) quit_ = true;
        if (in.resized || in.resumed) full_ = true;
        if (in.suspendRequested) suspend(false);
        pending_ += in.bytes;
        DecodedKeys d = decodeTerminalKeys(pending_, in.timedOut);
        pending_.erase(0, d.used);
        for (TerminalKey& k : d.keys) keys_.push_back(std::move(k));
    }

    void suspend(bool group) {
        tty_.suspend(group);
        full_ = true;
    }

    // The engine reads the time for dates and the modifier-tap timer.
    void tick() {
        if (!options_.followSystemClock) return;
        platform::Clock& system = platform::systemClock();
        clock_.set(system.localTime());
        clock_.setTick(system.tickCount());
    }

    void handle(const TerminalKey& key) {
        message_.clear();  // a notice lasts until the next key
        if (key.kind == TerminalKey::Text) {
            session_.insertText(key.text);
            return;
        }
        switch (commandFor(key.stroke)) {
        case TerminalCommand::None:
            tick();
            session_.play(key.stroke);
            break;
        case TerminalCommand::Quit: quit_ = true; break;
        case TerminalCommand::ShiftTap:
            tick();
            session_.play(shiftTap_);
            break;
        case TerminalCommand::SoftKeyboard: runKeyFunction(ctx_, keyfn::SoftKeyboard); break;
        case TerminalCommand::FullWidth:
            setMode(ctx_, viewOf(ctx_).modes & ModeFullWidth ? mode::FullWidthOff : mode::FullWidthOn);
            break;
        case TerminalCommand::Punctuation:
            setMode(ctx_, viewOf(ctx_).modes & ModeEnglishPunct ? mode::EnglishPunctOff : mode::EnglishPunctOn);
            break;
        case TerminalCommand::Traditional:
            if (viewOf(ctx_).traditionalTable)
                setMode(ctx_, mode::ToggleTraditional);
            else
                message_ = u"没有繁体转换表 traditional.dms";
            break;
        case TerminalCommand::Redraw: full_ = true; break;
        case TerminalCommand::Suspend: suspend(true); break;
        }
    }

    ScreenInput screenInput() {
        ScreenInput s;
        s.text = session_.typed();
        const EngineView engine = viewOf(ctx_);
        s.view = ui::viewOf(engine, false);
        const SettingsBlocks& settings = settingsOf(ctx_);
        const ui::UiOptions o = ui::uiOptions(settings, false);
        s.showIndex = o.showIndex();
        s.showHints = o.showHints();
        s.traditional = engine.traditionalTable && settings.ime &&
                        settings.ime.bit(ImeSettings::OptionA, ImeSettings::A_Traditional);
        s.help = helpItems(engine.modes);
        s.message = message_;
        return s;
    }

    void draw() {
        const platform::TerminalSize size = tty_.size();
        Screen next = layoutScreen(screenInput(), size.columns, size.rows);
        const std::string bytes = screenUpdate(full_ || !shown_ ? nullptr : &*shown_, next);
        if (!bytes.empty()) tty_.write(bytes);
        shown_ = std::move(next);
        full_ = false;
    }

    EngineContext& ctx_;
    Session& session_;
    platform::ManualClock& clock_;
    const InteractiveOptions& options_;
    platform::RawTerminal& tty_;
    const KeyStroke shiftTap_;
    std::string pending_;  // bytes of an unfinished sequence
    std::deque<TerminalKey> keys_;
    std::optional<Screen> shown_;
    bool full_ = true;
    bool quit_ = false;
    int endSignal_ = 0;
    std::u16string message_;
};

}  // namespace

TerminalCommand commandFor(const KeyStroke& key) {
    if (key.kind != KeyStroke::Press || !key.ctrl || key.alt || key.shift) return TerminalCommand::None;
    for (const Binding& b : kBindings)
        if (b.virtualKey == key.virtualKey) return b.command;
    return TerminalCommand::None;
}

std::vector<HelpItem> helpItems(uint32_t modeFlags) {
    std::vector<HelpItem> items;
    for (const Binding& b : kBindings) {
        if (!b.keys) continue;
        if (b.command == TerminalCommand::SoftKeyboard && (modeFlags & ModeSoftKeyboard)) {
            items.push_back({b.keys, u"下一布局"});
            items.push_back({"Esc", u"关软键盘"});
            continue;
        }
        items.push_back({b.keys, b.help});
    }
    return items;
}

bool writeTypedText(const std::string& path, std::u16string_view text, std::string* error) {
    const std::string bytes = utf16ToUtf8(text) + "\n";
    if (path.empty()) {
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
        if (!ok && error) *error = "cannot write the text to standard output";
        return ok;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out && error) *error = "cannot write the text to " + path;
    return static_cast<bool>(out);
}

int runInteractive(EngineContext& ctx, Session& session, platform::ManualClock& clock,
                   const InteractiveOptions& options) {
    // The output file must take the text at the end: find out now, before
    // anything is typed, without touching what it holds.
    if (!options.outputPath.empty()) {
        std::ofstream probe(options.outputPath, std::ios::binary | std::ios::app);
        if (!probe) {
            std::fprintf(stderr, "zvtype: cannot write to %s\n", options.outputPath.c_str());
            return 2;
        }
    }
    int endSignal = 0;
    {
        platform::RawTerminal tty(kEnterScreen, kLeaveScreen);
        if (!tty.isOpen()) {
            std::fprintf(stderr, "zvtype: %s\n", tty.error().c_str());
            return 2;
        }
        Interactive app(ctx, session, clock, options, tty);
        endSignal = app.run();
    }  // the terminal is itself again before the text is written
    std::string error;
    int status = 0;
    if (!writeTypedText(options.outputPath, session.typed(), &error)) {
        std::fprintf(stderr, "zvtype: %s\n", error.c_str());
        // Nothing typed is lost: the text goes to standard output instead.
        if (!options.outputPath.empty()) writeTypedText("", session.typed(), nullptr);
        status = 2;
    }
    if (endSignal) platform::endBySignal(endSignal);
    return status;
}

}  // namespace zv::term
