#pragma once
// CDlgReplaceCloth: "替换或添加服装项目". The user browses a folder of PNG
// pictures as thumbnails, picks one and replaces the current garment's
// picture with it; the garment's scale changes so that the new picture shows
// at the old one's width, and the stage shows it at its own proportions.
//
// Window thread only. The folder browsed is kept between openings.
#include <filesystem>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "fitting_room/replace_cloth_rules.h"

class wxPanel;

class CDlgReplaceCloth : public wxDialog {
public:
    explicit CDlgReplaceCloth(wxWindow* parent);

    // The folder browsed ("" until one was chosen: the base directory).
    static std::filesystem::path& Folder();

    // Lists the folder again and repaints.
    void ListFolder();
    // A click in the thumbnail area (its client coordinates).
    void ClickThumbs(wxPoint p);
    void PageBack();
    void PageForward();
    // "替换同类图片": true when the picture was replaced (the dialog ends with OK).
    bool Replace();
    // Makes a file the source (as the folder button does after its dialog).
    void ChooseFile(const std::filesystem::path& file);

    const std::filesystem::path& target() const { return m_target; }
    const std::filesystem::path& source() const { return m_source; }
    float scale() const { return m_scale; }
    const std::vector<std::string>& names() const { return m_names; }
    int pageStart() const { return m_pageStart; }
    wxPanel* thumbs() const { return m_thumbs; }
    fitting_room::ThumbGrid Grid() const;

private:
    void PaintThumbs(wxDC& dc);
    void PaintPreview(wxDC& dc, wxPanel* panel, const std::filesystem::path& picture);
    void OnChooseFolder();

    std::filesystem::path m_target;
    std::filesystem::path m_source;
    float m_scale = 1.0f;
    std::vector<std::string> m_names;
    int m_pageStart = 0;
    wxPanel* m_thumbs = nullptr;
    wxPanel* m_targetView = nullptr;
    wxPanel* m_sourceView = nullptr;
};
