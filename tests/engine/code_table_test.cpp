#include "engine/bytes.h"
#include "engine/code_table.h"
#include "engine/table_image.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace zv {
namespace {

std::vector<uint8_t> tableOf(std::vector<TableEntry> entries) { return buildCodeTableImage(std::move(entries)); }

CodeTable view(std::vector<uint8_t>& image) { return CodeTable(image.data(), static_cast<uint32_t>(image.size())); }

std::string codeAt(const CodeTable& t, uint32_t i) { return std::string(t.entry(i).codeBytes()); }

TEST(CodeTableFormat, RecordLayoutOfOneKeyCode) {
    RecordBuffer rec;
    ASSERT_TRUE(buildCodeRecord(attr::make(16383, CategorySystem), "a", u"工", rec));
    const uint8_t expected[] = {0xFF, 0x3F, 0x00, 0x01, 0x01, 0x61, 0x01, 0xE5, 0x5D};
    ASSERT_EQ(rec.size, sizeof expected);
    EXPECT_EQ(0, std::memcmp(rec.bytes, expected, sizeof expected));
}

TEST(CodeTableFormat, EmptyTableHasNoRanges) {
    auto image = tableOf({});
    CodeTable t = view(image);
    ASSERT_TRUE(t.valid());
    EXPECT_EQ(0u, t.count());
    EXPECT_EQ(image.size(), t.low());
    for (uint32_t k = 0; k < dmg::PrefixSlotCount; ++k) ASSERT_EQ(0, t.prefixSlot(k)) << k;
    uint32_t a, b;
    t.prefixRange(reinterpret_cast<const uint8_t*>("ab"), 2, &a, &b);
    EXPECT_EQ(a, b);
    t.exactRange(reinterpret_cast<const uint8_t*>("abc"), 3, &a, &b);
    EXPECT_EQ(a, b);
}

TEST(CodeTableFormat, FreshTableHasOneSpareSlot) {
    auto image = tableOf({{"a", u"工", 0}, {"b", u"了", 0}});
    CodeTable t = view(image);
    EXPECT_EQ(dmg::IndexStart + 4 * 2 + 4, t.low());
    EXPECT_EQ(u"系统码表", std::u16string(reinterpret_cast<const char16_t*>(image.data() + 16), 4));
    EXPECT_EQ(0, std::memcmp(image.data() + 48, "YNSN", 4));
}

TEST(CodeTableFormat, SortOrderShorterCodeAndWordFirst) {
    auto image = tableOf({{"aa", u"式", 0}, {"a", u"工", 0}, {"a", u"工人", 0}, {"ab", u"节", 0}, {"a", u"戈", 0}});
    CodeTable t = view(image);
    ASSERT_EQ(5u, t.count());
    EXPECT_EQ("a", codeAt(t, 0));
    EXPECT_EQ(u"工", t.entry(0).wordText());   // U+5DE5 < U+620C
    EXPECT_EQ(u"工人", t.entry(1).wordText());  // prefix first
    EXPECT_EQ(u"戈", t.entry(2).wordText());
    EXPECT_EQ("aa", codeAt(t, 3));
    EXPECT_EQ("ab", codeAt(t, 4));
    // The one-byte range of 'a' covers "a" and "aa"; the two-byte one only "aa".
    EXPECT_EQ(0, t.prefixSlot(128 * 'a'));
    EXPECT_EQ(5, t.prefixSlot(128 * 'a' + 1));
    EXPECT_EQ(3, t.prefixSlot(128 * 'a' + 'a'));
    EXPECT_EQ(4, t.prefixSlot(128 * 'a' + 'a' + 1));
    uint32_t f, e;
    t.exactRange(reinterpret_cast<const uint8_t*>("a"), 1, &f, &e);
    EXPECT_EQ(0u, f);
    EXPECT_EQ(3u, e);
}

TEST(CodeTableFormat, DuplicatePairsAreStoredOnce) {
    auto image = tableOf({{"a", u"工", 1}, {"a", u"工", 2}, {"a", u"戈", 3}});
    EXPECT_EQ(2u, view(image).count());
}

TEST(CodeTableFormat, KeypadCodesRoundTrip) {
    std::u16string typed = u"a１＋";
    std::string code = codeFromText(typed);
    ASSERT_EQ(3u, code.size());
    EXPECT_EQ(0x11, static_cast<uint8_t>(code[1]));
    EXPECT_EQ(0x0B, static_cast<uint8_t>(code[2]));
    EXPECT_EQ(typed, textFromCode(code));
    // Units outside the alphabet end the conversion.
    EXPECT_EQ("ab", codeFromText(u"ab中c"));
    EXPECT_EQ(0, unitFromCodeByte(0x80));
    EXPECT_EQ(110u, prefixAlphabet().size());
}

TEST(CodeTableFormat, SearchReportsPositionOrInsertionPoint) {
    auto image = tableOf({{"a", u"工", 0}, {"b", u"了", 0}, {"c", u"以", 0}});
    CodeTable t = view(image);
    std::u16string w = u"了";
    SearchKey hit{reinterpret_cast<const uint8_t*>("b"), 1, w.data(), 1};
    EXPECT_EQ(2, t.search(hit, 0, t.count()));
    SearchKey miss{reinterpret_cast<const uint8_t*>("bb"), 2, w.data(), 1};
    EXPECT_EQ(-2, t.search(miss, 0, t.count()));
}

// Brute force: the entries whose code equals / begins with `code`.
void referenceRange(const CodeTable& t, const std::string& code, bool prefix, uint32_t* first, uint32_t* end) {
    *first = *end = 0;
    bool found = false;
    for (uint32_t i = 0; i < t.count(); ++i) {
        std::string c = codeAt(t, i);
        bool match = prefix ? c.compare(0, code.size(), code) == 0 : c == code;
        if (match) {
            if (!found) *first = i;
            found = true;
            *end = i + 1;
        } else if (found) {
            break;
        }
    }
    if (!found) {
        // An empty range sits at the insertion point; only emptiness matters.
        *first = *end;
    }
}

std::vector<TableEntry> randomEntries(std::mt19937& rng, int n, const std::string& alphabet) {
    std::uniform_int_distribution<int> len(1, 5), pick(0, static_cast<int>(alphabet.size()) - 1), w(0x4E00, 0x4E40);
    std::vector<TableEntry> out;
    for (int i = 0; i < n; ++i) {
        TableEntry e;
        int l = len(rng);
        for (int k = 0; k < l; ++k) e.code.push_back(alphabet[pick(rng)]);
        int wl = 1 + static_cast<int>(rng() % 3);
        for (int k = 0; k < wl; ++k) e.word.push_back(static_cast<char16_t>(w(rng)));
        e.attributes = rng() & 0xFFFF;
        out.push_back(e);
    }
    return out;
}

TEST(CodeTableRanges, MatchBruteForceOnRandomTables) {
    std::mt19937 rng(7);
    // Letters, a keypad byte, a space and a character outside the key alphabet.
    const std::string alphabet = std::string("abcxyz;") + char(0x11) + " " + char(0x7F);
    for (int round = 0; round < 20; ++round) {
        auto image = tableOf(randomEntries(rng, 400, alphabet));
        CodeTable t = view(image);
        for (int q = 0; q < 200; ++q) {
            std::string code;
            int l = 1 + static_cast<int>(rng() % 4);
            for (int k = 0; k < l; ++k) code.push_back(alphabet[rng() % alphabet.size()]);
            if (static_cast<uint8_t>(code[0]) == 0x7F) continue;  // not reachable through the index
            for (bool prefix : {false, true}) {
                uint32_t f, e, rf, re;
                auto* bytes = reinterpret_cast<const uint8_t*>(code.data());
                if (prefix)
                    t.prefixRange(bytes, static_cast<uint32_t>(code.size()), &f, &e);
                else
                    t.exactRange(bytes, static_cast<uint32_t>(code.size()), &f, &e);
                referenceRange(t, code, prefix, &rf, &re);
                if (rf == re) {
                    EXPECT_EQ(f, e) << code << " prefix=" << prefix;
                } else {
                    EXPECT_EQ(rf, f) << code << " prefix=" << prefix;
                    EXPECT_EQ(re, e) << code << " prefix=" << prefix;
                }
            }
        }
    }
}

TEST(CodeTableRanges, PrefixIndexWindowsMatchBruteForce) {
    std::mt19937 rng(11);
    auto image = tableOf(randomEntries(rng, 3000, "abcdefgh1;,./'"));
    CodeTable t = view(image);
    // One pass over the sorted entries gives every one- and two-byte range.
    std::map<std::string, std::pair<uint32_t, uint32_t>> ranges;
    for (uint32_t i = 0; i < t.count(); ++i) {
        std::string c = codeAt(t, i);
        for (size_t n = 1; n <= 2 && n <= c.size(); ++n) {
            auto [it, added] = ranges.try_emplace(c.substr(0, n), i, i + 1);
            if (!added) it->second.second = i + 1;
        }
    }
    size_t n;
    const uint8_t* alphabet = prefixAlphabetBytes(&n);
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = alphabet[i];
        auto one = ranges.find(std::string(1, char(b)));
        if (one != ranges.end()) {
            EXPECT_EQ(int32_t(one->second.first), t.prefixSlot(128 * b));
            EXPECT_EQ(int32_t(one->second.second), t.prefixSlot(128 * b + 1));
        } else {
            EXPECT_EQ(t.prefixSlot(128 * b), t.prefixSlot(128 * b + 1));
        }
        for (size_t j = 0; j < n; ++j) {
            uint8_t f = alphabet[j];
            auto two = ranges.find(std::string{char(b), char(f)});
            if (two != ranges.end()) {
                EXPECT_EQ(int32_t(two->second.first), t.prefixSlot(128 * b + f)) << b << "," << f;
                EXPECT_EQ(int32_t(two->second.second), t.prefixSlot(128 * b + f + 1)) << b << "," << f;
            } else {
                EXPECT_EQ(t.prefixSlot(128 * b + f), t.prefixSlot(128 * b + f + 1)) << b << "," << f;
            }
        }
    }
}

TEST(CodeTableRanges, ZeroLeftInAnUncomputedSlotIsNoRange) {
    // A build over the characters that occur leaves 0 where it computed
    // nothing: here the start slot of "k`" (neither '`' nor '_' occurs),
    // while the end slot, the start of "ka", holds 2.
    auto image = tableOf({{"aa", u"式", 0}, {"ab", u"节", 0}, {"ka", u"吕", 0}, {"kc", u"叶", 0}});
    const uint32_t slot = 128 * 'k' + '`';
    wr32(image.data() + dmg::PrefixStart + 4 * slot, 0);
    CodeTable t = view(image);
    ASSERT_EQ(2, t.prefixSlot(slot + 1));
    uint32_t a, b;
    t.prefixRange(reinterpret_cast<const uint8_t*>("k`"), 2, &a, &b);
    EXPECT_EQ(a, b);
    t.exactRange(reinterpret_cast<const uint8_t*>("k`"), 2, &a, &b);
    EXPECT_EQ(a, b);
    // A range that does start at 0 is still taken from its slots.
    t.prefixRange(reinterpret_cast<const uint8_t*>("a"), 1, &a, &b);
    EXPECT_EQ(0u, a);
    EXPECT_EQ(2u, b);
}

TEST(CodeTableRobustness, HeaderInconsistentWithSizeIsInvalid) {
    auto image = tableOf({{"a", u"工", 0}});
    auto bad = image;
    wr32(bad.data() + 4, 0x7FFFFFFF);  // count far beyond the file
    EXPECT_FALSE(view(bad).valid());
    bad = image;
    wr32(bad.data(), static_cast<uint32_t>(bad.size() + 1));  // low past the end
    EXPECT_FALSE(view(bad).valid());
    bad = image;
    wr32(bad.data() + 8, 3);  // unknown type
    EXPECT_FALSE(view(bad).valid());
    bad.resize(100);
    EXPECT_FALSE(CodeTable(bad.data(), 100).valid());
}

TEST(CodeTableRobustness, CorruptedRecordsNeverReadOutside) {
    std::mt19937 rng(3);
    auto pristine = tableOf(randomEntries(rng, 500, "abcdef"));
    for (int round = 0; round < 200; ++round) {
        auto image = pristine;
        // Damage the index, the records and the prefix slots at random.
        for (int k = 0; k < 40; ++k) {
            size_t pos = rng() % image.size();
            image[pos] = static_cast<uint8_t>(rng());
        }
        for (int k = 0; k < 5; ++k) {
            size_t slot = dmg::IndexStart + 4 * (rng() % 500);
            wr32(image.data() + slot, static_cast<uint32_t>(rng()));
        }
        if (round % 3 == 0) image.resize(rng() % image.size());
        CodeTable t(image.data(), static_cast<uint32_t>(image.size()));
        uint32_t f, e;
        for (const char* code : {"a", "ab", "abc", "fed"}) {
            t.prefixRange(reinterpret_cast<const uint8_t*>(code), static_cast<uint32_t>(strlen(code)), &f, &e);
            EXPECT_LE(f, e);
            EXPECT_LE(e, t.count());
            for (uint32_t i = f; i < e; ++i) (void)t.entry(i).wordText();
        }
        if (t.valid()) rebuildPrefixIndex(t);
    }
}

TEST(TempTableLayout, PresetSlotsAndReset) {
    auto image = buildEmptyTempImage();
    ASSERT_EQ(201356u, image.size());
    CodeTable t = view(image);
    ASSERT_TRUE(t.valid());
    EXPECT_EQ(0u, t.count());
    EXPECT_EQ(image.size(), t.low());
    EXPECT_EQ(68236u, rd32(image.data() + dmg::IndexStart));
    EXPECT_EQ(68236u + 260 * 511, rd32(image.data() + dmg::IndexStart + 4 * 511));
    // A permuted slot list survives a reset; a broken one is laid out anew.
    wr32(image.data() + dmg::IndexStart, 68236 + 260);
    wr32(image.data() + dmg::IndexStart + 4, 68236);
    resetTempTable(image.data(), static_cast<uint32_t>(image.size()));
    EXPECT_EQ(68236u + 260, rd32(image.data() + dmg::IndexStart));
    wr32(image.data() + dmg::IndexStart + 8, 68236);  // duplicate slot
    resetTempTable(image.data(), static_cast<uint32_t>(image.size()));
    EXPECT_EQ(68236u, rd32(image.data() + dmg::IndexStart));
    EXPECT_EQ(68236u + 2 * 260, rd32(image.data() + dmg::IndexStart + 8));
}

}  // namespace
}  // namespace zv
