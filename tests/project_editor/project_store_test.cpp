#include "project_editor/project_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "platform/text.h"
#include "tests/project_editor/project_fixtures.h"
#include "tests/support/temp_dir.h"

using namespace project_editor;
using namespace testbytes;
namespace fs = std::filesystem;

namespace {

const std::string kProjects = "KZV网页项目文件";

std::string Gbk(const std::string& utf8) { return platform::Utf8ToGbkLossy(utf8); }

class ProjectStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        CProjectStore::ResetInstance();
        fs::create_directories(m_dir / kProjects);
        Store().SetBaseDir(m_dir.path());
    }

    CProjectStore& Store() { return CProjectStore::Instance(); }
    fs::path ProjectPath(const std::string& name, const char* ext = ".dm3") const {
        return m_dir / kProjects / (name + ext);
    }
    void WriteProject(const std::string& name, const std::vector<std::uint8_t>& bytes, const char* ext = ".dm3") {
        m_dir.write(fs::path(kProjects) / (name + ext), bytes);
    }
    std::vector<std::uint8_t> ReadProject(const std::string& name) const {
        return testsupport::ReadAll(ProjectPath(name));
    }

    // A sound project of `n` parts named "<tag>0", "<tag>1", ... with one face
    // string each, its picture folder the existing folder "pics".
    std::vector<std::uint8_t> SoundProject(int n, const std::string& tag) {
        fs::create_directories(m_dir / "pics");
        ByteBuilder file = HeaderBytes(n, "pics");
        ByteBuilder pool;
        std::vector<ByteBuilder> faces;
        for (int i = 0; i < n; ++i) {
            const std::string text = tag + "face" + std::to_string(i);
            ByteBuilder face = FaceBytes('1');
            SetFaceString(face, 1, 0, static_cast<std::int32_t>(pool.size()), static_cast<std::uint8_t>(text.size()));
            pool.Append(text);
            faces.push_back(face);
        }
        file.Append(InfoBytes(n, static_cast<std::int32_t>(pool.size())));
        for (int i = 0; i < n; ++i) file.Append(PartBytes('A', 'x', tag + std::to_string(i)));
        for (const ByteBuilder& f : faces) file.Append(f);
        file.Append(pool);
        return file.bytes();
    }

    testsupport::TempDir m_dir;
};

// ---- writing ----

TEST_F(ProjectStoreTest, SavedProjectReadsBackFieldByFieldAtTheFormatsOffsets) {
    CProjectStore& s = Store();
    s.Reset();
    s.Header().SetStateLetter('A');
    s.Header().SetEditionLetter('1');
    s.Header().SetPictureFolder("/p/试衣及按钮图片");
    s.SetPartCount(2);
    s.Part(0).SetCategory('A');
    s.Part(0).SetRowType('T');
    s.Part(0).SetName("初始类");
    s.Part(1).SetCategory('A');
    s.Part(1).SetRowType('x');
    s.Part(1).SetSwitch('1');
    s.Part(1).SetName("张三");
    s.Part(1).SetPictureName("p1");
    s.Part(1).SetX(10);
    s.Part(1).SetY(-20);
    s.Part(1).SetDepth(5);
    s.Part(1).SetWidth(100);
    s.Part(1).SetHeight(200);
    s.Part(1).SetScale(0.5f);
    std::int32_t off = -1, len = 0;
    ASSERT_EQ(s.AddString(off, len, "front.jpg"), AddStringResult::Appended);
    s.Face(1).SetString(1, 0, off, static_cast<std::uint8_t>(len));
    s.Face(1).SetFaceCountLetter('1');
    s.SetModifiedCounter(3);
    s.SetProjectName("demo");
    ASSERT_EQ(s.Save(), SaveResult::Saved);
    EXPECT_EQ(s.ModifiedCounter(), 0);

    const auto b = ReadProject("demo");
    ASSERT_EQ(b.size(), 668u + 2 * 544 + 2 * 348 + 9);
    // header
    EXPECT_EQ(b[0], 'A');
    EXPECT_EQ(b[1], '1');
    EXPECT_EQ(TextAt(b, 2, 366), "/p/\xCA\xD4\xD2\xC2\xBC\xB0\xB0\xB4\xC5\xA5\xCD\xBC\xC6\xAC");
    EXPECT_EQ(I32At(b, 368), 2);
    // info block
    EXPECT_EQ(BytesAt(b, 372, 268), std::string(268, ' '));
    EXPECT_EQ(I32At(b, 372 + 268), 2);  // M followed N when the string was added
    EXPECT_EQ(I32At(b, 372 + 272), 1);
    EXPECT_EQ(I32At(b, 372 + 276), 9);
    EXPECT_EQ(I32At(b, 372 + 280), 0);
    EXPECT_EQ(I32At(b, 372 + 284), 0);  // the counter of 3 is not stored
    // part 1
    const std::size_t p = 668 + 544;
    EXPECT_EQ(b[p + 0], 'A');
    EXPECT_EQ(b[p + 1], 'x');
    EXPECT_EQ(b[p + 2], '1');
    EXPECT_EQ(BytesAt(b, p + 3, 5), std::string(kGbkZhangSan) + '\0');
    EXPECT_EQ(TextAt(b, p + 69, 14), "-----");
    EXPECT_EQ(TextAt(b, p + 85, 66), "p1");
    EXPECT_EQ(TextAt(b, p + 151, 220), "----");
    EXPECT_EQ(TextAt(b, p + 472, 13), "200,200");
    EXPECT_EQ(TextAt(b, p + 487, 17), "100,100");
    EXPECT_EQ(TextAt(b, p + 504, 9), "----");
    EXPECT_EQ(b[p + 514], '0');
    EXPECT_EQ(I32At(b, p + 516), 10);
    EXPECT_EQ(I32At(b, p + 520), -20);
    EXPECT_EQ(I32At(b, p + 524), 5);
    EXPECT_EQ(I32At(b, p + 528), -1);
    EXPECT_EQ(I32At(b, p + 532), 100);
    EXPECT_EQ(I32At(b, p + 536), 200);
    EXPECT_EQ(U32At(b, p + 540), 0x3F000000u);  // 0.5f
    EXPECT_EQ(U32At(b, 668 + 540), 0x3F800000u);  // part 0 keeps 1.0
    // face 1
    const std::size_t f = 668 + 2 * 544 + 348;
    EXPECT_EQ(BytesAt(b, f, 9), std::string("001J\0    ", 9));
    EXPECT_EQ(b[f + 9], 9);
    EXPECT_EQ(I32At(b, f + 92), 0);
    EXPECT_EQ(I32At(b, f + 96), -1);
    EXPECT_EQ(I32At(b, f + 76), -1);
    // pool
    EXPECT_EQ(BytesAt(b, 668 + 2 * 544 + 2 * 348, 9), "front.jpg");
}

TEST_F(ProjectStoreTest, SaveWritesEveryPartsFaceRecord) {
    CProjectStore& s = Store();
    s.SetPartCount(3);
    s.Face(2).SetFaceCountLetter('4');  // face data set without any pool text: M stays 0
    ASSERT_EQ(s.FaceCount(), 0);
    s.SetProjectName("faces");
    ASSERT_EQ(s.Save(), SaveResult::Saved);
    const auto b = ReadProject("faces");
    EXPECT_EQ(I32At(b, 372 + 268), 3);
    ASSERT_EQ(b.size(), 668u + 3 * 544 + 3 * 348);
    EXPECT_EQ(b[668 + 3 * 544 + 2 * 348 + 2], '4');
}

TEST_F(ProjectStoreTest, SaveWithoutNameWritesNothing) {
    Store().AddModified();
    EXPECT_EQ(Store().Save(), SaveResult::NoProject);
    EXPECT_TRUE(fs::is_empty(m_dir / kProjects));
    EXPECT_EQ(Store().ModifiedCounter(), 1);
}

TEST_F(ProjectStoreTest, FailedSaveIsReportedAndKeepsCounterAndOldFile) {
    CProjectStore& s = Store();
    s.SetProjectName("locked");
    fs::create_directories(ProjectPath("locked"));  // a folder where the file should go
    s.AddModified(2);
    std::string why;
    {
        // In its base directory, as the program runs, the text names the file
        // by its path there and says why in words.
        testsupport::ScopedCwd cwd(m_dir.path());
        EXPECT_EQ(s.Save(&why), SaveResult::Failed);
    }
    EXPECT_EQ(why, "项目文件保存失败: 无法写入 " + (fs::path(kProjects) / "locked.dm3").string() +
                       ": 是一个文件夹");
    EXPECT_EQ(s.ModifiedCounter(), 2);
    EXPECT_TRUE(fs::is_directory(ProjectPath("locked")));

    s.SetProjectName("../escape");
    EXPECT_EQ(s.Save(&why), SaveResult::Failed);
    EXPECT_FALSE(fs::exists(m_dir / "escape.dm3"));
}

// ---- reading ----

TEST_F(ProjectStoreTest, UnchangedProjectIsSavedByteIdentical) {
    fs::create_directories(m_dir / "pics");  // the fixture's picture folder, relative to the base
    const auto bytes = OddFixture();
    WriteProject("rt", bytes);
    ASSERT_TRUE(Store().Load("rt"));
    EXPECT_EQ(Store().GetFaceString(0, 1, 0), "front.jpg");
    Store().SetProjectName("rt");
    ASSERT_EQ(Store().Save(), SaveResult::Saved);
    EXPECT_EQ(ReadProject("rt"), bytes);
}

TEST_F(ProjectStoreTest, LoadingASmallerProjectLeavesNothingOfTheLargerOne) {
    WriteProject("big", SoundProject(5, "big"));
    WriteProject("small", SoundProject(2, "s"));
    ASSERT_TRUE(Store().Load("big"));
    ASSERT_TRUE(Store().Load("small"));
    EXPECT_EQ(Store().PartCount(), 2);
    EXPECT_EQ(Store().Part(1).Name(), "s1");
    EXPECT_EQ(Store().Part(2).Name(), "");
    EXPECT_EQ(Store().Face(3).StringOffset(1, 0), -1);
    EXPECT_EQ(Store().Project().pool.Bytes()[Store().PoolLength()], ' ');
    // Growing the project again shows blank records, not the old project's.
    Store().SetPartCount(5);
    EXPECT_EQ(Store().Part(4).Name(), "");
    EXPECT_EQ(Store().GetFaceString(4, 1, 0), "");
}

TEST_F(ProjectStoreTest, LoadSavesAModifiedProjectFirst) {
    WriteProject("a", SoundProject(1, "a"));
    WriteProject("b", SoundProject(1, "b"));
    ASSERT_TRUE(Store().Load("a"));
    Store().SetProjectName("a");
    Store().Part(0).SetName("changed");
    Store().AddModified();
    ASSERT_TRUE(Store().Load("b"));
    EXPECT_EQ(Store().ModifiedCounter(), 0);
    EXPECT_EQ(TextAt(ReadProject("a"), 668 + 3, 66), "changed");
}

TEST_F(ProjectStoreTest, LoadIsRefusedWhenTheModifiedProjectCannotBeSaved) {
    WriteProject("b", SoundProject(1, "b"));
    Store().SetProjectName("cur");
    fs::create_directories(ProjectPath("cur"));
    Store().Part(0).SetName("unsaved");
    Store().AddModified();
    std::string why;
    EXPECT_FALSE(Store().Load("b", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(Store().Part(0).Name(), "unsaved");
    EXPECT_EQ(Store().ModifiedCounter(), 1);
}

TEST_F(ProjectStoreTest, PictureFolderFallsBackWhenItIsNotAFolderHere) {
    struct Case {
        std::string stored;  // UTF-8, written as GBK
        bool keep;
    };
    fs::create_directories(m_dir / "exists" / "sub");
    const Case cases[] = {
        {(m_dir / "exists").string(), true},
        {"exists\\sub", true},  // relative, with the other machine's separator
        {"C:\\KZV\\p\\试衣及按钮图片", false},
        {"\\\\server\\share\\p", false},
        {(m_dir / "missing").string(), false},
        {"", false},
    };
    for (const Case& c : cases) {
        ByteBuilder file = HeaderBytes(0, Gbk(c.stored));
        file.Append(InfoBytes(0, 0));
        WriteProject("p", file.bytes());
        ASSERT_TRUE(Store().Load("p"));
        const std::string expect = c.keep ? c.stored : (m_dir / "p" / "试衣及按钮图片").string();
        EXPECT_EQ(Store().Header().PictureFolder(), expect) << c.stored;
    }
}

// ---- hostile files ----

TEST_F(ProjectStoreTest, HostileFilesAreRefusedWithoutTouchingTheOpenProject) {
    const auto good = SoundProject(2, "g");  // 668 + 1088 + 696 + 12
    const std::size_t facesAt = 668 + 2 * 544;
    const std::size_t poolLen = good.size() - facesAt - 2 * 348;
    auto with = [&](auto change) {
        ByteBuilder b;
        b.Append(std::string_view(reinterpret_cast<const char*>(good.data()), good.size()));
        change(b);
        return b.bytes();
    };
    auto cut = [&](std::size_t n) { return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(n)); };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool loads;
    };
    const Case cases[] = {
        {"empty", {}, false},
        {"one byte", cut(1), false},
        {"header only", cut(372), false},
        {"one short of the fixed blocks", cut(667), false},
        {"into the parts", cut(668 + 544 + 10), false},
        {"into the faces", cut(facesAt + 100), false},
        {"pool one short", cut(good.size() - 1), false},
        {"bytes after the pool", with([](ByteBuilder& b) { b.Append("older writers' tail"); }), true},
        {"N = -1", with([](ByteBuilder& b) { b.I32(368, -1); }), false},
        {"N = 167", with([](ByteBuilder& b) { b.I32(368, 167); }), false},
        {"N = INT_MAX", with([](ByteBuilder& b) { b.I32(368, INT_MAX); }), false},
        {"N = INT_MIN", with([](ByteBuilder& b) { b.I32(368, INT_MIN); }), false},
        {"N = 3, bytes of 2", with([](ByteBuilder& b) { b.I32(368, 3); }), false},
        {"M = -1", with([](ByteBuilder& b) { b.I32(372 + 268, -1); }), false},
        {"M = 167", with([](ByteBuilder& b) { b.I32(372 + 268, 167); }), false},
        {"T = -1", with([](ByteBuilder& b) { b.I32(372 + 276, -1); }), false},
        {"T = 18,701", with([](ByteBuilder& b) { b.I32(372 + 276, 18701); }), false},
        {"T = INT_MAX", with([](ByteBuilder& b) { b.I32(372 + 276, INT_MAX); }), false},
        // Stale offsets outside the pool read as no string.
        {"offset past T", with([&](ByteBuilder& b) { b.I32(facesAt + 92, static_cast<std::int32_t>(poolLen) + 1); }), true},
        {"offset -2", with([&](ByteBuilder& b) { b.I32(facesAt + 348 + 92 + 4 * 63, -2); }), true},
        {"offset INT_MIN", with([&](ByteBuilder& b) { b.I32(facesAt + 92 + 4 * 17, INT_MIN); }), true},
        {"offset 18,700", with([&](ByteBuilder& b) { b.I32(facesAt + 92, 18700); }), true},
        {"offset at T, length 255", with([&](ByteBuilder& b) {
             b.I32(facesAt + 92, static_cast<std::int32_t>(poolLen)).U8(facesAt + 9, 255);
         }), true},
        {"offset T - 1, length 255", with([&](ByteBuilder& b) {
             b.I32(facesAt + 92, static_cast<std::int32_t>(poolLen) - 1).U8(facesAt + 9, 255);
         }), true},
        {"offset 0, length 255", with([&](ByteBuilder& b) { b.I32(facesAt + 92, 0).U8(facesAt + 9, 255); }), true},
    };

    WriteProject("prev", SoundProject(3, "prev"));
    for (const Case& c : cases) {
        ASSERT_TRUE(Store().Load("prev"));
        const auto before = WriteProjectBytes(Store().Project());
        const std::string folderBefore = Store().Header().PictureFolder();
        WriteProject("bad", c.bytes);
        std::string why;
        EXPECT_EQ(Store().Load("bad", &why), c.loads) << c.what;
        if (c.loads) {
            for (int kind = 0; kind <= 5; ++kind)
                for (int face = -1; face <= 16; ++face)
                    for (int part = -1; part <= 3; ++part) (void)Store().GetFaceString(part, kind, face);
            EXPECT_LE(Store().GetFaceString(0, 1, 0).size(), 66u) << c.what;
        } else {
            EXPECT_FALSE(why.empty()) << c.what;
            EXPECT_EQ(WriteProjectBytes(Store().Project()), before) << c.what;
            EXPECT_EQ(Store().Header().PictureFolder(), folderBefore) << c.what;
        }
    }
}

TEST_F(ProjectStoreTest, HostileLegacyFilesAreRefused) {
    ByteBuilder good = HeaderBytes(2, "x");
    good.Append(LegacyPartBytes(0)).Append(LegacyPartBytes(1));
    const auto& g = good.bytes();
    const std::vector<std::vector<std::uint8_t>> cases = {
        {},
        std::vector<std::uint8_t>(g.begin(), g.begin() + 371),
        std::vector<std::uint8_t>(g.begin(), g.end() - 1),
        ByteBuilder(good).I32(368, -1).bytes(),
        ByteBuilder(good).I32(368, 167).bytes(),
    };
    WriteProject("prev", SoundProject(1, "prev"));
    ASSERT_TRUE(Store().Load("prev"));
    const auto before = WriteProjectBytes(Store().Project());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        WriteProject("old", cases[i], ".dy3");
        EXPECT_FALSE(Store().Open("old")) << i;
        EXPECT_EQ(WriteProjectBytes(Store().Project()), before) << i;
    }
    // Bytes after the records are ignored, as in the newer form.
    WriteProject("old", ByteBuilder(good).Append("older writers' tail").bytes(), ".dy3");
    EXPECT_TRUE(Store().Open("old"));
    EXPECT_EQ(Store().Project().PartCount(), 2);
}

// ---- opening and conversion ----

TEST_F(ProjectStoreTest, LegacyFileIsConvertedFieldByField) {
    fs::create_directories(m_dir / "old" / "试衣及按钮图片");
    ByteBuilder file = HeaderBytes(2, "C:\\old", 'A', '1');
    file.Append(LegacyPartBytes(0)).Append(LegacyPartBytes(1));
    WriteProject("old", file.bytes(), ".dy3");
    WriteProject("prev", SoundProject(3, "prev"));
    ASSERT_TRUE(Store().Load("prev"));
    Store().SetProjectName("prev");

    ASSERT_TRUE(Store().Open("old"));
    EXPECT_EQ(Store().ProjectName(), "prev");  // Open does not change the current name
    EXPECT_EQ(Store().PartCount(), 2);
    EXPECT_EQ(Store().FaceCount(), 0);
    EXPECT_EQ(Store().PoolLength(), 0);
    EXPECT_EQ(Store().Header().PictureFolder(), (m_dir / "old" / "试衣及按钮图片").string());
    for (int i = 0; i < 2; ++i) {
        const auto b = Store().Part(i).Bytes();
        EXPECT_EQ(b[0], 'C' + i);
        EXPECT_EQ(b[1], 'n');
        EXPECT_EQ(b[2], '1');
        EXPECT_EQ(TextAt(b, 3, 66), kGbkZhangSan);
        EXPECT_EQ(TextAt(b, 69, 14), "G123");
        EXPECT_EQ(b[83], 'S');
        EXPECT_EQ(b[84], 'D');
        EXPECT_EQ(TextAt(b, 85, 66), "pic7");
        EXPECT_EQ(TextAt(b, 151, 220), "http://a/b");
        EXPECT_EQ(TextAt(b, 371, 66), "ABCDEFGHIJKLMNOPQRST");
        EXPECT_EQ(TextAt(b, 437, 26), "abcdefghijklmnopqrstuvwxy");  // byte 462 stays NUL
        EXPECT_EQ(b[462], 0);
        EXPECT_EQ(TextAt(b, 463, 9), "12,34");
        EXPECT_EQ(TextAt(b, 472, 13), "56,78");
        EXPECT_EQ(b[485], 'P');
        EXPECT_EQ(b[486], 'J');
        EXPECT_EQ(TextAt(b, 487, 17), "90,12");
        EXPECT_EQ(TextAt(b, 504, 9), "9.99");
        EXPECT_EQ(b[513], 'F');
        EXPECT_EQ(b[514], '3');
        EXPECT_EQ(I32At(b, 516), 111 + i);
        EXPECT_EQ(I32At(b, 520), 222);
        EXPECT_EQ(I32At(b, 524), 33);
        EXPECT_EQ(I32At(b, 528), -1);
        EXPECT_EQ(I32At(b, 532), 444);
        EXPECT_EQ(I32At(b, 536), 555);
        EXPECT_EQ(U32At(b, 540), 0x3FC00001u);
    }
    EXPECT_EQ(Store().Part(2).Name(), "");
    EXPECT_EQ(Store().Face(0).StringOffset(1, 0), -1);
    EXPECT_EQ(Store().Face(0).FaceCountLetter(), '\0');
    EXPECT_EQ(Store().GetFaceString(0, 1, 0), "");
}

TEST_F(ProjectStoreTest, OpeningALegacyFileSavesAModifiedProjectFirst) {
    WriteProject("cur", SoundProject(1, "cur"));
    ByteBuilder file = HeaderBytes(1, "x");
    file.Append(LegacyPartBytes(0));
    WriteProject("old", file.bytes(), ".dy3");
    ASSERT_TRUE(Store().Load("cur"));
    Store().SetProjectName("cur");
    Store().Part(0).SetName("edited");
    Store().AddModified();
    ASSERT_TRUE(Store().Open("old"));
    EXPECT_EQ(TextAt(ReadProject("cur"), 668 + 3, 66), "edited");
}

TEST_F(ProjectStoreTest, OpenPrefersTheNewFormAndFailsWithoutEither) {
    WriteProject("both", SoundProject(1, "new"));
    ByteBuilder legacy = HeaderBytes(1, "x");
    legacy.Append(LegacyPartBytes(0));
    WriteProject("both", legacy.bytes(), ".dy3");
    ASSERT_TRUE(Store().Open("both"));
    EXPECT_EQ(Store().Part(0).Name(), "new0");

    std::string why;
    EXPECT_FALSE(Store().Open("nothing", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(Store().Part(0).Name(), "new0");

    WriteProject("broken", {1, 2, 3});
    WriteProject("broken", legacy.bytes(), ".dy3");
    EXPECT_FALSE(Store().Open("broken"));  // a bad ".dm3" is not replaced by the ".dy3"
    EXPECT_EQ(Store().Part(0).Name(), "new0");
}

TEST_F(ProjectStoreTest, SampleProjectGetsItsFixedPictureFolder) {
    const std::string sample = "2010秋冬女装";
    ByteBuilder legacy = HeaderBytes(1, "x");
    legacy.Append(LegacyPartBytes(0));
    WriteProject(sample, legacy.bytes(), ".dy3");
    ASSERT_TRUE(Store().Open(sample));
    EXPECT_EQ(Store().Header().PictureFolder(), (m_dir / "图片目录PNG").string());

    fs::create_directories(m_dir / "pics");
    WriteProject(sample, SoundProject(1, "s"));
    ASSERT_TRUE(Store().Open(sample));
    EXPECT_EQ(Store().Header().PictureFolder(), (m_dir / sample / "试衣及按钮图片").string());
}

// ---- pool strings ----

TEST_F(ProjectStoreTest, AddStringTable) {
    const std::string hundred(100, 'a');
    std::string chinese;  // 39 characters, 78 GBK bytes: cut to 76
    for (int i = 0; i < 39; ++i) chinese += "张";
    struct Case {
        const char* what;
        int n, m, t;             // the project before
        std::int32_t offsetIn;   // -1: a new string
        std::string text;
        AddStringResult result;
        std::int32_t offsetOut, lengthOut;
        int tAfter, mAfter;
    };
    const Case cases[] = {
        {"append", 2, 2, 10, -1, "abc", AddStringResult::Appended, 10, 3, 13, 2},
        {"long text keeps 77 bytes", 1, 1, 0, -1, hundred, AddStringResult::Appended, 0, 77, 77, 1},
        {"cut on a character boundary", 1, 1, 0, -1, chinese, AddStringResult::Appended, 0, 76, 76, 1},
        {"M follows N", 5, 0, 0, -1, "x", AddStringResult::Appended, 0, 1, 1, 5},
        {"M above N stays", 2, 4, 0, -1, "x", AddStringResult::Appended, 0, 1, 1, 4},
        {"full: 18,690 + 10", 1, 1, 18690, -1, "0123456789", AddStringResult::PoolFull, -1, 7, 18690, 1},
        {"just fits: 18,689 + 10", 1, 1, 18689, -1, "0123456789", AddStringResult::Appended, 18689, 10, 18699, 1},
        {"shorter text keeps its place", 1, 1, 20, 4, "ab", AddStringResult::Overwritten, 4, 2, 20, 1},
        {"same length at the end", 1, 1, 20, 17, "xyz", AddStringResult::Overwritten, 17, 3, 20, 1},
        {"past the used pool: appended", 1, 1, 20, 18, "xyz", AddStringResult::Appended, 20, 3, 23, 1},
        {"offset beyond T: appended", 1, 1, 20, 5000, "q", AddStringResult::Appended, 20, 1, 21, 1},
        {"in place, pool full", 1, 1, 18695, 18690, "0123456789", AddStringResult::PoolFull, 18690, 7, 18695, 1},
        {"empty text", 1, 1, 3, -1, "", AddStringResult::Appended, 3, 0, 3, 1},
    };
    for (const Case& c : cases) {
        CProjectStore::ResetInstance();
        CProjectStore& s = CProjectStore::Instance();
        s.SetPartCount(c.n);
        s.Project().SetFaceCount(c.m);
        s.Project().SetPoolLength(c.t);
        std::int32_t offset = c.offsetIn, length = 7;
        EXPECT_EQ(s.AddString(offset, length, c.text), c.result) << c.what;
        EXPECT_EQ(offset, c.result == AddStringResult::PoolFull ? c.offsetIn : c.offsetOut) << c.what;
        EXPECT_EQ(length, c.lengthOut) << c.what;
        EXPECT_EQ(s.PoolLength(), c.tAfter) << c.what;
        EXPECT_EQ(s.FaceCount(), c.mAfter) << c.what;
        if (c.result != AddStringResult::PoolFull && length > 0) {
            const auto pool = s.Project().pool.Bytes();
            EXPECT_EQ(BytesAt(pool, static_cast<std::size_t>(offset), static_cast<std::size_t>(length)),
                      std::string(Gbk(c.text)).substr(0, static_cast<std::size_t>(length)))
                << c.what;
        }
    }
}

TEST_F(ProjectStoreTest, GetFaceStringTable) {
    CProjectStore& s = Store();
    s.SetPartCount(2);
    s.Project().SetFaceCount(2);
    std::int32_t off = -1, len = 0;
    s.AddString(off, len, "0123456789");  // pool offset 0
    std::string seventy(70, 'z');
    std::int32_t off2 = -1, len2 = 0;
    s.AddString(off2, len2, seventy);  // pool offset 10, 70 bytes
    s.Face(0).SetString(1, 0, 0, 10);
    s.Face(0).SetString(4, 15, 10, 200);  // length byte above 66
    s.Face(1).SetString(2, 3, 75, 10);    // runs past the used pool (T = 80)
    s.Face(1).SetString(3, 0, 18699, 5);
    s.Face(1).SetString(3, 1, 18700, 5);
    struct Case {
        int part, kind, face;
        std::string expect;
    };
    const Case cases[] = {
        {0, 1, 0, "0123456789"},
        {0, 4, 15, std::string(66, 'z')},
        {1, 2, 3, "zzzzz"},
        {1, 3, 0, ""},
        {1, 3, 1, ""},
        {0, 1, 1, ""},  // offset -1
        {0, 0, 0, ""},  {0, 5, 0, ""},  {0, 1, -1, ""}, {0, 1, 16, ""},
        {2, 1, 0, ""},  {-1, 1, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.GetFaceString(c.part, c.kind, c.face), c.expect) << c.part << ' ' << c.kind << ' ' << c.face;

    EXPECT_EQ(s.GetPoolString(0, 4), "0123");
    EXPECT_EQ(s.GetPoolString(-1, 4), "");
    EXPECT_EQ(s.GetPoolString(18700, 4), "");
    EXPECT_EQ(s.GetPoolString(78, 66), "zz");
    EXPECT_EQ(s.GetPoolString(3, -5), "");
}

}  // namespace
