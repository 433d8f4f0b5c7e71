// The photo-edit dialog's command table against a recording host and an
// engine with a table of pictures: tool hits, menus, modes and their hints,
// the wheel, grabs and their folders, photo reloading, notices.
#include <gtest/gtest.h>

#include <algorithm>

#include "image_editor/camera_sys_info.h"
#include "image_editor/photo_edit_commands.h"
#include "tests/image_editor/engine_fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace image_editor;
namespace fs = std::filesystem;

struct RecordingHost : PhotoEditHost {
    // The canvas the grabs are rendered from (as the dialog renders them).
    CanvasControl* canvas = nullptr;
    std::vector<std::string> hints;
    std::vector<std::vector<MenuEntry>> menus;
    int menuAnswer = 0;
    std::optional<fs::path> picture;
    std::vector<std::pair<fs::path, char>> grabs;
    std::vector<Picture> grabbed;  // what each grab took, pixel for pixel
    bool grabWorks = true;
    std::vector<fs::path> clipboard, saves;
    std::vector<platform::MessageRequest> messages;
    platform::MbResult answer = platform::MbResult::Yes;
    bool makeupShown = false;
    int repaints = 0;

    void ShowHint(const std::string& t) override { hints.push_back(t); }
    void RepaintCanvas() override { ++repaints; }
    void RedrawPanel() override {}
    void RedrawTools() override {}
    int TrackPopup(const std::vector<MenuEntry>& items, const Rect&) override {
        menus.push_back(items);
        return menuAnswer;
    }
    std::optional<ColorRef> ChooseColour(ColorRef, const Rect&) override { return 0x123456; }
    std::optional<fs::path> ChoosePicture(const fs::path&) override { return picture; }
    bool GrabCanvas(const Rect& region, const fs::path& file, char format) override {
        grabs.emplace_back(file, format);
        Picture pic;
        if (canvas) {
            Surface all(canvas->canvasWidth(), canvas->canvasHeight());
            canvas->Paint(all, nullptr, true);
            pic.width = region.Width();
            pic.height = region.Height();
            for (int y = region.top; y < region.bottom; ++y)
                for (int x = region.left; x < region.right; ++x) pic.pixels.push_back(all.GetPixel(x, y));
        }
        grabbed.push_back(std::move(pic));
        return grabWorks;
    }
    bool CopyToClipboard(const fs::path& f) override {
        clipboard.push_back(f);
        return true;
    }
    void RunPhotoSave(const fs::path& source, const Rect&) override { saves.push_back(source); }
    bool RunTextDialog(TextItem&, const Rect&) override { return false; }
    void RunSwatchDialog() override {}
    void ShowMakeupButton(bool shown) override { makeupShown = shown; }
    void ShowPreview(int) override {}
    void EnableMaterialButtons(bool) override {}
    platform::MbResult Message(const platform::MessageRequest& r) override {
        messages.push_back(r);
        return answer;
    }
};

class PhotoEditCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CCameraSysInfo::ResetInstance();
        CCameraSysInfo::Instance().SetBaseDir(base.path());
        pictures.files[(base / "a.png").string()] = enginetest::Uniform(50, 40, 0x3366CC);
        pictures.files[(base / "b.png").string()] = enginetest::Uniform(30, 20, 0x00FF00);
        engine.SetPictureSource(&pictures);
        canvas.SetCanvasSize(300, 200);
        canvas.SetSurface(&surface);
        controller.SetBaseDir(base.path());
        controller.Layout({{70, 20, 160, 44}, {596, 6, 648, 66}, {8, 72, 648, 572}});
        host.canvas = &canvas;
    }
    testsupport::TempDir base;
    enginetest::FakePictures pictures;
    CPhotoEngine engine;
    picture_controls::CDrawItemList drawing;
    CMaterialTable materials;
    CBasicProjectReader reader;
    CanvasControl canvas{engine, drawing, materials};
    Surface surface{300, 200};
    RecordingHost host;
    PhotoEditController controller{engine, canvas, drawing, materials, reader, host};
};

TEST_F(PhotoEditCommandsTest, ToolsSitWhereTheTableSaysAndTheCornerBoxIsItsOwnTool) {
    const auto& t = controller.tools();
    ASSERT_EQ(t.size(), 16u);
    EXPECT_EQ(t[0].rect, (Rect{18, 18, 66, 66}));
    EXPECT_EQ(t[3].rect.left, 160 + 118);
    EXPECT_EQ(t[5].rect, (Rect{596 - 122, 18, 596 - 82, 58}));
    EXPECT_EQ(t[15].rect, (Rect{8 + 438, 594, 8 + 486, 642}));
    EXPECT_EQ(HitTool(t, 20, 20), tool::kBackground);
    EXPECT_EQ(HitTool(t, 596 - 122 + 5, 24), tool::kGrabCorner);
    EXPECT_EQ(HitTool(t, 596 - 122 + 30, 50), tool::kGrabToClipboard);
    EXPECT_EQ(HitTool(t, 700, 300), 0);
}

TEST_F(PhotoEditCommandsTest, AModeCommandEndsTheRunningModeFirst) {
    controller.Command(cmd::kMagicWand);
    EXPECT_EQ(canvas.toolMode(), mode::kMagicWand);
    EXPECT_EQ(host.hints.back(), "按左键选择.中键撤消前一步.右键结束.");
    host.hints.clear();
    controller.Command(cmd::kEraser);
    ASSERT_GE(host.hints.size(), 2u);
    EXPECT_EQ(host.hints[0], "---");
    EXPECT_EQ(canvas.toolMode(), mode::kEraser);
    EXPECT_NE(host.hints.back().find("Ctrl"), std::string::npos);  // the stand-in for Alt is named
    // A one-shot command leaves the mode running.
    controller.Command(cmd::kPhotoBrighten);
    EXPECT_EQ(canvas.toolMode(), mode::kEraser);
    // The make-up brush shows its swatch button; ending hides it.
    controller.Command(cmd::kMakeupBrush);
    EXPECT_TRUE(host.makeupShown);
    controller.Command(cmd::kDragPhoto);
    EXPECT_FALSE(host.makeupShown);
    EXPECT_EQ(controller.specialMode(), special::kDragPhoto);
    EXPECT_EQ(canvas.toolMode(), 0);
}

TEST_F(PhotoEditCommandsTest, MenusFollowTheState) {
    auto ids = [](const std::vector<MenuEntry>& m) {
        std::vector<int> out;
        for (const MenuEntry& e : m) out.push_back(e.id);
        return out;
    };
    EXPECT_EQ(ids(controller.MenuFor(tool::kBackground)), (std::vector<int>{32771, 32776, 0, 32782}));
    EXPECT_EQ(controller.MenuFor(tool::kClearBackground).front().id, cmd::kMagnifierArea);
    controller.SetPanelShowsMaterials(true);
    EXPECT_EQ(controller.MenuFor(tool::kClearBackground).front().id, cmd::kEraser);
    // A tool's popup runs the chosen command.
    host.menuAnswer = cmd::kStickerFeather;
    controller.Click(166 + 10, 30);
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(canvas.toolMode(), mode::kHeadSticker);
    EXPECT_EQ(engine.GetStickerForm(), 'Y');
    controller.ShiftKey();
    EXPECT_EQ(engine.GetStickerForm(), 'L');
}

TEST_F(PhotoEditCommandsTest, TheWheelScalesTheMaterialOrTheBrush) {
    controller.Command(cmd::kEraser);
    controller.Wheel(true);
    EXPECT_EQ(engine.radius(), 6);
    controller.Wheel(true);
    controller.Wheel(true);
    EXPECT_EQ(engine.radius(), 9);
    PartPlacement p;
    p.layer = 45;
    p.naturalWidth = 100;
    p.naturalHeight = 100;
    p.picture = "g.png";
    materials.Place(p);
    controller.Command(cmd::kMaterialMode);
    EXPECT_EQ(host.hints.back(), "按滚轮缩放素材.按住左键移动光标拖移.右键结束.");
    controller.Wheel(false);
    EXPECT_EQ(materials.at(45).width, 97);
    EXPECT_EQ(engine.radius(), 9);
}

TEST_F(PhotoEditCommandsTest, PhotosLoadAndTheOriginalIsWhatReloads) {
    host.picture = base / "a.png";
    controller.Command(cmd::kNewPhoto);
    ASSERT_TRUE(engine.photoPresent());
    EXPECT_EQ(engine.photoWidth(), 50);
    EXPECT_EQ(controller.originalPhoto(), base / "a.png");
    // Scaling twice: the second time the view is grabbed first, and the
    // photo's file follows only when the grab was written.
    controller.Command(cmd::kScalePhoto);
    EXPECT_EQ(controller.specialMode(), special::kDragPicture);
    host.grabWorks = false;
    controller.Command(cmd::kScalePhoto);
    ASSERT_EQ(host.grabs.size(), 1u);
    EXPECT_EQ(host.grabs[0].first, base / "tmpBmpData" / "ScaleNewTmpOrgPic.bmp");
    EXPECT_TRUE(fs::is_directory(base / "tmpBmpData"));  // made on demand
    EXPECT_EQ(engine.photoPath(), base / "a.png");
    EXPECT_EQ(host.messages.size(), 1u);
    // A file that cannot be decoded keeps the photo.
    host.picture = base / "missing.png";
    controller.Command(cmd::kNewPhoto);
    EXPECT_EQ(engine.photoWidth(), 50);
    EXPECT_EQ(host.messages.size(), 2u);
    // 重新装入原始照片 reads the file the user chose.
    engine.SetPhotoPath(base / "b.png");
    controller.Command(cmd::kReloadPhoto);
    EXPECT_EQ(engine.photoWidth(), 50);
    EXPECT_EQ(engine.photoPath(), base / "a.png");
}

TEST_F(PhotoEditCommandsTest, GrabsGoToTheirFilesAndFoldersAreMadeOnDemand) {
    controller.RunTool(tool::kGrabToClipboard);
    ASSERT_EQ(host.grabs.size(), 1u);
    EXPECT_EQ(host.grabs[0], std::make_pair(base / "服饰搭配拍照图片" / "tpho00938hfz3721.jpg", 'J'));
    EXPECT_EQ(host.clipboard.size(), 1u);
    controller.RunTool(tool::kGrabAndSave);
    EXPECT_EQ(host.grabs[1], std::make_pair(base / "服饰搭配拍照图片" / "tpho009383721.bmp", 'B'));
    ASSERT_EQ(host.saves.size(), 1u);
    // A grab region of 50 pixels or less falls back to the valid area: the
    // photo (30 x 20 at 135, 90), not the narrow region at the canvas corner.
    host.picture = base / "b.png";
    controller.Command(cmd::kNewPhoto);
    ASSERT_EQ(engine.GetPhotoArea(), (Rect{135, 90, 165, 110}));
    struct Case {
        Rect region;
        int width, height;
        ColorRef inside;  // every pixel of the grab
    };
    const Case cases[] = {
        {{0, 0, 50, 100}, 30, 20, 0x00FF00},                       // the photo
        {{0, 0, 51, 100}, 51, 100, engine.backgroundColour()},  // the region itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.region.Width());
        engine.SetGrabArea(1, c.region.left, c.region.top, c.region.right, c.region.bottom);
        controller.Notice({notice::kGrabChosen, 0, {}});
        EXPECT_EQ(host.grabs.back().first, base / "tmpBmpData" / "tpho00938hfz3721.jpg");
        EXPECT_EQ(host.clipboard.back(), host.grabs.back().first);
        const Picture& pic = host.grabbed.back();
        EXPECT_EQ(pic.width, c.width);
        EXPECT_EQ(pic.height, c.height);
        EXPECT_EQ(std::count(pic.pixels.begin(), pic.pixels.end(), c.inside), c.width * c.height);
        EXPECT_EQ(host.hints.back(), "---------");
        EXPECT_EQ(engine.TakeGrabArea(), Rect{});  // taken
    }
    // A failed grab says so and opens no save dialog.
    host.grabWorks = false;
    controller.RunTool(tool::kGrabAndSave);
    EXPECT_EQ(host.saves.size(), 1u);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(PhotoEditCommandsTest, ClearingAllMaterialsAsksFirst) {
    PartPlacement p;
    p.layer = 45;
    p.naturalWidth = 10;
    p.naturalHeight = 10;
    p.picture = "g.png";
    materials.Place(p);
    host.answer = platform::MbResult::No;
    controller.Command(cmd::kClearMaterials);
    EXPECT_TRUE(materials.AnyVisible());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "真要清楚全部素材(服装)吗?请确认!");
    host.answer = platform::MbResult::Yes;
    controller.Command(cmd::kClearMaterials);
    EXPECT_FALSE(materials.AnyVisible());
}

}  // namespace
