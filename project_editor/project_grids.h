#pragma once
// The two grids of Pavanel's project dialogs:
// - CPictureFileGrid: file names with a mark each, for choosing which files
//   of a folder the create-or-open dialog imports;
// - CMediaListGrid: the face media of one part (face pictures, animation
//   pictures, face sounds, animation sounds, one row per face), for the part
//   parameters dialog.
// Neither edits in place; a click tells the owner (0x446, 20050818), which
// acts on the current cell. Window thread only.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <wx/imaglist.h>

#include "controls/grid_ctrl.h"
#include "project_editor/add_fitting_pics.h"

namespace project_editor {

inline constexpr int kMaxPictureFiles = 299;
inline constexpr long kProjectGridStyle = 0x50300004;

// The shared look: bitmap 149 cut into 15 x 15 images, the row colours.
class CProjectDialogGrid : public CZYKGridCtrl {
public:
    CProjectDialogGrid();
    // The rows that hold data (rows past it are painted grey).
    virtual int DataRows() const = 0;

    void GetCellInfo(int column, int row, GridImageListDraw& info, bool isCurrent) override;
    const GridCellColors& GetRowColors(int column, int row) const override;
    void OnCurrentCellChanged(int column, int row) override;
    void OnCellChangedHook(int column, int row) override { CZYKGridCtrl::OnCellChangedHook(column, row); }
    // Creates the window as the dialogs do, over `rect` of `parent`.
    bool CreateOver(wxWindow* parent, const wxRect& rect, int id);

    // Told when another row becomes current, by a click or by a key.
    std::function<void()> onRowChanged;

protected:
    // Column 0's image for a row.
    virtual int IconIndex(int /*row*/, bool current) const { return current ? 1 : 0; }
    void SetUpColumns();

    wxImageList m_icons;
    mutable GridCellColors m_colours;
    int m_lastRow = 0;  // the grid starts on its first row
};

class CPictureFileGrid : public CProjectDialogGrid {
public:
    CPictureFileGrid();

    // Takes the names (at most 299), clears every mark, sets the row count
    // (with notification) and redraws.
    void SetFileList(const std::vector<std::string>& names);
    // The current row's index and name; false when it is not a name row.
    bool GetSelectedName(int& index, std::string& name) const;
    // On the first data column of a name row: switches the row's mark.
    // Returns whether any row is marked.
    bool ToggleMark();
    // Mode 9 inverts every mark, any other mode marks every row. Returns
    // whether any row is marked.
    bool InvertMarks(int mode);
    bool AnyMarked() const;
    std::vector<std::string> MarkedNames() const;
    // Copies each marked name from `from` into `to`, replacing; returns the
    // failures ("name: reason").
    std::vector<std::string> CopyMarkedFiles(const std::filesystem::path& from, const std::filesystem::path& to,
                                             PictureFileOps& files) const;
    int count() const { return static_cast<int>(m_names.size()); }
    bool marked(int row) const { return row >= 0 && row < count() && m_marks[static_cast<std::size_t>(row)] == 'Y'; }

    int DataRows() const override { return count(); }
    GridCellText GetCellText(int column, int row) const override;

protected:
    int IconIndex(int row, bool current) const override;

private:
    std::vector<std::string> m_names;
    std::vector<char> m_marks;
};

class CMediaListGrid : public CProjectDialogGrid {
public:
    // Shows the part of the process-wide current-part index.
    CMediaListGrid();

    // Re-reads the face count of the current part and repaints.
    void UpdateFaceCount();
    // Current data row and column; true when the row is below the face count.
    bool GetCurrentCell(int& row, int& column) const;
    // Redraws the current row.
    void RefreshRow();
    int faceCount() const { return m_faces; }

    int DataRows() const override { return m_faces; }
    GridCellText GetCellText(int column, int row) const override;
    CGridCellControl* CreateCellControl(int column, int row, long style, int id) override;

private:
    int m_faces = 0;
};

}  // namespace project_editor
