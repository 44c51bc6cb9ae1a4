// Random macro texts, commands and temporary-English codes: whatever a code
// table or a user types, parsing never reads outside its text and never
// produces more than its buffers hold.

#include "engine/commands.h"
#include "engine/macros.h"
#include "platform/clock.h"
#include "tests/support/data_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace zv {
namespace {

constexpr std::u16string_view kPieces[] = {
    u"$zvcmd(", u"<", u">", u".", u",", u"\"", u"\\", u"(", u")", u"date", u"data", u"time", u"last", u"u16value",
    u"clipboard", u"yyyy", u"YYYY", u"M", u"MM", u"z", u"1", u"2", u"run(", u"http://", u"keyboard(", u"newkey(",
    u"help(", u"convert(", u"set(", u"%apppath%", u"+Ctrl", u"+Win", u"中", u"𠀀", u"\xD800", u"\xDC00", std::u16string_view(u"\0", 1),
};

std::u16string randomText(std::mt19937& rng, size_t maxPieces) {
    std::u16string s;
    size_t n = rng() % (maxPieces + 1);
    for (size_t i = 0; i < n; ++i) {
        if (rng() % 4 == 0)
            s.push_back(static_cast<char16_t>(rng() % 0x10000));
        else
            s += kPieces[rng() % std::size(kPieces)];
    }
    return s;
}

TEST(MacroTextFuzz, RandomMacrosAndCommandsStayInBounds) {
    std::mt19937 rng(20260507);
    platform::ManualClock clock;
    test::RecordingServices services;
    services.clipboard = std::u16string(300, u'剪');
    std::u16string last(128, u'x');
    MacroSources sources{&clock, &services, last, u"prev"};
    for (int i = 0; i < 20000; ++i) {
        std::u16string text = randomText(rng, 40);
        if (rng() % 2) text = u"$zvcmd(" + text + u")";
        std::u16string expanded = expandPlaceholders(text, sources);
        ASSERT_LE(expanded.size(), kMacroTextUnits);
        if (auto m = parseMacroEntry(text, sources)) {
            ASSERT_LE(m->output.size(), kMacroTextUnits);
            ASSERT_LE(m->display.size(), kMacroTextUnits);
            PreparedCommand c = prepareCommand({m->output, 1, SourceMain}, true, u"C:\\Zorvan\\");
            ASSERT_LE(c.argument.size(), kCommandUnits);
            if (c.kind & CommandKeys) keyboardEvents(c.argument);
        }
        ASSERT_LE(escapeWebAddress(u"http://" + text).size(), kEscapedAddressUnits);
        for (const auto& e : keyboardEvents(text)) ASSERT_NE(0, e.virtualKey);
    }
}

TEST(MacroTextFuzz, RandomTempEnglishCodes) {
    std::mt19937 rng(7);
    constexpr char16_t kUnits[] = u"0123456789..\x10\x15\x19\x0E\x0Ax";
    for (int i = 0; i < 20000; ++i) {
        std::u16string code;
        size_t n = rng() % 30;
        for (size_t k = 0; k < n; ++k) code.push_back(kUnits[rng() % (std::size(kUnits) - 1)]);
        for (const GeneratedCandidate& g : tempEnglishCandidates(code)) {
            ASSERT_LE(g.text.size(), kGeneratedTextUnits);
            ASSERT_FALSE(g.text.empty()) << i;
        }
    }
}

}  // namespace
}  // namespace zv
