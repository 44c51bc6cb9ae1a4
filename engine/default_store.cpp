#include "engine/default_store.h"

#include "engine/settings_text.h"
#include "platform/utf.h"

namespace zv {
namespace {

struct CategoryName {
    int category;
    std::u16string_view name;
};
constexpr CategoryName kCategoryNames[] = {
    {0, u"五笔"},          {1, u"一简"},          {2, u"自造词"},        {3, u"生僻字"},
    {4, u"拼音"},          {16, u"二简"},         {17, u"三简(除二简)"}, {18, u"常用(除简码)"},
    {19, u"三简(二简字)"}, {20, u"词组"},         {21, u"常用(一简字)"}, {22, u"常用(二简字)"},
    {23, u"常用(三简字)"}, {24, u"符号"},
};

constexpr uint32_t kCategoryDefined = 0x2, kCategoryEditable = 0x1;

}  // namespace

void writeShippedSoftSettings(SoftSettings& soft) {
    using S = SoftSettings;
    soft.setText(S::DisplayName, 40, u"五笔输入法（标准86版）");
    soft.setText(S::ShortName, 40, u"五笔 - 标准86版");
    soft.setText(S::Identifier, 40, u"VoraZerevo86");
    soft.setText(S::Folder, 40, u"VoraZerevo\\ZU86");
    // The GUID in its binary layout (Data1, Data2, Data3 little-endian, then
    // the eight bytes of Data4), followed by the suffix text.
    // It is the instance the library serves (its string resource), so that
    // the installer registers the class the library answers for.
    soft.setU32(S::ServiceGuid, 0x6F3A8E21);
    soft.setU16(S::ServiceGuid + 4, 0x5C4B);
    soft.setU16(S::ServiceGuid + 6, 0x4D97);
    const uint8_t data4[8] = {0xA1, 0xE0, 0x2B, 0x7C, 0x9D, 0x4F, 0x8A, 0x63};
    for (size_t i = 0; i < 8; ++i) soft.setU8(S::ServiceGuid + 8 + i, data4[i]);
    soft.setText(S::ServiceGuid + 16, (S::Language - S::ServiceGuid - 16) / 2, u"_ime_zoruraved");
    soft.setU16(S::Language, 0x0804);
    soft.setText(S::Author, 40, u"Zorvan");
    soft.setText(S::Version, 40, u"0.18");
    for (const auto& c : kCategoryNames)
        soft.setText(S::CategoryNames + 2 * S::CategoryNameUnits * static_cast<size_t>(c.category),
                     S::CategoryNameUnits, c.name);
    auto setRights = [&](int category, uint32_t rights) {
        soft.setU32(S::CategoryRights + 4 * static_cast<size_t>(category), rights);
    };
    setRights(2, kCategoryDefined | kCategoryEditable);
    for (int category : {1, 3, 4}) setRights(category, kCategoryDefined);
    for (int category = 16; category <= 24; ++category) setRights(category, kCategoryDefined);
}

void setShippedCharacterClasses(DmeSettings& dme) {
    using D = DmeSettings;
    for (char c = 'a'; c <= 'z'; ++c) {
        size_t at = D::Classes + static_cast<uint8_t>(c);
        dme.setU8(at, dme.u8(at) | D::ClassCode | D::ClassCodeOrFunction);
    }
    for (char c : {'(', ')'}) {
        size_t at = D::Classes + static_cast<uint8_t>(c);
        dme.setU8(at, dme.u8(at) | D::ClassCodeOrFunction);
    }
}

void writeShippedStoredValues(SettingsBlocks& blocks) {
    writeShippedSoftSettings(blocks.soft);
    setShippedCharacterClasses(blocks.dme);
    blocks.ime.setU32(ImeSettings::OptionE, 0x3F);
    blocks.ime.setBit(ImeSettings::OptionC, ImeSettings::C_Framework, true);
}

std::u16string defaultSettingsText() { return utf8ToUtf16(defaultSettingsTextUtf8()); }

std::vector<uint8_t> shippedConfigStore() {
    std::vector<uint8_t> store = newConfigStore();
    SettingsBlocks blocks = findBlocks(store.data(), static_cast<uint32_t>(store.size()));
    writeShippedStoredValues(blocks);
    readSettingsText(blocks, defaultSettingsText());
    return store;
}

}  // namespace zv
