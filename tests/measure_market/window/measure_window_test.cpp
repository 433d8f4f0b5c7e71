// The measurement window on the demo data: a customer's body on the model,
// a label edited and saved, the sizes that fit marked in the chart, a size
// picture, the 3-D view, a typed chart cell kept when the window closes, and
// the size-table download. Screens go to screens/measure-*.png.
#include <filesystem>
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/frame.h>

#include "controls/control_bar.h"
#include "measure_market/dib_painter.h"
#include "measure_market/measure_data.h"
#include "measure_market/measure_form.h"
#include "measure_market/opengl_view.h"
#include "measure_market/size_chart_grid.h"
#include "measure_market/size_database.h"
#include "measure_market/size_download.h"
#include "measure_market/space_child_frame.h"
#include "platform/text.h"
#include "platform/ui/mdi.h"
#include "platform/ui/message_box.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;
using namespace measure;

namespace {

class MeasureWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path demo = testsupport::DemoBase() / std::string(kDataFolder);
        ASSERT_TRUE(testsupport::FixtureExists(demo / std::string(kSizeFileName)));
        fs::create_directories(DataFolder(base.path()));
        fs::copy(demo, DataFolder(base.path()), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        SizeDatabase().Reset();
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
    void TearDown() override {
        if (top) top->Destroy();
        testsupport::PumpEvents(100);
        SizeDatabase().Reset();
    }
    void Shot(const std::string& name) {
        testsupport::PumpEvents(300);
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(top, testsupport::Screen("measure-") + name + ".png"));
    }
    // The centre of a label in the picture area.
    wxPoint LabelCentre(int i) {
        const LabelRect r = LabelRectOf(i);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2 + 2};
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

    form->SelectPerson(0);
    const int n = form->MatchSizes();
    EXPECT_GT(n, 0);
    EXPECT_EQ(form->statusText(), wxString::Format(wxString::FromUTF8("有 %d 个合适的尺码."), n));
    EXPECT_EQ(form->grid()->shownRows(), n);
    for (int r = 0; r < n; ++r) {
        EXPECT_EQ(SizeDatabase().GetSizeChar(r, kCharMark), 'Y');
        EXPECT_NE(SizeDatabase().GetSizeChar(r, kCharSex), 'M');  // a woman's rows only
    }
    Shot("match");

    form->ShowAllSizes();
    EXPECT_GT(form->grid()->shownRows(), n);
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

    form->SetDownloadHost(server.url("/files/bad"));
    EXPECT_FALSE(form->DownloadSizes());
    EXPECT_EQ(form->statusText(), wxString::FromUTF8(kTextNotAChart));
    EXPECT_EQ(form->grid()->shownRows(), rows);

    form->SetDownloadHost(server.url("/files"));
    EXPECT_TRUE(form->DownloadSizes());
    EXPECT_EQ(form->statusText(), wxString::FromUTF8(kTextDone));
    EXPECT_EQ(form->grid()->shownRows(), rows + 1);
    EXPECT_EQ(SizeDatabase().GetSizeField(rows, 8), "胸围:120");
}

}  // namespace
