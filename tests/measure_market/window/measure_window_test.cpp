// The measurement window on the demo data: a customer's body on the model,
// a label edited and saved, the sizes that fit marked in the chart, a size
// picture, the 3-D view, a typed chart cell kept when the window closes, the
// chart's current cell when rows change under it and Esc in a chart cell, a
// run-length compressed model figure, and the size-table download. Screens go
// to screens/measure-*.png.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <gtest/gtest.h>
#include "tests/support/x_window_state.h"
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "controls/control_bar.h"
#include "controls/grid_cell_controls.h"
#include "controls/grid_types.h"
#include "measure_market/dib_file.h"
#include "measure_market/dib_painter.h"
#include "measure_market/measure_data.h"
#include "measure_market/measure_form.h"
#include "measure_market/opengl_view.h"
#include "measure_market/size_chart_grid.h"
#include "measure_market/size_database.h"
#include "measure_market/size_download.h"
#include "measure_market/space_child_frame.h"
#include "measure_market/value_edit_dlg.h"
#include "platform/net.h"
#include "platform/text.h"
#include "platform/ui/mdi.h"
#include "platform/ui/message_box.h"
#include "platform/ui/message_box_dialog.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/measure_market/window/grid_screen.h"

namespace fs = std::filesystem;
using namespace measure;

namespace {

// A picture of at most 256 colours: its table (RGB) and one index a pixel,
// top row first.
struct IndexedPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> table;
    std::vector<std::uint8_t> index;
};

// A true-colour picture brought down to 256 colours: the most frequent ones
// make the table, every other pixel takes the nearest of them.
IndexedPicture ToIndexed(const CDibFile& dib) {
    IndexedPicture out{dib.width(), dib.height(), {}, {}};
    const auto& rgb = dib.rgb();
    auto key = [&](std::size_t p) { return (rgb[p * 3] << 16) | (rgb[p * 3 + 1] << 8) | rgb[p * 3 + 2]; };
    const std::size_t pixels = static_cast<std::size_t>(out.width) * out.height;
    std::map<int, int> counts;
    for (std::size_t p = 0; p < pixels; ++p) ++counts[key(p)];
    std::vector<std::pair<int, int>> byCount;
    for (const auto& [colour, n] : counts) byCount.emplace_back(n, colour);
    std::sort(byCount.rbegin(), byCount.rend());
    byCount.resize(std::min<std::size_t>(byCount.size(), 256));
    for (const auto& [n, colour] : byCount)
        out.table.insert(out.table.end(), {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                           static_cast<std::uint8_t>(colour)});
    std::map<int, std::uint8_t> nearest;
    for (std::size_t p = 0; p < pixels; ++p) {
        const int colour = key(p);
        auto found = nearest.find(colour);
        if (found == nearest.end()) {
            int best = 0, bestDistance = INT32_MAX;
            for (std::size_t i = 0; i < out.table.size() / 3; ++i) {
                int d = 0;
                for (int c = 0; c < 3; ++c) {
                    const int diff = out.table[i * 3 + c] - ((colour >> (16 - 8 * c)) & 0xFF);
                    d += diff * diff;
                }
                if (d < bestDistance) best = static_cast<int>(i), bestDistance = d;
            }
            found = nearest.emplace(colour, static_cast<std::uint8_t>(best)).first;
        }
        out.index.push_back(found->second);
    }
    return out;
}

// The rows of an 8-bit picture as a run-length stream, bottom row first, as
// a common encoder writes them: runs of two or more, other stretches as
// absolute runs (padded to 16 bits) or single pixels, a line end after each
// row and the end-of-bitmap mark after the last.
std::vector<std::uint8_t> RunLengthRows(const IndexedPicture& f) {
    std::vector<std::uint8_t> s;
    for (int y = f.height - 1; y >= 0; --y) {
        const std::uint8_t* row = f.index.data() + static_cast<std::size_t>(y) * f.width;
        for (int x = 0; x < f.width;) {
            int run = 1;
            while (x + run < f.width && run < 255 && row[x + run] == row[x]) ++run;
            if (run >= 2) {
                s.insert(s.end(), {static_cast<std::uint8_t>(run), row[x]});
                x += run;
                continue;
            }
            int n = 0;
            while (x + n < f.width && n < 255 && !(x + n + 1 < f.width && row[x + n] == row[x + n + 1])) ++n;
            if (n < 3) {
                for (int i = 0; i < n; ++i) s.insert(s.end(), {1, row[x + i]});
            } else {
                s.insert(s.end(), {0, static_cast<std::uint8_t>(n)});
                s.insert(s.end(), row + x, row + x + n);
                if (n % 2) s.push_back(0);
            }
            x += n;
        }
        s.insert(s.end(), {0, static_cast<std::uint8_t>(y > 0 ? 0 : 1)});
    }
    return s;
}

// An 8-bit bitmap file of the picture: plain rows, or one run-length stream.
std::vector<unsigned char> EightBitFile(const IndexedPicture& f, bool runLength) {
    std::vector<std::uint8_t> bits;
    if (runLength) {
        bits = RunLengthRows(f);
    } else {
        const int stride = (f.width + 3) / 4 * 4;
        for (int y = f.height - 1; y >= 0; --y) {
            const auto* row = f.index.data() + static_cast<std::size_t>(y) * f.width;
            bits.insert(bits.end(), row, row + f.width);
            bits.resize(bits.size() + static_cast<std::size_t>(stride - f.width), 0);
        }
    }
    const std::uint32_t colours = static_cast<std::uint32_t>(f.table.size() / 3), at = 54 + colours * 4;
    std::vector<unsigned char> b(at, 0);
    auto u32 = [&](std::size_t off, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[off + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    u32(2, static_cast<std::uint32_t>(at + bits.size()));
    u32(10, at);
    u32(14, 40);
    u32(18, static_cast<std::uint32_t>(f.width));
    u32(22, static_cast<std::uint32_t>(f.height));
    b[26] = 1;
    b[28] = 8;
    u32(30, runLength ? 1 : 0);
    u32(34, static_cast<std::uint32_t>(bits.size()));
    u32(46, colours);
    for (std::uint32_t i = 0; i < colours; ++i) {
        b[54 + i * 4] = f.table[i * 3 + 2];
        b[54 + i * 4 + 1] = f.table[i * 3 + 1];
        b[54 + i * 4 + 2] = f.table[i * 3];
    }
    b.insert(b.end(), bits.begin(), bits.end());
    return b;
}

bool SameImage(const wxImage& a, const wxImage& b) {
    return a.IsOk() && b.IsOk() && a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + static_cast<std::size_t>(a.GetWidth()) * a.GetHeight() * 3, b.GetData());
}

class MeasureWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path demo = testsupport::DemoBase() / std::string(kDataFolder);
        ASSERT_TRUE(testsupport::FixtureExists(demo / std::string(kSizeFileName)));
        fs::create_directories(DataFolder(base.path()));
        fs::copy(demo, DataFolder(base.path()), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        SizeDatabase().Reset();
        Open();
    }
    // The measurement window on the copied base directory.
    void Open() {
        top = new wxFrame(nullptr, wxID_ANY, "measure", wxPoint(0, 0), wxSize(1500, 960), wxBORDER_NONE);
        client = new platform::ui::MdiClient(top);
        space = CMWinFram_SpaceChdWnd::Make(client, base.path());
        ASSERT_NE(space, nullptr);
        client->Activate(space);
        top->Show();
        top->SendSizeEvent();
        testsupport::PumpEvents(500);
        form = space->form();
        ASSERT_NE(form, nullptr);
    }
    // Closes the window, as the program's exit does.
    void Close() {
        if (top) top->Destroy();
        top = nullptr;
        form = nullptr;
        testsupport::PumpEvents(100);
    }
    void TearDown() override {
        Close();
        SizeDatabase().Reset();
    }
    fs::path DataPath(std::string_view name) const { return DataFile(base.path(), name); }

    void Shot(const std::string& name) {
        testsupport::PumpEvents(300);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(top, testsupport::Screen("measure-") + name + ".png"));
    }
    // Picks an entry of the sex combo ("男性", "女性") as the toolkit's own
    // choice event does, through the form's handler.
    void ChooseSex(int entry) {
        auto* sex = dynamic_cast<wxChoice*>(form->FindWindow(kIdModelSex));
        ASSERT_NE(sex, nullptr);
        sex->SetSelection(entry);
        wxCommandEvent e(wxEVT_CHOICE, kIdModelSex);
        e.SetEventObject(sex);
        e.SetInt(entry);
        sex->ProcessWindowEvent(e);
        testsupport::PumpEvents(100);
    }
    // A customer chosen in the person combo, as the toolkit's own choice
    // event gives it to the form.
    void ChoosePerson(int entry) {
        wxChoice* persons = form->personCombo();
        persons->SetSelection(entry);
        wxCommandEvent e(wxEVT_CHOICE, kIdPerson);
        e.SetEventObject(persons);
        e.SetInt(entry);
        persons->ProcessWindowEvent(e);
        testsupport::PumpEvents(100);
    }
    // "下载更新尺码库" pressed through the X server with the download host
    // set; returns once the download has reported.
    void Download(const std::string& host) {
        form->SetDownloadHost(host);
        testsupport::ClickOn(form->FindWindow(kIdDownload));
        ASSERT_TRUE(testsupport::PumpUntil([&] { return !form->downloading(); }));
    }
    // Delivers events until the status line shows `text` (at most `ms`).
    bool WaitForStatus(const wxString& text, int ms = 10000) {
        const wxLongLong end = wxGetLocalTimeMillis() + ms;
        while (form->statusText() != text && wxGetLocalTimeMillis() < end) testsupport::DeliverEvents(10);
        return form->statusText() == text;
    }
    // What the X server shows of the picture area.
    wxImage PictureOnScreen() {
        wxWindow* area = form->pictureArea();
        area->Refresh();
        area->Update();
        testsupport::PumpEvents(200);
        return testsupport::GrabScreenArea(wxRect(area->ClientToScreen(wxPoint(0, 0)), area->GetClientSize()));
    }
    // The centre of a label in the picture area.
    wxPoint LabelCentre(int i) {
        const LabelRect r = LabelRectOf(i);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2 + 2};
    }

    // The user types a note into the chart's row 1 and leaves the cell open.
    void TypeNote(const char* text) {
        CSizeChartGrid* grid = form->grid();
        ASSERT_TRUE(grid->SetCurrentCell(9 + grid->GetFixedColumnCount(), 1 + grid->GetFixedRowCount()));
        grid->ShowCurrentEditor();
        CGridCellControl* editor = grid->GetColumnControl(9);
        ASSERT_NE(editor, nullptr);
        editor->SetValue(text, -1);
        editor->SetModified(1);
        ASSERT_TRUE(grid->IsEditing());
    }

    testsupport::TempDir base;
    wxFrame* top = nullptr;
    platform::ui::MdiClient* client = nullptr;
    CMWinFram_SpaceChdWnd* space = nullptr;
    DlgSpace1FMView* form = nullptr;
};

TEST_F(MeasureWindowTest, BodyEditSaveAndMatch) {
    platform::ui::MessageBoxRecorder boxes;
    EXPECT_EQ(space->caption(), wxString::FromUTF8("个性空间"));
    EXPECT_EQ(space->bar()->side(), controls::DockSide::Left);
    ASSERT_EQ(space->bar()->pages().size(), 1u);
    EXPECT_EQ(space->bar()->pages()[0].name, "OutBar");
    ASSERT_EQ(form->personCombo()->GetCount(), 2u);
    EXPECT_FALSE(form->matchButton()->IsEnabled());
    // Before a model is chosen nothing is hit.
    EXPECT_EQ(form->labels().HitTest(LabelCentre(0).x, LabelCentre(0).y), -1);

    form->SelectPerson(0);  // 王丽
    EXPECT_EQ(form->labels().modelSex(), 'W');
    EXPECT_EQ(form->labels().value(9), 8400);
    EXPECT_EQ(form->labels().mark(kBustLabel), ' ');
    EXPECT_TRUE(form->matchButton()->IsEnabled());
    testsupport::PumpEvents(300);
    EXPECT_EQ(DibPainter().state(), 11);  // the model bitmap was drawn
    EXPECT_EQ(DibPainter().width(), 250);
    Shot("body");

    // A click on "腰围" opens the editor with its value; 68 cm comes back.
    std::int32_t offered = -2;
    form->valueEditor = [&](std::int32_t v, wxPoint) -> std::optional<std::int32_t> {
        offered = v;
        return 6800;
    };
    form->ClickPicture(LabelCentre(12));
    EXPECT_EQ(offered, 6700);
    EXPECT_EQ(form->labels().value(12), 6800);
    EXPECT_EQ(form->labels().mark(12), 'Y');
    EXPECT_TRUE(form->saveButton()->IsEnabled());
    form->SaveMeasurements();
    EXPECT_EQ(SizeDatabase().GetBodyCount(), 2);  // same name: updated
    EXPECT_EQ(SizeDatabase().BodyValue(0, 12), 6800);

    // The male model hides the bust label: a click there hits nothing.
    form->SelectModel(0);
    offered = -2;
    form->ClickPicture(LabelCentre(kBustLabel));
    EXPECT_EQ(offered, -2);
    form->SelectModel(1);

    // A new name adds a person once; the next save updates it.
    form->SetName(wxString::FromUTF8("王丽二"));
    form->SaveMeasurements();
    EXPECT_EQ(SizeDatabase().GetBodyCount(), 3);
    EXPECT_EQ(form->selectedPerson(), 2);
    form->ClickPicture(LabelCentre(12));
    form->SaveMeasurements();
    EXPECT_EQ(SizeDatabase().GetBodyCount(), 3);
    EXPECT_EQ(form->personCombo()->GetCount(), 3u);
    EXPECT_TRUE(boxes.shown().empty());

    // 王丽 (162 cm, chest 84, waist 68 as saved above, hip 91, foot 23): her sizes of the
    // demo chart, in the chart's order, and no man's row.
    form->SelectPerson(0);
    testsupport::ClickOn(form->matchButton());
    const std::vector<std::pair<std::string, std::string>> hers = {
        {"女上装", "160/84A"}, {"女上装", "165/88A"}, {"女下装", "160/66A"},
        {"女下装", "165/70A"}, {"女牛仔裤", "160/66A"}, {"女鞋M", "235"},
    };
    const int n = static_cast<int>(hers.size());
    EXPECT_EQ(form->statusText(), wxString::FromUTF8("有 6 个合适的尺码."));
    ASSERT_EQ(form->grid()->shownRows(), n);
    ASSERT_EQ(SizeDatabase().GetSizeCount(), n);
    for (int r = 0; r < n; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(SizeDatabase().GetSizeField(r, 1), hers[r].first);
        EXPECT_EQ(SizeDatabase().GetSizeField(r, 2), hers[r].second);
        EXPECT_EQ(SizeDatabase().GetSizeChar(r, kCharMark), 'Y');
        EXPECT_EQ(SizeDatabase().GetSizeChar(r, kCharSex), 'W');
    }
    Shot("match");

    // The whole chart again: the marks stand on those six rows only.
    testsupport::ClickOn(form->FindWindow(kIdAllSizes));
    ASSERT_EQ(form->grid()->shownRows(), SizeDatabase().GetStoredRowCount());
    std::vector<std::pair<std::string, std::string>> marked;
    for (int r = 0; r < form->grid()->shownRows(); ++r)
        if (SizeDatabase().GetSizeChar(r, kCharMark) == 'Y')
            marked.emplace_back(SizeDatabase().GetSizeField(r, 1), SizeDatabase().GetSizeField(r, 2));
    EXPECT_EQ(marked, hers);
    form->ShowSizePicture(0);
    Shot("size-picture");
}

TEST_F(MeasureWindowTest, ThreeDViewRendersTheScene) {
    CCOpenGLCView* view = space->view();
    ASSERT_TRUE(view->IsShownOnScreen());
    EXPECT_GT(view->GetSize().x, 400);
    ASSERT_TRUE(view->contextReady());
    const wxImage image = view->RenderToImage();
    ASSERT_TRUE(image.IsOk());
    EXPECT_NEAR(view->aspect(), static_cast<float>(view->GetClientSize().x) / view->GetClientSize().y, 0.01);
    // Black background, lit white shapes, and the red, green and blue axes.
    int lit = 0, red = 0, green = 0, blue = 0;
    const unsigned char* p = image.GetData();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i, p += 3) {
        if (p[0] > 60 && p[1] > 60 && p[2] > 60) ++lit;
        if (p[0] > 200 && p[1] < 60 && p[2] < 60) ++red;
        if (p[1] > 200 && p[0] < 60 && p[2] < 60) ++green;
        if (p[2] > 200 && p[0] < 60 && p[1] < 60) ++blue;
    }
    EXPECT_GT(lit, image.GetWidth() * image.GetHeight() / 50);
    EXPECT_GT(red, 10);
    EXPECT_GT(green, 10);
    EXPECT_GT(blue, 10);
    image.SaveFile(testsupport::Screen("measure-3d-view.png"), wxBITMAP_TYPE_PNG);
    form->SelectPerson(1);  // 张强
    form->MatchSizes();
    view->Refresh();
    Shot("3d");
    EXPECT_EQ(ViewAspect(640, 0), 640.0f);
}

TEST_F(MeasureWindowTest, ATypedCellIsKeptWhenTheWindowCloses) {
    CSizeChartGrid* grid = form->grid();
    const int rows = grid->shownRows();
    ASSERT_GT(rows, 2);
    // The user types a note into row 1 and closes the window without leaving the cell.
    ASSERT_TRUE(grid->SetCurrentCell(9 + grid->GetFixedColumnCount(), 1 + grid->GetFixedRowCount()));
    grid->ShowCurrentEditor();
    CGridCellControl* editor = grid->GetColumnControl(9);
    ASSERT_NE(editor, nullptr);
    editor->SetValue("客户试穿后再定", -1);
    editor->SetModified(1);
    ASSERT_TRUE(grid->IsEditing());
    top->Destroy();
    top = nullptr;
    testsupport::PumpEvents(100);
    CSizeDatabase again;
    again.CopyTrimmedName(base.path());
    ASSERT_EQ(again.LoadSizes(), LoadResult::Loaded);
    EXPECT_EQ(again.GetSizeField(1, 9), "客户试穿后再定");
    EXPECT_EQ(again.GetSizeCount(), rows);
}

// Rows changing under the chart's current cell, through the form's buttons
// clicked on the X server: an inserted row shows empty in the cell, and after
// "匹配尺码" and "全部尺码" the cell shows the full chart's row again, pixel
// for pixel as before the match.
TEST_F(MeasureWindowTest, TheCurrentCellFollowsInsertedAndFilteredRows) {
    CSizeChartGrid* grid = form->grid();
    testsupport::ClickOn(form->FindWindow(kIdEditMode));  // "编辑方式"
    wxWindow* insert = form->FindWindow(kIdInsertRow);
    ASSERT_TRUE(insert->IsEnabled());
    ASSERT_EQ(SizeDatabase().GetSizeField(3, 1), "女上装");
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 3));
    auto* kind = dynamic_cast<CGridEditCell*>(grid->GetColumnControl(1));
    ASSERT_NE(kind, nullptr);
    ASSERT_TRUE(kind->IsShown());
    testsupport::DeliverEvents(200);
    EXPECT_GT(gridscreen::Marks(gridscreen::EditField(grid, 1, 3)), 40);  // "女上装"
    testsupport::ClickOn(insert);  // "插入尺码"
    ASSERT_EQ(SizeDatabase().GetSizeField(3, 1), "");
    ASSERT_EQ(SizeDatabase().GetSizeField(4, 1), "女上装");
    testsupport::DeliverEvents(200);
    EXPECT_TRUE(kind->IsShown());
    EXPECT_EQ(kind->Window()->GetValue().utf8_string(), "");
    EXPECT_LT(gridscreen::Marks(gridscreen::EditField(grid, 1, 3)), 20) << "the new row shows an old text";

    // "国家标准" of row 1 in the full chart, as its cell shows it.
    const std::string full = SizeDatabase().GetSizeField(1, 2);
    ASSERT_FALSE(full.empty());
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 2, 1));
    testsupport::DeliverEvents(200);
    const wxImage fullShown = gridscreen::Inside(grid, 2, 1);
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 1));
    form->SelectPerson(0);  // 王丽: a woman's sizes
    testsupport::ClickOn(form->matchButton());
    ASSERT_GT(grid->shownRows(), 1);
    ASSERT_NE(SizeDatabase().GetSizeField(1, 2), full);
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 2, 1));
    testsupport::DeliverEvents(200);
    EXPECT_FALSE(gridscreen::SamePixels(gridscreen::Inside(grid, 2, 1), fullShown));
    testsupport::ClickOn(form->FindWindow(kIdAllSizes));  // "全部尺码"
    testsupport::DeliverEvents(200);
    auto* size = dynamic_cast<CGridEditCell*>(grid->GetColumnControl(2));
    ASSERT_NE(size, nullptr);
    EXPECT_TRUE(size->IsShown());
    EXPECT_EQ(size->Window()->GetValue().utf8_string(), full);
    EXPECT_TRUE(gridscreen::SamePixels(gridscreen::Inside(grid, 2, 1), fullShown)) << "the cell shows a filtered row";
}

// Row operations on a matched chart: 张强's six rows, row 3 (长袖衬衣
// 175/92A) clicked, then "插入尺码": the whole chart comes back and the new
// empty row, where 长袖衬衣 stood, is the current one; typing goes into it,
// and "删除尺码" takes it away again, leaving 长袖衬衣 current in its place.
// No other row is touched.
TEST_F(MeasureWindowTest, RowOperationsOnAMatchedChartHitTheRowActedOn) {
    CSizeChartGrid* grid = form->grid();
    const int all = grid->shownRows();
    ChoosePerson(1);  // 张强
    testsupport::ClickOn(form->matchButton());
    ASSERT_EQ(grid->shownRows(), 6);
    testsupport::ClickOn(form->FindWindow(kIdEditMode));  // "编辑方式"
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 2));
    ASSERT_EQ(SizeDatabase().GetSizeField(2, 1), "长袖衬衣");
    ASSERT_EQ(SizeDatabase().GetSizeField(2, 2), "175/92A");
    const int shirt = SizeDatabase().StoredRowOf(2);
    ASSERT_EQ(shirt, 15);

    testsupport::GiveKeyboardTo(top);
    testsupport::ClickOn(form->FindWindow(kIdInsertRow));  // "插入尺码"
    testsupport::DeliverEvents(200);
    ASSERT_EQ(grid->shownRows(), all + 1);
    EXPECT_EQ(SizeDatabase().GetSizeField(2, 2), "160/84A");  // row 3 of the whole chart
    EXPECT_EQ(SizeDatabase().GetSizeField(shirt, 1), "");
    EXPECT_EQ(SizeDatabase().GetSizeField(shirt + 1, 1), "长袖衬衣");
    EXPECT_EQ(grid->GetCurrentDataRow(), shirt) << "the current cell stayed on another row";
    EXPECT_EQ(grid->GetCurrentDataColumn(), 1);
    auto* kind = dynamic_cast<CGridEditCell*>(grid->GetColumnControl(1));
    ASSERT_NE(kind, nullptr);
    EXPECT_TRUE(kind->IsShown());
    EXPECT_EQ(kind->Window()->GetValue().utf8_string(), "");
    // On the screen: the new row is the one painted current, row 3 is not.
    auto fill = [&](int row) {
        const wxImage inside = gridscreen::Inside(grid, 6, row);
        return wxColour(inside.GetRed(1, 1), inside.GetGreen(1, 1), inside.GetBlue(1, 1));
    };
    testsupport::DeliverEvents(200);
    EXPECT_EQ(fill(shirt), wxColour(0x00, 0xDC, 0xDC));
    EXPECT_NE(fill(2), wxColour(0x00, 0xDC, 0xDC));

    // Typing goes into the new row.
    testsupport::TypeText("ZZ");
    EXPECT_EQ(kind->Window()->GetValue().utf8_string(), "ZZ");
    Shot("row-inserted");
    testsupport::ClickOn(form->FindWindow(kIdDeleteRow));  // "删除尺码": the typed row goes
    testsupport::DeliverEvents(200);
    EXPECT_EQ(grid->shownRows(), all);
    EXPECT_EQ(grid->GetCurrentDataRow(), shirt);
    EXPECT_EQ(SizeDatabase().GetSizeField(shirt, 1), "长袖衬衣");
    EXPECT_EQ(kind->Window()->GetValue().utf8_string(), "长袖衬衣");
    EXPECT_EQ(SizeDatabase().GetSizeField(2, 1), "女上装");
    EXPECT_EQ(SizeDatabase().GetSizeField(2, 2), "160/84A");
    for (int r = 0; r < all; ++r) EXPECT_NE(SizeDatabase().GetSizeField(r, 1), "ZZ") << r;

    // Deleted under a match: the row after 长袖衬衣 (the title 男装裤子)
    // takes its place and is current.
    testsupport::ClickOn(form->matchButton());
    ASSERT_EQ(grid->shownRows(), 6);
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 1, 2));
    ASSERT_EQ(SizeDatabase().GetSizeField(2, 1), "长袖衬衣");
    testsupport::ClickOn(form->FindWindow(kIdDeleteRow));
    testsupport::DeliverEvents(200);
    EXPECT_EQ(grid->shownRows(), all - 1);
    EXPECT_EQ(grid->GetCurrentDataRow(), shirt);
    EXPECT_EQ(SizeDatabase().GetSizeField(shirt, 1), "男装裤子");
    EXPECT_EQ(kind->Window()->GetValue().utf8_string(), "男装裤子");
    EXPECT_EQ(SizeDatabase().GetSizeField(2, 2), "160/84A");
}

// A cell made current again by a click after the rows under it changed:
// its editor holds the row's text, all of it selected, so typing replaces it.
TEST_F(MeasureWindowTest, TypingIntoACellClickedAgainReplacesItsText) {
    CSizeChartGrid* grid = form->grid();
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 5, 1));  // "北美标注" of row 2
    ASSERT_EQ(grid->GetCurrentDataRow(), 1);
    ChoosePerson(1);  // 张强
    testsupport::ClickOn(form->matchButton());
    ASSERT_EQ(grid->shownRows(), 6);
    ASSERT_EQ(SizeDatabase().GetSizeField(1, 1), "恤衫");
    ASSERT_EQ(SizeDatabase().GetSizeField(1, 2), "175/92A");
    ASSERT_EQ(SizeDatabase().GetSizeField(1, 5), "L");
    const int tee = SizeDatabase().StoredRowOf(1);
    testsupport::GiveKeyboardTo(top);
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 5, 1));
    auto* edit = dynamic_cast<CGridEditCell*>(grid->GetColumnControl(5));
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->IsShown());
    EXPECT_EQ(edit->Window()->GetValue().utf8_string(), "L");
    testsupport::TypeText("QQ");
    EXPECT_EQ(edit->Window()->GetValue().utf8_string(), "QQ");
    testsupport::ClickOn(form->FindWindow(kIdAllSizes));  // "全部尺码"
    EXPECT_EQ(SizeDatabase().GetSizeField(tee, 5), "QQ");
    EXPECT_EQ(SizeDatabase().GetSizeField(tee, 1), "恤衫");
}

// "ab%(!" typed into a chart cell and taken back with Esc: the cell shows
// what it held, and nothing is stored or saved when the window closes.
TEST_F(MeasureWindowTest, EscapeTakesBackWhatWasTypedIntoAChartCell) {
    CSizeChartGrid* grid = form->grid();
    const std::string before = SizeDatabase().GetSizeField(2, 3);
    ASSERT_EQ(before, "M");
    testsupport::GiveKeyboardTo(top);
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 3, 2));  // "S/L/M标注"
    auto* edit = dynamic_cast<CGridEditCell*>(grid->GetColumnControl(3));
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->IsShown());
    testsupport::DeliverEvents(200);
    const wxImage loaded = gridscreen::Inside(grid, 3, 2);
    testsupport::TypeText("ab%(!");
    ASSERT_EQ(edit->Window()->GetValue(), "ab%(!");
    testsupport::PressKey(WXK_ESCAPE);
    EXPECT_EQ(edit->Window()->GetValue().utf8_string(), before);
    EXPECT_FALSE(grid->IsEditing());
    testsupport::DeliverEvents(200);
    EXPECT_TRUE(gridscreen::SamePixels(gridscreen::Inside(grid, 3, 2), loaded));
    testsupport::ClickAt(grid, gridscreen::CellCentre(*grid, 3, 3));
    EXPECT_EQ(SizeDatabase().GetSizeField(2, 3), before);
    EXPECT_FALSE(SizeDatabase().dirty());
    const auto file = testsupport::ReadAll(DataPath(kSizeFileName));
    Close();
    EXPECT_EQ(testsupport::ReadAll(DataPath(kSizeFileName)), file);
}

// A folder where the chart's file should be: closing the program's window,
// or the measurement window alone, says that the chart was not saved (once),
// and the folder stays as it was.
TEST_F(MeasureWindowTest, AChartThatCannotBeWrittenAtCloseIsReported) {
    const fs::path chart = DataPath(kSizeFileName);
    auto putFolderInPlace = [&] {
        fs::remove(chart);
        fs::create_directory(chart);
    };
    putFolderInPlace();
    TypeNote("客户试穿后再定");
    {
        // The program's window closes.
        platform::ui::MessageBoxRecorder boxes;
        top->Close(true);
        top = nullptr;  // destroyed by its close
        form = nullptr;
        testsupport::PumpEvents(300);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].caption, "特别提示");
        EXPECT_EQ(boxes.shown()[0].icon, platform::MbIcon::Stop);
        EXPECT_EQ(boxes.shown()[0].text.rfind("尺码库没有保存: ", 0), 0u) << boxes.shown()[0].text;
        EXPECT_NE(boxes.shown()[0].text.find(std::string(kSizeFileName)), std::string::npos) << boxes.shown()[0].text;
        EXPECT_TRUE(fs::is_directory(chart) && fs::is_empty(chart));
    }

    // The measurement window closed by the user's close command, in the
    // program's base directory (its working directory): a real box says so
    // once the window has gone, in Chinese, naming the file by its path in
    // the base, and Escape answers it.
    fs::remove(chart);
    fs::copy_file(testsupport::DemoBase() / std::string(kDataFolder) / std::string(kSizeFileName), chart);
    SizeDatabase().Reset();
    testsupport::ScopedCwd cwd(base.path());
    Open();
    putFolderInPlace();
    TypeNote("改小一号");
    std::string shownText, painted;
    bool viewable = false, hadKeyboard = false, shot = false;
    testsupport::ModalDialogDriver driver(
        [] { return testsupport::FindShownDialog<platform::ui::MessageBoxDialog>(); },
        [&](wxDialog* dlg) {
            auto* box = static_cast<platform::ui::MessageBoxDialog*>(dlg);
            shownText = box->text();
            painted = box->label()->GetLabelText().utf8_string();
            const testsupport::XWindowState x = testsupport::XStateOf(box);
            viewable = x.viewable;
            hadKeyboard = testsupport::XFocusIsIn(box);
            shot = testsupport::GrabScreenArea(x.screen).SaveFile(testsupport::Screen("save-refused-chinese.png"),
                                                                  wxBITMAP_TYPE_PNG);
            testsupport::XKey(WXK_ESCAPE);
        },
        20);
    client->CloseChild(space);
    space = nullptr;
    form = nullptr;
    driver.WaitUntilClosed();
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.timedOut());
    EXPECT_TRUE(viewable);
    EXPECT_TRUE(hadKeyboard);
    EXPECT_TRUE(shot);
    const std::string want =
        "尺码库没有保存: 无法写入 " + (fs::path(kDataFolder) / kSizeFileName).string() + ": 是一个文件夹";
    EXPECT_EQ(shownText, want);
    // What the box's label shows is that text, wrapped where it is too wide.
    auto unwrapped = [](std::string s) {
        std::erase_if(s, [](char c) { return c == '\n' || c == ' '; });
        return s;
    };
    EXPECT_EQ(unwrapped(painted), unwrapped(want)) << painted;
    EXPECT_TRUE(fs::is_directory(chart) && fs::is_empty(chart));
}

TEST_F(MeasureWindowTest, AChartWithBytesAfterItsPoolOpensWhole) {
    const int rows = form->grid()->shownRows();
    ASSERT_GT(rows, 20);
    Close();
    auto bytes = testsupport::ReadAll(DataPath(kSizeFileName));
    bytes.push_back(0);
    base.write(DataPath(kSizeFileName).lexically_relative(base.path()), bytes);
    SizeDatabase().Reset();
    platform::ui::MessageBoxRecorder boxes;
    Open();
    testsupport::PumpEvents(200);
    EXPECT_EQ(form->grid()->shownRows(), rows);
    EXPECT_FALSE(SizeDatabase().sizeFileKept());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MeasureWindowTest, DamagedFilesAreReportedAndNeverWrittenOver) {
    Close();
    // Both files cut short, as a broken copy leaves them.
    auto cut = [&](std::string_view name, std::size_t drop) {
        auto bytes = testsupport::ReadAll(DataPath(name));
        bytes.resize(bytes.size() - drop);
        base.write(DataPath(name).lexically_relative(base.path()), bytes);
        return bytes;
    };
    const auto chart = cut(kSizeFileName, 10);
    const auto bodies = cut(kBodyFileName, 5);
    SizeDatabase().Reset();
    platform::ui::MessageBoxRecorder boxes;
    Open();
    testsupport::PumpEvents(200);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].caption, "特别提示");
    EXPECT_NE(boxes.shown()[0].text.find(kTextChartKept), std::string::npos);
    EXPECT_NE(boxes.shown()[0].text.find(kTextBodiesKept), std::string::npos);
    EXPECT_EQ(form->grid()->shownRows(), 0);
    EXPECT_EQ(form->personCombo()->GetCount(), 0u);

    // A parameter text typed into the first row: asked, and "No" keeps the
    // file. Mouse and keys go to the grid's and its editor's own handlers
    // (the tests' X server has no window manager to give the keyboard).
    CSizeChartGrid* grid = form->grid();
    auto mouse = [grid](wxEventType type, wxPoint at, bool down) {
        wxMouseEvent e(type);
        e.SetEventObject(grid);
        e.SetPosition(at);
        e.m_leftDown = down;
        grid->GetEventHandler()->ProcessEvent(e);
    };
    const grid::Rect cell = grid->CellRect(8, 0);
    const wxPoint at(std::min(cell.left + 20, grid->GetClientSize().x - 5), (cell.top + cell.bottom) / 2);
    mouse(wxEVT_LEFT_DOWN, at, true);
    mouse(wxEVT_LEFT_UP, at, false);
    ASSERT_EQ(grid->GetCurrentDataColumn(), 8);
    auto* editor = dynamic_cast<CGridEditCell*>(grid->GetColumnControl(8));
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->IsShown());
    editor->Window()->ChangeValue(wxString::FromUTF8("胸围:90"));
    editor->Window()->MarkDirty();  // as typing leaves it
    boxes.QueueAnswer(platform::MbResult::No);
    wxKeyEvent enter(wxEVT_KEY_DOWN);
    enter.m_keyCode = WXK_RETURN;
    enter.SetEventObject(editor->Window());
    editor->Window()->GetEventHandler()->ProcessEvent(enter);
    testsupport::PumpEvents(200);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].text, kAskNewChart);
    EXPECT_EQ(boxes.shown()[1].buttons, platform::MbButtons::YesNo);
    EXPECT_EQ(SizeDatabase().GetStoredRowCount(), 0);
    EXPECT_FALSE(SizeDatabase().dirty());

    // A person saved: asked too, and "No" keeps the body file.
    form->SelectModel(1);
    form->valueEditor = [](std::int32_t, wxPoint) -> std::optional<std::int32_t> { return 6800; };
    form->ClickPicture(LabelCentre(12));
    ASSERT_TRUE(form->saveButton()->IsEnabled());
    boxes.QueueAnswer(platform::MbResult::No);
    testsupport::ClickOn(form->saveButton());
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[2].text, kAskNewBodies);
    EXPECT_EQ(SizeDatabase().GetBodyCount(), 0);

    Close();
    EXPECT_FALSE(SizeDatabase().SaveSizes());  // what the exit does
    EXPECT_EQ(testsupport::ReadAll(DataPath(kSizeFileName)), chart);
    EXPECT_EQ(testsupport::ReadAll(DataPath(kBodyFileName)), bodies);
}

// A folder where the chart's or the customers' file should be when the window
// opens: reported at once and kept. The chart shows empty and asks before a
// typed row would start a new one; "No" stores nothing, and the close has
// nothing more to say. The folder stays as it was.
TEST_F(MeasureWindowTest, AFolderInPlaceOfAFileIsReportedWhenTheWindowOpens) {
    struct Case {
        std::string_view file;
        const char* report;
    } const cases[] = {{kSizeFileName, kTextChartUnreadable}, {kBodyFileName, kTextBodiesUnreadable}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file));
        Close();
        const fs::path saved = base.path() / "saved";
        fs::rename(DataPath(c.file), saved);
        fs::create_directory(DataPath(c.file));
        SizeDatabase().Reset();
        platform::ui::MessageBoxRecorder boxes;
        Open();
        testsupport::PumpEvents(200);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text, c.report);
        EXPECT_EQ(boxes.shown()[0].caption, "特别提示");
        CSizeChartGrid* grid = form->grid();
        const bool chart = c.file == kSizeFileName;
        if (chart) {
            EXPECT_EQ(grid->shownRows(), 0);
            // A parameter typed into the first row: asked, and "No" keeps the folder.
            testsupport::GiveKeyboardTo(top);
            const grid::Rect cell = grid->CellRect(8, 0);
            testsupport::ClickAt(grid, wxPoint(std::min(cell.left + 20, grid->GetClientSize().x - 5),
                                               (cell.top + cell.bottom) / 2));
            ASSERT_EQ(grid->GetCurrentDataColumn(), 8);
            testsupport::TypeText("90");
            boxes.QueueAnswer(platform::MbResult::No);
            testsupport::PressKey(WXK_RETURN);
            ASSERT_EQ(boxes.shown().size(), 2u);
            EXPECT_EQ(boxes.shown()[1].text, kAskNewChart);
            EXPECT_EQ(SizeDatabase().GetStoredRowCount(), 0);
            EXPECT_FALSE(SizeDatabase().dirty());
        } else {
            EXPECT_EQ(form->personCombo()->GetCount(), 0u);
            EXPECT_GT(grid->shownRows(), 20);  // the chart is there as ever
        }
        Close();
        EXPECT_EQ(boxes.shown().size(), chart ? 2u : 1u) << "reported again at the close";
        EXPECT_TRUE(fs::is_directory(DataPath(c.file)) && fs::is_empty(DataPath(c.file)));
        fs::remove(DataPath(c.file));
        fs::rename(saved, DataPath(c.file));
        SizeDatabase().Reset();
        Open();
    }
}

TEST_F(MeasureWindowTest, ABadModelFileIsReportedOnceAndThenPaintsWithoutIt) {
    base.write(DataPath(kFemaleFigure).lexically_relative(base.path()), std::string("GIF89a, not a bitmap"));
    platform::ui::MessageBoxRecorder boxes;
    auto choose = [&](int entry) { ChooseSex(entry); };
    choose(1);  // 女性: the damaged figure
    for (int i = 0; i < 3; ++i) {
        form->pictureArea()->Refresh();
        form->pictureArea()->Update();
        testsupport::PumpEvents(100);
    }
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, kNotBitmapMessage);
    // Painted again on a memory bitmap: the labels stand there, no box comes.
    wxBitmap canvas(form->pictureArea()->GetClientSize());
    {
        wxMemoryDC dc(canvas);
        form->DrawPicture(dc, canvas.GetSize());
    }
    const LabelRect label = LabelRectOf(12);
    const wxImage drawn = canvas.ConvertToImage();
    int fill = 0;
    for (int y = label.top + 2; y < label.bottom + 2; ++y)
        for (int x = label.left; x < label.right; ++x)
            fill += drawn.GetRed(x, y) == 0xDC && drawn.GetGreen(x, y) == 0xDC && drawn.GetBlue(x, y) == 0xDC;
    EXPECT_GT(fill, (label.right - label.left) * (label.bottom - label.top) / 2);
    EXPECT_EQ(boxes.shown().size(), 1u);
    choose(0);  // 男性: a good figure, nothing to report
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(DibPainter().state(), 11);

    // A bitmap that cannot be read (runs stored top-down) is reported the
    // same way, once.
    const IndexedPicture flat{8, 8, {10, 20, 30}, std::vector<std::uint8_t>(64, 0)};
    auto topDown = EightBitFile(flat, true);
    const unsigned char minusEight[4] = {0xF8, 0xFF, 0xFF, 0xFF};  // the height
    std::copy_n(minusEight, 4, topDown.begin() + 22);
    base.write(DataPath(kFemaleFigure).lexically_relative(base.path()), topDown);
    choose(1);
    for (int i = 0; i < 3; ++i) PictureOnScreen();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].text, kNotBitmapMessage);

    // A run-length figure (the man's, as the woman) whose stream is damaged
    // is reported once too, and the screen shows what it shows without a
    // figure: none of it is drawn.
    const CDibFile man(DataPath(kMaleFigure));
    ASSERT_TRUE(man.loaded());
    const IndexedPicture figure = ToIndexed(man);
    const auto runs = EightBitFile(figure, true);
    const fs::path woman = DataPath(kFemaleFigure).lexically_relative(base.path());
    auto shown = [&](const std::vector<unsigned char>* file) {
        if (file)
            base.write(woman, *file);
        else
            fs::remove(base / woman);
        choose(0);
        choose(1);
        wxImage screen;
        for (int i = 0; i < 3; ++i) screen = PictureOnScreen();
        return screen;
    };
    const wxImage none = shown(nullptr), whole = shown(&runs);
    ASSERT_TRUE(none.IsOk() && whole.IsOk());
    ASSERT_EQ(boxes.shown().size(), 2u);
    ASSERT_FALSE(SameImage(none, whole)) << "the whole figure does not show";
    auto cut = runs;
    cut.resize(cut.size() - 2);  // the end-of-bitmap mark is gone
    auto delta = runs;  // deltas at the stream's start that move up past the top row
    const std::size_t streamAt = 54 + figure.table.size() / 3 * 4, streamBytes = runs.size() - streamAt;
    for (int i = 0; i < 20; ++i) delta.insert(delta.begin() + static_cast<std::ptrdiff_t>(streamAt), {0, 2, 0, 255});
    for (const auto& [at, v] : {std::pair{2u, delta.size()}, std::pair{34u, streamBytes + 80}})
        for (unsigned i = 0; i < 4; ++i) delta[at + i] = static_cast<unsigned char>(v >> (8 * i));
    for (const auto* damaged : {&cut, &delta}) {
        SCOPED_TRACE(damaged == &cut ? "cut short" : "a delta out of the picture");
        const std::size_t before = boxes.shown().size();
        EXPECT_TRUE(SameImage(shown(damaged), none)) << "something of the damaged figure was drawn";
        ASSERT_EQ(boxes.shown().size(), before + 1);
        EXPECT_EQ(boxes.shown().back().text, kNotBitmapMessage);
    }
    Shot("rle8-damaged");
}

TEST_F(MeasureWindowTest, AnRle8ModelFigureDrawsLikeTheUncompressedOne) {
    // The demo's woman in 256 colours, saved plain and with 8-bit runs.
    const CDibFile demo(DataPath(kFemaleFigure));
    ASSERT_TRUE(demo.loaded());
    const IndexedPicture figure = ToIndexed(demo);
    const auto plain = EightBitFile(figure, false), runs = EightBitFile(figure, true);
    ASSERT_LT(runs.size(), plain.size() / 2);  // a figure on a plain wall packs well
    CDibFile check;
    ASSERT_EQ(check.LoadBytes(runs), DibStatus::Loaded);
    int figurePixels = 0;  // pixels not of the wall's colour (index 0, the most frequent)
    for (std::uint8_t i : figure.index) figurePixels += i != 0;
    ASSERT_GT(figurePixels, figure.width * figure.height / 10);

    platform::ui::MessageBoxRecorder boxes;
    const fs::path relative = DataPath(kFemaleFigure).lexically_relative(base.path());
    base.write(relative, plain);
    ChooseSex(1);  // 女性
    const wxImage plainShown = PictureOnScreen();
    ASSERT_TRUE(plainShown.IsOk());
    EXPECT_EQ(DibPainter().state(), 11);

    base.write(relative, runs);
    ChooseSex(0);
    ChooseSex(1);  // the figure is read again when it is chosen
    const wxImage runsShown = PictureOnScreen();
    ASSERT_TRUE(runsShown.IsOk());
    EXPECT_EQ(DibPainter().state(), 11);
    EXPECT_EQ(DibPainter().width(), figure.width);
    EXPECT_EQ(DibPainter().height(), figure.height);
    EXPECT_TRUE(boxes.shown().empty());
    Shot("rle8-model");

    // On the screen, outside the labels, the figure's own colours, pixel for
    // pixel; and everything as the uncompressed figure showed it.
    ASSERT_GE(runsShown.GetWidth(), figure.width);
    ASSERT_GE(runsShown.GetHeight(), figure.height);
    auto onLabel = [&](int x, int y) {
        for (int i = 0; i < kLabelCount; ++i) {
            const LabelRect r = LabelRectOf(i);
            if (form->labels().mark(i) != 'X' && x >= r.left - 1 && x <= r.right && y >= r.top + 1 && y <= r.bottom + 2)
                return true;
        }
        return false;
    };
    int checked = 0, wrong = 0;
    for (int y = 0; y < figure.height; ++y)
        for (int x = 0; x < figure.width; ++x) {
            if (onLabel(x, y)) continue;
            const std::uint8_t* want = figure.table.data() + figure.index[static_cast<std::size_t>(y) * figure.width + x] * 3;
            ++checked;
            wrong += runsShown.GetRed(x, y) != want[0] || runsShown.GetGreen(x, y) != want[1] ||
                     runsShown.GetBlue(x, y) != want[2];
        }
    EXPECT_GT(checked, figure.width * figure.height / 2);
    EXPECT_EQ(wrong, 0);
    ASSERT_EQ(runsShown.GetSize(), plainShown.GetSize());
    EXPECT_TRUE(std::equal(runsShown.GetData(), runsShown.GetData() + runsShown.GetWidth() * runsShown.GetHeight() * 3,
                           plainShown.GetData()));
}

TEST_F(MeasureWindowTest, DownloadReplacesTheChartAndRefusesBrokenOnes) {
    testsupport::TempDir site;
    // The served chart: the demo chart with one more row.
    CSizeDatabase served;
    served.CopyTrimmedName(base.path());
    served.LoadSizes();
    const int rows = served.GetSizeCount();
    ASSERT_EQ(served.SetSizeField(rows, 8, "胸围:120"), 1);
    const std::string name = platform::Utf8ToGbkLossy(kSizeTableName);
    const auto bytes = served.SizeFileBytes();
    site.write(fs::path("kzvweb_clothda") / name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    site.write(fs::path("bad") / "kzvweb_clothda" / name, std::string("<html>moved</html>"));
    testsupport::HttpTestServer server(site.path());
    ASSERT_TRUE(server.running());

    Download(server.url("/files/bad"));
    EXPECT_EQ(form->statusText(), wxString::FromUTF8(kTextNotAChart));
    EXPECT_EQ(form->grid()->shownRows(), rows);

    Download(server.url("/files"));
    EXPECT_EQ(form->statusText(), wxString::FromUTF8(kTextDone));
    EXPECT_EQ(form->grid()->shownRows(), rows + 1);
    EXPECT_EQ(SizeDatabase().GetSizeField(rows, 8), "胸围:120");
}

// "下载更新尺码库" pressed three times during one download of 2.4 s (six
// blocks, one every 400 ms): one request reaches the server, the button is
// disabled and shows so from the first press until the report, the status
// line follows the blocks, and the chart stays until the new one is read.
TEST_F(MeasureWindowTest, TheDownloadButtonStaysDisabledUntilTheDownloadReports) {
    testsupport::TempDir site;
    auto chart = testsupport::ReadAll(DataPath(kSizeFileName));
    const std::size_t length = 6 * kSizeTableBlock;
    ASSERT_LT(chart.size(), length);
    chart.resize(length, 0);  // what follows the pool is not the chart's
    site.write(fs::path("kzvweb_clothda") / platform::Utf8ToGbkLossy(kSizeTableName), chart);
    testsupport::HttpTestServer server(site.path());
    ASSERT_TRUE(server.running());
    auto requests = [&] {
        platform::CHttpFetcher fetcher;
        std::string text;
        return fetcher.FetchText(server.url("/requests"), &text, "test", nullptr) == 1 ? std::stoi(text) : -1;
    };
    ASSERT_EQ(requests(), 0);

    CSizeChartGrid* grid = form->grid();
    const int rows = grid->shownRows();
    wxWindow* button = form->FindWindow(kIdDownload);
    auto shown = [&] { return testsupport::GrabScreenArea(button->GetScreenRect()); };
    testsupport::XPointTo(button);
    testsupport::DeliverEvents(300);
    const wxImage enabled = shown();  // under the pointer, as during the presses
    form->SetDownloadHost(server.url("/paced/400"));
    std::vector<std::string> seen;
    auto watch = [&](int ms) {
        const wxLongLong end = wxGetLocalTimeMillis() + ms;
        auto look = [&] {
            const std::string now = form->statusText().utf8_string();
            if (seen.empty() || seen.back() != now) seen.push_back(now);
        };
        do {
            look();
            testsupport::DeliverEvents(10);
        } while (wxGetLocalTimeMillis() < end && form->downloading());
        look();
    };
    testsupport::ClickOn(button);
    for (int press = 2; press <= 3; ++press) {
        SCOPED_TRACE(press);
        watch(700);
        ASSERT_TRUE(form->downloading());
        EXPECT_FALSE(button->IsEnabled());
        EXPECT_FALSE(grid->IsEnabled());
        EXPECT_FALSE(gridscreen::SamePixels(shown(), enabled)) << "the button looks enabled";
        testsupport::ClickOn(button);
    }
    // Grabbed now, written once the download is over: a save takes longer
    // than a block and would hide its text from the watch.
    const wxImage downloading = testsupport::GrabScreenArea(top->GetScreenRect());
    watch(10000);
    EXPECT_TRUE(downloading.IsOk() && downloading.SaveFile(wxString::FromUTF8(testsupport::Screen("measure-downloading.png")),
                                                           wxBITMAP_TYPE_PNG));
    ASSERT_FALSE(form->downloading());
    EXPECT_EQ(requests(), 1);

    // Each block's text stands until the next block comes; the last one's
    // is replaced by the report at once (a look may catch it or not).
    const std::string last = ProgressText(length, static_cast<std::int64_t>(length));
    std::erase(seen, last);
    std::vector<std::string> expected = {kTextConnecting};
    for (std::size_t got = kSizeTableBlock; got < length; got += kSizeTableBlock)
        expected.push_back(ProgressText(got, static_cast<std::int64_t>(length)));
    expected.push_back(kTextDone);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(testsupport::ReadAll(DataPath(kSizeFileName)), chart);
    EXPECT_EQ(grid->shownRows(), rows);
    EXPECT_TRUE(button->IsEnabled());
    EXPECT_TRUE(grid->IsEnabled());
    // The enabled look comes back once the X server has the repaint.
    testsupport::DeliverUntil([&] { return gridscreen::SamePixels(shown(), enabled); }, 3000);
    EXPECT_TRUE(gridscreen::SamePixels(shown(), enabled));
    EXPECT_EQ(requests(), 1);
}

// The program's window closed while a download waits for its next block:
// the download is cancelled and waited for, and the chart stays as it was.
TEST_F(MeasureWindowTest, ClosingTheWindowCancelsADownload) {
    testsupport::TempDir site;
    auto served = testsupport::ReadAll(DataPath(kSizeFileName));
    const auto before = served;
    served.resize(3 * kSizeTableBlock, 0);
    site.write(fs::path("kzvweb_clothda") / platform::Utf8ToGbkLossy(kSizeTableName), served);
    testsupport::HttpTestServer server(site.path());
    ASSERT_TRUE(server.running());
    form->SetDownloadHost(server.url("/paced/5000"));
    testsupport::ClickOn(form->FindWindow(kIdDownload));
    ASSERT_TRUE(form->downloading());
    const wxLongLong start = wxGetLocalTimeMillis();
    platform::ui::MessageBoxRecorder boxes;
    top->Close(true);
    top = nullptr;  // destroyed by its close
    form = nullptr;
    testsupport::PumpEvents(200);
    EXPECT_LT((wxGetLocalTimeMillis() - start).ToLong(), 4000);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(testsupport::ReadAll(DataPath(kSizeFileName)), before);
}

// Every text the status line can show stands on one line in its place:
// it fits the line's width and height in the font it is shown in, no other
// control covers the line, and what the X server shows of it is one row of
// characters. The texts come the way the user meets them, through the
// form's buttons, where a test server can give them; the widest ones come
// with the largest chart the format holds (200 rows, all of them fitting).
TEST_F(MeasureWindowTest, EveryStatusTextStandsOnOneLineInItsPlace) {
    auto* status = dynamic_cast<wxStaticText*>(form->FindWindow(kIdStatus));
    auto* editMode = dynamic_cast<wxCheckBox*>(form->FindWindow(kIdEditMode));
    ASSERT_NE(status, nullptr);
    ASSERT_NE(editMode, nullptr);
    const wxRect place = status->GetRect();
    const wxFont formFont = form->GetFont();

    // 200 women's rows that fit 王丽, padded to the longest download taken.
    CSizeDatabase big;  // no folder: nothing of it is saved
    for (int r = 0; r < kMaxSizeRows; ++r) {
        ASSERT_EQ(big.SetSizeField(r, 8, "身高:150-170"), 1);
        ASSERT_EQ(big.ToggleSizeFlag(r, kCharSex), 'W');
    }
    auto bigBytes = big.SizeFileBytes();
    const std::size_t longest = kSizeHeaderBytes + kMaxSizeRows * kSizeRecordBytes + kMaxSlots * kSlotBytes + kPoolBytes;
    ASSERT_LT(bigBytes.size(), longest);
    bigBytes.resize(longest, 0);
    const std::int64_t bigLength = static_cast<std::int64_t>(bigBytes.size());
    // The last whole block before the end, shown until the rest arrives.
    const std::uint64_t lastBlock = (bigBytes.size() - 1) / kSizeTableBlock * kSizeTableBlock;

    testsupport::TempDir site;
    const std::string name = platform::Utf8ToGbkLossy(kSizeTableName);
    site.write(fs::path("bad") / "kzvweb_clothda" / name, std::string("<html>moved</html>"));
    const auto chart = testsupport::ReadAll(DataPath(kSizeFileName));
    site.write(fs::path("kzvweb_clothda") / name, chart);
    site.write(fs::path("big") / "kzvweb_clothda" / name, std::vector<unsigned char>(bigBytes.begin(), bigBytes.end()));
    testsupport::HttpTestServer server(site.path());
    ASSERT_TRUE(server.running());
    auto download = [&](const std::string& host) { Download(host); };
    // A download started and watched until the status line shows `text`.
    auto downloadUntil = [&](const std::string& host, const std::string& text) {
        form->SetDownloadHost(host);
        testsupport::ClickOn(form->FindWindow(kIdDownload));
        EXPECT_TRUE(WaitForStatus(wxString::FromUTF8(text)));
    };
    const fs::path chartFile = DataPath(kSizeFileName);
    struct Case {
        std::string text;
        std::function<void()> show;
    } cases[] = {
        {kTextNotAChart, [&] { download(server.url("/files/bad")); }},
        {kTextRequestFailed, [&] { download(server.url("/missing")); }},
        {kTextReadFailed, [&] { download(server.url("/short")); }},
        {kTextNoServer, [&] { download("http://127.0.0.1:1"); }},
        {kTextWriteFailed,
         [&] {
             fs::rename(chartFile, chartFile.string() + ".away");
             fs::create_directory(chartFile);
             download(server.url("/files"));
             fs::remove(chartFile);
             fs::rename(chartFile.string() + ".away", chartFile);
         }},
        {kTextDone, [&] { download(server.url("/files")); }},
        {kTextConnecting, [&] { downloadUntil(server.url("/paced/1500"), kTextConnecting); }},
        {ProgressText(lastBlock, bigLength),
         [&] { downloadUntil(server.url("/paced/700/big"), ProgressText(lastBlock, bigLength)); }},
        {ProgressText(lastBlock, -1),
         [&] { downloadUntil(server.url("/paced-nolength/700/big"), ProgressText(lastBlock, -1)); }},
        {"没有合适的尺码!!",
         [&] {
             ChoosePerson(1);  // 张强: not one woman's row fits
             testsupport::ClickOn(form->matchButton());
         }},
        {"有 200 个合适的尺码.",
         [&] {
             ChoosePerson(0);  // 王丽
             testsupport::ClickOn(form->matchButton());
         }},
        // Not to be had from a test: the network library failing to start,
        // and the last block's text, which the report replaces at once.
        {kTextNoSession, nullptr},
        {ProgressText(bigBytes.size(), bigLength), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const wxString text = wxString::FromUTF8(c.text);
        if (c.show)
            c.show();
        else
            form->SetStatus(text);
        testsupport::PumpEvents(150);
        ASSERT_EQ(form->statusText(), text);
        EXPECT_EQ(status->GetRect(), place);
        // It fits the line in the font it is shown in, a font no larger than the form's.
        const wxFont font = status->GetFont();
        EXPECT_LE(font.GetFractionalPointSize(), formFont.GetFractionalPointSize());
        int width = 0, height = 0;
        status->GetTextExtent(text, &width, &height, nullptr, nullptr, &font);
        EXPECT_LE(width, place.width);
        EXPECT_LE(height, place.height);
        // No other control of the form lies over the line.
        for (wxWindow* other : form->GetChildren()) {
            if (other != status && other->IsShown()) {
                EXPECT_FALSE(other->GetRect().Intersects(place)) << other->GetLabel().utf8_string();
            }
        }
        // On the screen: the characters (the line's dark red) stand in one
        // band no taller than one line, and reach no lower than the line.
        const wxImage shown = testsupport::GrabScreenArea(status->GetScreenRect());
        ASSERT_TRUE(shown.IsOk());
        int top = -1, bottom = -1, inked = 0;
        for (int y = 0; y < shown.GetHeight(); ++y)
            for (int x = 0; x < shown.GetWidth(); ++x) {
                const int r = shown.GetRed(x, y), g = shown.GetGreen(x, y), b = shown.GetBlue(x, y);
                if (r < g + 60 || r < b + 60) continue;
                ++inked;
                if (top < 0) top = y;
                bottom = y;
            }
        EXPECT_GT(inked, 20);
        EXPECT_LE(bottom - top + 1, height);
        if (c.text == kTextNotAChart) Shot("status-line");
        // A download watched part way runs to its end before the next case.
        EXPECT_TRUE(testsupport::PumpUntil([&] { return !form->downloading(); }));
    }
    EXPECT_EQ(form->grid()->shownRows(), kMaxSizeRows);
}

TEST_F(MeasureWindowTest, TheValueEditorOpensAtItsLabelAndEscapeOrTheCloseBoxCancel) {
    form->SelectPerson(0);
    testsupport::PumpEvents(300);
    const int label = 12;  // 腰围
    const std::int32_t before = form->labels().value(label);
    const LabelRect r = LabelRectOf(label);
    const wxPoint labelOnScreen = form->pictureArea()->ClientToScreen(wxPoint(r.left, r.top + 2));
    auto clickLabel = [&] { testsupport::ClickAt(form->pictureArea(), LabelCentre(label)); };
    auto find = [] { return testsupport::FindShownDialog<DlgValueEdit>(); };

    wxPoint seenAt(-1, -1);
    {
        testsupport::ModalDialogDriver driver(find, [&](wxDialog* dlg) {
            seenAt = dlg->GetScreenPosition();
            static_cast<DlgValueEdit*>(dlg)->valueEdit()->SetFocus();
            wxUIActionSimulator sim;
            sim.Text("99");  // typed, then thrown away
            sim.Char(WXK_ESCAPE);
        });
        clickLabel();
        driver.WaitUntilClosed();
        ASSERT_TRUE(driver.acted());
        EXPECT_FALSE(driver.timedOut());
    }
    EXPECT_EQ(find(), nullptr);
    EXPECT_EQ(form->labels().value(label), before);
    EXPECT_EQ(form->labels().mark(label), ' ');
    EXPECT_FALSE(form->saveButton()->IsEnabled());
    EXPECT_NEAR(seenAt.x, labelOnScreen.x, 2);
    EXPECT_NEAR(seenAt.y, labelOnScreen.y, 2);

    bool offered = false, pressed = false;
    {
        testsupport::ModalDialogDriver driver(find, [&](wxDialog* dlg) {
            offered = testsupport::OffersCloseBox(dlg);
            pressed = testsupport::PressCloseBox(dlg);
        });
        clickLabel();
        driver.WaitUntilClosed();
        EXPECT_FALSE(driver.timedOut());
    }
    EXPECT_TRUE(offered);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(find(), nullptr);
    EXPECT_EQ(form->labels().mark(label), ' ');
}

}  // namespace
