// Size matching: each size row's parameter text ("身高:160-170,胸围:88") is
// scanned into numeric ranges per measure, and a row fits a body when every
// measure with a value passes its check: inside the range with the ease
// allowance added, or, for a single value, no further from the body than
// the gap to the next size. A title row above size rows gives them default
// allowances, steps and flags. Texts are GBK: the scanners step over
// double-byte characters whole, so a trail byte never reads as '[' or a
// capital letter.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "measure_market/size_database.h"
#include "platform/text.h"

namespace measure {

namespace {

// Length of the character at text[i]: 2 for a GBK lead byte with its trail.
std::size_t CharLength(const std::string& text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    return (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
}

bool IsUpper(std::string_view c) { return c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z'; }
bool IsDigit(std::string_view c) { return c.size() == 1 && c[0] >= '0' && c[0] <= '9'; }

struct MeasureName {
    const char* name;
    int first;   // value index
    int second;  // -1: one value, written whatever the position
    int flag;
};

constexpr MeasureName kMeasureNames[] = {
    {"身高", 0, 1, 0},    {"领围", 2, 3, 1},    {"胸围", 4, 5, 2},    {"腰围", 6, 7, 3},     {"臀围", 8, 9, 4},
    {"腰胸差", 10, 11, 5}, {"衣长", 12, 13, 6},  {"前衣长", 12, -1, 6}, {"后衣长", 13, -1, 7}, {"袖长", 14, 15, 8},
    {"全袖长", 16, -1, 9}, {"半袖长", 17, -1, 10}, {"大腿围", 18, 19, 11}, {"裤长", 20, 21, 12}, {"上裆", 22, 23, 13},
    {"下裆", 24, 25, 14},  {"肩宽", 26, 27, 15},  {"脚长", 28, -1, 16},  {"脚围", 29, -1, 17},  {"脚口", 30, 31, 18},
};

struct GarmentKind {
    const char* name;
    char sex;
    char category;
};

constexpr GarmentKind kGarmentKinds[] = {
    {"恤衫", 'M', 'B'},     {"裤装", 'M', 'B'},     {"短袖衬衣", 'M', 'B'}, {"长袖衬衣", 'M', 'C'},
    {"西装上衣", 'M', 'A'}, {"西装裤子", 'M', 'D'}, {"女鞋", 'F', 'd'},     {"男鞋", 'M', 'd'},
    {"女上装", 'F', 'A'},   {"女下装", 'F', 'D'},   {"女牛仔裤", 'F', 'E'},
};

const std::string& Gbk(const char* utf8) {
    static std::vector<std::pair<const char*, std::string>> cache;
    for (auto& [key, value] : cache)
        if (key == utf8) return value;
    cache.emplace_back(utf8, platform::Utf8ToGbkLossy(utf8));
    return cache.back().second;
}

constexpr std::size_t kNameBuffer = 20;
constexpr std::size_t kValueBuffer = 12;
constexpr std::size_t kKindBuffer = 32;

// What a measure is compared with and how.
enum class Flagged { Skip, AtLeast, AtLeastStrict };
enum class BodyOp { One, Minus, Plus };

struct MeasureCheck {
    int first, second;  // value indices (second -1: one value)
    BodyOp op;
    int body1, body2;   // body value indices
    int flag;
    Flagged whenFlagged;
    int threshold;
    int allowance;
    int step;
};

// The body value of 袖长 is the arm length (see MatchSizes in the header);
// the other measures take the body values of the chart's own table.
constexpr MeasureCheck kChecks[] = {
    {0, 1, BodyOp::One, 0, 0, 0, Flagged::Skip, 0, 0, 200},                  // 身高
    {2, 3, BodyOp::One, 28, 0, 1, Flagged::AtLeast, 200, 200, 200},          // 领围
    {4, 5, BodyOp::One, 9, 0, 2, Flagged::AtLeastStrict, 200, 200, 200},     // 胸围
    {6, 7, BodyOp::One, 12, 0, 3, Flagged::AtLeast, 200, 200, 200},          // 腰围
    {8, 9, BodyOp::One, 15, 0, 4, Flagged::AtLeast, 200, 200, 200},          // 臀围
    {10, 11, BodyOp::Minus, 9, 12, 5, Flagged::Skip, 0, 200, 200},           // 腰胸差
    {12, -1, BodyOp::Plus, 14, 8, 6, Flagged::Skip, 0, 100, 200},            // 衣长
    {14, 15, BodyOp::One, 5, 0, 8, Flagged::Skip, 0, 200, 200},              // 袖长
    {16, -1, BodyOp::One, 5, 0, 9, Flagged::Skip, 0, 200, 200},              // 全袖长
    {18, 19, BodyOp::One, 17, 0, 11, Flagged::AtLeast, 200, 200, 200},       // 大腿围
    {20, 21, BodyOp::One, 6, 0, 12, Flagged::Skip, 0, 200, 200},             // 裤长
    {22, 23, BodyOp::One, 4, 0, 13, Flagged::Skip, 0, 200, 200},             // 上裆
    {24, 25, BodyOp::Plus, 25, 26, 14, Flagged::Skip, 0, 200, 200},          // 下裆
    {26, 27, BodyOp::One, 30, 0, 15, Flagged::AtLeast, 200, 200, 200},       // 肩宽
    {28, -1, BodyOp::One, 37, 0, 16, Flagged::AtLeast, 50, 50, 50},          // 脚长
    {29, -1, BodyOp::One, 36, 0, 17, Flagged::AtLeast, 200, 200, 200},       // 脚围
    {30, 31, BodyOp::One, 20, 0, 18, Flagged::AtLeast, 200, 200, 200},       // 脚口
};

constexpr int kHeight = 0;
constexpr int kCollar = 1;
constexpr int kGarmentLength = 6;

// The body value of a check; false when a value it needs was not given
// (a negative measurement: the form keeps -1 for values never entered).
bool BodyValueOf(const MeasureCheck& m, const std::int32_t* body, std::int64_t& out) {
    const std::int64_t a = body[m.body1];
    if (a < 0) return false;
    if (m.op == BodyOp::One) {
        out = a;
        return true;
    }
    const std::int64_t b = body[m.body2];
    if (b < 0) return false;
    out = m.op == BodyOp::Minus ? a - b : a + b;
    return true;
}

}  // namespace

char CSizeDatabase::SizeLetter(const std::string& gbk) {
    for (std::size_t i = 0; i < gbk.size(); i += CharLength(gbk, i)) {
        const std::string_view c(gbk.data() + i, CharLength(gbk, i));
        if (IsUpper(c)) return c[0];
    }
    return ' ';
}

char CSizeDatabase::ClassifyGarment(const std::string& gbk, char* sex) {
    std::string name;
    bool seenOther = false;
    for (std::size_t i = 0; i < gbk.size(); i += CharLength(gbk, i)) {
        const std::string_view c(gbk.data() + i, CharLength(gbk, i));
        if (c == " ") continue;
        if (seenOther && IsUpper(c)) break;
        if (name.size() + c.size() > kKindBuffer) return ' ';  // longer than any kind
        name.append(c);
        if (!IsUpper(c) && !IsDigit(c)) seenOther = true;
    }
    for (const GarmentKind& k : kGarmentKinds) {
        if (name == Gbk(k.name)) {
            if (sex) *sex = k.sex;
            return k.category;
        }
    }
    return ' ';
}

void CSizeDatabase::StoreMeasure(int row, int position, const std::string& name, const std::string& value) {
    double d = 0;
    if (!value.empty()) d = std::strtod(value.c_str(), nullptr);
    const double scaled = d * 100 + 0.0005;
    const std::int32_t v = scaled >= 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(scaled);
    SizeRangeRecord& rec = m_ranges[row];
    for (const MeasureName& m : kMeasureNames) {
        if (name != Gbk(m.name)) continue;
        if (m.second < 0)
            rec.values[m.first] = v;
        else
            rec.values[position == 2 ? m.second : m.first] = v;
        if (m_paramFlag != ' ') rec.flags[m.flag] = m_paramFlag;
        break;
    }
    m_paramFlag = ' ';
}

void CSizeDatabase::ParseSizeParams(const std::string& gbk, int row) {
    if (row < 0 || row >= kMaxSizeRows) return;
    std::string name, value;
    int phase = 0;
    bool skipping = false;
    m_paramFlag = ' ';
    for (std::size_t i = 0; i < gbk.size(); i += CharLength(gbk, i)) {
        const std::string_view c(gbk.data() + i, CharLength(gbk, i));
        if (c == " ") continue;
        if (phase == 0) {
            if (c == ":") {
                phase = 1;
                value.clear();
            } else if (c == ",") {
                name.clear();
            } else if (name.size() + c.size() <= kNameBuffer) {
                name.append(c);
            }
            continue;
        }
        if (skipping) {
            if (c == ")") skipping = false;
            continue;
        }
        if (c.size() != 1) continue;
        switch (c[0]) {
        case '(': skipping = true; break;
        case '*': m_paramFlag = '*'; break;
        case '<': m_paramFlag = 'Y'; break;
        case '[': m_paramFlag = 'y'; break;
        case ',':
            StoreMeasure(row, phase, name, value);
            phase = 0;
            name.clear();
            value.clear();
            break;
        case '-':
            StoreMeasure(row, phase, name, value);
            phase = 2;
            value.clear();
            break;
        default:
            if ((IsDigit(c) || c[0] == '.') && value.size() < kValueBuffer) value.push_back(c[0]);
            break;
        }
    }
    if (phase != 0 && !value.empty()) StoreMeasure(row, phase, name, value);
    m_paramFlag = ' ';
}

void CSizeDatabase::ParseAllSizes() {
    for (auto& r : m_ranges) r.Reset();
    const int count = GetStoredRowCount();
    for (int r = 0; r < count; ++r) {
        if (m_rows[r][0] == ' ') {
            char sex = ' ';
            m_ranges[r].category = ClassifyGarment(RowText(r, 1), &sex);
            m_ranges[r].garmentSex = sex;
            m_ranges[r].sizeLetter = SizeLetter(RowText(r, 2));
        }
        ParseSizeParams(RowText(r, 8), r);
    }
}

bool CSizeDatabase::RowPasses(int r, int title, const std::int32_t* body, char bodySex) const {
    // The row's own sex letter (column 6 of the chart) decides whose row it is.
    const char rowSex = static_cast<char>(m_rows[r][1]);
    if (bodySex == 'M' ? rowSex != 'M' : rowSex == 'M') return false;
    const SizeRangeRecord& row = m_ranges[r];
    const SizeRangeRecord* t = title >= 0 ? &m_ranges[title] : nullptr;
    const int count = GetStoredRowCount();
    const SizeRangeRecord* next = (r + 1 < count && m_ranges[r + 1].category != ' ') ? &m_ranges[r + 1] : nullptr;

    for (int k = 0; k < static_cast<int>(std::size(kChecks)); ++k) {
        const MeasureCheck& m = kChecks[k];
        if (k == kGarmentLength && row.category != 'A' && row.category != 'B' && row.category != 'C') continue;
        const std::int64_t F = row.values[m.first] > 0 ? row.values[m.first] : -1;
        const std::int64_t S = (m.second >= 0 && k != kGarmentLength && row.values[m.second] > 0) ? row.values[m.second] : -1;
        if (F < 0) continue;
        std::int64_t B = 0;
        if (!BodyValueOf(m, body, B)) continue;  // not measured: never rejects
        const char fr = row.flags[m.flag];
        const char fT = t ? t->flags[m.flag] : ' ';
        const std::int64_t vT = t ? t->values[m.first] : -1;
        const bool flagged = k == kHeight ? fr == 'Y' : (fr == 'Y' || (t && fT == '*'));
        if (flagged) {
            if (m.whenFlagged == Flagged::Skip) continue;
            if (F < B + m.threshold) return false;
            if (m.whenFlagged == Flagged::AtLeastStrict && F == B + m.threshold) return false;
            continue;
        }
        std::int64_t A = m.allowance;
        if (t && vT >= 1 && fT == ' ') A = vT;
        if (k == kHeight) A = 0;
        if (S > 0) {
            if (F > B + A || B + A > S) return false;
            continue;
        }
        std::int64_t L = 0, U = m.step;
        if (next && next->values[m.first] >= 1) {
            U = next->values[m.first] - F;
            if (U <= 0) {
                if (!t || vT < 1) {
                    U = 1;
                } else if (fT == 'y') {
                    U = vT;
                    L = -vT;
                } else if (fT == 'Y') {
                    U = vT;
                } else {
                    U = 1;
                }
            }
        }
        const std::int64_t d = k == kHeight ? B - F : F - B - A;
        if (d < L) return false;
        if (k == kCollar ? d >= U : d > U) return false;
    }
    return true;
}

int CSizeDatabase::MatchSizes() {
    if (m_selectedBody < 0 || m_selectedBody >= GetBodyCount()) return 0;
    ParseAllSizes();
    std::int32_t body[kBodyValues];
    for (int i = 0; i < kBodyValues; ++i) body[i] = BodyValue(m_selectedBody, i);
    const char bodySex = BodySex(m_selectedBody);
    for (auto& row : m_rows) row[3] = ' ';
    const int count = GetStoredRowCount();
    int title = -1, passed = 0;
    std::array<std::int32_t, kMaxSizeRows> order{};
    for (int r = 0; r < count; ++r) {
        if (m_rows[r][0] == 'T') {
            title = r;
            continue;
        }
        if (!RowPasses(r, title, body, bodySex)) continue;
        m_rows[r][3] = 'Y';
        order[passed++] = r;
    }
    if (passed > 0) {
        m_order = order;
        for (int k = passed; k < kMaxSizeRows; ++k) m_order[k] = k;
        m_displayCount = passed;
    }
    return passed;
}

}  // namespace measure
