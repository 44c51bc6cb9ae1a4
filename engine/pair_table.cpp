#include "engine/pair_table.h"

#include "engine/bytes.h"

#include <algorithm>

namespace zv {

PairTable::PairTable(const uint8_t* base, uint32_t size) : base_(base), size_(size) {
    if (!base || size < 4) return;
    uint32_t count = rd32(base);
    if (count > (size - 4) / 4) return;
    count_ = count;
    valid_ = true;
}

bool PairTable::readString(uint32_t off, std::u16string* out, uint32_t* next) const {
    if (out) out->clear();
    while (off <= size_ - 2) {
        char16_t u = rd16(base_ + off);
        off += 2;
        if (!u) {
            *next = off;
            return true;
        }
        if (out) out->push_back(u);
    }
    return false;
}

bool PairTable::record(uint32_t i, TextPair& out) const {
    if (!valid_ || i >= count_) return false;
    uint32_t off = rd32(base_ + 4 + 4 * i);
    if (off < 4 + 4 * count_ || off >= size_) return false;
    uint32_t mid = 0, end = 0;
    if (!readString(off, &out.first, &mid) || !readString(mid, &out.second, &end)) return false;
    out.offset = off;
    return true;
}

int PairTable::compareFirst(uint32_t i, std::u16string_view key) const {
    uint32_t off = rd32(base_ + 4 + 4 * i);
    if (off < 4 + 4 * count_ || off >= size_) return -1;
    size_t k = 0;
    while (off <= size_ - 2) {
        char16_t u = rd16(base_ + off);
        off += 2;
        if (!u) return k == key.size() ? 0 : -1;
        if (k == key.size()) return 1;
        if (u != key[k]) return u < key[k] ? -1 : 1;
        ++k;
    }
    return -1;  // unterminated: damaged
}

std::vector<TextPair> PairTable::lookup(std::u16string_view key) const {
    std::vector<TextPair> out;
    if (!valid_ || key.empty()) return out;
    uint32_t lo = 0, hi = count_;
    int64_t hit = -1;
    while (lo < hi) {
        uint32_t mid = lo + (hi - lo) / 2;
        int c = compareFirst(mid, key);
        if (c == 0) {
            hit = mid;
            break;
        }
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (hit < 0) return out;
    uint32_t first = static_cast<uint32_t>(hit), last = first;
    while (first > 0 && compareFirst(first - 1, key) == 0) --first;
    while (last + 1 < count_ && compareFirst(last + 1, key) == 0) ++last;
    for (uint32_t i = first; i <= last; ++i) {
        TextPair p;
        if (record(i, p)) out.push_back(std::move(p));
    }
    std::sort(out.begin(), out.end(), [](const TextPair& a, const TextPair& b) { return a.offset < b.offset; });
    return out;
}

std::vector<uint8_t> buildPairTable(std::vector<std::pair<std::u16string, std::u16string>> pairs) {
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    size_t bytes = 4 + 4 * pairs.size();
    for (auto& [a, b] : pairs) bytes += 2 * (a.size() + b.size() + 2);
    std::vector<uint8_t> out(bytes, 0);
    wr32(out.data(), static_cast<uint32_t>(pairs.size()));
    uint32_t off = static_cast<uint32_t>(4 + 4 * pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) {
        wr32(out.data() + 4 + 4 * i, off);
        for (const std::u16string* s : {&pairs[i].first, &pairs[i].second}) {
            for (char16_t u : *s) {
                wr16(out.data() + off, u);
                off += 2;
            }
            off += 2;
        }
    }
    return out;
}

}  // namespace zv
