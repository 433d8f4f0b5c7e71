// The project chooser without a display: what each mode lists and how it is
// titled and placed, what choosing a row does in each mode (the web project,
// the two background kinds, the transparent room, packing), the rows' rules,
// the preview's placement and the message after packing.
#include "fitting_room/project_chooser_core.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fitting_room/fitting_model.h"
#include "fitting_room/garment_pic_list.h"
#include "project_editor/project_file.h"
#include "shell/data_package.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace fitting_room;
using testsupport::TempDir;

namespace {

using Names = std::vector<std::string>;

std::string ProjectBytes() {
    auto project = std::make_unique<project_editor::ProjectFile>();
    project->SetPartCount(1);
    project->parts[0].SetName("红色上衣");
    const auto bytes = project_editor::WriteProjectBytes(*project);
    return std::string(bytes.begin(), bytes.end());
}

// An installation with web projects, other files beside them, and both
// kinds of background.
struct Installation {
    TempDir base;
    Installation() {
        const fs::path web = "KZV网页项目文件";
        base.write(web / "春季新款.dm3", ProjectBytes());
        base.write(web / "网页试衣项目.dm3", ProjectBytes());
        base.write(web / "旧项目.DM3", ProjectBytes());  // could not be opened as "旧项目.dm3"
        base.write(web / "说明.txt", std::string("not a project"));
        base.write(web / "春季新款.dm3.bak", std::string("old"));
        fs::create_directories(base / web / "目录.dm3");  // a folder is no project
        const fs::path bg = "服饰搭配背景图";
        for (const char* n : {"试衣间背景图.jpg", "试衣间背景图2.JPG", "试衣间背景图海边.jpg", "试衣平台背景.jpg",
                              "试衣平台背景木纹.jpg", "其他背景.jpg", "试衣间背景图.png"})
            base.write(bg / n, std::string("jpeg"));
    }
};

TEST(ProjectChooser, EachModeListsItsFolderWithItsTitleAndPlace) {
    Installation inst;
    const Names webProjects{"春季新款", "网页试衣项目"};
    struct Case {
        int mode;
        const char* caption;
        const char* openLabel;
        bool transparent;
        bool preview;
        ChooserPlacement placement;
        Names listed;
    };
    const Case cases[] = {
        {0, "自选试衣项目", "打开", false, false, ChooserPlacement::RightEdgeAtX, webProjects},
        {1000, "自选试衣项目", "打开", false, false, ChooserPlacement::Centred, webProjects},
        {1066, "自选试衣项目", "开始构建", false, false, ChooserPlacement::Centred, webProjects},
        {1012, "试衣间背景图", "打开", true, true, ChooserPlacement::TopLeftAt,
         {"试衣间背景图", "试衣间背景图海边"}},  // not "试衣间背景图2.JPG"
        {1013, "试衣间背景图", "打开", false, true, ChooserPlacement::TopLeftAt, {"试衣平台背景", "试衣平台背景木纹"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const auto setup = ChooserSetupFor(c.mode, inst.base.path());
        ASSERT_TRUE(setup);
        EXPECT_EQ(setup->caption, c.caption);
        EXPECT_EQ(setup->openLabel, c.openLabel);
        EXPECT_EQ(setup->showTransparent, c.transparent);
        EXPECT_EQ(setup->previewBackground, c.preview);
        EXPECT_EQ(setup->placement, c.placement);
        EXPECT_EQ(ListChooserTitles(setup->folder, setup->pattern), c.listed);
    }
    EXPECT_FALSE(ChooserSetupFor(1001, inst.base.path()));

    // A missing folder lists nothing.
    TempDir empty;
    EXPECT_TRUE(ListChooserTitles(ChooserSetupFor(0, empty.path())->folder, "*.dm3").empty());
}

TEST(ProjectChooser, OnlyTheFirst260ProjectsAreListed) {
    TempDir base;
    for (int i = 0; i < 275; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "项目%03d.dm3", i);
        base.write(fs::path("KZV网页项目文件") / name, std::string("x"));
    }
    const auto setup = ChooserSetupFor(0, base.path());
    const Names names = ListChooserTitles(setup->folder, setup->pattern);
    ASSERT_EQ(names.size(), 260u);
    EXPECT_EQ(names.front(), "项目000");
    EXPECT_EQ(names.back(), "项目259");
}

TEST(ProjectChooser, RowsChooseOnlyFilledRows) {
    ProjectListRows rows;
    rows.SetRows({"甲", "乙", "丙"});
    struct Case {
        int current;
        bool chosen;
        const char* name;
    };
    const Case cases[] = {{-1, false, ""}, {0, true, "甲"}, {2, true, "丙"}, {3, false, ""}, {100, false, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        EXPECT_EQ(rows.Chosen(c.current).has_value(), c.chosen);
        EXPECT_EQ(rows.Name(c.current), c.name);
        EXPECT_EQ(rows.IconIndex(c.current), ProjectListRows::kIconPlain);
    }
    Names many(400, "名");
    rows.SetRows(many);
    EXPECT_EQ(rows.count(), ProjectListRows::kCapacity);
    rows.SetRows({});
    EXPECT_FALSE(rows.Chosen(0));
}

TEST(ProjectChooser, ChoosingANameInEachMode) {
    Installation inst;
    const fs::path base = inst.base.path();
    int packs = 0;
    const ProjectPacker fakePacker = [&](std::string_view name, fs::path* package, std::string*) {
        ++packs;
        *package = base / "服饰搭配上传数据专区" / (std::string(name) + ".rar");
        return true;
    };
    struct Case {
        ChooserMode mode;
        const char* name;
        ChooserOutcome outcome;
        fs::path path;
    };
    const Case cases[] = {
        {ChooserMode::Project, "网页试衣项目", ChooserOutcome::Project, {}},
        {ChooserMode::Market, "春季新款", ChooserOutcome::Project, {}},
        {ChooserMode::RoomBackground, "试衣间背景图海边", ChooserOutcome::RoomBackground,
         base / "服饰搭配背景图" / "试衣间背景图海边.jpg"},
        {ChooserMode::PlatformBackground, "试衣平台背景木纹", ChooserOutcome::PlatformBackground,
         base / "服饰搭配背景图" / "试衣平台背景木纹.jpg"},
        {ChooserMode::Pack, "春季新款", ChooserOutcome::Packed, base / "服饰搭配上传数据专区" / "春季新款.rar"},
        {ChooserMode::Project, "", ChooserOutcome::Cancelled, {}},  // nothing chosen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChooserResult r = ChooseName(c.mode, base, c.name, fakePacker);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.name, c.name);
        EXPECT_EQ(r.path, c.path);
    }
    EXPECT_EQ(packs, 1);  // only the packing mode packs

    const ChooserResult transparent = ChooseTransparent();
    EXPECT_EQ(transparent.outcome, ChooserOutcome::TransparentBackground);
    EXPECT_EQ(transparent.name, "kzv_透明试衣间背景");
}

TEST(ProjectChooser, ResultsReachTheListAndTheModel) {
    Installation inst;
    const fs::path base = inst.base.path();
    CGarmentPicList list;
    CFittingModel model;
    model.SetDataDir(base);

    EXPECT_FALSE(ApplyChooserResult({}, &list, &model));  // cancelled: nothing changes
    const fs::path roomBefore = model.GetBackgroundPath();

    EXPECT_TRUE(ApplyChooserResult(ChooseName(ChooserMode::Project, base, "网页试衣项目", {}), &list, &model));
    EXPECT_EQ(list.projectName(), "网页试衣项目");
    EXPECT_EQ(model.GetBackgroundPath(), roomBefore);

    EXPECT_TRUE(ApplyChooserResult(ChooseName(ChooserMode::RoomBackground, base, "试衣间背景图海边", {}), &list, &model));
    EXPECT_EQ(model.GetBackgroundPath(), base / "服饰搭配背景图" / "试衣间背景图海边.jpg");
    EXPECT_EQ(model.IsTransparentBackground(), 0);

    EXPECT_TRUE(ApplyChooserResult(ChooseName(ChooserMode::PlatformBackground, base, "试衣平台背景木纹", {}), &list, &model));
    EXPECT_EQ(model.GetPlatformBackgroundPath(), base / "服饰搭配背景图" / "试衣平台背景木纹.jpg");
    EXPECT_EQ(model.GetBackgroundPath(), base / "服饰搭配背景图" / "试衣间背景图海边.jpg");

    EXPECT_TRUE(ApplyChooserResult(ChooseTransparent(), &list, &model));
    EXPECT_EQ(model.IsTransparentBackground(), 1);
    EXPECT_EQ(list.projectName(), "网页试衣项目");

    // A packing result changes neither; missing targets are skipped.
    EXPECT_FALSE(ApplyChooserResult(ChooseName(ChooserMode::Project, base, "春季新款", {}), nullptr, &model));
    ChooserResult packed;
    packed.outcome = ChooserOutcome::Packed;
    packed.name = "春季新款";
    EXPECT_FALSE(ApplyChooserResult(packed, &list, &model));
    EXPECT_EQ(list.projectName(), "网页试衣项目");
}

// Packing through the client's packer: the path on success, the packer's
// text on each failure, a missing project folder included.
TEST(ProjectChooser, PackingReportsThePackageOrWhyNot) {
    Installation inst;
    const fs::path base = inst.base.path();
    inst.base.write(fs::path("服饰搭配自定试衣项目") / "春季新款" / "试衣及按钮图片" / "上衣.png", std::string("png!"));
    fs::create_directories(base / "服饰搭配上传数据专区");
    fs::create_directories(base / "服饰搭配自定试衣项目" / "旧项目");  // a folder, but the file's extension is upper case
    shell::CDataPackage packer;
    packer.SetDirectories(base);
    const ProjectPacker pack = [&](std::string_view name, fs::path* package, std::string* error) {
        if (!packer.Pack(name)) {
            *error = packer.GetLastErrorText();
            return false;
        }
        *package = packer.PackagePath(name);
        return true;
    };

    const ChooserResult ok = ChooseName(ChooserMode::Pack, base, "春季新款", pack);
    ASSERT_EQ(ok.outcome, ChooserOutcome::Packed) << ok.message;
    EXPECT_EQ(ok.path, base / "服饰搭配上传数据专区" / "春季新款.rar");
    EXPECT_TRUE(fs::is_regular_file(ok.path));
    const auto shown = PackReport(ok);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text, "网上供客户下载的文件已构建: " + ok.path.string());
    EXPECT_EQ(shown->icon, platform::MbIcon::Information);

    struct Case {
        const char* name;
        std::string text;
    };
    inst.base.write(fs::path("KZV网页项目文件") / "无目录.dm3", ProjectBytes());
    const Case failures[] = {
        {"无目录", "试衣项目目录不存在!!"},           // the project's folder is missing
        {"旧项目", "试衣项目文件不存在!!"},           // the packer wants "<name>.dm3"
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.name);
        const ChooserResult r = ChooseName(ChooserMode::Pack, base, c.name, pack);
        EXPECT_EQ(r.outcome, ChooserOutcome::PackFailed);
        EXPECT_EQ(r.message, c.text);
        const auto report = PackReport(r);
        ASSERT_TRUE(report);
        EXPECT_EQ(report->text, "构建网上供客户下载的文件失败: " + c.text);
        EXPECT_EQ(report->icon, platform::MbIcon::Exclamation);
        EXPECT_FALSE(fs::exists(base / "服饰搭配上传数据专区" / (std::string(c.name) + ".rar")));
    }
    EXPECT_FALSE(PackReport({}));  // cancelled: nothing shown
    EXPECT_EQ(ChooseName(ChooserMode::Pack, base, "春季新款", {}).outcome, ChooserOutcome::PackFailed);
}

TEST(ProjectChooser, PlacementAndPreview) {
    EXPECT_EQ(ChooserTopLeft(ChooserPlacement::RightEdgeAtX, 900, 60, 364).x, 900 - 364);
    EXPECT_EQ(ChooserTopLeft(ChooserPlacement::RightEdgeAtX, 900, 60, 364).y, 60);
    EXPECT_EQ(ChooserTopLeft(ChooserPlacement::TopLeftAt, 120, 70, 364).x, 120);

    struct Case {
        int aw, ah, pw, ph;
        PreviewRect want;
    };
    const Case cases[] = {
        {206, 106, 100, 50, {53, 28, 100, 50}},   // smaller: never enlarged, centred
        {206, 106, 400, 100, {3, 28, 200, 50}},   // wide: the width ratio
        {206, 106, 100, 400, {90, 3, 25, 100}},   // tall: the height ratio
        {6, 106, 100, 100, {3, 3, 0, 0}},         // no room left
        {206, 106, 0, 10, {3, 3, 0, 0}},          // no picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pw * 1000 + c.ph);
        const PreviewRect r = PreviewPlacement(c.aw, c.ah, c.pw, c.ph);
        EXPECT_EQ(r.x, c.want.x);
        EXPECT_EQ(r.y, c.want.y);
        EXPECT_EQ(r.width, c.want.width);
        EXPECT_EQ(r.height, c.want.height);
    }
}

}  // namespace
