#include "fitting_room/fitting_model.h"

#include <algorithm>
#include <cmath>

#include "fitting_room/sysproj_pictures.h"
#include "project_editor/project_file.h"

namespace fitting_room {

namespace fs = std::filesystem;

namespace {

// Scaled sizes beyond this are not pictures anyone places on a stage; the
// bound keeps a broken scale in a project from overflowing.
constexpr int kMaxScaledSide = 20000;
constexpr std::int64_t kMaxPan = 1'000'000;

int ScaledSide(int natural, double scale) {
    const double v = natural * scale;
    if (!(v > 0)) return 0;
    return static_cast<int>(std::min(v, static_cast<double>(kMaxScaledSide)));
}

// The item takes the picture's natural size and its size at the scale given
// (1.0 for a scale that is not a positive number).
void FitToPicture(StageItem& it, const std::optional<platform::PicSize>& size, float scale) {
    const double s = std::isfinite(scale) && scale > 0 ? scale : 1.0;
    it.naturalWidth = size ? size->w : 0;
    it.naturalHeight = size ? size->h : 0;
    it.width = ScaledSide(it.naturalWidth, s);
    it.height = ScaledSide(it.naturalHeight, s);
}

fs::path BackgroundFile(const fs::path& base, const std::string& name) {
    return base / fs::path(std::string(kBackgroundFolder)) / fs::path(name + ".jpg");
}

}  // namespace

CFittingModel::CFittingModel() {
    ResetRightList();
    ResetLeftList();
    ResetAll();
}

void CFittingModel::SetDataDir(const fs::path& base) {
    m_baseDir = base;
    m_background = BackgroundFile(base, "试衣间背景图");
    m_platformBackground = BackgroundFile(base, "试衣平台背景");
}

void CFittingModel::SetBackground(const std::string& name) {
    m_backgroundName = name;
    m_background = BackgroundFile(m_baseDir, name);
}

void CFittingModel::SetPlatformBackground(const std::string& name) {
    m_platformBackground = BackgroundFile(m_baseDir, name);
}

fs::path CFittingModel::TransparentBackgroundPath() const {
    return BackgroundFile(m_baseDir, std::string(kTransparentBackground));
}

void CFittingModel::SetPhotoPicture(const fs::path& path) {
    m_photo = path;
    m_photoLetter = ' ';
    const auto size = m_sizes ? m_sizes->SizeOf(path) : std::nullopt;
    m_photoRect = size ? Rect::FromSize(20, 20, size->w, size->h) : Rect{20, 20, 20, 20};
}

void CFittingModel::SetPhotoRect(const Rect& r, char letter) {
    m_photoRect = r;
    m_photoLetter = letter;
}

const fs::path& CFittingModel::GetPhotoPicture(Rect* rect, char* letter) const {
    if (rect) *rect = m_photoRect;
    if (letter) *letter = m_photoLetter;
    return m_photo;
}

const StageItem& CFittingModel::item(char list, int slot) const {
    return ListOf(list).at(static_cast<std::size_t>(slot));
}

// ---- showing items ----

int CFittingModel::ShowItem(List& list, char letter, const fs::path& picture, float scale, int x, int y, int slot) {
    if (slot <= 0 || slot >= kSlotsInUse) return 0;
    StageItem& it = list[static_cast<std::size_t>(slot)];
    if (it.Shown() && it.picture == picture) {
        // A second click on an item takes it off.
        it.inUse = ' ';
        it.shows = ' ';
        return 1;
    }
    it.picture = picture;
    it.inUse = 'Y';
    it.shows = 'Y';
    FitToPicture(it, m_sizes ? m_sizes->SizeOf(picture) : std::nullopt, scale);
    it.x = project_editor::ClampStagePosition(x);
    it.y = project_editor::ClampStagePosition(y);
    m_currentSlot = slot;
    SelectionOf(letter) = slot;
    m_currentList = letter;
    return 1;
}

int CFittingModel::ShowRightItem(const fs::path& picture, float scale, int x, int y, int slot) {
    return ShowItem(m_right, 'R', picture, scale, x, y, slot);
}

int CFittingModel::RefitRightPicture(const fs::path& picture, float scale) {
    const auto size = m_sizes ? m_sizes->SizeOf(picture) : std::nullopt;
    int changed = 0;
    for (int slot = 1; slot < kSlotsInUse; ++slot) {
        StageItem& it = m_right[static_cast<std::size_t>(slot)];
        if (!it.Shown() || it.picture != picture) continue;
        FitToPicture(it, size, scale);
        ++changed;
    }
    return changed;
}

int CFittingModel::ShowLeftItem(const fs::path& picture, float scale, int x, int y, int slot) {
    return ShowItem(m_left, 'L', picture, scale, x, y, slot);
}

Rect CFittingModel::ItemRect(const StageItem& it, int dx, int dy) const {
    return FitItemBox(dx + it.x, dy + it.y, it.width, it.height, it.naturalWidth, it.naturalHeight);
}

Rect CFittingModel::DrawnRect(char list, int slot) const {
    if (slot <= 0 || slot >= kSlotsInUse) return {};
    const StageItem& it = ListOf(list)[static_cast<std::size_t>(slot)];
    if (!it.Drawable()) return {};
    return ItemRect(it, m_stage.left - m_panX, m_stage.top - m_panY);
}

int CFittingModel::HitTest(Point p) {
    // Front to back, as the user sees them: slot 1 first, and in a slot the
    // 'R' item that is drawn over the 'L' item.
    for (int slot = 1; slot < kSlotsInUse; ++slot) {
        for (char letter : {'R', 'L'}) {
            if (!DrawnRect(letter, slot).Contains(p)) continue;
            if (slot == m_currentSlot && letter == m_currentList) {
                // No new pick, but the pressed item is what a drag moves,
                // even after SelectNext chose another one.
                SelectionOf(letter) = slot;
                return 0;
            }
            m_currentSlot = slot;
            m_currentList = letter;
            SelectionOf(letter) = slot;
            return 1;
        }
    }
    return 0;
}

fs::path CFittingModel::SelectNext(int command) {
    const char letter = command == kSelectNextLeft ? 'L' : 'R';
    m_currentList = letter;
    const List& list = ListOf(letter);
    int& sel = SelectionOf(letter);
    const int from = sel >= 1 && sel < kSlotsInUse ? sel - 1 : kSlotsInUse - 1;
    int found = -1;
    for (int s = from; s >= 1 && found < 0; --s)
        if (list[static_cast<std::size_t>(s)].Drawable()) found = s;
    for (int s = kSlotsInUse - 1; s >= 1 && found < 0; --s)
        if (list[static_cast<std::size_t>(s)].Drawable()) found = s;
    if (found < 0) return {};
    sel = found;
    return list[static_cast<std::size_t>(found)].picture;
}

StageItem* CFittingModel::Selected() {
    const int sel = SelectionOf(m_currentList);
    if (sel < 1 || sel >= kSlotsInUse) return nullptr;
    StageItem& it = ListOf(m_currentList)[static_cast<std::size_t>(sel)];
    if (it.inUse != 'Y' || !it.Shown()) return nullptr;
    return &it;
}

void CFittingModel::Clamp(StageItem& it) const {
    if (it.x < -90) it.x = 0;
    if (it.x >= m_stage.right) it.x = m_stage.right;
    if (it.y < -90) it.y = -90;
    if (it.y >= m_stage.bottom) it.y = m_stage.bottom;
}

int CFittingModel::MoveSelectedTo(int x, int y) {
    StageItem* it = Selected();
    if (!it) return 0;
    m_currentSlot = SelectionOf(m_currentList);
    // The fitted picture lies centred in a square of its longer side; the
    // square's centre goes to the point.
    const int side = std::max(it->width, it->height);
    it->x = x + m_panX - side / 2;
    it->y = y + m_panY - side / 2;
    Clamp(*it);
    return 1;
}

int CFittingModel::MoveSelectedBy(int dx, int dy) {
    StageItem* it = Selected();
    if (!it) return 0;
    m_currentSlot = SelectionOf(m_currentList);
    it->x += dx;
    it->y += dy;
    Clamp(*it);
    return 1;
}

void CFittingModel::OffsetAll(int dx, int dy) {
    // Bounded like the positions, so that drawing never overflows.
    const auto pan = [](int v, int d) {
        return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{v} + d, -kMaxPan, kMaxPan));
    };
    m_panX = pan(m_panX, dx);
    m_panY = pan(m_panY, dy);
}

int CFittingModel::ChangeLayer(int command) {
    if (command != kLayerDeeper && command != kLayerNearer) return 0;
    if (!Selected()) return 0;
    List& list = ListOf(m_currentList);
    int& sel = SelectionOf(m_currentList);
    const int c = sel;
    const bool deeper = command == kLayerDeeper;
    if (!deeper && c < 2) return 0;
    // Past the next shown item to the first empty slot behind (or before) it;
    // with no shown item on the way, the first empty slot.
    int target = -1;
    int firstEmpty = -1;
    bool seenShown = false;
    for (int s = deeper ? c + 1 : c - 1; deeper ? s < kSlotsInUse : s >= 1; s += deeper ? 1 : -1) {
        if (list[static_cast<std::size_t>(s)].Shown()) {
            seenShown = true;
        } else if (seenShown) {
            target = s;
            break;
        } else if (firstEmpty < 0) {
            firstEmpty = s;
        }
    }
    if (target < 0) target = firstEmpty;
    if (target < 1) return 0;
    list[static_cast<std::size_t>(target)] = list[static_cast<std::size_t>(c)];
    list[static_cast<std::size_t>(c)].inUse = ' ';
    list[static_cast<std::size_t>(c)].shows = ' ';
    sel = target;
    m_currentSlot = target;
    return 1;
}

int CFittingModel::RemoveSelected() {
    StageItem* it = Selected();
    if (!it) return 0;
    it->inUse = ' ';
    it->shows = ' ';
    return 1;
}

int CFittingModel::ScaleSelected(int direction, int stepKind) {
    StageItem* it = Selected();
    if (!it) return 0;
    double factor = 1.0;
    if (stepKind == 0) {
        factor = direction > 0 ? 1.025 : direction < 0 ? 0.975 : 1.0;
    } else if (stepKind == 2) {
        factor = direction > 0 ? 1.0125 : direction < 0 ? 0.983 : 1.0;
    } else {
        return 0;
    }
    const int w = static_cast<int>(factor * it->width);
    const int h = static_cast<int>(factor * it->height);
    const int stageWidth = m_stage.width();
    if (w <= 3 || h <= 3 || w >= stageWidth || h >= stageWidth) return 0;
    it->width = w;
    it->height = h;
    return 1;
}

void CFittingModel::StoreGroup(int withPhoto) {
    if (m_groupCount > kMaxGroups - 1) return;
    StageGroup& g = m_groups[static_cast<std::size_t>(m_groupCount)];
    g = StageGroup{};
    g.first = m_storedCount;
    int stored = 0;
    for (int slot = kSlotsInUse - 1; slot >= 0 && m_storedCount < kMaxStoredItems; --slot) {
        for (List* list : {&m_left, &m_right}) {
            if (m_storedCount >= kMaxStoredItems) break;
            StageItem& it = (*list)[static_cast<std::size_t>(slot)];
            if (!it.Shown()) continue;
            StageItem& copy = m_stored[static_cast<std::size_t>(m_storedCount++)];
            copy = it;
            copy.x = m_stage.left + it.x - m_panX;
            copy.y = m_stage.top + it.y - m_panY;
            it.shows = ' ';
            ++stored;
        }
    }
    if (stored > 0) {
        g.count = stored;
        if (withPhoto == 1 && m_photo.native().size() > 2) {
            g.photoRect = m_photoRect;
            g.flag = 'Y';
            g.photo = m_photo;
        }
        ++m_groupCount;
    } else {
        g = StageGroup{};
    }
    m_panX = 0;
    m_panY = 0;
}

void CFittingModel::ResetRightList() { m_right.fill(StageItem{}); }
void CFittingModel::ResetLeftList() { m_left.fill(StageItem{}); }

void CFittingModel::ResetAll() {
    m_stored.fill(StageItem{});
    m_groups.fill(StageGroup{});
    m_groupCount = 0;
    m_storedCount = 0;
    m_panX = 0;
    m_panY = 0;
}

// ---- drawing ----

void CFittingModel::DrawOps(PaintOps& ops) const {
    const auto draw = [&ops](const StageItem& it, const Rect& r) {
        if (it.picture.native().size() > 1 && !r.empty()) ops.push_back(PaintOp::Picture(it.picture, r));
    };
    for (int g = 0; g < m_groupCount; ++g) {
        const StageGroup& group = m_groups[static_cast<std::size_t>(g)];
        if (group.flag == 'Y') {
            const auto size = m_sizes ? m_sizes->SizeOf(group.photo) : std::nullopt;
            if (size && !group.photoRect.empty()) {
                const double s = CoverScale(group.photoRect.width(), group.photoRect.height(), size->w, size->h);
                ops.push_back(PaintOp::Picture(
                    group.photo, ScaledAt(group.photoRect.left, group.photoRect.top, size->w, size->h, s)));
            }
        }
        for (int i = group.first; i >= 0 && i < group.first + group.count && i < m_storedCount; ++i) {
            const StageItem& it = m_stored[static_cast<std::size_t>(i)];
            draw(it, ItemRect(it, 0, 0));
        }
    }
    for (int slot = kSlotsInUse - 1; slot >= 1; --slot) {
        for (char letter : {'L', 'R'}) {
            const StageItem& it = ListOf(letter)[static_cast<std::size_t>(slot)];
            if (it.Shown()) draw(it, DrawnRect(letter, slot));
        }
    }
}

// ---- strings and snapshots ----

void CFittingModel::SetStringList(const fs::path& voice, const std::vector<fs::path>& pictures,
                                  const std::string& webLink) {
    m_voice = voice;
    m_webLink = webLink;
    const std::size_t n = std::min<std::size_t>(pictures.size(), kMaxShowStrings);
    m_strings.assign(pictures.begin(), pictures.begin() + static_cast<std::ptrdiff_t>(n));
}

fs::path CFittingModel::GetListString(int i) const {
    if (i < 0 || i >= GetListCount()) return {};
    return m_strings[static_cast<std::size_t>(i)];
}

void CFittingModel::SetSavePath(const fs::path& path, char format) {
    m_savePath = path;
    m_saveFormat = format;
}

const fs::path& CFittingModel::GetSavePath(char* format) const {
    if (format) *format = m_saveFormat;
    return m_savePath;
}

}  // namespace fitting_room
