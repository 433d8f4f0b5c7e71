// The labels on the model picture: their rectangles, the hit test with the
// picture area's 2-pixel offset, hidden labels and the edit marks.
#include <gtest/gtest.h>

#include "measure_market/measure_labels.h"

namespace {

using namespace measure;

TEST(MeasureLabels, RectanglesFollowTheTextsGbkLength) {
    EXPECT_EQ(LabelRectOf(0).left, 10);
    EXPECT_EQ(LabelRectOf(0).right, 10 + 6 * 6);  // "身  高": two characters and two blanks
    EXPECT_EQ(LabelRectOf(8).right, 169 + 6 * 10);  // "下前腰节长"
    EXPECT_EQ(LabelRectOf(38).bottom, 172 + 13);
    EXPECT_EQ(LabelRectOf(39).right, 0);
}

TEST(MeasureLabels, HitTestSkipsHiddenLabelsAndNeedsAModel) {
    MeasureLabels labels;
    const LabelRect bust = LabelRectOf(kBustLabel);
    EXPECT_EQ(labels.HitTest(bust.left + 1, bust.top + 3), -1);  // no model yet
    labels.SetModelSex('W');
    EXPECT_EQ(labels.HitTest(bust.left + 1, bust.top + 3), kBustLabel);
    EXPECT_EQ(labels.HitTest(bust.left + 1, bust.top + 1), -1);  // above the shifted rectangle
    EXPECT_EQ(labels.HitTest(bust.left + 1, bust.bottom + 1), kBustLabel);
    labels.SetModelSex('M');
    EXPECT_EQ(labels.mark(kBustLabel), 'X');
    EXPECT_EQ(labels.HitTest(bust.left + 1, bust.top + 3), -1);
    EXPECT_EQ(labels.HitTest(5, 5), -1);
}

TEST(MeasureLabels, ValuesStartUnsetAndEditsAreMarked) {
    MeasureLabels labels;
    EXPECT_EQ(labels.value(0), -1);
    labels.SetModelSex('W');
    labels.SetValue(12, 6800);
    EXPECT_EQ(labels.mark(12), 'Y');
    labels.SetModelSex('W');  // choosing a model clears the marks, not the values
    EXPECT_EQ(labels.mark(12), ' ');
    EXPECT_EQ(labels.value(12), 6800);
}

}  // namespace
