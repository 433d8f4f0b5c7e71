// The picture controls under a real X server: hover buttons in their states,
// links with a fake opener, drawing items and their rubber band on a toolkit
// context (the same look as on our own surface), and the placed colour
// chooser. Screens go to screens/picture-controls-*.png for people to look at.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include "controls/mem_dc.h"
#include "picture_controls/dc_draw_painter.h"
#include "picture_controls/draw_item_list.h"
#include "picture_controls/hover_button.h"
#include "picture_controls/hyper_link.h"
#include "picture_controls/my_color_sel_dlg.h"
#include "picture_controls/surface_image.h"
#include "platform/ui/message_box.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"

using namespace picture_controls;
using testsupport::PumpEvents;

namespace {

void Send(wxWindow* w, wxEventType type, int x, int y) {
    wxMouseEvent e(type);
    e.SetPosition(wxPoint(x, y));
    e.m_x = x;
    e.m_y = y;
    e.SetEventObject(w);
    e.SetId(w->GetId());
    w->GetEventHandler()->ProcessEvent(e);
}

void Key(wxWindow* w, int code) {
    wxKeyEvent e(wxEVT_KEY_DOWN);
    e.m_keyCode = code;
    e.SetEventObject(w);
    w->GetEventHandler()->ProcessEvent(e);
}

wxBitmap SmallIcon() {
    wxBitmap bmp(16, 16);
    wxMemoryDC dc(bmp);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(wxPen(wxColour(200, 40, 40), 2));
    dc.SetBrush(wxBrush(wxColour(250, 200, 60)));
    dc.DrawEllipse(1, 1, 14, 14);
    return bmp;
}

// A list with one of each item, used by the drawing panel and the look test.
void FillList(CDrawItemList& list) {
    list.Clear();
    list.SetColor(0x2020C0);
    list.SetWidth(2);
    list.AddItem('A');
    for (Point p : {Point{12, 70}, {40, 30}, {70, 60}, {100, 24}}) list.AddPoint(p.x, p.y);
    list.EndItem();
    list.SetColor(0x208020);
    list.SetWidth(3);
    list.AddItem('B');
    list.AddPoint(120, 20);
    list.AddPoint(200, 80);
    list.EndItem();
    list.SetColor(0xC04000);
    list.SetWidth(1);
    list.AddItem('C');
    list.AddPoint(220, 20);
    list.AddPoint(300, 80);
    list.EndItem();
    list.SetColor(0x00A0E0);
    list.AddItem('D');
    for (Point p : {Point{320, 80}, {350, 20}, {380, 80}}) list.AddPoint(p.x, p.y);
    list.EndItem();
    list.SetColor(0x0000FF);
    list.SetWidth(1);
    list.BeginRubberBand('A', 20, 120);
    list.DrawRubberBand(150, 110, 0);
    list.EndRubberBand();
    list.AddItem('E');
    list.EndItem();
}

}  // namespace

TEST(PictureControlsWindow, ButtonsLinksAndDrawingItems) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "picture controls", wxPoint(0, 0), wxSize(560, 420));
    auto* panel = new wxPanel(frame);
    panel->SetBackgroundColour(wxColour(236, 236, 236));

    CHoverButton* buttons[5];
    const char* labels[5] = {"背景色", "悬停", "按下", "不可用", ""};
    for (int i = 0; i < 5; ++i)
        buttons[i] = new CHoverButton(panel, 1000 + i, wxString::FromUTF8(labels[i]), wxPoint(10 + i * 84, 10),
                                      wxSize(76, 26));
    buttons[4]->SetIcon(SmallIcon());
    auto* pictova = new CHoverButton(panel, 1010, wxString::FromUTF8("图标"), wxPoint(430, 10), wxSize(76, 26),
                                     HoverButtonLook::PhotoEditor);
    pictova->SetIcon(SmallIcon());

    std::vector<std::string> opened;
    CHyperLink::SetOpener([&](const std::string& target, std::string* error) {
        if (target.rfind("https://", 0) != 0) {
            if (error) *error = "no such page or document: " + target;
            return false;
        }
        opened.push_back(target);
        return true;
    });
    auto* manual = new CHyperLink(panel, 1020, wxString::FromUTF8("使用说明"), "https://example.com/manual",
                                  wxPoint(10, 50));
    auto* shop = new CHyperLink(panel, 1021, wxString(), "https://shop.example.com/", wxPoint(120, 50));
    auto* broken = new CHyperLink(panel, 1022, wxString::FromUTF8("联系我们"), "tencent://message/?uin=1",
                                  wxPoint(330, 50), wxDefaultSize, 0,
                                  link_option::kDefault | link_option::kDownClick);

    auto list = std::make_unique<CDrawItemList>();
    FillList(*list);
    list->BeginRubberBand('R', 200, 100);
    list->DrawRubberBand(330, 150, 0);  // kept as state, painted with the items
    auto* canvas = new wxPanel(panel, wxID_ANY, wxPoint(10, 90), wxSize(520, 180));
    canvas->SetBackgroundStyle(wxBG_STYLE_PAINT);
    canvas->Bind(wxEVT_PAINT, [&](wxPaintEvent&) {
        wxPaintDC paint(canvas);
        CMemDC mem(paint, wxRect(canvas->GetClientSize()));
        wxDC& dc = mem.dc();
        dc.SetBackground(wxBrush(wxColour(155, 222, 255)));
        dc.Clear();
        DcDrawPainter painter(dc);
        list->DrawAll(painter);
        list->PaintRubberBand(painter);
    });
    frame->Show();
    PumpEvents(200);

    // Hover, press and click.
    int clicks = 0;
    panel->Bind(wxEVT_BUTTON, [&](wxCommandEvent& e) { clicks += e.GetId() == 1000; });
    Send(buttons[0], wxEVT_MOTION, 10, 10);
    EXPECT_TRUE(buttons[0]->hovering());
    Send(buttons[0], wxEVT_LEFT_DOWN, 10, 10);
    EXPECT_TRUE(buttons[0]->pressed());
    EXPECT_FALSE(buttons[0]->hovering()) << "a press clears the glow";
    Send(buttons[0], wxEVT_LEFT_UP, 10, 10);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(buttons[0]->hovering()) << "until the mouse moves again";
    Send(buttons[0], wxEVT_LEFT_DOWN, 10, 10);
    Send(buttons[0], wxEVT_MOTION, 200, 10);
    EXPECT_FALSE(buttons[0]->pressed());
    Send(buttons[0], wxEVT_LEFT_UP, 200, 10);  // released outside: no click
    EXPECT_EQ(clicks, 1);
    Key(buttons[0], WXK_SPACE);
    EXPECT_EQ(clicks, 2);
    buttons[3]->Enable(false);
    Send(buttons[3], wxEVT_LEFT_DOWN, 5, 5);
    EXPECT_FALSE(buttons[3]->pressed());

    // Links: a click opens and marks visited; a refused target says why and
    // stays unvisited; with the down-click option the press opens.
    EXPECT_EQ(shop->GetLabel(), "https://shop.example.com/") << "an empty text shows the target";
    shop->SetLinkTarget("https://shop.example.com/new");
    EXPECT_EQ(shop->GetLabel(), "https://shop.example.com/new");
    EXPECT_EQ(shop->GetToolTipText(), "https://shop.example.com/new");
    const wxSize fitted = manual->GetSize();
    manual->SetLinkTarget("https://example.com/manual");
    EXPECT_EQ(manual->GetLabel(), wxString::FromUTF8("使用说明")) << "a text of its own stays";
    EXPECT_EQ(manual->GetSize(), fitted);
    Send(manual, wxEVT_LEFT_DOWN, 2, 2);
    Send(manual, wxEVT_LEFT_UP, 2, 2);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.com/manual"}));
    EXPECT_TRUE(manual->state().visited);
    Key(shop, 'A');
    EXPECT_EQ(opened.size(), 1u);
    Key(shop, WXK_SPACE);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened.back(), "https://shop.example.com/new");
    {
        platform::ui::MessageBoxRecorder boxes;
        Send(broken, wxEVT_LEFT_DOWN, 2, 2);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text.rfind("Can't open link:\n\n", 0), 0u);
        EXPECT_EQ(boxes.shown()[0].icon, platform::MbIcon::Exclamation);
        Send(broken, wxEVT_LEFT_UP, 2, 2);
        EXPECT_EQ(boxes.shown().size(), 1u) << "the release opens nothing with the down-click option";
        EXPECT_FALSE(broken->state().visited);
    }
    EXPECT_EQ(opened.size(), 2u);

    // The states to look at: hover on button 1, pressed on button 2.
    Send(buttons[1], wxEVT_MOTION, 5, 5);
    Send(buttons[2], wxEVT_LEFT_DOWN, 5, 5);
    manual->SetFocus();
    PumpEvents(150);
    canvas->Refresh();
    PumpEvents(150);
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(frame, testsupport::Screen("picture-controls-controls.png")));
    Send(buttons[2], wxEVT_LEFT_UP, 500, 500);
    CHyperLink::SetOpener({});
    frame->Destroy();
    PumpEvents(50);
}

TEST(PictureControlsWindow, FeedbackOnAToolkitContextLooksAsOnOurSurface) {
    // The same items, rubber band and focus outline drawn on a memory bitmap
    // through the toolkit painter and on a raster surface: the exclusive-or
    // pixels agree, and drawing the feedback twice restores the bitmap.
    const int w = 200, h = 120;
    platform::raster::Surface surface(w, h);
    wxImage start(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned r = (x * 3) & 0xFF, g = (y * 2) & 0xFF, b = (x + y) & 0xFF;
            start.SetRGB(x, y, r, g, b);
            surface.SetPixel(x, y, r | g << 8 | b << 16);
        }
    wxBitmap bmp(start, 24);
    const wxImage before = bmp.ConvertToImage();
    auto list = std::make_unique<CDrawItemList>();
    auto paintFeedback = [&](DrawPainter& p) {
        list->BeginRubberBand('C', 10, 10);
        list->DrawRubberBand(120, 90, 0);
        list->PaintRubberBand(p);
        list->BeginRubberBand('A', 20, 100);
        list->DrawRubberBand(180, 20, 0);
        list->PaintRubberBand(p);
        p.FocusRect(5, 5, 190, 110);
    };
    {
        wxMemoryDC dc(bmp);
        DcDrawPainter painter(dc);
        paintFeedback(painter);
    }
    platform::raster::Surface expected = surface;
    RasterDrawPainter raster(expected);
    paintFeedback(raster);
    const wxImage after = bmp.ConvertToImage();
    int differing = 0, changed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned c = after.GetRed(x, y) | after.GetGreen(x, y) << 8 | after.GetBlue(x, y) << 16;
            differing += c != expected.GetPixel(x, y);
            changed += c != surface.GetPixel(x, y);
        }
    EXPECT_GT(changed, 300);
    EXPECT_EQ(differing, 0);
    {
        wxMemoryDC dc(bmp);
        DcDrawPainter painter(dc);
        paintFeedback(painter);
    }
    const wxImage restored = bmp.ConvertToImage();
    EXPECT_EQ(0, memcmp(restored.GetData(), before.GetData(), static_cast<std::size_t>(w * h * 3)));
}

TEST(PictureControlsWindow, ColourChooserAppearsWhereItIsPlacedAndOnTheScreen) {
    const wxRect area = wxDisplay(0u).GetClientArea();
    struct Case {
        int x, y, mode;
        bool placed;
    } cases[] = {{200, 150, 1001, true}, {area.GetRight() - 20, area.GetBottom() - 20, 1001, true}, {100, 50, 0, false}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        CCMyColorSelDlg dlg(0x3366CC, 0, nullptr);
        dlg.SetPosition(c.x, c.y, c.mode);
        wxRect shown;
        unsigned chosen = 0;
        const bool screenshot = n == 0;
        dlg.CallAfter([&] {
            PumpEvents(250);
            shown = dlg.GetScreenRect();
            if (screenshot) {
                // Pick a basic colour by a click on its swatch, then look.
                Send(dlg.swatchPanel(), wxEVT_LEFT_DOWN, 5 + 3 * 27 + 11, 20 + 2 * 23 + 9);
                PumpEvents(150);
                EXPECT_TRUE(testsupport::SaveWindowScreenshot(&dlg, testsupport::Screen("picture-controls-colour-chooser.png")));
            }
            chosen = dlg.GetColor();
            dlg.EndModal(screenshot ? wxID_OK : wxID_CANCEL);
        });
        const int rc = dlg.DoModal();
        EXPECT_EQ(rc, screenshot ? wxID_OK : wxID_CANCEL);
        EXPECT_TRUE(area.Contains(shown.GetTopLeft())) << shown.x << "," << shown.y;
        EXPECT_TRUE(area.Contains(shown.GetBottomRight())) << shown.GetRight() << "," << shown.GetBottom();
        if (c.placed && c.x + shown.width <= area.GetRight() && c.y + shown.height <= area.GetBottom()) {
            EXPECT_EQ(shown.GetTopLeft(), wxPoint(c.x, c.y));
        }
        if (screenshot) {
            EXPECT_EQ(chosen, CCMyColorSelDlg::BasicColour(2 * 8 + 3));
        }
        ++n;
    }
}

TEST(PictureControlsWindow, SurfacesBecomeImagesAndBack) {
    platform::raster::Surface s = platform::raster::Surface::WithArgb(5, 4, 0);
    s.SetPixel(1, 2, 0x336699);
    const wxImage withAlpha = SurfaceToImage(s, true);
    ASSERT_TRUE(withAlpha.HasAlpha());
    EXPECT_EQ(withAlpha.GetAlpha(1, 2), 255);
    EXPECT_EQ(withAlpha.GetAlpha(0, 0), 0);
    EXPECT_EQ(withAlpha.GetRed(1, 2), 0x99);
    EXPECT_EQ(withAlpha.GetBlue(1, 2), 0x33);
    const wxImage opaque = SurfaceToImage(s);
    EXPECT_FALSE(opaque.HasAlpha());
    const platform::raster::Surface back = SurfaceFromImage(opaque);
    EXPECT_EQ(back.GetPixel(1, 2), 0x336699u);
    EXPECT_EQ(back.ArgbAt(0, 0), 0xFF000000u);
}

TEST(PictureControlsWindow, TinyHoverButtonsPaintWithoutDividingByZero) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "tiny", wxPoint(0, 0), wxSize(200, 100));
    // The gradients of a button h pixels high stay in its h rows: nothing is
    // drawn below them on the black bitmap (and a button 0 high draws nothing),
    // in the plain face and in the hover face. No caption, whose text may
    // stand out of so small a button.
    auto blackRowsFrom = [](const wxBitmap& bmp, int from) {
        const wxImage img = bmp.ConvertToImage();
        for (int y = 0; y < img.GetHeight(); ++y) {
            bool black = true;
            for (int x = 0; x < img.GetWidth(); ++x) {
                black = black && img.GetRed(x, y) == 0 && img.GetGreen(x, y) == 0 && img.GetBlue(x, y) == 0;
            }
            if (black != (y >= from)) return y;
        }
        return -1;
    };
    frame->SetBackgroundColour(wxColour(200, 210, 220));
    for (int h : {0, 1, 2}) {
        SCOPED_TRACE(h);
        auto* b = new CHoverButton(frame, wxID_ANY, "", wxPoint(0, 0), wxSize(40, h));
        b->SetSize(40, h);
        for (bool hover : {false, true}) {
            SCOPED_TRACE(hover ? "hover" : "plain");
            if (hover) Send(b, wxEVT_MOTION, 1, 0);
            wxBitmap bmp(40, 4, 24);
            {
                wxMemoryDC dc(bmp);
                dc.SetBackground(*wxBLACK_BRUSH);
                dc.Clear();
                b->Draw(dc);
            }
            EXPECT_EQ(blackRowsFrom(bmp, h), -1) << "the first row painted wrongly";
        }
        b->Destroy();
    }
    frame->Destroy();
    PumpEvents(20);
}

TEST(PictureControlsWindow, AClickedLinkWhoseOpenerFindsNoProgramSaysSoAndStaysUnvisited) {
    // The desktop's opener is a script: one that finds nothing to open the
    // page with (as xdg-open ends with 3), one that opens it.
    testsupport::TempDir tmp;
    auto opener = [&](const char* name, const char* body) {
        const std::filesystem::path p = tmp / name;
        std::ofstream(p) << "#!/bin/sh\n" << body;
        ::chmod(p.c_str(), 0755);
        return p.string();
    };
    const std::string failing = opener("no-browser", "exit 3\n"), working = opener("browser", "exit 0\n");
    auto* frame = new wxFrame(nullptr, wxID_ANY, "links", wxPoint(0, 0), wxSize(320, 120));
    auto* panel = new wxPanel(frame);
    auto* link = new CHyperLink(panel, wxID_ANY, wxString::FromUTF8("网店"), "https://shop.example.com/", wxPoint(20, 20));
    frame->Show();
    PumpEvents(200);

    struct Case {
        const std::string* program;
        bool visited;
        std::size_t boxes;
    } cases[] = {{&failing, false, 1}, {&working, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(*c.program);
        CHyperLink::SetOpener(DesktopLinkOpener(*c.program));
        platform::ui::MessageBoxRecorder boxes;
        PumpEvents(600);  // two clicks apart, not a double click
        testsupport::ClickOn(link);
        ASSERT_EQ(boxes.shown().size(), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(boxes.shown()[0].text.rfind("Can't open link:\n\n", 0), 0u);
            EXPECT_NE(boxes.shown()[0].text.find("运行失败 (退出码 3)"), std::string::npos) << boxes.shown()[0].text;
        }
        EXPECT_EQ(link->state().visited, c.visited);
    }
    CHyperLink::SetOpener({});
    frame->Destroy();
    PumpEvents(50);
}
