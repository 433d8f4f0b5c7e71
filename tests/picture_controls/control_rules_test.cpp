// The window-free rules of the colour chooser's placement, the hover button's
// face and the link control: tables of cases.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "picture_controls/colour_placement.h"
#include "picture_controls/hover_button_look.h"
#include "picture_controls/hyper_link_rules.h"
#include "tests/support/temp_dir.h"

using namespace picture_controls;
namespace fs = std::filesystem;

TEST(ColourPlacement, ModesByProgramAndAlwaysOnTheScreen) {
    const ScreenRect screen{0, 0, 1024, 768};
    const auto builder = ColourPlacementRules::ProjectBuilder;
    const auto editor = ColourPlacementRules::PhotoEditor;
    struct Case {
        int x, y, mode;
        ColourPlacementRules rules;
        std::optional<ScreenRect> at;
    } cases[] = {
        {100, 50, 0, builder, std::nullopt},  // no SetPosition: the system's placement
        {100, 50, 0, editor, std::nullopt},
        {300, 200, 1001, builder, ScreenRect{300, 200, 400, 300}},
        {300, 200, 1001, editor, ScreenRect{300, 200, 400, 300}},
        {300, 500, 2011, editor, ScreenRect{300, 200, 400, 300}},  // bottom-left corner at the point
        {300, 500, 2011, builder, std::nullopt},
        {300, 500, 1234, editor, std::nullopt},
        // Kept on the screen: near the right and bottom edges, above the top
        // (2011 with y smaller than the height), left of the screen.
        {900, 700, 1001, builder, ScreenRect{624, 468, 400, 300}},
        {300, 100, 2011, editor, ScreenRect{300, 0, 400, 300}},
        {-50, -20, 1001, builder, ScreenRect{0, 0, 400, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " mode " + std::to_string(c.mode));
        EXPECT_EQ(PlaceColourDialog(c.x, c.y, c.mode, 400, 300, screen, c.rules), c.at);
    }
    // A screen smaller than the dialog: its top-left corner stays reachable.
    const ScreenRect tiny{0, 0, 320, 240};
    EXPECT_EQ(PlaceColourDialog(200, 200, 1001, 400, 300, tiny, builder), (ScreenRect{0, 0, 400, 300}));
    // A second display to the right.
    const ScreenRect right{1024, 0, 800, 600};
    EXPECT_EQ(PlaceColourDialog(1700, 500, 1001, 400, 300, right, builder), (ScreenRect{1424, 300, 400, 300}));
}

TEST(HoverButtonLook, GradientStepsByIntegerDivision) {
    EXPECT_TRUE(GradientRows(0xFFFFFF, 0xFFE6E6, 0).empty());
    EXPECT_TRUE(GradientRows(0xFFFFFF, 0xFFE6E6, -3).empty());
    // One row: the whole difference in one step.
    EXPECT_EQ(GradientRows(0xFFFFFF, 0xFFE6E6, 1), (std::vector<HbColour>{0xFFE6E6}));
    // 25 / 4 = 6 per row for red and green, blue stays.
    EXPECT_EQ(GradientRows(0xFFFFFF, 0xFFE6E6, 4),
              (std::vector<HbColour>{0xFFF9F9, 0xFFF3F3, 0xFFEDED, 0xFFE7E7}));
    // Rising channels step up; a difference below the height does not move.
    EXPECT_EQ(GradientRows(0x000000, 0x0A0302, 5),
              (std::vector<HbColour>{0x020000, 0x040000, 0x060000, 0x080000, 0x0A0000}));
}

TEST(HoverButtonLook, FacesByState) {
    const HoverButtonColours c;
    const BoxI item{0, 0, 80, 24};
    using L = HoverButtonFace::Label;
    using I = HoverButtonFace::Icon;
    struct Case {
        const char* name;
        HoverButtonState s;
        HoverButtonLook look;
        std::size_t gradients;
        HbColour firstFrom, text;
        L label;
        I icon;
    } cases[] = {
        {"normal", {}, HoverButtonLook::PhotoEditor, 1, 0xFFFFFF, 0, L::Centred, I::None},
        {"hover", {.hovering = true}, HoverButtonLook::PhotoEditor, 3, 0xFFFFFF, 0, L::Centred, I::None},
        {"pressed clears the glow", {.pressed = true, .hovering = true}, HoverButtonLook::PhotoEditor, 1, 0xFFE6E6, 0,
         L::Centred, I::None},
        {"style 9 icon left of the caption", {.hasIcon = true}, HoverButtonLook::PhotoEditor, 1, 0xFFFFFF, 0,
         L::LeftOfIcon, I::AtTopLeft},
        {"style 9 icon only", {.hasIcon = true, .hasCaption = false}, HoverButtonLook::PhotoEditor, 1, 0xFFFFFF, 0,
         L::None, I::AtTopLeft},
        {"style 9 disabled greys", {.disabled = true}, HoverButtonLook::PhotoEditor, 1, 0xFFFFFF, 0xC0C0C0,
         L::Centred, I::None},
        {"other style disabled shows dashes", {.disabled = true, .style = 0}, HoverButtonLook::PhotoEditor, 1,
         0xFFFFFF, 0xC0C0C0, L::Dashes, I::None},
        {"other style icon centred alone", {.hasIcon = true, .style = 0}, HoverButtonLook::PhotoEditor, 1, 0xFFFFFF,
         0, L::None, I::Centred},
        {"builder ignores the style", {.hasIcon = true, .style = 9}, HoverButtonLook::ProjectBuilder, 1, 0xFFFFFF, 0,
         L::None, I::Centred},
        {"builder disabled keeps its caption grey", {.disabled = true}, HoverButtonLook::ProjectBuilder, 1, 0xFFFFFF,
         0xC0C0C0, L::Centred, I::None},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const HoverButtonFace f = FaceOf(k.s, c, item, k.look);
        ASSERT_EQ(f.gradients.size(), k.gradients);
        EXPECT_EQ(f.gradients[0].from, k.firstFrom);
        EXPECT_EQ(f.gradients[0].box, item);
        EXPECT_EQ(f.textColour, k.text);
        EXPECT_EQ(f.label, k.label);
        EXPECT_EQ(f.icon, k.icon);
    }
    const HoverButtonFace hover = FaceOf({.hovering = true}, c, item, HoverButtonLook::ProjectBuilder);
    EXPECT_EQ(hover.gradients[1].from, 0xB4DCFFu);  // the glow with 100 more green and blue
    EXPECT_EQ(hover.gradients[1].to, 0x5078FFu);
    EXPECT_EQ(hover.gradients[2].box, (BoxI{2, 2, 78, 22}));
    EXPECT_TRUE(hover.glowOutline);
    const HoverButtonFace pressed = FaceOf({.pressed = true}, c, item, HoverButtonLook::ProjectBuilder);
    EXPECT_EQ(pressed.light, 0x808080u);
    EXPECT_EQ(pressed.shade, 0x808080u);
}

TEST(HyperLinkRules, TextColours) {
    using namespace link_option;
    struct Case {
        LinkState s;
        LinkColour colour;
    } cases[] = {
        {{}, kLinkColour},
        {{.visited = true}, kVisitedColour},
        {{.active = true}, kActiveColour},
        {{.active = true, .visited = true}, kActiveColour},
        {{.active = true, .visited = true, .options = kDefault | kNoActiveColour}, kVisitedColour},
        {{.hover = true}, kLinkColour},  // the default options do not use the hover colour
        {{.active = true, .hover = true, .options = kDefault | kUseHover}, kHoverColour},
    };
    for (const Case& c : cases) EXPECT_EQ(LinkTextColour(c.s), c.colour);
    EXPECT_EQ(kDefault, 21);
}

TEST(HyperLinkRules, SizingToTheTextKeepsTheAlignedEdge) {
    const LinkRect r{100, 50, 200, 40};
    EXPECT_EQ(SizeLinkToText(r, 80, 16, LinkAlign::Left, false), (LinkRect{100, 50, 80, 16}));
    EXPECT_EQ(SizeLinkToText(r, 80, 16, LinkAlign::Centre, false), (LinkRect{160, 50, 80, 16}));
    EXPECT_EQ(SizeLinkToText(r, 80, 16, LinkAlign::Right, false), (LinkRect{220, 50, 80, 16}));
    EXPECT_EQ(SizeLinkToText(r, 80, 16, LinkAlign::Left, true), (LinkRect{100, 62, 80, 16}));
    EXPECT_EQ(SizeLinkToText(r, 260, 60, LinkAlign::Centre, true), (LinkRect{70, 40, 260, 60}));
}

namespace {

std::string WaitForFile(const fs::path& p) {
    for (int i = 0; i < 500 && !fs::exists(p); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ifstream in(p);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace

TEST(HyperLinkRules, OnlyPagesAndExistingFilesReachTheOpenerAsOneArgument) {
    testsupport::TempDir tmp, work;
    const fs::path report = tmp / "opened.txt";
    const fs::path opener = tmp / "opener";
    std::ofstream(opener) << "#!/bin/sh\n{ echo \"$#\"; printf '%s' \"$1\"; } > '" << report.string()
                          << ".tmp'\nmv '" << report.string() << ".tmp' '" << report.string() << "'\n";
    ::chmod(opener.c_str(), 0755);
    work.write("KZV软件使用说明.htm", "<html></html>");
    testsupport::ScopedCwd cwd(work.path());
    const std::string abs = fs::current_path().string();
    const LinkOpener open = DesktopLinkOpener(opener.string());

    struct Case {
        std::string target;
        bool opens;
        std::string argument;
    } cases[] = {
        {"http://shop.example.com/", true, "http://shop.example.com/"},
        {"https://example.com/a b?x=1&y=`id`;rm -rf x", true, "https://example.com/a b?x=1&y=`id`;rm -rf x"},
        {"KZV软件使用说明.htm", true, abs + "/KZV软件使用说明.htm"},
        {"mailto:shop@example.com", false, ""},
        {"tencent://message/?uin=12345", false, ""},
        {"ftp://example.com/", false, ""},
        {"javascript:alert(1)", false, ""},
        {"file:///etc/passwd", false, ""},
        {"missing.htm", false, ""},
        {"https://example.com/\nxterm", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        fs::remove(report);
        std::string message;
        EXPECT_EQ(OpenLinkTarget(c.target, open, &message), c.opens) << message;
        if (c.opens) {
            EXPECT_EQ(WaitForFile(report), "1\n" + c.argument);
        } else {
            EXPECT_EQ(message.rfind("Can't open link:\n\n", 0), 0u) << message;
            EXPECT_GT(message.size(), std::string("Can't open link:\n\n").size());
        }
    }
    std::string message;
    EXPECT_FALSE(OpenLinkTarget("https://example.com/", DesktopLinkOpener("no-such-opener-here"), &message));
    EXPECT_NE(message.find("no-such-opener-here"), std::string::npos) << message;
}
