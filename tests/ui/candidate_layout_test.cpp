#include "tests/ui/ui_fixture.h"
#include "ui/candidate_window.h"

#include <gtest/gtest.h>

namespace zv::ui {
namespace {

// Figures below use the fixture: composition "abcd" 28 x 14, labels 6 x 12,
// candidate texts 16 per character x 16, tips 6 per character x 12; code at
// (5, 4), candidates at (5, 24); gaps 2 (label), 3 (tip), 8 (candidates);
// line gap 4; margins 6 (right) and 5 (bottom); backgrounds 30 x 30.

struct Layout : ::testing::Test {
    test::LayoutRig rig;
    CandidateWindowState w;

    void run() { layoutCandidateWindow(w, rig.input()); }
    void style(uint32_t add, uint32_t remove = 0) { rig.options.skin = (rig.options.skin | add) & ~remove; }
    CandidateLayout& section(LayoutSection s) { return rig.skin.info.layout(s); }
    static Point at(const DisplayPart& p) { return {p.x, p.y}; }
};

TEST_F(Layout, TwoRowsWithComposition) {
    run();
    ASSERT_TRUE(w.showable());
    EXPECT_EQ(150, w.width);  // 6 + max(walk end 144, 5 + 28 + 6)
    EXPECT_EQ(45, w.height);  // 24 + 5 + 16
    EXPECT_EQ((Point{5, 4}), at(w.composition));
    EXPECT_EQ((Point{5, 24}), at(w.slots[0].label));
    EXPECT_EQ((Point{13, 24}), at(w.slots[0].text));
    EXPECT_EQ((Point{32, 24}), at(w.slots[0].tip));
    EXPECT_EQ((Point{46, 24}), at(w.slots[1].label));
    EXPECT_EQ((Point{117, 24}), at(w.slots[2].text));
    EXPECT_FALSE(w.slots[3].text.visible());
    EXPECT_EQ(150, w.background.width);
    EXPECT_EQ(45, w.background.height);
    // Buttons: past the stretch range they follow the right or bottom edge.
    const WindowButton& prev = w.button(CandidateButton::PreviousPage);
    EXPECT_EQ((Point{136, 2}), (Point{prev.x, prev.y}));
    EXPECT_EQ(StateDisabled, prev.state);  // first page
    const WindowButton& next = w.button(CandidateButton::NextPage);
    EXPECT_EQ((Point{0, 0}), (Point{next.x, next.y}));
    EXPECT_EQ(StateNormal, next.state);
    const WindowButton& punct = w.button(CandidateButton::Punctuation);
    EXPECT_EQ((Point{1, 35}), (Point{punct.x, punct.y}));
    EXPECT_EQ(ButtonKind::ChinesePunctuation, punct.image);
    EXPECT_FALSE(w.button(CandidateButton::Width).shown());
    EXPECT_FALSE(w.button(CandidateButton::Menu).shown());

    // A composition longer than the row widens the window.
    rig.view.display = std::u16string(30, u'x');
    run();
    EXPECT_EQ(6 + 5 + 210 + 6, w.width);
    // Right to left: the candidates end at the right margin, the composition too.
    rig.view.display = u"abcd";
    style(SkinSettings::RightToLeft);
    run();
    EXPECT_EQ(150, w.width);
    EXPECT_EQ(116, w.composition.x);
    EXPECT_EQ(138, w.slots[0].label.x);
    EXPECT_EQ(120, w.slots[0].text.x);
    EXPECT_EQ(111, w.slots[0].tip.x);
}

TEST_F(Layout, OneRowCompositionFirst) {
    section(LayoutSection::Merged).valueA = 40;
    run();
    EXPECT_EQ((Point{5, 4}), at(w.composition));
    EXPECT_EQ((Point{53, 4}), at(w.slots[0].label));  // 5 + max(28, 40) + 8
    EXPECT_EQ(198, w.width);
    EXPECT_EQ(45, w.height);  // 5 + 24 + 16
    style(SkinSettings::RightToLeft);
    run();
    EXPECT_EQ(5, w.composition.x);
    EXPECT_EQ(186, w.slots[0].label.x);
}

TEST_F(Layout, OneRowCandidatesFirst) {
    section(LayoutSection::Merged).valueB = 200;
    run();
    EXPECT_EQ((Point{5, 24}), at(w.slots[0].label));
    EXPECT_EQ((Point{213, 24}), at(w.composition));  // 8 + 5 + 200: the row is narrower than B
    EXPECT_EQ(247, w.width);
    section(LayoutSection::Merged).valueB = 100;
    run();
    EXPECT_EQ(152, w.composition.x);  // 8 + walk end 144
    style(SkinSettings::RightToLeft);
    run();
    EXPECT_EQ(w.width - 28 - 6, w.composition.x);
    EXPECT_EQ(w.composition.x - 8 - 6, w.slots[0].label.x);
}

TEST_F(Layout, Rows) {
    style(0, SkinSettings::LayoutHorizontal);
    run();
    EXPECT_EQ(66, w.width);   // max(55 + 5, 5 + 28) + 6
    EXPECT_EQ(89, w.height);  // 3 rows of 16 + 4, + 5 + 24
    EXPECT_EQ((Point{5, 28}), at(w.slots[0].label));  // bottom-aligned in the row
    EXPECT_EQ((Point{13, 24}), at(w.slots[0].text));
    EXPECT_EQ((Point{54, 28}), at(w.slots[0].tip));   // right-aligned at 5 + 55
    EXPECT_EQ((Point{48, 48}), at(w.slots[1].tip));
    EXPECT_EQ((Point{13, 64}), at(w.slots[2].text));
    style(SkinSettings::RightToLeft);
    run();
    EXPECT_EQ(32, w.composition.x);
    EXPECT_EQ(54, w.slots[0].label.x);
    EXPECT_EQ(36, w.slots[0].text.x);
    EXPECT_EQ(5, w.slots[0].tip.x);
}

TEST_F(Layout, Columns) {
    style(SkinSettings::LayoutLeftColumns, SkinSettings::LayoutHorizontal);
    run();
    // Candidate texts run top to bottom: their sides are swapped and they
    // are drawn one text height to the right.
    EXPECT_EQ(16, w.slots[1].text.width);
    EXPECT_EQ(32, w.slots[1].text.height);
    EXPECT_EQ(16, w.slots[1].text.xOffset);
    EXPECT_EQ(71, w.width);    // 3 x (16 + 4) + 5 + 6
    EXPECT_EQ(102, w.height);  // 69 + 4 + 24 + 5
    EXPECT_EQ((Point{10, 24}), at(w.slots[0].label));
    EXPECT_EQ((Point{5, 38}), at(w.slots[0].text));
    EXPECT_EQ((Point{10, 81}), at(w.slots[0].tip));
    EXPECT_EQ((Point{27, 81}), at(w.slots[1].tip));
    EXPECT_EQ(45, w.slots[2].text.x);
    style(SkinSettings::RightToLeft);
    run();
    EXPECT_EQ(37, w.composition.x);
    EXPECT_EQ(49, w.slots[0].text.x);
    EXPECT_EQ(29, w.slots[1].text.x);
    EXPECT_EQ(9, w.slots[2].text.x);
}

TEST_F(Layout, SectionsFollowStyleAndLayout) {
    style(0, SkinSettings::LayoutMerged);
    run();
    EXPECT_EQ(LayoutSection::Separate, w.section);
    EXPECT_FALSE(w.composition.visible());
    EXPECT_EQ(150, w.width);
    EXPECT_EQ((Point{5, 24}), at(w.slots[0].label));
    rig.options.imeA = ImeSettings::A_StyleEmbedCode;
    run();
    EXPECT_EQ(LayoutSection::Embedded, w.section);
    style(SkinSettings::LayoutMerged, SkinSettings::LayoutHorizontal);
    run();
    EXPECT_EQ(LayoutSection::EmbeddedVertical, w.section);
    EXPECT_FALSE(w.composition.visible());  // the composition lives in the document
    rig.options.imeA = 0;
    run();
    EXPECT_EQ(LayoutSection::MergedVertical, w.section);
}

TEST_F(Layout, WhenTheWindowStaysEmpty) {
    rig.options.imeA = ImeSettings::A_HideCandidates;
    run();
    EXPECT_FALSE(w.showable());
    rig.options.imeA = 0;
    // Only with more than one candidate, unless association candidates show.
    rig.options.imeC = ImeSettings::C_OnlyShowWhenAmbiguous;
    rig.view.items.resize(1);
    rig.view.candidateCount = 1;
    run();
    EXPECT_FALSE(w.showable());
    rig.view.modes = ModeAssociation;
    run();
    EXPECT_TRUE(w.showable());
    // No candidates: the merged window still shows the composition, the
    // separate candidate window does not.
    rig.options.imeC = 0;
    rig.view.items.clear();
    run();
    EXPECT_TRUE(w.showable());
    EXPECT_TRUE(w.composition.visible());
    style(0, SkinSettings::LayoutMerged);
    run();
    EXPECT_FALSE(w.showable());
    // A skin without the background of the chosen layout shows nothing.
    rig.view = test::fixturePage();
    rig.skin.images.backgrounds[static_cast<size_t>(Background::SeparateCandidates)] = SkinImage{};
    run();
    EXPECT_FALSE(w.showable());
}

TEST_F(Layout, LabelsTextsAndTips) {
    section(LayoutSection::Merged).indexSuffix = u'.';
    rig.skin.info.text.maxCandidateChars = 18;
    rig.skin.info.text.maxCompositionChars = 18;
    rig.view.items[1].text = std::u16string(25, u'字');
    rig.view.display = u"abcdefghijklmnopqrst";
    run();
    EXPECT_EQ(u"1.", w.slots[0].label.text);
    EXPECT_EQ(u"2.", w.slots[1].label.text);
    EXPECT_EQ(std::u16string(18, u'字') + u"\u2026", w.slots[1].text.text);
    EXPECT_EQ(u"cdefghijklmnopqrst", w.composition.text);
    style(SkinSettings::RightToLeft);
    run();
    EXPECT_EQ(u".3", w.slots[2].label.text);
    // Without a suffix the labels count the slots: 1 .. 9, 0.
    section(LayoutSection::Merged).indexSuffix = 0;
    rig.view.items.assign(10, {u"字", u""});
    run();
    EXPECT_EQ(u"1", w.slots[0].label.text);
    EXPECT_EQ(u"0", w.slots[9].label.text);
    // Hidden labels and tips take no room.
    style(0, SkinSettings::ShowIndex | SkinSettings::ShowHints | SkinSettings::RightToLeft);
    run();
    EXPECT_FALSE(w.slots[0].label.visible());
    EXPECT_FALSE(w.slots[0].tip.visible());
    EXPECT_EQ((Point{5, 24}), at(w.slots[0].text));
    EXPECT_EQ(5 + 16 + 3 + 8, w.slots[1].text.x);
}

TEST_F(Layout, ColoursFollowKindHighlightAndMouse) {
    const SkinTextStyle& t = rig.skin.info.text;
    rig.view.items[1].kind = CandidateKind::TemporaryWord;
    rig.view.items[2].kind = CandidateKind::UserWord;
    rig.view.items.push_back({u"四", u""});
    run();
    const DisplayPart& first = w.slots[0].text;
    EXPECT_EQ(t.firstText, first.colour[StateNormal]);
    EXPECT_EQ(t.firstBackground, first.background[StateNormal]);
    EXPECT_EQ(t.hoverText, first.colour[StateHover]);
    EXPECT_EQ(t.hoverBackground, first.background[StateHover]);
    EXPECT_EQ(0, first.colour[StatePressed]);
    EXPECT_EQ(t.tempWord, w.slots[1].text.colour[StateNormal]);
    EXPECT_EQ(-1, w.slots[1].text.background[StateNormal]);
    EXPECT_EQ(t.userWord, w.slots[2].text.colour[StateNormal]);
    EXPECT_EQ(t.candidate.colour, w.slots[3].text.colour[StateNormal]);
    // The label colour is negative: labels take their candidate's colours.
    EXPECT_EQ(first.colour, w.slots[0].label.colour);
    EXPECT_EQ(first.background, w.slots[0].label.background);
    // The tip has a colour of its own and no background.
    EXPECT_EQ(t.tip.colour, w.slots[0].tip.colour[StateNormal]);
    EXPECT_EQ(t.tip.colour, w.slots[0].tip.colour[StateHover]);
    EXPECT_EQ(-1, w.slots[0].tip.background[StateNormal]);
    // No mouse-over colour: the mouse changes nothing.
    rig.skin.info.text.hoverText = -1;
    run();
    EXPECT_EQ(w.slots[3].text.colour[StateNormal], w.slots[3].text.colour[StateHover]);
    EXPECT_EQ(-1, w.slots[3].text.background[StateHover]);
}

TEST_F(Layout, EmbeddedFirstCandidateIsLeftOut) {
    rig.options.imeA = ImeSettings::A_StyleEmbedFirst;
    rig.options.imeC = ImeSettings::C_HideEmbeddedFirst;
    rig.view.items.push_back({u"四", u""});
    rig.view.highlight = 1;
    run();
    EXPECT_TRUE(w.highlightLeftOut);
    EXPECT_EQ(u"一", w.slots[0].text.text);
    EXPECT_EQ(u"三", w.slots[1].text.text);
    EXPECT_EQ(u"四", w.slots[2].text.text);
    EXPECT_FALSE(w.slots[3].text.visible());
    // Association candidates are not inline, so all are listed.
    rig.view.modes = ModeAssociation;
    run();
    EXPECT_FALSE(w.highlightLeftOut);
    EXPECT_EQ(u"二二", w.slots[1].text.text);
}

TEST_F(Layout, HostileGeometryIsBounded) {
    CandidateLayout& l = section(LayoutSection::Merged);
    l.minWidth = 32767;
    l.minHeight = 32767;
    l.codeStart = {-32767, 32767};
    l.stretchX = {500, -3};
    run();
    EXPECT_EQ(MaxWindowSide, w.width);
    EXPECT_EQ(MaxWindowSide, w.height);
    EXPECT_EQ(static_cast<size_t>(MaxWindowSide) * MaxWindowSide, w.background.pixels.size());
}

struct CompositionBox : Layout {
    CompositionWindowState box;
    CompositionBox() { style(SkinSettings::CaretBar, SkinSettings::LayoutMerged); }
    void layout() { layoutCompositionWindow(box, rig.input()); }
};

TEST_F(CompositionBox, SizeTextAndCaret) {
    layout();
    ASSERT_TRUE(box.showable());
    EXPECT_EQ(6 + 5 + 28 + 2, box.width);
    EXPECT_EQ(5 + 14 + 4, box.height);
    EXPECT_EQ((Point{5, 4}), box.textOrigin);
    EXPECT_EQ(28, box.caretOffset);
    EXPECT_EQ(30, box.textSize.width);
    // Minimum sizes from the skin; right to left the text ends at the right margin.
    section(LayoutSection::Separate).valueA = 100;
    section(LayoutSection::Separate).valueB = 50;
    style(SkinSettings::RightToLeft | SkinSettings::CaretLine, SkinSettings::CaretBar);
    layout();
    EXPECT_EQ(100, box.width);
    EXPECT_EQ(50, box.height);
    EXPECT_EQ(100 - 6 - 34, box.textOrigin.x);
    // The one-pixel bar of 光标宽度=1.
    style(SkinSettings::CaretBar | SkinSettings::CaretWidthOne, SkinSettings::CaretLine);
    layout();
    EXPECT_EQ(29, box.textSize.width);
}

TEST_F(CompositionBox, LongCompositionShowsTheCharactersAtTheCursor) {
    rig.skin.info.text.maxCompositionChars = 18;
    rig.view.display = u"abcdefghijklmnopqrst";
    rig.view.cursor = 20;
    layout();
    EXPECT_EQ(u"cdefghijklmnopqrst", box.text);
    EXPECT_EQ(18, box.caretIndex);
    rig.view.cursor = 5;
    layout();
    EXPECT_EQ(u"abcdefghijklmnopqr", box.text);
    EXPECT_EQ(5, box.caretIndex);
    EXPECT_EQ(35, box.caretOffset);
    // Not used by the merged layout, nor with the window hidden.
    style(SkinSettings::LayoutMerged);
    layout();
    EXPECT_FALSE(box.showable());
    style(0, SkinSettings::LayoutMerged);
    rig.options.imeA = ImeSettings::A_HideCandidates;
    layout();
    EXPECT_FALSE(box.showable());
}

}  // namespace
}  // namespace zv::ui
