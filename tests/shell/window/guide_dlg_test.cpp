// The operation guide on the demo base's pages: turning pages, the number,
// a folder with one page only. Screenshots screens/fitting-frame-guide-<n>.png.
#include <filesystem>
#include <gtest/gtest.h>
#include <wx/dcmemory.h>

#include "shell/guide_dlg.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;

namespace {

TEST(GuideDialog, TurnsTheDemoPagesAndShowsTheNumber) {
    ASSERT_TRUE(fs::exists(shell::GuidePageFile(testsupport::DemoBase(), 3))) << "build the demo base first";
    auto* dlg = new CDlgGuide(nullptr, testsupport::DemoBase());
    EXPECT_EQ(dlg->GetTitle(), wxString::FromUTF8("操作指引"));
    dlg->Show();
    testsupport::PumpEvents(400);
    EXPECT_EQ(dlg->currentPage(), 1);
    EXPECT_EQ(dlg->pageNumberText(), "1");
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("fitting-frame-guide-1.png")));

    dlg->OnPrevPage();
    EXPECT_EQ(dlg->currentPage(), 1);
    dlg->OnNextPage();
    testsupport::PumpEvents(200);
    EXPECT_EQ(dlg->pageNumberText(), "2");
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("fitting-frame-guide-2.png")));
    dlg->OnNextPage();
    dlg->OnNextPage();  // no page 4
    EXPECT_EQ(dlg->currentPage(), 3);
    EXPECT_EQ(dlg->pageNumberText(), "3");
    dlg->OnPrevPage();
    EXPECT_EQ(dlg->pageNumberText(), "2");
    dlg->Destroy();
    testsupport::PumpEvents(50);
}

TEST(GuideDialog, OnePageOnlyKeepsTheNumberAtOne) {
    testsupport::TempDir tmp;
    fs::create_directories(tmp.path() / "服饰搭配使用说明");
    fs::copy_file(shell::GuidePageFile(testsupport::DemoBase(), 1), shell::GuidePageFile(tmp.path(), 1));
    auto* dlg = new CDlgGuide(nullptr, tmp.path());
    dlg->Show();
    testsupport::PumpEvents(100);
    dlg->OnNextPage();
    EXPECT_EQ(dlg->currentPage(), 1);
    EXPECT_EQ(dlg->pageNumberText(), "1");
    dlg->Destroy();
    testsupport::PumpEvents(50);
}

TEST(GuideDialog, DrawPageFillsTheAreaAndCentresThePicture) {
    wxBitmap bmp(900, 600, 24);
    {
        wxMemoryDC dc(bmp);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        CDlgGuide::DrawPage(dc, wxRect(0, 0, 900, 600), shell::GuidePageFile(testsupport::DemoBase(), 1));
    }
    const wxImage img = bmp.ConvertToImage();
    // Grey frame round the 800 x 540 page at (50, 30).
    EXPECT_EQ(wxColour(img.GetRed(10, 10), img.GetGreen(10, 10), img.GetBlue(10, 10)), wxColour(0xDE, 0xDE, 0xDE));
    EXPECT_EQ(img.GetRed(49, 300), 0xDE);
    // The page's blue title band starts at its top-left.
    EXPECT_LT(img.GetRed(60, 40), 100);
    EXPECT_GT(img.GetBlue(60, 40), 150);
    // Missing file: only the fill.
    {
        wxMemoryDC dc(bmp);
        CDlgGuide::DrawPage(dc, wxRect(0, 0, 900, 600), "no/such/page.jpg");
    }
    EXPECT_EQ(bmp.ConvertToImage().GetRed(60, 40), 0xDE);
}

}  // namespace
