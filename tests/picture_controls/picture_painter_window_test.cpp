// The stage's picture painter on a memory bitmap: a background reaching past
// the bitmap's edges lands pixel for pixel where the whole scaled picture
// would, a transparent garment lets the background through, and a repaint
// reuses what the first paint made.
#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/rawbmp.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "picture_controls/paint_ops.h"
#include "picture_controls/picture_painter.h"
#include "picture_controls/picture_scaler.h"
#include "platform/image/picture_cache.h"
#include "tests/support/temp_dir.h"

using namespace picture_controls;
namespace fs = std::filesystem;

namespace {

wxColour PixelAt(const wxImage& img, int x, int y) {
    return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y));
}

bool Near(const wxColour& a, unsigned r, unsigned g, unsigned b) {
    auto close = [](unsigned x, unsigned y) { return (x > y ? x - y : y - x) <= 1; };
    return close(a.Red(), r) && close(a.Green(), g) && close(a.Blue(), b);
}

}  // namespace

TEST(PicturePainterWindow, PicturesPartlyOutsideAndTransparentOnesLandWhereTheyBelong) {
    testsupport::TempDir tmp;
    wxInitAllImageHandlers();
    platform::image::PictureCache::Instance().Clear();

    // A 40 x 30 opaque background drawn at twice its size from (-20, -10).
    wxImage room(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) room.SetRGB(x, y, static_cast<unsigned char>(x * 6), static_cast<unsigned char>(y * 8), 90);
    const fs::path roomFile = tmp / "room.png";
    ASSERT_TRUE(room.SaveFile(wxString::FromUTF8(roomFile.string()), wxBITMAP_TYPE_PNG));
    // A 10 x 10 garment: its left half opaque red, its right half clear.
    wxImage garment(10, 10);
    garment.InitAlpha();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            garment.SetRGB(x, y, 220, 20, 30);
            garment.SetAlpha(x, y, x < 5 ? 255 : 0);
        }
    const fs::path garmentFile = tmp / "garment.png";
    ASSERT_TRUE(garment.SaveFile(wxString::FromUTF8(garmentFile.string()), wxBITMAP_TYPE_PNG));

    PaintOps ops;
    ops.push_back(PaintOp::Fill(Rect{0, 0, 60, 40}, 0x00808080));
    ops.push_back(PaintOp::Picture(roomFile, Rect{-20, -10, 60, 50}));
    ops.push_back(PaintOp::Natural(garmentFile, {5, 5}));

    wxBitmap target(60, 40, 24);
    PicturePainter painter;
    {
        wxMemoryDC dc(target);
        painter.Paint(dc, ops);
    }
    const wxImage shot = target.ConvertToImage();

    // The whole background scaled to 80 x 60 by the same scaler.
    std::vector<std::uint32_t> whole(80 * 60);
    PictureScaler(SourcePlanes{room.GetData(), nullptr, 40, 30}, 80, 60).ScaleRows(whole.data(), 80 * 4, 0, 60);
    auto expected = [&](int x, int y) { return whole[static_cast<std::size_t>((y + 10) * 80 + x + 20)]; };
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            if (x >= 5 && x < 10 && y >= 5 && y < 15) {
                ASSERT_TRUE(Near(PixelAt(shot, x, y), 220, 20, 30)) << x << "," << y;
                continue;
            }
            const std::uint32_t p = expected(x, y);
            ASSERT_TRUE(Near(PixelAt(shot, x, y), (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF))
                << x << "," << y << " " << PixelAt(shot, x, y).GetAsString(wxC2S_HTML_SYNTAX);
        }
    EXPECT_EQ(painter.scaledCount(), 2u);  // the background's visible part and the garment

    // A repaint decodes and scales nothing again.
    const auto decodes = platform::image::PictureCache::Instance().GetStats().decodes;
    {
        wxMemoryDC dc(target);
        painter.Paint(dc, ops);
    }
    EXPECT_EQ(platform::image::PictureCache::Instance().GetStats().decodes, decodes);
    EXPECT_EQ(painter.scaledCount(), 2u);
    EXPECT_TRUE(target.ConvertToImage().IsOk());
    EXPECT_EQ(target.ConvertToImage().GetData()[0], shot.GetData()[0]);
}

// A picture blown up far past the window, turned or not, lands where it
// belongs; of one beyond the bound on kept pixels only the part in the window
// is made and kept, so a repaint scales nothing again.
TEST(PicturePainterWindow, AZoomedPictureTurnedOrNotIsDrawnFromItsVisiblePart) {
    testsupport::TempDir tmp;
    wxInitAllImageHandlers();
    platform::image::PictureCache::Instance().Clear();
    // 40 x 40: the left half red, the right half blue.
    wxImage halves(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) halves.SetRGB(x, y, x < 20 ? 220 : 0, 0, x < 20 ? 0 : 220);
    const fs::path file = tmp / "halves.png";
    ASSERT_TRUE(halves.SaveFile(wxString::FromUTF8(file.string()), wxBITMAP_TYPE_PNG));

    constexpr int kW = 300, kH = 240;
    const double cx = kW / 2.0, cy = kH / 2.0;
    struct Case {
        const char* what;
        int side;  // the picture drawn side x side, centred on the bitmap's centre
        double degrees;
    } cases[] = {
        {"turned, within the bound", 260, 90},
        {"turned, 120 times its size", 4800, 90},
        {"turned the other way, 120 times its size", 4800, -30},
        {"straight, 120 times its size", 4800, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Rect dest = Rect::FromSize(static_cast<int>(cx) - c.side / 2, static_cast<int>(cy) - c.side / 2, c.side,
                                         c.side);
        PicturePainter painter;
        wxBitmap target(kW, kH, 24);
        auto paint = [&] {
            wxMemoryDC dc(target);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            if (c.degrees == 0) painter.DrawPicture(dc, file, dest, false);
            else painter.DrawTurnedPicture(dc, file, dest, c.degrees, cx, cy);
        };
        paint();
        EXPECT_EQ(painter.scaledCount(), 1u) << "the visible part is kept";
        paint();
        EXPECT_EQ(painter.scaledCount(), 1u);
        const wxImage shot = target.ConvertToImage();
        // Points about the centre: red where the point turned back lies left
        // of the centre, blue where it lies right; those near the seam
        // between the halves (blurred over one source pixel, 120 px at the
        // largest size) are left out.
        const double radians = c.degrees * 3.14159265358979323846 / 180.0;
        for (const auto& [dx, dy] : {std::pair{-100, 0}, {100, 0}, {0, -100}, {0, 100}, {70, 70}, {-70, -70}, {70, -70},
                                    {-70, 70}}) {
            const double back = dx * std::cos(radians) + dy * std::sin(radians);
            if (std::abs(back) < 65) continue;
            const wxColour seen = PixelAt(shot, static_cast<int>(cx) + dx, static_cast<int>(cy) + dy);
            EXPECT_TRUE(back < 0 ? Near(seen, 220, 0, 0) : Near(seen, 0, 0, 220))
                << dx << "," << dy << " " << seen.GetAsString(wxC2S_HTML_SYNTAX);
        }
    }
}
