#include "installer/core/font_names.h"

namespace zv::installer {

namespace {

constexpr uint32_t kCollectionTag = 0x74746366;  // "ttcf"
constexpr uint32_t kTrueTypeVersion = 0x00010000;
constexpr uint32_t kAppleTrueTypeTag = 0x74727565;  // "true"
constexpr uint32_t kOpenTypeTag = 0x4F54544F;       // "OTTO"
constexpr uint32_t kNameTag = 0x6E616D65;           // "name"

constexpr size_t kFaceHeaderBytes = 12;
constexpr size_t kTableRecordBytes = 16;
constexpr size_t kNameHeaderBytes = 6;
constexpr size_t kNameRecordBytes = 12;
// Collections in use hold a handful of faces; a count beyond this is a
// damaged or hostile header, not a font.
constexpr uint32_t kMostFaces = 64;
// What the system's font list shows of a name; longer is no real name.
constexpr size_t kMostNameUnits = 255;

constexpr uint16_t kFamilyNameId = 1;
constexpr uint16_t kFullNameId = 4;
constexpr uint16_t kUnicodePlatform = 0;
constexpr uint16_t kMacintoshPlatform = 1;
constexpr uint16_t kWindowsPlatform = 3;
constexpr uint16_t kWindowsSymbolEncoding = 0;
constexpr uint16_t kWindowsUnicodeEncoding = 1;
constexpr uint16_t kWindowsFullUnicodeEncoding = 10;
constexpr uint16_t kMacRomanEncoding = 0;
constexpr uint16_t kEnglishUnitedStates = 0x0409;

// Big-endian reads that refuse to leave the bytes.
struct Reader {
    std::span<const uint8_t> bytes;
    bool has(size_t at, size_t count) const { return at <= bytes.size() && count <= bytes.size() - at; }
    std::optional<uint16_t> u16(size_t at) const {
        if (!has(at, 2)) return std::nullopt;
        return static_cast<uint16_t>((bytes[at] << 8) | bytes[at + 1]);
    }
    std::optional<uint32_t> u32(size_t at) const {
        if (!has(at, 4)) return std::nullopt;
        return (uint32_t(bytes[at]) << 24) | (uint32_t(bytes[at + 1]) << 16) | (uint32_t(bytes[at + 2]) << 8) |
               bytes[at + 3];
    }
};

// How well a name record suits the system's font list: the Windows
// platform's English name first, as the system itself lists fonts.
int suitability(uint16_t platform, uint16_t encoding, uint16_t language) {
    if (platform == kWindowsPlatform &&
        (encoding == kWindowsUnicodeEncoding || encoding == kWindowsFullUnicodeEncoding ||
         encoding == kWindowsSymbolEncoding))
        return language == kEnglishUnitedStates ? 4 : 3;
    if (platform == kUnicodePlatform) return 2;
    if (platform == kMacintoshPlatform && encoding == kMacRomanEncoding && language == 0) return 1;
    return 0;
}

// The text of one record; Macintosh names only when they are plain ASCII,
// the one part of their encoding that needs no table.
std::optional<std::u16string> decodeName(std::span<const uint8_t> raw, bool utf16) {
    std::u16string s;
    if (utf16) {
        if (raw.size() % 2) return std::nullopt;
        for (size_t i = 0; i < raw.size(); i += 2) s += static_cast<char16_t>((raw[i] << 8) | raw[i + 1]);
    } else {
        for (uint8_t b : raw) {
            if (b >= 0x80) return std::nullopt;
            s += static_cast<char16_t>(b);
        }
    }
    while (!s.empty() && s.back() == u' ') s.pop_back();
    while (!s.empty() && s.front() == u' ') s.erase(s.begin());
    if (s.empty() || s.size() > kMostNameUnits) return std::nullopt;
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        // Control characters and broken surrogate pairs cannot stand in a
        // registry value name the user reads.
        if (c < 0x20 || c == 0x7F) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return std::nullopt;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        }
    }
    return s;
}

// The full name of the face whose table directory starts at `face`, or its
// family name when it has no usable full name.
std::optional<std::u16string> faceName(const Reader& r, size_t face) {
    const auto version = r.u32(face);
    const auto tables = r.u16(face + 4);
    if (!version || !tables) return std::nullopt;
    if (*version != kTrueTypeVersion && *version != kAppleTrueTypeTag && *version != kOpenTypeTag) return std::nullopt;
    // A directory that claims more tables than the file holds is damaged.
    if (!r.has(face + kFaceHeaderBytes, size_t(*tables) * kTableRecordBytes)) return std::nullopt;
    std::optional<size_t> nameAt;
    size_t nameLength = 0;
    for (size_t i = 0; i < *tables; ++i) {
        const size_t record = face + kFaceHeaderBytes + i * kTableRecordBytes;
        const auto tag = r.u32(record);
        const auto offset = r.u32(record + 8);
        const auto length = r.u32(record + 12);
        if (!tag || !offset || !length) return std::nullopt;
        if (*tag != kNameTag) continue;
        if (!r.has(*offset, *length) || *length < kNameHeaderBytes) return std::nullopt;
        nameAt = *offset;
        nameLength = *length;
        break;
    }
    if (!nameAt) return std::nullopt;
    const Reader table{r.bytes.subspan(*nameAt, nameLength)};
    const auto count = table.u16(2);
    const auto stringsAt = table.u16(4);
    if (!count || !stringsAt || *stringsAt > nameLength) return std::nullopt;
    std::optional<std::u16string> best;
    int bestScore = 0;
    uint16_t bestId = 0;
    for (size_t i = 0; i < *count; ++i) {
        const size_t record = kNameHeaderBytes + i * kNameRecordBytes;
        const auto platform = table.u16(record);
        const auto encoding = table.u16(record + 2);
        const auto language = table.u16(record + 4);
        const auto id = table.u16(record + 6);
        const auto length = table.u16(record + 8);
        const auto offset = table.u16(record + 10);
        if (!platform || !encoding || !language || !id || !length || !offset) return std::nullopt;
        if (*id != kFullNameId && *id != kFamilyNameId) continue;
        const int score = suitability(*platform, *encoding, *language);
        if (score == 0) continue;
        // A full name beats a family name; within one kind, the better record.
        if (best && (bestId == kFullNameId && *id == kFamilyNameId)) continue;
        if (best && bestId == *id && score <= bestScore) continue;
        const size_t at = size_t(*stringsAt) + *offset;
        if (!table.has(at, *length)) continue;
        auto text = decodeName(table.bytes.subspan(at, *length), *platform != kMacintoshPlatform);
        if (!text) continue;
        best = std::move(text);
        bestScore = score;
        bestId = *id;
    }
    return best;
}

}  // namespace

std::optional<FontNames> readFontNames(std::span<const uint8_t> bytes) {
    const Reader r{bytes};
    const auto tag = r.u32(0);
    if (!tag) return std::nullopt;
    FontNames names;
    if (*tag != kCollectionTag) {
        auto name = faceName(r, 0);
        if (!name) return std::nullopt;
        names.faces.push_back(std::move(*name));
        return names;
    }
    names.collection = true;
    const auto faces = r.u32(8);
    if (!faces || *faces == 0 || *faces > kMostFaces) return std::nullopt;
    for (size_t i = 0; i < *faces; ++i) {
        const auto offset = r.u32(12 + i * 4);
        if (!offset) return std::nullopt;
        auto name = faceName(r, *offset);
        if (!name) return std::nullopt;
        names.faces.push_back(std::move(*name));
    }
    return names;
}

std::u16string fontValueName(const FontNames& names) {
    std::u16string value;
    for (const std::u16string& face : names.faces) {
        if (!value.empty()) value += u" & ";
        value += face;
    }
    return value + (names.collection ? u" (TrueType-C)" : u" (TrueType)");
}

}  // namespace zv::installer
