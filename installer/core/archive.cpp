#include "installer/core/archive.h"

#include "platform/utf.h"
#include "ui/zip_memory.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <minizip/unzip.h>
#include <set>
#include <vector>

namespace zv::installer {

namespace {

constexpr size_t kMaxNameBytes = 512;
constexpr size_t kMaxPathUnits = 200;  // leaves room for the install folder within MAX_PATH
constexpr size_t kChunkBytes = 64 * 1024;

// An open archive, closed on every path out.
class OpenArchive {
public:
    explicit OpenArchive(std::span<const uint8_t> bytes) : stream_{bytes.data(), nullptr, bytes.size(), 0} {
        zlib_filefunc64_def f = ui::zipMemoryFunctions(&stream_);
        if (!bytes.empty()) zip_ = unzOpen2_64("", &f);
    }
    ~OpenArchive() {
        if (zip_) unzClose(zip_);
    }
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;
    unzFile get() const { return zip_; }

private:
    ui::ZipMemory stream_;
    unzFile zip_ = nullptr;
};

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool isDeviceName(std::u16string_view part) {
    // "CON", "NUL", "COM1" and the like are devices whatever their extension.
    std::u16string base(part.substr(0, part.find(u'.')));
    for (char16_t& c : base)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    static constexpr std::array<std::u16string_view, 4> plain = {u"CON", u"PRN", u"AUX", u"NUL"};
    if (std::find(plain.begin(), plain.end(), base) != plain.end()) return true;
    return base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) && base[3] >= u'0' &&
           base[3] <= u'9';
}

bool validPart(std::u16string_view part) {
    if (part.empty() || part == u"." || part == u"..") return false;
    // Windows drops trailing dots and blanks: "a." would be another name's file.
    if (part.back() == u'.' || part.back() == u' ') return false;
    for (char16_t c : part)
        if (c < 0x20 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos) return false;
    return !isDeviceName(part);
}

// The entry's name as text: UTF-8 when the archive says so or the bytes
// are valid UTF-8 anyway; nothing otherwise.
std::optional<std::u16string> entryName(const char* bytes, size_t size) {
    std::string_view raw(bytes, size);
    if (raw.find('\0') != std::string_view::npos) return std::nullopt;
    std::u16string text = utf8ToUtf16(raw);
    if (utf16ToUtf8(text) != raw) return std::nullopt;
    return text;
}

struct EntryInfo {
    std::u16string name;  // as in the archive
    std::u16string path;  // safe relative path
    bool folder = false;
    uint64_t claimed = 0;
};

}  // namespace

std::optional<std::u16string> safeEntryPath(std::u16string_view name) {
    if (name.empty() || isSeparator(name.front())) return std::nullopt;
    std::u16string_view rest = name;
    if (isSeparator(rest.back())) rest.remove_suffix(1);
    std::u16string out;
    for (;;) {
        const size_t cut = static_cast<size_t>(std::find_if(rest.begin(), rest.end(), isSeparator) - rest.begin());
        const std::u16string_view part = rest.substr(0, cut);
        if (!validPart(part)) return std::nullopt;
        if (!out.empty()) out += u'\\';
        out += part;
        if (cut == rest.size()) break;
        rest = rest.substr(cut + 1);  // an empty rest fails as an empty part
    }
    if (out.empty() || out.size() > kMaxPathUnits) return std::nullopt;
    return out;
}

ArchiveReport extractArchive(std::span<const uint8_t> archive, EntryReceiver& receiver, const ArchiveLimits& limits,
                             const ArchiveProgress& progress, const EntryLog& log) {
    ArchiveReport report;
    OpenArchive zip(archive);
    if (!zip.get()) {
        report.status = ArchiveStatus::Damaged;
        return report;
    }
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip.get(), &global) != UNZ_OK) {
        report.status = ArchiveStatus::Damaged;
        return report;
    }
    if (global.number_entry > limits.maxEntries) {
        report.status = ArchiveStatus::TooMany;
        return report;
    }

    // First pass: names and claimed sizes, before anything is written.
    std::vector<EntryInfo> entries;
    std::set<std::u16string> seen;
    uint64_t claimedTotal = 0;
    int r = unzGoToFirstFile(zip.get());
    for (; r == UNZ_OK; r = unzGoToNextFile(zip.get())) {
        if (entries.size() >= limits.maxEntries) {
            report.status = ArchiveStatus::TooMany;
            return report;
        }
        unz_file_info64 info{};
        char raw[kMaxNameBytes + 1] = {};
        if (unzGetCurrentFileInfo64(zip.get(), &info, raw, sizeof raw, nullptr, 0, nullptr, 0) != UNZ_OK ||
            info.size_filename > kMaxNameBytes) {
            report.status = ArchiveStatus::Damaged;
            return report;
        }
        EntryInfo e;
        const auto name = entryName(raw, info.size_filename);
        e.name = name ? *name : utf8ToUtf16(std::string_view(raw, info.size_filename));
        const auto path = name ? safeEntryPath(*name) : std::nullopt;
        if (!path) {
            report.status = ArchiveStatus::UnsafePath;
            report.entry = e.name;
            return report;
        }
        e.path = *path;
        e.folder = isSeparator(name->back());
        e.claimed = info.uncompressed_size;
        // Two entries for one file (names differ only in case or separator)
        // would leave whichever came last.
        std::u16string key = e.path;
        for (char16_t& c : key)
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (!e.folder && !seen.insert(key).second) {
            report.status = ArchiveStatus::Damaged;
            report.entry = e.name;
            return report;
        }
        if (e.claimed > limits.maxEntryBytes || claimedTotal + e.claimed > limits.maxTotalBytes) {
            report.status = ArchiveStatus::TooLarge;
            report.entry = e.name;
            return report;
        }
        claimedTotal += e.claimed;
        entries.push_back(std::move(e));
    }
    if (r != UNZ_END_OF_LIST_OF_FILE || entries.size() != global.number_entry) {
        report.status = ArchiveStatus::Damaged;
        return report;
    }

    // Second pass: the data, counted as it is inflated.
    std::vector<uint8_t> chunk(kChunkBytes);
    r = unzGoToFirstFile(zip.get());
    for (const EntryInfo& e : entries) {
        if (r != UNZ_OK) {
            report.status = ArchiveStatus::Damaged;
            return report;
        }
        report.entry = e.name;
        if (e.folder) {
            if (!receiver.beginFolder(e.path)) {
                report.status = ArchiveStatus::WriteFailed;
                if (log) log(e.path, false);
                return report;
            }
        } else {
            if (unzOpenCurrentFile(zip.get()) != UNZ_OK) {
                report.status = ArchiveStatus::Damaged;
                if (log) log(e.path, false);
                return report;
            }
            if (!receiver.beginFile(e.path)) {
                unzCloseCurrentFile(zip.get());
                report.status = ArchiveStatus::WriteFailed;
                if (log) log(e.path, false);
                return report;
            }
            uint64_t written = 0;
            ArchiveStatus status = ArchiveStatus::Ok;
            for (;;) {
                const int n = unzReadCurrentFile(zip.get(), chunk.data(), static_cast<unsigned>(chunk.size()));
                if (n < 0) {
                    status = ArchiveStatus::Damaged;
                    break;
                }
                if (n == 0) break;
                written += static_cast<uint64_t>(n);
                // More than the header claimed is a damaged entry; the caps
                // hold whatever the header said.
                if (written > e.claimed) {
                    status = written > limits.maxEntryBytes ? ArchiveStatus::TooLarge : ArchiveStatus::Damaged;
                    break;
                }
                if (!receiver.write(chunk.data(), static_cast<size_t>(n))) {
                    status = ArchiveStatus::WriteFailed;
                    break;
                }
                report.bytes += static_cast<uint64_t>(n);
                if (progress) progress(report.bytes, claimedTotal);
            }
            // Closing checks the checksum of an entry read to its end.
            const int closed = unzCloseCurrentFile(zip.get());
            if (status == ArchiveStatus::Ok && (closed != UNZ_OK || written != e.claimed))
                status = ArchiveStatus::Damaged;
            const bool kept = receiver.endFile(status == ArchiveStatus::Ok);
            if (status == ArchiveStatus::Ok && !kept) status = ArchiveStatus::WriteFailed;
            if (status != ArchiveStatus::Ok) {
                report.status = status;
                if (log) log(e.path, false);
                return report;
            }
        }
        if (log) log(e.path, true);
        ++report.entries;
        r = unzGoToNextFile(zip.get());
    }
    report.entry.clear();
    return report;
}

}  // namespace zv::installer
