// The picture toolbar's places and click rules against fake windows, the
// snapshot bar's names and files, and the replace dialog's scale, grid and
// same-file case.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "fitting_room/dress_toolbar_rules.h"
#include "fitting_room/photo_bar_rules.h"
#include "fitting_room/replace_cloth_rules.h"
#include "tests/support/temp_dir.h"

using namespace fitting_room;
namespace fs = std::filesystem;

namespace {

struct FakeActions : ToolBarActions {
    int open = kBtnWomens;
    bool picked = false;
    bool webLoaded = false;
    int showPictures = 0;
    fs::path voice;
    std::string link;
    bool chooserOk = true;
    std::vector<std::string> log;
    std::vector<std::int32_t> sent;

    int OpenCategory() override { return open; }
    bool HasPickedItem() override { return picked; }
    bool WebProjectLoaded() override { return webLoaded; }
    int ShowPictureCount() override { return showPictures; }
    fs::path VoicePath() override { return voice; }
    std::string WebLink() override { return link; }
    bool OpenChooser(int mode) override {
        log.push_back("chooser " + std::to_string(mode));
        return chooserOk;
    }
    void OpenReplaceDialog() override { log.push_back("replace"); }
    void ShowNoPickedItem() override { log.push_back("message"); }
    void PlayVoice(const fs::path& v) override { log.push_back("play " + v.string()); }
    void OpenWebLink(const std::string& l) override { log.push_back("web " + l); }
    bool ImportPhoto() override {
        log.push_back("photo");
        return true;
    }
    void ShowGuide() override { log.push_back("guide"); }
    void Send(std::int32_t code) override { sent.push_back(code); }
};

TEST(DressToolBarRules, ButtonsArePlacedFromTheRightEdgeOnEveryWidthChange) {
    DressToolBarRules bar;
    EXPECT_TRUE(bar.Layout(1200));
    EXPECT_EQ(bar.Find(kBtnReplace)->x, 1150);
    EXPECT_EQ(bar.Find(kBtnHelp)->x, 234);
    EXPECT_EQ(bar.Find(kBtnHelp)->y, 11);
    EXPECT_EQ(bar.Find(kBtnWeb)->x, 614);
    EXPECT_FALSE(bar.Layout(1200));
    EXPECT_TRUE(bar.Layout(1000));
    EXPECT_EQ(bar.Find(kBtnReplace)->x, 950);
    auto size = [](const ToolButton&) { return std::pair{40, 40}; };
    EXPECT_EQ(bar.HitTest({950 + 39, 5 + 39}, size), kBtnReplace);
    EXPECT_EQ(bar.HitTest({950 + 40, 5}, size), -1);
    EXPECT_EQ(bar.HitTest({1000 - 226 + 41, 5 + 41}, size), kBtnWomens);  // icons are 42 x 42
    EXPECT_EQ(bar.Find(kBtnWomens)->state, 'O');
}

TEST(DressToolBarRules, CategoryClicksFollowTheCategoryOpenInTheList) {
    DressToolBarRules bar;
    FakeActions a;
    // 女装 is open: a click on it sends nothing.
    EXPECT_EQ(bar.Click(kBtnWomens, a), std::nullopt);
    EXPECT_TRUE(a.sent.empty());
    EXPECT_EQ(bar.Click(kBtnMens, a), 66601004);
    EXPECT_EQ(bar.Find(kBtnMens)->state, 'O');
    EXPECT_EQ(bar.Find(kBtnWomens)->state, 'C');
    a.open = kBtnMens;
    EXPECT_EQ(bar.Click(kBtnWomens, a), 66601003);
    // The list went back to 女装 without the bar (a load that failed keeps
    // 男装 open): the open category decides, not the last button pressed.
    a.open = kBtnMens;
    EXPECT_EQ(bar.Click(kBtnWomens, a), 66601003);
    EXPECT_EQ(bar.Click(kBtnMens, a), std::nullopt);
    EXPECT_EQ(a.sent, (std::vector<std::int32_t>{66601004, 66601003, 66601003}));
}

TEST(DressToolBarRules, ChooserCancelledOrNothingPickedSendsARepaintOnly) {
    struct Case {
        const char* what;
        int button;
        bool picked, webLoaded, chooserOk;
        int open;
        std::vector<std::string> log;
        std::int32_t sent;
        int current;  // the current button afterwards
    };
    const Case cases[] = {
        {"replace without a picked item", kBtnReplace, false, false, true, kBtnWomens, {"message"}, 66600366, kBtnWomens},
        {"replace with a picked item", kBtnReplace, true, false, true, kBtnWomens, {"replace"}, 66600366, kBtnWomens},
        {"custom, none loaded, cancelled", kBtnCustom, false, false, false, kBtnWomens, {"chooser 0"}, 66600366, kBtnWomens},
        {"custom, none loaded, OK", kBtnCustom, false, false, true, kBtnWomens, {"chooser 0"}, 66601001, kBtnCustom},
        {"custom already loaded: no chooser", kBtnCustom, false, true, true, kBtnWomens, {}, 66601001, kBtnCustom},
        {"custom while custom is open: chooser", kBtnCustom, false, true, true, kBtnCustom, {"chooser 0"}, 66601001, kBtnCustom},
        {"room background cancelled", kBtnRoomBackground, false, false, false, kBtnWomens, {"chooser 1012"}, 66600366, kBtnWomens},
        {"room background OK", kBtnRoomBackground, false, false, true, kBtnWomens, {"chooser 1012"}, 66601012, kBtnRoomBackground},
        {"platform background cancelled still sends", kBtnPlatformBackground, false, false, false, kBtnWomens, {"chooser 1013"}, 66601013, kBtnPlatformBackground},
        {"guide", kBtnHelp, false, false, true, kBtnWomens, {"guide"}, 66600366, kBtnWomens},
        {"model", kBtnModel, false, false, true, kBtnWomens, {}, 66601005, kBtnModel},
        {"camera", kBtnCamera, false, false, true, kBtnWomens, {}, 66601009, kBtnCamera},
        {"photo", kBtnPhoto, false, false, true, kBtnWomens, {"photo"}, 66601010, kBtnPhoto},
    };
    for (const Case& c : cases) {
        DressToolBarRules bar;
        FakeActions a;
        a.picked = c.picked;
        a.webLoaded = c.webLoaded;
        a.chooserOk = c.chooserOk;
        a.open = c.open;
        EXPECT_EQ(bar.Click(c.button, a), c.sent) << c.what;
        EXPECT_EQ(a.log, c.log) << c.what;
        EXPECT_EQ(a.sent, std::vector<std::int32_t>{c.sent}) << c.what;
        EXPECT_EQ(bar.currentButton(), c.current) << c.what;
        if (c.sent == 66600366) {
            EXPECT_EQ(bar.Find(kBtnWomens)->state, 'O') << c.what;
        }
    }
}

TEST(DressToolBarRules, ThresholdsOfShowPicturesVoiceAndWebLink) {
    struct Case {
        int button;
        int pictures;
        const char* voice;
        const char* link;
        std::vector<std::string> log;
        std::optional<std::int32_t> sent;
    };
    const Case cases[] = {
        {kBtnShowPictures, 0, "", "", {}, std::nullopt},
        {kBtnShowPictures, 1, "", "", {}, 66601007},
        {kBtnVoice, 0, "a.wav1", "", {}, 66601008},  // 6 characters: too short
        {kBtnVoice, 0, "声音/a.wav", "", {"play 声音/a.wav"}, 66601008},
        {kBtnWeb, 0, "", "abc", {}, 66601068},
        {kBtnWeb, 0, "", "http://example.com/", {"web http://example.com/"}, 66601068},
        {kBtnWeb, 0, "", "HTTPS://example.com/", {"web HTTPS://example.com/"}, 66601068},
        {kBtnWeb, 0, "", "file:///etc/passwd", {}, 66601068},
        {kBtnWeb, 0, "", "-o/tmp/x http://a", {}, 66601068},
    };
    for (const Case& c : cases) {
        DressToolBarRules bar;
        FakeActions a;
        a.showPictures = c.pictures;
        a.voice = fs::path(c.voice);
        a.link = c.link;
        EXPECT_EQ(bar.Click(c.button, a), c.sent) << c.button << " " << c.voice << c.link;
        EXPECT_EQ(a.log, c.log) << c.button << " " << c.voice << c.link;
    }
}

TEST(PhotoBarRules, SnapshotFileByFormatAndNameValidation) {
    const fs::path base = "/b";
    struct Case {
        const char* format;
        const char* file;
        char letter;
    };
    for (const Case& c : {Case{"JPG", "我的照片001.jpg", 'J'}, Case{"PNG", "我的照片001.png", 'P'},
                          Case{"BMP", "我的照片001.bmp", 'B'}, Case{"", "我的照片001.jpg", 'J'}}) {
        const SnapshotTarget t = SnapshotFile(base, kDefaultPictureName, c.format);
        EXPECT_EQ(t.path, base / fs::path("服饰搭配拍照图片") / fs::path(c.file)) << c.format;
        EXPECT_EQ(t.format, c.letter) << c.format;
    }
    for (const char* good : {"我的照片001", "a b", "x.y"}) EXPECT_TRUE(IsPlainPictureName(good)) << good;
    for (const char* bad : {"", ".", "..", "a/b", "..\\x", "../../etc/x", "a\tb"})
        EXPECT_FALSE(IsPlainPictureName(bad)) << bad;
    EXPECT_FALSE(IsPlainPictureName(std::string(201, 'a')));
}

TEST(PhotoBarRules, SavedPicturesAreLowerCaseExtensionsAndAtMost66) {
    testsupport::TempDir tmp;
    for (const char* n : {"a.jpg", "b.png", "c.bmp", "d.JPG", "e.gif", "f", "g.jpeg", "h.tar.png"})
        std::ofstream(tmp.path() / n) << "x";
    fs::create_directories(tmp.path() / "dir.png");
    EXPECT_EQ(SavedPictures(tmp.path()), (std::vector<std::string>{"a.jpg", "b.png", "c.bmp", "h.tar.png"}));
    for (int i = 0; i < 80; ++i) std::ofstream(tmp.path() / ("p" + std::to_string(100 + i) + ".jpg")) << "x";
    EXPECT_EQ(SavedPictures(tmp.path()).size(), 66u);
    EXPECT_TRUE(SavedPictures(tmp.path() / "missing").empty());
}

TEST(ReplaceClothRules, ScaleKeepsTheOldWidth) {
    EXPECT_FLOAT_EQ(ReplacedScale(100, 1.0f, 200), 0.5f);
    EXPECT_FLOAT_EQ(ReplacedScale(150, 0.8f, 120), 1.0f);
    EXPECT_FLOAT_EQ(ReplacedScale(0, 0.7f, 120), 0.7f);
    EXPECT_FLOAT_EQ(ReplacedScale(100, 0.7f, 0), 0.7f);
}

TEST(ReplaceClothRules, GridPagingAndListing) {
    const ThumbGrid g = LayOutThumbs({10, 20, 10 + 66 * 4 + 10, 20 + 66 * 2 + 5});
    EXPECT_EQ(g.columns, 4);
    EXPECT_EQ(g.rows, 2);
    EXPECT_EQ(g.left, 15);
    EXPECT_EQ(g.top, 22);
    EXPECT_EQ(ThumbAt(g, 0, 20, {15 + 66 + 3, 22 + 3}), 1);
    EXPECT_EQ(ThumbAt(g, 0, 20, {15 + 66 + 2, 22 + 3}), -1);  // in the cell's rim
    EXPECT_EQ(ThumbAt(g, 8, 20, {15 + 10, 22 + 66 + 10}), 12);
    EXPECT_EQ(ThumbAt(g, 16, 18, {15 + 66 * 2 + 10, 22 + 10}), -1);  // past the count
    EXPECT_EQ(PageBack(0, g), 0);
    EXPECT_EQ(PageBack(8, g), 0);
    EXPECT_EQ(PageForward(8, g, 20), 16);
    EXPECT_EQ(PageForward(16, g, 20), 16);  // the last page
    EXPECT_EQ(PageForward(8, g, 16), 8);

    testsupport::TempDir tmp;
    for (int i = 0; i < 270; ++i) std::ofstream(tmp.path() / ("c" + std::to_string(1000 + i) + ".png")) << "x";
    std::ofstream(tmp.path() / "Z.PNG") << "x";
    std::ofstream(tmp.path() / "a.jpg") << "x";
    const auto names = ListPngFiles(tmp.path());
    ASSERT_EQ(names.size(), 260u);
    EXPECT_EQ(names.front(), "Z.PNG");  // under its own name
    EXPECT_EQ(names[1], "c1000.png");
}

}  // namespace

namespace {
TEST(DressToolBarRules, PhotoFilterMatchesWithoutRegardToCase) {
    EXPECT_EQ(CaseBlindWildcard("图形文件(*.png)", "*.png;*.Jpg"), "图形文件(*.png)|*.[pP][nN][gG];*.[jJ][pP][gG]");
}
}  // namespace
