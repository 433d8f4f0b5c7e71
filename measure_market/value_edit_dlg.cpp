#include "measure_market/value_edit_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "platform/ui/colour.h"

namespace {
measure::ValueUnit g_unit = measure::ValueUnit::Centimetre;
constexpr int kUnitCombo = 1034;
constexpr int kValueEdit = 1035;
}  // namespace

measure::ValueUnit DlgValueEdit::RememberedUnit() { return g_unit; }
void DlgValueEdit::RememberUnit(measure::ValueUnit unit) { g_unit = unit; }

DlgValueEdit::DlgValueEdit(wxWindow* parent, std::int32_t value, wxPoint at)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("测量数据"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      m_value(value) {
    SetBackgroundColour(platform::ui::ToColour(0xFAFADC));
    m_units = new wxChoice(this, kUnitCombo);
    for (const char* name : measure::kUnitNames) m_units->Append(wxString::FromUTF8(name));
    m_units->SetSelection(static_cast<int>(g_unit));
    m_edit = new wxTextCtrl(this, kValueEdit, wxString::FromUTF8(measure::FormatInUnit(value, g_unit)),
                            wxDefaultPosition, wxSize(110, -1), wxTE_PROCESS_ENTER);
    m_hint = new wxStaticText(this, wxID_ANY, "");
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(m_units, 0, wxALL, 4);
    row->Add(m_edit, 0, wxALL, 4);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, wxID_OK, wxString::FromUTF8("确定")), 0, wxALL, 4);
    buttons->Add(new wxButton(this, wxID_CANCEL, wxString::FromUTF8("取消")), 0, wxALL, 4);
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(row);
    all->Add(m_hint, 0, wxLEFT | wxRIGHT, 6);
    all->Add(buttons, 0, wxALIGN_RIGHT);
    SetSizerAndFit(all);
    // Created without a position and moved before it is mapped: a position
    // given at creation is taken as already there, never sent to the toolkit,
    // which then centres the dialog on the screen.
    Move(at);
    m_units->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnUnit(); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (Accept()) EndModal(wxID_OK);
    }, wxID_OK);
    m_edit->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) {
        if (Accept()) EndModal(wxID_OK);
    });
    auto close = [this](wxMouseEvent&) { EndModal(wxID_CANCEL); };
    Bind(wxEVT_RIGHT_DOWN, close);
    m_edit->SetFocus();
    m_edit->SelectAll();
}

void DlgValueEdit::OnUnit() {
    const int sel = m_units->GetSelection();
    if (sel < 0) return;
    // The text is shown again in the new unit, so what stands there is what
    // OK will take.
    const auto old = measure::ParseValue(m_edit->GetValue().utf8_string(), g_unit);
    g_unit = static_cast<measure::ValueUnit>(sel);
    m_edit->ChangeValue(wxString::FromUTF8(measure::FormatInUnit(old ? *old : m_value, g_unit)));
}

bool DlgValueEdit::Accept() {
    const auto v = measure::ParseValue(m_edit->GetValue().utf8_string(), g_unit);
    if (!v) {
        m_hintText = wxString::FromUTF8("请输入数值, 如 88.5、12 1/2");
        m_hint->SetLabel(m_hintText);
        GetSizer()->Fit(this);
        return false;
    }
    m_result = *v;
    return true;
}
