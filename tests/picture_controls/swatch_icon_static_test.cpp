// The colour swatch button and the icon static: the static painted into a
// memory bitmap by each frame letter and fill style, read back pixel by
// pixel; the swatch's colour on its face as the X server shows it, and its
// stored text apart from its caption.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <wx/dcmemory.h>
#include <wx/frame.h>

#include "picture_controls/color_swatch_button.h"
#include "picture_controls/icon_static.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/window_test_util.h"

namespace {

constexpr int kW = 160, kH = 40;
constexpr unsigned kRed = 0x0000FF;     // text colour (0x00BBGGRR)
constexpr unsigned kFill = 0x3366CC;    // background: R 0xCC, G 0x66, B 0x33
const wxColour kPaper(250, 250, 250);   // the bitmap before the paint

struct Painted {
    wxImage img;
    // The box holding the text's red pixels (empty when there are none).
    int left = kW, right = -1, top = kH, bottom = -1;
    bool Is(int x, int y, unsigned colourRef) const {
        return img.GetRed(x, y) == (colourRef & 0xFF) && img.GetGreen(x, y) == ((colourRef >> 8) & 0xFF) &&
               img.GetBlue(x, y) == ((colourRef >> 16) & 0xFF);
    }
    bool IsPaper(int x, int y) const {
        return img.GetRed(x, y) == kPaper.Red() && img.GetGreen(x, y) == kPaper.Green() &&
               img.GetBlue(x, y) == kPaper.Blue();
    }
};

Painted Paint(wxWindow* parent, char frame, char icon, int fill, const std::string& text = "提示文字") {
    CIconStatic* s = new CIconStatic(parent, wxID_ANY, wxPoint(0, 0), wxSize(kW, kH));
    s->SetLetters(frame, icon);
    s->SetFillStyle(fill);
    s->SetBkColor(kFill);
    s->SetTextColor(kRed);
    s->SetHintText(text);
    wxBitmap bmp(kW, kH, 24);
    {
        wxMemoryDC dc(bmp);
        dc.SetBackground(wxBrush(kPaper));
        dc.Clear();
        s->Draw(dc);
    }
    s->Destroy();
    Painted p;
    p.img = bmp.ConvertToImage();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (p.img.GetRed(x, y) > 150 && p.img.GetGreen(x, y) < 110 && p.img.GetBlue(x, y) < 110 &&
                !(x >= kW - 20 && icon == 'A')) {
                p.left = std::min(p.left, x);
                p.right = std::max(p.right, x);
                p.top = std::min(p.top, y);
                p.bottom = std::max(p.bottom, y);
            }
    return p;
}

class SwatchIconStaticTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "swatch", wxPoint(60, 60), wxSize(360, 200));
        frame->Show();
        testsupport::WaitUntilPlaced(frame);
    }
    void TearDown() override {
        frame->Destroy();
        testsupport::PumpEvents(50);
    }
    wxFrame* frame = nullptr;
};

// Each frame letter places the text and draws its frame; fill style 9 fills
// the client area with the background colour, any other style leaves it.
TEST_F(SwatchIconStaticTest, TheStaticPaintsByFrameLetterAndFillStyle) {
    struct Case {
        char frame;
        unsigned topLeft, bottomRight;  // 0: no frame
    };
    for (const Case& c : {Case{'L', 0x2B2B2B, 0x8B8B8B}, Case{'c', 0x535353, 0x8B8B8B}, Case{'C', 0, 0}}) {
        SCOPED_TRACE(std::string("frame ") + c.frame);
        const Painted p = Paint(frame, c.frame, ' ', 0);
        ASSERT_LT(p.left, p.right) << "no text";
        if (c.topLeft) {
            EXPECT_TRUE(p.Is(0, 0, c.topLeft));
            EXPECT_TRUE(p.Is(kW / 2, 0, c.topLeft));
            EXPECT_TRUE(p.Is(0, kH / 2, c.topLeft));
            EXPECT_TRUE(p.Is(kW - 1, kH / 2, c.bottomRight));
            EXPECT_TRUE(p.Is(kW / 2, kH - 1, c.bottomRight));
            EXPECT_TRUE(p.Is(kW - 1, kH - 1, c.bottomRight));
        } else {
            EXPECT_TRUE(p.IsPaper(0, 0));
            EXPECT_TRUE(p.IsPaper(kW - 1, kH - 1));
        }
        EXPECT_TRUE(p.IsPaper(2, kH - 3)) << "fill style 0 filled the area";
        if (c.frame == 'L') {
            EXPECT_GE(p.left, 6);
            EXPECT_LE(p.left, 8);  // from 6 pixels in
            EXPECT_GE(p.top, 3);
            EXPECT_LE(p.top, 7);
        } else {
            // Centred horizontally.
            EXPECT_LE(std::abs((p.left + p.right) - (kW - 1)), 4) << p.left << ".." << p.right;
        }
        if (c.frame == 'c') {
            EXPECT_GE(p.top, 3);
            EXPECT_LE(p.top, 7);  // from 3 pixels below the top, not centred
        }
    }
    // Fill style 9: the background colour wherever neither text nor frame is.
    for (char f : {'L', 'C'}) {
        const Painted p = Paint(frame, f, ' ', 9);
        EXPECT_TRUE(p.Is(2, kH - 3, kFill)) << f;
        EXPECT_TRUE(p.Is(kW - 3, 2, kFill)) << f;
        EXPECT_TRUE(p.Is(kW / 2, kH - 3, kFill)) << f;
    }
    // The icon shows at 19 pixels left of the right edge only with the letter 'A'.
    const Painted plain = Paint(frame, 'L', ' ', 9), withIcon = Paint(frame, 'L', 'A', 9);
    int changed = 0, outside = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool same = withIcon.img.GetRed(x, y) == plain.img.GetRed(x, y) &&
                              withIcon.img.GetGreen(x, y) == plain.img.GetGreen(x, y) &&
                              withIcon.img.GetBlue(x, y) == plain.img.GetBlue(x, y);
            if (same) continue;
            ++changed;
            if (x < kW - 19 || y < 3) ++outside;
        }
    EXPECT_GT(changed, 20) << "no icon";
    EXPECT_EQ(outside, 0) << "the icon is not at (right - 19, 3)";
    const Painted cIcon = Paint(frame, 'c', 'A', 9), cPlain = Paint(frame, 'c', ' ', 9);
    EXPECT_TRUE(cIcon.img.IsOk() && cPlain.img.IsOk());
    EXPECT_EQ(0, memcmp(cIcon.img.GetData(), cPlain.img.GetData(), kW * kH * 3)) << "'c' drew the icon";
}

// The swatch: SetText keeps its text apart from the caption, and the face
// shows the set colour on the screen.
TEST_F(SwatchIconStaticTest, TheSwatchShowsItsColourAndSetTextLeavesTheCaption) {
    CColorSwatchButton* b = new CColorSwatchButton(frame, wxID_ANY, wxString::FromUTF8("背景色"), wxPoint(20, 20), wxSize(120, 40));
    EXPECT_EQ(b->text(), "99999");
    EXPECT_FALSE(b->HasColor());
    b->SetText("12345");
    EXPECT_EQ(b->text(), "12345");
    EXPECT_EQ(b->GetLabel(), wxString::FromUTF8("背景色"));
    b->SetColor(0x20C040);  // R 0x40, G 0xC0, B 0x20
    EXPECT_EQ(b->GetColor(), 0x20C040u);
    EXPECT_EQ(b->GetLabel(), wxString::FromUTF8("背景色"));
    b->Refresh();
    b->Update();
    testsupport::PumpEvents(200);
    const wxRect r = b->GetScreenRect();
    const wxImage shot = testsupport::GrabScreenArea(r);
    ASSERT_TRUE(shot.IsOk());
    shot.SaveFile(wxString::FromUTF8(testsupport::Screen("picture-controls-swatch.png")), wxBITMAP_TYPE_PNG);
    int green = 0;
    for (int y = 0; y < shot.GetHeight(); ++y)
        for (int x = 0; x < shot.GetWidth(); ++x)
            if (std::abs(shot.GetRed(x, y) - 0x40) < 12 && std::abs(shot.GetGreen(x, y) - 0xC0) < 12 &&
                std::abs(shot.GetBlue(x, y) - 0x20) < 12)
                ++green;
    EXPECT_GT(green, shot.GetWidth() * shot.GetHeight() / 3) << "the face does not show the colour";
}

}  // namespace
