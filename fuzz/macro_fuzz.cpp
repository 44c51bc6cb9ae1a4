// Macro entry texts ("$zvcmd(OUTPUT,DISPLAY)" with placeholders and
// escapes) from code tables, and the date and amount candidates of a
// temporary-English code.

#include "engine/macros.h"
#include "fuzz/fuzz_input.h"
#include "platform/clock.h"
#include "platform/services.h"

#include <string>

using namespace zv;

namespace {

class FixedClipboard : public platform::Clipboard {
public:
    std::u16string text() override { return u"剪贴板<clipboard>\\r"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static platform::ManualClock clock;
    static FixedClipboard clipboard;
    std::u16string text = fuzz::textOf(data, size);
    MacroSources sources{&clock, &clipboard, u"上次<last.1>", u"wqvb"};
    if (auto entry = parseMacroEntry(text, sources)) {
        if (entry->output.size() > kMacroTextUnits || entry->display.size() > kMacroTextUnits) __builtin_trap();
    }
    if (expandPlaceholders(text, sources).size() > kMacroTextUnits) __builtin_trap();
    applyEntryEscapes(text);
    for (const GeneratedCandidate& c : tempEnglishCandidates(text.substr(0, 64))) {
        if (c.text.size() > kGeneratedTextUnits) __builtin_trap();
    }
    return 0;
}
