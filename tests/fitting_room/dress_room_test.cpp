// The dress view's logic: start state, layout, picking from the lists and the
// table of deferred requests, re-entry included.
#include <gtest/gtest.h>

#include <functional>

#include "fitting_room/dress_room.h"
#include "fitting_room/shared_objects.h"
#include "tests/fitting_room/fitting_fixtures.h"
#include "tests/support/temp_dir.h"

using namespace fitting_room;
using namespace fitting_test;

namespace {

class RecordingHost : public DressRoomHost {
public:
    void RepaintView() override { Log("view"); }
    void RepaintList(char list) override { Log(std::string("list ") + list); }
    void RepaintStage() override { Log("stage"); }
    void ToggleStageMenu() override { Log("menu"); }
    void ShowStringPictures() override { Log("slides"); }
    void ShowPicture(const fs::path& p) override { Log("picture " + p.string()); }
    void SaveSnapshot() override { Log("snapshot"); }
    void SaveTransparentBackground() override { Log("transparent"); }
    void PhotoImported() override { Log("photo"); }

    std::vector<std::string> calls;
    std::function<void()> during;  // run inside the first call (re-entry)

private:
    void Log(const std::string& s) {
        calls.push_back(s);
        if (during) {
            auto f = std::move(during);
            during = nullptr;
            f();
        }
    }
};

class DressRoomTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"女装", "男装", "童装"}) {
            std::string spec = std::string("T:套装 ") + name + "0 T:上装";
            for (int i = 1; i <= 5; ++i) spec += " " + std::string(name) + std::to_string(i);
            auto parts = Parts(spec);
            for (std::size_t i = 0; i < parts.size(); ++i) parts[i].depth = static_cast<int>(i) + 1;
            WriteProject(BasicProject(tmp.path(), name), *Project(parts));
        }
        WriteProject(BasicProject(tmp.path(), "饰品"), *Project(Parts("T:发型 h0 h1 T:帽子 c0")));
        for (CGarmentPicList* l : {&RightGarmentList(), &LeftGarmentList()}) l->SetPictureSizes(&sizes);
        FittingModel().SetPictureSizes(&sizes);
        FittingModel().SetDataDir(tmp.path());
        FittingModel().SetStageRect(0, 0, 458, 518);
        room.InitSharedObjects(tmp.path());
    }
    void TearDown() override { ResetSharedObjects(); }

    testsupport::TempDir tmp;
    FakeSizes sizes;
    bool fresh = (ResetSharedObjects(), true);  // before the room takes the objects
    DressRoom room{RightGarmentList(), LeftGarmentList(), FittingModel()};
    RecordingHost host;
};

TEST_F(DressRoomTest, StartsWithWomensWearAndAccessories) {
    CGarmentPicList& right = RightGarmentList();
    CGarmentPicList& left = LeftGarmentList();
    EXPECT_EQ(right.style(), 'A');
    EXPECT_EQ(right.layoutMode(), 1);
    EXPECT_EQ(right.GetOption(), kSchemeRed);
    // Style 'A': the project's first category ("套装") is shown last.
    ASSERT_EQ(right.CategoryCount(), 2);
    EXPECT_EQ(right.category(0).name, "上装");
    EXPECT_EQ(left.style(), 'B');
    EXPECT_EQ(left.layoutMode(), 2);
    ASSERT_EQ(left.CategoryCount(), 2);
    EXPECT_EQ(left.category(0).name, "发型");
}

TEST_F(DressRoomTest, LaysOutListsAndStage) {
    const DressLayout l = room.Layout(Rect{0, 0, 1600, 900});
    // Right list in the right third: 533 wide, 5 page columns.
    EXPECT_EQ(RightGarmentList().pageColumns(), 5);
    EXPECT_EQ(l.rightList.left, 1600 - 5 * 90 - 39);
    // Left list: trunc(0.66 x 1600) / 3 = 352 wide, 3 columns; 2 tabs' room.
    EXPECT_EQ(LeftGarmentList().pageColumns(), 3);
    const int x = (l.rightList.left + l.leftList.right) / 2;
    EXPECT_EQ(l.stage, (Rect{x - 230, 450 - 260, x + 230, 450 + 260}));
    EXPECT_TRUE(RightGarmentList().laidOut());
    // The stage lies between the lists.
    EXPECT_GE(l.stage.left, l.leftList.right - 40);
    EXPECT_LE(l.stage.right, l.rightList.left + 40);
}

TEST_F(DressRoomTest, ClicksPickOntoTheModelWithTheirShowFiles) {
    room.Layout(Rect{0, 0, 1600, 900});
    const auto plan = RightGarmentList().PagePlan();
    ASSERT_FALSE(plan.empty());
    const Rect hit = plan[0].cells[1].hit;
    const Point p{(hit.left + hit.right) / 2, (hit.top + hit.bottom) / 2};
    auto r = room.Click(p);
    EXPECT_TRUE(IsItemHit(r.rightCode));
    EXPECT_EQ(r.leftCode, kHitNothing);
    EXPECT_TRUE(r.repaintStage);
    // The second item of "上装" is part 4 ("女装2", depth 5): slot 5.
    EXPECT_EQ(FittingModel().item('R', 5).picture.stem(), "女装2");
    EXPECT_EQ(FittingModel().currentList(), 'R');
    EXPECT_EQ(FittingModel().GetSecondListTitle(), "----");  // the part's web link, handed over
    EXPECT_EQ(FittingModel().GetListCount(), 0);
    EXPECT_TRUE(room.OverListItem(p));
    // A second click takes it off again.
    room.Click(p);
    EXPECT_FALSE(FittingModel().item('R', 5).Shown());

    // The left list picks into the 'L' list.
    const auto leftPlan = LeftGarmentList().PagePlan();
    ASSERT_FALSE(leftPlan.empty());
    const Rect lh = leftPlan[0].cells[0].hit;
    r = room.Click(Point{lh.left + 5, lh.top + 5});
    EXPECT_TRUE(IsItemHit(r.leftCode));
    EXPECT_EQ(FittingModel().currentList(), 'L');
    EXPECT_FALSE(room.OverListItem(Point{800, 450}));
}

TEST_F(DressRoomTest, RequestTable) {
    room.Layout(Rect{0, 0, 1600, 900});
    FittingModel().SetSavePath(tmp / "服饰搭配拍照图片" / "a.jpg", 'J');
    struct Case {
        std::int32_t code;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {kReqRefresh, {"view"}},
        {kReqLoadWebProject, {"view"}},
        {kReqChildrensWear, {"list R"}},
        {kReqMensWear, {"list R"}},
        {kReqWomensWear, {"list R"}},
        {kReqDressLastCategory, {"stage"}},
        {kReqShowPictures, {"slides"}},
        {kReqPhotoImported, {"photo"}},
        {kReqToggleMenu, {"menu"}},
        {kReqTransparentBackground, {"stage"}},  // not the transparent background: repaint only
        {kReqPlatformBackground, {"view"}},
        {kReqSnapshotBarMoved, {"view"}},
        {kReqSnapshot, {"snapshot"}},
        {kReqShowSaved, {"picture " + (tmp / "服饰搭配拍照图片" / "a.jpg").string()}},
        {66601009, {}},  // the child frame's, not the view's
        {66600000, {}},
    };
    for (const Case& c : cases) {
        host.calls.clear();
        EXPECT_TRUE(room.Request(c.code, host));
        EXPECT_EQ(host.calls, c.calls) << c.code;
    }
    FittingModel().SetBackground("kzv_透明试衣间背景");
    host.calls.clear();
    room.Request(kReqTransparentBackground, host);
    EXPECT_EQ(host.calls, std::vector<std::string>{"transparent"});
}

TEST_F(DressRoomTest, CategoryRequestsLoadTheirProjects) {
    room.Layout(Rect{0, 0, 1600, 900});
    room.Request(kReqMensWear, host);
    EXPECT_EQ(RightGarmentList().PartPicture(RightGarmentList().listedPart(0)).stem(), "男装0");
    room.Request(kReqChildrensWear, host);
    EXPECT_EQ(RightGarmentList().PartPicture(RightGarmentList().listedPart(0)).stem(), "童装0");
    // A project that is missing leaves the list as it was.
    std::filesystem::remove(BasicProject(tmp.path(), "女装"));
    room.Request(kReqWomensWear, host);
    EXPECT_EQ(RightGarmentList().PartPicture(RightGarmentList().listedPart(0)).stem(), "童装0");
}

TEST_F(DressRoomTest, RequestsArrivingDuringARequestAreDropped) {
    bool inner = true;
    host.during = [&] { inner = room.Request(kReqToggleMenu, host); };
    EXPECT_TRUE(room.Request(kReqRefresh, host));
    EXPECT_FALSE(inner);
    EXPECT_EQ(host.calls, std::vector<std::string>{"view"});
    EXPECT_FALSE(room.busy());
    EXPECT_TRUE(room.Request(kReqToggleMenu, host));  // afterwards it runs
}

TEST_F(DressRoomTest, LayoutCycleReturnsAfterFourSteps) {
    room.Layout(Rect{0, 0, 1600, 900});
    struct Step {
        int counter, rightMode, scheme;
    };
    const Step steps[] = {{1, 2, kSchemeBlue}, {2, 1, kSchemeRed}, {3, 2, kSchemeRed}, {0, 1, kSchemeBlue}};
    for (const Step& s : steps) {
        host.calls.clear();
        room.Request(kReqNextLayout, host);
        EXPECT_EQ(room.layoutCounter(), s.counter);
        EXPECT_EQ(RightGarmentList().layoutMode(), s.rightMode);
        EXPECT_EQ(RightGarmentList().GetOption(), s.scheme);
        EXPECT_EQ(LeftGarmentList().layoutMode(), 2);
        EXPECT_EQ(LeftGarmentList().GetOption(), s.scheme);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"list R", "list L"}));
    }
}

TEST_F(DressRoomTest, DressesTheModelWithTheLastCategorysPage) {
    room.Layout(Rect{0, 0, 1600, 900});
    // The last category shown is "套装" with one item ("女装0", depth 2).
    room.Request(kReqDressLastCategory, host);
    int shown = 0;
    for (int s = 1; s < kSlotsInUse; ++s) shown += FittingModel().item('R', s).Shown() ? 1 : 0;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(FittingModel().item('R', 2).picture.stem(), "女装0");
}

}  // namespace
