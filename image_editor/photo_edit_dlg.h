#pragma once
// CPhotoEditDlg: the photo-edit dialog (148, "图片编辑[试衣平台]") that the
// editor's entry runs. It frames the canvas, draws its 16 tool buttons, hosts
// the magnifier and material panel, and turns clicks, menu commands, wheel
// notches and the canvas's notices into PhotoEditController calls; it is the
// controller's PhotoEditHost. Main thread only.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <wx/dialog.h>

#include "controls/tbar_but_tittle_tip.h"
#include "image_editor/photo_edit_commands.h"
#include "picture_controls/icon_list_file.h"

class wxCheckBox;
class wxChoice;
class wxButton;
class CHoverButton;
class CIconStatic;
class CColorSwatchButton;

namespace image_editor {

class CFittingCanvasWnd;
class CMakeupSwatchDlg;
class CPhotoSaveDlg;
class CTextItemDlg;

inline constexpr const char* kPhotoEditDlgName = "photo_edit_dlg";

// Stand-ins for the modal pieces, for tests that drive a session: each, when
// set, runs instead of showing the piece modally.
struct PhotoEditDialogHooks {
    std::function<int(const std::vector<MenuEntry>&)> trackPopup;
    std::function<std::optional<std::filesystem::path>(const std::filesystem::path& folder)> choosePicture;
    std::function<std::optional<ColorRef>(ColorRef initial)> chooseColour;
    std::function<int(CMakeupSwatchDlg&)> swatches;
    std::function<int(CPhotoSaveDlg&)> photoSave;
    std::function<int(CTextItemDlg&)> textItem;
};
PhotoEditDialogHooks& PhotoEditHooks();

// The material grid of the panel.
struct MaterialCell {
    int part = -1;
    Rect cell{}, picture{}, caption{}, lower{};
};

class CPhotoEditDlg : public wxDialog, public PhotoEditHost {
public:
    CPhotoEditDlg(wxWindow* parent, const std::filesystem::path& base);
    ~CPhotoEditDlg() override;

    PhotoEditController& controller() { return *m_controller; }
    CFittingCanvasWnd& canvas() { return *m_canvas; }
    wxWindow* panel() const { return m_panel; }
    wxWindow* preview() const { return m_preview; }

    // The dialog's controls by id, as a test presses them.
    void PressButton(int id);
    void SetCheck(int id, bool on);
    void SelectProject(const std::string& name);
    void SelectCategory(const std::string& name);
    // A click in the panel (panel coordinates).
    void PanelClick(int x, int y);
    void ClickPreview();
    void Wheel(bool up);
    const std::vector<MaterialCell>& materialCells() const { return m_cells; }
    int firstListed() const { return m_firstListed; }
    int pageSize() const { return m_rows * 3; }
    const std::string& hintShown() const;

    // Paints the tool buttons and the dialog's face (the paint handler's work).
    void DrawFace(wxDC& dc);
    void DrawPanel(wxDC& dc);

    // PhotoEditHost
    void ShowHint(const std::string& text) override;
    void RepaintCanvas() override;
    void RedrawPanel() override;
    void RedrawTools() override;
    int TrackPopup(const std::vector<MenuEntry>& items, const Rect& at) override;
    std::optional<ColorRef> ChooseColour(ColorRef initial, const Rect& at) override;
    std::optional<std::filesystem::path> ChoosePicture(const std::filesystem::path& folder) override;
    bool GrabCanvas(const Rect& region, const std::filesystem::path& file, char format) override;
    bool CopyToClipboard(const std::filesystem::path& file) override;
    void RunPhotoSave(const std::filesystem::path& source, const Rect& at) override;
    bool RunTextDialog(TextItem& item, const Rect& at) override;
    void RunSwatchDialog() override;
    void ShowMakeupButton(bool shown) override;
    void ShowPreview(int part) override;
    void EnableMaterialButtons(bool enable) override;
    platform::MbResult Message(const platform::MessageRequest& request) override;

private:
    void Build();
    // The dialog's initialisation, run once from the constructor (not the
    // toolkit's InitDialog, which ShowModal runs again).
    void SetUpControls();
    void LayoutGrid();
    void FillCategories();
    void OnPaint(wxPaintEvent&);
    void OnMouse(wxMouseEvent& e);
    void OnPanelMouse(wxMouseEvent& e);
    void OnNotice(const CanvasNotice& n);
    void DrawMaterialGrid(wxDC& dc);
    void DrawPreview(wxDC& dc);
    wxPoint ScreenOf(const Rect& r, bool bottom) const;

    std::filesystem::path m_base;
    std::unique_ptr<PhotoEditController> m_controller;
    CFittingCanvasWnd* m_canvas = nullptr;
    wxWindow* m_panel = nullptr;
    wxWindow* m_preview = nullptr;
    wxChoice* m_project = nullptr;
    wxChoice* m_category = nullptr;
    CColorSwatchButton* m_bgCheckSwatch = nullptr;
    wxCheckBox* m_bgCheck = nullptr;
    wxCheckBox* m_materialCheck = nullptr;
    CIconStatic* m_hint = nullptr;
    CIconStatic* m_labelMaterial = nullptr;
    CIconStatic* m_labelCategory = nullptr;
    wxButton* m_makeup = nullptr;
    wxButton* m_pageBack = nullptr;
    wxButton* m_pageForward = nullptr;
    CHoverButton* m_materialMode = nullptr;
    CHoverButton* m_delete = nullptr;
    CTbarButTittleTip m_tip;
    picture_controls::CIconListFile m_iconList;
    bool m_firstPaint = false;
    int m_toolUnder = -1;
    int m_previewPart = -1;
    std::vector<MaterialCell> m_cells;
    int m_firstListed = 0;
    int m_rows = 1;
    bool m_panelLeft = false;
    Point m_panelLast{}, m_panelPress{};
    bool m_panelSampleRequest = false;
    Rect m_canvasRect{}, m_panelRect{}, m_previewRect{}, m_bgRect{};
};

// The entry's dialog: runs it modally without a parent.
void RunPhotoEditDialog(const std::filesystem::path& base);

}  // namespace image_editor
