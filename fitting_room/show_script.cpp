// The script reader. A scanner cuts the text into blocks by their opening
// and closing characters; each block's text (plus a closing ';') goes to the
// parser of its kind, which cuts it into tokens at ':' (a keyword), ',' and
// ';' (a value, ';' also ending the entry) and, in move scenes, ')' (a value
// and the end of a step). Bytes are looked at as unsigned, so the second
// bytes of GBK characters in names are kept like any other character.
#include "fitting_room/show_script.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "platform/text.h"

namespace fitting_room {

namespace {

// atoi/atof as the script's numbers are meant: leading blanks skipped,
// trailing text ignored, no number gives 0; out-of-range values are clamped.
std::int32_t ToInt(const std::string& token) {
    errno = 0;
    const long long v = std::strtoll(token.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

float ToFloat(const std::string& token) {
    const double v = std::strtod(token.c_str(), nullptr);
    if (!(v == v)) return 0.0f;
    return static_cast<float>(std::clamp(v, -1.0e30, 1.0e30));
}

// The keyword's number: "MV1".."MV9" and "MVA" (prefix "MV"), or "BMP1".."BMPA".
int NumberedKeyword(const std::string& token, std::string_view prefix) {
    if (token.size() != prefix.size() + 1 || token.compare(0, prefix.size(), prefix) != 0) return -1;
    const char c = token.back();
    if (c >= '1' && c <= '9') return c - '1';
    if (c == 'A') return 9;
    return -1;
}

// Token text grows up to 17 bytes, never ending inside a GBK character.
class Token {
public:
    void Add(unsigned char c) {
        if (m_full) return;
        m_text.push_back(static_cast<char>(c));
        if (m_text.size() > kTokenLimit) {
            m_text.resize(platform::GbkCutLength(m_text, kTokenLimit));
            m_full = true;
        }
    }
    std::string Take() {
        std::string t = std::move(m_text);
        m_text.clear();
        m_full = false;
        return t;
    }
    bool Empty() const { return m_text.empty(); }

private:
    std::string m_text;
    bool m_full = false;
};

std::string NameFromGbk(const std::string& gbk, std::size_t limit) {
    return platform::GbkToUtf8(std::string_view(gbk).substr(0, platform::GbkCutLength(gbk, limit)));
}

// '[' block: a move scene of steps.
void ParseSceneBlock(std::string text, ShowTables& t) {
    if (t.sceneCount > kSceneCountCap || t.stepCount > kStepBlockLimit) return;
    text.push_back(';');
    ShowRecord& scene = t.scenes[t.sceneCount];
    scene = ShowRecord();
    const int blockFirstStep = t.stepCount;
    if (t.stepCount < kStepRecords) t.steps[t.stepCount] = ShowRecord();

    Token token;
    std::string keyword;
    int slot = -1, picture = -1, values = 0;

    auto step = [&]() -> ShowRecord* { return t.stepCount < kStepRecords ? &t.steps[t.stepCount] : nullptr; };
    auto value = [&](const std::string& v) {
        if (NumberedKeyword(keyword, "MV") >= 0) {
            ShowRecord* s = step();
            if (!s || slot < 0) return;
            ++values;
            if (values == 1) {
                s->slotPicture[slot] = picture;
                if (t.keyRowCount >= kKeyRows) {  // the table is full: the slot gets no row
                    s->slotIndex[slot] = -1;
                    return;
                }
                const int row = t.keyRowCount++;
                s->slotIndex[slot] = row;
                KeyRow& r = t.keyRows[row];
                r = KeyRow();
                r.x = 100, r.y = 100, r.dx = 1, r.dy = 1;
                r.x = ToInt(v);
                return;
            }
            const int row = s->slotIndex[slot];
            if (values > 6 || row < 0 || row >= kKeyRows) return;
            KeyRow& r = t.keyRows[row];
            s->slotActive[slot] = 'Y';
            switch (values) {
                case 2: r.y = ToInt(v); break;
                case 3: r.dx = ToInt(v); break;
                case 4: r.dy = ToInt(v); break;
                case 5: r.scale = ToFloat(v); break;
                case 6: r.dscale = ToFloat(v); break;
                default: break;
            }
        } else if (keyword == "TIM") {
            if (ShowRecord* s = step()) s->countOrDelay = ToInt(v);
        } else if (keyword == "NUM") {
            scene.countOrDelay = ToInt(v);
            scene.moveScene = 'Y';
            scene.slotIndex[0] = blockFirstStep;
        } else if (keyword == "WAV") {
            scene.ownWave = 'Y';
            scene.waveName = NameFromGbk(v, kWaveNameLimit);
        }
    };

    for (unsigned char c : text) {
        if (c == ' ' || c == '(') continue;
        if (c == ':') {
            keyword = token.Take();
            const int n = NumberedKeyword(keyword, "MV");
            if (n >= 0) {
                slot = std::min(slot + 1, kShowSlots - 1);
                picture = n;
                values = 0;
            }
        } else if (c == ',' || c == ';' || c == ')') {
            // An entry's end right after a separator is no further value.
            if (c == ',' || !token.Empty()) value(token.Take());
            if (c == ')') {
                if (t.stepCount < kStepRecords) {
                    ++t.stepCount;
                    if (t.stepCount < kStepRecords) t.steps[t.stepCount] = ShowRecord();
                }
                slot = -1;
                values = 0;
            }
        } else {
            token.Add(c);
        }
    }
    scene.slotIndex[1] = t.stepCount;
    if (scene.IsMoveScene() && t.sceneCount < kSceneCountCap) ++t.sceneCount;
}

// '(' block: a pose scene. Blanks belong to the tokens here.
void ParseKeyBlock(std::string text, ShowTables& t) {
    if (t.sceneCount > kSceneCountCap) return;
    text.push_back(';');
    ShowRecord& scene = t.scenes[t.sceneCount];
    scene = ShowRecord();
    Token token;
    std::string keyword;
    int slot = -1, picture = -1, values = 0;

    auto value = [&](const std::string& v) {
        if (NumberedKeyword(keyword, "MV") >= 0) {
            if (slot < 0) return;
            ++values;
            if (values == 1) {
                scene.slotPicture[slot] = picture;
                if (t.positionCount >= kPoseEntries) {
                    scene.slotIndex[slot] = -1;
                    return;
                }
                const int entry = t.positionCount++;
                scene.slotIndex[slot] = entry;
                t.positions[entry] = ShowPosition{ToInt(v), 0};
                return;
            }
            const int entry = scene.slotIndex[slot];
            if (values > 3 || entry < 0 || entry >= kPoseEntries) return;
            scene.slotActive[slot] = 'Y';
            if (values == 2) t.positions[entry].y = ToInt(v);
            if (values == 3) scene.slotScale[slot] = ToFloat(v);
        } else if (keyword == "TIM") {
            scene.countOrDelay = ToInt(v);
        }
    };

    for (unsigned char c : text) {
        if (c == ':') {
            keyword = token.Take();
            const int n = NumberedKeyword(keyword, "MV");
            if (n >= 0) {
                slot = std::min(slot + 1, kShowSlots - 1);
                picture = n;
                values = 0;
            }
        } else if (c == ',' || c == ';') {
            if (c == ',' || !token.Empty()) value(token.Take());
        } else {
            token.Add(c);
        }
    }
    bool any = false;
    for (int s = 0; s < kShowSlots; ++s) any = any || scene.Active(s);
    if (any && t.sceneCount < kSceneCountCap) ++t.sceneCount;
}

// '<' block: pictures, key colour, background, beat.
void ParsePictureBlock(std::string text, ShowTables& t) {
    text.push_back(';');
    ShowPictureBlock& p = t.pictures;
    p.rgb = {0, 0, 0};
    Token token;
    std::string keyword;
    int component = 0;

    auto value = [&](const std::string& v) {
        const int picture = NumberedKeyword(keyword, "BMP");
        if (keyword == "RGB") {
            if (component < 3) p.rgb[component] = ToInt(v);
            ++component;
        } else if (keyword == "BG") {
            p.background = ToInt(v);
        } else if (keyword == "WAV") {
            p.beatWave = platform::GbkToUtf8(v);
        } else if (picture >= 0) {
            p.names[picture] = platform::GbkToUtf8(v);
            if (!v.empty()) p.states[picture] = kPictureNamed;
        }
    };

    for (unsigned char c : text) {
        if (c == ':') {
            keyword = token.Take();
            component = 0;
        } else if (c == ',' || c == ';') {
            if (c == ',' || !token.Empty()) value(token.Take());
        } else {
            token.Add(c);
        }
    }
}

}  // namespace

void ParseShowScript(std::string_view gbk, ShowTables& tables) {
    tables.Empty();
    gbk = gbk.substr(0, std::min(gbk.size(), kScriptReadLimit));
    // Script texts end at a NUL, as the file was read into a terminated buffer.
    gbk = gbk.substr(0, std::min(gbk.size(), gbk.find('\0')));

    char open = 0, close = 0;
    std::string block;
    for (unsigned char c : gbk) {
        if (!open) {
            if (c == '[') open = '[', close = ']';
            else if (c == '(') open = '(', close = ')';
            else if (c == '<') open = '<', close = '>';
            block.clear();
            continue;
        }
        if (c < 25) continue;
        if (c == static_cast<unsigned char>(close)) {
            if (open == '[') ParseSceneBlock(block, tables);
            else if (open == '(') ParseKeyBlock(block, tables);
            else ParsePictureBlock(block, tables);
            open = 0;
            continue;
        }
        // The first 600 characters are kept; later ones all land on the 601st place.
        if (block.size() < kBlockTextLimit) block.push_back(static_cast<char>(c));
        else if (block.size() == kBlockTextLimit) block.push_back(static_cast<char>(c));
        else block.back() = static_cast<char>(c);
    }
}

std::filesystem::path ShowScriptPath(const std::filesystem::path& base) {
    return base / std::filesystem::path(std::u8string(kShowFolder.begin(), kShowFolder.end())) /
           std::filesystem::path(std::u8string(kShowScriptName.begin(), kShowScriptName.end()));
}

std::filesystem::path ShowFilePath(const std::filesystem::path& base, const std::string& name, const char* ext) {
    const std::string file = name + ext;
    return base / std::filesystem::path(std::u8string(kShowFolder.begin(), kShowFolder.end())) /
           std::filesystem::path(std::u8string(file.begin(), file.end()));
}

bool LoadShowScript(const std::filesystem::path& base, ShowTables& tables) {
    std::ifstream in(ShowScriptPath(base), std::ios::binary);
    if (!in) return false;
    std::string text(kScriptReadLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    ParseShowScript(text, tables);
    return true;
}

ShowTables& ShowStageTables() {
    static auto* tables = new ShowTables();
    return *tables;
}

void ResetShowStageTables() { ShowStageTables().Empty(); }

}  // namespace fitting_room
