// The photo-edit dialog's tool tips as a user meets them: the pointer moved
// onto tools through the X server, and the tip the X server then maps with
// the tool's own text, below an upper-row tool, above a lower-row one, and
// for the grab tool's corner box, each gone again after its ticks.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "image_editor/photo_edit_commands.h"
#include "image_editor/photo_edit_dlg.h"
#include "tests/controls/tip_on_screen.h"
#include "tests/image_editor/window/editor_reset.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;
using namespace image_editor;

namespace {

TEST(PhotoEditTips, EachToolShowsItsOwnTipWhereItsRowPutsIt) {
    ASSERT_TRUE(testsupport::FixtureExists(testsupport::DemoBase() / "ephoto_syspic"));
    testsupport::TempDir tmp;
    fs::copy(testsupport::DemoBase(), tmp.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    testsupport::ScopedCwd cwd(tmp.path());
    PhotoEditHooks() = {};
    editortest::ResetEditor(tmp.path());
    auto* dlg = new CPhotoEditDlg(nullptr, tmp.path());
    dlg->Show();
    testsupport::WaitUntilPlaced(dlg);
    testsupport::GiveKeyboardTo(dlg);
    wxPopupWindow* tip = tiptest::TipWindowOf(dlg);
    ASSERT_NE(tip, nullptr);
    auto toolOf = [&](int code) -> const ToolButton& {
        for (const ToolButton& t : dlg->controller().tools())
            if (t.code == code) return t;
        throw std::runtime_error("no such tool");
    };

    struct Case {
        int code;
        bool corner;  // the grab tool's corner box
        const char* text;
    };
    const Case cases[] = {{tool::kBackground, false, "选择背景图"},
                          {3007, false, "画箭头线"},
                          {tool::kGrabToClipboard, true, "选择图片抓取窗口"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ToolButton& t = toolOf(c.code);
        const Rect box = c.corner ? GrabCornerBox(t) : t.rect;
        testsupport::XPointTo(dlg, wxPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
        const int y = t.row == 'U' ? t.rect.bottom + 26 : t.rect.top + 10;
        EXPECT_TRUE(tiptest::XShowsTip(tip, c.text, tiptest::ExpectedScreenRect(dlg, t.rect.right - 16, y, c.text)));
        EXPECT_TRUE(tiptest::XHidesTip(tip));
    }
    // Out of the dialog and back onto the tool it was last over: its tip
    // shows again.
    const ToolButton& back = toolOf(tool::kBackground);
    const wxPoint onBack((back.rect.left + back.rect.right) / 2, (back.rect.top + back.rect.bottom) / 2);
    testsupport::XPointTo(dlg, onBack);
    testsupport::XPointTo(dlg, wxPoint(dlg->GetSize().x + 40, dlg->GetSize().y / 2));
    testsupport::PumpEvents(100);
    testsupport::XPointTo(dlg, onBack);
    EXPECT_TRUE(tiptest::XShowsTip(tip, "选择背景图",
                                   tiptest::ExpectedScreenRect(dlg, back.rect.right - 16, back.rect.bottom + 26, "选择背景图")))
        << "no tip on coming back to the same tool";
    dlg->Destroy();
    testsupport::PumpEvents(100);
    PhotoEditHooks() = {};
}

}  // namespace
