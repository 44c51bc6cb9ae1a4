#include "engine/config_store.h"

#include "engine/bytes.h"

namespace zv {


std::u16string SettingsBlock::text(size_t off, size_t units) const {
    std::u16string s;
    for (size_t i = 0; i < units; ++i) {
        char16_t u = rd16(base + off + 2 * i);
        if (!u) break;
        s.push_back(u);
    }
    return s;
}

void SettingsBlock::setText(size_t off, size_t units, std::u16string_view value) {
    if (units == 0) return;
    size_t n = value.size() < units - 1 ? value.size() : units - 1;
    for (size_t i = 0; i < units; ++i) wr16(base + off + 2 * i, i < n ? value[i] : 0);
}

int ImeSettings::pageSize() const {
    int n = static_cast<int>(b() >> B_PageSizeShift);
    return n == 0 ? 5 : n;
}

uint8_t* findBlock(uint8_t* data, uint32_t size, std::u16string_view name, uint32_t minSize) {
    if (!data || size < 4) return nullptr;
    uint32_t count = data[0];  // the low byte holds the count
    if (count > (size - 4) / 4) count = (size - 4) / 4;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t off = rd32(data + 4 + 4 * i);
        if (off > size || size - off < section::Fields) continue;
        uint32_t declared = rd32(data + off);
        if (declared < minSize || declared > size - off) continue;
        bool same = true;
        for (size_t k = 0; k < section::NameUnits && same; ++k) {
            char16_t u = rd16(data + off + section::Name + 2 * k);
            char16_t want = k < name.size() ? name[k] : 0;
            if (u != want) same = false;
            if (!want) break;
        }
        if (same) return data + off;
    }
    return nullptr;
}

SettingsBlocks findBlocks(uint8_t* data, uint32_t size) {
    SettingsBlocks b;
    b.ime.base = findBlock(data, size, ImeSettings::Name, ImeSettings::Size);
    b.dme.base = findBlock(data, size, DmeSettings::Name, DmeSettings::Size);
    b.skin.base = findBlock(data, size, SkinSettings::Name, SkinSettings::Size);
    b.soft.base = findBlock(data, size, SoftSettings::Name, SoftSettings::Size);
    return b;
}

std::vector<uint8_t> newConfigStore() {
    struct Section {
        std::u16string_view name;
        uint16_t id;
        uint32_t size;
    };
    const Section sections[] = {
        {ImeSettings::Name, ImeSettings::Id, ImeSettings::Size},
        {DmeSettings::Name, DmeSettings::Id, DmeSettings::Size},
        {SkinSettings::Name, SkinSettings::Id, SkinSettings::Size},
        {SoftSettings::Name, SoftSettings::Id, SoftSettings::Size},
    };
    uint32_t total = 4 + 4 * 4;
    for (auto& s : sections) total += s.size;
    std::vector<uint8_t> out(total, 0);
    wr32(out.data(), 4);
    uint32_t off = 4 + 4 * 4;
    for (int i = 0; i < 4; ++i) {
        wr32(out.data() + 4 + 4 * i, off);
        uint8_t* p = out.data() + off;
        wr32(p + section::Size, sections[i].size);
        wr16(p + section::Id, sections[i].id);
        for (size_t k = 0; k < sections[i].name.size(); ++k) wr16(p + section::Name + 2 * k, sections[i].name[k]);
        off += sections[i].size;
    }
    return out;
}

}  // namespace zv
