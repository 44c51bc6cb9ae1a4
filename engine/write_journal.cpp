#include "engine/write_journal.h"

#include "engine/bytes.h"
#include "platform/mapped_file.h"

#include <cstring>

namespace zv {

namespace {

constexpr uint8_t kMagic[4] = {'Z', 'V', 'J', '1'};
constexpr size_t kHead = 12;  // magic, size before, stretch count

uint32_t checksum(const uint8_t* p, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t b[4];
    wr32(b, v);
    out.insert(out.end(), b, b + 4);
}

// Copies every stretch of a checked journal back into the file.
void restore(const std::string& journal, platform::MappedFile& file) {
    const auto* p = reinterpret_cast<const uint8_t*>(journal.data());
    const uint32_t stretches = rd32(p + 8);
    size_t at = kHead;
    for (uint32_t k = 0; k < stretches; ++k) {
        const uint32_t offset = rd32(p + at), length = rd32(p + at + 4);
        at += 8;
        std::memcpy(file.data() + offset, p + at, length);
        at += length;
    }
    file.flush();
}

// Whether a journal is whole and every stretch lies inside a file of `size`
// bytes.
bool fits(const std::string& journal, uint32_t size) {
    const auto* p = reinterpret_cast<const uint8_t*>(journal.data());
    const size_t n = journal.size();
    if (n < kHead + 4 || std::memcmp(p, kMagic, 4) != 0 || rd32(p + n - 4) != checksum(p, n - 4)) return false;
    const uint32_t stretches = rd32(p + 8);
    size_t at = kHead;
    for (uint32_t k = 0; k < stretches; ++k) {
        if (n - 4 - at < 8) return false;
        const uint32_t offset = rd32(p + at), length = rd32(p + at + 4);
        at += 8;
        if (length > n - 4 - at || offset > size || length > size - offset) return false;
        at += length;
    }
    return at == n - 4;
}

}  // namespace

std::u16string journalPath(std::u16string_view path) { return std::u16string(path) + u".journal"; }

WriteJournal::WriteJournal(std::u16string_view path) : path_(path) {
    bytes_.insert(bytes_.end(), kMagic, kMagic + 4);
    put32(bytes_, 0);
    put32(bytes_, 0);
}

WriteJournal::~WriteJournal() {
    if (sealed_) rollBackJournal(path_);
}

void WriteJournal::keep(const uint8_t* base, uint32_t offset, uint32_t length) {
    if (sealed_ || length == 0) return;
    put32(bytes_, offset);
    put32(bytes_, length);
    bytes_.insert(bytes_.end(), base + offset, base + offset + length);
    ++stretches_;
}

bool WriteJournal::seal(uint32_t fileSize) {
    if (sealed_) return true;
    wr32(bytes_.data() + 4, fileSize);
    wr32(bytes_.data() + 8, stretches_);
    put32(bytes_, checksum(bytes_.data(), bytes_.size()));
    // A journal guards against a writer that dies part-way: what it wrote
    // is the system's to keep either way, and waiting for the disk at every
    // learned word would stall typing.
    if (!platform::writeWholeFile(journalPath(path_), bytes_.data(), bytes_.size(), false)) {
        platform::removeFile(journalPath(path_));
        return false;
    }
    sealed_ = true;
    return true;
}

void WriteJournal::finish() {
    if (!sealed_) return;
    platform::removeFile(journalPath(path_));
    sealed_ = false;
}

bool rollBackJournal(std::u16string_view path) {
    const std::u16string jp = journalPath(path);
    if (!platform::fileExists(jp)) return false;
    std::string journal;
    platform::MappedFile file;
    // A journal that cannot be applied now stays for a writer that can.
    if (!platform::readWholeFile(jp, journal) || !file.open(path, platform::MappedFile::Pages::OnDemand) ||
        file.isHeapCopy())
        return false;
    const bool whole = fits(journal, file.size());
    if (whole) restore(journal, file);
    file.close();
    platform::removeFile(jp);
    return whole;
}

}  // namespace zv
