#include "project_editor/stage_editor.h"

#include <cmath>
#include <vector>

#include "project_editor/project_file.h"

namespace fs = std::filesystem;

namespace project_editor {

StageEditor::StageEditor(CProjectStore& store, StageSlotTable& slots, platform::PictureSizeSource& sizes)
    : m_store(store), m_slots(slots), m_sizes(sizes) {}

fs::path StageEditor::PictureFolder() const {
    return StoredFolderPath(m_store.Header().PictureFolder(), m_store.BaseDir());
}

fs::path StageEditor::ProjectFolder() const {
    const fs::path folder = PictureFolder();
    if (folder.empty()) return {};
    fs::path f = folder;
    if (!f.has_filename()) f = f.parent_path();
    return f.parent_path();
}

fs::path StageEditor::PartPicture(int part) const {
    if (part < 0 || part >= m_store.PartCount()) return {};
    const std::string name = m_store.Part(part).PictureName();
    const fs::path folder = PictureFolder();
    if (name.empty() || folder.empty()) return {};
    return folder / fs::path(name + ".png");
}

PlaceResult StageEditor::AddToStage() {
    const int n = m_store.PartCount();
    const int p = m_selected;
    if (p < 0 || p >= n) return PlaceResult::NoPart;
    const PartRecord& part = m_store.Part(p);
    const int s = DepthToSlot(part.Depth(), SlotRange::FromZero);
    StageSlot& slot = m_slots.Slot(s);
    if (m_auto && slot.Occupied(n) && slot.part == p) {
        slot.Empty();
        if (m_slots.Current() == s) m_slots.SetCurrent(kNoSlot);
        return PlaceResult::Removed;
    }
    int w = 40, h = 40;
    if (auto size = m_sizes.SizeOf(PartPicture(p)); size && size->w > 0 && size->h > 0) {
        w = size->w;
        h = size->h;
    }
    slot.pictureWidth = w;
    slot.pictureHeight = h;
    slot.part = p;
    const double scale = part.Scale();
    slot.scaledWidth = static_cast<int>(w * scale);
    slot.scaledHeight = static_cast<int>(h * scale);
    slot.x = part.X();
    slot.y = part.Y();
    slot.name = part.Name();
    slot.used = 'Y';
    slot.shown = 'Y';
    m_slots.SetCurrent(s);
    return PlaceResult::Placed;
}

StoreResult StageEditor::StorePlacement(std::string* error) {
    const int n = m_store.PartCount();
    StageSlot* slot = m_slots.CurrentOccupied(n);
    if (!slot) return StoreResult::NoSlot;
    PartRecord& part = m_store.Part(slot->part);
    if (part.RowType() == 'T') return StoreResult::CaptionRow;
    const double scale =
        slot->pictureWidth >= 1 ? static_cast<double>(slot->scaledWidth) / slot->pictureWidth : 1.0;
    part.SetScale(static_cast<float>(scale));
    part.SetX(slot->x);
    part.SetY(slot->y);
    part.SetDepth(m_slots.Current());
    m_store.AddModified();
    return m_store.Save(error) == SaveResult::Failed ? StoreResult::SaveFailed : StoreResult::Stored;
}

bool StageEditor::MoveLayer(bool back) {
    const int n = m_store.PartCount();
    StageSlot* slot = m_slots.CurrentOccupied(n);
    if (!slot) return false;
    PartRecord& part = m_store.Part(slot->part);
    if (part.RowType() == 'K') return false;
    // The slot is the layer the part shows in; a depth outside 0..99 sits in
    // slot 10 or 90 and moves from there.
    const int s = m_slots.Current();
    if (back ? s >= 98 : s < 2) return false;
    const int to = back ? s + 1 : s - 1;
    part.SetDepth(to);
    m_store.AddModified();
    m_slots.Slot(to) = *slot;
    m_slots.Slot(s).Empty();
    m_slots.SetCurrent(to);
    return true;
}

bool StageEditor::Shrink() {
    StageSlot* slot = m_slots.CurrentOccupied(m_store.PartCount());
    if (!slot) return false;
    const int w = static_cast<int>(slot->scaledWidth * 0.975);
    const int h = static_cast<int>(slot->scaledHeight * 0.975);
    if (w < 4 || h <= 3) return false;
    slot->scaledWidth = w;
    slot->scaledHeight = h;
    return true;
}

bool StageEditor::Grow(int stageWidth) {
    StageSlot* slot = m_slots.CurrentOccupied(m_store.PartCount());
    if (!slot) return false;
    const int w = static_cast<int>(slot->scaledWidth * 1.025);
    const int h = static_cast<int>(slot->scaledHeight * 1.025);
    const double limit = 2.5 * stageWidth;
    if (!(w >= 4 && h >= 4 && w < limit && h < limit)) return false;
    slot->scaledWidth = w;
    slot->scaledHeight = h;
    return true;
}

bool StageEditor::Wheel(bool up, int stageWidth) {
    StageSlot* slot = m_slots.CurrentOccupied(m_store.PartCount());
    if (!slot) return false;
    int w, h;
    if (up) {
        w = std::max(static_cast<int>(slot->scaledWidth * 1.15), slot->scaledWidth + 1);
        h = std::max(static_cast<int>(slot->scaledHeight * 1.15), slot->scaledHeight + 1);
        const double limit = 1.5 * stageWidth;
        if (!(w < limit && h < limit)) return false;
    } else {
        w = static_cast<int>(slot->scaledWidth * 0.85);
        h = static_cast<int>(slot->scaledHeight * 0.85);
        if (!(w > 3 && h > 3)) return false;
    }
    slot->scaledWidth = w;
    slot->scaledHeight = h;
    return true;
}

bool StageEditor::Nudge(int dx, int dy) {
    StageSlot* slot = m_slots.CurrentOccupied(m_store.PartCount());
    if (!slot) return false;
    slot->x += dx * m_step;
    slot->y += dy * m_step;
    return true;
}

int StageEditor::ApplyWholeScale(double factor) {
    int changed = 0;
    const int n = m_store.PartCount();
    for (int i = 0; i < n; ++i) {
        PartRecord& part = m_store.Part(i);
        if (part.RowType() == 'T' || part.RowType() == 'K') continue;
        part.SetScale(static_cast<float>(part.Scale() * factor));
        part.SetWidth(static_cast<std::int32_t>(part.Width() * factor));
        part.SetHeight(static_cast<std::int32_t>(part.Height() * factor));
        ++changed;
    }
    if (changed > 0) m_store.AddModified(changed);
    m_wholeScale = false;
    m_slots.EmptyAll();
    return changed;
}

bool StageEditor::SelectNext() {
    const int n = m_store.PartCount();
    std::vector<int> occupied;
    for (int s = 0; s < kStageSlotCount; ++s)
        if (m_slots.Occupied(s, n)) occupied.push_back(s);
    if (occupied.empty()) {
        m_slots.SetCurrent(kNoSlot);
        m_cycle = -1;
        return false;
    }
    ++m_cycle;
    if (m_cycle >= static_cast<int>(occupied.size()) || m_cycle < 0) m_cycle = 0;
    m_slots.SetCurrent(occupied[static_cast<std::size_t>(m_cycle)]);
    return true;
}

bool StageEditor::DeleteCurrent() {
    const int s = m_slots.Current();
    if (!StageSlotTable::ValidSlot(s)) return false;
    m_slots.Slot(s).Empty();
    m_slots.SetCurrent(kNoSlot);
    return true;
}

std::string StageEditor::LayerText() const {
    const int s = m_slots.Current();
    if (!m_slots.Occupied(s, m_store.PartCount())) return "--";
    return std::to_string(s);
}

std::optional<fs::path> StageEditor::VoiceFile() const {
    const int n = m_store.PartCount();
    const int s = m_slots.Current();
    if (!m_slots.Occupied(s, n)) return std::nullopt;
    const std::string text = m_store.Part(m_slots.Slot(s).part).VoiceText();
    if (!IsPlainFileName(text)) return std::nullopt;
    const fs::path project = ProjectFolder();
    if (project.empty()) return std::nullopt;
    return project / fs::path(std::string(kVoiceFolderName)) / fs::path(text);
}

std::optional<fs::path> StageEditor::NextFacePicture() {
    const int n = m_store.PartCount();
    const int s = m_slots.Current();
    if (!m_slots.Occupied(s, n)) return std::nullopt;
    const int part = m_slots.Slot(s).part;
    const FaceRecord& face = m_store.Face(part);
    const char digit = face.FaceCountLetter();
    if (digit < '1') return std::nullopt;
    const int count = digit > '9' ? 9 : digit - '0';
    const char kind = face.FaceKind();
    const char* ext = kind == 'P' ? "png" : kind == 'G' ? "gif" : "jpg";
    ++m_faceCounter;
    if (m_faceCounter > count) m_faceCounter = 0;
    if (m_faceCounter == 0) return fs::path{};
    const std::string name = m_store.GetFaceString(part, 1, m_faceCounter - 1);
    if (!IsPlainFileName(name)) return fs::path{};
    return ProjectFolder() / fs::path(std::string(kFacePictureFolderName)) / fs::path(name + "." + ext);
}

std::optional<fs::path> StageEditor::CompositionPath(const std::string& name, const std::string& type) const {
    if (!IsPlainFileName(name)) return std::nullopt;
    return m_store.BaseDir() / fs::path(std::string(kCompositionFolderName)) / fs::path(name + "." + type);
}

void StageEditor::ProjectChanged() {
    m_slots.EmptyAll();
    m_cycle = -1;
    m_faceCounter = 0;
    if (m_selected >= m_store.PartCount()) m_selected = -1;
}

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c == '/' || c == '\\' || c == ':' || c < 0x20) return false;
    return true;
}

}  // namespace project_editor
