// The editor's reader of basic projects against short and hostile files: a
// refused file leaves nothing of the project read before, the material
// folder falls back to the project's own picture folder, and the listing
// follows the category rows.
#include <gtest/gtest.h>

#include <fstream>

#include "image_editor/basic_project_reader.h"
#include "project_editor/project_file.h"
#include "tests/support/temp_dir.h"

namespace {

using image_editor::CBasicProjectReader;
using project_editor::ProjectFile;
namespace fs = std::filesystem;

std::vector<std::uint8_t> SampleProject(const std::string& folder) {
    ProjectFile p;
    p.header.SetPictureFolder(folder);
    p.SetPartCount(5);
    auto row = [&](int i, char type, const char* name, const char* pic) {
        p.parts[static_cast<std::size_t>(i)].SetRowType(type);
        p.parts[static_cast<std::size_t>(i)].SetName(name);
        p.parts[static_cast<std::size_t>(i)].SetPictureName(pic);
    };
    row(0, 'T', "上装", "");
    row(1, ' ', "白衬衫", "白衬衫");
    row(2, ' ', "无图", "");
    row(3, 'T', "下装", "");
    row(4, ' ', "长裤", "长裤");
    return project_editor::WriteProjectBytes(p);
}

void Write(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream f(file, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class BasicProjectReaderTest : public ::testing::Test {
protected:
    void SetUp() override { reader.SetBaseDir(base.path()); }
    fs::path File(const std::string& name) { return base / "服饰搭配基本项目" / (name + ".dm3"); }
    testsupport::TempDir base;
    CBasicProjectReader reader;
};

TEST_F(BasicProjectReaderTest, ReadsAProjectAndListsItsPartsByCategory) {
    Write(File("女装"), SampleProject(""));
    ASSERT_EQ(reader.ReadProjectFile("女装"), 1);
    EXPECT_EQ(reader.Categories(), (std::vector<std::string>{"上装", "下装"}));
    EXPECT_EQ(reader.ListedParts("全部"), (std::vector<int>{1, 4}));
    EXPECT_EQ(reader.ListedParts("下装"), (std::vector<int>{4}));
    EXPECT_EQ(reader.ListedParts("没有"), (std::vector<int>{}));
    // No picture folder of its own: the project's folder under the basic projects.
    EXPECT_EQ(reader.materialFolder(), base / "服饰搭配基本项目" / "女装" / "试衣及按钮图片");
    EXPECT_EQ(reader.PicturePath(4), reader.materialFolder() / "长裤.png");
    EXPECT_TRUE(reader.PicturePath(2).empty());
    EXPECT_TRUE(reader.PicturePath(99).empty());
}

TEST_F(BasicProjectReaderTest, AnExistingPictureFolderInsideTheBaseIsKept) {
    fs::create_directories(base / "图片目录PNG");
    Write(File("男装"), SampleProject((base / "图片目录PNG").string()));
    ASSERT_EQ(reader.ReadProjectFile("男装"), 1);
    EXPECT_EQ(reader.materialFolder(), base / "图片目录PNG");
    // A folder outside the base directory is not followed.
    Write(File("外部"), SampleProject("/etc"));
    ASSERT_EQ(reader.ReadProjectFile("外部"), 1);
    EXPECT_EQ(reader.materialFolder(), base / "服饰搭配基本项目" / "外部" / "试衣及按钮图片");
}

TEST_F(BasicProjectReaderTest, HostileFilesAreRefusedAndClearThePreviousProject) {
    const auto good = SampleProject("");
    auto withInt = [&](std::size_t at, std::int32_t v) {
        auto b = good;
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(v) >> (8 * k)) & 0xFF);
        return b;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"header only", std::vector<std::uint8_t>(good.begin(), good.begin() + 372)},
        {"cut in a part", std::vector<std::uint8_t>(good.begin(), good.begin() + 372 + 296 + 100)},
        {"part count past the tables", withInt(368, 100000)},
        {"negative part count", withInt(368, -1)},
        {"pool longer than the file", withInt(372 + 276, 18000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write(File("好"), good);
        ASSERT_EQ(reader.ReadProjectFile("好"), 1);
        Write(File("坏"), c.bytes);
        EXPECT_EQ(reader.ReadProjectFile("坏"), 0);
        EXPECT_FALSE(reader.loaded());
        EXPECT_EQ(reader.partCount(), 0);
        EXPECT_TRUE(reader.ListedParts("全部").empty());
        EXPECT_TRUE(reader.materialFolder().empty());
    }
    EXPECT_EQ(reader.ReadProjectIfExists("不存在"), 0);
    EXPECT_EQ(reader.ReadProjectFile("../女装"), 0);
}

}  // namespace
