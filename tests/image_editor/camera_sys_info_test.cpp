// The image editor's settings record: its bytes at their offsets, read back
// by a reader written here from the record's table, hostile files, the text
// fields and the listings; and the entry's steps without a window.
#include <gtest/gtest.h>

#include <string>

#include "image_editor/basic_project_reader.h"
#include "image_editor/camera_sys_info.h"
#include "image_editor/canvas_control.h"
#include "image_editor/material_table.h"
#include "image_editor/photo_engine.h"
#include "image_editor/pictova_entry.h"
#include "image_editor/sub_dialog_rules.h"
#include "project_editor/project_file.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

using image_editor::CCameraSysInfo;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

// An independent reader of the record: the table's offsets written out here.
struct RecordView {
    std::vector<unsigned char> bytes;
    std::string Text(std::size_t off, std::size_t width) const {  // GBK up to the first NUL
        std::string s;
        for (std::size_t i = off; i < off + width && bytes.at(i) != 0; ++i) s += static_cast<char>(bytes[i]);
        return platform::GbkToUtf8(s);
    }
    std::string PhotoDir0() const { return Text(68, 468); }
    std::string PhotoDir1() const { return Text(640, 468); }
    std::string Field(int n) const { return Text(1212 + 466 * (n - 1), 466); }
    bool ZeroBetween(std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i < to; ++i)
            if (bytes.at(i) != 0) return false;
        return true;
    }
};

RecordView ReadRecord(const std::filesystem::path& p) { return {ReadAll(p)}; }

}  // namespace

TEST(CameraSysInfo, TheEntryCreatesTheRecordThatAnIndependentReaderReads) {
    TempDir base;
    CCameraSysInfo::ResetInstance();
    std::vector<std::filesystem::path> ran;
    image_editor::RunEditorEntry(base.path(), [&](const std::filesystem::path& dir) { ran.push_back(dir); });
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0], base.path());

    const auto file = base / "kzvECameraSysInfo.e3f";
    const RecordView rec = ReadRecord(file);
    ASSERT_EQ(rec.bytes.size(), 4124u);
    const std::string photoDir = (base.path() / "服饰搭配拍照图片").string();
    EXPECT_EQ(rec.PhotoDir0(), photoDir);
    EXPECT_EQ(rec.PhotoDir1(), photoDir);
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(rec.Field(n), "");
    EXPECT_TRUE(rec.ZeroBetween(0, 68));
    EXPECT_TRUE(rec.ZeroBetween(536, 640));
    EXPECT_TRUE(rec.ZeroBetween(3076, 4124));
    // The folder name is stored in GBK.
    const auto gbk = platform::Utf8ToGbk("服饰搭配拍照图片");
    const std::string raw(rec.bytes.begin() + 68, rec.bytes.begin() + 68 + 468);
    EXPECT_NE(raw.find(*gbk), std::string::npos);

    // Texts set through the store land in their fields, saved at once.
    auto& info = CCameraSysInfo::Instance();
    const struct {
        int set, get, field;
        const char* text;
    } cases[] = {{102, 101, 1, "背景目录"}, {302, 301, 2, "/photos/背景图001.jpg"}, {602, 601, 3, "c"},
                 {202, 201, 4, "保存目录"}};
    for (const auto& c : cases) EXPECT_EQ(info.GetSetText(c.set, c.text), c.text);
    const RecordView after = ReadRecord(file);
    for (const auto& c : cases) {
        EXPECT_EQ(after.Field(c.field), c.text);
        EXPECT_EQ(info.GetSetText(c.get), c.text);
    }
    EXPECT_EQ(info.GetSetText(103, "x"), "");
    // A second start reads the record as it stands.
    CCameraSysInfo::ResetInstance();
    EXPECT_EQ(image_editor::PrepareEditor(base.path()), 0);
    EXPECT_EQ(CCameraSysInfo::Instance().GetSetText(601), "c");
}

// The module stays loaded between the host's calls: each call of the entry
// finds the editor's objects as the last call left them and must make them
// what a fresh load has.
TEST(CameraSysInfo, EveryEntryStartsWithTheEditorsObjectsAsAFreshLoadHasThem) {
    using namespace image_editor;
    TempDir base;
    {
        project_editor::ProjectFile p;
        p.SetPartCount(1);
        p.parts[0].SetName("白衬衫");
        p.parts[0].SetPictureName("白衬衫");
        base.write(std::filesystem::path("服饰搭配基本项目") / "女装.dm3", project_editor::WriteProjectBytes(p));
    }
    int calls = 0;
    RunEditorEntry(base.path(), [&](const std::filesystem::path&) {
        ++calls;
        // What the first call's user did: the background shown and
        // brightened in a colour of her own, the valid area and brush set,
        // a project read and a material placed, a line drawn in red, a photo
        // saved under a name of her own, a background picture remembered.
        CPhotoEngine& e = Engine();
        e.SetBackgroundShown(true);
        e.SetBackgroundColour(0x112233);
        e.SetPhotoArea(40, 120, 420, 330);
        e.SetRadius(9);
        e.SetStickerForm('L');
        ASSERT_EQ(Reader().ReadProjectFile("女装"), 1);
        Materials().at(10).placed = Materials().at(10).shown = 'Y';
        Materials().at(10).picture = base / "白衬衫.png";
        Materials().Select(10);
        Materials().AddOffset(30, 40);
        EditorDrawing().SetColor(0x0000FF);
        EditorDrawing().AddItem('A');
        EditorDrawing().AddPoint(1, 1);
        SaveMemory().lastName = "我的照片";
        SaveMemory().lastFolder = "/tmp/照片";
        CCameraSysInfo::Instance().GetSetText(302, "/elsewhere/背景.jpg");
        CCameraSysInfo::Instance().ModeFlag(9);
    });
    // The record can no longer be read: a fresh record keeps its defaults.
    base.write("kzvECameraSysInfo.e3f", std::vector<unsigned char>(100, 'Z'));

    RunEditorEntry(base.path(), [&](const std::filesystem::path&) {
        ++calls;
        const CPhotoEngine fresh;
        const CPhotoEngine& e = Engine();
        EXPECT_FALSE(e.backgroundShown());
        EXPECT_FALSE(e.backgroundLoaded());
        EXPECT_EQ(e.backgroundColour(), fresh.backgroundColour());
        EXPECT_EQ(e.GetPhotoArea(), fresh.GetPhotoArea());
        EXPECT_EQ(e.radius(), fresh.radius());
        EXPECT_EQ(e.GetStickerForm(), fresh.GetStickerForm());
        EXPECT_FALSE(e.photoPresent());
        EXPECT_FALSE(Reader().loaded());
        EXPECT_EQ(Reader().baseDir(), base.path());
        EXPECT_FALSE(Materials().AnyVisible());
        EXPECT_EQ(Materials().selected(), -1);
        EXPECT_EQ(Materials().offsetX(), 0);
        EXPECT_EQ(Materials().offsetY(), 0);
        const picture_controls::CDrawItemList freshList;
        EXPECT_EQ(EditorDrawing().itemCount(), 0);
        EXPECT_EQ(EditorDrawing().colour(), freshList.colour());
        EXPECT_EQ(SaveMemory().lastName, "");
        EXPECT_EQ(SaveMemory().lastFolder, "");
        EXPECT_EQ(CCameraSysInfo::Instance().GetSetText(301), "");
        EXPECT_EQ(CCameraSysInfo::Instance().ModeFlag(0), 0);
        EXPECT_EQ(CCameraSysInfo::Instance().BaseDir(), base.path());
    });
    EXPECT_EQ(calls, 2);
}

TEST(CameraSysInfo, LongTextsAreCutOnCharacterBoundaries) {
    TempDir base;
    CCameraSysInfo info;
    info.SetBaseDir(base.path());
    info.LoadOrCreate();
    EXPECT_EQ(info.GetSetText(602, std::string(300, 'a')), std::string(256, 'a'));
    std::string mixed = "a";
    for (int i = 0; i < 200; ++i) mixed += "图";
    const std::string stored = info.GetSetText(602, mixed);
    EXPECT_EQ(platform::GbkLength(stored), 255u);  // 'a' and 127 characters: the 128th would reach 257
    const RecordView rec = ReadRecord(base / "kzvECameraSysInfo.e3f");
    EXPECT_EQ(rec.bytes.at(2144 + 255), 0);
    EXPECT_EQ(rec.Field(3), stored);
}

TEST(CameraSysInfo, HostileAndForeignFiles) {
    TempDir base;
    const auto file = base / "kzvECameraSysInfo.e3f";
    {
        // Its own record: the 16-bit value at offset 40 comes back.
        std::vector<unsigned char> bytes(4124, 0);
        bytes[40] = 0x34;
        bytes[41] = 0x12;
        base.write("kzvECameraSysInfo.e3f", bytes);
        CCameraSysInfo info;
        info.SetBaseDir(base.path());
        EXPECT_EQ(info.LoadOrCreate(), 0x1234);
        EXPECT_EQ(info.GetPhotoDir(), base.path() / "服饰搭配拍照图片");  // an empty path falls back
    }
    for (std::size_t size : {0u, 100u, 4123u, 4125u}) {
        SCOPED_TRACE(size);
        base.write("kzvECameraSysInfo.e3f", std::vector<unsigned char>(size, 'Z'));
        CCameraSysInfo info;
        info.SetBaseDir(base.path());
        EXPECT_EQ(info.LoadOrCreate(), 0);
        EXPECT_EQ(info.GetSetText(101), "");  // the record as it was
        EXPECT_EQ(ReadAll(file).size(), size);  // and the file untouched
    }
    {
        // No terminators anywhere: every text stays within its field.
        base.write("kzvECameraSysInfo.e3f", std::vector<unsigned char>(4124, 'Q'));
        CCameraSysInfo info;
        info.SetBaseDir(base.path());
        info.LoadOrCreate();
        EXPECT_EQ(info.GetSetText(201), std::string(466, 'Q'));
        EXPECT_EQ(info.GetPhotoDir(), std::filesystem::path(std::string(468, 'Q')));
    }
    {
        // A photo folder written on Windows, GBK with backslashes.
        std::vector<unsigned char> bytes(4124, 0);
        const std::string dir = *platform::Utf8ToGbk("D:\\照片\\服饰搭配拍照图片");
        std::copy(dir.begin(), dir.end(), bytes.begin() + 68);
        base.write("kzvECameraSysInfo.e3f", bytes);
        CCameraSysInfo info;
        info.SetBaseDir(base.path());
        info.LoadOrCreate();
        EXPECT_EQ(info.GetPhotoDir(), std::filesystem::path("D:/照片/服饰搭配拍照图片"));
    }
    {
        // A folder where the file should be: nothing read, nothing written.
        TempDir other;
        std::filesystem::create_directory(other / "kzvECameraSysInfo.e3f");
        CCameraSysInfo info;
        info.SetBaseDir(other.path());
        EXPECT_EQ(info.LoadOrCreate(), 0);
        EXPECT_TRUE(std::filesystem::is_directory(other / "kzvECameraSysInfo.e3f"));
    }
}

TEST(CameraSysInfo, DirectoryOfSplitsAtTheLastSeparator) {
    const struct {
        std::string path, dir;
    } cases[] = {
        {"a\\b\\c.jpg", "a\\b"},
        {"/home/u/背景\\图.png", "/home/u/背景"},
        {"/photos/x.jpg", "/photos"},
        {"name.jpg", ""},
        {"", ""},
        {"表\\", "表"},
        {std::string(10, 'd') + "\\" + std::string(250, 'e') + "\\tail", std::string(10, 'd')},
        {"\\" + std::string(300, 'f'), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CCameraSysInfo::DirectoryOf(c.path), c.dir) << c.path;
    // A path kept in the record as GBK is decoded before it is split: the
    // second byte of "乗" (0x81 0x5C) is not a separator.
    TempDir base;
    std::vector<unsigned char> bytes(4124, 0);
    const std::string gbk = *platform::Utf8ToGbk("D:\\相册\\乗车.jpg");
    ASSERT_NE(gbk.find("\x81\\"), std::string::npos);
    std::copy(gbk.begin(), gbk.end(), bytes.begin() + 1678);
    base.write("kzvECameraSysInfo.e3f", bytes);
    CCameraSysInfo info;
    info.SetBaseDir(base.path());
    info.LoadOrCreate();
    EXPECT_EQ(CCameraSysInfo::DirectoryOf(info.GetSetText(301)), "D:\\相册");
    // 256 characters, not bytes: a separator after 255 Chinese characters counts.
    std::string wide;
    for (int i = 0; i < 255; ++i) wide += "图";
    EXPECT_EQ(CCameraSysInfo::DirectoryOf(wide + "\\x"), wide);
}

TEST(CameraSysInfo, ListsProjectsSwatchesAndKeepsTheModeFlag) {
    TempDir base;
    for (int i = 12; i >= 1; --i) base.write("服饰搭配基本项目/项目" + std::to_string(100 + i) + ".dm3", "x");
    base.write("服饰搭配基本项目/说明.txt", "x");
    for (int i = 0; i < 3; ++i) base.write("ephoto_syspic/kzvECam化装盒_COLOR" + std::to_string(i) + ".png", "x");
    base.write("ephoto_syspic/imgEdit_DrawLine.png", "x");
    CCameraSysInfo info;
    info.SetBaseDir(base.path());
    const auto projects = info.ListProjects(10);
    ASSERT_EQ(projects.size(), 10u);
    EXPECT_EQ(projects.front(), "项目101");
    EXPECT_EQ(projects.back(), "项目110");
    EXPECT_EQ(info.ListProjects(60).size(), 12u);
    const auto swatches = info.ListMakeupSwatches(60);
    ASSERT_EQ(swatches.size(), 3u);
    EXPECT_EQ(swatches[0], base / "ephoto_syspic" / "kzvECam化装盒_COLOR0.png");
    EXPECT_EQ(info.ListMakeupSwatches(2).size(), 2u);

    EXPECT_EQ(info.ModeFlag(0), 0);
    EXPECT_EQ(info.ModeFlag(9), 1);
    EXPECT_EQ(info.ModeFlag(5), 1);
    EXPECT_EQ(info.ModeFlag(11), 0);
}
