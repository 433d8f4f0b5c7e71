#include "project_editor/project_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <memory>

#include "tests/project_editor/project_fixtures.h"

using namespace project_editor;
using namespace testbytes;

namespace {

TEST(ProjectFile, OddFixtureLoadsWithItsValuesAndWritesBackByteIdentical) {
    const auto bytes = OddFixture();
    ASSERT_EQ(bytes.size(), 668u + 3 * 544 + 3 * 348 + 40);
    auto project = std::make_unique<ProjectFile>();
    ASSERT_EQ(ReadProjectBytes(bytes, *project), ProjectFileError::None);

    EXPECT_EQ(project->PartCount(), 3);
    EXPECT_EQ(project->FaceCount(), 3);
    EXPECT_EQ(project->PoolLength(), 40);
    EXPECT_EQ(project->header.StateLetter(), 'Z');
    EXPECT_EQ(project->header.PictureFolder(), "pics");
    EXPECT_EQ(project->parts[0].Name(), "试衣");
    EXPECT_EQ(project->parts[0].RowType(), 'T');
    std::string fullA;
    for (int i = 0; i < 33; ++i) fullA += "Ａ";
    EXPECT_EQ(project->parts[1].Name(), fullA);
    EXPECT_EQ(project->parts[1].NameGbk().size(), 66u);
    EXPECT_EQ(project->parts[1].WebLink().size(), 110u * 3);
    EXPECT_EQ(project->parts[1].X(), -40);
    EXPECT_EQ(project->parts[1].Y(), 70000);
    EXPECT_EQ(project->parts[1].Depth(), 7);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(project->parts[1].Scale()), 0x7FC00123u);
    EXPECT_EQ(project->parts[2].Name(), "张三");
    EXPECT_EQ(project->parts[2].GoodsCode(), "ab");
    EXPECT_EQ(project->faces[0].FaceCount(), 2);
    EXPECT_EQ(project->faces[1].FaceCount(), 9);
    EXPECT_EQ(project->faces[0].Mark(), 'Y');
    EXPECT_EQ(project->FaceString(0, 1, 0), "front.jpg");
    EXPECT_EQ(project->FaceStringGbk(0, 1, 1).size(), 31u);  // 40 - 9
    EXPECT_EQ(project->FaceString(1, 4, 15), "");
    EXPECT_EQ(project->FaceString(2, 1, 0), "");

    EXPECT_EQ(WriteProjectBytes(*project), bytes);
}

TEST(ProjectFile, ModifiedCounterIsWrittenAsZero) {
    ByteBuilder file = HeaderBytes(0, "x");
    file.Append(InfoBytes(0, 0, 0));
    auto project = std::make_unique<ProjectFile>();
    ASSERT_EQ(ReadProjectBytes(file.bytes(), *project), ProjectFileError::None);
    project->info.SetModifiedCounter(12);
    const auto out = WriteProjectBytes(*project);
    EXPECT_EQ(out.size(), 668u);  // N = 0, M = 0, T = 0: just the two fixed blocks
    EXPECT_EQ(I32At(out, 372 + 284), 0);
    EXPECT_EQ(out, file.bytes());
}

TEST(ProjectFile, ReadingResetsWhatTheFileDoesNotCover) {
    auto project = std::make_unique<ProjectFile>();
    ASSERT_EQ(ReadProjectBytes(OddFixture(), *project), ProjectFileError::None);
    ByteBuilder small = HeaderBytes(1, "y");
    small.Append(InfoBytes(0, 2)).Append(PartBytes('A', 'x', "a")).Append("zz");
    ASSERT_EQ(ReadProjectBytes(small.bytes(), *project), ProjectFileError::None);

    EXPECT_EQ(project->parts[1].Name(), "");
    EXPECT_EQ(project->parts[2].Name(), "");
    EXPECT_EQ(project->parts[1].GoodsCode(), "-----");
    EXPECT_EQ(project->faces[0].StringOffset(1, 0), -1);
    EXPECT_EQ(project->faces[0].Mark(), '\0');
    const auto pool = project->pool.Bytes();
    EXPECT_EQ(BytesAt(pool, 0, 4), "zz  ");
    EXPECT_EQ(pool[18699], ' ');
}

TEST(DepthToSlot, PavanelKeepsSlotZeroReadersStartAtOne) {
    struct Case {
        std::int32_t depth;
        int fromZero;
        int fromOne;
    };
    const Case cases[] = {
        {0, 0, 1},     {1, 1, 1},     {50, 50, 50},   {99, 99, 99},   {100, 90, 90},
        {150, 90, 90}, {-1, 10, 10},  {-5, 10, 10},   {INT32_MIN, 10, 10}, {INT32_MAX, 90, 90},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DepthToSlot(c.depth, SlotRange::FromZero), c.fromZero) << c.depth;
        EXPECT_EQ(DepthToSlot(c.depth, SlotRange::FromOne), c.fromOne) << c.depth;
    }
}

TEST(StoredFolderPath, OtherMachinesFoldersAreNotTakenForLocalOnes) {
    const std::filesystem::path base = "/base";
    EXPECT_EQ(StoredFolderPath("", base), std::filesystem::path());
    EXPECT_EQ(StoredFolderPath("C:\\KZV\\试衣及按钮图片", base), std::filesystem::path());
    EXPECT_EQ(StoredFolderPath("d:/x", base), std::filesystem::path());
    EXPECT_EQ(StoredFolderPath("\\\\server\\share", base), std::filesystem::path());
    EXPECT_EQ(StoredFolderPath("/abs/pics", base), std::filesystem::path("/abs/pics"));
    EXPECT_EQ(StoredFolderPath("proj\\试衣及按钮图片", base), std::filesystem::path("/base/proj/试衣及按钮图片"));
}

TEST(ConfinedFolderPath, OnlyFoldersInsideTheBase) {
    const std::filesystem::path base = "/base/dir";
    EXPECT_EQ(ConfinedFolderPath("p\\pics", base), std::filesystem::path("/base/dir/p/pics"));
    EXPECT_EQ(ConfinedFolderPath("/base/dir/p", base), std::filesystem::path("/base/dir/p"));
    EXPECT_EQ(ConfinedFolderPath(".", base), std::filesystem::path("/base/dir/."));
    for (const char* out : {"..\\..\\..", "p\\..\\..\\x", "/etc", "/base/dirx", "/base", "C:\\p"})
        EXPECT_EQ(ConfinedFolderPath(out, base), std::filesystem::path()) << out;
}

TEST(ProjectNames, OnlyPlainFileNamesAreUsable) {
    EXPECT_TRUE(IsUsableProjectName("2010秋冬女装"));
    EXPECT_TRUE(IsUsableProjectName("a.b"));
    for (std::string_view bad : {std::string_view(""), std::string_view("."), std::string_view(".."),
                                  std::string_view("../x"), std::string_view("a/b"), std::string_view("a\\b"),
                                  std::string_view("a\0b", 3)})
        EXPECT_FALSE(IsUsableProjectName(bad)) << bad;
}

}  // namespace
