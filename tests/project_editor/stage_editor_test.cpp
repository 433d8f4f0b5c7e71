// The stage editor's commands on the project and the slots: placement by
// depth, storing a placement (read back by an independent reader), layer
// moves, size steps, the wheel, the whole-project scale, select cycling,
// voice and face files, and the save on close.
#include <gtest/gtest.h>

#include <cmath>

#include "project_editor/pavanel_session.h"
#include "project_editor/stage_editor.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/project_editor/stage_fixtures.h"

using namespace stagetest;

namespace {

struct Editor : Stage {
    StageEditor editor{store, slots, sizes};
    explicit Editor(const std::string& spec = "T:上装 a b c K:d") : Stage(spec) {}
    int Place(int part) {
        editor.SelectPart(part);
        EXPECT_EQ(editor.AddToStage(), PlaceResult::Placed);
        return slots.Current();
    }
};

TEST(StageEditor, PlacementSlotFollowsTheDepth) {
    struct Case { int depth, slot; };
    for (const Case c : {Case{-5, 10}, Case{0, 0}, Case{50, 50}, Case{99, 99}, Case{100, 90}, Case{150, 90}}) {
        Editor e;
        e.store.Part(1).SetDepth(c.depth);
        e.store.Part(1).SetX(12);
        e.store.Part(1).SetY(34);
        e.store.Part(1).SetScale(0.5f);
        e.sizes.sizes["a"] = {120, 81};
        EXPECT_EQ(e.Place(1), c.slot) << "depth " << c.depth;
        const StageSlot& s = e.slots.Slot(c.slot);
        EXPECT_TRUE(s.Occupied(e.store.PartCount()));
        EXPECT_EQ(s.part, 1);
        EXPECT_EQ(s.pictureWidth, 120);
        EXPECT_EQ(s.scaledWidth, 60);
        EXPECT_EQ(s.scaledHeight, 40) << "81 x 0.5 truncated";
        EXPECT_EQ(s.x, 12);
        EXPECT_EQ(s.y, 34);
    }
}

TEST(StageEditor, AutoPlacingAShownPartTakesItOff) {
    Editor e;
    e.store.Part(2).SetDepth(30);
    e.Place(2);
    EXPECT_EQ(e.editor.AddToStage(), PlaceResult::Removed);
    EXPECT_FALSE(e.slots.Occupied(30, e.store.PartCount()));
    e.editor.SetAutoPlace(false);
    EXPECT_EQ(e.editor.AddToStage(), PlaceResult::Placed);
    EXPECT_EQ(e.editor.AddToStage(), PlaceResult::Placed);
    e.editor.SelectPart(9);
    EXPECT_EQ(e.editor.AddToStage(), PlaceResult::NoPart);
}

TEST(StageEditor, StoredPlacementReadsBackInAnIndependentReader) {
    Editor e;
    e.store.Part(3).SetDepth(40);
    e.sizes.sizes["c"] = {200, 100};
    const int s = e.Place(3);
    e.slots.Slot(s).x = 77;
    e.slots.Slot(s).y = -8;
    e.slots.Slot(s).scaledWidth = 150;
    e.slots.Slot(s).scaledHeight = 75;
    ASSERT_TRUE(e.editor.MoveLayer(false));  // to slot 39
    EXPECT_EQ(e.editor.StorePlacement(), StoreResult::Stored);
    const dm3test::File f = dm3test::Read(e.ProjectFile());
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.parts[3].x, 77);
    EXPECT_EQ(f.parts[3].y, -8);
    EXPECT_EQ(f.parts[3].depth, 39);
    EXPECT_FLOAT_EQ(f.parts[3].scale, 0.75f);
    EXPECT_EQ(f.modified, 0);
    EXPECT_FALSE(e.store.IsModified());
}

TEST(StageEditor, StoringNeedsAShownPartAndReportsAFailedSave) {
    Editor e;
    EXPECT_EQ(e.editor.StorePlacement(), StoreResult::NoSlot);
    e.Place(1);
    e.store.SetProjectName("");
    e.store.SetBaseDir(e.dir / "no" / "such");
    e.store.SetProjectName("x");
    std::string error;
    EXPECT_EQ(e.editor.StorePlacement(&error), StoreResult::SaveFailed);
    EXPECT_TRUE(e.store.IsModified()) << "a failed save keeps the change for the next try";
}

TEST(StageEditor, LayerMovesStayInsideTheTable) {
    struct Case { int depth; bool back; bool moved; int to; };
    const Case cases[] = {
        {98, true, false, 98}, {97, true, true, 98}, {1, false, false, 1}, {2, false, true, 1},
        {150, true, true, 91}, {150, false, true, 89}, {-5, false, true, 9},
    };
    for (const Case& c : cases) {
        Editor e;
        e.store.Part(1).SetDepth(c.depth);
        const int from = e.Place(1);
        EXPECT_EQ(e.editor.MoveLayer(c.back), c.moved) << c.depth;
        EXPECT_EQ(e.slots.Current(), c.to) << c.depth;
        EXPECT_TRUE(e.slots.Occupied(c.to, e.store.PartCount()));
        if (c.moved) {
            EXPECT_EQ(e.store.Part(1).Depth(), c.to);
            EXPECT_TRUE(e.store.IsModified());
            EXPECT_FALSE(e.slots.Occupied(from, e.store.PartCount()));
        }
    }
    Editor locked;
    locked.store.Part(4).SetDepth(20);
    locked.Place(4);
    EXPECT_FALSE(locked.editor.MoveLayer(true)) << "a locked part keeps its layer";
}

TEST(StageEditor, SizeStepsAndWheelStopAtTheirBounds) {
    Editor e;
    const int s = e.Place(1);
    StageSlot& slot = e.slots.Slot(s);
    auto set = [&](int w, int h) { slot.scaledWidth = w; slot.scaledHeight = h; };
    set(100, 50);
    EXPECT_TRUE(e.editor.Shrink());
    EXPECT_EQ(slot.scaledWidth, 97);
    EXPECT_EQ(slot.scaledHeight, 48);
    set(4, 10);
    EXPECT_FALSE(e.editor.Shrink()) << "width 3 is too small";
    set(10, 4);
    EXPECT_FALSE(e.editor.Shrink()) << "height 3 is too small";
    set(1463, 100);  // 1.025 x 1463 = 1499.5 < 1500
    EXPECT_TRUE(e.editor.Grow(600));
    EXPECT_EQ(slot.scaledWidth, 1499);
    EXPECT_FALSE(e.editor.Grow(600)) << "2.5 x the stage width is the limit";
    set(3, 3);
    EXPECT_FALSE(e.editor.Grow(600)) << "both must reach 4";
    set(4, 4);
    EXPECT_TRUE(e.editor.Grow(600));
    set(5, 100);
    EXPECT_TRUE(e.editor.Wheel(false, 600));  // 4 x 85 kept: both above 3
    EXPECT_EQ(slot.scaledWidth, 4);
    EXPECT_FALSE(e.editor.Wheel(false, 600));
    set(2, 2);
    EXPECT_TRUE(e.editor.Wheel(true, 600));
    EXPECT_EQ(slot.scaledWidth, 3) << "at least one pixel more";
    set(782, 10);  // 1.15 x 782 = 899.3 < 900
    EXPECT_TRUE(e.editor.Wheel(true, 600));
    EXPECT_FALSE(e.editor.Wheel(true, 600));
    EXPECT_FALSE(e.store.IsModified()) << "sizes change the slot only";
}

TEST(StageEditor, WholeScaleChangesPartsAndMarksTheProjectModified) {
    Editor e;
    for (int i = 0; i < 5; ++i) {
        e.store.Part(i).SetWidth(100);
        e.store.Part(i).SetHeight(51);
        e.store.Part(i).SetScale(1.0f);
    }
    e.Place(1);
    e.editor.ToggleWholeScale();
    EXPECT_EQ(e.editor.ApplyWholeScale(0.5), 3);
    EXPECT_FALSE(e.editor.wholeScale());
    EXPECT_TRUE(e.store.IsModified());
    EXPECT_EQ(e.store.Part(1).Width(), 50);
    EXPECT_EQ(e.store.Part(1).Height(), 25);
    EXPECT_FLOAT_EQ(e.store.Part(1).Scale(), 0.5f);
    EXPECT_EQ(e.store.Part(0).Width(), 100) << "caption row";
    EXPECT_EQ(e.store.Part(4).Width(), 100) << "locked row";
    EXPECT_EQ(e.slots.Current(), kNoSlot);
    // Closing now writes the change.
    std::string error;
    EXPECT_EQ(SaveOnClose(e.store, &error), CloseOutcome::Saved);
    EXPECT_FLOAT_EQ(dm3test::Read(e.ProjectFile()).parts[1].scale, 0.5f);
}

TEST(StageEditor, SelectCyclesThroughTheOccupiedSlots) {
    Editor e;
    e.store.Part(1).SetDepth(30);
    e.store.Part(2).SetDepth(5);
    e.Place(1);
    e.Place(2);
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(e.editor.SelectNext());
        seen.push_back(e.slots.Current());
    }
    EXPECT_EQ(seen, (std::vector<int>{5, 30, 5}));
    EXPECT_EQ(e.editor.LayerText(), "5");
    EXPECT_TRUE(e.editor.DeleteCurrent());
    EXPECT_EQ(e.editor.LayerText(), "--");
    e.editor.ClearAll();
    EXPECT_FALSE(e.editor.SelectNext());
}

TEST(StageEditor, NudgeUsesTheStep) {
    Editor e;
    const int s = e.Place(1);
    const int x = e.slots.Slot(s).x;
    e.editor.AdvanceNudgeStep();
    e.editor.AdvanceNudgeStep();
    EXPECT_EQ(e.editor.nudgeStep(), 3);
    e.editor.Nudge(-1, 0);
    EXPECT_EQ(e.slots.Slot(s).x, x - 3);
    e.editor.AdvanceNudgeStep();
    EXPECT_EQ(e.editor.nudgeStep(), 1);
}

TEST(StageEditor, VoiceAndFaceFilesComeFromTheProjectFolder) {
    Editor e;
    e.store.Header().SetPictureFolder((e.dir / "项目" / "试衣及按钮图片").string());
    e.store.Part(1).SetVoiceText("说明.mp3");
    e.store.Part(2).SetVoiceText("../../etc/passwd");
    e.store.Part(1).SetDepth(3);
    e.store.Part(2).SetDepth(4);
    e.Place(1);
    ASSERT_TRUE(e.editor.VoiceFile());
    EXPECT_EQ(*e.editor.VoiceFile(), e.dir / "项目" / "音乐及语音" / "说明.mp3");
    // Faces: two of kind 'P'.
    FaceRecord& f = e.store.Face(1);
    f.SetFaceCountLetter('2');
    f.SetFaceKind('P');
    for (int n = 0; n < 2; ++n) {
        std::int32_t off = -1, len = 0;
        e.store.AddString(off, len, n == 0 ? "正面" : "背面");
        f.SetString(1, n, off, static_cast<std::uint8_t>(len));
    }
    EXPECT_EQ(*e.editor.NextFacePicture(), e.dir / "项目" / "展示及说明图片" / "正面.png");
    EXPECT_EQ(*e.editor.NextFacePicture(), e.dir / "项目" / "展示及说明图片" / "背面.png");
    EXPECT_EQ(*e.editor.NextFacePicture(), std::filesystem::path()) << "c + 1 presses: no overlay";
    e.Place(2);
    EXPECT_FALSE(e.editor.VoiceFile()) << "a voice text with folders is not a file name";
    EXPECT_FALSE(e.editor.NextFacePicture()) << "no faces";
}

TEST(StageEditor, CompositionNameIsAPlainFileName) {
    Editor e;
    EXPECT_EQ(*e.editor.CompositionPath("春装", "png"), e.dir / "KZV我制作的搭配图" / "春装.png");
    for (const char* bad : {"", "..", "a/b", "..\\x", "c:d"}) EXPECT_FALSE(e.editor.CompositionPath(bad, "jpg")) << bad;
}

TEST(PavanelSession, StartUpOpensTheSeriesProjectAsTheCurrentProject) {
    Editor e;
    ASSERT_EQ(e.store.Save(), SaveResult::Saved);
    CSysSetInfo settings;
    EXPECT_EQ(LoadSettings(settings, e.dir.path()), CSysSetInfo::LoadResult::Created);
    settings.SetSeriesName("测试项目");
    CProjectStore fresh;
    const OpenOutcome out = OpenSeriesProject(fresh, settings, e.dir.path());
    ASSERT_TRUE(out.opened) << out.error;
    EXPECT_EQ(fresh.ProjectName(), "测试项目");
    EXPECT_EQ(fresh.PartCount(), 5);
    // A change is saved on close, and nothing when unchanged.
    std::string error;
    EXPECT_EQ(SaveOnClose(fresh, &error), CloseOutcome::NothingToSave);
    fresh.Part(1).SetX(999);
    fresh.AddModified();
    EXPECT_EQ(SaveOnClose(fresh, &error), CloseOutcome::Saved);
    EXPECT_EQ(dm3test::Read(e.ProjectFile()).parts[1].x, 999);
    // A save that cannot be written says so.
    fresh.SetBaseDir(e.dir / "gone");
    fresh.AddModified();
    EXPECT_EQ(SaveOnClose(fresh, &error), CloseOutcome::SaveFailed);
    EXPECT_FALSE(error.empty());
}

TEST(PavanelSession, AMissingSeriesProjectIsReported) {
    testsupport::TempDir dir;
    CSysSetInfo settings;
    LoadSettings(settings, dir.path());
    CProjectStore store;
    const OpenOutcome out = OpenSeriesProject(store, settings, dir.path());
    EXPECT_FALSE(out.opened);
    EXPECT_FALSE(out.error.empty());
    EXPECT_EQ(store.ProjectName(), "");
}

}  // namespace
