#include "controls/mem_dc.h"

#include <gtest/gtest.h>

#include <wx/dcmemory.h>

namespace {

wxColour PixelAt(const wxBitmap& bmp, int x, int y) {
    wxImage img = bmp.ConvertToImage();
    return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y));
}

TEST(MemDC, LandsWhereDirectPaintingWould) {
    wxBitmap target(100, 100, 24);
    {
        wxMemoryDC dc(target);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        CMemDC mem(dc, wxRect(20, 30, 40, 20));
        ASSERT_TRUE(mem.IsBuffering());
        mem->SetBackground(*wxBLUE_BRUSH);
        mem->Clear();
        mem->SetBrush(*wxRED_BRUSH);
        mem->SetPen(*wxRED_PEN);
        mem->DrawRectangle(25, 35, 10, 10);  // the target's own coordinates
    }
    EXPECT_EQ(PixelAt(target, 27, 37), *wxRED);
    EXPECT_EQ(PixelAt(target, 21, 31), *wxBLUE);
    EXPECT_EQ(PixelAt(target, 59, 49), *wxBLUE);
    // Outside the buffered rectangle the target keeps its pixels.
    for (auto [x, y] : {std::pair{19, 31}, {60, 31}, {21, 29}, {21, 50}, {5, 5}})
        EXPECT_EQ(PixelAt(target, x, y), *wxWHITE) << x << "," << y;
}

TEST(MemDC, EmptyRectangleCopiesNothing) {
    wxBitmap target(20, 20, 24);
    {
        wxMemoryDC dc(target);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        CMemDC mem(dc, wxRect(5, 5, 0, 0));
        mem->SetBackground(*wxBLACK_BRUSH);
        mem->Clear();
    }
    for (int y = 0; y < 20; y += 3)
        for (int x = 0; x < 20; x += 3) EXPECT_EQ(PixelAt(target, x, y), *wxWHITE);
}

}  // namespace
