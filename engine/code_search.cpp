#include "engine/code_search.h"

#include "engine/lookup_memo.h"

#include <cstring>

namespace zv {

namespace {
bool hasWildcard(const uint8_t* key, uint32_t len) { return std::memchr(key, dmg::Wildcard, len) != nullptr; }
}  // namespace

int searchCode(EngineContext& ctx, const CodeSearch& request) {
    if (request.len == 0 || request.len > dmg::MaxCodeLen || !ctx.blocks.dme) return 0;
    // The whole search is a query when its key holds the wildcard, also for
    // the keys tried in place of a leading one.
    CodeSearch s = request;
    s.wildcard = s.wildcard || hasWildcard(s.key, s.len);
    if (const int remembered = searchCodeRemembered(ctx, s); remembered >= 0) return remembered;
    if (s.key[0] != dmg::Wildcard)
        return scanTable(ctx, SlotMain, SourceMain, s) + scanTable(ctx, SlotTemp, SourceTemp, s);
    const DmeSettings& dme = ctx.blocks.dme;
    if (s.len == 1 && !(dme.d() & DmeSettings::D_QueryFirstKey)) return 0;
    uint8_t key[dmg::MaxCodeLen];
    std::memcpy(key, s.key, s.len);
    CodeSearch each = s;
    each.key = key;
    int admitted = 0;
    for (int b = 0; b < 128; ++b) {
        if (!(dme.charClass(static_cast<uint8_t>(b)) & DmeSettings::ClassCode) || b < 0x0A) continue;
        key[0] = static_cast<uint8_t>(b);
        admitted += scanTable(ctx, SlotMain, SourceMain, each) + scanTable(ctx, SlotTemp, SourceTemp, each);
    }
    return admitted;
}

}  // namespace zv
