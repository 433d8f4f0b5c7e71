#include "image_editor/fitting_canvas_wnd.h"

#include <system_error>
#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include "image_editor/material_table.h"
#include "picture_controls/surface_image.h"
#include "platform/image/picture_cache.h"
#include "platform/ui/colour.h"
#include "platform/ui/resources.h"

namespace image_editor {

namespace fs = std::filesystem;

namespace {
// The head-sticker forms' cursors: plain, feathered, bright edge.
constexpr int kStickerCursors[3] = {185, 186, 187};
}  // namespace

// --- pictures ------------------------------------------------------------------------

bool CachedEnginePictures::Exists(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::optional<Picture> CachedEnginePictures::Load(const fs::path& path) {
    auto img = platform::image::CachedPicture(path);
    if (!img || !img->IsOk()) return std::nullopt;
    auto& slot = m_converted[path.string()];
    if (slot.first != img.get() || !slot.second) {
        auto pic = std::make_shared<Picture>();
        pic->width = img->GetWidth();
        pic->height = img->GetHeight();
        pic->pixels.resize(static_cast<std::size_t>(pic->width) * pic->height);
        const unsigned char* rgb = img->GetData();
        for (std::size_t i = 0; i < pic->pixels.size(); ++i)
            pic->pixels[i] = rgb[3 * i] | (rgb[3 * i + 1] << 8) | (rgb[3 * i + 2] << 16);
        slot = {img.get(), pic};
    }
    return *slot.second;
}

const Surface* CachedMaterialPictures::Scaled(const fs::path& picture, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto img = platform::image::CachedPicture(picture);
    if (!img || !img->IsOk()) return nullptr;
    Entry& e = m_scaled[picture.string()];
    if (e.source == img.get() && e.width == width && e.height == height) return &e.surface;
    wxImage scaled = img->Scale(width, height, wxIMAGE_QUALITY_BICUBIC);
    Surface s = Surface::WithArgb(width, height, 0);
    const unsigned char* rgb = scaled.GetData();
    const unsigned char* alpha = scaled.HasAlpha() ? scaled.GetAlpha() : nullptr;
    for (int y = 0; y < height; ++y) {
        platform::raster::Argb* row = s.Row(y);
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            const unsigned a = alpha ? alpha[i] : 255u;
            row[x] = (a << 24) | (rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2];
        }
    }
    e = Entry{img.get(), width, height, std::move(s)};
    return &e.surface;
}

std::pair<int, int> CachedMaterialPictures::NaturalSize(const fs::path& picture) {
    const auto size = platform::image::PictureSize(picture);
    if (!size) return {0, 0};
    return {size->x, size->y};
}

// --- window ------------------------------------------------------------------------------

CFittingCanvasWnd::CFittingCanvasWnd(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxWindow(parent, id, pos, size, wxBORDER_STATIC | wxWANTS_CHARS, "fitting_canvas"),
      m_control(Engine(), EditorDrawing(), Materials()) {
    Engine().SetPictureSource(&m_enginePictures);
    Engine().ClearPhoto();
    for (int i = 0; i < 3; ++i) m_stickerCursors[i] = platform::ui::LoadCursorResource(kStickerCursors[i]);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    const wxSize c = GetClientSize();
    m_control.SetCanvasSize(c.x, c.y);
    Bind(wxEVT_PAINT, &CFittingCanvasWnd::OnPaint, this);
    for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOTION, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP,
                      wxEVT_RIGHT_DOWN, wxEVT_LEFT_DCLICK})
        Bind(type, &CFittingCanvasWnd::OnMouse, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        const wxSize s = GetClientSize();
        m_control.SetCanvasSize(s.x, s.y);
        Refresh();
        e.Skip();
    });
}

CFittingCanvasWnd::~CFittingCanvasWnd() {
    if (HasCapture()) ReleaseMouse();
    m_control.SetSurface(nullptr);
    Engine().SetPictureSource(nullptr);
}

void CFittingCanvasWnd::ComposeSurface(bool forGrab) {
    const wxSize c = GetClientSize();
    const int w = std::max(c.x, 1), h = std::max(c.y, 1);
    if (m_surface.width() != w || m_surface.height() != h) m_surface = Surface(w, h, Engine().backgroundColour());
    m_control.SetSurface(&m_surface);
    const CanvasReaction r = m_control.Paint(m_surface, &m_materials, forGrab);
    if (!r.notices.empty()) CallAfter([this, r] { Act(r); });
}

void CFittingCanvasWnd::DrawCaption(wxDC& dc) {
    TextItem& t = m_control.textItem();
    if (t.caption.empty()) return;
    wxFont font(wxFontInfo(t.SizeValue()).FaceName(wxString::FromUTF8(t.fontFace)));
    if (!font.IsOk()) font = wxFont(wxFontInfo(t.SizeValue()));
    font.SetPixelSize(wxSize(0, t.SizeValue()));
    dc.SetFont(font);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetTextForeground(platform::ui::ToColour(t.colour));
    const wxString text = wxString::FromUTF8(t.caption);
    const wxSize ext = dc.GetMultiLineTextExtent(text);
    dc.DrawText(text, t.offsetX, t.offsetY);
    t.box = {t.offsetX, t.offsetY, t.offsetX + ext.x, t.offsetY + ext.y};
}

wxImage CFittingCanvasWnd::Render(bool forGrab) {
    ComposeSurface(forGrab);
    wxBitmap bmp(picture_controls::SurfaceToImage(m_surface));
    {
        wxMemoryDC dc(bmp);
        DrawCaption(dc);
    }
    wxImage out = bmp.ConvertToImage();
    if (forGrab) ComposeSurface(false);  // the surface again as the window shows it
    return out;
}

void CFittingCanvasWnd::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (m_painting) return;
    m_painting = true;
    ComposeSurface(false);
    wxBitmap bmp(picture_controls::SurfaceToImage(m_surface));
    {
        wxMemoryDC mem(bmp);
        DrawCaption(mem);
    }
    dc.DrawBitmap(bmp, 0, 0, false);
    m_painting = false;
    if (onPainted) onPainted();
}

void CFittingCanvasWnd::Mouse(int kind, const CanvasInput& in) {
    CanvasReaction r;
    switch (kind) {
        case kLeftDown: r = m_control.LeftDown(in); break;
        case kLeftUp: r = m_control.LeftUp(in); break;
        case kMove: r = m_control.Move(in); break;
        case kMiddleDown: r = m_control.MiddleDown(in); break;
        case kMiddleUp: r = m_control.MiddleUp(in); break;
        case kRightDown: r = m_control.RightDown(in); break;
        default: break;
    }
    Act(r);
}

void CFittingCanvasWnd::ShowModeCursor() {
    CanvasReaction r;
    r.cursor = m_control.ModeCursor();
    Act(r);
}

void CFittingCanvasWnd::Act(const CanvasReaction& r) {
    if (r.cursor != CanvasCursor::Keep) m_shownCursor = r.cursor;
    switch (r.cursor) {
        case CanvasCursor::Keep: break;
        case CanvasCursor::StickerPlain: SetCursor(m_stickerCursors[0]); break;
        case CanvasCursor::StickerFeather: SetCursor(m_stickerCursors[1]); break;
        case CanvasCursor::StickerBright: SetCursor(m_stickerCursors[2]); break;
        case CanvasCursor::Arrow: SetCursor(*wxSTANDARD_CURSOR); break;
        case CanvasCursor::Hand: SetCursor(wxCursor(wxCURSOR_HAND)); break;
        case CanvasCursor::Wand: SetCursor(wxCursor(wxCURSOR_MAGNIFIER)); break;
        case CanvasCursor::Makeup: SetCursor(wxCursor(wxCURSOR_PAINT_BRUSH)); break;
        case CanvasCursor::MakeupNoSample: SetCursor(wxCursor(wxCURSOR_NO_ENTRY)); break;
        case CanvasCursor::Brush3:
        case CanvasCursor::Brush6:
        case CanvasCursor::Brush9: SetCursor(wxCursor(wxCURSOR_BULLSEYE)); break;
        default: SetCursor(wxCursor(wxCURSOR_CROSS)); break;
    }
    if (r.repaint) Refresh(false);
    for (const CanvasNotice& n : r.notices)
        if (onNotice) onNotice(n);
}

void CFittingCanvasWnd::OnMouse(wxMouseEvent& e) {
    CanvasInput in;
    in.x = e.GetX();
    in.y = e.GetY();
    in.alt = e.AltDown() || e.ControlDown() || m_reverseToggle;
    in.left = e.LeftIsDown();
    in.middle = e.MiddleIsDown();
    const wxEventType t = e.GetEventType();
    if (t == wxEVT_LEFT_DOWN || t == wxEVT_LEFT_DCLICK) {
        SetFocus();
        if (!HasCapture()) CaptureMouse();
        Mouse(kLeftDown, in);
    } else if (t == wxEVT_LEFT_UP) {
        if (HasCapture()) ReleaseMouse();
        Mouse(kLeftUp, in);
    } else if (t == wxEVT_MOTION) {
        Mouse(kMove, in);
    } else if (t == wxEVT_MIDDLE_DOWN) {
        Mouse(kMiddleDown, in);
    } else if (t == wxEVT_MIDDLE_UP) {
        Mouse(kMiddleUp, in);
    } else if (t == wxEVT_RIGHT_DOWN) {
        Mouse(kRightDown, in);
    }
}

}  // namespace image_editor
