// The transfer dialog under a real X server against a loopback FTP server: a
// package packed by the client's packer goes up, is listed back and comes
// down byte-identical while the loopback graphs move; failures, the settings
// file and the buttons' states around an upload.
#include "transfer/tranzel_dlg.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/time.h>

#include "platform/shell.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "shell/data_package.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/ftp_test_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/user_input.h"
#include "tests/support/window_test_util.h"
#include "tests/transfer/window/simulated_click.h"
#include "transfer/net_traffic_button.h"
#include "transfer/tranzel_texts.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace fs = std::filesystem;
using testsupport::FtpTestServer;
using testsupport::ReadAll;
using testsupport::TempDir;
using transfertest::Click;

namespace {

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
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->uploadMode() == 0; }, 30000));
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
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
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
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }, 30000));
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

// "退出" while a package goes up asks whether to stop it. "否": the upload
// goes on and the dialog stays; "是": it stops, the dialog closes, and the
// shops still find the old package byte for byte. Driven through the
// dialog's own buttons and list.
TEST_F(TranzelDlgTest, ExitDuringAnUploadAsksAndLetsItFinishOrStopsIt) {
    for (const platform::MbResult answer : {platform::MbResult::No, platform::MbResult::Yes}) {
        SCOPED_TRACE(answer == platform::MbResult::No ? "let it finish" : "stop it");
        TempDir site, shop;
        const auto old = testsupport::PatternBytes(20000);
        site.write("web/DressDLoad2010/春装.rar", old);
        const std::vector<unsigned char> fresh(1536 * 1024, answer == platform::MbResult::No ? 'n' : 'y');
        shop.write("服饰搭配上传数据专区/春装.rar", fresh);
        FtpTestServer ftp(site.path(), "shop", "secret", 256 * 1024);  // about six seconds
        ASSERT_TRUE(ftp.running());
        auto* d = new CTranzelDlg(nullptr, shop.path());
        d->SetTimerPeriod(100);
        d->SetTimeouts(5, 5);
        d->Show();
        d->Raise();
        testsupport::PumpEvents(200);
        d->SetAccount(ftp.server(), "shop", "secret");
        d->SetExtension("rar");

        Click(d->listLocalButton());
        ASSERT_EQ(d->list()->GetCount(), 1u);
        Click(d->list(), wxPoint(30, 8));  // the first row
        ASSERT_TRUE(d->uploadButton()->IsEnabled());
        Click(d->uploadButton());
        ASSERT_EQ(d->uploadMode(), 101);
        testsupport::PumpEvents(500);

        platform::ui::MessageBoxRecorder boxes;
        boxes.QueueAnswer(answer);
        Click(d->exitButton());
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text, "文件正在上传, 是否停止上传并退出?\n选“否”则继续上传。");
        EXPECT_EQ(boxes.shown()[0].buttons, platform::MbButtons::YesNo);
        EXPECT_EQ(boxes.shown()[0].icon, platform::MbIcon::Question);
        const fs::path folder = site / "web" / "DressDLoad2010";
        if (answer == platform::MbResult::No) {
            EXPECT_TRUE(d->IsShown());
            EXPECT_EQ(d->uploadMode(), 101);
            ASSERT_TRUE(testsupport::PumpUntil([&] { return d->uploadMode() == 0; }, 30000));
            EXPECT_EQ(d->status(), "上传成功! ");
            EXPECT_TRUE(d->IsShown());
            EXPECT_EQ(ReadAll(folder / "春装.rar"), fresh);
            // Idle now: "退出" closes without a question.
            Click(d->exitButton());
            EXPECT_EQ(boxes.shown().size(), 1u);
            EXPECT_FALSE(d->IsShown());
        } else {
            ASSERT_TRUE(testsupport::PumpUntil([&] { return !d->IsShown(); }, 15000));
            EXPECT_EQ(d->uploadMode(), 0);
            EXPECT_EQ(ReadAll(folder / "春装.rar"), old);
        }
        // Nothing but the package under its name.
        EXPECT_EQ(testsupport::FileNames(folder), std::vector<std::string>{"春装.rar"});
        d->Destroy();
        testsupport::PumpEvents(50);
    }
}

// The real save dialog: a typed name and Return start the download at once
// (the toolkit's pauses before a keyboard-pressed button acts are skipped);
// an existing file is replaced only after the dialog's own question.
TEST_F(TranzelDlgTest, TheSaveDialogsReturnStartsTheDownload) {
    remote.write("web/DressDLoad2010/p.rar", testsupport::PatternBytes(300000));
    ::setenv("GSETTINGS_BACKEND", "memory", 1);  // the chooser's own settings stay in this process
    Open();
    dlg->SetSaveAsk(nullptr);
    dlg->SetAccount(server->server(), "shop", "secret");
    platform::ui::MessageBoxRecorder boxes;  // the result box; the chooser is the real one
    // Typed through the keyboard, so a name the test keyboard can type.
    const fs::path target = base / "down" / "p.rar";
    fs::create_directories(target.parent_path());

    for (const bool replacing : {false, true}) {
        SCOPED_TRACE(replacing ? "over the first download" : "a new file");
        if (replacing) base.write("down/p.rar", std::string("older"));
        Click(dlg->queryButton());
        ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
        ASSERT_EQ(RowOf(*dlg, "p.rar"), 0);
        Click(dlg->list(), wxPoint(30, 8));
        ASSERT_TRUE(dlg->downloadButton()->IsEnabled());
        // The save dialog is modal: the keys go in from a timer inside it.
        // The keys go where the pointer is (no window manager here), so the
        // chooser gets the keyboard and the pointer first; then the name,
        // Return, and for an existing file Return in the chooser's question
        // whether to replace it (its default). A chooser that never answers
        // is cancelled, so that the test ends.
        wxLongLong returned = 0, started = 0;
        static constexpr const char* kChooser = "GtkFileChooserDialog";
        static constexpr const char* kQuestion = "GtkMessageDialog";
        testsupport::XInputScript keys(300, 30000);
        keys.Then([] { return testsupport::FocusDesktopDialog(kChooser); })
            .Do([&] {
                testsupport::XKey('A', wxMOD_CONTROL);
                testsupport::XType(target.string().c_str());
            })
            .Do([&] {
                returned = wxGetLocalTimeMillis();
                testsupport::XKey(WXK_RETURN);
            });
        if (replacing)
            keys.Then([] { return testsupport::FocusDesktopDialog(kQuestion); }).Do([] { testsupport::XKey(WXK_RETURN); });
        keys.Then([] { return !testsupport::DesktopDialogShown(kChooser); });
        keys.onTimeout = [] {
            testsupport::CancelDesktopDialogs(kQuestion);
            testsupport::CancelDesktopDialogs(kChooser);
        };
        wxTimer watch;
        watch.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (!started.GetValue() && dlg->busy()) started = wxGetLocalTimeMillis();
        });
        keys.Start();
        watch.Start(5);
        Click(dlg->downloadButton());
        ASSERT_TRUE(testsupport::PumpUntil([&] { return started.GetValue() && !dlg->busy(); }, 30000));
        EXPECT_FALSE(keys.timedOut()) << "the chooser did not take the name";
        watch.Stop();
        // For the record only (no timing is asserted): about 550 ms went by
        // here before the chooser's pauses were skipped.
        if (!replacing) std::printf("Return to download start: %lld ms\n", (started - returned).GetValue());
        EXPECT_EQ(ReadAll(target), ReadAll(remote / "web" / "DressDLoad2010" / "p.rar"));
        ASSERT_FALSE(boxes.shown().empty());
        EXPECT_EQ(boxes.shown().back().text, "下载成功！");
    }
    EXPECT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(testsupport::FileNames(target.parent_path()), std::vector<std::string>{"p.rar"});
}

// The window carries the program's own icon (resource 128), big and small,
// where the desktop takes it from, not the desktop's default.
TEST_F(TranzelDlgTest, TheWindowCarriesTheProgramIcon) {
    ASSERT_TRUE(testsupport::FixtureExists(platform::ui::ResourceDir() / "icon" / "128.png"));
    wxImage expected;
    ASSERT_TRUE(expected.LoadFile(wxString::FromUTF8((platform::ui::ResourceDir() / "icon" / "128.png").string()),
                                  wxBITMAP_TYPE_PNG));
    Open();
    testsupport::PumpEvents(200);
    const auto icons = testsupport::WindowIcons("Lumora文件上传下载专用工具");
    ASSERT_FALSE(icons.empty());
    std::vector<int> sizes;
    for (const auto& icon : icons) sizes.push_back(icon.width * 1000 + icon.height);
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{16016, 32032}));
    for (const auto& icon : icons) {
        if (icon.width != 32) continue;
        // The big icon is the resource, pixel for pixel where it is opaque.
        int differing = 0, opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const unsigned long p = icon.argb[static_cast<std::size_t>(y * 32 + x)];
                if (!expected.HasAlpha() || expected.GetAlpha(x, y) == 255) {
                    ++opaque;
                    differing += ((p >> 16) & 255) != expected.GetRed(x, y) || ((p >> 8) & 255) != expected.GetGreen(x, y) ||
                                 (p & 255) != expected.GetBlue(x, y);
                }
            }
        EXPECT_GT(opaque, 600);
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(TranzelDlgTest, FailuresAndTheSettingsFile) {
    Open();
    platform::ui::MessageBoxRecorder boxes;

    // A refused login.
    dlg->SetAccount(server->server(), "shop", "wrong");
    dlg->OnQuerySite();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(dlg->status(), "网站查询失败!");
    EXPECT_TRUE(dlg->rows().empty());

    // A missing remote folder: the listing fails; an empty folder clears the
    // old status.
    dlg->SetAccount(server->server(), "shop", "secret");
    dlg->SetSiteFolder("NoSuchFolder");
    dlg->OnQuerySite();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(dlg->status(), "网站查询失败!");
    fs::create_directories(remote / "web" / "Empty");
    dlg->SetSiteFolder("Empty");
    dlg->OnQuerySite();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    EXPECT_EQ(dlg->status(), "");
    Shot(dlg, "failed");

    // A cancelled save dialog, then a download into a folder that does not exist.
    remote.write("web/DressDLoad2010/p.rar", std::string("package"));
    dlg->SetSiteFolder("DressDLoad2010");
    dlg->OnQuerySite();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
    ASSERT_EQ(RowOf(*dlg, "p.rar"), 0);
    dlg->OnSelectList(0);
    dlg->OnDownload();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "请写入文件名！");
    saveTo = base / "no" / "such" / "p.rar";
    dlg->OnSelectList(0);
    dlg->OnDownload();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !dlg->busy(); }));
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
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->uploadMode() == 0; }));
    EXPECT_EQ(dlg->status(), "上传失败! 上传失败!< " + (base / "服饰搭配上传数据专区" / "gone.rar").string() + " >");

    // "记住设置" where the file cannot be written (a folder took its name):
    // the status line says so, and the folder stays.
    const fs::path file = base / "jxClothFtpSet.3ft";
    fs::create_directories(file / "kept");
    Click(dlg->saveSettingsButton());
    EXPECT_EQ(dlg->status(), "设置无法保存: jxClothFtpSet.3ft 是一个文件夹");
    EXPECT_TRUE(fs::is_directory(file / "kept"));
    Shot(dlg, "settings-refused");
    fs::remove_all(file);

    // "记住设置": a private file that the next start reads; the password is
    // nowhere in it as text.
    dlg->SetSiteFolder("DownLoad");
    Click(dlg->saveSettingsButton());
    EXPECT_EQ(dlg->status(), "");  // the refusal is gone with its cause
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
namespace {

// The viewable top-level window of another client with this caption, 0 when
// there is none.
unsigned long ViewableWindowNamed(Display* x, const std::string& caption) {
    const Atom nameAtom = XInternAtom(x, "_NET_WM_NAME", False), utf8 = XInternAtom(x, "UTF8_STRING", False);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    unsigned long found = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &n);
    for (unsigned int i = 0; i < n && !found; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x, children[i], nameAtom, 0, 1024, False, utf8, &type, &format, &items, &after, &data) !=
                Success ||
            !data)
            continue;
        const std::string name(reinterpret_cast<const char*>(data), items);
        XFree(data);
        XWindowAttributes a{};
        if (name == caption && XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable) found = children[i];
    }
    if (children) XFree(children);
    return found;
}

// The clipboard's text, as another program put it there.
std::string ClipboardText() {
    wxTextDataObject text;
    if (!wxTheClipboard->Open()) return "(no clipboard)";
    const bool got = wxTheClipboard->GetData(text);
    wxTheClipboard->Clear();
    wxTheClipboard->Close();
    return got ? text.GetText().utf8_string() : "(nothing copied)";
}

}  // namespace

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
    struct Stop {
        int pid;
        ~Stop() { ::kill(pid, SIGTERM); }
    } stop{pid};

    // Its dialog stands on the screen under its caption.
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    unsigned long dialog = 0;
    const auto shown = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!dialog && std::chrono::steady_clock::now() < shown) {
        dialog = ViewableWindowNamed(x, std::string(transfer::kTranzelCaption));
        if (!dialog) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(dialog, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // painted
    const wxImage screen = testsupport::GrabScreenArea(wxRect(0, 0, 1600, 1000));
    ASSERT_TRUE(screen.IsOk());
    screen.SaveFile(testsupport::Screen("tranzel-program.png"), wxBITMAP_TYPE_PNG);

    // The fields hold what the settings file holds: the keyboard goes to the
    // dialog, whose first field has the focus; each field's text is selected
    // and copied as a user would, and read back from the clipboard. The
    // password field gives nothing to copy, as it should.
    XSetInputFocus(x, static_cast<Window>(dialog), RevertToPointerRoot, CurrentTime);
    XSync(x, False);
    testsupport::DeliverEvents(300);
    auto copied = [](int tabs) {
        for (int i = 0; i < tabs; ++i) testsupport::XKey(WXK_TAB);
        testsupport::DeliverEvents(150);
        testsupport::XKey('A', wxMOD_CONTROL);
        testsupport::XKey('C', wxMOD_CONTROL);
        testsupport::DeliverEvents(300);
        return ClipboardText();
    };
    EXPECT_EQ(copied(0), "ftp.shop.example");
    EXPECT_EQ(copied(1), "shop");
    EXPECT_EQ(copied(3), "DownLoad");  // past the password and "记住设置" to the site folder
    XCloseDisplay(x);
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
    EXPECT_TRUE(lit(58, 3));    // the 40 KB bar reaches the top, beside the name
    EXPECT_TRUE(lit(59, 30));   // the 20 KB bar is half as high
    EXPECT_FALSE(lit(59, 15));
    EXPECT_TRUE(lit(57, 35));   // the 10 KB bar a quarter
    EXPECT_FALSE(lit(57, 25));
    EXPECT_FALSE(lit(50, 35));  // no bar before the first sample
    // The interface's name stays readable: in the tooltip beside the rates
    // after every sample, and on the graph after the value, in its own colour
    // on the background (a long name loses its end to fit).
    EXPECT_EQ(g->GetToolTipText().utf8_string(), "eth0: 20.0 / 40.0 KB/sec");
    auto nameColoured = [&](const wxImage& im, int x0, int x1) {
        int n = 0;
        for (int y = 1; y < 14; ++y)
            for (int x = x0; x < x1; ++x) {
                const int r = im.GetRed(x, y), g = im.GetGreen(x, y), b = im.GetBlue(x, y);
                n += r > 120 && r > g && g > b + 30;  // the name's amber, not the value's pale green
            }
        return n;
    };
    EXPECT_GT(nameColoured(img, 30, 57), 10);
    EXPECT_EQ(nameColoured(img, 0, 30), 0);  // the value's place
    wxFrame* wide = new wxFrame(nullptr, wxID_ANY, "long name");
    auto longSource = []() -> std::optional<std::string> {
        return std::string("  enp0s31f6-with-a-very-long-name: 1 1 0 0 0 0 0 0 1 1 0 0 0 0 0 0\n");
    };
    auto* h = new CNetTrafficButton(wide, 1019, wxPoint(0, 0), wxSize(60, 40), longSource);
    h->Init();
    wxBitmap small(60, 40);
    {
        wxMemoryDC mem(small);
        h->Draw(mem, wxSize(60, 40));
    }
    const wxImage cut = small.ConvertToImage();
    EXPECT_GT(nameColoured(cut, 30, 58), 10);
    EXPECT_EQ(nameColoured(cut, 58, 60), 0);  // cut before the edge
    wide->Destroy();

    g->OnMenuCommand(CNetTrafficButton::kMenuToggle);
    std::unique_ptr<wxMenu> again(g->BuildMenu());
    EXPECT_EQ(again->GetLabelText(CNetTrafficButton::kMenuToggle), "Toggle scaling to global maximum");
    frame->Destroy();
}
