#include "tools/asset_builder/svg_frame.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using asset_builder::FindViewBox;
using asset_builder::FitAspect;
using asset_builder::PixelBox;
using asset_builder::PlanTrim;
using asset_builder::ViewBox;
using asset_builder::WithViewBox;

TEST(SvgFrame, FindViewBoxReadsTheRootElementOnly) {
    struct Case {
        const char* svg;
        bool found;
        ViewBox box;
    };
    const Case cases[] = {
        {R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 500 1000"/>)", true, {0, 0, 500, 1000}},
        {R"(<?xml version="1.0"?><svg viewBox='-5,2.5, 10 20'></svg>)", true, {-5, 2.5, 10, 20}},
        {"<svg\n  width=\"4\"\n  viewBox = \"1 2 3 4\">", true, {1, 2, 3, 4}},
        {R"(<svgx viewBox="0 0 1 1"/><svg viewBox="0 0 7 8"/>)", true, {0, 0, 7, 8}},
        {R"(<svg width="10" height="10"><svg viewBox="0 0 1 1"/></svg>)", false, {}},  // inner element's
        {R"(<svg data-viewBox="0 0 1 1">)", false, {}},
        {R"(<svg viewBox="0 0 0 10">)", false, {}},
        {R"(<svg viewBox="0 0 10 -1">)", false, {}},
        {R"(<svg viewBox="0 0 10">)", false, {}},
        {R"(<svg viewBox="0 0 10 10 10">)", false, {}},
        {R"(<svg viewBox="a b c d">)", false, {}},
        {R"(<svg viewBox="0 0 10 10)", false, {}},  // tag never closed
        {"no drawing at all", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.svg);
        const auto box = FindViewBox(c.svg);
        ASSERT_EQ(box.has_value(), c.found);
        if (!c.found) continue;
        EXPECT_DOUBLE_EQ(box->x, c.box.x);
        EXPECT_DOUBLE_EQ(box->y, c.box.y);
        EXPECT_DOUBLE_EQ(box->w, c.box.w);
        EXPECT_DOUBLE_EQ(box->h, c.box.h);
    }
}

TEST(SvgFrame, WithViewBoxReplacesTheFrameAndDropsTheRootSizeOnly) {
    const std::string svg =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height='50' viewBox="0 0 500 1000">)"
        R"(<rect x="1" y="2" width="30" height="40"/></svg>)";
    const std::string out = WithViewBox(svg, {10, 20, 30.5, 40.25});
    EXPECT_EQ(out,
              R"(<svg viewBox="10.0000 20.0000 30.5000 40.2500" xmlns="http://www.w3.org/2000/svg"   >)"
              R"(<rect x="1" y="2" width="30" height="40"/></svg>)");
    const auto box = FindViewBox(out);
    ASSERT_TRUE(box);
    EXPECT_DOUBLE_EQ(box->w, 30.5);

    // A root element without a viewBox gets one.
    EXPECT_EQ(WithViewBox("<svg><g/></svg>", {0, 0, 1, 2}), R"(<svg viewBox="0.0000 0.0000 1.0000 2.0000"><g/></svg>)");
    EXPECT_THROW(WithViewBox("<html/>", {0, 0, 1, 1}), std::invalid_argument);
}

TEST(SvgFrame, FitAspectWidensAboutTheCentre) {
    const ViewBox tall{0, 0, 500, 1000};
    const ViewBox wide = FitAspect(tall, 200, 100);  // needs 2000 x 1000
    EXPECT_DOUBLE_EQ(wide.x, -750);
    EXPECT_DOUBLE_EQ(wide.y, 0);
    EXPECT_DOUBLE_EQ(wide.w, 2000);
    EXPECT_DOUBLE_EQ(wide.h, 1000);

    const ViewBox high = FitAspect({10, 10, 100, 20}, 50, 50);  // needs 100 x 100
    EXPECT_DOUBLE_EQ(high.x, 10);
    EXPECT_DOUBLE_EQ(high.y, -30);
    EXPECT_DOUBLE_EQ(high.h, 100);

    const ViewBox same = FitAspect({1, 2, 30, 40}, 300, 400);
    EXPECT_DOUBLE_EQ(same.x, 1);
    EXPECT_DOUBLE_EQ(same.y, 2);
    EXPECT_DOUBLE_EQ(same.w, 30);
    EXPECT_DOUBLE_EQ(same.h, 40);
}

TEST(SvgFrame, PlanTrimFramesThePaintedPartWithAMargin) {
    // A 500 x 1000 drawing probed at 2 px per unit; paint covers units
    // 100..200 across and 300..700 down (pixels 200..400, 600..1400).
    const ViewBox whole{0, 0, 500, 1000};
    const PixelBox painted{200, 600, 400, 1400};
    const auto plan = PlanTrim(whole, 2.0, painted, 200, 240, 2);

    // Tall content: the height limits. 236 px for 401 units.
    EXPECT_EQ(plan.height, 240);
    EXPECT_LE(plan.width, 200);
    EXPECT_NEAR(plan.width, 4 + 101 * (236.0 / 401), 1.0);
    // The frame keeps the output's aspect and holds the painted part, centred.
    EXPECT_NEAR(plan.frame.w / plan.frame.h, static_cast<double>(plan.width) / plan.height, 1e-9);
    EXPECT_LT(plan.frame.x, 100);
    EXPECT_GT(plan.frame.x + plan.frame.w, 200);
    EXPECT_LT(plan.frame.y, 300);
    EXPECT_GT(plan.frame.y + plan.frame.h, 700);
    EXPECT_NEAR((plan.frame.x + plan.frame.x + plan.frame.w) / 2, 150, 0.5);
    EXPECT_NEAR((plan.frame.y + plan.frame.y + plan.frame.h) / 2, 500, 0.5);

    // Wide content in the same box: the width limits.
    const auto wide = PlanTrim(whole, 2.0, PixelBox{0, 0, 1000, 100}, 200, 240, 2);
    EXPECT_EQ(wide.width, 200);
    EXPECT_LT(wide.height, 30);

    EXPECT_THROW(PlanTrim(whole, 2.0, PixelBox{5, 5, 5, 9}, 200, 240, 2), std::invalid_argument);
    EXPECT_THROW(PlanTrim(whole, 2.0, painted, 4, 240, 2), std::invalid_argument);
}

TEST(SvgFrame, PlanTrimOnGridKeepsTheWholeDrawingsPixelGrid) {
    // Paint over units 100..200 x 300..700 of a frame starting at (-10, 20),
    // probed at 2 px per unit, cropped at half a pixel per unit with 2 px margin.
    const ViewBox whole{-10, 20, 500, 1000};
    const auto plan = asset_builder::PlanTrimOnGrid(whole, 2.0, PixelBox{200, 600, 400, 1400}, 0.5, 2);
    // Units 99.5..200.5 -> pixels 49..101, less and plus the margin.
    EXPECT_EQ(plan.left, 47);
    EXPECT_EQ(plan.top, 147);
    EXPECT_EQ(plan.trim.width, 103 - 47);
    EXPECT_EQ(plan.trim.height, 353 - 147);
    // The frame starts on a whole pixel of the grid and is exactly as large
    // as the picture at that scale.
    EXPECT_DOUBLE_EQ(plan.trim.frame.x, -10 + 47 / 0.5);
    EXPECT_DOUBLE_EQ(plan.trim.frame.y, 20 + 147 / 0.5);
    EXPECT_DOUBLE_EQ(plan.trim.frame.w * 0.5, plan.trim.width);
    EXPECT_DOUBLE_EQ(plan.trim.frame.h * 0.5, plan.trim.height);

    EXPECT_THROW(asset_builder::PlanTrimOnGrid(whole, 2.0, PixelBox{5, 5, 5, 9}, 0.5, 2), std::invalid_argument);
    EXPECT_THROW(asset_builder::PlanTrimOnGrid(whole, 2.0, PixelBox{0, 0, 10, 10}, 0, 2), std::invalid_argument);
}
