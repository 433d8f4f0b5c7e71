// The fitting room's child frame as a user drives it, on the demo base
// directory: the picture toolbar's categories (女装 current at start), the
// model, a web project and a room background through the chooser, a snapshot
// through the snapshot bar and a replaced garment. Screens go to
// screens/fitting-frame-*.png for people to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fitting_room/dress_child_frame.h"
#include "fitting_room/dress_toolbar.h"
#include "fitting_room/dress_view.h"
#include "fitting_room/photo_bar.h"
#include "fitting_room/project_chooser_core.h"
#include "fitting_room/replace_cloth_dlg.h"
#include "fitting_room/shared_objects.h"
#include "platform/sound/sound.h"
#include "platform/ui/message_box.h"
#include "project_editor/project_file.h"
#include "shell/deferred_request.h"
#include "shell/main_frame.h"
#include "tests/fitting_room/window/chooser_driver.h"
#include "tests/fitting_room/window/fitting_room_in_client.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

#include <wx/combobox.h>
#include <wx/textctrl.h>

using namespace fitting_room;
namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class FittingFrameWindowTest : public fittingtest::FittingRoomInClient {
protected:
    void SetUp() override {
        DressToolBarDialogs() = {};
        OpenRoom("服饰搭配sysproj/女装Open.ico");
    }
    void TearDown() override {
        DressToolBarDialogs() = {};
        CloseRoom();
    }
    // A click on a toolbar button; the request it sent (0 for none).
    std::int32_t Press(int id) {
        shell::Deferred().code = 0;
        const wxPoint at = bar->ButtonCentre(id);
        EXPECT_EQ(bar->ButtonAt(at), id);
        bar->ClickAt(at);
        testsupport::PumpEvents(150);
        return shell::Deferred().code;
    }
    void Shot(const std::string& name, wxWindow* w = nullptr) {
        testsupport::PumpEvents(250);
        testsupport::SaveWindowScreenshot(w ? w : frame, testsupport::Screen("fitting-frame-") + name + ".png");
    }
    bool ModelShown() {
        for (int s = 1; s <= 99; ++s)
            if (FittingModel().item('R', s).Shown()) return true;
        return false;
    }
};

TEST_F(FittingFrameWindowTest, AUserDrivesTheRoomFromTheToolbar) {
    platform::ui::MessageBoxRecorder boxes;
    EXPECT_EQ(bar->GetSize().y, kToolBarHeight);
    EXPECT_EQ(room->caption(), wxString::FromUTF8("试衣搭配"));
    EXPECT_EQ(RightGarmentList().basicProjectShown(), "女装");
    Shot("1-toolbar");

    // 女装 is current: a click on it sends nothing. 男装, then 女装 again.
    EXPECT_EQ(Press(kBtnWomens), 0);
    EXPECT_EQ(Press(kBtnMens), 66601004);
    EXPECT_EQ(RightGarmentList().basicProjectShown(), "男装");
    EXPECT_EQ(bar->rules().Find(kBtnMens)->state, 'O');
    EXPECT_EQ(bar->rules().Find(kBtnWomens)->state, 'C');
    EXPECT_EQ(Press(kBtnWomens), 66601003);
    EXPECT_EQ(RightGarmentList().basicProjectShown(), "女装");

    // The model button dresses the stage with the model.
    EXPECT_FALSE(ModelShown());
    EXPECT_EQ(Press(kBtnModel), 66601005);
    EXPECT_TRUE(ModelShown());
    Shot("2-model");

    // A room background through the chooser; a cancelled chooser only repaints.
    DressToolBarDialogs().chooser = [&](wxWindow*, ChooserMode mode, int, int) {
        return ChooseName(mode, tmp.path(), "试衣间背景图_摄影棚", {});
    };
    EXPECT_EQ(Press(kBtnRoomBackground), 66601012);
    EXPECT_NE(FittingModel().GetBackgroundPath().string().find("摄影棚"), std::string::npos);
    Shot("3-background");
    DressToolBarDialogs().chooser = [](wxWindow*, ChooserMode, int, int) { return ChooserResult{}; };
    EXPECT_EQ(Press(kBtnRoomBackground), 66600366);
    EXPECT_NE(FittingModel().GetBackgroundPath().string().find("摄影棚"), std::string::npos);

    // The snapshot bar starts hidden; the camera shows it, a snapshot is taken
    // under a typed name in PNG, the camera hides it again.
    DlgPhotoBar* photo = room->photoBar();
    ASSERT_NE(photo, nullptr);
    EXPECT_FALSE(photo->IsShown());
    EXPECT_EQ(Press(kBtnCamera), 66601009);
    EXPECT_TRUE(photo->IsShown());
    // It opens at (60, 100) of the screen.
    testsupport::PumpEvents(200);
    EXPECT_EQ(photo->GetScreenPosition(), wxPoint(60, 100));
    photo->nameEdit()->ChangeValue("../逃出");
    EXPECT_FALSE(photo->TakeSnapshot());
    ASSERT_EQ(boxes.shown().size(), 1u);
    photo->nameEdit()->ChangeValue(wxString::FromUTF8("窗口测试"));
    photo->formatCombo()->SetSelection(1);
    ASSERT_TRUE(photo->TakeSnapshot());
    testsupport::PumpEvents(200);
    const fs::path shot = tmp / "服饰搭配拍照图片" / "窗口测试.png";
    EXPECT_TRUE(fs::exists(shot));
    Shot("4-snapshot-bar");
    photo->ToggleMode();
    EXPECT_NE(photo->savedCombo()->FindString(wxString::FromUTF8("窗口测试.png")), wxNOT_FOUND);
    photo->ToggleMode();
    EXPECT_EQ(Press(kBtnCamera), 66601009);
    EXPECT_FALSE(photo->IsShown());

    // Replace without a picked garment: the message, and a repaint.
    EXPECT_EQ(Press(kBtnReplace), 66600366);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].text, "还没有选择同类服装项目!不能添加或替换。");

    // Pick a garment in the list, then replace its picture with another.
    CCDressCCView* view = room->view();
    const auto plan = RightGarmentList().PagePlan();
    ASSERT_FALSE(plan.empty());
    ASSERT_FALSE(plan.front().cells.empty());
    const Rect hit = plan.front().cells.front().hit;
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    down.SetPosition(wxPoint((hit.left + hit.right) / 2, (hit.top + hit.bottom) / 2));
    down.m_leftDown = true;
    view->GetEventHandler()->ProcessEvent(down);
    testsupport::PumpEvents(100);
    PickedItem before;
    ASSERT_EQ(RightGarmentList().GetPickedItem(&before), 1);
    fs::path source;
    for (const auto& e : fs::directory_iterator(before.picture.parent_path()))
        if (e.path().extension() == ".png" && e.path() != before.picture && e.path().filename() != "女模特.png") {
            source = e.path();
            break;
        }
    ASSERT_FALSE(source.empty());
    float newScale = 0;
    DressToolBarDialogs().replace = [&](wxWindow* parent) {
        CDlgReplaceCloth dlg(parent);
        EXPECT_EQ(dlg.target(), before.picture);
        dlg.ChooseFile(source);
        dlg.Show();
        Shot("5-replace-dialog", &dlg);
        EXPECT_TRUE(dlg.Replace());
        newScale = dlg.scale();
    };
    EXPECT_EQ(Press(kBtnReplace), 66600366);
    EXPECT_EQ(Bytes(before.picture), Bytes(source));
    PickedItem after;
    ASSERT_EQ(RightGarmentList().GetPickedItem(&after), 1);
    EXPECT_FLOAT_EQ(after.scale, newScale);
    // The project file keeps the new scale: a reload shows the same.
    EXPECT_EQ(Press(kBtnMens), 66601004);
    EXPECT_EQ(Press(kBtnWomens), 66601003);
    view->GetEventHandler()->ProcessEvent(down);
    testsupport::PumpEvents(100);
    PickedItem reloaded;
    ASSERT_EQ(RightGarmentList().GetPickedItem(&reloaded), 1);
    EXPECT_EQ(reloaded.picture, before.picture);
    EXPECT_FLOAT_EQ(reloaded.scale, newScale);

    // The voice button plays the picked garment's voice; a second press stops
    // it, a third starts it again.
    platform::sound::Stop();
    bool voiced = false;
    for (const auto& cell : plan.front().cells) {
        wxMouseEvent pick(wxEVT_LEFT_DOWN);
        pick.SetPosition(wxPoint((cell.hit.left + cell.hit.right) / 2, (cell.hit.top + cell.hit.bottom) / 2));
        pick.m_leftDown = true;
        view->GetEventHandler()->ProcessEvent(pick);
        testsupport::PumpEvents(50);
        if (!FittingModel().GetFirstListTitle().empty()) {
            voiced = true;
            break;
        }
    }
    ASSERT_TRUE(voiced) << "no garment of the first page has a voice";
    EXPECT_TRUE(fs::exists(FittingModel().GetFirstListTitle())) << FittingModel().GetFirstListTitle();
    EXPECT_EQ(Press(kBtnVoice), 66601008);
    EXPECT_TRUE(platform::sound::IsPlaying());
    EXPECT_EQ(Press(kBtnVoice), 66601008);
    EXPECT_FALSE(platform::sound::IsPlaying());
    EXPECT_EQ(Press(kBtnVoice), 66601008);
    EXPECT_TRUE(platform::sound::IsPlaying());
    platform::sound::Stop();
    // A voice whose file is gone is named in a message.
    const std::size_t shownBefore = boxes.shown().size();
    FittingModel().SetStringList(tmp / "音乐及语音" / "不在了.wav", {}, "");
    EXPECT_EQ(Press(kBtnVoice), 66601008);
    ASSERT_EQ(boxes.shown().size(), shownBefore + 1);
    EXPECT_EQ(boxes.shown().back().text, "找不到声音文件: 不在了.wav");
    EXPECT_FALSE(platform::sound::IsPlaying());

    // The guide button opens the operation guide, then repaints.
    int guides = 0;
    DressToolBarDialogs().guide = [&](wxWindow*) { ++guides; };
    EXPECT_EQ(Press(kBtnHelp), 66600366);
    EXPECT_EQ(guides, 1);

    // The web project through the chooser itself, picked with the mouse.
    DressToolBarDialogs().chooser = {};
    choosertest::ChooserDriver driver("2010秋冬女装", 1007, testsupport::Screen("fitting-frame-7-chooser.png"));
    EXPECT_EQ(Press(kBtnCustom), 66601001);
    EXPECT_FALSE(driver.timedOut);
    EXPECT_TRUE(driver.pressed);
    EXPECT_EQ(driver.seen.caption, wxString::FromUTF8("自选试衣项目"));
    EXPECT_EQ(RightGarmentList().IsProjectLoaded(), 1);
    EXPECT_EQ(RightGarmentList().basicProjectShown(), "");
    EXPECT_EQ(bar->rules().Find(kBtnCustom)->state, 'O');
    Shot("6-web-project");
}

}  // namespace
