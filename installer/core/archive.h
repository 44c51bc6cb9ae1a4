#pragma once
// Reading the package's archive: every entry's name is checked to stay
// inside the folder it is unpacked into, and the entry count, each entry's
// size and the total are capped, counted on the bytes really inflated
// rather than on the sizes the archive claims. A package is used whole or
// not at all: the first bad entry ends the reading.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zv::installer {

struct ArchiveLimits {
    uint32_t maxEntries = 4096;
    uint64_t maxEntryBytes = uint64_t(512) << 20;
    uint64_t maxTotalBytes = uint64_t(1) << 30;
};

enum class ArchiveStatus {
    Ok,
    Damaged,      // not an archive, a truncated or corrupt entry, a wrong checksum
    UnsafePath,   // an entry name that is absolute or climbs out, or cannot be a file name
    TooLarge,     // an entry or the whole beyond the limits
    TooMany,      // more entries than the limit
    WriteFailed,  // the receiver refused an entry
};

// Where the entries go. An entry is begun, written in pieces and ended;
// end(false) tells the receiver to drop what it was given of the entry.
struct EntryReceiver {
    virtual ~EntryReceiver() = default;
    virtual bool beginFolder(const std::u16string& path) = 0;
    virtual bool beginFile(const std::u16string& path) = 0;
    virtual bool write(const uint8_t* data, size_t size) = 0;
    virtual bool endFile(bool complete) = 0;
};

struct ArchiveReport {
    ArchiveStatus status = ArchiveStatus::Ok;
    std::u16string entry;  // the entry that failed, as named in the archive
    uint32_t entries = 0;
    uint64_t bytes = 0;
};

// Progress: bytes inflated so far and the total the archive claims.
using ArchiveProgress = std::function<void(uint64_t done, uint64_t total)>;
// One line per entry: its relative path and whether it succeeded.
using EntryLog = std::function<void(const std::u16string& path, bool ok)>;

// Checks every entry first (names, count, claimed sizes), then extracts
// them in archive order.
ArchiveReport extractArchive(std::span<const uint8_t> archive, EntryReceiver& receiver,
                             const ArchiveLimits& limits = {}, const ArchiveProgress& progress = {},
                             const EntryLog& log = {});

// An entry name as a relative path with backslashes ("$dataFiles$\main.dmg"),
// or nothing when it is empty, absolute, names a drive or stream, has a "."
// or ".." part, a character no file name may hold, or a device name.
// A name ending in a separator is a folder; its path keeps no separator.
std::optional<std::u16string> safeEntryPath(std::u16string_view name);

}  // namespace zv::installer
