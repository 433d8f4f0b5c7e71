// The add-pictures dialog's core: listing a folder's pictures, mode 0 into an
// existing category (read back by an independent reader), mode 9 copies of
// a reference part, "替换全部" with locked rows and shared pictures, a source
// that is the project's own file, failed copies and deletes (a copy says why
// in words), unusable names, the 100-part limit, and the stage and selection
// after records move.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "project_editor/add_fitting_pics.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/project_editor/project_fixtures.h"
#include "tests/project_editor/stage_fixtures.h"
#include "tests/support/temp_dir.h"

using namespace stagetest;

namespace {

class FlakyFiles : public PictureFileOps {
public:
    bool Copy(const fs::path& from, const fs::path& to, std::string& why) override {
        copies.push_back(from.stem().string());
        if (failCopy.count(from.stem().string())) {
            why = "磁盘已满";
            return false;
        }
        return PictureFileOps::Copy(from, to, why);
    }
    bool Remove(const fs::path& file, std::string& why) override {
        removes.push_back(file.stem().string());
        if (failRemove.count(file.stem().string())) {
            why = "拒绝访问";
            return false;
        }
        return PictureFileOps::Remove(file, why);
    }
    std::set<std::string> failCopy, failRemove;
    std::vector<std::string> copies, removes;
};

struct Dialog : Stage {
    FlakyFiles files;
    AddFittingPics dlg{store, sizes, files};
    explicit Dialog(const std::string& spec) : Stage(spec) {
        // Every part's picture exists in the project's folder.
        for (int i = 0; i < store.PartCount(); ++i)
            if (store.Part(i).RowType() != 'T') Touch(Pics() / (store.Part(i).PictureName() + ".png"));
    }
    fs::path Pics() const { return dir.path() / "pics"; }
    static void Touch(const fs::path& p, const std::string& text = "png") {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
    void TickAll() {
        for (int i = 0; i < static_cast<int>(dlg.entries().size()); ++i) dlg.Toggle(i);
    }
    std::vector<std::string> Names() {
        std::vector<std::string> v;
        for (int i = 0; i < store.PartCount(); ++i) v.push_back(store.Part(i).Name());
        return v;
    }
    std::vector<std::string> Titles() const {
        std::vector<std::string> v;
        for (const auto& e : dlg.entries()) v.push_back(e.title);
        return v;
    }
};

using Names = std::vector<std::string>;

TEST(AddFittingPics, ListsUnusedPicturesSortedWithoutThePhotoFile) {
    Dialog d("T:上装 a b");
    for (const char* t : {"abc", "ab", "Z", "kzvphoto", "x"}) Dialog::Touch(d.Pics() / (std::string(t) + ".png"));
    Dialog::Touch(d.Pics() / "notes.txt");
    d.dlg.Start(AddPicturesMode::AddToCategory, -1);
    EXPECT_EQ(d.Titles(), (Names{"Z", "ab", "abc", "x"})) << "byte order, used pictures hidden";
    d.dlg.SetHideAdded(false);
    EXPECT_EQ(d.Titles(), (Names{"Z", "a", "ab", "abc", "b", "x"}));
    for (const auto& e : d.dlg.entries()) EXPECT_EQ(e.tick, ' ');

    d.dlg.SetGrid(2, 2);
    EXPECT_FALSE(d.dlg.PreviousPage());
    EXPECT_TRUE(d.dlg.NextPage());
    EXPECT_EQ(d.dlg.PageNumber(), 2);
    EXPECT_FALSE(d.dlg.NextPage()) << "6 entries, 4 a page";
    EXPECT_TRUE(d.dlg.PreviousPage());
    EXPECT_EQ(d.dlg.first(), 0);
}

TEST(AddFittingPics, ChineseTitlesComeInTheOrderOfTheirStoredBytes) {
    // GBK puts 啊 (B0A1) < 白 (B0D7) < 张 (D5C5) < 中 (D6D0); their UTF-8
    // bytes would give 中 < 啊 < 张 < 白.
    Dialog d("T:上装 a");
    for (const char* t : {"中", "白衬衫", "张", "啊", "白", "b"}) Dialog::Touch(d.Pics() / (std::string(t) + ".png"));
    d.dlg.Start(AddPicturesMode::AddToCategory, -1);
    EXPECT_EQ(d.Titles(), (Names{"b", "啊", "白", "白衬衫", "张", "中"}));

    // A folder with more pictures than the list holds keeps the first of
    // that order: 啊 stays, 中 (first by its UTF-8 bytes) is left out.
    for (int i = static_cast<int>(d.Titles().size()); i <= kMaxListedPictures; ++i)
        Dialog::Touch(d.Pics() / ("p" + std::to_string(1000 + i) + ".png"));
    d.dlg.Start(AddPicturesMode::AddToCategory, -1);
    const Names titles = d.Titles();
    ASSERT_EQ(titles.size(), static_cast<std::size_t>(kMaxListedPictures));
    EXPECT_EQ(titles.back(), "张");
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "中"), 0);
}

TEST(AddFittingPics, ModeZeroAddsBlankPartsAfterTheCategoryAndSaves) {
    Dialog d("T:上装 a b T:下装 c");
    d.store.Part(0).SetSwitch('3');
    d.store.Part(2).SetDepth(33);
    d.store.Part(2).SetVoiceText("你好");
    d.store.Part(2).SetFaceName("脸");
    d.store.Part(2).SetSizeText("S,M,L");
    d.store.Face(4).SetMark('Q');  // c's face record must follow c
    d.sizes.sizes["n1"] = {300, 100};
    d.sizes.sizes["n2"] = {150, 120};
    for (const char* t : {"n1", "n2"}) Dialog::Touch(d.Pics() / (std::string(t) + ".png"));
    d.slots.Slot(7) = StageSlot{'Y', ' ', 'Y', "c", -1, 1, 1, 1, 1, 1, 1, 4};
    d.slots.SetCurrent(7);
    int selected = 4;

    d.dlg.Start(AddPicturesMode::AddToCategory, -1);
    ASSERT_EQ(d.dlg.Categories().size(), 2u);
    EXPECT_EQ(d.dlg.Categories()[1], (std::pair<int, std::string>{3, "下装"}));
    d.TickAll();
    const AddPicturesReport r = d.dlg.AddToCategory(0);
    ASSERT_EQ(r.added, 2);
    EXPECT_TRUE(r.saved);
    EXPECT_EQ(d.dlg.entries()[0].tick, 'y');
    ApplyRecordMoves(r.moves, d.slots, selected);
    EXPECT_EQ(d.slots.Slot(7).part, 6);
    EXPECT_EQ(selected, 6);

    const dm3test::File f = dm3test::Read(d.ProjectFile());
    ASSERT_TRUE(f.ok);
    ASSERT_EQ(f.n, 7);
    EXPECT_EQ(f.parts[6].nameGbk, "c");
    EXPECT_EQ(f.parts[6].mark, 'Q');
    struct Want { int i; const char* name; int w, h; std::uint32_t scaleBits; };
    for (const Want w : {Want{3, "n1", 300, 100, 0x3F000000}, Want{4, "n2", 150, 120, 0x3F800000}}) {
        testbytes::ByteBuilder part = testbytes::PartBytes('A', 'n', w.name);
        part.U8(2, '3').Fill(69, 14, 0).Raw(69, "---").Fill(151, 220, 0).Raw(85, w.name);
        part.Fill(504, 9, 0).Raw(504, "0.00").U8(485, ' ').U8(486, ' ').U8(513, ' ');
        part.I32(516, 200).I32(520, 200).I32(524, 33).I32(532, w.w).I32(536, w.h).F32Bits(540, w.scaleBits);
        EXPECT_EQ(f.parts[static_cast<std::size_t>(w.i)].bytes, part.bytes()) << w.name;
        EXPECT_EQ(f.parts[static_cast<std::size_t>(w.i)].faceBytes, testbytes::FaceBytes('0').bytes()) << w.name;
    }
}

TEST(AddFittingPics, PartLimitOfTheDialog) {
    struct Case { int parts, ticked, added; };
    for (const Case c : {Case{98, 5, 2}, Case{100, 3, 0}, Case{120, 3, 0}, Case{10, 4, 4}}) {
        std::string spec = "T:上装";
        for (int i = 1; i < c.parts; ++i) spec += " p" + std::to_string(i);
        Dialog d(spec);
        for (int i = 0; i < c.ticked; ++i) Dialog::Touch(d.Pics() / ("new" + std::to_string(i) + ".png"));
        d.dlg.Start(AddPicturesMode::AddToCategory, -1);
        d.TickAll();
        const AddPicturesReport r = d.dlg.AddToCategory(0);
        EXPECT_EQ(r.added, c.added) << c.parts;
        EXPECT_EQ(d.store.PartCount(), c.parts + c.added);
        EXPECT_EQ(r.refusal.empty(), c.added > 0);
        // Mode 9 with the same project: the same room.
        Dialog e(spec);
        e.dlg.Start(AddPicturesMode::AddOrReplace, 1);
        e.dlg.SetSourceFolder(d.Pics());
        for (int i = 0; i < static_cast<int>(e.dlg.entries().size()); ++i)
            if (e.dlg.entries()[static_cast<std::size_t>(i)].title.starts_with("new")) e.dlg.Toggle(i);
        EXPECT_EQ(e.dlg.AddOrReplace(false).added, c.added) << c.parts;
        EXPECT_EQ(e.store.PartCount(), c.parts + c.added);
    }
}

TEST(AddFittingPics, ModeNineCopiesTheReferencePartFromAChosenFolder) {
    Dialog d("T:上装 a b T:下装 c");
    d.store.Part(2).SetVoiceText("你好");
    d.store.Part(2).SetPrice("99.00");
    d.store.Part(2).SetDepth(12);
    d.store.Face(2).SetFaceCountLetter('2');
    const fs::path src = d.dir.path() / "外部图片";
    for (const char* t : {"y1", "y2"}) Dialog::Touch(src / (std::string(t) + ".png"), t);
    d.dlg.Start(AddPicturesMode::AddOrReplace, 2);
    EXPECT_EQ(d.dlg.ReferenceText(), "替换参照:b");
    d.dlg.SetSourceFolder(src);
    d.TickAll();
    const AddPicturesReport r = d.dlg.AddOrReplace(false);
    ASSERT_EQ(r.added, 2);
    EXPECT_EQ(d.Names(), (Names{"上装", "y1", "y2", "a", "b", "下装", "c"}));
    for (int i : {1, 2}) {
        PartRecord want = d.store.Part(4);
        want.SetName(d.store.Part(i).Name());
        want.SetPictureName(d.store.Part(i).Name());
        EXPECT_EQ(d.store.Part(i), want);
        EXPECT_EQ(d.store.Face(i), d.store.Face(4));
        EXPECT_TRUE(fs::exists(d.Pics() / (d.store.Part(i).Name() + ".png")));
    }
    EXPECT_TRUE(fs::exists(d.Pics() / "a.png"));
    const dm3test::File f = dm3test::Read(d.ProjectFile());
    ASSERT_EQ(f.n, 7);
    EXPECT_EQ(f.parts[1].depth, 12);
}

TEST(AddFittingPics, ReplaceAllKeepsLockedRowsAndSharedPictures) {
    Dialog d("T:上装 a K:lock b T:下装 c");
    d.store.Part(3).SetPictureName("shared");
    d.store.Part(5).SetPictureName("shared");
    Dialog::Touch(d.Pics() / "shared.png");
    const fs::path src = d.dir.path() / "src";
    for (const char* t : {"y1", "y2"}) Dialog::Touch(src / (std::string(t) + ".png"));
    d.slots.Slot(1) = StageSlot{'Y', ' ', 'Y', "a", -1, 1, 1, 1, 1, 1, 1, 1};
    d.slots.Slot(2) = StageSlot{'Y', ' ', 'Y', "lock", -1, 1, 1, 1, 1, 1, 1, 2};
    d.slots.Slot(5) = StageSlot{'Y', ' ', 'Y', "c", -1, 1, 1, 1, 1, 1, 1, 5};
    d.slots.SetCurrent(1);
    int selected = 3;

    d.dlg.Start(AddPicturesMode::AddOrReplace, 1);
    d.dlg.SetSourceFolder(src);
    d.TickAll();
    const AddPicturesReport r = d.dlg.AddOrReplace(true);
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(r.removed, 2);
    EXPECT_EQ(d.Names(), (Names{"上装", "y1", "y2", "lock", "下装", "c"}));
    EXPECT_FALSE(fs::exists(d.Pics() / "a.png"));
    EXPECT_TRUE(fs::exists(d.Pics() / "shared.png")) << "still used by c";
    EXPECT_TRUE(fs::exists(d.Pics() / "lock.png"));
    EXPECT_TRUE(r.failedDeletes.empty());

    ApplyRecordMoves(r.moves, d.slots, selected);
    EXPECT_FALSE(d.slots.Occupied(1, d.store.PartCount())) << "a is gone";
    EXPECT_EQ(d.slots.Current(), kNoSlot);
    EXPECT_EQ(d.slots.Slot(2).part, 3);
    EXPECT_EQ(d.slots.Slot(5).part, 5);
    EXPECT_EQ(selected, -1);

    const dm3test::File f = dm3test::Read(d.ProjectFile());
    ASSERT_EQ(f.n, 6);
    EXPECT_EQ(f.parts[3].rowType, 'K');
    EXPECT_EQ(f.parts[5].pictureGbk, "shared");
}

TEST(AddFittingPics, SourceThatIsTheProjectsOwnFileIsNeitherCopiedNorDeleted) {
    Dialog d("T:上装 a b T:下装 c");
    Dialog::Touch(d.Pics() / "a.png", "original");
    d.dlg.Start(AddPicturesMode::AddOrReplace, 1);
    d.dlg.SetHideAdded(false);  // the project's own folder, its own pictures listed
    for (int i = 0; i < static_cast<int>(d.dlg.entries().size()); ++i)
        if (d.dlg.entries()[static_cast<std::size_t>(i)].title == "a") d.dlg.Toggle(i);
    const AddPicturesReport r = d.dlg.AddOrReplace(true);
    EXPECT_EQ(r.added, 1);
    EXPECT_TRUE(d.files.copies.empty());
    EXPECT_EQ(d.files.removes, (Names{"b"}));
    std::ifstream in(d.Pics() / "a.png");
    std::string text;
    in >> text;
    EXPECT_EQ(text, "original");
    EXPECT_EQ(d.Names(), (Names{"上装", "a", "下装", "c"}));
}

TEST(AddFittingPics, FailedCopiesAndDeletesAreReported) {
    Dialog d("T:上装 a b T:下装 c");
    const fs::path src = d.dir.path() / "src";
    for (const char* t : {"y1", "y2"}) Dialog::Touch(src / (std::string(t) + ".png"));
    d.files.failCopy = {"y2"};
    d.files.failRemove = {"a"};
    d.dlg.Start(AddPicturesMode::AddOrReplace, 1);
    d.dlg.SetSourceFolder(src);
    d.TickAll();
    const AddPicturesReport r = d.dlg.AddOrReplace(true);
    EXPECT_EQ(r.added, 1);
    ASSERT_EQ(r.failedCopies.size(), 1u);
    EXPECT_NE(r.failedCopies[0].find("y2"), std::string::npos);
    ASSERT_EQ(r.failedDeletes.size(), 1u);
    EXPECT_NE(r.Problems().find("复制失败"), std::string::npos);
    EXPECT_EQ(d.Names(), (Names{"上装", "y1", "下装", "c"}));
    EXPECT_EQ(d.dlg.entries()[1].tick, 'Y') << "y2 was not added";

    // When no picture could be copied, nothing is replaced.
    Dialog e("T:上装 a b");
    Dialog::Touch(src / "y3.png");
    e.files.failCopy = {"y1", "y2", "y3"};
    e.dlg.Start(AddPicturesMode::AddOrReplace, 1);
    e.dlg.SetSourceFolder(src);
    e.TickAll();
    EXPECT_EQ(e.dlg.AddOrReplace(true).added, 0);
    EXPECT_EQ(e.Names(), (Names{"上装", "a", "b"}));
    EXPECT_TRUE(fs::exists(e.Pics() / "a.png"));
    EXPECT_EQ(e.store.ModifiedCounter(), 0);
}

// The copy into the project writes through the one save: a folder where
// the picture should go, or a source that is gone, is refused with the
// reason in words, and what stood there stays.
TEST(AddFittingPics, PictureCopiesAreSavesThatSayWhyTheyFail) {
    testsupport::TempDir dir;
    dir.write("from.png", "new picture");
    dir.write("old.png", "old picture");
    fs::create_directories(dir / "folder.png");
    testsupport::ScopedCwd cwd(dir.path());
    PictureFileOps ops;
    std::string why;
    EXPECT_TRUE(ops.Copy(dir / "from.png", dir / "old.png", why)) << why;
    EXPECT_EQ(testsupport::ReadAll(dir / "old.png"), testsupport::ReadAll(dir / "from.png"));
    EXPECT_FALSE(ops.Copy(dir / "from.png", dir / "folder.png", why));
    EXPECT_EQ(why, "无法写入 folder.png: 是一个文件夹");
    EXPECT_TRUE(fs::is_directory(dir / "folder.png"));
    EXPECT_FALSE(ops.Copy(dir / "gone.png", dir / "old.png", why));
    EXPECT_EQ(why, "无法读取 gone.png: 文件不存在");
    EXPECT_FALSE(ops.Copy(dir / "folder.png", dir / "old.png", why));
    EXPECT_EQ(why, "无法读取 folder.png: 是一个文件夹");
    EXPECT_EQ(testsupport::ReadAll(dir / "old.png"), testsupport::ReadAll(dir / "from.png"));
}

TEST(AddFittingPics, TitlesThatCannotBeNamesAreSkipped) {
    Dialog d("T:上装 a");
    const std::string tooLong(70, 'x');
    for (const std::string& t : {std::string("好"), std::string("emoji\xF0\x9F\x98\x80"), tooLong})
        Dialog::Touch(d.Pics() / (t + ".png"));
    d.dlg.Start(AddPicturesMode::AddToCategory, -1);
    d.TickAll();
    const AddPicturesReport r = d.dlg.AddToCategory(0);
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(r.skipped.size(), 2u);
    EXPECT_EQ(d.Names(), (Names{"上装", "a", "好"}));
}

TEST(AddFittingPics, RenamingACategoryCountsAsAChange) {
    Dialog d("T:上装 a");
    AddFittingPics& dlg = d.dlg;
    EXPECT_TRUE(dlg.RenameCategory(0, "外套"));
    EXPECT_EQ(d.store.Part(0).Name(), "外套");
    EXPECT_EQ(d.store.ModifiedCounter(), 1);
    EXPECT_FALSE(dlg.RenameCategory(1, "x")) << "not a caption row";
    EXPECT_TRUE(dlg.RenameCategory(0, std::string(40, 'x') + "一二三四五六七八九十一二"));
    EXPECT_EQ(d.store.Part(0).Name(), std::string(40, 'x') + "一二三四五六七八九十") << "60 bytes";
}

}  // namespace
