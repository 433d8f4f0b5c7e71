// The icons are our own drawings, kept here as SVG text and rasterised when a
// box is made, so that no file or icon theme has to be found for them.
#include "platform/ui/message_box_dialog.h"

#include <wx/bmpbndl.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "platform/text.h"
#include "platform/ui/dialog_end.h"

namespace platform::ui {
namespace {

// An amber warning triangle with a dark exclamation mark.
constexpr const char* kExclamationSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
<path d="M24 3.5c1.5 0 2.8.8 3.6 2.1l18.2 32.2c1.6 2.8-.4 6.2-3.6 6.2H5.8c-3.2 0-5.2-3.4-3.6-6.2L20.4 5.6c.8-1.3 2.1-2.1 3.6-2.1z" fill="#f5b800" stroke="#9a6a00" stroke-width="1.5"/>
<path d="M20.9 14.5h6.2l-1.3 16.5h-3.6z" fill="#2b2b2b"/>
<circle cx="24" cy="36.2" r="3.2" fill="#2b2b2b"/>
</svg>)";

// A blue disc with a white question mark.
constexpr const char* kQuestionSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
<circle cx="24" cy="24" r="21.5" fill="#2f6fd0" stroke="#1b4a94" stroke-width="1.5"/>
<path d="M16.6 18.6c.3-5.2 3.9-8.4 7.8-8.4 4.6 0 7.9 3 7.9 7.1 0 3.2-1.8 4.9-4.1 6.5-1.9 1.3-2.4 2.1-2.4 4v.9h-5.4v-1.3c0-3.1 1.2-4.7 3.6-6.4 1.7-1.2 2.6-2 2.6-3.5 0-1.6-1.2-2.7-2.7-2.7-1.8 0-2.8 1.2-3 3.8z" fill="#ffffff"/>
<circle cx="23.9" cy="35.6" r="3.2" fill="#ffffff"/>
</svg>)";

// A blue disc with a white letter i.
constexpr const char* kInformationSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
<circle cx="24" cy="24" r="21.5" fill="#2f6fd0" stroke="#1b4a94" stroke-width="1.5"/>
<circle cx="24" cy="13.6" r="3.4" fill="#ffffff"/>
<path d="M19.5 20h7.3v14h3v4.5H18.2V34h3v-9.5h-1.7z" fill="#ffffff"/>
</svg>)";

// A red disc with a white cross.
constexpr const char* kStopSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">
<circle cx="24" cy="24" r="21.5" fill="#d93025" stroke="#8f1c14" stroke-width="1.5"/>
<path d="M16 16L32 32M32 16L16 32" fill="none" stroke="#ffffff" stroke-width="5.5" stroke-linecap="round"/>
</svg>)";

// The widest a line of the text gets, in pixels.
constexpr int kMaxTextWidth = 520;
// The narrowest the text column is, so that a short text gives no slit.
constexpr int kMinTextWidth = 220;

wxString U(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }

// The tallest the text may be, so that the box with its buttons fits the
// screen the box shows on.
int TallestText(wxWindow* parent) {
    const int n = parent ? wxDisplay::GetFromWindow(parent) : wxNOT_FOUND;
    const wxDisplay display(n == wxNOT_FOUND ? 0u : static_cast<unsigned>(n));
    return std::max(120, display.GetClientArea().height - 240);
}

// A character a line may break before or after without a space: Chinese,
// Japanese and Korean characters and their punctuation, all from U+2E80 on.
bool BreaksFreely(std::string_view ch) {
    if (ch.size() == 4) return true;
    if (ch.size() != 3) return false;
    const auto b = [&](std::size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(ch[k])); };
    return (((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu)) >= 0x2E80u;
}

// The last place in `line` where it may be cut (before a space, or before or
// after a character that breaks freely), 0 when there is none.
std::size_t LastBreak(const std::string& line) {
    std::size_t cut = 0;
    for (std::size_t i = 0; i < line.size();) {
        const std::string_view ch(line.data() + i, Utf8SequenceLength(std::string_view(line).substr(i)));
        if (ch == " " || BreaksFreely(ch)) cut = i;
        i += ch.size();
        if (BreaksFreely(ch) && i < line.size()) cut = i;
    }
    return cut;
}

// The spaces where a line is cut go with the cut.
void TrimEnd(std::string* s) {
    while (!s->empty() && s->back() == ' ') s->pop_back();
}
void TrimStart(std::string* s) { s->erase(0, std::min(s->find_first_not_of(' '), s->size())); }

// One paragraph (a piece of the text without line breaks), wrapped.
void WrapParagraph(std::string_view text, int maxWidth, const std::function<int(std::string_view)>& width,
                   std::vector<std::string>* out) {
    std::string line;
    bool cut = false;  // a line was cut and the next one has no character yet
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view ch = text.substr(i, Utf8SequenceLength(text.substr(i)));
        i += ch.size();
        if (cut && line.empty() && ch == " ") continue;
        cut = false;
        if (!line.empty() && width(std::string(line).append(ch)) > maxWidth) {
            std::string rest;
            if (ch != " " && !BreaksFreely(ch)) {
                if (const std::size_t at = LastBreak(line); at > 0) {
                    rest = line.substr(at);
                    line.resize(at);
                }
            }
            TrimEnd(&line);
            TrimStart(&rest);
            out->push_back(line);
            line = rest;
            cut = true;
            if (ch == " ") continue;
        }
        line.append(ch);
    }
    out->push_back(line);
}

}  // namespace

wxBitmap MessageBoxIcon(MbIcon icon, int size) {
    const char* svg = nullptr;
    switch (icon) {
        case MbIcon::None: return wxBitmap();
        case MbIcon::Exclamation: svg = kExclamationSvg; break;
        case MbIcon::Question: svg = kQuestionSvg; break;
        case MbIcon::Information: svg = kInformationSvg; break;
        case MbIcon::Stop: svg = kStopSvg; break;
    }
    return wxBitmapBundle::FromSVG(svg, wxSize(size, size)).GetBitmap(wxSize(size, size));
}

std::vector<std::string> WrapMessageText(std::string_view text, int maxWidth,
                                         const std::function<int(std::string_view)>& width) {
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        std::string_view paragraph = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        WrapParagraph(paragraph, maxWidth, width, &lines);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

std::vector<MessageBoxButton> MessageBoxButtons(MbButtons buttons) {
    switch (buttons) {
        case MbButtons::Ok: return {{wxID_OK, "确定"}};
        case MbButtons::OkCancel: return {{wxID_OK, "确定"}, {wxID_CANCEL, "取消"}};
        case MbButtons::YesNo: return {{wxID_YES, "是(&Y)"}, {wxID_NO, "否(&N)"}};
        case MbButtons::YesNoCancel: return {{wxID_YES, "是(&Y)"}, {wxID_NO, "否(&N)"}, {wxID_CANCEL, "取消"}};
        case MbButtons::RetryCancel: return {{wxID_OK, "重试(&R)"}, {wxID_CANCEL, "取消"}};
    }
    return {{wxID_OK, "确定"}};
}

MbResult MessageBoxAnswer(MbButtons buttons, int id) {
    switch (id) {
        case wxID_YES: return MbResult::Yes;
        case wxID_NO: return MbResult::No;
        case wxID_CANCEL: return MbResult::Cancel;
        default: return buttons == MbButtons::RetryCancel ? MbResult::Retry : MbResult::Ok;
    }
}

MessageBoxDialog::MessageBoxDialog(wxWindow* parent, const MessageRequest& request, const std::string& caption)
    : wxDialog(parent, wxID_ANY, U(caption), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      m_text(request.text) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    if (request.icon != MbIcon::None) {
        m_icon = new wxStaticBitmap(this, wxID_ANY, MessageBoxIcon(request.icon));
        row->Add(m_icon, wxSizerFlags().Top().Border(wxRIGHT, 16));
    }
    auto* label = m_label = new wxStaticText(this, wxID_ANY, wxString());
    const auto width = [label](std::string_view s) { return label->GetTextExtent(U(s)).x; };
    const auto lines = WrapMessageText(request.text, kMaxTextWidth, width);
    std::string shown;
    for (std::size_t k = 0; k < lines.size(); ++k) shown.append(k ? "\n" : "").append(lines[k]);
    label->SetLabelText(U(shown));
    label->SetMinSize(wxSize(std::max(label->GetBestSize().x, kMinTextWidth), -1));
    // A text taller than the screen leaves room for the buttons: it scrolls
    // in a pane of its own, which Tab reaches and the arrow and page keys
    // move.
    const int tallest = TallestText(parent);
    if (label->GetBestSize().y > tallest) {
        auto* pane = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxTAB_TRAVERSAL);
        label->Reparent(pane);
        auto* inner = new wxBoxSizer(wxVERTICAL);
        inner->Add(label);
        pane->SetSizer(inner);
        pane->SetScrollRate(0, std::max(1, label->GetCharHeight()));
        pane->SetMinSize(
            wxSize(label->GetMinSize().x + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, pane) + 4, tallest));
        m_pane = pane;
        row->Add(pane, wxSizerFlags(1).Expand());
    } else {
        row->Add(label, wxSizerFlags(1).CentreVertical());
    }

    auto* buttons = new wxStdDialogButtonSizer();
    wxButton* first = nullptr;
    for (const MessageBoxButton& b : MessageBoxButtons(request.buttons)) {
        auto* button = new wxButton(this, b.id, U(b.label));
        button->Bind(wxEVT_BUTTON, [this, id = b.id](wxCommandEvent&) { platform::ui::EndDialog(*this, id); });
        buttons->AddButton(button);
        if (!first) first = button;
    }
    buttons->Realize();

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(row, wxSizerFlags(1).Expand().Border(wxALL, 18));
    top->Add(buttons, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, 12));
    SetSizerAndFit(top);
    // Escape and the close box answer as the cancel of the box does; Enter
    // presses the default button, which has the keyboard.
    SetEscapeId(wxID_NONE);
    CancelOnEscapeAndClose(*this);
    first->SetDefault();
    first->SetFocus();
    // The keyboard stays in the box: the toolkit may leave no button with it
    // when the box is activated again, and Escape would then go nowhere. The
    // button that had it last gets it back, at first the default one.
    m_keyboard = first;
    Bind(wxEVT_CHILD_FOCUS, [this](wxChildFocusEvent& e) {
        if (auto* button = dynamic_cast<wxButton*>(e.GetWindow())) m_keyboard = button;
        e.Skip();
    });
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& e) {
        e.Skip();
        if (e.GetActive()) CallAfter([this] { KeepKeyboard(); });
    });
    // The box takes the keyboard once it is on the screen, and hands it back
    // to the window it came from when it goes, as a desktop does for its
    // boxes (and as nothing else does where no window manager runs).
    Bind(wxEVT_SHOW, [this](wxShowEvent& e) {
        e.Skip();
        if (e.IsShown()) {
            CallAfter([this] {
                if (IsShown()) Raise();
            });
        } else if (wxWindow* owner = GetParent(); owner && owner->IsShown() && !owner->IsBeingDeleted()) {
            const wxWindow* focus = FindFocus();
            if (focus && wxGetTopLevelParent(const_cast<wxWindow*>(focus)) == this) owner->Raise();
        }
    });
    if (parent)
        CentreOnParent();
    else
        CentreOnScreen();
}

void MessageBoxDialog::KeepKeyboard() {
    if (!IsActive() || !m_keyboard) return;
    const wxWindow* focus = FindFocus();
    if (!focus || wxGetTopLevelParent(const_cast<wxWindow*>(focus)) != this) m_keyboard->SetFocus();
}

}  // namespace platform::ui
