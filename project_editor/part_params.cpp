#include "project_editor/part_params.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/files.h"
#include "platform/text.h"
#include "project_editor/project_dialogs.h"

namespace fs = std::filesystem;

namespace project_editor {

bool IsSystemFileTitle(std::string_view title) {
    return std::any_of(std::begin(kSystemFileTitles), std::end(kSystemFileTitles),
                       [&](const char* t) { return title == t; });
}

std::string CutToGbkBytes(std::string_view utf8, std::size_t limit) {
    const std::string gbk = platform::Utf8ToGbkLossy(utf8);
    return platform::GbkToUtf8(std::string_view(gbk).substr(0, platform::GbkCutLength(gbk, limit)));
}

int LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) v = std::min<long long>(v * 10 + (text[i] - '0'), INT_MAX + 1LL);
    if (negative) v = -v;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int ClampedDepth(std::string_view text) {
    const int d = LeadingNumber(text);
    return d <= 0 ? 1 : d >= 100 ? 99 : d;
}

bool PartParams::SetPartIndex(int part) {
    m_part = part >= 0 && part < m_store.PartCount() ? part : -1;
    m_depthAtOpening = -1;
    return m_part >= 0;
}

PartParamTexts PartParams::Init() {
    PartParamTexts t;
    if (!valid()) return t;
    PartRecord& p = m_store.Part(m_part);
    const FaceRecord& f = m_store.Face(m_part);
    const char kind = f.FaceKind();
    t.type = kind == 'G' ? "GIF" : kind == 'P' ? "PNG" : "JPG";
    t.showCount = std::to_string(f.FaceCount());
    const int depth = std::clamp(p.Depth(), 1, 99);
    m_depthAtOpening = depth;
    t.depth = std::to_string(depth);
    // The record keeps the texts as the dialog will save them.
    p.SetName(CutToGbkBytes(p.Name(), kNameLimit));
    p.SetGoodsCode(CutToGbkBytes(p.GoodsCode(), kGoodsCodeLimit));
    p.SetVoiceText(CutToGbkBytes(p.VoiceText(), kVoiceLimit));
    p.SetWebLink(CutToGbkBytes(p.WebLink(), kWebLinkLimit));
    p.SetPrice(CutToGbkBytes(p.Price(), kPriceLimit));
    t.name = p.Name();
    t.goodsCode = p.GoodsCode();
    t.voice = p.VoiceText();
    t.webLink = p.WebLink();
    t.price = p.Price();
    char scale[32];
    std::snprintf(scale, sizeof scale, "%-8.4f", static_cast<double>(p.Scale()));
    t.scale = scale;
    return t;
}

SaveResult PartParams::Save(const PartParamTexts& t, std::string_view scaleChoice, std::string* error) {
    if (!valid()) return SaveResult::NoProject;
    PartRecord& p = m_store.Part(m_part);
    FaceRecord& f = m_store.Face(m_part);
    if (!t.type.empty()) f.SetFaceKind(t.type[0]);
    if (!t.showCount.empty()) f.SetFaceCountLetter(t.showCount[0]);
    p.SetName(CutToGbkBytes(t.name, kNameLimit));
    p.SetGoodsCode(CutToGbkBytes(t.goodsCode, kGoodsCodeLimit));
    p.SetVoiceText(CutToGbkBytes(t.voice, kVoiceLimit));
    p.SetWebLink(CutToGbkBytes(t.webLink, kWebLinkLimit));
    p.SetPrice(CutToGbkBytes(t.price, kPriceLimit));
    const int depth = ClampedDepth(t.depth);
    if (depth != m_depthAtOpening && m_depthAtOpening > 0) {
        StageSlot& old = m_slots.Slot(DepthToSlot(m_depthAtOpening, SlotRange::FromZero));
        if (old.part == m_part) {
            old.Empty();
            const int s = DepthToSlot(m_depthAtOpening, SlotRange::FromZero);
            if (m_slots.Current() == s) m_slots.SetCurrent(kNoSlot);
        }
    }
    p.SetDepth(depth);
    if (scaleChoice == kScaleChoices[0]) p.SetScale(1.0f);
    m_store.AddModified();
    const SaveResult r = m_store.Save(error);
    if (r == SaveResult::Saved) m_depthAtOpening = depth;
    return r;
}

void PartParams::SetShowCount(char digit) {
    if (!valid()) return;
    m_store.Face(m_part).SetFaceCountLetter(digit);
    m_store.AddModified();
}

int PartParams::SetAllScales() {
    int n = 0;
    for (int i = 0; i < m_store.PartCount(); ++i) {
        PartRecord& p = m_store.Part(i);
        if (p.RowType() == 'T' || p.RowType() == 'K') continue;
        p.SetScale(1.0f);
        ++n;
    }
    if (n > 0) m_store.AddModified();
    return n;
}

DeleteResult PartParams::Delete(std::vector<int>& moves, std::string* error) {
    moves.clear();
    if (!valid()) return DeleteResult::NoPart;
    const int n = m_store.PartCount();
    const int m = m_store.FaceCount();
    ProjectFile& file = m_store.Project();
    for (int i = m_part; i + 1 < n; ++i) {
        file.parts[static_cast<std::size_t>(i)] = file.parts[static_cast<std::size_t>(i + 1)];
        file.faces[static_cast<std::size_t>(i)] = file.faces[static_cast<std::size_t>(i + 1)];
    }
    file.parts[static_cast<std::size_t>(n - 1)].Reset();
    file.faces[static_cast<std::size_t>(n - 1)].Reset();
    moves.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) moves[static_cast<std::size_t>(i)] = i < m_part ? i : i == m_part ? -1 : i - 1;
    m_store.SetPartCount(n - 1);
    if (m > n - 1) file.SetFaceCount(n - 1);
    int selected = -1;
    ApplyRecordMoves(moves, m_slots, selected);
    m_part = -1;
    m_store.AddModified();
    return m_store.Save(error) == SaveResult::Failed ? DeleteResult::SaveFailed : DeleteResult::Deleted;
}

ListPickResult PartParams::ApplyListPick(int kind, int face, std::string_view text) {
    if (!valid() || text.empty() || kind < 1 || kind > 4) return ListPickResult::Ignored;
    FaceRecord& f = m_store.Face(m_part);
    if (face < 0 || face >= f.FaceCount()) return ListPickResult::Ignored;
    if ((kind == 2 && f.PictureControlLetter() != '1') || (kind == 4 && f.SoundControlLetter() != '1')) face = 0;
    std::int32_t offset = f.StringOffset(kind, face);
    std::int32_t length = f.StringLength(kind, face);
    const std::string gbk = platform::Utf8ToGbkLossy(text);
    const auto wanted = static_cast<std::int32_t>(platform::GbkCutLength(gbk, kMaxAddStringBytes));
    std::int32_t newOffset = offset < 0 || length < wanted ? -1 : offset;
    std::int32_t newLength = length;
    if (m_store.AddString(newOffset, newLength, text) == AddStringResult::PoolFull) return ListPickResult::PoolFull;
    f.SetString(kind, face, newOffset, static_cast<std::uint8_t>(newLength));
    m_store.AddModified();
    return ListPickResult::Applied;
}

void PartParams::SetFacePictureSize(int width, int height) {
    if (!valid() || width <= 0 || height <= 0) return;
    m_store.Part(m_part).SetFacePictureSize(std::to_string(width) + "," + std::to_string(height));
    m_store.AddModified();
}

std::vector<std::string> ListVoiceFiles(const fs::path& soundFolder) {
    std::vector<std::string> names;
    for (const fs::path& p : platform::ListFiles(soundFolder, "*")) {
        if (names.size() >= kMaxListedNames) break;
        const std::string name = p.filename().string();
        const auto dot = name.rfind('.');
        if (IsSystemFileTitle(dot == std::string::npos ? name : name.substr(0, dot))) continue;
        names.push_back(name);
    }
    return names;
}

std::string VoiceExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot + 1 >= name.size()) return "mp3";
    return std::string(name.substr(dot + 1, 3));
}

int MediaFaceCount(const CProjectStore& store, int part) {
    if (part < 0 || part >= store.PartCount()) return 0;
    return std::clamp(store.Project().faces[static_cast<std::size_t>(part)].FaceCount(), 0, kMaxFacesShown);
}

std::string MediaCellText(const CProjectStore& store, int part, int column, int row) {
    if (part < 0 || part >= store.PartCount() || row < 0 || row >= MediaFaceCount(store, part)) return {};
    const FaceRecord& f = store.Project().faces[static_cast<std::size_t>(part)];
    switch (column) {
        case 1: return store.GetFaceString(part, 1, row);
        case 2:
            if (f.PictureControlLetter() == '1') return store.GetFaceString(part, 2, row);
            return row == 0 ? store.GetFaceString(part, 2, 0) : std::string();
        case 3: return store.GetFaceString(part, 3, row);
        case 4:
            if (f.SoundControlLetter() == '1') return store.GetFaceString(part, 4, row);
            if (f.SoundControlLetter() == '3') return row == 0 ? store.GetFaceString(part, 4, 0) : std::string();
            return "------";
        default: return {};
    }
}

bool SeedFaceName(CProjectStore& store, int part) {
    if (part < 0 || part >= store.PartCount() || MediaFaceCount(store, part) <= 0) return false;
    FaceRecord& f = store.Face(part);
    if (f.StringOffset(1, 0) >= 0) return false;
    const std::string face = store.Part(part).FaceName();
    if (face.empty()) return false;
    std::int32_t offset = -1, length = 0;
    if (store.AddString(offset, length, face) == AddStringResult::PoolFull) return false;
    f.SetString(1, 0, offset, static_cast<std::uint8_t>(length));
    store.AddModified();
    return true;
}

}  // namespace project_editor
