// The download dialog under a real X server against a loopback server: the
// list, row choices, a download with progress, failures and cancelling.
#include "transfer/download_dlg.h"

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/time.h>

#include "shell/download_record.h"
#include "tests/support/http_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;
using testsupport::HttpTestServer;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

// The fetch of the list page has ended: the caption is the request's title.
bool Settled(CDownloadDlg* d) {
    const wxString t = d->GetTitle();
    return !d->busy() && t != wxString::FromUTF8("正在联接站点....") && t != wxString::FromUTF8("正在连接站点,.....");
}

class DownloadDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        // 春装.rar in GBK, an invalid name, an empty name, then p.rar.
        site.write("dressDLoad2010/FittoraProjLst.htm", std::string("\xB4\xBA\xD7\xB0.rar,../evil.rar,,p.rar\r\n"));
        // The server's own file name is the GBK one the page lists.
        site.write(fs::path("dressDLoad2010") / std::string("\xB4\xBA\xD7\xB0.rar"), testsupport::PatternBytes(40000));
        site.write("dressDLoad2010/p.rar", testsupport::PatternBytes(300000));
        server = std::make_unique<HttpTestServer>(site.path());
        ASSERT_TRUE(server->running());
        shell::ResetDLoadRec();
        shell::DLoadRec().SetDirectory(base.path());
    }
    void TearDown() override {
        if (dlg) dlg->Destroy();
        testsupport::PumpEvents(50);
        shell::ResetDLoadRec();
    }

    void Open(const std::string& listPath) {
        shell::CDLoadRecord client;
        client.SetDirectory(base.path());
        ASSERT_EQ(client.WriteRequest('B', server->url(listPath), "试衣项目下载"), 1);
        dlg = new CDownloadDlg(nullptr, base.path());
        dlg->SetTimeouts(5, 1);
        dlg->Show();
        dlg->InitDialog();
        ASSERT_TRUE(testsupport::PumpUntil([&] { return Settled(dlg); }));
    }
    std::string Status() const { return dlg->statusLine()->GetLabel().utf8_string(); }
    char RecordStatus() const { return static_cast<char>(ReadAll(base / "服饰搭配下载专区" / "fittoraDLoadRec.3if")[1]); }

    TempDir site, base;
    std::unique_ptr<HttpTestServer> server;
    CDownloadDlg* dlg = nullptr;
};

TEST_F(DownloadDlgTest, ListsTheNamesAndDownloadsTheChosenOne) {
    Open("/files/dressDLoad2010/FittoraProjLst.htm");
    EXPECT_EQ(dlg->GetTitle(), wxString::FromUTF8("试衣项目下载"));
    EXPECT_EQ(dlg->parsedCount(), 4);
    ASSERT_EQ(dlg->list()->GetItemCount(), 66);
    EXPECT_EQ(dlg->list()->GetItemText(0, 0), "1");
    EXPECT_EQ(dlg->list()->GetItemText(65, 0), "66");
    EXPECT_EQ(dlg->list()->GetItemText(0, 1), wxString::FromUTF8("春装.rar"));
    EXPECT_EQ(dlg->list()->GetItemText(3, 1), "p.rar");
    EXPECT_EQ(dlg->list()->GetItemText(4, 1), "");
    EXPECT_FALSE(dlg->downloadButton()->IsEnabled());

    // Row choices: a plain name enables the download; an unsafe or empty
    // name, or a row past the list, does not.
    struct Choice {
        int row;
        bool enabled;
        const char* status;
    } choices[] = {{1, false, "文件名无效, 不能下载!"}, {2, false, ""}, {4, false, ""}, {0, true, "春装.rar"}};
    for (const Choice& c : choices) {
        SCOPED_TRACE(c.row);
        dlg->ChooseRow(c.row);
        EXPECT_EQ(dlg->downloadButton()->IsEnabled(), c.enabled);
        EXPECT_EQ(Status(), c.status);
    }

    // A real selection in the list reaches the dialog the same way.
    dlg->list()->SetItemState(3, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                              wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    testsupport::PumpEvents(50);
    EXPECT_EQ(Status(), "p.rar");
    dlg->ChooseRow(0);

    dlg->StartDownload();
    EXPECT_TRUE(dlg->busy());
    EXPECT_FALSE(dlg->downloadButton()->IsEnabled());
    EXPECT_TRUE(dlg->exitButton()->IsEnabled());  // it cancels
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(Status(), "下载成功!");
    EXPECT_EQ(dlg->progress()->GetValue(), 100);
    EXPECT_EQ(ReadAll(base / "服饰搭配下载专区" / "春装.rar"), testsupport::PatternBytes(40000));
    std::string name;
    shell::CDLoadRecord client;
    client.SetDirectory(base.path());
    ASSERT_TRUE(client.ReadResult(&name));
    EXPECT_EQ(name, "春装.rar");
}

TEST_F(DownloadDlgTest, FailuresLeaveTheRequestUnanswered) {
    // The list page is missing.
    Open("/files/dressDLoad2010/nothing.htm");
    EXPECT_EQ(Status(), "连接网络失败!");
    EXPECT_EQ(dlg->parsedCount(), 0);
    EXPECT_EQ(dlg->GetTitle(), wxString::FromUTF8("试衣项目下载"));
    dlg->Destroy();
    dlg = nullptr;

    // The list itself arrives cut short.
    Open("/short/dressDLoad2010/FittoraProjLst.htm");
    EXPECT_EQ(Status(), "连接网络失败!");
    dlg->Destroy();
    dlg = nullptr;

    // The file is missing on the server, then arrives short.
    site.write("dressDLoad2010/short.htm", std::string("p.rar,gone.rar"));
    Open("/cut/dressDLoad2010/short.htm");
    for (int row : {1, 0}) {
        SCOPED_TRACE(row);
        dlg->ChooseRow(row);
        dlg->StartDownload();
        ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
        EXPECT_EQ(Status(), "下载失败!");
        EXPECT_TRUE(dlg->downloadButton()->IsEnabled());  // try again
        EXPECT_EQ(RecordStatus(), ' ');
        EXPECT_FALSE(fs::exists(base / "服饰搭配下载专区" / "gone.rar"));
    }
    // Offline.
    dlg->SetOnlineCheck([](std::string_view) { return false; });
    dlg->StartDownload();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(Status(), "下载失败!");
    EXPECT_EQ(RecordStatus(), ' ');
    dlg->Destroy();
    dlg = nullptr;

    // No request record at all: nothing is fetched.
    fs::remove(base / "服饰搭配下载专区" / "fittoraDLoadRec.3if");
    dlg = new CDownloadDlg(nullptr, base.path());
    dlg->Show();
    dlg->InitDialog();
    testsupport::PumpEvents(100);
    EXPECT_EQ(dlg->GetTitle(), "------");
    EXPECT_EQ(dlg->parsedCount(), 0);
}

TEST_F(DownloadDlgTest, ARowChosenDuringATransferIsTheNextOneDownloaded) {
    site.write("dressDLoad2010/q.rar", testsupport::PatternBytes(1000));
    site.write("dressDLoad2010/two.htm", std::string("p.rar,q.rar"));
    // After a failure the button downloads the row chosen meanwhile.
    Open("/cut/dressDLoad2010/two.htm");
    dlg->ChooseRow(0);
    dlg->StartDownload();
    ASSERT_TRUE(dlg->busy());
    dlg->ChooseRow(1);
    EXPECT_FALSE(dlg->downloadButton()->IsEnabled());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(Status(), "下载失败!");
    EXPECT_TRUE(dlg->downloadButton()->IsEnabled());
    dlg->StartDownload();
    EXPECT_NE(Status().find("/q.rar"), std::string::npos) << Status();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    dlg->Destroy();
    dlg = nullptr;

    // After a success the record names the file that arrived.
    Open("/slow/dressDLoad2010/two.htm");
    dlg->ChooseRow(0);
    dlg->StartDownload();
    dlg->ChooseRow(1);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(Status(), "下载成功!");
    shell::CDLoadRecord client;
    client.SetDirectory(base.path());
    std::string name;
    ASSERT_TRUE(client.ReadResult(&name));
    EXPECT_EQ(name, "p.rar");
    EXPECT_EQ(ReadAll(base / "服饰搭配下载专区" / "p.rar"), testsupport::PatternBytes(300000));
    EXPECT_FALSE(fs::exists(base / "服饰搭配下载专区" / "q.rar"));
}

TEST_F(DownloadDlgTest, ExitCancelsARunningDownload) {
    // Closing while even the list stalls: the dialog goes at once.
    {
        shell::CDLoadRecord client;
        client.SetDirectory(base.path());
        ASSERT_EQ(client.WriteRequest('B', server->url("/hang"), "t"), 1);
        auto* stalled = new CDownloadDlg(nullptr, base.path());
        stalled->SetTimeouts(5, 60);
        stalled->Show();
        stalled->InitDialog();
        ASSERT_TRUE(testsupport::PumpUntil([&] { return stalled->busy(); }));
        testsupport::PumpEvents(200);
        const wxLongLong start = wxGetLocalTimeMillis();
        delete stalled;
        EXPECT_LT(wxGetLocalTimeMillis() - start, 3000);
    }

    shell::CDLoadRecord client;
    client.SetDirectory(base.path());
    site.write("dressDLoad2010/slow.htm", std::string("p.rar"));
    dlg = new CDownloadDlg(nullptr, base.path());
    ASSERT_EQ(client.WriteRequest('B', server->url("/slow/dressDLoad2010/slow.htm"), "t"), 1);
    dlg->Show();
    dlg->InitDialog();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->parsedCount() == 1; }));
    dlg->ChooseRow(0);
    dlg->StartDownload();
    // The dialog keeps handling events while the file arrives.
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->progress()->GetValue() > 0; }));
    EXPECT_LT(dlg->progress()->GetValue(), 100);
    const wxLongLong start = wxGetLocalTimeMillis();
    dlg->RequestClose();
    EXPECT_EQ(Status(), "正在取消下载...");
    EXPECT_FALSE(dlg->exitButton()->IsEnabled());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->IsShown(); }, 5000));
    EXPECT_LT(wxGetLocalTimeMillis() - start, 3000);
    EXPECT_FALSE(dlg->busy());
    EXPECT_EQ(RecordStatus(), ' ');
    // Only the record is left in the download folder: no partial file.
    EXPECT_EQ(std::distance(fs::directory_iterator(base / "服饰搭配下载专区"), fs::directory_iterator()), 1);
}

}  // namespace
