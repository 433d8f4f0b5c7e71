#pragma once
// DlgPhotoBar: the fitting room's small modeless snapshot bar. The user
// types a picture name, picks a format and presses "拍照": the dress view
// saves the stage into the photo folder. In its second mode the bar lists
// the saved pictures and shows the one chosen on the stage.
//
// Window thread only. It starts hidden; the child frame shows and hides it.
#include <wx/dialog.h>

class wxButton;
class wxComboBox;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

class DlgPhotoBar : public wxDialog {
public:
    // Where the bar opens, on the screen.
    static constexpr int kOpenX = 60, kOpenY = 100;

    // Made hidden at (60, 100) of the screen, in the new-picture mode.
    explicit DlgPhotoBar(wxWindow* owner);

    // "拍照": saves the stage under the typed name; false (and a message)
    // when the name is not a plain file name.
    bool TakeSnapshot();
    // A saved picture chosen from the list (by mouse or keys): the stage
    // shows it at once.
    void ChooseSaved(const wxString& fileName);
    // The label's click: new-picture and old-picture modes.
    void ToggleMode();
    void Close();

    int mode() const { return m_mode; }
    wxStaticText* modeLabel() const { return m_label; }
    wxTextCtrl* nameEdit() const { return m_name; }
    wxComboBox* formatCombo() const { return m_format; }
    wxComboBox* savedCombo() const { return m_saved; }

private:
    void FillSaved();
    void Send(int code);
    void OnHandleDown(wxMouseEvent& e);
    void OnHandleMove(wxMouseEvent& e);
    void OnHandleUp(wxMouseEvent& e);

    wxStaticText* m_label = nullptr;
    wxTextCtrl* m_name = nullptr;
    wxComboBox* m_format = nullptr;
    wxButton* m_shoot = nullptr;
    wxWindow* m_handle = nullptr;
    wxStaticText* m_close = nullptr;
    wxComboBox* m_saved = nullptr;
    int m_mode = 0;    // 0 new picture, 1 old picture
    int m_drag = 0;    // 9 while dragging, 19 after
    wxPoint m_dragFrom;
};
