#pragma once
// CPicVoiceListDlg: dialog 159 "图片语音列表" — picks a show picture,
// animation picture or sound of the open project by name.
// CBkgPictureDlg: dialog 138 "选背景图" — picks a background picture from a
// gallery of JPEG pictures; in its second mode it converts marked pictures
// to a size. The listing rules are in picture_lists; modal, window thread
// only.
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/dialog.h>

#include "project_editor/picture_lists.h"

class wxButton;
class wxListCtrl;
class wxListEvent;
class wxPanel;
class wxStaticText;
class wxTextCtrl;

namespace project_editor {

enum PictureListId : int {
    kIdPicVoiceListDialog = 159, kIdPicVoiceList = 1112, kIdPicVoiceConfirm = 1113, kIdPicVoicePreview = 1114,
    kIdBkgDialog = 138, kIdBkgGalleryTopLeft = 1033, kIdBkgGalleryBottomRight = 1034, kIdBkgName = 1035,
    kIdBkgConfirm = 1036, kIdBkgWidth = 1098, kIdBkgHeight = 1099, kIdBkgConvert = 1100,
};

// The window side's resizer: decodes, lays the picture on white, scales it
// in memory and saves it as JPEG through a temporary file.
class WxPictureResizer : public PictureResizer {
public:
    bool ResizeToJpeg(const std::filesystem::path& from, const std::filesystem::path& to, int width, int height,
                      std::string& why) override;
};

class CPicVoiceListDlg : public wxDialog {
public:
    explicit CPicVoiceListDlg(wxWindow* parent);

    // Lists "<project folder>/<sub>" with the extension ("*" or ".*" for all).
    void SetList(int kind, const std::string& extension, const std::string& sub);
    // Width and height of the previewed picture (0 when none).
    void GetSelection(int& width, int& height) const;
    // The picked name (title without its last extension), after OK.
    const std::string& result() const { return m_result; }
    const std::vector<std::string>& names() const { return m_names; }
    // Selects a listed row as a click would; then 1113 as its click would.
    void SelectRow(int row);
    void Confirm();
    void DrawPreview(wxDC& dc);

private:
    int m_kind = kListShowPictures;
    std::string m_sub;
    std::filesystem::path m_folder;
    std::vector<std::string> m_names;
    int m_selected = -1;
    std::string m_result;
    wxImage m_picture;
    int m_width = 0;
    int m_height = 0;
    wxListCtrl* m_list = nullptr;
    wxButton* m_confirm = nullptr;
    wxPanel* m_preview = nullptr;
};

class CBkgPictureDlg : public wxDialog {
public:
    // `title` (a folder when set) and `mode` (' ' plain) as SetTitle and
    // SetMode give them before the dialog runs.
    CBkgPictureDlg(wxWindow* parent, const std::string& title = {}, char mode = ' ');

    const std::vector<std::string>& titles() const { return m_listing.titles; }
    const std::filesystem::path& folder() const { return m_listing.folder; }
    // The picked title (plain mode), after OK.
    const std::string& chosen() const { return m_chosen; }
    bool marked(int i) const { return i >= 0 && i < static_cast<int>(m_marks.size()) && m_marks[static_cast<std::size_t>(i)] == 'Y'; }
    // A click on thumbnail i (toggles its mark, or picks it in plain mode).
    void ClickThumbnail(int i);
    // Button 1100 with the sizes typed in 1098 and 1099.
    void Convert();
    void SetSizeTexts(const std::string& width, const std::string& height);
    bool convertEnabled() const;
    // Paints the gallery (its client coordinates) on any DC.
    void DrawGallery(wxDC& dc);
    int ThumbnailAt(wxPoint p) const;
    std::vector<Rect> cells() const;
    const ConvertReport& lastConvert() const { return m_lastConvert; }

private:
    void List();
    const wxBitmap& Thumbnail(int i, int w, int h);

    std::string m_title;
    char m_mode = ' ';
    BackgroundListing m_listing;
    std::vector<char> m_marks;
    std::map<int, wxBitmap> m_thumbs;
    std::string m_chosen;
    int m_hover = -1;
    ConvertReport m_lastConvert;
    wxPanel* m_gallery = nullptr;
    wxStaticText* m_name = nullptr;
    wxTextCtrl* m_width = nullptr;
    wxTextCtrl* m_height = nullptr;
    wxButton* m_convert = nullptr;
    wxButton* m_confirm = nullptr;
};

}  // namespace project_editor
