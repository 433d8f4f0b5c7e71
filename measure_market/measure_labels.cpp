#include "measure_market/measure_labels.h"

#include "platform/text.h"

namespace measure {

namespace {

struct LabelPlace {
    const char* text;
    int left, top;
};

constexpr LabelPlace kLabels[kLabelCount] = {
    {"身  高", 10, 17},    {"耳  高", 17, 44},   {"肩  高", 23, 89},   {"手  高", 39, 451},   {"胸  高", 61, 57},
    {"手臂长", 50, 354},   {"下肢长", 48, 415},  {"头  围", 169, 7},   {"下前腰节长", 169, 44}, {"胸  围", 184, 74},
    {"胸  宽", 191, 108},  {"乳  距", 196, 133}, {"腰  围", 196, 162}, {"中腰围", 193, 189},  {"臀  高", 198, 213},
    {"臀  围", 198, 238},  {"腿根围", 196, 262}, {"大腿围", 173, 286}, {"膝  围", 167, 333},  {"小腿围", 164, 375},
    {"踝  围", 160, 432},  {"半肩宽", 283, 54},  {"膀根围", 249, 87},  {"臂根围", 249, 123},  {"后腰节长", 242, 183},
    {"大腿高", 273, 324},  {"小腿高", 273, 359}, {"脚踝高", 274, 425}, {"劲 围", 392, 19},    {"背 长", 420, 50},
    {"总肩宽", 430, 86},   {"背 宽", 431, 113},  {"上臂围", 427, 139}, {"肘 围", 429, 166},   {"前臂围", 428, 194},
    {"腕 围", 430, 243},   {"脚 围", 382, 432},  {"脚 长", 430, 432},  {"脐  高", 22, 172},
};

}  // namespace

const char* LabelText(int index) { return index >= 0 && index < kLabelCount ? kLabels[index].text : ""; }

LabelRect LabelRectOf(int index) {
    if (index < 0 || index >= kLabelCount) return {};
    const LabelPlace& p = kLabels[index];
    const int width = 6 * static_cast<int>(platform::GbkLength(p.text));
    return {p.left, p.top, p.left + width, p.top + 13};
}

MeasureLabels::MeasureLabels() {
    m_marks.fill(' ');
    m_values.fill(-1);  // never entered
}

void MeasureLabels::SetModelSex(char sex) {
    m_sex = sex;
    m_marks.fill(' ');
    if (sex == 'M') m_marks[kBustLabel] = 'X';
}

void MeasureLabels::SetValue(int i, std::int32_t v) {
    m_values.at(i) = v;
    m_marks.at(i) = 'Y';
}

void MeasureLabels::LoadValues(const std::int32_t* values) {
    for (int i = 0; i < kLabelCount; ++i) m_values[i] = values[i];
}

int MeasureLabels::HitTest(int x, int y) const {
    if (m_sex == ' ') return -1;
    for (int i = 0; i < kLabelCount; ++i) {
        if (m_marks[i] == 'X') continue;
        if (LabelRectOf(i).Contains(x, y - 2)) return i;
    }
    return -1;
}

}  // namespace measure
