#include "engine/input_rules.h"

#include "engine/code_table.h"

#include <cstring>

namespace zv {

CodeForms codeForms(const EngineContext& ctx, std::u16string_view code) {
    CodeForms f;
    for (char16_t u : code) {
        if (f.plainLen >= CodeForms::MaxBytes) break;
        uint8_t b = codeByteOf(u);
        if (!b) break;
        f.plain[f.plainLen++] = b;
    }
    if (!f.plainLen) return f;
    const Leads l = leadsOf(ctx);
    const uint8_t first = f.plain[0];
    if (isLead(first, l.english))
        f.lead = CodeForms::English;
    else if (isLead(first, l.fifth))
        f.lead = CodeForms::Fifth;
    else if (isLead(first, l.aux) && !auxInRange(ctx))
        f.lead = CodeForms::Aux;
    else if (isLead(first, l.secondary) && !secondarySearched(ctx))
        f.lead = CodeForms::Secondary;
    if (f.lead != CodeForms::None) {
        f.searchLen = f.plainLen - 1;
        std::memcpy(f.search, f.plain + 1, f.searchLen);
    } else {
        f.searchLen = f.plainLen;
        for (uint32_t i = 0; i < f.plainLen; ++i)
            f.search[i] = l.query && f.plain[i] == l.query ? dmg::Wildcard : f.plain[i];
    }
    return f;
}

std::u16string displayOfCode(std::u16string_view code) {
    std::u16string s(code);
    for (auto& u : s) u = shownUnit(u);
    return s;
}

}  // namespace zv
