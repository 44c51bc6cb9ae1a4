#include "config/avl_tree.h"
#include "config/prefix_index.h"
#include "engine/code_table.h"
#include "engine/table_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace zv::config {
namespace {

TEST(AvlTree, OrdersItemsAndNamesTheEqualOne) {
    std::mt19937 rng(7);
    std::vector<int> keys(20000);
    for (int& k : keys) k = static_cast<int>(rng() % 5000);
    auto compare = [&](uint32_t a, uint32_t b) { return keys[a] < keys[b] ? -1 : keys[a] > keys[b] ? 1 : 0; };
    AvlTree<decltype(compare)> tree(compare);
    std::set<int> seen;
    for (uint32_t i = 0; i < keys.size(); ++i) {
        uint32_t r = tree.insert(i);
        if (seen.insert(keys[i]).second) {
            EXPECT_EQ(decltype(tree)::None, r);
        } else {
            ASSERT_NE(decltype(tree)::None, r);
            EXPECT_EQ(keys[i], keys[r]);
            EXPECT_LT(r, i);  // the first one stays
        }
    }
    std::vector<int> inOrder;
    tree.forEach([&](uint32_t i) { inOrder.push_back(keys[i]); });
    EXPECT_EQ(std::vector<int>(seen.begin(), seen.end()), inOrder);
    tree.releaseInBackground().join();
    EXPECT_EQ(0u, tree.size());
}

TEST(AvlTree, StaysShallowOnSortedInput) {
    // Text tables usually come sorted; that must not deepen the tree
    // beyond the walk's fixed path.
    auto compare = [](uint32_t a, uint32_t b) { return a < b ? -1 : a > b ? 1 : 0; };
    AvlTree<decltype(compare)> tree(compare, 1 << 18);
    for (uint32_t i = 0; i < (1u << 18); ++i) tree.insert(i);
    uint32_t expect = 0;
    bool ordered = true;
    tree.forEach([&](uint32_t i) { ordered = ordered && i == expect++; });
    EXPECT_TRUE(ordered);
    EXPECT_EQ(1u << 18, expect);
}

std::vector<uint8_t> randomTable(std::mt19937& rng, std::string_view alphabet, int n) {
    std::vector<TableEntry> entries;
    for (int i = 0; i < n; ++i) {
        std::string code(1 + rng() % 4, ' ');
        for (char& c : code) c = alphabet[rng() % alphabet.size()];
        entries.push_back({code, u"字", 0});
    }
    return buildCodeTableImage(std::move(entries));
}

TEST(PrefixIndex, DirectComputationEqualsTheEngineRebuild) {
    std::mt19937 rng(11);
    for (std::string_view alphabet : {std::string_view("abcxyz"), std::string_view("a1Z;~ \x0a\x19"),
                                      std::string_view("abcdefghijklmnopqrstuvwxyz")}) {
        auto image = randomTable(rng, alphabet, 3000);
        std::vector<uint8_t> direct = image;
        CodeTable t(direct.data(), static_cast<uint32_t>(direct.size()));
        recomputePrefixIndex(t);
        EXPECT_EQ(image, direct) << alphabet;
    }
}

TEST(PrefixIndex, CodeBytesOutsideTheKeyAlphabetGetTheirRanges) {
    // DEL and the keypad comma are code bytes the engine's alphabet lacks:
    // their slots hold true ranges rather than nothing.
    auto image = buildCodeTableImage({{"a", u"x", 0}, {"\x7f" "b", u"y", 0}, {"\x0c", u"z", 0}, {"a\x0c", u"w", 0}});
    CodeTable t(image.data(), static_cast<uint32_t>(image.size()));
    recomputePrefixIndex(t);
    uint32_t first, end;
    t.prefixRange(reinterpret_cast<const uint8_t*>("\x7f"), 1, &first, &end);
    EXPECT_EQ(1u, end - first);
    EXPECT_EQ("\x7f" "b", std::string(t.entry(first).codeBytes()));
    t.prefixRange(reinterpret_cast<const uint8_t*>("a\x0c"), 2, &first, &end);
    ASSERT_EQ(1u, end - first);
    EXPECT_EQ(u"w", t.entry(first).wordText());
}

}  // namespace
}  // namespace zv::config
