// The market window as a shop assistant uses it, on a copy of the demo base
// directory: garments picked in the catalogue, order lines with quantities,
// the totals, a quantity typed into the table and written without leaving
// the cell, the order file, the order chart, the wide table and the list of
// saved orders; the order table's current cell and check boxes when lines are
// deleted under them, clicked through the X server. Screens go to
// screens/market-*.png and screens/order-grid-after-delete.png.
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
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/measure_market/window/grid_screen.h"

using namespace measure_market;
namespace fs = std::filesystem;

namespace {

std::string Label(wxWindow* w) { return w ? w->GetLabel().utf8_string() : std::string("<none>"); }

// An order line's texts as the catalogue and the quantity field give them.
struct LineText {
    const char *code, *name, *price, *quantity;
};

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

    // Three lines as the catalogue gives them (159 + 2 x 89 + 239), shown.
    void AddLines() {
        const LineText lines[] = {{"W-TOP-001", "白色棉衬衫", "159", "1"},
                                  {"W-TOP-002", "青绿条纹T恤", "89", "2"},
                                  {"W-TOP-004", "燕麦色开衫", "239", "1"}};
        for (const auto& l : lines) {
            OrderLineInput in;
            in.code = l.code, in.name = l.name, in.price = l.price, in.quantity = l.quantity;
            ASSERT_TRUE(OrderLines().AddLine(in, 'W', ""));
        }
        form->grid()->Reload();
        testsupport::DeliverEvents(200);
    }
    std::pair<int, int> Current() const {
        return {form->grid()->GetCurrentDataColumn(), form->grid()->GetCurrentDataRow()};
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
    EXPECT_EQ(Label(form->control(1049)), "青绿条纹T恤");
    EXPECT_EQ(Label(form->control(1047)), "89");
    EXPECT_EQ(Label(form->control(1044)), "W-TOP-002");
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
    const LineText picked[] = {{"W-TOP-002", "青绿条纹T恤", "89", "3"},
                               {"W-TOP-003", "海魂条纹衫", "129", "2"},
                               {"W-TOP-004", "燕麦色开衫", "239", "1"}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(OrderLines().line(i).code, picked[i].code);
        EXPECT_EQ(OrderLines().line(i).name, picked[i].name);
        EXPECT_EQ(OrderLines().line(i).price, picked[i].price);
        EXPECT_EQ(OrderLines().line(i).quantity, picked[i].quantity);
        EXPECT_EQ(OrderLines().line(i).tag, 'W');
        EXPECT_FALSE(OrderLines().picturePath(i).empty());
    }

    // The total follows every change; the button shows it: 3 x 89 + 2 x 129 + 239.
    EXPECT_EQ(Label(form->control(1042)), "764.00 元(6件)");
    EXPECT_EQ(OrderLines().line(1).amount, "258.00");
    EXPECT_EQ(OrderLines().line(3).name, "合计金额");
    EXPECT_EQ(OrderLines().line(3).quantity, "6");
    EXPECT_EQ(OrderLines().line(3).amount, "764.00");

    // The middle line deleted with the mouse: the last one moves up with its
    // picture, and the total is 3 x 89 + 239.
    COrderGrid* grid = form->grid();
    const std::string lastPicture = OrderLines().picturePath(2);
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 1));
    ASSERT_EQ(grid->GetCurrentDataRow(), 1);
    testsupport::ClickOn(form->control(1057));
    ASSERT_EQ(OrderLines().count(), 2);
    EXPECT_EQ(OrderLines().line(0).code, "W-TOP-002");
    EXPECT_EQ(OrderLines().line(1).code, "W-TOP-004");
    EXPECT_EQ(OrderLines().picturePath(1), lastPicture);
    EXPECT_EQ(Label(form->control(1042)), "506.00 元(4件)");

    // A quantity typed into the table is written without the cell being left.
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
    EXPECT_EQ(OrderLines().line(1).amount, "956.00");
    EXPECT_EQ(Label(form->control(1063)), "ok");
    EXPECT_EQ(Label(form->control(1042)), "1223.00 元(7件)");
    const fs::path file = tmp / "定单数据表保存区" / "2026A_007.of3";
    ASSERT_TRUE(fs::exists(file));
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    // The file as its columns put it: labels and values at fixed GBK byte
    // columns, blanks to each line's length (135, 100, 92, 94 and 81), CR LF.
    const char* const lines[] = {
        "定单号:2026A_007              定货人:王小姐            联系方式:13900000000                                                            ",
        "----------------------------------------------------------------------------------------------------",
        " 序号   货 品 代 号  货 品 名 称                  单 价    数 量   单 位 合 价   尺码  颜 色",
        "----------------------------------------------------------------------------------------------------",
        "  1     W-TOP-002    青绿条纹T恤                  89       3              267.00              ",
        "  2     W-TOP-004    燕麦色开衫                   239      4              956.00              ",
        "----------------------------------------------------------------------------------------------------",
        "                     合 计 金 额                数量:7            金额:1223.00   ",
    };
    std::string expected;
    for (const char* l : lines) expected += std::string(l) + "\r\n";
    EXPECT_EQ(bytes.size(), 812u);
    EXPECT_EQ(platform::GbkToUtf8(bytes), expected);
    // GBK, not UTF-8: "青绿" at the name's column of the first line.
    EXPECT_EQ(bytes.substr(137 + 102 + 94 + 102 + 21, 4), "\xC7\xE0\xC2\xCC");
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

// Lines deleted from under the current cell with "删除定货单": the cell shows
// the line that moved up, pixel for pixel as that line's cell shows once
// another cell of the row is current, and nothing once every line is gone.
TEST_F(MarketWindowTest, TheCurrentCellShowsTheLineThatMovedUpAfterADelete) {
    AddLines();
    COrderGrid* grid = form->grid();
    wxWindow* deleteButton = form->control(1057);
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 0));  // line 1's "代码"
    ASSERT_EQ(Current(), std::make_pair(1, 0));
    ASSERT_TRUE(deleteButton->IsEnabled());
    testsupport::ClickOn(deleteButton);
    ASSERT_EQ(OrderLines().count(), 2);
    ASSERT_EQ(OrderLines().line(0).code, "W-TOP-002");
    EXPECT_EQ(Current(), std::make_pair(1, 0));
    testsupport::DeliverEvents(300);
    const wxImage shown = gridscreen::Inside(grid, 1, 0);
    EXPECT_FALSE(gridscreen::OneColour(shown));
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(grid, testsupport::Screen("order-grid-after-delete.png")));
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 2, 0));  // "名称" of the same row
    ASSERT_EQ(Current(), std::make_pair(2, 0));
    testsupport::DeliverEvents(200);
    EXPECT_TRUE(gridscreen::SamePixels(shown, gridscreen::Inside(grid, 1, 0))) << "the cell did not show W-TOP-002";

    // The two lines left deleted from their "名称" cell.
    testsupport::ClickOn(deleteButton);
    ASSERT_EQ(OrderLines().count(), 1);
    testsupport::ClickOn(deleteButton);
    ASSERT_EQ(OrderLines().count(), 0);
    EXPECT_EQ(Current(), std::make_pair(2, 0));
    testsupport::DeliverEvents(300);
    EXPECT_TRUE(gridscreen::OneColour(gridscreen::Inside(grid, 2, 0))) << "the empty row shows an old name";
    EXPECT_FALSE(deleteButton->IsEnabled());
}

// The "复核" box current when its line is deleted: the ticked line that moves
// up is what a click unticks, on the screen and in the stored mark.
TEST_F(MarketWindowTest, ACheckBoxUnderADeletedLineUnticksTheLineThatMovedUp) {
    AddLines();
    OrderLines().SetChecked(1, true);
    COrderGrid* grid = form->grid();
    grid->Reload();
    testsupport::GiveKeyboardTo(frame);
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 0));
    testsupport::PressKey(WXK_HOME);  // to line 1's box, without ticking it
    ASSERT_EQ(Current(), std::make_pair(0, 0));
    auto* box = dynamic_cast<CGridCheckCell*>(grid->GetColumnControl(0));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->IsShown());
    EXPECT_FALSE(box->IsModified());
    testsupport::ClickOn(form->control(1057));
    ASSERT_EQ(OrderLines().count(), 2);
    ASSERT_EQ(OrderLines().line(0).checked, kChecked);
    ASSERT_EQ(OrderLines().line(1).checked, kUnchecked);
    testsupport::DeliverEvents(300);
    const wxImage empty = gridscreen::CheckBox(grid, 0, 1);
    EXPECT_FALSE(gridscreen::SamePixels(gridscreen::CheckBox(grid, 0, 0), empty));  // ticked

    testsupport::ClickAt(grid, gridscreen::CheckBoxCentre(*grid, 0, 0));  // meant to untick it
    ASSERT_EQ(Current(), std::make_pair(0, 0));
    EXPECT_TRUE(box->IsShown());
    testsupport::DeliverEvents(200);
    EXPECT_TRUE(gridscreen::SamePixels(gridscreen::CheckBox(grid, 0, 0), empty)) << "the box still shows a tick";
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 1));  // moving on stores the mark
    EXPECT_EQ(OrderLines().line(0).checked, kUnchecked);
    EXPECT_EQ(OrderLines().line(1).checked, kUnchecked);
    testsupport::DeliverEvents(200);
    EXPECT_TRUE(gridscreen::SamePixels(gridscreen::CheckBox(grid, 0, 0), empty));
}

// Where the grid paints no check box (the total line "合计金额", an empty row)
// a click shows none and changes nothing; a line's own box still ticks.
TEST_F(MarketWindowTest, NoCheckBoxOnTheTotalLineOrAnEmptyRow) {
    AddLines();
    COrderGrid* grid = form->grid();
    ASSERT_TRUE(OrderLines().HasTotalLine());
    for (const int row : {3, 7}) {
        SCOPED_TRACE(row);
        for (int click = 0; click < 2; ++click) {
            testsupport::ClickAt(grid, gridscreen::CheckBoxCentre(*grid, 0, row), 450);  // not a double click
            ASSERT_EQ(Current(), std::make_pair(0, row));
            if (auto* box = dynamic_cast<CGridCheckCell*>(grid->GetColumnControl(0))) {
                EXPECT_FALSE(box->IsShown());
            }
            EXPECT_FALSE(grid->IsEditing());
            EXPECT_TRUE(gridscreen::OneColour(gridscreen::Inside(grid, 0, row))) << "a box shows";
        }
    }
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 0));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(OrderLines().line(i).checked, kUnchecked);
    EXPECT_EQ(OrderLines().line(3).kind, kKindTotal);
    EXPECT_EQ(OrderLines().line(3).checked, kUnchecked);
    EXPECT_EQ(OrderLines().lastTotal().text, "576.00 元(4件)");

    testsupport::ClickAt(grid, gridscreen::CheckBoxCentre(*grid, 0, 2));
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 0));
    EXPECT_EQ(OrderLines().line(2).checked, kChecked);
}

// Two saved orders in "定货单列表": "打 开" is ready at once for the first
// row, which is current; a click on the second row (through the X server)
// and on "打 开" shows that order; a click on a row without a file disables
// the button.
TEST_F(MarketWindowTest, TheOrderListShowsASavedOrder) {
    PickGarment(0);
    form->quantityEdit()->ChangeValue("2");
    form->AddToOrder();
    for (const char* number : {"2026B_001", "2026B_002"}) {
        form->orderNoEdit()->ChangeValue(number);
        form->WriteOrder();
        ASSERT_EQ(Label(form->control(1063)), "ok");
    }

    auto* dlg = new COrderListDlg(frame, tmp.path());
    dlg->Show();
    testsupport::PumpEvents(300);
    COrderFileGrid* files = dlg->grid();
    ASSERT_EQ(files->fileCount(), 2);
    EXPECT_EQ(files->GetCurrentDataRow(), 0);
    EXPECT_TRUE(dlg->openButton()->IsEnabled()) << "row 1 is current";

    testsupport::ClickAt(files, gridscreen::CellCentre(*files, 1, 1));
    EXPECT_EQ(files->GetCurrentDataRow(), 1);
    EXPECT_TRUE(dlg->openButton()->IsEnabled());
    testsupport::ClickOn(dlg->openButton());
    const std::string shown = dlg->text()->GetValue().utf8_string();
    EXPECT_EQ(shown.rfind("定单号:2026B_002", 0), 0u);
    EXPECT_NE(shown.find("合 计 金 额"), std::string::npos);
    testsupport::PumpEvents(300);
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("market-order-list.png")));

    testsupport::ClickAt(files, gridscreen::CellCentre(*files, 1, 4));  // no file there
    EXPECT_EQ(files->GetCurrentDataRow(), 4);
    EXPECT_FALSE(dlg->openButton()->IsEnabled());
    testsupport::ClickAt(files, gridscreen::CellCentre(*files, 1, 0));
    EXPECT_TRUE(dlg->openButton()->IsEnabled());
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
