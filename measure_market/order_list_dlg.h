#pragma once
// "定货单列表" (COrderListDlg): the saved order files in a grid
// (COrderFileGrid), and the chosen one shown as text. Modal; the list is
// read again each time the dialog opens. Escape and the close box close it.
#include <filesystem>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "controls/grid_ctrl.h"
#include "platform/ui/messages.h"

class wxButton;
class wxComboBox;
class wxStaticText;
class wxTextCtrl;

class COrderFileGrid : public CZYKGridCtrl {
public:
    explicit COrderFileGrid(std::filesystem::path base);
    int fileCount() const { return static_cast<int>(m_titles.size()); }
    const std::vector<std::string>& titles() const { return m_titles; }
    bool HasSelectedFile() const;
    // "<base>/定单数据表保存区/<title>.of3" of the current row; false (and an
    // empty path) when no file row is current.
    bool GetSelectedPath(std::filesystem::path* path) const;

    GridCellText GetCellText(int column, int row) const override;
    const GridCellColors& GetRowColors(int column, int row) const override;
    void GetCellInfo(int column, int row, GridImageListDraw& info, bool isCurrent) override;
    void OnCurrentCellChanged(int column, int row) override;

private:
    std::filesystem::path m_base;
    std::vector<std::string> m_titles;
    wxImageList m_icons;
    mutable GridCellColors m_colours;
    int m_lastRow = -1;
};

class COrderListDlg : public wxDialog, public platform::ui::MessageReceiver {
public:
    COrderListDlg(wxWindow* parent, std::filesystem::path base);

    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    COrderFileGrid* grid() const { return m_grid; }
    wxTextCtrl* text() const { return m_text; }
    wxButton* openButton() const { return m_open; }
    // Button 1068: shows the chosen file.
    void OpenSelected();

private:
    std::filesystem::path m_base;
    COrderFileGrid* m_grid = nullptr;
    wxTextCtrl* m_text = nullptr;
    wxButton* m_open = nullptr;
    wxComboBox* m_combo = nullptr;
    wxStaticText* m_link = nullptr;
    std::string m_comboText;
    bool m_inLink = false;
};
