#pragma once
// CPavanelView: the stage editor, the one view of Pavanel's frame. The part
// gallery, the stage canvas with its tool icon bar, the preview box, the
// buttons, combos, checks and edits, and the links. It opens the series
// project at its initial update, and turns its controls into calls on the
// StageEditor and PartGallery cores; the canvas reports selections with
// message 0x415.
//
// Window thread only. Paints its own areas through Draw(wxDC&).
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <wx/panel.h>

#include "platform/image/picture_cache.h"
#include "platform/ui/messages.h"
#include "project_editor/add_fitting_pics.h"
#include "project_editor/part_gallery.h"
#include "project_editor/stage_editor.h"
#include "project_editor/stage_wnd.h"

class CHyperLink;
class wxChoice;
class wxCheckBox;
class wxTextCtrl;

namespace project_editor {

// Control ids of the form.
enum ViewId : int {
    kIdDemoTable = 1000, kIdBackgroundPicture = 1001, kIdBackgroundColour = 1002, kIdSelect = 1003,
    kIdDelete = 1004, kIdSaveComposition = 1005, kIdFrame = 1006, kIdClearAll = 1007, kIdSmaller = 1008,
    kIdLarger = 1009, kIdForward = 1010, kIdBack = 1011, kIdShowFrame = 1012, kIdPictureName = 1013,
    kIdCaptionText = 1014, kIdCaptionHeight = 1017, kIdAddToStage = 1018, kIdWebPage = 1020,
    kIdAddPictures = 1021, kIdProjectTable = 1022, kIdDisplay = 1024, kIdPageUp = 1025, kIdPageDown = 1026,
    kIdStagePlace = 1027, kIdClearReference = 1028, kIdPlayDemo = 1029, kIdStorePlacement = 1030,
    kIdGalleryAnchor = 1031, kIdLineWidth = 1032, kIdNudgeLeft = 1037, kIdNudgeRight = 1038, kIdNudgeUp = 1039,
    kIdNudgeDown = 1040, kIdNudgeStep = 1041, kIdReferenceAngle = 1042, kIdReferenceScale = 1043,
    kIdPictureType = 1044, kIdLock = 1045, kIdWholeScale = 1054, kIdMoveReference = 1055, kIdLayer = 1072,
    kIdAuto = 1082, kIdInteractive = 1091, kIdSound = 1092, kIdFace = 1093, kIdLink = 1095,
    kIdProcessing = 1116, kIdMarkingMode = 1159,
};

class CPavanelView : public wxPanel, public platform::ui::MessageReceiver {
public:
    explicit CPavanelView(wxWindow* parent);
    ~CPavanelView() override;

    // Takes the base directory, lays the controls out and opens the series
    // project of the settings. The frame calls it once after creation.
    void OnInitialUpdate(const std::filesystem::path& base);
    // The shop and messenger links, again from the settings record.
    void RefreshLinks();

    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    // Paints the view's own areas (gallery, preview, icons, tool bar, labels).
    void Draw(wxDC& dc);
    // Runs a command of the form as its control would.
    void RunCommand(int id);
    // A left press and a release on the view, in client coordinates.
    void LeftDown(wxPoint p);
    void LeftUp(wxPoint p);
    // The mouse wheel over the view.
    void Wheel(bool up);
    // A combo's selection changed (the display combo, the scale combo, ...).
    void ComboSelected(int id, int selection);
    void CheckChanged(int id, bool on);

    // "创建搭配网页" outside processing mode runs this command; Pavanel's main
    // sets it to the web page dialog, which lies above the stage editor.
    static std::function<void(CPavanelView&)>& WebPageCommand();
    const std::filesystem::path& base() const { return m_base; }

    CStageWnd* stage() const { return m_stage; }
    StageEditor& editor() { return *m_editor; }
    PartGallery& gallery() { return *m_gallery; }
    wxWindow* control(int id) const;
    const Rect& frameRect() const { return m_frameRect; }
    // The part the preview box shows (-1 none).
    int previewPart() const { return m_previewPart; }
    // The add-pictures dialog: mode 0 from "加试衣图片", mode 9 from the
    // group icon for the selected part.
    void OpenAddPictures(AddPicturesMode mode);
    // The project dialogs: "项目表" (create or open), "试衣图片参数" in
    // processing mode (the selected part's parameters), "底图片" (a
    // background as reference picture) and the second icon (replace a basic
    // project). Each returns the dialog's result.
    int OpenProjectTable();
    int OpenPartParameters();
    int OpenBackgroundPicture();
    int OpenReplaceBaseProject();
    Rect groupIcon() const { return m_icon1; }
    Rect toolIcon(int i) const;         // icon i (0..7) of the tool bar, view coordinates
    Rect swatchRect() const { return m_swatch; }
    Rect wholeScaleRect() const { return m_wholeScaleLabel; }
    Rect markingModeRect() const { return m_markingLabel; }
    std::string lastMessage() const { return m_lastMessage; }
    // The path the last "存搭配图" wrote.
    const std::filesystem::path& lastComposition() const { return m_lastComposition; }

    // Opens the colour chooser for the caption colour (the swatch's work);
    // `chooser` may be given by tests to see it while it is open.
    void ChooseCaptionColour();
    void ChooseDrawingColour();

private:
    void BuildControls();
    void LayoutControls();
    void FillCombos();
    void FillDisplayCombo();
    void EnableEditing(bool on);
    void EnableSlotCommands();
    void ShowPreview(int part);
    void AfterStageChange(bool galleryToo = false);
    void PickPart(int part);
    void Message(const std::string& text);
    void SaveComposition();
    void PlayVoice();
    void DrawGallery(wxDC& dc);
    // The gallery in view coordinates, on a DC that shows nothing beyond it.
    void PaintGallery(wxDC& dc);
    void DrawToolBar(wxDC& dc);
    void DrawPreview(wxDC& dc);
    void DrawLabels(wxDC& dc);
    bool ChooseColour(wxPoint screen, unsigned& colour);

    void OnPaint(wxPaintEvent&);
    void OnSize(wxSizeEvent&);
    void OnMouse(wxMouseEvent& e);
    void OnWheel(wxMouseEvent& e);
    void OnButton(wxCommandEvent& e);
    void OnChoice(wxCommandEvent& e);
    void OnCheck(wxCommandEvent& e);
    void OnText(wxCommandEvent& e);

    std::filesystem::path m_base;
    platform::image::CachedPictureSizes m_sizes;
    std::unique_ptr<StageEditor> m_editor;
    std::unique_ptr<PartGallery> m_gallery;
    CStageWnd* m_stage = nullptr;
    std::map<int, wxWindow*> m_controls;
    CHyperLink* m_manualLink = nullptr;
    CHyperLink* m_shopLink = nullptr;
    CHyperLink* m_messengerLink = nullptr;

    Rect m_toolBar;
    Rect m_preview;
    Rect m_icon1, m_icon2;
    Rect m_swatch;
    Rect m_fontArea;
    Rect m_wholeScaleLabel;
    Rect m_markingLabel;
    Rect m_layerLabel;
    Rect m_nudgeLabel;
    Rect m_frameRect;
    std::vector<std::pair<Rect, std::string>> m_comboLabels;
    int m_previewPart = -1;
    unsigned m_captionColour = kDefaultCaptionColour;
    std::string m_pictureType = "jpg";
    bool m_processing = false;
    // "加试衣图片" is usable only in processing mode, which starts off.
    bool m_addPicturesOn = false;
    bool m_editing = true;
    int m_busy = 0;
    bool m_ready = false;
    std::string m_lastMessage;
    std::filesystem::path m_lastComposition;
    wxFont m_font;
};

}  // namespace project_editor
