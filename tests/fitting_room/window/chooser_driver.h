#pragma once
// Drives the modal project chooser of a window test from a timer, as a user
// would: finds the open chooser, clicks a row of its list, takes a
// screenshot and presses a button.
#include <string>
#include <vector>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

#include "controls/grid_ctrl.h"
#include "platform/ui/messages.h"
#include "tests/support/window_test_util.h"

namespace choosertest {

inline wxDialog* FindChooser() {
    for (wxWindow* w : wxTopLevelWindows)
        if (w->GetName() == "DlgSelfProject" && w->IsShown()) return dynamic_cast<wxDialog*>(w);
    return nullptr;
}

// What the user sees of the open chooser.
struct ChooserView {
    wxString caption;
    std::vector<std::string> rows;
    wxRect rect;
    bool openEnabledBefore = true;
    bool openEnabledAfter = false;
    wxString openLabel;
    wxString chosenText;
    bool transparentShown = false;
    bool openEnabledByWrongTag = true;
    wxString chosenByWrongTag = "?";
};

// Drives the modal chooser from a timer: clicks the row named `row` in the
// list, takes a screenshot, then presses `button` (1007, 1008 or cancel).
class ChooserDriver {
public:
    ChooserDriver(std::string row, int button, std::string screenshot)
        : m_row(std::move(row)), m_button(button), m_screenshot(std::move(screenshot)) {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Step(); });
        m_timer.Start(40);
        m_deadline = wxGetLocalTimeMillis() + 20000;
    }
    ~ChooserDriver() { m_timer.Stop(); }

    ChooserView seen;
    bool clicked = false, pressed = false, timedOut = false;
    bool probeWrongTag = false;

private:
    void Mouse(CZYKGridCtrl* grid, wxEventType type, wxPoint at, bool down) {
        wxMouseEvent e(type);
        e.SetEventObject(grid);
        e.SetPosition(at);
        e.m_leftDown = down;
        grid->GetEventHandler()->ProcessEvent(e);
    }
    void Step() {
        wxDialog* dlg = FindChooser();
        if (!dlg || pressed) return;
        if (wxGetLocalTimeMillis() > m_deadline) {
            timedOut = true;
            dlg->EndModal(wxID_CANCEL);
            return;
        }
        auto* grid = dynamic_cast<CZYKGridCtrl*>(dlg->FindWindow(1005));
        auto* open = dynamic_cast<wxButton*>(dlg->FindWindow(1007));
        auto* name = dynamic_cast<wxStaticText*>(dlg->FindWindow(1006));
        if (!grid || !open || !name) return;
        if (!clicked) {
            seen.caption = dlg->GetTitle();
            seen.rect = dlg->GetScreenRect();
            seen.openEnabledBefore = open->IsEnabled();
            seen.openLabel = open->GetLabel();
            seen.transparentShown = dlg->FindWindow(1008) != nullptr;
            for (int r = 0; r < grid->GetRowCount(); ++r) seen.rows.push_back(grid->GetCellText(1, r).text);
            if (probeWrongTag) {
                // A row made current, then a notification without the grid's
                // tag: nothing is chosen.
                grid->SetCurrentCell(grid->GetFixedColumnCount() + 1, grid->GetFixedRowCount());
                platform::ui::SendMessage(dlg, grid::kMsgGridNotify, grid::kGridNotifyTag + 1, 0);
                seen.openEnabledByWrongTag = open->IsEnabled();
                seen.chosenByWrongTag = name->GetLabel();
            }
            for (int r = 0; r < grid->GetRowCount(); ++r) {
                if (grid->GetCellText(1, r).text != m_row) continue;
                const grid::Rect cell = grid->CellRect(1, r);
                const wxPoint at((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
                Mouse(grid, wxEVT_MOTION, at, false);
                Mouse(grid, wxEVT_LEFT_DOWN, at, true);
                Mouse(grid, wxEVT_LEFT_UP, at, false);
            }
            clicked = true;
            return;
        }
        if (++m_waits < 6) return;  // let the click's paints land
        seen.openEnabledAfter = open->IsEnabled();
        seen.chosenText = name->GetLabel();
        if (!m_screenshot.empty()) testsupport::SaveWindowScreenshot(dlg, m_screenshot);
        pressed = true;
        if (m_button == wxID_CANCEL) {
            dlg->EndModal(wxID_CANCEL);
            return;
        }
        wxWindow* button = dlg->FindWindow(m_button);
        if (!button || !button->IsEnabled()) {
            dlg->EndModal(wxID_CANCEL);
            return;
        }
        wxCommandEvent click(wxEVT_BUTTON, m_button);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }

    std::string m_row;
    int m_button;
    std::string m_screenshot;
    int m_waits = 0;
    wxTimer m_timer;
    wxLongLong m_deadline;
};

}  // namespace choosertest
