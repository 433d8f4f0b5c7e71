// The transfer dialog under a real X server against a loopback FTP server: a
// package packed by the client's packer goes up, is listed back and comes
// down byte-identical while the loopback graphs move; failures, the settings
// file and the buttons' states around an upload.
#include "transfer/tranzel_dlg.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/time.h>

#include "platform/shell.h"
#include "platform/ui/message_box.h"
#include "shell/data_package.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "transfer/net_traffic_button.h"

namespace fs = std::filesystem;
using testsupport::FtpTestServer;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

template <typename F>
bool PumpUntil(F done, int ms = 20000) {
    const wxLongLong end = wxGetLocalTimeMillis() + ms;
    while (!done() && wxGetLocalTimeMillis() < end) testsupport::PumpEvents(20);
    return done();
}

const char* const kProject = "春夏通勤搭配";

// The demo base's project, copied into `base` and packed there by the
// client's own packer; returns the package.
fs::path PackDemoProject(const fs::path& base) {
    const fs::path demo = testsupport::DemoBase();
    fs::create_directories(base / "KZV网页项目文件");
    fs::copy_file(demo / "KZV网页项目文件" / (std::string(kProject) + ".dm3"),
                  base / "KZV网页项目文件" / (std::string(kProject) + ".dm3"));
    fs::copy(demo / kProject, base / kProject, fs::copy_options::recursive);
    shell::CDataPackage packer;
    packer.SetDirectories(base);
    EXPECT_TRUE(packer.Pack(kProject)) << packer.GetLastErrorText();
    return base / "服饰搭配上传数据专区" / (std::string(kProject) + ".rar");
}

int RowOf(const CTranzelDlg& d, const std::string& text) {
    for (std::size_t i = 0; i < d.rows().size(); ++i)
        if (d.rows()[i].text == text) return static_cast<int>(i);
    return -1;
}

void Shot(CTranzelDlg* d, const std::string& name) {
    d->Raise();
    testsupport::PumpEvents(150);
    testsupport::SaveWindowScreenshot(d, testsupport::Screen("tranzel-") + name + ".png");
}

class TranzelDlgTest : public ::testing::Test {
protected:
    void Open(long bytesPerSecond = 0) {
        fs::create_directories(remote / "web" / "DressDLoad2010");
        server = std::make_unique<FtpTestServer>(remote.path(), "shop", "secret", bytesPerSecond);
        ASSERT_TRUE(server->running());
        dlg = new CTranzelDlg(nullptr, base.path());
        dlg->SetTimeouts(5, 5);
        dlg->SetTimerPeriod(100);
        dlg->SetSaveAsk([this](const std::string& name) -> std::optional<fs::path> {
            asked = name;
            if (saveTo.empty()) return std::nullopt;
            return saveTo;
        });
        dlg->Show();
        testsupport::PumpEvents(100);
    }
    void TearDown() override {
        if (dlg) dlg->Destroy();
        testsupport::PumpEvents(50);
    }

    TempDir base, remote;
    std::unique_ptr<FtpTestServer> server;
    CTranzelDlg* dlg = nullptr;
    fs::path saveTo;
    std::string asked;
};

}  // namespace

TEST_F(TranzelDlgTest, PackageGoesUpIsListedAndComesBackWhileTheGraphsMove) {
    const fs::path package = PackDemoProject(base.path());
    ASSERT_TRUE(fs::exists(package));
    Open(32 * 1024);  // throttled, so the download lasts some seconds
    EXPECT_EQ(dlg->GetTitle(), wxString::FromUTF8("Lumora文件上传下载专用工具"));
    EXPECT_FALSE(dlg->uploadButton()->IsEnabled());
    EXPECT_FALSE(dlg->downloadButton()->IsEnabled());
    dlg->SetAccount(server->server(), "shop", "secret");
    EXPECT_TRUE(dlg->passwordEdit()->HasFlag(wxTE_PASSWORD));

    // The graphs follow the loopback interface (listed last), where the
    // transfers of this test run.
    for (int i = 0; i < 3; ++i) {
        CNetTrafficButton* g = dlg->graph(i);
        const int lo = g->traffic().InterfaceCount() - 1;
        ASSERT_GE(lo, 0);
        std::string name;
        g->traffic().GetNetworkInterfaceName(&name, lo);
        EXPECT_EQ(name, "lo");
        g->SetUpdateSpeed(250, 100);
        g->OnMenuCommand(CNetTrafficButton::kMenuInterface + lo);
    }
    EXPECT_EQ(dlg->interfaceText(), "NetTrafficButton using Interface: " + std::to_string(dlg->graph(0)->interfaceIndex()));
    Shot(dlg, "start");

    dlg->SetExtension("RAR");
    dlg->OnListLocal();
    ASSERT_EQ(dlg->rows().size(), 1u);
    EXPECT_EQ(dlg->list()->GetString(0), wxString::FromUTF8(kProject));
    dlg->list()->SetSelection(0);
    dlg->OnSelectList(0);
    EXPECT_TRUE(dlg->uploadButton()->IsEnabled());
    EXPECT_FALSE(dlg->serverEdit()->IsEnabled());

    dlg->OnUpload();
    EXPECT_EQ(dlg->uploadMode(), 101);
    EXPECT_EQ(dlg->status(), "正在上传 < " + package.string() + " >");
    EXPECT_FALSE(dlg->uploadButton()->IsEnabled());
    EXPECT_FALSE(dlg->queryButton()->IsEnabled());
    // A right click while the upload runs enables the server controls only.
    dlg->OnRButtonDown();
    EXPECT_FALSE(dlg->uploadButton()->IsEnabled());
    EXPECT_FALSE(dlg->queryButton()->IsEnabled());
    testsupport::PumpEvents(600);
    Shot(dlg, "uploading");
    ASSERT_TRUE(PumpUntil([&] { return dlg->uploadMode() == 0; }, 30000));
    EXPECT_EQ(dlg->status(), "上传成功! ");
    EXPECT_TRUE(dlg->uploadButton()->IsEnabled());
    EXPECT_TRUE(dlg->queryButton()->IsEnabled());
    const fs::path uploaded = remote / "web" / "DressDLoad2010" / (std::string(kProject) + ".rar");
    EXPECT_EQ(ReadAll(uploaded), ReadAll(package));
    EXPECT_GT(dlg->graph(0)->history().maximum(), 0);  // the graph moved
    EXPECT_GT(dlg->graph(1)->history().maximum(), 0);
    EXPECT_GT(dlg->graph(2)->history().maximum(), 0);

    // The upload went into the loopback buffers at once; choosing the
    // interface again starts fresh histories for the download.
    for (int i = 0; i < 3; ++i) dlg->graph(i)->OnMenuCommand(CNetTrafficButton::kMenuInterface + dlg->graph(i)->interfaceIndex());
    fs::create_directories(remote / "web" / "DressDLoad2010" / "旧项目");
    dlg->OnQuerySite();
    ASSERT_TRUE(PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(dlg->status(), "网站查询成功!");
    EXPECT_EQ(dlg->listingMode(), 2);
    const int row = RowOf(*dlg, std::string(kProject) + ".rar");
    ASSERT_GE(row, 0);
    ASSERT_GE(RowOf(*dlg, "[旧项目]"), 0);
    Shot(dlg, "remote");

    // The folder row cannot be downloaded.
    {
        platform::ui::MessageBoxRecorder boxes;
        dlg->OnSelectList(RowOf(*dlg, "[旧项目]"));
        dlg->OnDownload();
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text, "不能下载目录!\n请重选!");
        EXPECT_EQ(boxes.shown()[0].icon, platform::MbIcon::Stop);
    }

    // The package comes back over an older file of the same name.
    saveTo = base / "下载" / (std::string(kProject) + ".rar");
    base.write(fs::path("下载") / (std::string(kProject) + ".rar"), std::string("older"));
    dlg->list()->SetSelection(row);
    dlg->OnSelectList(row);
    EXPECT_TRUE(dlg->downloadButton()->IsEnabled());
    EXPECT_FALSE(dlg->uploadButton()->IsEnabled());
    platform::ui::MessageBoxRecorder boxes;
    dlg->OnDownload();
    EXPECT_EQ(asked, std::string(kProject) + ".rar");
    EXPECT_FALSE(dlg->queryButton()->IsEnabled());
    testsupport::PumpEvents(3000);
    Shot(dlg, "downloading");
    ASSERT_TRUE(PumpUntil([&] { return !dlg->busy(); }, 30000));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "下载成功！");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MbIcon::Information);
    EXPECT_EQ(ReadAll(saveTo), ReadAll(package));
    EXPECT_EQ(std::distance(fs::directory_iterator(saveTo.parent_path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(dlg->downloadButton()->IsEnabled());
    EXPECT_TRUE(dlg->uploadButton()->IsEnabled());
    EXPECT_TRUE(dlg->serverEdit()->IsEnabled());
    Shot(dlg, "downloaded");

    // The total graph, drawn on a memory bitmap four times its size.
    CNetTrafficButton* g = dlg->graph(0);
    const wxSize size = g->GetClientSize();
    wxBitmap bmp(size);
    {
        wxMemoryDC mem(bmp);
        g->Draw(mem, size);
    }
    bmp.ConvertToImage().Scale(size.x * 4, size.y * 4).SaveFile(testsupport::Screen("tranzel-graph.png"), wxBITMAP_TYPE_PNG);
}

TEST_F(TranzelDlgTest, FailuresAndTheSettingsFile) {
    Open();
    platform::ui::MessageBoxRecorder boxes;

    // A refused login.
    dlg->SetAccount(server->server(), "shop", "wrong");
    dlg->OnQuerySite();
    ASSERT_TRUE(PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(dlg->status(), "网站查询失败!");
    EXPECT_TRUE(dlg->rows().empty());

    // A missing remote folder: the listing fails; an empty folder clears the
    // old status.
    dlg->SetAccount(server->server(), "shop", "secret");
    dlg->SetSiteFolder("NoSuchFolder");
    dlg->OnQuerySite();
    ASSERT_TRUE(PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(dlg->status(), "网站查询失败!");
    fs::create_directories(remote / "web" / "Empty");
    dlg->SetSiteFolder("Empty");
    dlg->OnQuerySite();
    ASSERT_TRUE(PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(dlg->status(), "");
    Shot(dlg, "failed");

    // A cancelled save dialog, then a download into a folder that does not exist.
    remote.write("web/DressDLoad2010/p.rar", std::string("package"));
    dlg->SetSiteFolder("DressDLoad2010");
    dlg->OnQuerySite();
    ASSERT_TRUE(PumpUntil([&] { return !dlg->busy(); }));
    ASSERT_EQ(RowOf(*dlg, "p.rar"), 0);
    dlg->OnSelectList(0);
    dlg->OnDownload();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "请写入文件名！");
    saveTo = base / "no" / "such" / "p.rar";
    dlg->OnSelectList(0);
    dlg->OnDownload();
    ASSERT_TRUE(PumpUntil([&] { return !dlg->busy(); }));
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].text, "下载失败！");
    EXPECT_EQ(boxes.shown()[1].icon, platform::MbIcon::Stop);

    // An upload of a package that is gone fails and names it.
    base.write("服饰搭配上传数据专区/gone.rar", std::string("x"));
    dlg->SetExtension("rar");
    dlg->OnListLocal();
    ASSERT_EQ(dlg->rows().size(), 1u);
    fs::remove(base / "服饰搭配上传数据专区" / "gone.rar");
    dlg->OnSelectList(0);
    dlg->OnUpload();
    ASSERT_TRUE(PumpUntil([&] { return dlg->uploadMode() == 0; }));
    EXPECT_EQ(dlg->status(), "上传失败! 上传失败!< " + (base / "服饰搭配上传数据专区" / "gone.rar").string() + " >");

    // "记住设置": a private file that the next start reads; the password is
    // nowhere in it as text.
    dlg->SetSiteFolder("DownLoad");
    EXPECT_EQ(dlg->OnSaveSettings(), 1);
    const fs::path file = base / "jxClothFtpSet.3ft";
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const auto bytes = ReadAll(file);
    EXPECT_EQ(bytes.size(), 524u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("secret"), std::string::npos);
    dlg->Destroy();
    dlg = new CTranzelDlg(nullptr, base.path());
    EXPECT_EQ(dlg->settings().server, server->server());
    EXPECT_EQ(dlg->settings().password, "secret");
    EXPECT_EQ(dlg->settings().siteFolder, "DownLoad");
    EXPECT_EQ(dlg->serverEdit()->GetValue().utf8_string(), server->server());
    EXPECT_EQ(dlg->passwordEdit()->GetValue().utf8_string(), "secret");  // shown masked only
    EXPECT_TRUE(dlg->passwordEdit()->HasFlag(wxTE_PASSWORD));
}

// The client's "上传试衣文件" starts the program from its own folder, in the
// same working directory; the program shows its dialog with the account of
// the settings file found there.
TEST(TranzelProgram, StartsAsTheClientStartsIt) {
    TempDir base;
    ASSERT_EQ(transfer::WriteFtpSettings(base / "jxClothFtpSet.3ft", {"ftp.shop.example", "shop", "secret", "DownLoad"}), 1);
    base.write("服饰搭配上传数据专区/春装.rar", std::string("x"));
    const fs::path program = platform::ExecutableDir() / "Tranzel";
    ASSERT_TRUE(fs::exists(program));
    int pid = -1;
    {
        testsupport::ScopedCwd cwd(base.path());
        std::string error;
        ASSERT_TRUE(platform::StartSiblingProgram("Tranzel", &error)) << error;
    }
    // The started process: our program, in the base directory.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid < 0 && std::chrono::steady_clock::now() < end) {
        for (const auto& e : fs::directory_iterator("/proc")) {
            const std::string n = e.path().filename().string();
            if (n.find_first_not_of("0123456789") != std::string::npos) continue;
            std::error_code ec;
            if (fs::read_symlink(e.path() / "exe", ec) == program && fs::read_symlink(e.path() / "cwd", ec) == base.path())
                pid = std::stoi(n);
        }
        if (pid < 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    const wxImage screen = testsupport::GrabScreenArea(wxRect(0, 0, 1600, 1000));
    ::kill(pid, SIGTERM);
    ASSERT_TRUE(screen.IsOk());
    // Nothing else is on this display now: the program's dialog is what is not black.
    int lit = 0;
    for (int y = 0; y < screen.GetHeight(); y += 8)
        for (int x = 0; x < screen.GetWidth(); x += 8)
            lit += screen.GetRed(x, y) + screen.GetGreen(x, y) + screen.GetBlue(x, y) > 0;
    EXPECT_GT(lit, 1000);
    screen.SaveFile(testsupport::Screen("tranzel-program.png"), wxBITMAP_TYPE_PNG);
}

// The graph button over recorded snapshots: its menu, and bars drawn from the
// bottom at the right edge, the newest last.
TEST(NetTrafficButton, MenuAndBarsFromRecordedSnapshots) {
    auto counter = std::make_shared<unsigned long long>(0);
    auto source = [counter]() -> std::optional<std::string> {
        char buf[256];
        std::snprintf(buf, sizeof buf,
                      "    lo: 5242880 1 0 0 0 0 0 0 5242880 1 0 0 0 0 0 0\n"
                      "  eth0: %llu 1 0 0 0 0 0 0 0 1 0 0 0 0 0 0\n",
                      *counter);
        return std::string(buf);
    };
    auto* frame = new wxFrame(nullptr, wxID_ANY, "graph");
    auto* g = new CNetTrafficButton(frame, 1018, wxPoint(0, 0), wxSize(60, 40), source);
    g->SetTrafficType(1);
    g->Init();
    EXPECT_EQ(g->history().samples().size(), 61u);

    std::unique_ptr<wxMenu> menu(g->BuildMenu());
    EXPECT_EQ(menu->GetLabelText(CNetTrafficButton::kMenuCurrent), "eth0 : 0.0 MB");
    EXPECT_EQ(menu->GetLabelText(CNetTrafficButton::kMenuInterface + 1), "lo : 5.0 MB");
    EXPECT_EQ(menu->GetLabelText(CNetTrafficButton::kMenuToggle), "Toggle scaling to local maximum");

    // Samples: 10 KB, then 40 KB, then 20 KB per second.
    for (unsigned long long step : {10240ull, 40960ull, 20480ull}) {
        *counter += step;
        g->Sample();
    }
    EXPECT_EQ(g->history().maximum(), 40960.0);
    wxBitmap bmp(60, 40);
    {
        wxMemoryDC mem(bmp);
        g->Draw(mem, wxSize(60, 40));
    }
    const wxImage img = bmp.ConvertToImage();
    auto lit = [&](int x, int y) { return img.GetGreen(x, y) > 150 && img.GetRed(x, y) < 50; };
    // Bar heights 10, 40, 20 of 38 pixels: columns 57, 58, 59.
    EXPECT_TRUE(lit(58, 3));    // the 40 KB bar reaches the top
    EXPECT_TRUE(lit(59, 30));   // the 20 KB bar is half as high
    EXPECT_FALSE(lit(59, 15));
    EXPECT_TRUE(lit(57, 35));   // the 10 KB bar a quarter
    EXPECT_FALSE(lit(57, 25));
    EXPECT_FALSE(lit(50, 35));  // no bar before the first sample
    g->OnMenuCommand(CNetTrafficButton::kMenuToggle);
    std::unique_ptr<wxMenu> again(g->BuildMenu());
    EXPECT_EQ(again->GetLabelText(CNetTrafficButton::kMenuToggle), "Toggle scaling to global maximum");
    frame->Destroy();
}
