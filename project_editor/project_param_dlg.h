#pragma once
// CProjectParamDlg: dialog 162 "设置项目参数" — edits one part of the open
// project: goods texts, price, link, depth, face count and kind, voice,
// scale, and its face media through the media grid and the picture list.
// The work is PartParams; this is its window. Modal, window thread only.
#include <memory>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "platform/ui/messages.h"
#include "project_editor/part_params.h"

class wxChoice;
class wxComboBox;
class wxPanel;
class wxStaticText;
class wxTextCtrl;

namespace project_editor {

class CMediaListGrid;
class CPicVoiceListDlg;

enum ProjectParamId : int {
    kIdProjectParamDialog = 162, kIdMediaGridPlace = 1128, kIdDeletePicture = 1129, kIdSaveExit = 1130,
    kIdParamPreview = 1131, kIdDepth = 1133, kIdShowCount = 1135, kIdFaceType = 1136, kIdWebLink = 1138,
    kIdGoodsName = 1139, kIdGoodsCode = 1140, kIdPrice = 1144, kIdVoice = 1146, kIdScaleChoice = 1157,
};

class CProjectParamDlg : public wxDialog, public platform::ui::MessageReceiver {
public:
    // Edits `part` (the stage editor's selection); it becomes the
    // process-wide current part.
    CProjectParamDlg(wxWindow* parent, int part);
    ~CProjectParamDlg() override;

    std::intptr_t OnPrivateMessage(unsigned id, std::uintptr_t wparam, std::intptr_t lparam) override;

    // Runs a button or combo as the user would (1129, 1130, 1133, 1135,
    // 1136, 1146, 1157).
    void RunCommand(int id);
    // The face-picture pick of a face row, as a click on the grid's "图片列表"
    // cell opens it (tests reach the list dialog through the hook).
    void OpenList();
    static std::function<void(CPicVoiceListDlg&)>& ListDialogHook();

    CMediaListGrid& grid() { return *m_grid; }
    PartParams& params() { return m_params; }
    // old -> new part index after a delete (empty otherwise).
    const std::vector<int>& moves() const { return m_moves; }
    wxWindow* control(int id) const { return FindWindow(id); }
    void DrawPreview(wxDC& dc);

private:
    PartParamTexts ReadTexts() const;
    void OnSaveExit();
    void OnDeletePicture();
    void OnSetAllScales();
    void OnClose();
    void Tell(const std::string& text);

    PartParams m_params;
    std::vector<int> m_moves;
    std::string m_scaleChoice;
    std::string m_voiceExtension = "mp3";
    std::string m_scaleText;
    CMediaListGrid* m_grid = nullptr;
    wxTextCtrl* m_name = nullptr;
    wxTextCtrl* m_code = nullptr;
    wxTextCtrl* m_price = nullptr;
    wxTextCtrl* m_link = nullptr;
    wxComboBox* m_voice = nullptr;
    wxComboBox* m_depth = nullptr;
    wxChoice* m_showCount = nullptr;
    wxChoice* m_type = nullptr;
    wxChoice* m_scale = nullptr;
    wxStaticText* m_scaleLabel = nullptr;
    wxPanel* m_preview = nullptr;
};

}  // namespace project_editor
