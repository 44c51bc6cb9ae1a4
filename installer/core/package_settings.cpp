#include "installer/core/package_settings.h"

#include "engine/config_store.h"

#include <cstdio>

namespace zv::installer {

namespace {

constexpr size_t kNameUnits = 40;

// A name that becomes part of a file or folder path: no separators (except
// where a folder path is wanted), no "..", nothing a file name cannot hold.
bool safeName(std::u16string_view name, bool folderPath) {
    if (name.empty() || name.size() >= kNameUnits) return false;
    if (name.front() == u'\\' || name.back() == u'\\' || name.find(u"..") != std::u16string_view::npos) return false;
    for (char16_t c : name) {
        if (c < 0x20 || std::u16string_view(u"/:*?\"<>|").find(c) != std::u16string_view::npos) return false;
        if (c == u'\\' && !folderPath) return false;
    }
    return true;
}

std::u16string guidText(const SoftSettings& soft) {
    const size_t at = SoftSettings::ServiceGuid;
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", soft.u32(at),
                  soft.u16(at + 4), soft.u16(at + 6), soft.u8(at + 8), soft.u8(at + 9), soft.u8(at + 10),
                  soft.u8(at + 11), soft.u8(at + 12), soft.u8(at + 13), soft.u8(at + 14), soft.u8(at + 15));
    return std::u16string(text, text + 38);
}

bool nullGuid(const SoftSettings& soft) {
    for (size_t i = 0; i < 16; ++i)
        if (soft.u8(SoftSettings::ServiceGuid + i)) return false;
    return true;
}

}  // namespace

std::optional<PackageSettings> readPackageSettings(std::span<const uint8_t> configDsc) {
    if (configDsc.size() > UINT32_MAX) return std::nullopt;
    // The blocks are read in a copy: finding them needs writable bytes.
    std::vector<uint8_t> copy(configDsc.begin(), configDsc.end());
    const SettingsBlocks blocks = findBlocks(copy.data(), static_cast<uint32_t>(copy.size()));
    if (!blocks.ime || !blocks.soft || nullGuid(blocks.soft)) return std::nullopt;
    using S = SoftSettings;
    const SoftSettings& soft = blocks.soft;
    PackageSettings p;
    p.guid = guidText(soft);
    p.displayName = soft.text(S::DisplayName, kNameUnits);
    p.languageName = soft.text(S::ShortName, kNameUnits);
    p.imeName = soft.text(S::Identifier, kNameUnits);
    p.folder = soft.text(S::Folder, kNameUnits);
    p.version = soft.text(S::Version, kNameUnits);
    p.author = soft.text(S::Author, kNameUnits);
    p.homePage = soft.text(S::HomePage, S::HomePageUnits);
    p.updateUrl = soft.text(S::UpdateUrl, S::UpdateUrlUnits);
    p.language = soft.u16(S::Language) ? soft.u16(S::Language) : DefaultLanguage;
    p.framework = blocks.ime.bit(ImeSettings::OptionC, ImeSettings::C_Framework);
    p.style = blocks.ime.a() & ImeSettings::A_StyleMask;
    if (!safeName(p.displayName, false) || !safeName(p.imeName, false) || !safeName(p.folder, true) ||
        p.languageName.empty() || p.version.empty())
        return std::nullopt;
    return p;
}

bool isServiceStyle(uint32_t style) { return (style & ImeSettings::A_StyleMask) != 0; }

bool switchToEmbeddedStyle(std::vector<uint8_t>& configDsc) {
    if (configDsc.size() > UINT32_MAX) return false;
    SettingsBlocks blocks = findBlocks(configDsc.data(), static_cast<uint32_t>(configDsc.size()));
    if (!blocks.ime || !blocks.ime.bit(ImeSettings::OptionC, ImeSettings::C_Framework)) return false;
    if (isServiceStyle(blocks.ime.a())) return false;
    blocks.ime.setBit(ImeSettings::OptionA, ImeSettings::A_StyleEmbedCode, true);
    return true;
}

uint32_t installedStyle(const PackageSettings& p, bool windows8OrLater) {
    if (windows8OrLater && p.framework && !isServiceStyle(p.style)) return p.style | ImeSettings::A_StyleEmbedCode;
    return p.style;
}

bool profileEnabled(const PackageSettings& p, bool windows8OrLater) {
    return p.framework && isServiceStyle(installedStyle(p, windows8OrLater));
}

}  // namespace zv::installer
