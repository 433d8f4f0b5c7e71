// Real message boxes through the X server: each kind shows its icon beside
// its text, its caption as the title and its buttons in the desktop's order,
// and answers the button pressed, Enter (the default button) and Escape as
// before; it takes the keyboard itself and gives it back, and a long text
// stays inside it. Screens: screens/message-box-<kind>.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/ui/message_box.h"
#include "platform/ui/message_box_dialog.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/support/x_window_state.h"

namespace {

using namespace platform;
using namespace platform::ui;

// Width as a fixed-pitch font measures it: a Chinese character is two
// columns, anything else one.
int Columns(std::string_view s) {
    int n = 0;
    for (unsigned char c : s)
        if (c < 0x80)
            n += 1;
        else if (c >= 0xE0)
            n += 2;
    return n;
}

TEST(MessageBoxText, LongLinesBreakAtSpacesOrBetweenChineseCharacters) {
    struct Case {
        const char* text;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"abc def ghi", 7, {"abc def", "ghi"}},
        {"abc def ghi", 100, {"abc def ghi"}},
        // A Latin mark may end a line; a Chinese character starts the next.
        {"还没有选择同类服装项目!不能添加或替换。", 12, {"还没有选择同", "类服装项目!", "不能添加或替", "换。"}},
        // A word longer than a line is cut where it no longer fits.
        {"路径 /home/user/very/long", 10, {"路径", "/home/user", "/very/long"}},
        {"上传失败!< /tmp/春装.rar >", 14, {"上传失败!<", "/tmp/春装.rar", ">"}},
        // The text's own line breaks stay, empty lines too.
        {"第一行\n\nline two", 20, {"第一行", "", "line two"}},
        {"", 10, {""}},
        // Spaces at a cut go; others stay.
        {"  ab   cd", 5, {"  ab", "cd"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(WrapMessageText(c.text, c.width, Columns), c.lines);
    }
}

// What the X server shows over the box's icon, against the icon drawn over
// the box's background: the pixels that differ, and those of the icon's ink
// (clearly not background) that are on the screen.
struct IconOnScreen {
    int differing = -1;
    int ink = 0;
};

IconOnScreen CompareIcon(MessageBoxDialog* box, MbIcon kind) {
    IconOnScreen seen;
    if (!box->icon()) return seen;
    const wxRect r = box->icon()->GetScreenRect();
    const wxImage shot = testsupport::GrabScreenArea(r);
    wxImage icon = MessageBoxIcon(kind).ConvertToImage();
    if (!shot.IsOk() || !icon.IsOk() || !icon.HasAlpha()) return seen;
    const int dx = (r.width - icon.GetWidth()) / 2, dy = (r.height - icon.GetHeight()) / 2;
    // A corner of the control lies outside every icon's shape.
    const int bg[3] = {shot.GetRed(0, 0), shot.GetGreen(0, 0), shot.GetBlue(0, 0)};
    seen.differing = 0;
    for (int y = 0; y < icon.GetHeight(); ++y)
        for (int x = 0; x < icon.GetWidth(); ++x) {
            const int sx = x + dx, sy = y + dy;
            if (sx < 0 || sy < 0 || sx >= shot.GetWidth() || sy >= shot.GetHeight()) {
                ++seen.differing;
                continue;
            }
            const double a = icon.GetAlpha(x, y) / 255.0;
            const int want[3] = {static_cast<int>(icon.GetRed(x, y) * a + bg[0] * (1 - a) + 0.5),
                                 static_cast<int>(icon.GetGreen(x, y) * a + bg[1] * (1 - a) + 0.5),
                                 static_cast<int>(icon.GetBlue(x, y) * a + bg[2] * (1 - a) + 0.5)};
            const int got[3] = {shot.GetRed(sx, sy), shot.GetGreen(sx, sy), shot.GetBlue(sx, sy)};
            int diff = 0, fromBg = 0;
            for (int k = 0; k < 3; ++k) {
                diff = std::max(diff, std::abs(want[k] - got[k]));
                fromBg = std::max(fromBg, std::abs(want[k] - bg[k]));
            }
            if (diff > 24) ++seen.differing;
            if (fromBg > 80 && diff <= 24) ++seen.ink;
        }
    return seen;
}

// The buttons' labels from left to right.
std::vector<std::string> ButtonRow(MessageBoxDialog* box) {
    std::vector<wxButton*> buttons;
    for (wxWindow* w : box->GetChildren())
        if (auto* b = dynamic_cast<wxButton*>(w)) buttons.push_back(b);
    std::sort(buttons.begin(), buttons.end(),
              [](wxButton* a, wxButton* b) { return a->GetScreenPosition().x < b->GetScreenPosition().x; });
    std::vector<std::string> labels;
    for (wxButton* b : buttons) labels.push_back(b->GetLabelText().utf8_string());
    return labels;
}

enum class Input { Enter, Escape, Click, CloseBox };

TEST(MessageBoxes, EachKindShowsItsIconAndAnswersTheKeysAndButtons) {
    struct Case {
        const char* name;  // of the screenshot; empty: none
        MessageRequest request;
        std::vector<std::string> row;  // the buttons from the left
        Input input;
        int clicked;  // the button clicked, for Input::Click
        MbResult answer;
    };
    const Case cases[] = {
        {"exclamation", {"还没有选择同类服装项目!不能添加或替换。", "特别提示", MbButtons::Ok, MbIcon::Exclamation},
         {"确定"}, Input::Enter, 0, MbResult::Ok},
        {"question", {"真要删除当前图片吗?请确认!", "特别提示", MbButtons::YesNo, MbIcon::Question},
         {"否(N)", "是(Y)"}, Input::Enter, 0, MbResult::Yes},
        {"", {"真要删除当前图片吗?请确认!", "特别提示", MbButtons::YesNo, MbIcon::Question}, {}, Input::Escape, 0,
         MbResult::Cancel},
        {"", {"真要删除当前图片吗?请确认!", "特别提示", MbButtons::YesNo, MbIcon::Question}, {}, Input::Click, wxID_NO,
         MbResult::No},
        {"information", {"下载成功！", "", MbButtons::OkCancel, MbIcon::Information}, {"取消", "确定"}, Input::Escape, 0,
         MbResult::Cancel},
        {"stop",
         {"上传失败! 上传失败!< /home/shop/服饰搭配上传数据专区/一个名字很长的试衣项目包裹文件.rar >", "Tranzel",
          MbButtons::YesNoCancel, MbIcon::Stop},
         {"否(N)", "取消", "是(Y)"}, Input::Click, wxID_CANCEL, MbResult::Cancel},
        {"", {"下载失败！", "", MbButtons::RetryCancel, MbIcon::None}, {"取消", "重试(R)"}, Input::Enter, 0,
         MbResult::Retry},
        {"", {"下载失败！", "", MbButtons::RetryCancel, MbIcon::None}, {}, Input::CloseBox, 0, MbResult::Cancel},
    };
    SetDefaultCaption("Fittora");
    auto* frame = new wxFrame(nullptr, wxID_ANY, "main", wxPoint(100, 100), wxSize(900, 600));
    // The box is opened from a control at the window's corner: it shows over
    // the middle of the window.
    auto* control = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), wxSize(120, 40));
    frame->Show();
    testsupport::PumpEvents(200);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.text + " / " + std::to_string(static_cast<int>(c.input)));
        std::string title, focused;
        std::vector<std::string> row;
        wxPoint middle;
        IconOnScreen icon;
        bool hasIcon = false, shot = false, boxHasKeyboard = false;
        auto find = [] { return testsupport::FindShownDialog<MessageBoxDialog>(); };
        testsupport::ModalDialogDriver driver(find, [&](wxDialog* dlg) {
            auto* box = static_cast<MessageBoxDialog*>(dlg);
            // The box has taken the keyboard itself: the pointer is away
            // from it, over the opener.
            boxHasKeyboard = testsupport::XFocusIsIn(box);
            title = box->GetTitle().utf8_string();
            const wxRect r = box->GetScreenRect();
            middle = r.GetPosition() + wxSize(r.width / 2, r.height / 2);
            row = ButtonRow(box);
            if (wxWindow* f = wxWindow::FindFocus(); f && dynamic_cast<wxButton*>(f))
                focused = static_cast<wxButton*>(f)->GetLabel().utf8_string();
            hasIcon = box->icon() != nullptr;
            icon = CompareIcon(box, c.request.icon);
            // Read straight from the X server: a safe yield would take the
            // keyboard away from the box.
            if (*c.name) {
                const std::string file = testsupport::Screen(std::string("message-box-") + c.name + ".png");
                shot = testsupport::GrabScreenArea(box->GetScreenRect()).SaveFile(file, wxBITMAP_TYPE_PNG);
            }
            switch (c.input) {
                case Input::Enter: testsupport::XKey(WXK_RETURN); break;
                case Input::Escape: testsupport::XKey(WXK_ESCAPE); break;
                case Input::Click:
                    testsupport::XPointTo(box->button(c.clicked));
                    testsupport::XLeftClick();
                    break;
                case Input::CloseBox: testsupport::PressCloseBox(box); break;
            }
        });
        MbResult answer = MbResult::Ok;
        testsupport::XPointTo(control);
        frame->CallAfter([&] { answer = ShowMessage(c.request, control); });
        driver.WaitUntilClosed();
        ASSERT_TRUE(driver.acted());
        EXPECT_FALSE(driver.timedOut());
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(title, c.request.caption.empty() ? "Fittora" : c.request.caption);
        const wxRect f = frame->GetScreenRect();
        EXPECT_NEAR(middle.x, f.x + f.width / 2, 2);
        EXPECT_NEAR(middle.y, f.y + f.height / 2, 2);
        if (!c.row.empty()) {
            EXPECT_EQ(row, c.row);
        }
        EXPECT_TRUE(boxHasKeyboard) << "the box did not take the keyboard";
        EXPECT_EQ(focused, MessageBoxButtons(c.request.buttons).front().label) << "the default button has the keyboard";
        EXPECT_EQ(hasIcon, c.request.icon != MbIcon::None);
        if (hasIcon) {
            EXPECT_EQ(icon.differing, 0) << "the icon is not what the X server shows";
            EXPECT_GT(icon.ink, 600) << "too little of the icon on the screen";
        }
        if (*c.name) {
            EXPECT_TRUE(shot);
        }
    }
    frame->Destroy();
    testsupport::PumpEvents(50);
}

// The label of the button that has the toolkit's keyboard focus, if any.
std::string FocusedButton() {
    if (auto* b = dynamic_cast<wxButton*>(wxWindow::FindFocus())) return b->GetLabelText().utf8_string();
    return {};
}

// The box takes the keyboard when it shows, as the desktop's boxes do, with
// nothing in the test handing it over: the pointer stays over the opener,
// so keys would go there if the box did not take them. Tab walks the
// buttons, Enter presses the one that has the keyboard, and the keyboard is
// back in the control that opened the box once it is gone.
TEST(MessageBoxes, TakeTheKeyboardWalkItWithTabAndGiveItBack) {
    SetDefaultCaption("Fittora");
    auto* frame = new wxFrame(nullptr, wxID_ANY, "main", wxPoint(100, 100), wxSize(900, 600));
    auto* opener = new wxTextCtrl(frame, wxID_ANY, "", wxPoint(0, 0), wxSize(160, 30));
    new wxTextCtrl(frame, wxID_ANY, "", wxPoint(0, 60), wxSize(160, 30));
    frame->Show();
    testsupport::WaitUntilPlaced(frame);
    testsupport::GiveKeyboardTo(frame);
    opener->SetFocus();
    testsupport::XPointTo(opener);
    ASSERT_TRUE(testsupport::DeliverUntil(
        [&] { return testsupport::XFocusIsIn(frame) && wxWindow::FindFocus() == opener; }, 3000));

    MessageBoxDialog* box = nullptr;
    bool boxHasKeyboard = false;
    std::vector<std::string> walked;  // the focused button, then after each Tab
    int ticks = 0;
    testsupport::XInputScript script(50, 10000);
    auto tab = [&] {
        walked.push_back(FocusedButton());
        testsupport::XKey(WXK_TAB);
    };
    auto moved = [&] { return FocusedButton() != walked.back(); };
    script
        .Then([&] {
            box = testsupport::FindShownDialog<MessageBoxDialog>();
            return box && ++ticks >= 6;
        })
        .Do([&] {
            boxHasKeyboard = testsupport::XFocusIsIn(box);
            tab();
        })
        .Then(moved)
        .Do(tab)
        .Then(moved)
        .Do(tab)
        .Then(moved)
        .Do(tab)
        .Then(moved)
        .Do(tab)
        .Then(moved)
        .Do([&] {
            walked.push_back(FocusedButton());
            testsupport::XKey(WXK_RETURN);  // on the second button of the walk
        })
        .Then([] { return !testsupport::FindShownDialog<MessageBoxDialog>(); });
    script.onTimeout = [] {
        if (auto* b = testsupport::FindShownDialog<MessageBoxDialog>()) b->EndModal(wxID_CANCEL);
    };
    MbResult answer = MbResult::Ok;
    bool closed = false;
    frame->CallAfter([&] {
        answer = ShowMessage("真要删除当前图片吗?请确认!", MbButtons::YesNoCancel, MbIcon::Question, {}, opener);
        closed = true;
    });
    script.Start();
    ASSERT_TRUE(testsupport::DeliverUntil([&] { return closed; }, 12000));
    EXPECT_FALSE(script.timedOut()) << "stuck after " << walked.size() << " keys";
    EXPECT_TRUE(boxHasKeyboard) << "the box did not take the keyboard when it showed";
    // Tab goes through the three buttons, back to the first, and on.
    const std::vector<std::string> want = {"是(Y)", "否(N)", "取消", "是(Y)", "否(N)", "取消"};
    EXPECT_EQ(walked, want);
    EXPECT_EQ(answer, MbResult::Cancel) << "Enter pressed another button than the one with the keyboard";
    EXPECT_TRUE(testsupport::DeliverUntil(
        [&] { return testsupport::XFocusIsIn(frame) && wxWindow::FindFocus() == opener; }, 3000))
        << "the keyboard is not back in the opener";
    // Typed keys reach it.
    testsupport::XType("ok");
    EXPECT_TRUE(testsupport::DeliverUntil([&] { return opener->GetValue() == "ok"; }, 2000))
        << opener->GetValue().utf8_string();
    frame->Destroy();
    testsupport::PumpEvents(50);
}

// The text's ink on the screen, as the X server shows the box: the bounds of
// the dark pixels within `area` (in the box's window coordinates) outside
// the icon and the buttons; empty when there are none.
wxRect TextInk(MessageBoxDialog* box, const wxImage& shot, const wxRect& area) {
    const wxPoint origin = box->GetScreenPosition();
    std::vector<wxRect> skip;
    for (wxWindow* w : box->GetChildren())
        if (w != box->label() && w != box->pane()) skip.push_back(wxRect(w->GetScreenPosition() - origin, w->GetSize()));
    const wxRect look = area.Intersect(wxRect(0, 0, shot.GetWidth(), shot.GetHeight()));
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = look.y; y < look.GetBottom() + 1; ++y)
        for (int x = look.x; x < look.GetRight() + 1; ++x) {
            if (shot.GetRed(x, y) + shot.GetGreen(x, y) + shot.GetBlue(x, y) > 3 * 110) continue;
            if (std::any_of(skip.begin(), skip.end(), [&](const wxRect& r) { return r.Contains(x, y); })) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    return right < 0 ? wxRect() : wxRect(wxPoint(left, top), wxPoint(right, bottom));
}

// A long text, a path without spaces in it among Chinese words, is wholly
// inside the box: the ink the X server shows for it is as wide and as tall
// as the wrapped lines measure in the box's font, and clear of the box's
// edges and its buttons. A text taller than the screen allows scrolls in a
// pane inside the box, which Tab reaches and End takes to the last line.
TEST(MessageBoxes, LongTextIsWhollyInsideTheBox) {
    const std::string path = "/home/shop/服饰搭配上传数据专区/" + std::string(180, 'x') + "/一个名字很长的试衣项目包裹文件.rar";
    std::string many = "这些没有导入:";
    for (int i = 0; i < 70; ++i) many += "\n  图片" + std::to_string(i) + ".png: 无法读取";
    struct Case {
        std::string text;
        bool scrolls;
    };
    const Case cases[] = {
        {"上传失败! 上传失败!< " + path + " >", false},
        {"项目文件保存失败: 无法写入 KZV网页项目文件/春装新款.dm3: 没有写入权限\n\n" + path + "\n" + path, false},
        {many, true},
    };
    SetDefaultCaption("Fittora");
    auto* frame = new wxFrame(nullptr, wxID_ANY, "main", wxPoint(50, 50), wxSize(1100, 800));
    frame->Show();
    testsupport::WaitUntilPlaced(frame);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        wxRect ink, window, buttons, pane;
        wxSize measured, paneVirtual, label;
        int paneLine = 0, paneEnd = 0;
        bool offScreen = false, scrolls = false;
        testsupport::ModalDialogDriver driver(
            [] { return testsupport::FindShownDialog<MessageBoxDialog>(); },
            [&](wxDialog* dlg) {
                auto* box = static_cast<MessageBoxDialog*>(dlg);
                const testsupport::XWindowState x = testsupport::XStateOf(box);
                window = x.screen;
                offScreen = !wxRect(wxGetDisplaySize()).Contains(window);
                const wxImage shot = testsupport::GrabScreenArea(window);
                shot.SaveFile(testsupport::Screen(c.scrolls ? "message-box-scrolled-text.png"
                                                            : "message-box-long-text.png"),
                              wxBITMAP_TYPE_PNG);
                scrolls = box->pane() != nullptr;
                wxRect area(window.GetSize());
                if (scrolls) {
                    // The label's part of the pane, its scroll bar aside.
                    pane = wxRect(box->pane()->GetScreenPosition() - window.GetPosition(),
                                  wxSize(box->label()->GetSize().x, box->pane()->GetClientSize().y));
                    area = pane;
                }
                ink = TextInk(box, shot, area);
                wxMemoryDC dc;
                dc.SetFont(box->label()->GetFont());
                measured = dc.GetMultiLineTextExtent(box->label()->GetLabelText());
                label = box->label()->GetSize();
                buttons = box->button(wxID_OK)->GetScreenRect();
                buttons.Offset(-window.GetPosition());
                if (scrolls) {
                    testsupport::XKey(WXK_TAB);
                    testsupport::DeliverEvents(150);
                    testsupport::XKey(WXK_END);
                    testsupport::DeliverEvents(300);
                    int unitX = 0;
                    box->pane()->GetScrollPixelsPerUnit(&unitX, &paneLine);
                    paneEnd = box->pane()->GetViewStart().y * paneLine + box->pane()->GetClientSize().y;
                    paneVirtual = box->pane()->GetVirtualSize();
                }
                testsupport::XKey(WXK_ESCAPE);
            });
        frame->CallAfter([&] { ShowMessage(c.text, MbButtons::Ok, MbIcon::Stop, {}, frame); });
        driver.WaitUntilClosed();
        ASSERT_TRUE(driver.acted());
        EXPECT_FALSE(driver.timedOut());
        EXPECT_FALSE(offScreen) << "the box does not fit the screen";
        EXPECT_EQ(scrolls, c.scrolls);
        ASSERT_FALSE(ink.IsEmpty()) << "no text on the screen";
        const wxRect inside(wxPoint(6, 6), window.GetSize() - wxSize(12, 12));
        EXPECT_TRUE(inside.Contains(ink)) << "ink " << ink.x << "," << ink.y << " " << ink.width << "x" << ink.height
                                          << " in a box of " << window.width << "x" << window.height;
        EXPECT_TRUE(inside.Contains(buttons)) << "the buttons are not wholly in the box";
        EXPECT_LT(ink.GetBottom(), buttons.GetTop()) << "the text runs into the buttons";
        // Glyphs leave a little of their cells blank at the sides and below.
        EXPECT_GE(ink.width, measured.x - 8) << "the lines are cut: measured " << measured.x;
        EXPECT_LE(ink.width, measured.x + 2);
        if (!c.scrolls) {
            EXPECT_GE(ink.height, measured.y - 10) << "lines are missing: measured " << measured.y;
            continue;
        }
        // The pane shows as many lines as it holds, and every line can be
        // scrolled to.
        EXPECT_GE(ink.height, pane.height - 2 * paneLine) << "the pane is not filled";
        EXPECT_GE(label.y, measured.y * 9 / 10) << "the label is not as tall as its lines";
        EXPECT_GE(paneVirtual.y, label.y);
        EXPECT_GE(paneEnd, paneVirtual.y - paneLine) << "End did not scroll to the last line";
    }
    frame->Destroy();
    testsupport::PumpEvents(50);
}

// The four icons, as the box draws them: each kind its own colour, the shape
// inside the square and its corners clear.
TEST(MessageBoxes, EachIconKindHasItsOwnPicture) {
    struct Case {
        MbIcon kind;
        unsigned char r, g, b;  // the main colour, at a point of the shape's face
        int x, y;
    };
    const Case cases[] = {
        {MbIcon::Exclamation, 0xf5, 0xb8, 0x00, 14, 36},
        {MbIcon::Question, 0x2f, 0x6f, 0xd0, 10, 24},
        {MbIcon::Information, 0x2f, 0x6f, 0xd0, 10, 24},
        {MbIcon::Stop, 0xd9, 0x30, 0x25, 10, 24},
    };
    std::vector<std::vector<unsigned char>> pictures;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        const wxImage im = MessageBoxIcon(c.kind).ConvertToImage();
        ASSERT_TRUE(im.IsOk());
        ASSERT_EQ(im.GetWidth(), kMessageIconSize);
        ASSERT_EQ(im.GetHeight(), kMessageIconSize);
        ASSERT_TRUE(im.HasAlpha());
        EXPECT_EQ(im.GetAlpha(0, 0), 0);
        EXPECT_EQ(im.GetAlpha(47, 0), 0);
        EXPECT_EQ(im.GetAlpha(c.x, c.y), 255);
        EXPECT_NEAR(im.GetRed(c.x, c.y), c.r, 3);
        EXPECT_NEAR(im.GetGreen(c.x, c.y), c.g, 3);
        EXPECT_NEAR(im.GetBlue(c.x, c.y), c.b, 3);
        pictures.emplace_back(im.GetData(), im.GetData() + 48 * 48 * 3);
    }
    EXPECT_NE(pictures[1], pictures[2]) << "question and information look the same";
    EXPECT_FALSE(MessageBoxIcon(MbIcon::None).IsOk());
}

}  // namespace
