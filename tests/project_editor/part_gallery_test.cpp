// The part gallery: which parts are listed, paging and hit testing at the
// project's capacity, marks, and the batch moves of marked parts.
#include <gtest/gtest.h>

#include "project_editor/part_gallery.h"
#include "tests/project_editor/stage_fixtures.h"

using namespace stagetest;

namespace {

std::vector<std::string> Names(CProjectStore& store, const std::vector<int>& parts) {
    std::vector<std::string> out;
    for (int p : parts) out.push_back(store.Part(p).Name());
    return out;
}

std::vector<std::string> AllNames(CProjectStore& store) {
    std::vector<std::string> out;
    for (int i = 0; i < store.PartCount(); ++i) out.push_back(store.Part(i).Name());
    return out;
}

TEST(PartGallery, ListsPartsWithPicturesByCategoryLetterOfTheCaptionRow) {
    Stage s("T:上装 a b K:k T:下装 c T:空 T:饰品 d");
    s.store.Part(2).SetPictureName("");  // b has no picture
    // The caption rows' own letters, not 'A' + k: 饰品 carries 'X'.
    s.store.Part(7).SetCategory('X');
    s.store.Part(8).SetCategory('X');
    PartGallery g(s.store);
    EXPECT_EQ(g.ComboEntries(), (std::vector<std::string>{"全部", "上装", "下装", "空", "饰品"}));
    g.SetDisplay(0);
    EXPECT_EQ(Names(s.store, g.items()), (std::vector<std::string>{"a", "c", "d"}));
    g.SetDisplay(2);
    EXPECT_EQ(Names(s.store, g.items()), (std::vector<std::string>{"c"}));
    g.SetDisplay(4);
    EXPECT_EQ(Names(s.store, g.items()), (std::vector<std::string>{"d"}));
    g.SetRect({0, 0, 400, 460});
    g.SetDisplay(3);  // no part carries its letter
    EXPECT_TRUE(g.items().empty());
    EXPECT_FALSE(g.CanPageUp());
    EXPECT_FALSE(g.CanPageDown());
    g.SetDisplay(9);
    EXPECT_TRUE(g.items().empty());
}

TEST(PartGallery, PagesAndHitTestsAtCapacity) {
    std::string spec = "T:全";
    for (int i = 1; i < kMaxParts; ++i) spec += " p" + std::to_string(i);
    Stage s(spec);
    ASSERT_EQ(s.store.PartCount(), 166);
    PartGallery g(s.store);
    g.SetRect({10, 20, 10 + 420, 20 + 460});  // 3 rows, margin 15
    g.SetDisplay(0);
    EXPECT_EQ(g.items().size(), 165u);
    EXPECT_EQ(g.PageSize(), 9);
    auto cells = g.Cells();
    ASSERT_EQ(cells.size(), 9u);
    EXPECT_EQ(cells[4].picture, (Rect{10 + 15 + 130 + 30, 26 + 150, 10 + 15 + 130 + 110, 26 + 150 + 80}));
    EXPECT_EQ(cells[4].name, (Rect{155, 261, 295, 286}));
    // A name draws in its own 130 px of 'T': the 10 px that neighbouring 'T's share are split.
    EXPECT_EQ(cells[4].nameClip, (Rect{160, 261, 290, 286}));
    EXPECT_EQ(cells[3].nameClip.right, cells[4].nameClip.left);
    EXPECT_EQ(cells[5].nameClip.left, cells[4].nameClip.right);
    EXPECT_EQ(g.HitTest({cells[4].picture.left + 1, cells[4].picture.top + 1}), 4);
    EXPECT_EQ(g.HitTest({cells[4].name.left + 1, cells[4].name.top + 1}), -1) << "only the picture picks";
    EXPECT_FALSE(g.PageUp());
    EXPECT_EQ(g.first(), 0);
    int pages = 1;
    while (g.PageDown()) ++pages;
    EXPECT_EQ(pages, 19);  // 165 items, 9 a page
    EXPECT_EQ(g.first(), 162);
    cells = g.Cells();
    EXPECT_EQ(cells[2].part, 165) << "the last part (index 165) is listed and drawn";
    EXPECT_EQ(cells[3].part, -1);
    EXPECT_EQ(g.HitTest({cells[3].picture.left + 1, cells[3].picture.top + 1}), -1);
    EXPECT_EQ(g.Pick({cells[2].picture.left + 1, cells[2].picture.top + 1}), 165);
    EXPECT_FALSE(g.CanPageDown());
    EXPECT_TRUE(g.PageUp());
    EXPECT_EQ(g.first(), 153);
}

TEST(PartGallery, MarkingModesCycleAndPicksToggleMarks) {
    Stage s("T:上装 a b");
    PartGallery g(s.store);
    g.SetRect({0, 0, 390, 300});
    g.SetDisplay(0);
    const Point onA{g.Cells()[0].picture.left + 2, g.Cells()[0].picture.top + 2};
    EXPECT_EQ(g.Pick(onA), 1);
    EXPECT_FALSE(g.Marked(1)) << "display mode does not mark";
    EXPECT_EQ(g.AdvanceMarkingMode(), "选择改类>");
    g.Pick(onA);
    EXPECT_TRUE(g.Marked(1));
    g.Pick(onA);
    EXPECT_FALSE(g.Marked(1));
    EXPECT_EQ(g.AdvanceMarkingMode(), "选改深度>");
    EXPECT_EQ(g.ComboEntries().size(), 99u);
    EXPECT_EQ(g.AdvanceMarkingMode(), "显示设置:");
}

TEST(PartGallery, ChangeCategoryMovesMarkedPartsBehindTheCaptionRow) {
    Stage s("T:上装 a b c T:下装 d e");
    s.store.Face(1).SetMark('Y');  // a
    s.store.Face(3).SetMark('Y');  // c
    s.store.Face(3).SetFaceKind('P');
    PartGallery g(s.store);
    g.AdvanceMarkingMode();
    std::vector<int> map;
    EXPECT_EQ(g.ComboSelected(2, &map), GalleryChange::Moved);
    EXPECT_EQ(AllNames(s.store), (std::vector<std::string>{"上装", "b", "下装", "a", "c", "d", "e"}));
    EXPECT_EQ(s.store.Part(3).Category(), 'B');
    EXPECT_EQ(s.store.Part(4).Category(), 'B');
    EXPECT_EQ(s.store.Face(4).FaceKind(), 'P') << "face records move with their parts";
    EXPECT_EQ(map, (std::vector<int>{0, 3, 1, 4, 2, 5, 6}));
    EXPECT_FALSE(g.Marked(3));
    EXPECT_FALSE(g.Marked(4));
    EXPECT_EQ(g.markingMode(), kMarkDisplay);
    EXPECT_TRUE(s.store.IsModified());
}

TEST(PartGallery, ChangeCategoryToAllMovesNothing) {
    Stage s("T:上装 a T:下装 b");
    s.store.Face(3).SetMark('Y');
    PartGallery g(s.store);
    g.AdvanceMarkingMode();
    EXPECT_EQ(g.ComboSelected(0), GalleryChange::Nothing);
    EXPECT_EQ(AllNames(s.store), (std::vector<std::string>{"上装", "a", "下装", "b"}));
    EXPECT_FALSE(s.store.IsModified());
}

TEST(PartGallery, ChangeDepthOfMarkedPartsSkipsLockedRows) {
    Stage s("T:上装 a K:k b");
    for (int i : {1, 2}) s.store.Face(i).SetMark('Y');
    PartGallery g(s.store);
    g.AdvanceMarkingMode();
    g.AdvanceMarkingMode();
    EXPECT_EQ(g.ComboSelected(41), GalleryChange::Redepthed);  // entry "42"
    EXPECT_EQ(s.store.Part(1).Depth(), 42);
    EXPECT_EQ(s.store.Part(2).Depth(), -1) << "locked";
    EXPECT_EQ(s.store.Part(3).Depth(), -1) << "not marked";
    EXPECT_EQ(s.store.ModifiedCounter(), 1);
    EXPECT_FALSE(g.Marked(1));
    EXPECT_EQ(g.ComboEntries().front(), "全部");
}

TEST(PartGallery, ClearMarksForgetsTicksOfAnEarlierSession) {
    Stage s("T:上装 a b");
    s.store.Face(2).SetMark('Y');
    PartGallery g(s.store);
    g.ClearMarks();
    g.AdvanceMarkingMode();
    EXPECT_EQ(g.ComboSelected(1), GalleryChange::Nothing);
    EXPECT_EQ(AllNames(s.store), (std::vector<std::string>{"上装", "a", "b"}));
}

TEST(PartGallery, ProcessLabelColoursClampTheDepth) {
    EXPECT_EQ(PartGallery::ProcessColour(150), PartGallery::ProcessColour(99));
    EXPECT_EQ(PartGallery::ProcessColour(-1), PartGallery::ProcessColour(1));
    EXPECT_EQ(PartGallery::ProcessColour(1), 0x16F4FEu);   // R 254, G 2 x -6 as a byte, B 22
    EXPECT_EQ(PartGallery::ProcessColour(99), 0x16309Cu);  // R 156, G 2 x -104 as a byte
    EXPECT_EQ(PartGallery::ProcessLabel(7, "裙"), "[7]裙");
}

}  // namespace
