// Two calls of the real download module in one process, through the
// client's binding: the module is not unmapped between them, and the second
// call must read its own request as a first call does, with nothing of the
// first call's request left over. The first request names a page nobody
// serves; the second record holds only its kind and status bytes (a record
// cut short), so a fresh module reads no address and no title from it.
#include <gtest/gtest.h>

#include <filesystem>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

#include "platform/shell.h"
#include "shell/download_record.h"
#include "shell/library_binding.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "transfer/download_dlg.h"

namespace fs = std::filesystem;

namespace {

wxDialog* DownloadDialog() { return dynamic_cast<wxDialog*>(testsupport::FindShownWindow(kDownloadDlgName)); }

struct Seen {
    wxString caption, status;
    int listed = 0;
};

// One call; the dialog is looked at once its fetch has ended (names listed
// or the failure in the status line), then closed with "退  出" through the X server.
Seen CallDownload(const fs::path& modules) {
    Seen seen;
    wxDialog* dlg = nullptr;
    testsupport::XInputScript script(100, 60000);
    script.Then([&] {
        dlg = DownloadDialog();
        if (!dlg) return false;
        auto* status = dynamic_cast<wxStaticText*>(dlg->FindWindow(DownloadDlgWindowId(IDC_DOWNLOAD_STATUS)));
        auto* list = dynamic_cast<wxListCtrl*>(dlg->FindWindow(IDC_DOWNLOAD_LIST));
        if (!status || !list) return false;
        int listed = 0;
        for (int i = 0; i < list->GetItemCount(); ++i) listed += list->GetItemText(i, 1).empty() ? 0 : 1;
        if (listed == 0 && status->GetLabelText() != wxString::FromUTF8("连接网络失败!")) return false;
        seen.caption = dlg->GetTitle();
        seen.status = status->GetLabelText();
        seen.listed = listed;
        return true;
    });
    script.Do([&] {
        testsupport::XPointTo(dlg->FindWindow(IDC_DOWNLOAD_EXIT));
        testsupport::XLeftClick();
    });
    script.onTimeout = [] {
        if (wxDialog* d = DownloadDialog()) d->EndModal(wxID_CANCEL);
    };
    script.Start();
    EXPECT_EQ(shell::RunDownloadLibrary(modules, {}), 9);
    EXPECT_FALSE(script.timedOut());
    return seen;
}

TEST(DownloadSecondCall, TheSecondCallReadsOnlyItsOwnRequest) {
    testsupport::TempDir base;
    fs::create_directories(base / "服饰搭配下载专区");
    testsupport::ScopedCwd cwd(base.path());
    shell::CDLoadRecord client;
    client.SetDirectory(base.path());
    ASSERT_EQ(client.WriteRequest('B', "http://127.0.0.1:9/dressDLoad2010/FittoraProjLst.htm", "第一次下载"), 1);

    const Seen first = CallDownload(platform::ExecutableDir());
    EXPECT_EQ(first.caption, wxString::FromUTF8("第一次下载"));
    EXPECT_EQ(first.status, wxString::FromUTF8("连接网络失败!"));

    // The next request is cut short after its kind and status.
    base.write(fs::path("服饰搭配下载专区") / "fittoraDLoadRec.3if", std::string("B       "));
    const Seen second = CallDownload(platform::ExecutableDir());
    EXPECT_EQ(second.caption, wxString()) << "the first call's title was kept";
    EXPECT_EQ(second.status, wxString::FromUTF8("连接网络失败!"));
    EXPECT_EQ(second.listed, 0);
    // Nothing was answered: the cut record stays as it was.
    EXPECT_EQ(fs::file_size(base / "服饰搭配下载专区" / "fittoraDLoadRec.3if"), 8u);
}

}  // namespace
