// The small dialogs' rules: swatch cells, picture names.
#include <gtest/gtest.h>

#include "image_editor/sub_dialog_rules.h"

namespace {

using namespace image_editor;

TEST(SubDialogRules, SwatchesFillColumnByColumnWithinTheFrame) {
    // 70 pictures: 60 listed, as many placed as the rows allow.
    const Rect tall{10, 8, 190, 8 + 6 + 26 * 12};
    EXPECT_EQ(SwatchLayout(tall, 70).size(), 60u);
    const Rect frame{10, 8, 190, 118};  // 110 high: 4 rows
    const auto cells = SwatchLayout(frame, 70);
    ASSERT_EQ(cells.size(), 24u);
    EXPECT_EQ(cells[0], (Rect{10 + (180 - 162) / 2 + 4, 16, 10 + (180 - 162) / 2 + 26, 38}));
    EXPECT_EQ(cells[1].top, 16 + 26);   // down the first column
    EXPECT_EQ(cells[4].left, cells[0].left + 26);  // then the next column
    EXPECT_EQ(SwatchLayout(frame, 5).size(), 5u);
    EXPECT_EQ(HitSwatch(cells, cells[4].left + 3, cells[4].top + 3), 4);
    EXPECT_EQ(HitSwatch(cells, 0, 0), -1);
    EXPECT_EQ(SwatchSampleX(cells[0]), (cells[0].left + cells[0].right) / 2 - 1);
}

TEST(SubDialogRules, PictureNamesMustMakeAFileName) {
    EXPECT_EQ(CheckPhotoName(""), PhotoNameCheck::Empty);
    for (const char* bad : {"a/b", "..", "a\\b", "x?y"}) EXPECT_EQ(CheckPhotoName(bad), PhotoNameCheck::BadCharacters) << bad;
    EXPECT_EQ(CheckPhotoName("我的新拍照2011"), PhotoNameCheck::Ok);
    EXPECT_EQ(PhotoSaveTarget("/p", "照片"), std::filesystem::path("/p/照片.jpg"));
    EXPECT_EQ(ReplaceQuestion("照片"), "图片文件< 照片 >已存在!是否替换?");
}

}  // namespace
