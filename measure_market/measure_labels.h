#pragma once
// The measurement labels on the model picture: 39 labels, one per body
// value, with their places in the picture area, the edit marks, and the hit
// test of a click. The measurement form paints and edits through it.
#include <array>
#include <cstdint>
#include <string>

namespace measure {

inline constexpr int kLabelCount = 39;
inline constexpr int kBustLabel = 11;  // "乳  距": hidden on the male model

struct LabelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The label text and its rectangle in the picture area: 6 pixels a GBK byte
// wide, 13 high.
const char* LabelText(int index);
LabelRect LabelRectOf(int index);

// The form's 39 values with their marks: ' ' unchanged, 'Y' edited, 'X'
// hidden.
class MeasureLabels {
public:
    MeasureLabels();
    // Male: the bust label hidden; female: shown; either clears every edit mark.
    void SetModelSex(char sex);
    char modelSex() const { return m_sex; }
    std::int32_t value(int i) const { return m_values.at(i); }
    char mark(int i) const { return m_marks.at(i); }
    void SetValue(int i, std::int32_t v);  // marks the label 'Y'
    void LoadValues(const std::int32_t* values);  // from a body record, marks kept
    const std::array<std::int32_t, kLabelCount>& values() const { return m_values; }
    // The first shown label under a point of the picture area's coordinates
    // (the area's top moved down by 2), or -1. Hidden labels are never hit,
    // and nothing is hit before a model is chosen.
    int HitTest(int x, int y) const;

private:
    char m_sex = ' ';
    std::array<std::int32_t, kLabelCount> m_values{};
    std::array<char, kLabelCount> m_marks{};
};

}  // namespace measure
