// The window half of the platform layer: private messages, message boxes,
// numbered resources, fonts and the multi-document client area.
#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/weakref.h>

#include "platform/ui/colour.h"
#include "platform/ui/fonts.h"
#include "platform/ui/mdi.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/resources.h"
#include "tests/support/window_test_util.h"

namespace {

using namespace platform::ui;

class Receiver : public wxWindow, public MessageReceiver {
public:
    explicit Receiver(wxWindow* parent) : wxWindow(parent, wxID_ANY) {}
    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t w, std::intptr_t l) override {
        got.push_back({id, w, l});
        return static_cast<std::intptr_t>(id + w);
    }
    struct Msg {
        unsigned id;
        std::uintptr_t w;
        std::intptr_t l;
    };
    std::vector<Msg> got;
};

TEST(Messages, SendAnswersAtOncePostWaitsForTheLoop) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "t");
    auto* r = new Receiver(frame);
    auto* plain = new wxWindow(frame, wxID_ANY);
    int local = 7;
    EXPECT_EQ(SendMessage(r, kWmUser + 50, 66600366, 1001), kWmUser + 50 + 66600366);
    EXPECT_EQ(SendMessage(plain, kWmUser + 50, 1, 2), 0);
    EXPECT_EQ(SendMessage(nullptr, kWmUser + 50, 1, 2), 0);
    PostMessage(r, kWmUser + 70, 20050818, reinterpret_cast<std::intptr_t>(&local));
    ASSERT_EQ(r->got.size(), 1u);
    testsupport::PumpEvents(50);
    ASSERT_EQ(r->got.size(), 2u);
    EXPECT_EQ(r->got[1].id, kWmUser + 70);
    EXPECT_EQ(*reinterpret_cast<int*>(r->got[1].l), 7);  // pointer-sized parameters survive
    frame->Destroy();
    testsupport::PumpEvents(20);
}

TEST(Messages, PostToAClosedWindowIsDropped) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "t");
    auto* r = new Receiver(frame);
    PostMessage(r, kWmUser + 1, 0, 0);
    delete r;
    testsupport::PumpEvents(50);  // nothing reaches the deleted window (ASan would tell)
    frame->Destroy();
    testsupport::PumpEvents(20);
}

TEST(MessageBoxes, RecorderTakesTheDefaultCaptionAndQueuedAnswers) {
    SetDefaultCaption("Fittora");
    MessageBoxRecorder rec;
    rec.QueueAnswer(platform::MbResult::No);
    EXPECT_EQ(ShowMessage("已存在!是否更新?", platform::MbButtons::YesNo, platform::MbIcon::Question),
              platform::MbResult::No);
    EXPECT_EQ(ShowMessage("第二个", platform::MbButtons::YesNo), platform::MbResult::Yes);
    EXPECT_EQ(ShowMessage({"文本", "特别提示", platform::MbButtons::Ok, platform::MbIcon::Exclamation}),
              platform::MbResult::Ok);
    ASSERT_EQ(rec.shown().size(), 3u);
    EXPECT_EQ(rec.shown()[0].caption, "Fittora");
    EXPECT_EQ(rec.shown()[0].icon, platform::MbIcon::Question);
    EXPECT_EQ(rec.shown()[2].caption, "特别提示");
    // A sink made for a window goes the same way.
    EXPECT_EQ(MessageSinkFor(nullptr)({"x", {}, platform::MbButtons::Ok, platform::MbIcon::None}),
              platform::MbResult::Ok);
    EXPECT_EQ(rec.shown().size(), 4u);
}

TEST(Resources, NumberedFilesBesideTheExecutable) {
    // The build puts the resource folder beside the programs, tests included.
    EXPECT_TRUE(LoadBitmapResource(132).IsOk());
    EXPECT_TRUE(LoadIconResource(130).IsOk());
    EXPECT_TRUE(LoadCursorResource(131).IsOk());
    EXPECT_FALSE(LoadBitmapResource(99999).IsOk());
    EXPECT_TRUE(LoadCursorResource(99999).IsOk());  // the standard arrow
}

TEST(Colours, ColorRefIsBlueGreenRed) {
    const wxColour c = ToColour(0xEAF46F);
    EXPECT_EQ(c.Red(), 0x6F);
    EXPECT_EQ(c.Green(), 0xF4);
    EXPECT_EQ(c.Blue(), 0xEA);
    EXPECT_EQ(FromColour(wxColour(0x80, 0x80, 0)), 0x008080u);
    EXPECT_EQ(Rgb(1, 2, 3), 0x030201u);
}

TEST(Fonts, ChineseFacesMapToTheInstalledCjkFont) {
    EXPECT_EQ(MapFace("宋体"), MapFace("黑体"));
    EXPECT_NE(MapFace("宋体"), wxString("宋体"));
    const wxFont f = MakeFont(15);
    EXPECT_TRUE(f.IsOk());
    EXPECT_EQ(f.GetFaceName(), MapFace("宋体"));
}

TEST(Mdi, OneChildShownFillingTheAreaAndTemplatesForgetClosedFrames) {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "t", wxDefaultPosition, wxSize(600, 400));
    auto* client = new MdiClient(frame);
    frame->Show();
    testsupport::PumpEvents(50);
    DocTemplate a("A", [](MdiClient* c) { return new MdiChildFrame(c, "一"); });
    DocTemplate b("B", [](MdiClient* c) { return new MdiChildFrame(c, "二"); });
    DocTemplate* closed = nullptr;
    client->onClosed = [&](DocTemplate* t) { closed = t; };

    MdiChildFrame* fa = a.OpenDocument(client);
    MdiChildFrame* fb = b.OpenDocument(client);
    EXPECT_EQ(client->ActiveChild(), fb);
    EXPECT_TRUE(fb->IsShown());
    EXPECT_FALSE(fa->IsShown());
    EXPECT_EQ(fb->GetSize(), client->GetClientSize());
    client->Activate(fa);
    EXPECT_TRUE(fa->IsShown());
    EXPECT_FALSE(fb->IsShown());

    client->CloseChild(fa);
    EXPECT_EQ(closed, &a);
    EXPECT_TRUE(a.documents().empty());
    EXPECT_EQ(client->ActiveChild(), fb);  // the one before it comes back
    EXPECT_TRUE(fb->IsShown());
    EXPECT_EQ(b.documents().size(), 1u);
    frame->Destroy();
    testsupport::PumpEvents(20);
}

}  // namespace
