// The part parameters, the face-media cells and the picture lists without a
// window: limits cut on character boundaries, depth clamps and the stage
// slot, deleting a part, list picks on a full pool, media cells by control
// letter, and the list and convert rules of the picture dialogs.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/text.h"
#include "project_editor/part_params.h"
#include "project_editor/picture_lists.h"
#include "project_editor/project_dialogs.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace project_editor;

namespace {

class PartParamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CProjectStore::ResetInstance();
        StageSlotTable::ResetInstance();
        store().SetBaseDir(m_dir.path());
        fs::create_directories(m_dir / "KZV网页项目文件");
        FillClothingTemplate(store());
        store().SetProjectName("参数");
        // Parts 2 and 4 are items; give them names to follow.
        store().Part(2).SetName("二号");
        store().Part(4).SetName("四号");
        store().Part(12).SetName("十二号");
        ASSERT_EQ(store().Save(), SaveResult::Saved);
    }
    CProjectStore& store() { return CProjectStore::Instance(); }
    StageSlotTable& slots() { return StageSlotTable::Instance(); }
    fs::path File() const { return m_dir.path() / "KZV网页项目文件" / "参数.dm3"; }

    testsupport::TempDir m_dir;
};

TEST_F(PartParamsTest, SaveCutsOnCharacterBoundariesAndClampsTheDepth) {
    PartParams params(store(), slots());
    ASSERT_TRUE(params.SetPartIndex(4));
    EXPECT_FALSE(PartParams(store(), slots()).SetPartIndex(13));
    PartParamTexts t = params.Init();
    EXPECT_EQ(t.depth, "40");
    EXPECT_EQ(t.showCount, "0");
    EXPECT_EQ(t.type, "JPG");
    EXPECT_EQ(t.scale, "1.0000  ");

    // 40 Chinese characters are 80 GBK bytes: the name keeps 32 (64 bytes),
    // never half a character; the price keeps 4 characters of "十二元五角钱".
    std::string forty;
    for (int i = 0; i < 40; ++i) forty += "衣";
    t.name = forty;
    t.price = "十二元五角钱";
    t.goodsCode = "ABCDEFGHIJKLMNOP";
    t.webLink = std::string(230, 'w');
    t.voice = "介绍介绍介绍介绍介绍介绍介绍.wav";
    struct { const char* depth; int saved; } depths[] = {{"0", 1}, {"150", 99}, {"-3", 1}, {"abc", 1}, {"55", 55}, {"7级", 7}};
    for (const auto& d : depths) {
        SCOPED_TRACE(d.depth);
        t.depth = d.depth;
        ASSERT_EQ(params.Save(t, "", nullptr), SaveResult::Saved);
        const dm3test::File f = dm3test::Read(File());
        ASSERT_TRUE(f.ok);
        EXPECT_EQ(f.parts[4].depth, d.saved);
    }
    const dm3test::Part p = dm3test::Read(File()).parts[4];
    EXPECT_EQ(p.nameGbk.size(), 64u);
    EXPECT_EQ(platform::GbkToUtf8(p.nameGbk), forty.substr(0, 32 * 3));
    EXPECT_EQ(platform::GbkToUtf8(dm3test::Text(p.bytes, 504, 9)), "十二元五");
    EXPECT_EQ(dm3test::Text(p.bytes, 69, 14), "ABCDEFGHIJKLM");
    EXPECT_EQ(dm3test::Text(p.bytes, 151, 220).size(), 218u);
    EXPECT_EQ(platform::GbkToUtf8(dm3test::Text(p.bytes, 437, 26)), "介绍介绍介绍介绍介绍介绍");
}

TEST_F(PartParamsTest, DepthChangeReleasesTheOldSlotAndScalesFollowTheChoice) {
    const int oldSlot = DepthToSlot(40, SlotRange::FromZero);
    slots().Slot(oldSlot).used = slots().Slot(oldSlot).shown = 'Y';
    slots().Slot(oldSlot).part = 4;
    store().Part(4).SetScale(0.5f);
    store().Part(2).SetScale(0.7f);
    PartParams params(store(), slots());
    params.SetPartIndex(4);
    PartParamTexts t = params.Init();
    t.depth = "30";
    ASSERT_EQ(params.Save(t, "1:1", nullptr), SaveResult::Saved);
    EXPECT_EQ(slots().Slot(oldSlot).part, -1);
    EXPECT_FLOAT_EQ(store().Part(4).Scale(), 1.0f);
    EXPECT_FLOAT_EQ(store().Part(2).Scale(), 0.7f);

    // "1:1全部": every part but the 'T' and 'K' rows.
    store().Part(0).SetScale(2.0f);
    store().Part(1).SetScale(3.0f);
    EXPECT_EQ(params.SetAllScales(), 6);
    EXPECT_FLOAT_EQ(store().Part(2).Scale(), 1.0f);
    EXPECT_FLOAT_EQ(store().Part(0).Scale(), 2.0f);
    EXPECT_FLOAT_EQ(store().Part(1).Scale(), 3.0f);
}

TEST_F(PartParamsTest, DeleteMovesLaterRecordsResetsTheVacatedOnesAndKeepsMAtMostN) {
    store().Face(12).SetFaceCountLetter('3');
    store().Face(4).SetFaceCountLetter('5');
    slots().Slot(3).used = slots().Slot(3).shown = 'Y';
    slots().Slot(3).part = 12;
    slots().Slot(5).used = slots().Slot(5).shown = 'Y';
    slots().Slot(5).part = 4;
    ASSERT_EQ(store().Save(), SaveResult::Saved);
    ASSERT_EQ(store().FaceCount(), 13);

    PartParams params(store(), slots());
    params.SetPartIndex(4);
    std::vector<int> moves;
    ASSERT_EQ(params.Delete(moves), DeleteResult::Deleted);
    EXPECT_EQ(moves.at(4), -1);
    EXPECT_EQ(moves.at(12), 11);
    EXPECT_EQ(slots().Slot(3).part, 11);
    EXPECT_EQ(slots().Slot(5).part, -1);
    const dm3test::File f = dm3test::Read(File());
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.n, 12);
    EXPECT_LE(f.m, f.n);
    EXPECT_EQ(f.parts[11].nameGbk, platform::Utf8ToGbkLossy("十二号"));
    EXPECT_EQ(f.parts[11].faceBytes.at(2), '3');
    EXPECT_EQ(f.parts[3].rowType, 'T');
    // The vacated record is blank again, not a copy of the last part.
    EXPECT_EQ(store().Part(12).Name(), "");
    EXPECT_EQ(store().Face(12).FaceCountLetter(), 0);
}

TEST_F(PartParamsTest, ListPicksAppendOverwriteAndKeepTheOldStringWhenThePoolIsFull) {
    FaceRecord& face = store().Face(2);
    face.SetFaceCountLetter('2');
    PartParams params(store(), slots());
    params.SetPartIndex(2);
    EXPECT_EQ(params.ApplyListPick(1, 2, "超出面数"), ListPickResult::Ignored);
    EXPECT_EQ(params.ApplyListPick(1, 0, ""), ListPickResult::Ignored);

    ASSERT_EQ(params.ApplyListPick(1, 0, "长长的名字"), ListPickResult::Applied);
    const std::int32_t first = face.StringOffset(1, 0);
    EXPECT_EQ(store().GetFaceString(2, 1, 0), "长长的名字");
    // Shorter: written over the same place.
    ASSERT_EQ(params.ApplyListPick(1, 0, "短名"), ListPickResult::Applied);
    EXPECT_EQ(face.StringOffset(1, 0), first);
    EXPECT_EQ(store().GetFaceString(2, 1, 0), "短名");
    // Longer than the stored length: appended.
    ASSERT_EQ(params.ApplyListPick(1, 0, "更长更长的名字"), ListPickResult::Applied);
    EXPECT_GT(face.StringOffset(1, 0), first);
    // Kind 2 with a picture-control letter other than '1' goes to face 0.
    ASSERT_EQ(params.ApplyListPick(2, 1, "动画"), ListPickResult::Applied);
    EXPECT_EQ(store().GetFaceString(2, 2, 0), "动画");

    // A full pool: the append is refused and the old string stays.
    store().Project().SetPoolLength(kPoolCapacity - 4);
    const std::int32_t offset = face.StringOffset(1, 0);
    EXPECT_EQ(params.ApplyListPick(1, 0, "放不下的更长更长的名字"), ListPickResult::PoolFull);
    EXPECT_EQ(face.StringOffset(1, 0), offset);
    EXPECT_EQ(store().GetFaceString(2, 1, 0), "更长更长的名字");
    // A shorter one still fits in its old place.
    EXPECT_EQ(params.ApplyListPick(1, 0, "短"), ListPickResult::Applied);
    EXPECT_EQ(store().GetFaceString(2, 1, 0), "短");

    params.SetFacePictureSize(320, 480);
    EXPECT_EQ(store().Part(2).FacePictureSize(), "320,480");
}

TEST_F(PartParamsTest, MediaCellsFollowTheControlLettersAndTheFaceNameSeedsOnce) {
    FaceRecord& f = store().Face(2);
    struct { char count; int shown; } counts[] = {{'0', 0}, {'3', 3}, {'A', 9}, {'/', 0}};
    for (const auto& c : counts) {
        f.SetFaceCountLetter(c.count);
        EXPECT_EQ(MediaFaceCount(store(), 2), c.shown) << c.count;
    }
    EXPECT_EQ(MediaFaceCount(store(), 13), 0);
    f.SetFaceCountLetter('3');
    PartParams params(store(), slots());
    params.SetPartIndex(2);
    f.SetPictureControlLetter('1');
    f.SetSoundControlLetter('1');
    for (int k = 1; k <= 4; ++k)
        for (int r = 0; r < 3; ++r) params.ApplyListPick(k, r, "k" + std::to_string(k) + "r" + std::to_string(r));
    EXPECT_EQ(MediaCellText(store(), 2, 2, 1), "k2r1");
    EXPECT_EQ(MediaCellText(store(), 2, 4, 2), "k4r2");
    f.SetPictureControlLetter('0');
    EXPECT_EQ(MediaCellText(store(), 2, 2, 0), "k2r0");
    EXPECT_EQ(MediaCellText(store(), 2, 2, 1), "");
    f.SetSoundControlLetter('3');
    EXPECT_EQ(MediaCellText(store(), 2, 4, 0), "k4r0");
    EXPECT_EQ(MediaCellText(store(), 2, 4, 1), "");
    f.SetSoundControlLetter('2');
    for (int r = 0; r < 3; ++r) EXPECT_EQ(MediaCellText(store(), 2, 4, r), "------");
    EXPECT_EQ(MediaCellText(store(), 2, 1, 3), "");  // past the face count

    // Seeding: faces, a face name and no first face picture.
    FaceRecord& g = store().Face(4);
    store().Part(4).SetFaceName("正面照");
    EXPECT_FALSE(SeedFaceName(store(), 4));  // no faces yet
    g.SetFaceCountLetter('2');
    EXPECT_TRUE(SeedFaceName(store(), 4));
    EXPECT_EQ(MediaCellText(store(), 4, 1, 0), "正面照");
    EXPECT_FALSE(SeedFaceName(store(), 4));
    EXPECT_FALSE(SeedFaceName(store(), -1));
    EXPECT_FALSE(SeedFaceName(store(), 200));
}

TEST(PictureLists, ListsLeaveOutSystemFilesAndPicksKeepAllButTheLastExtension) {
    testsupport::TempDir dir;
    for (const char* f : {"photo.png", "hat.png", "stageBkg001.jpg", "a.b.jpg", "onLineHelp.jpg", "曲.mid"})
        dir.write(fs::path("展示及说明图片") / f, std::string("x"));
    fs::create_directories(dir / "展示及说明图片" / "sub.png");
    EXPECT_EQ(ListProjectFiles(dir.path(), "展示及说明图片", "png"), (std::vector<std::string>{"hat.png"}));
    EXPECT_EQ(ListProjectFiles(dir.path(), "展示及说明图片", ".*"), (std::vector<std::string>{"a.b.jpg", "hat.png", "曲.mid"}));
    EXPECT_EQ(ListProjectFiles(dir.path(), "展示及说明图片", ""), ListProjectFiles(dir.path(), "展示及说明图片", "*"));
    struct { const char* name; const char* result; } picks[] = {
        {"hat.png", "hat"}, {"a.b.jpg", "a.b"}, {"noext", "noext"}, {".hidden", ".hidden"}};
    for (const auto& p : picks) EXPECT_EQ(PickResultName(p.name), p.result) << p.name;
    std::string long70;
    for (int i = 0; i < 35; ++i) long70 += "图";
    EXPECT_EQ(PickResultName(long70 + ".jpg"), long70.substr(0, 30 * 3));
    EXPECT_EQ(ExtensionMask(".*"), "*");
    EXPECT_EQ(ExtensionMask("jpg"), "*.jpg");
    EXPECT_EQ(ExtensionMask(".gif"), "*.gif");
    EXPECT_EQ(ListCaption(104), "图片音乐(或语音)列表");

    // The voice list and its extension.
    dir.write(fs::path("音乐及语音") / "background_music.mid", std::string("x"));
    dir.write(fs::path("音乐及语音") / "介绍.wav", std::string("x"));
    EXPECT_EQ(ListVoiceFiles(dir / "音乐及语音"), (std::vector<std::string>{"介绍.wav"}));
    EXPECT_EQ(VoiceExtension("介绍.wav"), "wav");
    EXPECT_EQ(VoiceExtension("a.mpeg"), "mpe");
    EXPECT_EQ(VoiceExtension("plain"), "mp3");
}

TEST(PictureLists, BackgroundListingLayoutAndConvertSizes) {
    testsupport::TempDir dir;
    for (const char* f : {"街景.jpg", "ctrlFacepic_1.jpg", "stageBkg001.jpg", "花园.jpg", "说明.png"})
        dir.write(fs::path("KZV背景图片") / f, std::string("x"));
    const BackgroundListing plain = ListBackgrounds(dir.path(), "", ' ');
    EXPECT_EQ(plain.titles, (std::vector<std::string>{"ctrlFacepic_1", "stageBkg001", "花园", "街景"}));
    const fs::path folder = dir / "KZV背景图片";
    const BackgroundListing own = ListBackgrounds(dir.path(), folder.string(), 'C');
    EXPECT_EQ(own.titles, (std::vector<std::string>{"花园", "街景"}));
    EXPECT_EQ(ListBackgrounds(dir.path(), folder.string(), ' ').titles, (std::vector<std::string>{"ctrlFacepic_1"}));
    for (int i = 0; i < 60; ++i) dir.write(fs::path("多") / ("b" + std::to_string(100 + i) + ".jpg"), std::string("x"));
    EXPECT_EQ(ListBackgrounds(dir.path(), (dir / "多").string(), 'C').titles.size(), 54u);

    // 5 columns and 7 rows, the remainder as margin; more titles, more rows.
    const auto cells = BackgroundCells({0, 0, 604, 494}, 35);
    ASSERT_EQ(cells.size(), 35u);
    EXPECT_EQ(cells[0].width(), 120);
    EXPECT_EQ(cells[0].height(), 70);
    EXPECT_EQ(cells[0].left, 2);
    EXPECT_EQ(cells[34].right, 602);
    EXPECT_EQ(BackgroundCells({0, 0, 604, 494}, 54)[0].height(), 490 / 11);

    struct { const char* w; const char* h; bool ok; } sizes[] = {
        {"800", "600", true}, {" 640 ", "480", true}, {"0", "600", false}, {"-5", "600", false},
        {"800", "", false},   {"8e2", "600", false},  {"4001", "10", false}, {"4000", "4000", true},
        {"99999999999", "1", false}};
    for (const auto& s : sizes) {
        const ConvertSize c = ParseConvertSize(s.w, s.h);
        EXPECT_EQ(c.ok, s.ok) << s.w << " x " << s.h;
        if (!c.ok) {
            EXPECT_FALSE(c.error.empty());
        }
    }

    // Convert asks the resizer for each marked title at the size, in place.
    struct Recorder : PictureResizer {
        std::vector<std::string> seen;
        bool ResizeToJpeg(const fs::path& from, const fs::path& to, int w, int h, std::string& why) override {
            seen.push_back(from.filename().string() + ">" + to.filename().string() + "@" + std::to_string(w) + "x" +
                           std::to_string(h));
            why = "坏图";
            return from.filename() != "坏.jpg";
        }
    } rec;
    const ConvertReport r = ConvertBackgrounds(folder, {"街景", "坏"}, ParseConvertSize("320", "240"), rec);
    EXPECT_EQ(rec.seen, (std::vector<std::string>{"街景.jpg>街景.jpg@320x240", "坏.jpg>坏.jpg@320x240"}));
    EXPECT_EQ(r.converted, 1);
    EXPECT_EQ(r.failed, (std::vector<std::string>{"坏: 坏图"}));
    EXPECT_EQ(ConvertBackgrounds(folder, {"街景"}, ParseConvertSize("0", "1"), rec).converted, 0);
}

}  // namespace
