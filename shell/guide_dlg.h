#pragma once
// CDlgGuide: the operation guide, "操作指引": one page picture of
// "服饰搭配使用说明" at a time with previous and next buttons and the page
// number. Opened modally by the main frame's guide command and by the
// fitting room's picture toolbar (it lives in shell_guide, which only needs
// the platform, so the fitting room can link it). UI thread only.
#include <filesystem>
#include <wx/dialog.h>

#include "shell/guide_pages.h"

class wxButton;
class wxStaticText;
class wxWindow;
class wxDC;

class CDlgGuide : public wxDialog {
public:
    enum : int {
        IDD = 167,
        IDC_PAGE_AREA = 1073,
        IDC_PREV_PAGE = 1074,
        IDC_NEXT_PAGE = 1075,
        IDC_PAGE_NUMBER = 1076,
    };

    // `baseDir`: the base directory whose "服饰搭配使用说明" holds the pages.
    CDlgGuide(wxWindow* parent, const std::filesystem::path& baseDir);

    void OnNextPage();
    void OnPrevPage();
    int currentPage() const { return m_pages.current(); }
    wxString pageNumberText() const;

    // Draws a page file into the page area `area` of `dc`: the area filled
    // with 0xDEDEDE, the picture scaled down to fit and centred.
    static void DrawPage(wxDC& dc, const wxRect& area, const std::filesystem::path& file);

private:
    void ShowCurrentPage();

    shell::GuidePages m_pages;
    wxWindow* m_area = nullptr;
    wxStaticText* m_number = nullptr;
};
