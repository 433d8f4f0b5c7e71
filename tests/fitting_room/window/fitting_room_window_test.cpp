// The fitting room in the client under a real X server: side bar to the
// fitting room, a category request, a thumbnail click that dresses the model,
// a drag, the wheel, the in-window menu and a snapshot, all with synthetic
// mouse events. Screens go to screens/fitting-room-*.png for people to look at.
//
// It runs on the demo base directory when the build made one with the basic
// projects, and on a small base directory of its own otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>

#include "fitting_room/dress_view.h"
#include "fitting_room/shared_objects.h"
#include "platform/ui/message_box.h"
#include "shell/bar_geometry.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/main_frame.h"
#include "shell/nav_bar.h"
#include "shell/sys_info.h"
#include "tests/fitting_room/fitting_fixtures.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"

using namespace fitting_room;
using namespace fitting_test;

namespace {

// ---- a base directory of our own ----

wxImage Blank(int w, int h) {
    wxImage img(w, h);
    img.InitAlpha();
    std::fill(img.GetAlpha(), img.GetAlpha() + w * h, 0);
    return img;
}

void Paint(wxImage& img, int x0, int y0, int x1, int y1, wxColour c, bool ellipse = false) {
    const double cx = (x0 + x1) / 2.0, cy = (y0 + y1) / 2.0, rx = (x1 - x0) / 2.0, ry = (y1 - y0) / 2.0;
    for (int y = std::max(0, y0); y < std::min(img.GetHeight(), y1); ++y)
        for (int x = std::max(0, x0); x < std::min(img.GetWidth(), x1); ++x) {
            if (ellipse && std::pow((x + 0.5 - cx) / rx, 2) + std::pow((y + 0.5 - cy) / ry, 2) > 1.0) continue;
            img.SetRGB(x, y, c.Red(), c.Green(), c.Blue());
            img.SetAlpha(x, y, 255);
        }
}

void Save(const wxImage& img, const fs::path& p, wxBitmapType type = wxBITMAP_TYPE_PNG) {
    fs::create_directories(p.parent_path());
    ASSERT_TRUE(img.SaveFile(wxString::FromUTF8(p.string()), type)) << p;
}

// The stored x of a picture whose left edge should land at `left` (the
// fitting rule centres a portrait picture in a square of its height).
int StoredX(int left, int w, int h) { return h > w ? left - (h - w) / 2 : left; }
int StoredY(int top, int w, int h) { return w > h ? top - (w - h) / 2 : top; }

void MakeBase(const fs::path& base) {
    wxImage room(460, 520);
    for (int y = 0; y < 520; ++y)
        for (int x = 0; x < 460; ++x) room.SetRGB(x, y, 236 - y / 8, 228 - y / 10, 214 - y / 12);
    Save(room, base / "服饰搭配背景图" / "试衣间背景图.jpg", wxBITMAP_TYPE_JPEG);
    wxImage platform(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) platform.SetRGB(x, y, 90 + y / 10, 110 + y / 12, 140 + x / 20);
    Save(platform, base / "服饰搭配背景图" / "试衣平台背景.jpg", wxBITMAP_TYPE_JPEG);

    // Interface pictures: list backgrounds, cell frames, a few buttons.
    const fs::path sys = base / "服饰搭配sysproj";
    for (const char* name : {"图片列表背景RED.png", "图片列表背景BLUE.png"}) {
        wxImage bg(64, 64, true);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) bg.SetRGB(x, y, 250, 246 - y / 4, 240);
        Save(bg, sys / name);
    }
    for (const char* name : {"图片框背景RED.PNG", "图片框背景BLUE.png"}) {
        wxImage frame = Blank(86, 86);
        Paint(frame, 0, 0, 86, 86, wxColour(190, 160, 150));
        Paint(frame, 3, 3, 83, 83, wxColour(255, 255, 255));
        Save(frame, sys / name);
    }
    const char* words[] = {"上装", "下装", "包鞋类", "饰品", "套装"};
    for (const char* w : words) {
        wxImage b = Blank(30, 104);
        Paint(b, 0, 20, 30, 88, wxColour(200, 60, 60));
        Save(b, sys / (std::string("LEFTREDAR_") + w + ".png"));
    }
    for (const char* name :
         {"DressHouseMnu_Clear.png", "DressHouseMnu_DeepDown.png", "DressHouseMnu_DeepUp.png",
          "DressHouseMnu_Small.png", "DressHouseMnu_Large.png", "DressHouseMnu_ClothSEL.png",
          "DressHouseMnu_LDecoSEL.png", "DressHouseMnu_ClothDel.png", "DressHouseMnu_SaveDeco.png"}) {
        wxImage b = Blank(54, 28);
        Paint(b, 0, 0, 54, 28, wxColour(40, 90, 160), true);
        Save(b, sys / name);
    }
    wxImage pad = Blank(60, 56);
    Paint(pad, 0, 0, 60, 56, wxColour(60, 60, 60), true);
    Save(pad, sys / "DressHouseMnu_PicMovPlate.png");

    // "女装": the model (its first category, shown last), tops and skirts.
    const fs::path pics = BasicPictures(base, "女装");
    wxImage model = Blank(160, 480);
    Paint(model, 55, 0, 105, 60, wxColour(236, 200, 170), true);     // head
    Paint(model, 70, 55, 90, 80, wxColour(236, 200, 170));           // neck
    Paint(model, 30, 75, 130, 280, wxColour(236, 200, 170), true);   // body
    Paint(model, 45, 260, 75, 480, wxColour(236, 200, 170));         // legs
    Paint(model, 85, 260, 115, 480, wxColour(236, 200, 170));
    Save(model, pics / "女模特.png");
    wxImage top = Blank(150, 130);
    Paint(top, 0, 0, 150, 130, wxColour(20, 150, 140), true);
    Save(top, pics / "青绿上衣.png");
    wxImage top2 = Blank(150, 130);
    Paint(top2, 0, 0, 150, 130, wxColour(200, 40, 60), true);
    Save(top2, pics / "红色上衣.png");
    wxImage skirt = Blank(120, 150);
    Paint(skirt, 10, 0, 110, 150, wxColour(30, 40, 110));
    Save(skirt, pics / "藏青裙.png");

    std::vector<PartSpec> parts = Parts("T:模特 女模特 T:上装 青绿上衣 红色上衣 T:下装 藏青裙");
    const int modelLeft = 149, modelTop = 19;
    auto place = [&](PartSpec& p, int left, int top, int w, int h, int depth) {
        p.x = StoredX(left, w, h);
        p.y = StoredY(top, w, h);
        p.depth = depth;
    };
    place(parts[1], modelLeft, modelTop, 160, 480, 99);
    place(parts[3], modelLeft + 5, modelTop + 80, 150, 130, 45);
    place(parts[4], modelLeft + 5, modelTop + 80, 150, 130, 45);
    place(parts[6], modelLeft + 20, modelTop + 200, 120, 150, 55);
    WriteProject(BasicProject(base, "女装"), *Project(parts));
    for (const char* name : {"男装", "童装"}) WriteProject(BasicProject(base, name), *Project(Parts("T:上装 x")));

    const fs::path acc = BasicPictures(base, "饰品");
    wxImage hat = Blank(120, 60);
    Paint(hat, 0, 20, 120, 60, wxColour(210, 180, 90), true);
    Paint(hat, 30, 0, 90, 45, wxColour(210, 180, 90), true);
    Save(hat, acc / "草帽.png");
    std::vector<PartSpec> accessories = Parts("T:帽子 草帽");
    place(accessories[1], modelLeft + 20, modelTop - 10, 120, 60, 10);
    WriteProject(BasicProject(base, "饰品"), *Project(accessories));
    fs::create_directories(base / "服饰搭配拍照图片");
}

// ---- synthetic mouse events ----

void Mouse(wxWindow* w, wxEventType type, Point p, bool left = false, int wheel = 0) {
    wxMouseEvent e(type);
    e.SetEventObject(w);
    e.SetPosition(wxPoint(p.x, p.y));
    e.m_leftDown = left;
    e.m_wheelRotation = wheel;
    e.m_wheelDelta = 120;
    w->GetEventHandler()->ProcessEvent(e);
    testsupport::PumpEvents(30);
}

Point Centre(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class FittingRoomWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedObjects();
        shell::ResetDeferred();
        shell::ResetSysInfo();
        if (useDemo) {
            ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰搭配基本项目/女装.dm3"));
            fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
            fs::remove(tmp / "FittoraSysinfo.dm3");
            fs::create_directories(tmp / "服饰搭配拍照图片");
            demo = true;
        } else {
            MakeBase(tmp.path());
        }
        shell::SetBaseDirectory(tmp.path());
        client.SetViewFactory(1, [this](wxWindow* parent) {
            view = new CCDressCCView(parent);
            return view;
        });
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        testsupport::PumpEvents(300);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        frame = nullptr;
        testsupport::PumpEvents(50);
        shell::ResetDeferred();
        ResetSharedObjects();
    }
    void OpenFittingRoom() {
        const auto tabs = shell::NavTabs(frame->navBar()->lineHeight());
        frame->navBar()->ClickAt(10, (tabs[1].hit.top + tabs[1].hit.bottom) / 2);
        testsupport::PumpEvents(400);
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(view->IsShownOnScreen());
    }
    void Shot(const std::string& name) {
        testsupport::PumpEvents(200);
        testsupport::SaveWindowScreenshot(
            frame, std::string(demo ? testsupport::Screen("fitting-room-demo-") : testsupport::Screen("fitting-room-")) + name + ".png");
    }
    // The first item of category c of the right list, clicked in the view.
    PickedItem ClickThumbnail(int c, int cell) {
        const auto plan = RightGarmentList().PagePlan();
        for (const auto& pc : plan) {
            if (pc.category != c || cell >= static_cast<int>(pc.cells.size())) continue;
            Mouse(view, wxEVT_LEFT_DOWN, Centre(pc.cells[static_cast<std::size_t>(cell)].hit), true);
            Mouse(view, wxEVT_LEFT_UP, Centre(pc.cells[static_cast<std::size_t>(cell)].hit));
            PickedItem item;
            RightGarmentList().GetPickedItem(&item);
            return item;
        }
        ADD_FAILURE() << "no cell " << cell << " of category " << c;
        return {};
    }
    // The category of the right list that holds garments worn on the body
    // ("上装"), by name.
    int CategoryNamed(const std::string& name) {
        for (int i = 0; i < RightGarmentList().CategoryCount(); ++i)
            if (RightGarmentList().category(i).name == name) return i;
        return 0;
    }

    testsupport::TempDir tmp;
    ClientShell client;
    CMainFrame* frame = nullptr;
    CCDressCCView* view = nullptr;
    bool useDemo = false;
    bool demo = false;
};

// The same, on the demo base directory that the build makes.
class DemoBaseWindowTest : public FittingRoomWindowTest {
protected:
    void SetUp() override {
        useDemo = true;
        FittingRoomWindowTest::SetUp();
    }
};

TEST_F(FittingRoomWindowTest, DressDragScaleAndSnapshot) {
    OpenFittingRoom();
    CFittingModel& model = FittingModel();
    CCShowGraCWnd* stage = view->stage();
    EXPECT_EQ(stage->GetId(), kShowGraWndId);
    EXPECT_EQ(stage->GetSize(), wxSize(kStageWidth, kStageHeight));
    const wxSize client = stage->GetClientSize();
    EXPECT_EQ(model.stageRect(), (Rect{0, 0, client.x, client.y}));

    // The category request of the picture toolbar: men's wear, then women's.
    shell::Deferred().Store(kReqMensWear);
    shell::Deferred().Store(kReqWomensWear);
    testsupport::PumpEvents(100);
    ASSERT_GE(RightGarmentList().CategoryCount(), 2);
    EXPECT_EQ(RightGarmentList().category(RightGarmentList().CategoryCount() - 1).name, "模特");
    Shot("1-list");

    // The model is the last category: the request dresses the stage with it.
    shell::Deferred().Store(kReqDressLastCategory);
    const PickedItem top = ClickThumbnail(CategoryNamed("上装"), 0);
    int slot = top.Slot();
    ASSERT_TRUE(model.item('R', slot).Shown()) << top.picture;
    EXPECT_EQ(model.item('R', slot).picture, top.picture);
    const Rect placed = model.DrawnRect('R', slot);
    Shot("2-dressed");

    // The garment sits on the model: its centre is over the model's picture.
    int modelSlot = 0;
    for (int s = 99; s >= 1 && !modelSlot; --s)
        if (s != slot && model.item('R', s).Shown()) modelSlot = s;
    ASSERT_NE(modelSlot, 0);
    const Rect body = model.DrawnRect('R', modelSlot);
    EXPECT_TRUE(body.Contains(Centre(placed)));

    // A press on the garment (current already) and a drag move it.
    const Point from = Centre(placed);
    Mouse(stage, wxEVT_LEFT_DOWN, from, true);
    Mouse(stage, wxEVT_MOTION, {from.x + 10, from.y + 10}, true);
    Mouse(stage, wxEVT_MOTION, {from.x + 40, from.y + 30}, true);
    Mouse(stage, wxEVT_LEFT_UP, {from.x + 40, from.y + 30});
    const Rect dragged = model.DrawnRect('R', slot);
    EXPECT_NEAR(Centre(dragged).x, from.x + 40, 1);
    EXPECT_NEAR(Centre(dragged).y, from.y + 30, 1);
    Shot("3-dragged");

    // The wheel over the view scales the selected garment.
    const int width = model.item('R', slot).width;
    Mouse(view, wxEVT_MOUSEWHEEL, {5, 5}, false, 120);
    EXPECT_EQ(model.item('R', slot).width, static_cast<int>(width * 1.025));

    // The in-window menu; its layer buttons, clicked through the X server,
    // send the top behind the skirt it overlaps and bring it in front again.
    // What the screen shows where both lie tells the order.
    const PickedItem skirt = ClickThumbnail(CategoryNamed("下装"), 0);
    const int skirtSlot = skirt.Slot();
    ASSERT_TRUE(model.item('R', skirtSlot).Shown()) << skirt.picture;
    ASSERT_LT(slot, skirtSlot) << "the top is dressed in front of the skirt";
    const Rect topRect = model.DrawnRect('R', slot), skirtRect = model.DrawnRect('R', skirtSlot);
    const Rect overlap{std::max(topRect.left, skirtRect.left), std::max(topRect.top, skirtRect.top),
                       std::min(topRect.right, skirtRect.right), std::min(topRect.bottom, skirtRect.bottom)};
    ASSERT_GT(overlap.width(), 20);
    ASSERT_GT(overlap.height(), 20);
    // Top and skirt colours seen in the overlap: {top, skirt}.
    const auto seen = [&] {
        testsupport::PumpEvents(200);
        const wxPoint at = stage->ClientToScreen(wxPoint(overlap.left, overlap.top));
        const wxImage shown = testsupport::GrabScreenArea(wxRect(at, wxSize(overlap.width(), overlap.height())));
        std::pair<int, int> n{0, 0};
        for (int y = 0; y < shown.GetHeight(); ++y)
            for (int x = 0; x < shown.GetWidth(); ++x) {
                const int r = shown.GetRed(x, y), g = shown.GetGreen(x, y), b = shown.GetBlue(x, y);
                if (std::abs(r - 20) + std::abs(g - 150) + std::abs(b - 140) < 40) ++n.first;
                if (std::abs(r - 30) + std::abs(g - 40) + std::abs(b - 110) < 40) ++n.second;
            }
        return n;
    };
    // The top is selected again by a click where only the top lies.
    testsupport::ClickAt(stage, wxPoint(Centre(topRect).x, topRect.top + 20));
    ASSERT_EQ(model.currentSlot(), slot);
    const auto inFront = seen();
    EXPECT_GT(inFront.first, 100);

    shell::Deferred().Store(kReqToggleMenu);
    testsupport::PumpEvents(100);
    EXPECT_TRUE(stage->control().menuShown());
    Shot("4-menu");
    const auto layerButton = [&](int command) {
        for (int i = 0; i < kMenuButtonCount; ++i)
            if (stage->control().button(i).command == command) return stage->control().button(i).drawn;
        return Rect{};
    };
    const Rect deeper = layerButton(kLayerDeeper), nearer = layerButton(kLayerNearer);
    ASSERT_GT(deeper.width(), 0);
    ASSERT_GT(nearer.width(), 0);
    testsupport::ClickAt(stage, wxPoint(Centre(deeper).x, Centre(deeper).y));
    EXPECT_GT(model.currentSlot(), skirtSlot) << "one layer deeper is behind the skirt";
    const auto behind = seen();
    EXPECT_LT(behind.first, inFront.first / 4);
    EXPECT_GT(behind.second, inFront.second + inFront.first / 2);
    testsupport::ClickAt(stage, wxPoint(Centre(nearer).x, Centre(nearer).y));
    EXPECT_LT(model.currentSlot(), skirtSlot);
    const auto again = seen();
    EXPECT_NEAR(again.first, inFront.first, inFront.first / 10);
    slot = model.currentSlot();
    shell::Deferred().Store(kReqToggleMenu);

    // A snapshot of the dressed stage while another window covers it: the
    // picture holds the stage and nothing else.
    auto* cover = new wxFrame(nullptr, wxID_ANY, "cover", stage->GetScreenPosition() + wxPoint(20, 20), wxSize(150, 150),
                              wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP | wxBORDER_NONE);
    cover->SetBackgroundColour(wxColour(255, 0, 255));
    cover->Show();
    testsupport::PumpEvents(200);
    const fs::path shot = tmp / "服饰搭配拍照图片" / "我的照片001.png";
    model.SetSavePath(shot, 'P');
    shell::Deferred().Store(kReqSnapshot);
    cover->Destroy();
    ASSERT_TRUE(fs::exists(shot));
    wxImage saved(wxString::FromUTF8(shot.string()), wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(saved.IsOk());
    EXPECT_EQ(saved.GetSize(), client);
    int magenta = 0;
    for (int y = 0; y < saved.GetHeight(); ++y)
        for (int x = 0; x < saved.GetWidth(); ++x)
            if (saved.GetRed(x, y) > 240 && saved.GetGreen(x, y) < 15 && saved.GetBlue(x, y) > 240) ++magenta;
    EXPECT_EQ(magenta, 0);
    // The garment is in it where it is drawn, with the garment's own colour.
    const auto garment = platform::image::CachedPicture(top.picture);
    ASSERT_TRUE(garment);
    const Rect now = model.DrawnRect('R', slot);
    int matching = 0, opaque = 0;
    for (int gy = 0; gy < garment->GetHeight(); gy += 7)
        for (int gx = 0; gx < garment->GetWidth(); gx += 7) {
            if (garment->GetAlpha(gx, gy) < 255) continue;
            const int sx = now.left + gx * now.width() / garment->GetWidth();
            const int sy = now.top + gy * now.height() / garment->GetHeight();
            if (sx < 0 || sy < 0 || sx >= saved.GetWidth() || sy >= saved.GetHeight()) continue;
            ++opaque;
            const int d = std::abs(saved.GetRed(sx, sy) - garment->GetRed(gx, gy)) +
                          std::abs(saved.GetGreen(sx, sy) - garment->GetGreen(gx, gy)) +
                          std::abs(saved.GetBlue(sx, sy) - garment->GetBlue(gx, gy));
            if (d < 60) ++matching;
        }
    ASSERT_GT(opaque, 10);
    EXPECT_GT(matching, opaque * 8 / 10);
    fs::copy_file(shot, testsupport::Screen("fitting-room-5-snapshot.png"), fs::copy_options::overwrite_existing);

    // A snapshot that cannot be written says so.
    platform::ui::MessageBoxRecorder boxes;
    model.SetSavePath(tmp / "无此目录" / "x.png", 'P');
    shell::Deferred().Store(kReqSnapshot);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("照片没有保存成功"), std::string::npos);
    // The saved picture is shown on the stage on request.
    model.SetSavePath(shot, ' ');
    shell::Deferred().Store(kReqShowSaved);
    PaintOps ops;
    stage->control().WindowOps(ops);
    EXPECT_EQ(ops.back().path, shot);
    Shot("6-saved-shown");
}

TEST_F(FittingRoomWindowTest, TransparentBackgroundIsRenderedFromThePlatform) {
    OpenFittingRoom();
    CFittingModel& model = FittingModel();
    model.SetBackground("kzv_透明试衣间背景");
    shell::Deferred().Store(kReqTransparentBackground);
    const fs::path saved = model.TransparentBackgroundPath();
    ASSERT_TRUE(fs::exists(saved));
    wxImage img(wxString::FromUTF8(saved.string()), wxBITMAP_TYPE_JPEG);
    EXPECT_EQ(img.GetSize(), wxSize(kStageWidth, kStageHeight));
    // The same pixels as the platform background drawn by the view there.
    wxBitmap bmp(view->GetClientSize());
    {
        wxMemoryDC dc(bmp);
        view->Draw(dc);
    }
    const wxImage all = bmp.ConvertToImage();
    const Rect s = view->layout().stage;
    const wxPoint probe(s.left + 230, s.top + 20);
    EXPECT_NEAR(img.GetRed(230, 20), all.GetRed(probe.x, probe.y), 12);
    EXPECT_NEAR(img.GetBlue(230, 20), all.GetBlue(probe.x, probe.y), 12);
    Shot("7-transparent");
}

TEST_F(FittingRoomWindowTest, LayoutCycleAndSlideshow) {
    OpenFittingRoom();
    for (int i = 0; i < 3; ++i) shell::Deferred().Store(kReqNextLayout);
    testsupport::PumpEvents(100);
    EXPECT_EQ(RightGarmentList().layoutMode(), 2);
    Shot("8-layout-tabs");
    shell::Deferred().Store(kReqNextLayout);
    EXPECT_EQ(RightGarmentList().layoutMode(), 1);
    EXPECT_EQ(RightGarmentList().GetOption(), kSchemeBlue);

    // Show pictures come one after another on a timer; the window stays live.
    FittingModel().SetStringList({}, {tmp / "服饰搭配背景图" / "试衣平台背景.jpg"}, "");
    shell::Deferred().Store(kReqShowPictures);
    EXPECT_TRUE(view->stage()->control().InSlideshow());
    testsupport::PumpEvents(100);
    EXPECT_TRUE(view->stage()->control().InSlideshow());
    testsupport::PumpEvents(2700);
    EXPECT_FALSE(view->stage()->control().InSlideshow());
}

TEST_F(DemoBaseWindowTest, DressesTheModelFromTheBasicProjects) {
    OpenFittingRoom();
    CFittingModel& model = FittingModel();
    Shot("1-list");
    shell::Deferred().Store(kReqDressLastCategory);
    std::vector<int> slots;
    for (const char* category : {"上装", "下装"}) {
        const PickedItem item = ClickThumbnail(CategoryNamed(category), 0);
        ASSERT_TRUE(model.item('R', item.Slot()).Shown()) << item.picture;
        slots.push_back(item.Slot());
    }
    Shot("2-dressed");
    shell::Deferred().Store(kReqToggleMenu);
    model.SelectNext(kSelectNextRight);
    view->stage()->OnMenuCommand(kSelectNextRight);
    Shot("3-menu");
    int modelSlot = 0;
    for (int s = 99; s >= 1 && !modelSlot; --s)
        if (model.item('R', s).Shown() && std::find(slots.begin(), slots.end(), s) == slots.end()) modelSlot = s;
    ASSERT_NE(modelSlot, 0);
    const Rect body = model.DrawnRect('R', modelSlot);
    for (int s : slots) {
        // Each garment lies across the model's middle line.
        const Rect g = model.DrawnRect('R', s);
        const int middle = (body.left + body.right) / 2;
        EXPECT_LT(std::abs((g.left + g.right) / 2 - middle), g.width() / 4)
            << model.item('R', s).picture << " is drawn at " << g.left << "," << g.top << " (" << g.width() << " x "
            << g.height() << "), the model at " << body.left << "," << body.top << " (" << body.width() << " x "
            << body.height() << ")";
    }
}

}  // namespace
