#include "fitting_room/dress_view.h"

#include <wx/dcclient.h>

#include "controls/mem_dc.h"
#include "fitting_room/shared_objects.h"
#include "picture_controls/picture_files.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "shell/base_directory.h"

using namespace fitting_room;

namespace {

constexpr unsigned kWmUser50 = platform::ui::kWmUser + 50;

wxRect ToWx(const Rect& r) { return wxRect(r.left, r.top, r.width(), r.height()); }

}  // namespace

CCDressCCView::CCDressCCView(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE),
      m_base(shell::BaseDirectory()),
      m_room(RightGarmentList(), LeftGarmentList(), FittingModel()),
      m_handCursor(platform::ui::LoadCursorResource(kCursorHand)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    RightGarmentList().SetPictureSizes(&m_sizes);
    LeftGarmentList().SetPictureSizes(&m_sizes);
    FittingModel().SetPictureSizes(&m_sizes);
    m_room.InitSharedObjects(m_base);

    const wxSize client = GetClientSize();
    m_stage = new CCShowGraCWnd(this, wxRect(0, 0, std::max(client.x, 1), std::max(client.y, 1)), FittingModel(),
                                RightGarmentList(), m_base, &m_sizes);

    Bind(wxEVT_PAINT, &CCDressCCView::OnPaint, this);
    Bind(wxEVT_SIZE, &CCDressCCView::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &CCDressCCView::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CCDressCCView::OnMotion, this);
    Bind(wxEVT_MOUSEWHEEL, &CCDressCCView::OnWheel, this);
}

CCDressCCView::~CCDressCCView() {
    // The fitting window goes first: it reads picture sizes through this view.
    delete m_stage;
    m_stage = nullptr;
    // The shared objects outlive the view: they must not keep its size source.
    RightGarmentList().SetPictureSizes(nullptr);
    LeftGarmentList().SetPictureSizes(nullptr);
    FittingModel().SetPictureSizes(nullptr);
}

void CCDressCCView::LayOut() {
    const wxSize size = GetClientSize();
    m_layout = m_room.Layout(Rect{0, 0, size.x, size.y});
    m_laidOut = true;
    m_stage->SetSize(ToWx(m_layout.stage));
}

void CCDressCCView::DrawPlatformBackground(wxDC& dc) {
    const auto& path = FittingModel().GetPlatformBackgroundPath();
    if (path.native().size() <= 2) return;
    const auto size = m_sizes.SizeOf(path);
    if (!size) return;
    const wxSize client = GetClientSize();
    const double s = CoverScale(client.x, client.y, size->w, size->h);
    m_painter.DrawPicture(dc, path, ScaledAt(0, 0, size->w, size->h, s), false);
}

void CCDressCCView::Draw(wxDC& dc) {
    if (!m_laidOut) LayOut();
    DrawPlatformBackground(dc);
    PaintOps ops;
    LeftGarmentList().DrawOps(ops);
    RightGarmentList().DrawOps(ops);
    m_painter.Paint(dc, ops);
}

void CCDressCCView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    CMemDC mem(dc, wxRect(0, 0, size.x, size.y));
    mem.dc().SetBackground(wxBrush(wxColour(0xDE, 0xDE, 0xDE)));
    mem.dc().Clear();
    Draw(mem.dc());
}

void CCDressCCView::OnSize(wxSizeEvent& e) {
    LayOut();
    Refresh(false);
    e.Skip();
}

void CCDressCCView::OnLeftDown(wxMouseEvent& e) {
    const auto r = m_room.Click(Point{e.GetX(), e.GetY()});
    if (r.leftCode != kHitNothing) RepaintList('L');
    if (r.rightCode != kHitNothing) RepaintList('R');
    if (r.repaintStage) m_stage->RepaintStage();
}

void CCDressCCView::OnMotion(wxMouseEvent& e) {
    const bool hand = m_room.OverListItem(Point{e.GetX(), e.GetY()});
    if (hand == m_handShown) return;
    m_handShown = hand;
    SetCursor(hand ? m_handCursor : *wxSTANDARD_CURSOR);
}

void CCDressCCView::OnWheel(wxMouseEvent& e) {
    const int rotation = e.GetWheelRotation();
    m_stage->HandleWheel(rotation > 0 ? 1 : rotation < 0 ? -1 : 0);
}

std::intptr_t CCDressCCView::OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t) {
    if (id == kWmUser50) m_room.Request(static_cast<std::int32_t>(wparam), *this);
    return 0;
}

void CCDressCCView::RepaintView() {
    Refresh(false);
    m_stage->RepaintStage();
}

void CCDressCCView::RepaintList(char list) {
    const Rect& r = list == 'L' ? LeftGarmentList().bounds() : RightGarmentList().bounds();
    RefreshRect(ToWx(r), false);
}

void CCDressCCView::RepaintStage() { m_stage->RepaintStage(); }
void CCDressCCView::PhotoImported() {
    m_stage->ShowImportedPhoto();
    RepaintView();
}
void CCDressCCView::ToggleStageMenu() { m_stage->ToggleMenu(); }
void CCDressCCView::ShowStringPictures() { m_stage->ShowStringPictures(); }
void CCDressCCView::ShowPicture(const std::filesystem::path& picture) { m_stage->ShowPicture(picture); }

void CCDressCCView::ReportFailure(const std::string& text) {
    platform::ui::ShowMessage(text, platform::MbButtons::Ok, platform::MbIcon::Exclamation, "特别提示", this);
}

void CCDressCCView::SaveSnapshot() {
    char format = ' ';
    const auto path = FittingModel().GetSavePath(&format);
    if (!m_stage->SaveStage(path, format)) ReportFailure("照片没有保存成功!\n" + path.string());
}

void CCDressCCView::SaveTransparentBackground() {
    if (!m_laidOut) LayOut();
    const auto path = FittingModel().TransparentBackgroundPath();
    const Rect& s = m_layout.stage;
    const bool saved = picture_controls::GrabScreenToFile(
        path, s.left, s.top, s.width(), s.height(), 100, "JPG", [this](wxDC& dc) { DrawPlatformBackground(dc); },
        picture_controls::GrabFormats::NoGif);
    if (!saved) ReportFailure("试衣间背景没有保存成功!\n" + path.string());
    m_stage->RepaintStage();
    Refresh(false);
}
