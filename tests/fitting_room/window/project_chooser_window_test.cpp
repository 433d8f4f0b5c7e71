// The project chooser under a real X server: mode 0 opened right of a point,
// the web project picked with the mouse and opened; a room background
// previewed and chosen; and "构建网上供客户下载的文件" from the client's menu:
// a project picked and packed, the package read back whole by a reader of the
// package layout written here, and the message the user sees. Screens go to
// screens/fitting-frame-chooser*.png.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iconv.h>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/image.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/timer.h>

#include "controls/grid_ctrl.h"
#include "fitting_room/project_chooser.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "project_editor/project_file.h"
#include "shell/base_directory.h"
#include "shell/client_shell.h"
#include "shell/data_package.h"
#include "shell/deferred_request.h"
#include "shell/main_frame.h"
#include "shell/pack_chooser_hook.h"
#include "shell/sys_info.h"
#include "tests/fitting_room/window/chooser_driver.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"
#include "tests/support/user_input.h"

namespace fs = std::filesystem;
using namespace fitting_room;
using testsupport::ReadAll;
using testsupport::TempDir;
using choosertest::ChooserDriver;

namespace {

std::vector<unsigned char> Bytes(int seed, std::size_t size) {
    std::vector<unsigned char> b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<unsigned char>(i * 7 + static_cast<std::size_t>(seed) * 31);
    return b;
}

std::vector<unsigned char> ProjectBytes(const char* part) {
    auto project = std::make_unique<project_editor::ProjectFile>();
    project->SetPartCount(1);
    project->parts[0].SetName(part);
    const auto bytes = project_editor::WriteProjectBytes(*project);
    return {bytes.begin(), bytes.end()};
}

void SaveJpeg(const fs::path& p, int w, int h, int tone) {
    wxImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetRGB(x, y, 200 - y * 80 / h, 150 + tone, 90 + x * 120 / w);
    fs::create_directories(p.parent_path());
    ASSERT_TRUE(img.SaveFile(wxString::FromUTF8(p.string()), wxBITMAP_TYPE_JPEG));
}

// Three web projects, one with its folder of pictures, sounds and show
// pictures; room and platform backgrounds.
void MakeBase(const TempDir& base) {
    const fs::path web = "KZV网页项目文件";
    base.write(web / "春季新款.dm3", ProjectBytes("红色上衣"));
    base.write(web / "网页试衣项目.dm3", ProjectBytes("蓝色长裙"));
    base.write(web / "秋装.dm3", ProjectBytes("风衣"));
    const fs::path p = fs::path("服饰搭配自定试衣项目") / "春季新款";
    base.write(p / "试衣及按钮图片" / "红色上衣.png", Bytes(1, 23000));
    base.write(p / "试衣及按钮图片" / "按钮A.png", Bytes(2, 900));
    base.write(p / "试衣及按钮图片" / "空白.png", std::vector<unsigned char>{});
    base.write(p / "音乐及语音" / "欢迎.wav", Bytes(3, 4100));
    base.write(p / "展示及说明图片" / "说明.jpg", Bytes(4, 12345));
    fs::create_directories(base / "服饰搭配上传数据专区");
    SaveJpeg(base / "服饰搭配背景图" / "试衣间背景图.jpg", 460, 520, 0);
    SaveJpeg(base / "服饰搭配背景图" / "试衣间背景图海边.jpg", 800, 500, 60);
    SaveJpeg(base / "服饰搭配背景图" / "试衣平台背景.jpg", 800, 600, 30);
}

std::string Screen(const char* name) { return (testsupport::ScreensDir() / name).string(); }

class ProjectChooserWindow : public ::testing::Test {
protected:
    void SetUp() override {
        MakeBase(base);
        parent = new wxFrame(nullptr, wxID_ANY, "room", wxPoint(0, 0), wxSize(1200, 800));
        parent->Show();
        testsupport::PumpEvents(150);
    }
    void TearDown() override {
        parent->Destroy();
        testsupport::PumpEvents(50);
    }
    ChooserResult Run(ChooserMode mode, int x, int y, ChooserDriver& driver) {
        ChooserRequest request;
        request.mode = mode;
        request.x = x;
        request.y = y;
        request.base = base.path();
        const ChooserResult r = RunProjectChooser(parent, request);
        EXPECT_FALSE(driver.timedOut);
        return r;
    }
    TempDir base;
    wxFrame* parent = nullptr;
};

TEST_F(ProjectChooserWindow, PickingTheWebProjectInMode0) {
    ChooserDriver driver("网页试衣项目", 1007, Screen("fitting-frame-chooser.png"));
    driver.probeWrongTag = true;
    const ChooserResult r = Run(ChooserMode::Project, 900, 60, driver);
    EXPECT_FALSE(driver.seen.openEnabledByWrongTag);
    EXPECT_EQ(driver.seen.chosenByWrongTag, "");
    EXPECT_EQ(driver.seen.caption, wxString::FromUTF8("自选试衣项目"));
    EXPECT_EQ(driver.seen.rows, (std::vector<std::string>{"春季新款", "秋装", "网页试衣项目"}));
    EXPECT_EQ(driver.seen.rect.GetRight() + 1, 900);  // right edge at x
    EXPECT_EQ(driver.seen.rect.GetTop(), 60);
    EXPECT_FALSE(driver.seen.openEnabledBefore);  // nothing chosen yet
    EXPECT_TRUE(driver.seen.openEnabledAfter);
    EXPECT_EQ(driver.seen.openLabel, wxString::FromUTF8("打开"));
    EXPECT_EQ(driver.seen.chosenText, wxString::FromUTF8("网页试衣项目"));
    EXPECT_FALSE(driver.seen.transparentShown);
    EXPECT_EQ(r.outcome, ChooserOutcome::Project);
    EXPECT_EQ(r.name, "网页试衣项目");

    // Closing without opening leaves everything as it was.
    ChooserDriver cancel("秋装", wxID_CANCEL, "");
    EXPECT_EQ(Run(ChooserMode::Project, 900, 60, cancel).outcome, ChooserOutcome::Cancelled);
    EXPECT_TRUE(cancel.pressed);
}

TEST_F(ProjectChooserWindow, ARoomBackgroundIsPreviewedAndChosen) {
    ChooserDriver driver("试衣间背景图海边", 1007, Screen("fitting-frame-chooser-background.png"));
    const ChooserResult r = Run(ChooserMode::RoomBackground, 120, 70, driver);
    EXPECT_EQ(driver.seen.caption, wxString::FromUTF8("试衣间背景图"));
    EXPECT_EQ(driver.seen.rows, (std::vector<std::string>{"试衣间背景图", "试衣间背景图海边"}));
    EXPECT_EQ(driver.seen.rect.GetTopLeft(), wxPoint(120, 70));
    EXPECT_TRUE(driver.seen.transparentShown);
    EXPECT_EQ(r.outcome, ChooserOutcome::RoomBackground);
    EXPECT_EQ(r.path, base / "服饰搭配背景图" / "试衣间背景图海边.jpg");

    ChooserDriver transparent("试衣间背景图", 1008, "");
    const ChooserResult t = Run(ChooserMode::RoomBackground, 120, 70, transparent);
    EXPECT_EQ(t.outcome, ChooserOutcome::TransparentBackground);
    EXPECT_EQ(t.name, "kzv_透明试衣间背景");

    ChooserDriver platformPick("试衣平台背景", 1007, "");
    const ChooserResult p = Run(ChooserMode::PlatformBackground, 120, 70, platformPick);
    EXPECT_FALSE(platformPick.seen.transparentShown);
    EXPECT_EQ(p.outcome, ChooserOutcome::PlatformBackground);
    EXPECT_EQ(p.path, base / "服饰搭配背景图" / "试衣平台背景.jpg");
}

// ---- a reader of the package layout, on its own ----

std::int32_t I32(const std::vector<unsigned char>& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return static_cast<std::int32_t>(v);
}

struct ReadEntry {
    char kind;
    std::string nameGbk;
    std::vector<unsigned char> data;
};

// Header at 0 (magic "Aa ", name at 14, count 196, directory 200, pool 204,
// pool size 208), 32-byte entries (kind, name length, size at 8, data offset
// at 12, pool offset at 16), names in the pool unterminated.
bool ReadPackage(const std::vector<unsigned char>& b, std::string* packageName, std::vector<ReadEntry>* out) {
    if (b.size() < 316 || b[0] != 'A' || b[1] != 'a' || b[2] != ' ') return false;
    *packageName = std::string(reinterpret_cast<const char*>(&b[14]));
    const std::int32_t count = I32(b, 196), dir = I32(b, 200), pool = I32(b, 204), poolSize = I32(b, 208);
    if (count < 1 || dir < 316 || static_cast<std::size_t>(dir) + static_cast<std::size_t>(count) * 32 > b.size())
        return false;
    if (pool != dir + count * 32 || static_cast<std::size_t>(pool) + static_cast<std::size_t>(poolSize) != b.size())
        return false;
    std::int64_t next = 316;  // data back to back from the header on
    for (std::int32_t i = 0; i < count; ++i) {
        const std::size_t e = static_cast<std::size_t>(dir) + static_cast<std::size_t>(i) * 32;
        const auto nameLength = static_cast<signed char>(b[e + 1]);
        const std::int32_t size = I32(b, e + 8), offset = I32(b, e + 12), nameAt = I32(b, e + 16);
        if (offset != next || size < 0 || offset + size > dir || nameLength <= 0 || nameAt < 0 ||
            nameAt + nameLength > poolSize)
            return false;
        next += size;
        ReadEntry entry;
        entry.kind = static_cast<char>(b[e]);
        entry.nameGbk.assign(reinterpret_cast<const char*>(&b[static_cast<std::size_t>(pool + nameAt)]),
                             static_cast<std::size_t>(nameLength));
        entry.data.assign(b.begin() + offset, b.begin() + offset + size);
        out->push_back(std::move(entry));
    }
    return next == dir;
}

std::string Gbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    std::string in = utf8, out(utf8.size() * 2 + 4, '\0');
    char* ip = in.data();
    char* op = out.data();
    std::size_t il = in.size(), ol = out.size();
    iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    out.resize(out.size() - ol);
    return out;
}

class BuildForDownloadCommand : public ::testing::Test {
protected:
    void SetUp() override {
        MakeBase(base);
        shell::ResetDeferred();
        shell::ResetSysInfo();
        shell::ResetDataPackage();
        shell::SetBaseDirectory(base.path());
        shell::SetPackChooser([](wxWindow* parent) { return RunPackChooser(parent); });
        frame = client.Start();
        ASSERT_NE(frame, nullptr);
        frame->ShowMaximised();
        testsupport::PumpEvents(200);
    }
    void TearDown() override {
        if (frame) frame->Destroy();
        testsupport::PumpEvents(50);
        shell::SetPackChooser({});
        shell::ResetDeferred();
    }
    TempDir base;
    ClientShell client;
    CMainFrame* frame = nullptr;
};

TEST_F(BuildForDownloadCommand, PacksThePickedProjectAndSaysWhere) {
    EXPECT_TRUE(frame->GetMenuBar()->IsEnabled(MenuItemId(ID_BUILD_DOWNLOAD_FILES)));
    platform::ui::MessageBoxRecorder boxes;
    ChooserDriver driver("春季新款", 1007, Screen("fitting-frame-chooser-pack.png"));
    frame->RunCommand(ID_BUILD_DOWNLOAD_FILES);
    EXPECT_FALSE(driver.timedOut);
    EXPECT_EQ(driver.seen.openLabel, wxString::FromUTF8("开始构建"));

    const fs::path package = base / "服饰搭配上传数据专区" / "春季新款.rar";
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "网上供客户下载的文件已构建: " + package.string());
    EXPECT_EQ(boxes.shown()[0].icon, platform::MbIcon::Information);

    std::string name;
    std::vector<ReadEntry> entries;
    ASSERT_TRUE(ReadPackage(ReadAll(package), &name, &entries));
    EXPECT_EQ(name, Gbk("春季新款"));
    // The project file first, then each folder's files in name order; the
    // empty picture has no data to carry.
    const fs::path p = base / "服饰搭配自定试衣项目" / "春季新款";
    struct Want {
        char kind;
        std::string name;
        fs::path file;
    };
    const std::vector<Want> want = {
        {'H', "春季新款", base / "KZV网页项目文件" / "春季新款.dm3"},
        {'A', "按钮A.png", p / "试衣及按钮图片" / "按钮A.png"},
        {'A', "空白.png", p / "试衣及按钮图片" / "空白.png"},
        {'A', "红色上衣.png", p / "试衣及按钮图片" / "红色上衣.png"},
        {'B', "欢迎.wav", p / "音乐及语音" / "欢迎.wav"},
        {'C', "说明.jpg", p / "展示及说明图片" / "说明.jpg"},
    };
    std::map<std::string, const ReadEntry*> byName;
    for (const ReadEntry& e : entries) byName[e.nameGbk] = &e;
    ASSERT_EQ(entries.size(), want.size());
    EXPECT_EQ(entries[0].kind, 'H');
    for (const Want& w : want) {
        SCOPED_TRACE(w.name);
        const auto it = byName.find(Gbk(w.name));
        ASSERT_NE(it, byName.end());
        EXPECT_EQ(it->second->kind, w.kind);
        EXPECT_EQ(it->second->data, ReadAll(w.file));
    }
}

// The series project of the demo base, as a user of `make run` packs it:
// every file of its three folders (its voices among them) comes back whole.
TEST_F(BuildForDownloadCommand, PacksTheDemoSeriesProjectWithItsVoices) {
    const std::string project = "2010秋冬女装";
    const fs::path demo = testsupport::DemoBase();
    ASSERT_TRUE(testsupport::FixtureExists(demo / "KZV网页项目文件" / (project + ".dm3")));
    fs::copy(demo, base.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    platform::ui::MessageBoxRecorder boxes;
    ChooserDriver driver(project, 1007, "");
    frame->RunCommand(ID_BUILD_DOWNLOAD_FILES);
    EXPECT_FALSE(driver.timedOut);
    const fs::path package = base / "服饰搭配上传数据专区" / (project + ".rar");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "网上供客户下载的文件已构建: " + package.string());

    std::string name;
    std::vector<ReadEntry> entries;
    ASSERT_TRUE(ReadPackage(ReadAll(package), &name, &entries));
    EXPECT_EQ(name, Gbk(project));
    std::map<std::string, std::pair<char, std::vector<unsigned char>>> want;
    want[Gbk(project)] = {'H', ReadAll(base / "KZV网页项目文件" / (project + ".dm3"))};
    const std::pair<const char*, char> folders[] = {{"试衣及按钮图片", 'A'}, {"音乐及语音", 'B'}, {"展示及说明图片", 'C'}};
    for (const auto& [folder, kind] : folders)
        for (const auto& e : fs::directory_iterator(base / project / folder))
            want[Gbk(e.path().filename().string())] = {kind, ReadAll(e.path())};
    ASSERT_EQ(entries.size(), want.size());
    for (const ReadEntry& e : entries) {
        const auto it = want.find(e.nameGbk);
        ASSERT_NE(it, want.end());
        EXPECT_EQ(e.kind, it->second.first);
        EXPECT_EQ(e.data, it->second.second);
    }
    ASSERT_TRUE(want.count(Gbk("开衫介绍.wav")));
    EXPECT_EQ(want[Gbk("开衫介绍.wav")].first, 'B');
}

// The pack chooser driven through the X server as a user does: a row clicked,
// another reached with the arrow keys, "开始构建" clicked. The row the keys
// reached is the one packed.
TEST_F(BuildForDownloadCommand, TheRowReachedWithTheArrowKeysIsPacked) {
    platform::ui::MessageBoxRecorder boxes;
    wxDialog* dlg = nullptr;
    CZYKGridCtrl* grid = nullptr;
    wxStaticText* chosen = nullptr;
    wxString afterClick, afterKeys;
    const auto rowCentre = [&](int row) {
        const grid::Rect r = grid->CellRect(1, row);
        return wxPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    testsupport::XInputScript script;
    script
        .Then([&] {
            dlg = choosertest::FindChooser();
            if (!dlg) return false;
            grid = dynamic_cast<CZYKGridCtrl*>(dlg->FindWindow(1005));
            chosen = dynamic_cast<wxStaticText*>(dlg->FindWindow(1006));
            return grid && chosen;
        })
        .Do([&] { testsupport::XPointTo(grid, rowCentre(2)); })  // 网页试衣项目
        .Do([] { testsupport::XLeftClick(); })
        .Then([&] {
            afterClick = chosen->GetLabel();
            return grid->GetCurrentDataRow() == 2;
        })
        .Do([] { testsupport::XKey(WXK_UP); })
        .Do([] { testsupport::XKey(WXK_UP); })
        .Then([&] {
            if (grid->GetCurrentDataRow() != 0) return false;
            afterKeys = chosen->GetLabel();
            testsupport::SaveWindowScreenshot(dlg, Screen("fitting-frame-chooser-keys.png"));
            return true;
        })
        .Do([&] { testsupport::XPointTo(dlg->FindWindow(1007)); })
        .Do([] { testsupport::XLeftClick(); });
    script.onTimeout = [&] {
        if (dlg) dlg->EndModal(wxID_CANCEL);
    };
    script.Start();
    frame->RunCommand(ID_BUILD_DOWNLOAD_FILES);
    EXPECT_FALSE(script.timedOut());
    EXPECT_EQ(afterClick, wxString::FromUTF8("网页试衣项目"));
    EXPECT_EQ(afterKeys, wxString::FromUTF8("春季新款"));
    const fs::path package = base / "服饰搭配上传数据专区" / "春季新款.rar";
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "网上供客户下载的文件已构建: " + package.string());
    EXPECT_TRUE(fs::exists(package));
}

TEST_F(BuildForDownloadCommand, AProjectWithoutItsFolderIsReportedAndNotPacked) {
    platform::ui::MessageBoxRecorder boxes;
    ChooserDriver driver("秋装", 1007, "");
    frame->RunCommand(ID_BUILD_DOWNLOAD_FILES);
    EXPECT_FALSE(driver.timedOut);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "构建网上供客户下载的文件失败: 试衣项目目录不存在!!");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MbIcon::Exclamation);
    EXPECT_FALSE(fs::exists(base / "服饰搭配上传数据专区" / "秋装.rar"));

    // Cancelled: nothing packed, nothing said.
    ChooserDriver cancel("春季新款", wxID_CANCEL, "");
    frame->RunCommand(ID_BUILD_DOWNLOAD_FILES);
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_FALSE(fs::exists(base / "服饰搭配上传数据专区" / "春季新款.rar"));
}

}  // namespace
