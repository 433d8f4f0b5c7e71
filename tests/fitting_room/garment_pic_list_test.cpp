// The garment picture list: categories built from small projects, the loader
// against broken files, the page geometry, hit codes, paging, picking and the
// files of the picked item.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "fitting_room/garment_pic_list.h"
#include "fitting_room/sysproj_pictures.h"
#include "tests/fitting_room/fitting_fixtures.h"
#include "tests/support/temp_dir.h"

using namespace fitting_room;
using namespace fitting_test;

namespace {

Point Centre(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class GarmentListTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.SetBaseDir(tmp.path());
        list.SetPictureSizes(&sizes);
    }
    // Writes a basic project and loads it into the list.
    int Load(const std::string& spec, const std::string& name = "女装") {
        WriteProject(BasicProject(tmp.path(), name), *Project(Parts(spec)));
        return list.LoadBasicProject(name);
    }
    std::string PickedName() {
        PickedItem item;
        if (!list.GetPickedItem(&item)) return "";
        return item.picture.stem().string();
    }
    // Clicks the centre of every drawn cell of category `c`, in order.
    std::vector<std::string> ClickPage(int c) {
        std::vector<std::string> names;
        for (const auto& pc : list.PagePlan()) {
            if (pc.category != c) continue;
            for (const auto& cell : pc.cells) {
                EXPECT_EQ(list.OnClick(Centre(cell.hit)), ItemHitCode(c, cell.cell));
                names.push_back(PickedName());
            }
        }
        return names;
    }
    const PlannedCategory* Planned(int c) {
        static std::vector<PlannedCategory> plan;
        plan = list.PagePlan();
        for (const auto& pc : plan)
            if (pc.category == c) return &pc;
        return nullptr;
    }

    testsupport::TempDir tmp;
    FakeSizes sizes;
    CGarmentPicList list;
};

TEST_F(GarmentListTest, BuildsCategoriesFromProjects) {
    struct Case {
        const char* spec;
        char style;
        std::vector<std::pair<std::string, int>> categories;  // name, item count, in shown order
        int listed;
    };
    const Case cases[] = {
        // Style 'A' shows a project's first category last.
        {"T:上装 a b T:下装 c T:套装 d e f", 'A', {{"下装", 1}, {"套装", 3}, {"上装", 2}}, 6},
        {"T:上装 a b T:下装 c", 'B', {{"上装", 2}, {"下装", 1}}, 3},
        // Items before the first category row are listed but in no category.
        {"x y T:上装 a", 'B', {{"上装", 1}}, 3},
        // Locked rows and parts without a picture are never listed.
        {"T:上装 a - K:lock b T:下装", 'B', {{"上装", 2}, {"下装", 0}}, 2},
        {"T:上装", 'A', {{"上装", 0}}, 0},
        {"a b", 'A', {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        list.SetStyle(c.style);
        ASSERT_EQ(Load(c.spec), 1);
        ASSERT_EQ(list.CategoryCount(), static_cast<int>(c.categories.size()));
        EXPECT_EQ(list.listedCount(), c.listed);
        for (std::size_t i = 0; i < c.categories.size(); ++i) {
            EXPECT_EQ(list.category(static_cast<int>(i)).name, c.categories[i].first);
            EXPECT_EQ(list.category(static_cast<int>(i)).itemCount, c.categories[i].second);
        }
    }
}

TEST_F(GarmentListTest, KeepsSixteenCategoriesAndAtMost166Items) {
    std::string spec;
    for (int i = 0; i < 17; ++i) spec += " T:c" + std::to_string(i) + " p" + std::to_string(i);
    list.SetStyle('B');
    ASSERT_EQ(Load(spec), 1);
    EXPECT_EQ(list.CategoryCount(), 16);
    EXPECT_EQ(list.category(15).name, "c15");
    EXPECT_EQ(list.listedCount(), 16);  // the item after the 17th category row is not listed

    spec = "T:all";
    for (int i = 0; i < 165; ++i) spec += " p" + std::to_string(i);
    ASSERT_EQ(Load(spec), 1);
    EXPECT_EQ(list.listedCount(), 165);
    EXPECT_EQ(list.category(0).itemCount, 165);
}

TEST_F(GarmentListTest, RefusedFilesKeepThePreviousProject) {
    list.SetStyle('B');
    ASSERT_EQ(Load("T:上装 a b"), 1);
    const auto good = project_editor::WriteProjectBytes(*Project(Parts("T:x c d e")));

    std::vector<std::uint8_t> oversized = good;
    oversized[368] = 200;  // N beyond the 166 records
    std::vector<std::uint8_t> shortened(good.begin(), good.end() - 10);
    std::vector<std::uint8_t> hugeFaces = good;
    hugeFaces[372 + 268] = 0xFF;  // M = 255
    for (const auto* bytes : {&oversized, &shortened, &hugeFaces}) {
        platform::SaveFileAtomic(BasicProject(tmp.path(), "bad"), *bytes);
        EXPECT_EQ(list.LoadBasicProject("bad"), 0);
        EXPECT_EQ(list.category(0).name, "上装");
        EXPECT_EQ(list.listedCount(), 2);
    }
    EXPECT_EQ(list.LoadBasicProject("missing"), 0);
    EXPECT_EQ(list.LoadBasicProject("../女装"), 0);
    EXPECT_EQ(list.listedCount(), 2);
}

TEST_F(GarmentListTest, WebProjectFindsItsPictureFolder) {
    const fs::path base = tmp.path();
    const fs::path stored = base / "elsewhere" / "pics";
    const fs::path custom = base / "服饰搭配自定试衣项目" / "秋装" / "试衣及按钮图片";
    const fs::path plain = base / "秋装" / "试衣及按钮图片";
    struct Case {
        std::string storedFolder;
        std::vector<fs::path> folders;  // made before the load
        fs::path expected;
        int found;
    };
    const Case cases[] = {
        {stored.string(), {stored, custom}, stored, 1},
        {"C:\\kzv\\pics", {custom, plain}, custom, 1},
        {"", {plain}, plain, 1},
        {"D:\\gone", {}, plain, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedFolder);
        fs::remove_all(base / "elsewhere");
        fs::remove_all(base / "服饰搭配自定试衣项目");
        fs::remove_all(base / "秋装");
        for (const auto& f : c.folders) fs::create_directories(f);
        WriteProject(project_editor::ProjectFilePath(base, "秋装"), *Project(Parts("T:a p"), c.storedFolder));
        list.SetProjectName("秋装");
        ASSERT_EQ(list.LoadWebProject(), 1);
        EXPECT_EQ(list.pictureFolder(), c.expected);
        EXPECT_EQ(list.IsProjectLoaded(), c.found);
    }
    list.SetProjectName("无此项目");
    EXPECT_EQ(list.LoadWebProject(), 0);
    EXPECT_EQ(list.IsProjectLoaded(), 0);
}

// A downloaded project whose stored folder leads out of the base directory
// gets the project's own folder: replacing a garment writes only there.
TEST_F(GarmentListTest, StoredFoldersOutsideTheBaseAreNotTaken) {
    const fs::path base = tmp.path();
    testsupport::TempDir outside;
    outside.write("p.png", std::string("not the list's"));
    const fs::path custom = base / "服饰搭配自定试衣项目" / "秋装" / "试衣及按钮图片";
    fs::create_directories(custom);
    fs::create_directories(base / "inside");
    fs::create_directory_symlink(outside.path(), base / "link");
    tmp.write("new.png", std::string("new picture"));
    const std::string up = "..\\" + outside.path().filename().string();
    for (const std::string& stored : {outside.path().string(), up, std::string("inside\\..\\..\\") + up.substr(3),
                                      std::string("link"), std::string("/")}) {
        SCOPED_TRACE(stored);
        WriteProject(project_editor::ProjectFilePath(base, "秋装"), *Project(Parts("T:a p"), stored));
        list.SetProjectName("秋装");
        ASSERT_EQ(list.LoadWebProject(), 1);
        EXPECT_EQ(list.pictureFolder(), custom);
        list.SelectItem(0);
        EXPECT_EQ(list.currentPicture(), custom / "p.png");
        EXPECT_EQ(list.ReplaceItemPicture(100, list.currentPicture(), base / "new.png", 1.0f), 1);
        const auto kept = testsupport::ReadAll(outside / "p.png");
        EXPECT_EQ(std::string(kept.begin(), kept.end()), "not the list's");
    }
    // A folder inside the base is kept.
    WriteProject(project_editor::ProjectFilePath(base, "秋装"), *Project(Parts("T:a p"), "inside"));
    ASSERT_EQ(list.LoadWebProject(), 1);
    EXPECT_EQ(list.pictureFolder(), base / "inside");
}

TEST_F(GarmentListTest, PageGeometryForSeveralWidths) {
    struct Case {
        Rect client;
        int mode;
        int pageColumns, pageRows;
        Rect listRect;
        Point button0, cell00;
        int columns, cellSize;
    };
    const Case cases[] = {
        {{0, 0, 640, 800}, 1, 6, 7, {61, 5, 640, 795}, {64, 11}, {100, 15}, 9, 66},
        // Narrower than 138 pixels: still two columns, with a smaller cell;
        // the list rectangle is pushed out by the overflow.
        {{0, 0, 130, 600}, 1, 2, 5, {0, 17, 219, 583}, {3, 23}, {39, 27}, 2, 62},
        {{1000, 50, 1600, 950}, 2, 6, 7, {1021, 105, 1600, 895}, {1567, 111}, {1027, 115}, 9, 66},
    };
    for (const Case& c : cases) {
        CGarmentPicList l;
        l.SetLayout(c.mode, kSchemeRed);
        const Rect got = l.SetClientRect(c.client.left, c.client.top, c.client.right, c.client.bottom);
        EXPECT_EQ(l.pageColumns(), c.pageColumns);
        EXPECT_EQ(l.pageRows(), c.pageRows);
        EXPECT_EQ(got, c.listRect);
        EXPECT_EQ(l.button(0).pos, c.button0);
        EXPECT_EQ(l.button(4).letter, 'E');
        EXPECT_EQ(l.cellOrigin(0, 0), c.cell00);
        EXPECT_EQ(l.columns(), c.columns);
        EXPECT_EQ(l.cellSize(), c.cellSize);
    }
    // A rectangle too small for any row draws no cells and no category.
    CGarmentPicList tiny;
    tiny.SetClientRect(0, 0, 50, 40);
    EXPECT_EQ(tiny.pageRows(), 0);
    EXPECT_TRUE(tiny.PagePlan().empty());
}

TEST_F(GarmentListTest, StackGeometryShowsWhatFits) {
    list.SetStyle('B');
    ASSERT_EQ(Load("T:a p1 p2 T:b p3 T:c p4 T:d p5"), 1);
    list.SetClientRect(0, 0, 300, 200);  // header 20 + cell 66 per category, bottom limit 197
    list.Relayout();
    EXPECT_EQ(list.category(0).shown, 'Y');
    EXPECT_EQ(list.category(0).items, (Rect{18, 26, 282, 92}));
    EXPECT_EQ(list.category(1).shown, 'Y');
    EXPECT_EQ(list.category(2).shown, ' ');  // its item area would end at 264
    EXPECT_EQ(list.category(3).shown, ' ');
}

TEST_F(GarmentListTest, PagingReachesEveryItemInLayoutOne) {
    std::string spec = "T:上装";
    std::vector<std::string> expected;
    for (int i = 0; i < 13; ++i) {
        spec += " a" + std::to_string(i);
        expected.push_back("a" + std::to_string(i));
    }
    spec += " T:下装 b0 b1";
    list.SetStyle('B');
    ASSERT_EQ(Load(spec), 1);
    list.SetClientRect(0, 0, 460, 800);  // 4 page columns
    list.Relayout();
    ASSERT_EQ(list.pageColumns(), 4);

    std::vector<std::string> seen;
    std::vector<std::pair<bool, bool>> arrows;
    for (;;) {
        const PlannedCategory* pc = Planned(0);
        ASSERT_NE(pc, nullptr);
        arrows.push_back({pc->upLive, pc->downLive});
        for (const auto& name : ClickPage(0)) seen.push_back(name);
        if (!pc->downLive) break;
        EXPECT_EQ(list.OnClick(Centre(pc->down)), kHitDownArrow);
        EXPECT_EQ(PickedName(), "");  // paging clears the current item
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(arrows, (std::vector<std::pair<bool, bool>>{{false, true}, {true, true}, {true, true}, {true, false}}));
    // The dead down arrow does nothing; paging up returns to the start and stops there.
    const Rect down = Planned(0)->down;
    EXPECT_EQ(list.OnClick(Centre(down)), kHitNothing);
    EXPECT_EQ(list.category(0).pageStart, 12);
    for (int i = 0; i < 5; ++i) list.OnClick(Centre(Planned(0)->up));
    EXPECT_EQ(list.category(0).pageStart, 0);
    EXPECT_FALSE(Planned(0)->upLive);
    // The second category pages on its own arrows: 100000 x category.
    EXPECT_EQ(ClickPage(1), (std::vector<std::string>{"b0", "b1"}));
    EXPECT_FALSE(Planned(1)->downLive);
}

// A list too short for its five button rows still reaches every category:
// past its last item, the bottom row's down arrow moves the rows on by one
// category, and the top row's up arrow moves them back.
TEST_F(GarmentListTest, AShortListInLayoutOneReachesEveryCategory) {
    list.SetStyle('B');
    ASSERT_EQ(Load("T:c0 a0 a1 a2 a3 a4 T:c1 b0 T:c2 d0 T:c3 e0 T:c4 f0"), 1);
    list.SetClientRect(0, 0, 460, 300);  // 4 columns, 2 rows
    list.Relayout();
    ASSERT_EQ(list.pageRows(), 2);
    struct Step {
        int row;  // whose arrow is clicked
        bool down;
        int first;      // the category in the top row afterwards
        int pageStart;  // of the clicked row's category before the move
    };
    auto rows = [this] {
        std::vector<int> shown;
        for (const auto& pc : list.PagePlan()) shown.push_back(pc.category);
        return shown;
    };
    EXPECT_EQ(rows(), (std::vector<int>{0, 1}));
    const Step steps[] = {
        {1, true, 1, 0},   // category 1 fits its row: on to category 2
        {1, true, 2, 0}, {1, true, 3, 0},
        {1, true, 3, 0},   // the last category: the arrow is dead
        {0, false, 2, 0}, {0, false, 1, 0}, {0, false, 0, 0},
        {0, true, 0, 0},   // the top row's down arrow pages its own items
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << "row " << s.row << (s.down ? " down" : " up"));
        const auto plan = list.PagePlan();
        ASSERT_EQ(plan.size(), 2u);
        list.OnClick(Centre(s.down ? plan[static_cast<std::size_t>(s.row)].down : plan[static_cast<std::size_t>(s.row)].up));
        EXPECT_EQ(list.firstRowCategory(), s.first);
        EXPECT_EQ(rows(), (std::vector<int>{s.first, s.first + 1}));
    }
    EXPECT_EQ(list.category(0).pageStart, 4);
    EXPECT_EQ(ClickPage(0), (std::vector<std::string>{"a4"}));
    // Two buttons are drawn, each with its row's category; and the icons
    // are the ones the owner set.
    list.SetIcons(1, 2, 3, 4);
    list.OnClick(Centre(list.PagePlan()[1].down));  // rows 1 and 2
    PaintOps ops;
    list.DrawOps(ops);
    std::vector<std::string> buttons;
    std::vector<int> icons;
    for (const PaintOp& op : ops) {
        if (op.kind == PaintOp::Kind::Icon) icons.push_back(op.resource);
        const std::string name = op.path.filename().string();
        if (name.rfind("ALEFTREDAR_", 0) == 0) buttons.push_back(name);
    }
    EXPECT_EQ(buttons, (std::vector<std::string>{"ALEFTREDAR_帽子等.png", "ALEFTREDAR_耳坠等.png"}));
    EXPECT_EQ(icons, (std::vector<int>{1, 4, 3, 2}));
    EXPECT_EQ(list.listStyle().dark, 0x424242u);
    EXPECT_EQ(list.listStyle().accent, 0x0080FFu);
    EXPECT_EQ(list.listStyle().light, 0xFFFFFFu);
    EXPECT_EQ(list.listStyle().boldFontHeight, 16);
    EXPECT_EQ(list.listStyle().boldFontWeight, 700);
}

TEST_F(GarmentListTest, TabsAndPagesInLayoutTwo) {
    std::string spec = "T:上装";
    for (int i = 0; i < 11; ++i) spec += " a" + std::to_string(i);
    spec += " T:下装 b0 b1 b2";
    list.SetStyle('B');
    list.SetLayout(2, kSchemeBlue);
    ASSERT_EQ(Load(spec), 1);
    list.SetClientRect(0, 0, 460, 250);  // 4 columns, 2 rows: 8 cells a page
    list.Relayout();
    ASSERT_EQ(list.pageRows(), 2);
    std::vector<std::string> seen = ClickPage(0);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(list.OnClick(Centre(Planned(0)->down)), kHitPageDown);
    for (const auto& n : ClickPage(0)) seen.push_back(n);
    EXPECT_EQ(seen.size(), 11u);
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), 11u);
    EXPECT_FALSE(Planned(0)->downLive);
    // Tab 1 switches the category and starts at its first page; a tab past the
    // last category stays on the last one.
    const Point tab1{list.button(1).pos.x + 5, list.button(1).pos.y + 5};
    EXPECT_EQ(list.OnClick(tab1), kHitTabBase + 1);
    EXPECT_EQ(list.currentCategory(), 1);
    EXPECT_EQ(ClickPage(1), (std::vector<std::string>{"b0", "b1", "b2"}));
    const Point tab4{list.button(4).pos.x + 5, list.button(4).pos.y + 5};
    EXPECT_EQ(list.OnClick(tab4), kHitTabBase + 4);
    EXPECT_EQ(list.currentCategory(), 1);
}

TEST_F(GarmentListTest, DrawnThumbnailsAreWhatHitTestingFinds) {
    // Seven categories: layout 1 has five button rows, and every drawn
    // category, the fifth included, answers clicks on its thumbnails.
    std::string spec;
    for (int c = 0; c < 7; ++c) spec += " T:c" + std::to_string(c) + " p" + std::to_string(c) + "a p" +
                                        std::to_string(c) + "b";
    list.SetStyle('B');
    ASSERT_EQ(Load(spec), 1);
    sizes.Set(list.PartPicture(list.listedPart(0)), 100, 50);  // wide
    sizes.Set(list.PartPicture(list.listedPart(1)), 20, 40);   // small and tall: grows
    list.SetClientRect(0, 0, 460, 800);
    list.Relayout();

    PaintOps ops;
    list.DrawOps(ops);
    std::set<int> categories;
    int thumbnails = 0;
    for (const PaintOp& op : ops) {
        if (op.kind != PaintOp::Kind::Picture || op.natural || op.path.parent_path() != list.pictureFolder()) continue;
        ++thumbnails;
        const int code = list.HitTestItem(Centre(op.dest));
        ASSERT_TRUE(IsItemHit(code)) << op.path;
        categories.insert((code - 100) / 1000);
    }
    EXPECT_EQ(thumbnails, 10);
    EXPECT_EQ(categories, (std::set<int>{0, 1, 2, 3, 4}));
    const Point o = list.cellOrigin(0, 0);
    const auto first = std::find_if(ops.begin(), ops.end(), [&](const PaintOp& op) {
        return op.path == list.PartPicture(list.listedPart(0));
    });
    ASSERT_NE(first, ops.end());
    EXPECT_EQ(first->dest, Rect::FromSize(o.x + 10, o.y + 26, 66, 33));
    const auto second = std::find_if(ops.begin(), ops.end(), [&](const PaintOp& op) {
        return op.path == list.PartPicture(list.listedPart(1));
    });
    EXPECT_EQ(second->dest, Rect::FromSize(o.x + 90 + 26, o.y + 10, 33, 66));
    // Arrow icons: dead up and dead down for a one-page category.
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(),
                            [](const PaintOp& op) { return op.kind == PaintOp::Kind::Icon && op.resource == 144; }),
              5);
}

TEST_F(GarmentListTest, ClicksOnEmptyCellsPickNothing) {
    list.SetStyle('B');
    ASSERT_EQ(Load("T:上装 a b"), 1);
    list.SetClientRect(0, 0, 460, 800);
    list.Relayout();
    const Point cell3 = list.cellOrigin(0, 3);
    EXPECT_EQ(list.OnClick({cell3.x + 40, cell3.y + 40}), kHitNothing);
    EXPECT_EQ(list.GetPickedItem(nullptr), 0);
    EXPECT_EQ(list.OnClick({-5, -5}), kHitNothing);
    EXPECT_EQ(list.HitTestItem({2000, 10}), kHitNothing);
}

TEST_F(GarmentListTest, PickedItemsCarryTheirPartAndSlot) {
    auto parts = Parts("T:上装 a b c d e f");
    const int depths[] = {0, -5, 100, 250, 7, 99};
    const int slots[] = {1, 10, 90, 90, 7, 99};
    for (int i = 0; i < 6; ++i) {
        parts[static_cast<std::size_t>(i + 1)].depth = depths[i];
        parts[static_cast<std::size_t>(i + 1)].scale = 0.5f + static_cast<float>(i);
        parts[static_cast<std::size_t>(i + 1)].x = 100 + i;
    }
    WriteProject(BasicProject(tmp.path(), "女装"), *Project(parts));
    list.SetStyle('B');
    ASSERT_EQ(list.LoadBasicProject("女装"), 1);
    list.SetClientRect(0, 0, 800, 800);
    list.Relayout();
    for (int i = 0; i < 6; ++i) {
        list.SelectItem(i);
        PickedItem item;
        ASSERT_EQ(list.GetPickedItem(&item), 1);
        EXPECT_EQ(item.picture,
                  BasicPictures(tmp.path(), "女装") / (std::string(1, static_cast<char>('a' + i)) + ".png"));
        EXPECT_FLOAT_EQ(item.scale, 0.5f + static_cast<float>(i));
        EXPECT_EQ(item.x, 100 + i);
        EXPECT_EQ(item.y, 20);
        EXPECT_EQ(item.depth, depths[i]);
        EXPECT_EQ(item.Slot(), slots[i]) << depths[i];
    }
    CurrentItemFields fields;
    EXPECT_EQ(list.GetCurrentItemFields(&fields), 5);
    EXPECT_EQ(fields.name, "f");
    EXPECT_EQ(fields.price, "----");
    // Out-of-range positions are ignored.
    list.SelectItem(6);
    list.SelectItem(-1);
    EXPECT_EQ(list.currentPart(), 6);
    // Item i of the last category's page, as 66601005 takes them.
    PickedItem item;
    EXPECT_EQ(list.GetItemByIndex(5, &item), 1);
    EXPECT_EQ(item.picture.stem(), "f");
    EXPECT_EQ(list.GetItemByIndex(6, &item), 0);
}

TEST_F(GarmentListTest, ShowFilesOfTheCurrentItem) {
    auto project = Project(Parts("T:上装 a b c"));
    auto& part = project->parts[1];
    part.SetVoiceText("song.mp3");
    part.SetWebLink("https://shop.example/a");
    const std::string pool = "front back";
    std::copy(pool.begin(), pool.end(), project->pool.MutableBytes().begin());
    project->SetPoolLength(static_cast<int>(pool.size()));
    auto& face = project->faces[1];
    face.SetFaceCountLetter('2');
    face.SetFaceKind('P');
    face.SetString(1, 0, 0, 5);
    face.SetString(1, 1, 6, 4);
    project->faces[2].SetFaceCountLetter(':');  // above '9': nine pictures
    project->faces[2].SetFaceKind('G');
    project->faces[2].SetString(1, 0, 0, 5);
    project->faces[3].SetFaceCountLetter('/');  // below '0': none
    WriteProject(BasicProject(tmp.path(), "女装"), *project);
    list.SetStyle('B');
    ASSERT_EQ(list.LoadBasicProject("女装"), 1);

    const fs::path parent = tmp.path() / "服饰搭配基本项目" / "女装";
    ItemShowFiles files;
    EXPECT_EQ(list.GetItemShowFiles(&files), 0);  // nothing current
    list.SelectItem(0);
    EXPECT_EQ(list.GetItemShowFiles(&files), 2);
    EXPECT_EQ(files.pictures, (std::vector<fs::path>{parent / "展示及说明图片" / "front.png",
                                                     parent / "展示及说明图片" / "back.png"}));
    EXPECT_EQ(files.voice, parent / "音乐及语音" / "song.mp3");
    EXPECT_EQ(files.webLink, "https://shop.example/a");
    list.SelectItem(1);
    EXPECT_EQ(list.GetItemShowFiles(&files), 9);
    EXPECT_EQ(files.pictures[0].filename(), "front.gif");
    EXPECT_TRUE(files.voice.empty());
    list.SelectItem(2);
    EXPECT_EQ(list.GetItemShowFiles(&files), 0);
    EXPECT_EQ(list.GetPoolText(6, 4), "back");
    EXPECT_EQ(list.GetPoolText(18700, 4), "");
    EXPECT_EQ(list.GetPoolText(-1, 4), "");
}

TEST_F(GarmentListTest, NamesFromTheProjectStayInsideTheirFolders) {
    // Picture, show-picture and voice names are file names: one that climbs
    // out of its folder or is absolute gives an empty path.
    auto project = Project(Parts("T:上装 ../../../../tmp/evil ok"));
    auto& part = project->parts[1];
    part.SetVoiceText("../../../../etc/passwd");
    const std::string pool = "../../x/etc/hostsfine";
    std::copy(pool.begin(), pool.end(), project->pool.MutableBytes().begin());
    project->SetPoolLength(static_cast<int>(pool.size()));
    auto& face = project->faces[1];
    face.SetFaceCountLetter('3');
    face.SetFaceKind('P');
    face.SetString(1, 0, 0, 6);    // "../../"
    face.SetString(1, 1, 7, 10);   // "/etc/hosts"
    face.SetString(1, 2, 17, 4);   // "fine"
    project->parts[2].SetVoiceText("/etc/shadow");
    WriteProject(BasicProject(tmp.path(), "女装"), *project);
    list.SetStyle('B');
    ASSERT_EQ(list.LoadBasicProject("女装"), 1);

    const fs::path parent = tmp.path() / "服饰搭配基本项目" / "女装";
    list.SelectItem(0);
    PickedItem item;
    ASSERT_EQ(list.GetPickedItem(&item), 1);
    EXPECT_TRUE(item.picture.empty()) << item.picture;
    ItemShowFiles files;
    EXPECT_EQ(list.GetItemShowFiles(&files), 3);
    EXPECT_EQ(files.pictures, (std::vector<fs::path>{{}, {}, parent / "展示及说明图片" / "fine.png"}));
    EXPECT_TRUE(files.voice.empty()) << files.voice;
    list.SelectItem(1);
    ASSERT_EQ(list.GetPickedItem(&item), 1);
    EXPECT_EQ(item.picture, parent / "试衣及按钮图片" / "ok.png");
    list.GetItemShowFiles(&files);
    EXPECT_TRUE(files.voice.empty()) << files.voice;
}

TEST_F(GarmentListTest, ReplacesThePictureOfTheCurrentItem) {
    list.SetStyle('B');
    ASSERT_EQ(Load("T:上装 a"), 1);
    tmp.write("new.png", std::string("NEW"));
    tmp.write("old.png", std::string("OLD-PICTURE"));
    EXPECT_EQ(list.ReplaceItemPicture(100, tmp / "old.png", tmp / "new.png", 2.0f), 0);  // nothing current
    list.SelectItem(0);
    EXPECT_EQ(list.ReplaceItemPicture(99, tmp / "old.png", tmp / "new.png", 2.0f), 0);
    EXPECT_EQ(list.ReplaceItemPicture(100, tmp / "old.png", tmp / "new.png", 2.0f), 1);
    EXPECT_EQ(testsupport::ReadAll(tmp / "old.png"), (std::vector<unsigned char>{'N', 'E', 'W'}));
    PickedItem item;
    list.GetPickedItem(&item);
    EXPECT_FLOAT_EQ(item.scale, 2.0f);
    std::string error;
    EXPECT_EQ(list.ReplaceItemPicture(100, tmp / "old.png", tmp / "gone.png", 1.0f, &error), 0);
    EXPECT_FALSE(error.empty());
}

// Replacing a picture with itself keeps the file; the new scale is written to
// the project, so a reload shows the picture at the size the dialog chose.
TEST_F(GarmentListTest, ReplacingWithItselfKeepsTheFileAndTheScaleSurvivesAReload) {
    list.SetStyle('B');
    ASSERT_EQ(Load("T:上装 a"), 1);
    tmp.write("old.png", std::string("OLD-PICTURE"));
    list.SelectItem(0);
    EXPECT_EQ(list.ReplaceItemPicture(100, tmp / "old.png", tmp / "." / "old.png", 0.5f), 1);
    EXPECT_EQ(testsupport::ReadAll(tmp / "old.png"),
              (std::vector<unsigned char>{'O', 'L', 'D', '-', 'P', 'I', 'C', 'T', 'U', 'R', 'E'}));
    ASSERT_EQ(list.LoadBasicProject("女装"), 1);
    list.SelectItem(0);
    PickedItem item;
    ASSERT_EQ(list.GetPickedItem(&item), 1);
    EXPECT_FLOAT_EQ(item.scale, 0.5f);
}

// The save that keeps a new scale rewrites that part's scale and nothing
// else: the stored picture folder, the counters and every other byte stay.
// A project file that no longer reads, or no longer holds the item, is
// refused before the picture is touched.
TEST_F(GarmentListTest, AReplaceRewritesOnlyThePartsScaleInTheProjectFile) {
    list.SetStyle('B');
    const fs::path file = BasicProject(tmp.path(), "女装");
    WriteProject(file, *Project(Parts("T:上装 a b c"), "服饰搭配基本项目\\女装\\试衣及按钮图片"));
    auto original = testsupport::ReadAll(file);
    original.push_back(0x5A);  // bytes past the blocks are kept too
    platform::SaveFileAtomic(file, original);
    ASSERT_EQ(list.LoadBasicProject("女装"), 1);
    tmp.write("new.png", std::string("NEW"));
    tmp.write("old.png", std::string("OLD"));
    list.SelectItem(1);
    const int part = list.currentPart();
    ASSERT_EQ(list.ReplaceItemPicture(100, tmp / "old.png", tmp / "new.png", 0.625f), 1);
    const auto saved = testsupport::ReadAll(file);
    ASSERT_EQ(saved.size(), original.size());
    const std::size_t scaleAt = project_editor::kBlocksStart + project_editor::kPartSize * part + 540;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (i < scaleAt || i >= scaleAt + 4) {
            ASSERT_EQ(saved[i], original[i]) << "byte " << i;
        }
    }
    project_editor::ProjectFile reread;
    ASSERT_EQ(project_editor::ReadProjectBytes(saved, reread), project_editor::ProjectFileError::None);
    EXPECT_FLOAT_EQ(reread.parts[static_cast<std::size_t>(part)].Scale(), 0.625f);

    struct Refusal {
        const char* what;
        std::function<void()> spoil;
    };
    const Refusal refusals[] = {
        {"the file is gone", [&] { fs::remove(file); }},
        {"the file no longer reads", [&] { tmp.write(fs::relative(file, tmp.path()), std::string("not a project")); }},
        {"the part holds another picture", [&] { WriteProject(file, *Project(Parts("T:上装 a z c"))); }},
        {"the part is gone", [&] { WriteProject(file, *Project(Parts("T:上装"))); }},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        tmp.write("old.png", std::string("OLD"));
        r.spoil();
        const auto before = fs::exists(file) ? testsupport::ReadAll(file) : std::vector<unsigned char>{};
        std::string error;
        EXPECT_EQ(list.ReplaceItemPicture(100, tmp / "old.png", tmp / "new.png", 2.0f, &error), 0);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(testsupport::ReadAll(tmp / "old.png"), (std::vector<unsigned char>{'O', 'L', 'D'}));
        if (fs::exists(file)) {
            EXPECT_EQ(testsupport::ReadAll(file), before);
        }
    }
}

TEST_F(GarmentListTest, CellFrameNamesDifferingInCaseAreOneFile) {
    tmp.write("服饰搭配sysproj/图片框背景BLUE.png", std::string("x"));
    const fs::path file = tmp / "服饰搭配sysproj" / "图片框背景BLUE.png";
    EXPECT_EQ(SysprojPicture(tmp.path(), "图片框背景BLUE.PNG"), file);
    EXPECT_EQ(SysprojPicture(tmp.path(), "图片框背景BLUE.png"), file);
    EXPECT_EQ(SysprojPicture(tmp.path(), "图片框背景RED.PNG"), tmp / "服饰搭配sysproj" / "图片框背景RED.PNG");
    // Paints ask again and again: the folder is read once per name until its
    // entries change.
    const int scans = SysprojFolderScans();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(SysprojPicture(tmp.path(), "图片框背景BLUE.PNG"), file);
        EXPECT_EQ(SysprojPicture(tmp.path(), "图片框背景RED.PNG"), tmp / "服饰搭配sysproj" / "图片框背景RED.PNG");
    }
    EXPECT_EQ(SysprojFolderScans(), scans);
    tmp.write("服饰搭配sysproj/图片框背景RED.png", std::string("x"));
    fs::last_write_time(tmp / "服饰搭配sysproj",
                        fs::last_write_time(tmp / "服饰搭配sysproj") + std::chrono::seconds(2));
    EXPECT_EQ(SysprojPicture(tmp.path(), "图片框背景RED.PNG"), tmp / "服饰搭配sysproj" / "图片框背景RED.png");

    list.SetStyle('B');
    ASSERT_EQ(Load("T:上装 a"), 1);
    list.SetLayout(1, kSchemeBlue);
    list.SetClientRect(0, 0, 460, 300);
    PaintOps ops;
    list.DrawOps(ops);
    EXPECT_TRUE(std::any_of(ops.begin(), ops.end(), [&](const PaintOp& op) { return op.path == file; }));
    // The button pictures of the scheme, layout and style.
    EXPECT_TRUE(std::any_of(ops.begin(), ops.end(), [&](const PaintOp& op) {
        return op.path.filename() == "ALEFTBLUEAR_帽子等.png";
    }));
}

}  // namespace
