// Creating, opening and replacing projects without a window: the create
// table (empty and unplain names, an existing name, a modified project that
// cannot be saved, reference templates present and missing), the new
// project read back by the independent reader, and the replace table
// (missing basic project, missing or same source, a failed copy).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "platform/files.h"
#include "platform/text.h"
#include "project_editor/project_dialogs.h"
#include "tests/project_editor/dm3_reader.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace project_editor;

namespace {

const char* const kSystemFiles[] = {"photo.png", "background_music.mid", "Gif_InitSound.MID", "onLineHelp_dress.wma",
                                    "onLineHelp_dress.jpg", "stageBkg001.jpg", "stageBkg002.jpg", "stageBkg003.jpg",
                                    "stageBkg004.jpg", "stageBkg005.jpg"};

std::string Gbk(const std::string& utf8) { return platform::Utf8ToGbkLossy(utf8); }

// Header text at 2..367 as the file holds it, read with literal offsets.
std::string StoredPictureFolder(const fs::path& dm3) {
    const auto b = testsupport::ReadAll(dm3);
    if (b.size() < 372) return {};
    std::string s;
    for (std::size_t i = 2; i < 368 && b[i]; ++i) s.push_back(static_cast<char>(b[i]));
    return platform::GbkToUtf8(s);
}

class FailingCopies : public PictureFileOps {
public:
    explicit FailingCopies(std::string failOn) : m_failOn(std::move(failOn)) {}
    bool Copy(const fs::path& from, const fs::path& to, std::string& why) override {
        if (from.filename().string() == m_failOn) {
            why = "磁盘已满";
            return false;
        }
        return PictureFileOps::Copy(from, to, why);
    }
    std::string m_failOn;
};

class ProjectDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        base = m_dir.path();
        CProjectStore::ResetInstance();
        BasicProjectFolder().clear();
        store().SetBaseDir(base);
        settings.SetBaseDir(base);
        for (const char* f : kSystemFiles) m_dir.write(fs::path("KZVSYSPIC") / f, std::string("sys:") + f);
        fs::create_directories(base / "KZV网页项目文件");
    }
    CProjectStore& store() { return CProjectStore::Instance(); }

    // An open project "旧项目" of two parts, saved, with its folders.
    void OpenOldProject() {
        FillClothingTemplate(store());
        store().SetPartCount(2);
        store().SetProjectName("旧项目");
        store().Header().SetPictureFolder((base / "旧项目" / "试衣及按钮图片").string());
        for (const char* sub : {"试衣及按钮图片", "音乐及语音", "展示及说明图片"}) fs::create_directories(base / "旧项目" / sub);
        ASSERT_EQ(store().Save(), SaveResult::Saved);
    }

    // A reference template "<kind>模板" with a project of `parts` parts and one file per folder.
    void MakeTemplate(const std::string& kind, int parts) {
        CProjectStore other;
        other.SetBaseDir(m_dir.path() / "scratch");
        fs::create_directories(other.BaseDir() / "KZV网页项目文件");
        FillClothingTemplate(other);
        other.SetPartCount(parts);
        other.Part(2).SetName("模板衬衫");
        other.Header().SetPictureFolder("D:\\模板\\试衣及按钮图片");
        other.SetProjectName(kind);
        ASSERT_EQ(other.Save(), SaveResult::Saved);
        const fs::path tpl = base / "试衣搭配模板SYSMDL" / (kind + "模板");
        fs::create_directories(tpl);
        fs::copy_file(ProjectFilePath(other.BaseDir(), kind), tpl / (kind + ".dm3"));
        m_dir.write(tpl.lexically_relative(base) / "试衣及按钮图片" / "模板衬衫.png", std::string("png"));
        m_dir.write(tpl.lexically_relative(base) / "展示及说明图片" / "模板衬衫_展示.jpg", std::string("jpg"));
        m_dir.write(tpl.lexically_relative(base) / "音乐及语音" / "介绍.wav", std::string("wav"));
    }

    testsupport::TempDir m_dir;
    fs::path base;
    CSysSetInfo settings;
    PictureFileOps files;
    std::vector<std::string> asked;
    AskUser Answer(bool yes) {
        return [this, yes](const std::string& q) {
            asked.push_back(q);
            return yes;
        };
    }
};

TEST_F(ProjectDialogs, ClothingTemplateProjectReadsBackInTheIndependentReader) {
    const CreateReport r = CreateProject(store(), settings, "春季新款", "不用模板", Answer(true), files);
    ASSERT_EQ(r.outcome, CreateOutcome::Created) << r.message;
    EXPECT_TRUE(r.problems.empty());
    EXPECT_TRUE(asked.empty());

    const fs::path dm3 = base / "KZV网页项目文件" / "春季新款.dm3";
    const dm3test::File f = dm3test::Read(dm3);
    ASSERT_TRUE(f.ok);
    ASSERT_EQ(f.n, 13);
    EXPECT_EQ(f.m, 13);
    EXPECT_EQ(f.modified, 0);
    struct Row { char cat, type; const char* name; int depth; int x; };
    const Row rows[] = {{'A', 'T', "初始类(模特)", 90, 0}, {'A', 'K', "kzvphoto", 96, 200}, {'A', 'x', "", 90, 200},
                        {'B', 'T', "第一类(上装)", 40, 0}, {'B', 'x', "", 40, 200}, {'C', 'T', "第二类(下装)", 60, 0},
                        {'C', 'x', "", 60, 200}, {'D', 'T', "第三类(包包鞋类)", 80, 0}, {'D', 'x', "", 80, 200},
                        {'E', 'T', "第四类(装饰品)", 20, 0}, {'E', 'x', "", 20, 200}, {'F', 'T', "第五类(套装)", 40, 0},
                        {'F', 'x', "", 40, 200}};
    for (int i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        const dm3test::Part& p = f.parts[static_cast<std::size_t>(i)];
        EXPECT_EQ(p.category, rows[i].cat);
        EXPECT_EQ(p.rowType, rows[i].type);
        EXPECT_EQ(p.nameGbk, Gbk(rows[i].name));
        EXPECT_EQ(p.depth, rows[i].depth);
        EXPECT_EQ(p.x, rows[i].x);
        EXPECT_EQ(p.y, rows[i].x);
        EXPECT_FLOAT_EQ(p.scale, 1.0f);
        EXPECT_EQ(dm3test::Text(p.bytes, 472, 13), "200,200");
        EXPECT_EQ(dm3test::Text(p.bytes, 487, 17), "100,100");
        EXPECT_EQ(p.bytes[514], '0');
        const bool caption = rows[i].type == 'T';
        EXPECT_EQ(dm3test::Text(p.bytes, 69, 14), caption ? "-----" : "");
        EXPECT_EQ(dm3test::Text(p.bytes, 504, 9), caption ? "----" : "");
    }
    EXPECT_EQ(f.parts[1].pictureGbk, "kzvphoto");
    // Switch letters of the table.
    EXPECT_EQ(f.parts[3].bytes[2], '0');
    EXPECT_EQ(f.parts[5].bytes[2], '1');
    const auto all = testsupport::ReadAll(dm3);
    EXPECT_EQ(all[0], 'A');
    EXPECT_EQ(all[1], '1');
    // The new project's own picture folder, its folders and the system files.
    EXPECT_EQ(fs::path(StoredPictureFolder(dm3)), base / "春季新款" / "试衣及按钮图片");
    const fs::path own = base / "春季新款";
    EXPECT_EQ(testsupport::ReadAll(own / "试衣及按钮图片" / "kzvphoto.png").size(), std::strlen("sys:photo.png"));
    for (const char* f2 : {"音乐及语音/background_music.mid", "音乐及语音/Gif_InitSound.MID", "音乐及语音/onLineHelp.wma",
                           "展示及说明图片/onLineHelp.jpg", "展示及说明图片/stageBkg001.jpg", "展示及说明图片/stageBkg005.jpg"})
        EXPECT_TRUE(fs::exists(own / f2)) << f2;
    EXPECT_EQ(settings.GetSeriesName(), "春季新款");
    EXPECT_EQ(store().ProjectName(), "春季新款");
}

TEST_F(ProjectDialogs, CreateRefusesOrAsksAndKeepsWhatIsThere) {
    // Empty and unplain names: nothing is written.
    struct { const char* name; CreateOutcome outcome; } refusals[] = {
        {"", CreateOutcome::EmptyName},       {"a/b", CreateOutcome::NotPlainName}, {"a\\b", CreateOutcome::NotPlainName},
        {"..", CreateOutcome::NotPlainName},  {" 前后空格", CreateOutcome::NotPlainName},
        {"C:项目", CreateOutcome::NotPlainName}, {"问号?", CreateOutcome::NotPlainName},
        {"换\n行", CreateOutcome::NotPlainName},
        {"一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一", CreateOutcome::NotPlainName},
    };
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.name);
        const CreateReport r = CreateProject(store(), settings, c.name, "不用模板", Answer(true), files);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_FALSE(r.message.empty());
        if (c.outcome == CreateOutcome::EmptyName) {
            EXPECT_EQ(r.message, "项目名不能为空!");
        }
    }
    EXPECT_TRUE(ListProjectNames(base).empty());

    // An existing name: No keeps the project file byte for byte.
    OpenOldProject();
    const fs::path oldFile = base / "KZV网页项目文件" / "旧项目.dm3";
    const auto before = testsupport::ReadAll(oldFile);
    CreateReport r = CreateProject(store(), settings, "旧项目", "不用模板", Answer(false), files);
    EXPECT_EQ(r.outcome, CreateOutcome::Declined);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("已经存在"), std::string::npos);
    EXPECT_EQ(testsupport::ReadAll(oldFile), before);
    EXPECT_EQ(store().PartCount(), 2);
    // Yes replaces it with the new project.
    r = CreateProject(store(), settings, "旧项目", "不用模板", Answer(true), files);
    EXPECT_EQ(r.outcome, CreateOutcome::Created);
    EXPECT_EQ(dm3test::Read(oldFile).n, 13);
}

TEST_F(ProjectDialogs, ModifiedProjectIsSavedOrTheUserIsAskedBeforeItIsReset) {
    OpenOldProject();
    // A change that saves: it is written before the new project replaces it.
    store().Part(1).SetName("改过的名字");
    store().AddModified();
    CreateReport r = CreateProject(store(), settings, "新项目一", "不用模板", Answer(false), files);
    ASSERT_EQ(r.outcome, CreateOutcome::Created);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(dm3test::Read(base / "KZV网页项目文件" / "旧项目.dm3").parts.at(1).nameGbk, Gbk("改过的名字"));

    // A change that cannot be saved (the open project's name is no file
    // name): No keeps the store as it was, Yes drops the change.
    store().SetProjectName("坏/名字");
    store().Part(1).SetName("未保存");
    store().AddModified();
    r = CreateProject(store(), settings, "新项目二", "不用模板", Answer(false), files);
    EXPECT_EQ(r.outcome, CreateOutcome::Declined);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("未能保存"), std::string::npos);
    EXPECT_EQ(store().Part(1).Name(), "未保存");
    EXPECT_TRUE(store().IsModified());
    EXPECT_FALSE(fs::exists(base / "KZV网页项目文件" / "新项目二.dm3"));
    r = CreateProject(store(), settings, "新项目二", "不用模板", Answer(true), files);
    EXPECT_EQ(r.outcome, CreateOutcome::Created);
    EXPECT_FALSE(store().IsModified());
}

TEST_F(ProjectDialogs, ReferenceTemplateIsCopiedAndKeepsTheNewPictureFolder) {
    MakeTemplate("男装", 5);
    const CreateReport r = CreateProject(store(), settings, "男装新款", "男装模板", Answer(true), files);
    ASSERT_EQ(r.outcome, CreateOutcome::Created) << r.message;
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();
    const fs::path dm3 = base / "KZV网页项目文件" / "男装新款.dm3";
    const dm3test::File f = dm3test::Read(dm3);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.n, 5);
    EXPECT_EQ(f.parts[2].nameGbk, Gbk("模板衬衫"));
    EXPECT_EQ(fs::path(StoredPictureFolder(dm3)), base / "男装新款" / "试衣及按钮图片");
    for (const char* p : {"试衣及按钮图片/模板衬衫.png", "展示及说明图片/模板衬衫_展示.jpg", "音乐及语音/介绍.wav",
                          "试衣及按钮图片/kzvphoto.png"})
        EXPECT_TRUE(fs::exists(base / "男装新款" / p)) << p;

    // A template that is not there: the clothing template, and the user is told.
    const CreateReport missing = CreateProject(store(), settings, "童装新款", "童装模板", Answer(true), files);
    ASSERT_EQ(missing.outcome, CreateOutcome::Created);
    ASSERT_FALSE(missing.problems.empty());
    EXPECT_NE(missing.problems.back().find("参照模板"), std::string::npos);
    EXPECT_EQ(dm3test::Read(base / "KZV网页项目文件" / "童装新款.dm3").n, 13);
}

TEST_F(ProjectDialogs, OpenMakesTheProjectCurrentAndListsAreCapped) {
    OpenOldProject();
    CreateProject(store(), settings, "另一个", "不用模板", Answer(true), files);
    std::string error;
    ASSERT_TRUE(OpenProject(store(), settings, "旧项目", &error)) << error;
    EXPECT_EQ(store().ProjectName(), "旧项目");
    EXPECT_EQ(store().PartCount(), 2);
    EXPECT_EQ(settings.GetSeriesName(), "旧项目");
    EXPECT_FALSE(OpenProject(store(), settings, "不存在", &error));
    EXPECT_EQ(error.substr(0, std::strlen("打开项目出错!")), "打开项目出错!");
    EXPECT_EQ(store().ProjectName(), "旧项目");
    EXPECT_EQ(ListProjectNames(base), (std::vector<std::string>{"另一个", "旧项目"}));

    // 300 pictures list as 260; folders are skipped; kinds take their masks in order.
    const fs::path src = base / "来源";
    for (int i = 0; i < 300; ++i) m_dir.write(fs::path("来源") / ("p" + std::to_string(1000 + i) + ".png"), std::string("x"));
    fs::create_directories(src / "folder.png");
    m_dir.write(fs::path("来源") / "b.gif", std::string("x"));
    m_dir.write(fs::path("来源") / "a.jpg", std::string("x"));
    m_dir.write(fs::path("来源") / "v.wav", std::string("x"));
    m_dir.write(fs::path("来源") / "m.mid", std::string("x"));
    const auto pictures = ListImportFiles(src, kImportFittingPictures);
    ASSERT_EQ(pictures.size(), 260u);
    EXPECT_EQ(pictures.front(), "p1000.png");
    EXPECT_EQ(ListImportFiles(src, kImportSounds), (std::vector<std::string>{"m.mid", "v.wav"}));
    EXPECT_EQ(ListImportFiles(src, kImportShowPictures).at(0), "a.jpg");
    EXPECT_EQ(ListImportFiles(src, kImportShowPictures).at(1), "p1000.png");
    EXPECT_EQ(ImportTargetFolder(store(), kImportSounds), base / "旧项目" / "音乐及语音");
    EXPECT_EQ(ImportTargetFolder(store(), kImportShowPictures), base / "旧项目" / "展示及说明图片");
}

// The basic project "女装" in "<base>/服饰搭配基本项目" with old files.
class ReplaceBase : public ProjectDialogs {
protected:
    void SetUp() override {
        ProjectDialogs::SetUp();
        OpenOldProject();
        m_dir.write(fs::path("旧项目") / "试衣及按钮图片" / "新衣.png", std::string("new png"));
        m_dir.write(fs::path("旧项目") / "展示及说明图片" / "新衣_展示.jpg", std::string("new jpg"));
        m_dir.write(fs::path("旧项目") / "试衣及按钮图片" / "同名.png", std::string("new same"));
        basic = base / "服饰搭配基本项目";
        m_dir.write(fs::path("服饰搭配基本项目") / "女装.dm3", std::string("basic project"));
        m_dir.write(fs::path("服饰搭配基本项目") / "女装" / "试衣及按钮图片" / "旧衣.png", std::string("old png"));
        m_dir.write(fs::path("服饰搭配基本项目") / "女装" / "试衣及按钮图片" / "同名.png", std::string("old same"));
        m_dir.write(fs::path("服饰搭配基本项目") / "女装" / "音乐及语音" / "旧声.wav", std::string("old wav"));
    }
    std::string Read(const std::string& rel) {
        const auto b = testsupport::ReadAll(basic / "女装" / rel);
        return std::string(b.begin(), b.end());
    }
    fs::path basic;
};

TEST_F(ReplaceBase, RefusalsLeaveTheBasicProjectAlone) {
    EXPECT_EQ(InitialBasicFolder(base, "男装"), fs::path());
    EXPECT_EQ(InitialBasicFolder(base, "女装"), basic);
    EXPECT_TRUE(BasicProjectExists(basic, "女装"));
    EXPECT_FALSE(BasicProjectExists(basic, "童装"));

    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string kind;
        ReplaceOutcome outcome;
    };
    const Case cases[] = {
        {"no basic project of the kind", [] {}, "童装", ReplaceOutcome::NoBasicProject},
        {"no open project", [&] { store().SetProjectName(""); }, "女装", ReplaceOutcome::NoSource},
        {"source folder missing",
         [&] { store().Header().SetPictureFolder((base / "不存在" / "试衣及按钮图片").string()); }, "女装",
         ReplaceOutcome::NoSource},
        {"the open project is the basic project",
         [&] { store().Header().SetPictureFolder((basic / "女装" / "试衣及按钮图片").string()); }, "女装",
         ReplaceOutcome::SameFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto saved = store().Header();
        const std::string name = store().ProjectName();
        c.arrange();
        const ReplaceReport r = ReplaceBaseProject(store(), basic, c.kind, files);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_FALSE(r.Message().empty());
        EXPECT_EQ(Read("试衣及按钮图片/旧衣.png"), "old png");
        EXPECT_EQ(Read("试衣及按钮图片/同名.png"), "old same");
        store().Header() = saved;
        store().SetProjectName(name);
    }

    // A copy that fails: nothing of the basic project is removed.
    FailingCopies failing("新衣_展示.jpg");
    const ReplaceReport r = ReplaceBaseProject(store(), basic, "女装", failing);
    EXPECT_EQ(r.outcome, ReplaceOutcome::CopyFailed);
    EXPECT_EQ(r.removed, 0);
    EXPECT_EQ(Read("试衣及按钮图片/旧衣.png"), "old png");
    EXPECT_EQ(Read("音乐及语音/旧声.wav"), "old wav");
}

TEST_F(ReplaceBase, CopiesFirstThenRemovesTheReplacedFiles) {
    const ReplaceReport r = ReplaceBaseProject(store(), basic, "女装", files);
    ASSERT_EQ(r.outcome, ReplaceOutcome::Replaced) << r.Message();
    EXPECT_EQ(r.copied, 3);
    EXPECT_EQ(r.removed, 2);
    EXPECT_EQ(Read("试衣及按钮图片/新衣.png"), "new png");
    EXPECT_EQ(Read("试衣及按钮图片/同名.png"), "new same");
    EXPECT_EQ(Read("展示及说明图片/新衣_展示.jpg"), "new jpg");
    EXPECT_FALSE(fs::exists(basic / "女装" / "试衣及按钮图片" / "旧衣.png"));
    EXPECT_FALSE(fs::exists(basic / "女装" / "音乐及语音" / "旧声.wav"));
    // The project files themselves are not copied; the source is untouched.
    const auto dm3 = testsupport::ReadAll(basic / "女装.dm3");
    EXPECT_EQ(std::string(dm3.begin(), dm3.end()), "basic project");
    EXPECT_TRUE(fs::exists(base / "旧项目" / "试衣及按钮图片" / "新衣.png"));
}

}  // namespace
