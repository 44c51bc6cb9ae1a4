#pragma once
// What the input state machine reads of the settings and the modes, and the
// code in the two forms a lookup takes: shared by the key test, the
// classification and evaluation of codes, the key functions and the commits.

#include "engine/code_units.h"
#include "engine/engine_context.h"
#include "platform/clock.h"

#include <string_view>

namespace zv {

// An option flag of ImeSettings (words A and C) or DmeSettings (word D).
inline bool isOn(const EngineContext& ctx, ImeSettings::FlagA flag) {
    return ctx.blocks.ime.bit(ImeSettings::OptionA, flag);
}
inline bool isOn(const EngineContext& ctx, ImeSettings::FlagC flag) {
    return ctx.blocks.ime.bit(ImeSettings::OptionC, flag);
}
inline bool isOn(const EngineContext& ctx, DmeSettings::FlagD flag) { return (ctx.blocks.dme.d() & flag) != 0; }
inline uint8_t dmeByte(const EngineContext& ctx, size_t offset) { return ctx.blocks.dme.u8(offset); }

// The character class of a code unit (DmeSettings); 0 for no code character.
inline uint8_t classOf(const EngineContext& ctx, char16_t u) {
    const uint8_t b = codeByteOf(u);
    return b ? ctx.blocks.dme.charClass(b) : 0;
}

inline platform::Clock& clockOf(EngineContext& ctx) {
    return ctx.platform.clock ? *ctx.platform.clock : platform::systemClock();
}

inline bool chineseMode(const EngineContext& ctx) { return !(ctx.modeFlags & (ModeEnglishWords | ModeTempEnglish)); }
inline bool englishInput(const EngineContext& ctx) { return !chineseMode(ctx); }
inline bool inAssociation(const EngineContext& ctx) { return (ctx.modeFlags & ModeAssociation) != 0; }
inline bool auxInRange(const EngineContext& ctx) { return isOn(ctx, ImeSettings::A_AuxTable); }
inline bool secondarySearched(const EngineContext& ctx) {
    return isOn(ctx, ImeSettings::A_SearchSecondary) || (ctx.modeFlags & ModeSecondaryOnly);
}

// The lead characters of DmeSettings; 0 where none is set.
struct Leads {
    uint8_t query, english, aux, secondary, fifth;
};
inline Leads leadsOf(const EngineContext& ctx) {
    return {dmeByte(ctx, DmeSettings::QueryChar), dmeByte(ctx, DmeSettings::TempEnglishLead),
            dmeByte(ctx, DmeSettings::AuxLead), dmeByte(ctx, DmeSettings::SecondaryLead),
            dmeByte(ctx, DmeSettings::FifthLead)};
}
inline bool isLead(uint8_t b, uint8_t lead) { return b != 0 && b == lead; }
// Whether the code starts with the temporary-English lead.
inline bool startsWithEnglishLead(const EngineContext& ctx, std::u16string_view code) {
    const uint8_t lead = dmeByte(ctx, DmeSettings::TempEnglishLead);
    return lead && !code.empty() && codeByteOf(code[0]) == lead;
}

// The code in the two forms a lookup needs: the plain bytes, and the search
// form with a lead removed or the query character turned into the wildcard.
struct CodeForms {
    static constexpr uint32_t MaxBytes = 129;
    uint8_t plain[MaxBytes + 1];
    uint32_t plainLen = 0;
    uint8_t search[MaxBytes + 1];
    uint32_t searchLen = 0;
    enum Lead { None, English, Fifth, Aux, Secondary } lead = None;
};
CodeForms codeForms(const EngineContext& ctx, std::u16string_view code);

// The code as the composition shows it: keypad keys in full-width form.
std::u16string displayOfCode(std::u16string_view code);

}  // namespace zv
