#include "host/imm/ime_blocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zv::imm {
namespace {

struct Blocks {
    std::vector<uint8_t> composition = std::vector<uint8_t>(composition_block::Size, 0xCC);
    std::vector<uint8_t> candidates = std::vector<uint8_t>(candidate_block::Size, 0xCC);
    Block comp() { return {composition.data(), composition.size()}; }
    Block cand() { return {candidates.data(), candidates.size()}; }
    uint32_t at(const std::vector<uint8_t>& b, size_t off) {
        return b[off] | b[off + 1] << 8 | b[off + 2] << 16 | static_cast<uint32_t>(b[off + 3]) << 24;
    }
};

TEST(ImeBlocks, StartEmptyWithEveryAreaInItsPlace) {
    Blocks b;
    ASSERT_TRUE(initCompositionBlock(b.comp()));
    ASSERT_TRUE(initCandidateBlock(b.cand()));
    EXPECT_EQ(composition_block::Size, b.at(b.composition, 0));
    EXPECT_EQ(487u, b.at(b.composition, 24));   // reading string
    EXPECT_EQ(1132u, b.at(b.composition, 48));  // composition string
    EXPECT_EQ(2164u, b.at(b.composition, 88));  // result string
    EXPECT_EQ(u"", compositionString(b.comp()));
    EXPECT_EQ(144u, b.at(b.candidates, 8));
    EXPECT_EQ(2632u, b.at(b.candidates, 144));
    EXPECT_EQ(144u + 72 + 256 * 9, 144 + b.at(b.candidates, 144 + 24 + 4 * 9));
    EXPECT_TRUE(candidates(b.cand()).empty());

    std::vector<uint8_t> small(100);
    EXPECT_FALSE(initCompositionBlock({small.data(), small.size()}));
    EXPECT_FALSE(initCandidateBlock({small.data(), small.size()}));
    writeComposition({small.data(), small.size()}, u"wq", u"wq", 2);  // refused, not overrun
}

TEST(ImeBlocks, HoldTheCompositionAndEachResultAlone) {
    Blocks b;
    initCompositionBlock(b.comp());
    writeComposition(b.comp(), u"你", u"wq", 1);
    EXPECT_EQ(u"你", compositionString(b.comp()));
    EXPECT_EQ(u"wq", readingString(b.comp()));
    EXPECT_EQ(1u, cursorPosition(b.comp()));

    writeResult(b.comp(), u"你好");
    EXPECT_EQ(u"你好", resultString(b.comp()));
    EXPECT_EQ(u"", compositionString(b.comp()));
    writeResult(b.comp(), u"们");
    EXPECT_EQ(u"们", resultString(b.comp())) << "a second result replaces the first";

    // A code longer than its area is cut there; a result is never cut.
    writeComposition(b.comp(), std::u16string(300, u'a'), std::u16string(300, u'a'), 400);
    EXPECT_EQ(composition_block::MaxUnits, compositionString(b.comp()).size());
    EXPECT_EQ(composition_block::MaxUnits, cursorPosition(b.comp()));
    const std::u16string macro(5000, u'字');
    writeResult(b.comp(), macro);
    EXPECT_EQ(macro, resultString(b.comp()));
    writeResult(b.comp(), u"短");
    EXPECT_EQ(u"短", resultString(b.comp()));
}

TEST(ImeBlocks, ListThePageUpToTenWithTheHighlight) {
    Blocks b;
    initCandidateBlock(b.cand());
    const std::u16string longWord(400, u'长');
    std::vector<std::u16string_view> page = {u"你好", u"您好", longWord};
    writeCandidates(b.cand(), page, 1);
    std::vector<std::u16string> shown = candidates(b.cand());
    ASSERT_EQ(3u, shown.size());
    EXPECT_EQ(u"您好", shown[1]);
    EXPECT_EQ(127u, shown[2].size()) << "a slot keeps its terminator";
    EXPECT_EQ(1u, candidateSelection(b.cand()));

    std::vector<std::u16string_view> many(12, u"字");
    writeCandidates(b.cand(), many, 11);
    EXPECT_EQ(10u, candidates(b.cand()).size());
    EXPECT_EQ(9u, candidateSelection(b.cand()));
    writeCandidates(b.cand(), {}, 0);
    EXPECT_TRUE(candidates(b.cand()).empty());
}

}  // namespace
}  // namespace zv::imm
