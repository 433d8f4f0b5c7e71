// The transfer dialog against a server that allows active mode only and
// keeps the temporaries of uploads that died: "网站查询" lists the folder
// without them, the package comes down, and its upload goes up and takes its
// own leftovers away. Driven through the dialog's buttons and list.
#include "transfer/tranzel_dlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/listbox.h>

#include "platform/ui/message_box.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "tests/transfer/window/simulated_click.h"

namespace fs = std::filesystem;
using testsupport::FtpTestServer;
using testsupport::ReadAll;
using testsupport::TempDir;
using transfertest::Click;

namespace {

std::vector<std::string> Shown(wxListBox* list) {
    std::vector<std::string> rows;
    for (unsigned i = 0; i < list->GetCount(); ++i) rows.push_back(list->GetString(i).utf8_string());
    return rows;
}

}  // namespace

TEST(TranzelRemote, AServerWithoutPassiveModeAndStaleTemporaries) {
    TempDir base, remote;
    const fs::path folder = remote / "web" / "DressDLoad2010";
    const auto old = testsupport::PatternBytes(150000);
    const auto fresh = testsupport::PatternBytes(400000 + 1);
    remote.write("web/DressDLoad2010/春装.rar", old);
    for (const char* stale : {".春装.rar.0badc0de.part", ".春装.rar.7e57da7a.part", ".夏装.rar.89abcdef.part"})
        remote.write(fs::path("web/DressDLoad2010") / stale, testsupport::PatternBytes(5000));
    remote.write("web/DressDLoad2010/春装.rar.12345678.part", std::string("a user's file"));  // no leading dot
    base.write("服饰搭配上传数据专区/春装.rar", fresh);
    FtpTestServer server(remote.path(), "shop", "secret", 0, FtpTestServer::Rename::Replace,
                         FtpTestServer::Passive::Refused);
    ASSERT_TRUE(server.running());

    auto* dlg = new CTranzelDlg(nullptr, base.path());
    dlg->SetTimeouts(5, 5);
    dlg->SetTimerPeriod(100);
    const fs::path saveTo = base / "下载" / "春装.rar";
    fs::create_directories(saveTo.parent_path());
    dlg->SetSaveAsk([&](const std::string&) -> std::optional<fs::path> { return saveTo; });
    dlg->Show();
    dlg->Raise();
    testsupport::PumpEvents(200);
    dlg->SetAccount(server.server(), "shop", "secret");
    platform::ui::MessageBoxRecorder boxes;

    // "网站查询": the package and the user's look-alike, no temporaries.
    Click(dlg->queryButton());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(dlg->status(), "网站查询成功!");
    EXPECT_EQ(Shown(dlg->list()), (std::vector<std::string>{"春装.rar", "春装.rar.12345678.part"}));
    testsupport::SaveWindowScreenshot(dlg, testsupport::Screen("tranzel-no-temporaries.png"));

    // "下载" of the package (the server's sorted listing puts it first).
    Click(dlg->list(), wxPoint(30, 8));
    ASSERT_TRUE(dlg->downloadButton()->IsEnabled());
    Click(dlg->downloadButton());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "下载成功！");
    EXPECT_EQ(ReadAll(saveTo), old);

    // "上传" of the package: it replaces the old one and takes its own
    // leftovers with it; another package's and the user's file stay.
    dlg->SetExtension("rar");
    Click(dlg->listLocalButton());
    ASSERT_EQ(dlg->list()->GetCount(), 1u);
    Click(dlg->list(), wxPoint(30, 8));
    ASSERT_TRUE(dlg->uploadButton()->IsEnabled());
    Click(dlg->uploadButton());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->uploadMode() == 0; }, 30000));
    EXPECT_EQ(dlg->status(), "上传成功! ");
    EXPECT_EQ(ReadAll(folder / "春装.rar"), fresh);
    EXPECT_EQ(testsupport::FileNames(folder),
              (std::vector<std::string>{".夏装.rar.89abcdef.part", "春装.rar", "春装.rar.12345678.part"}));

    // The dialog's calls share what the first one learned: passive mode was
    // asked for once, every data connection was active.
    EXPECT_EQ(server.Count("EPSV"), 1);
    EXPECT_EQ(server.Count("PASV"), 1);
    EXPECT_EQ(server.Count("EPRT") + server.Count("PORT"),
              server.Count("LIST") + server.Count("RETR") + server.Count("STOR"));
    EXPECT_GE(server.Count("STOR"), 1);
    dlg->Destroy();
    testsupport::PumpEvents(50);
}
