#pragma once
// DlgValueEdit: the small editor of one measurement, opened at the clicked
// label. The value shows in the unit chosen last (centimetres, inches or chi,
// remembered for the whole run); OK reads the text in that unit into
// hundredths of a centimetre. A right click, Escape and the close box cancel
// it; a text that does not read as a value keeps the dialog open and says so.
//
// Window thread only.
#include <cstdint>
#include <optional>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include "measure_market/value_units.h"

class DlgValueEdit : public wxDialog {
public:
    // value: hundredths (-1: none yet); at: the screen position to open at.
    DlgValueEdit(wxWindow* parent, std::int32_t value, wxPoint at);

    // The unit remembered for the run.
    static measure::ValueUnit RememberedUnit();
    static void RememberUnit(measure::ValueUnit unit);

    wxChoice* unitCombo() const { return m_units; }
    wxTextCtrl* valueEdit() const { return m_edit; }
    // Takes the text as OK does; true when it read.
    bool Accept();
    std::int32_t result() const { return m_result; }
    const wxString& hint() const { return m_hintText; }

private:
    void OnUnit();

    std::int32_t m_value;
    std::int32_t m_result = -1;
    wxChoice* m_units = nullptr;
    wxTextCtrl* m_edit = nullptr;
    wxStaticText* m_hint = nullptr;
    wxString m_hintText;
};
