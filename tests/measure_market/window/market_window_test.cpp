// The market window as a shop assistant uses it, on a copy of the demo base
// directory: garments picked in the catalogue, order lines with quantities,
// the totals, a quantity typed into the table and written without leaving
// the cell, the order file, the order chart, the wide table and the list of
// saved orders. Screens go to screens/market-*.png.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "controls/control_bar.h"
#include "controls/grid_cell_controls.h"
#include "fitting_room/shared_objects.h"
#include "measure_market/market_child_frame.h"
#include "measure_market/market_view.h"
#include "measure_market/order_file.h"
#include "measure_market/order_list_dlg.h"
#include "measure_market/sale_form.h"
#include "platform/text.h"
#include "platform/ui/message_box.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/deferred_request.h"
#include "shell/main_frame.h"
#include "shell/sys_info.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

using namespace measure_market;
namespace fs = std::filesystem;

namespace {

std::string Label(wxWindow* w) { return w ? w->GetLabel().utf8_string() : std::string("<none>"); }

class MarketWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "服饰搭配sysproj/marketMnu_man.png"));
        fitting_room::ResetSharedObjects();
        shell::ResetDeferred();
        shell::ResetSysInfo();
        ResetOrderLines();
        fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::remove(tmp / "FittoraSysinfo.dm3");
        fs::remove_all(tmp / "定单数据表保存区");  // made again by the first order
        shell::SetBaseDirectory(tmp.path());
        client.SetFrameFactory(3, [](platform::ui::MdiClient* c) -> platform::ui::MdiChildFrame* {
            return CMWinFram_MarketChdWnd::Make(c);
        });
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        testsupport::PumpEvents(300);
        shell::Deferred().Store(shell::kRequestMarket);
        testsupport::PumpEvents(400);
        const auto& docs = client.templates().at(3)->documents();
        ASSERT_EQ(docs.size(), 1u);
        market = dynamic_cast<CMWinFram_MarketChdWnd*>(docs[0]);
        ASSERT_NE(market, nullptr);
        form = market->form();
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(form->IsShownOnScreen());
        ASSERT_TRUE(market->view()->IsShownOnScreen());
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        frame = nullptr;
        testsupport::PumpEvents(50);
        shell::ResetDeferred();
        fitting_room::ResetSharedObjects();
        ResetOrderLines();
    }

    // Clicks the n-th garment cell of the list's first drawn category.
    void PickGarment(std::size_t n) {
        const auto plan = fitting_room::MarketGarmentList().PagePlan();
        ASSERT_FALSE(plan.empty());
        ASSERT_GT(plan[0].cells.size(), n);
        const auto& hit = plan[0].cells[n].hit;
        market->view()->ClickAt(wxPoint(hit.left + 20, hit.top + 20));
        testsupport::PumpEvents(150);
    }

    void Screen(const std::string& name) {
        testsupport::PumpEvents(300);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(frame, testsupport::Screen("") + name));
    }

    testsupport::TempDir tmp;
    ClientShell client;
    CMainFrame* frame = nullptr;
    CMWinFram_MarketChdWnd* market = nullptr;
    DlgSaleFMView* form = nullptr;
};

TEST_F(MarketWindowTest, TakesAnOrderWithTotalsAndWritesIt) {
    EXPECT_EQ(market->bar()->side(), controls::DockSide::Left);
    EXPECT_EQ(fitting_room::MarketGarmentList().basicProjectShown(), "女装");
    EXPECT_FALSE(form->control(1040)->IsEnabled());

    PickGarment(1);
    EXPECT_EQ(form->pictureMode(), DlgSaleFMView::PictureMode::Garment);
    const std::string firstName = Label(form->control(1049));
    const std::string firstPrice = Label(form->control(1047));
    EXPECT_FALSE(firstName.empty());
    EXPECT_FALSE(Label(form->control(1044)).empty());
    ASSERT_TRUE(form->control(1040)->IsEnabled());
    form->quantityEdit()->ChangeValue("3");
    form->AddToOrder();
    PickGarment(2);
    form->quantityEdit()->ChangeValue("2");
    form->AddToOrder();
    PickGarment(3);
    form->quantityEdit()->ChangeValue("1");
    form->AddToOrder();
    ASSERT_EQ(OrderLines().count(), 3);
    EXPECT_EQ(OrderLines().line(0).name, firstName);
    EXPECT_EQ(OrderLines().line(0).price, firstPrice);
    EXPECT_EQ(OrderLines().line(0).tag, 'W');
    EXPECT_FALSE(OrderLines().picturePath(0).empty());

    // The total follows every change; the button shows it.
    auto expected = [] {
        std::int64_t cents = 0, q = 0;
        for (int i = 0; i < OrderLines().count(); ++i) {
            cents += ParseCount(OrderLines().line(i).quantity) * ParseCents(OrderLines().line(i).price);
            q += ParseCount(OrderLines().line(i).quantity);
        }
        return FormatCents(cents) + " 元(" + std::to_string(q) + "件)";
    };
    EXPECT_EQ(Label(form->control(1042)), expected());
    EXPECT_EQ(OrderLines().lastTotal().text, expected());

    // Delete the last line, then a quantity typed into the table is written
    // without the cell being left.
    COrderGrid* grid = form->grid();
    grid->SetCurrentCell(grid->GetFixedColumnCount() + 1, grid->GetFixedRowCount() + 2);
    form->DeleteLine();
    ASSERT_EQ(OrderLines().count(), 2);
    EXPECT_EQ(Label(form->control(1042)), expected());
    grid->SetCurrentCell(grid->GetFixedColumnCount() + 4, grid->GetFixedRowCount() + 1);
    grid->ShowCurrentEditor();
    auto* edit = dynamic_cast<CGridEditCell*>(grid->GetColumnControl(4));
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(edit->Window(), nullptr);
    edit->Window()->ChangeValue("4");
    edit->Window()->MarkDirty();  // as typing leaves it
    EXPECT_TRUE(grid->IsEditing());

    form->orderNoEdit()->ChangeValue("2026A_007");
    form->ordererEdit()->ChangeValue(wxString::FromUTF8("王小姐"));
    form->contactEdit()->ChangeValue("13900000000");
    {
        platform::ui::MessageBoxRecorder boxes;
        form->WriteOrder();
        EXPECT_TRUE(boxes.shown().empty());
    }
    EXPECT_EQ(OrderLines().line(1).quantity, "4");
    EXPECT_EQ(Label(form->control(1063)), "ok");
    EXPECT_EQ(Label(form->control(1042)), expected());
    const fs::path file = tmp / "定单数据表保存区" / "2026A_007.of3";
    ASSERT_TRUE(fs::exists(file));
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, BuildOrderFileText(OrderLines(), "2026A_007", "王小姐", "13900000000"));
    EXPECT_NE(platform::GbkToUtf8(bytes).find("金额:" + OrderLines().line(2).amount), std::string::npos);
    grid->SetCurrentCell(grid->GetFixedColumnCount() + 1, grid->GetFixedRowCount() + 0);
    grid->OnScrollBy(-grid->GetScrollX(), 0, true);  // back from the quantity column
    Screen("market-order.png");

    // Writing the same order again asks first; "No" keeps the file.
    {
        platform::ui::MessageBoxRecorder boxes;
        boxes.QueueAnswer(platform::MbResult::No);
        form->WriteOrder();
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].buttons, platform::MbButtons::YesNo);
        EXPECT_EQ(Label(form->control(1063)), "");
    }

    form->ShowOrderChart();
    EXPECT_EQ(form->pictureMode(), DlgSaleFMView::PictureMode::Chart);
    Screen("market-chart.png");

    form->ToggleTableWidth();
    EXPECT_TRUE(form->wide());
    EXPECT_EQ(Label(form->control(1052)), "<<收缩表格");
    EXPECT_EQ(grid->GetRect().GetRight(), sale_form::kGridFrame.GetRight());
    PickGarment(0);
    Screen("market-wide.png");
    form->ToggleTableWidth();
    EXPECT_LT(grid->GetRect().GetRight(), sale_form::kPictureFrame.GetLeft());
}

TEST_F(MarketWindowTest, TheOrderListShowsASavedOrder) {
    PickGarment(0);
    form->quantityEdit()->ChangeValue("2");
    form->AddToOrder();
    form->orderNoEdit()->ChangeValue("2026B_001");
    form->WriteOrder();
    ASSERT_EQ(Label(form->control(1063)), "ok");

    auto* dlg = new COrderListDlg(frame, tmp.path());
    dlg->Show();
    testsupport::PumpEvents(300);
    ASSERT_EQ(dlg->grid()->fileCount(), 1);
    EXPECT_FALSE(dlg->openButton()->IsEnabled());
    dlg->grid()->SetCurrentCell(dlg->grid()->GetFixedColumnCount() + 1, dlg->grid()->GetFixedRowCount());
    // What the grid tells its owner after the click on the row.
    int clickCode = grid::kClickCodeDataCell;
    dlg->OnPrivateMessage(grid::kMsgGridNotify, grid::kGridNotifyTag, reinterpret_cast<std::intptr_t>(&clickCode));
    EXPECT_TRUE(dlg->openButton()->IsEnabled());
    dlg->OpenSelected();
    const std::string shown = dlg->text()->GetValue().utf8_string();
    EXPECT_EQ(shown.rfind("定单号:2026B_001", 0), 0u);
    EXPECT_NE(shown.find("合 计 金 额"), std::string::npos);
    testsupport::PumpEvents(300);
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("market-order-list.png")));
    dlg->Destroy();
}

TEST_F(MarketWindowTest, TheOrderListClosesWithEscapeAndItsCloseBox) {
    auto find = [] { return testsupport::FindShownDialog<COrderListDlg>(); };
    wxWindow* listButton = form->control(1061);  // "查已有定单"
    ASSERT_NE(listButton, nullptr);
    bool offered = false, pressed = false;
    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "close box");
        testsupport::ModalDialogDriver driver(find, [&](wxDialog* dlg) {
            if (escape) {
                wxUIActionSimulator().Char(WXK_ESCAPE);
            } else {
                offered = testsupport::OffersCloseBox(dlg);
                pressed = testsupport::PressCloseBox(dlg);
            }
        });
        testsupport::ClickOn(listButton);
        driver.WaitUntilClosed();
        EXPECT_TRUE(driver.acted());
        EXPECT_FALSE(driver.timedOut());
        EXPECT_EQ(find(), nullptr);
    }
    EXPECT_TRUE(offered);
    EXPECT_TRUE(pressed);
}

TEST_F(MarketWindowTest, TheSizePictureShowsTheDemoPictureAtItsPrintedSize) {
    const fs::path file = tmp / "人体测量图片及数据" / "服装尺寸参考图.jpg";
    ASSERT_TRUE(testsupport::FixtureExists(file));
    wxImage picture(wxString::FromUTF8(file.string()));
    ASSERT_TRUE(picture.IsOk());
    // The demo picture says 1:1 without a unit: an aspect, not 1 dot per inch.
    ASSERT_EQ(picture.GetOptionInt(wxIMAGE_OPTION_RESOLUTIONUNIT), wxIMAGE_RESOLUTION_NONE);

    // "尺寸图" pressed with the mouse, through the X server.
    wxWindow* button = form->control(1062);
    ASSERT_NE(button, nullptr);
    testsupport::ClickOn(button);
    ASSERT_EQ(form->pictureMode(), DlgSaleFMView::PictureMode::SizeReference);
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(form, testsupport::Screen("market-size-picture.png")));

    // Taken at 96 dots per inch and shown 1.2 times larger, centred in the
    // frame: the frame holds the middle of the picture scaled so.
    const wxSize dpi = form->GetDPI();
    const int w = static_cast<int>(picture.GetWidth() * (dpi.x > 0 ? dpi.x : 96) / 96.0 * 1.2);
    const int h = static_cast<int>(picture.GetHeight() * (dpi.y > 0 ? dpi.y : 96) / 96.0 * 1.2);
    const wxImage expected = picture.Scale(w, h, wxIMAGE_QUALITY_HIGH);
    wxBitmap canvas(form->GetClientSize());
    {
        wxMemoryDC dc(canvas);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        form->Draw(dc);
    }
    const wxImage drawn = canvas.ConvertToImage();
    const wxRect frame = form->PictureFrame();
    const wxPoint origin(frame.x + (frame.width - w) / 2, frame.y + (frame.height - h) / 2);
    int compared = 0, close = 0;
    for (int y = frame.y + 4; y < frame.GetBottom() - 4; y += 7)
        for (int x = frame.x + 4; x < frame.GetRight() - 4; x += 7) {
            const int px = x - origin.x, py = y - origin.y;
            if (px < 0 || py < 0 || px >= w || py >= h) continue;
            ++compared;
            int diff = 0;
            for (int c = 0; c < 3; ++c) {
                const auto get = [c](const wxImage& im, int ix, int iy) {
                    return c == 0 ? im.GetRed(ix, iy) : c == 1 ? im.GetGreen(ix, iy) : im.GetBlue(ix, iy);
                };
                diff = std::max(diff, std::abs(get(drawn, x, y) - get(expected, px, py)));
            }
            if (diff <= 24) ++close;
        }
    ASSERT_GT(compared, 100);
    EXPECT_GT(close, compared * 9 / 10);
}

TEST_F(MarketWindowTest, AFullOrderTableIsReported) {
    OrderLineInput in;
    in.code = "X";
    in.price = "1";
    in.quantity = "1";
    for (int i = 0; i < kMaxOrderLines; ++i) ASSERT_TRUE(OrderLines().AddLine(in, 'W', ""));
    form->grid()->Reload();
    PickGarment(0);
    platform::ui::MessageBoxRecorder boxes;
    form->AddToOrder();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find("定货单已满"), std::string::npos);
    EXPECT_EQ(OrderLines().count(), kMaxOrderLines);
    EXPECT_EQ(Label(form->control(1042)), "120.00 元(120件)");
}

TEST_F(MarketWindowTest, MenuButtonsSwitchProjectsAndLayouts) {
    market->view()->ClickAt(wxPoint(10, 10));  // 男装
    testsupport::PumpEvents(100);
    EXPECT_EQ(fitting_room::MarketGarmentList().basicProjectShown(), "男装");
    market->view()->ClickAt(wxPoint(90, 45));  // layout: (2, 101)
    testsupport::PumpEvents(100);
    EXPECT_EQ(fitting_room::MarketGarmentList().layoutMode(), 2);
    Screen("market-men-layout2.png");
}

}  // namespace
