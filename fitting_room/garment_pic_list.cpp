#include "fitting_room/garment_pic_list.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <vector>

#include "fitting_room/sysproj_pictures.h"
#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fitting_room {

namespace fs = std::filesystem;
using project_editor::PartRecord;
using project_editor::ProjectFile;

namespace {

constexpr int kHeaderHeight = 20;
constexpr int kPageCellWidth = 90;
constexpr int kPageCellHeight = 112;
constexpr int kTabHeight = 68;
constexpr int kTabWidth = 26;
constexpr int kThumbBox = 66;       // thumbnails fit a 66 x 66 square
constexpr int kThumbBoxWidth = 86;  // centred across an 86-pixel-wide box

constexpr const char* kGarmentWords[kCategoryButtons] = {"上装", "下装", "包鞋类", "饰品", "套装"};
constexpr const char* kAccessoryWords[kCategoryButtons] = {"发型", "帽子等", "耳坠等", "动物等", "礼品等"};

fs::path Child(const fs::path& base, std::string_view a, std::string_view b = {}, std::string_view c = {}) {
    fs::path p = base / fs::path(std::string(a));
    if (!b.empty()) p /= fs::path(std::string(b));
    if (!c.empty()) p /= fs::path(std::string(c));
    return p;
}

// Names of pictures and voice files are file names inside their folder: one
// that is absolute or climbs out of the folder names no file of the project.
bool IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}

}  // namespace

int PickedItem::Slot() const { return project_editor::DepthToSlot(depth, project_editor::SlotRange::FromOne); }

CGarmentPicList::CGarmentPicList() : m_project(std::make_unique<ProjectFile>()) {
    for (auto& row : m_cellOrigins) row.fill(Point{60, 60});
}

CGarmentPicList::~CGarmentPicList() = default;

void CGarmentPicList::SetStyle(char style) {
    if (style == 'A' || style == 'B') m_style = style;
}

void CGarmentPicList::SetLayout(int mode, int scheme) {
    if (mode != m_layoutMode) {
        m_layoutMode = mode;
        m_layoutDone = 9;
        ApplyPageGeometry();
    }
    m_scheme = scheme;
}

Rect CGarmentPicList::SetClientRect(int l, int t, int r, int b) {
    m_clientRect = Rect{l, t, r, b};
    m_cellSize = 66;
    m_columns = (r - l - 6) / 66;
    if (m_columns < 2) {
        m_columns = 2;
        m_cellSize = std::max(1, (r - l - 6) / 2);
    }
    m_bottomLimit = b - 3;
    m_topMargin = 6;
    m_leftMargin = (r - m_cellSize * m_columns - l) / 2;
    m_layoutDone = 9;
    ApplyPageGeometry();
    return m_listRect;
}

void CGarmentPicList::ApplyPageGeometry() {
    const Rect& c = m_clientRect;
    m_pageColumns = std::clamp((c.right - c.left - 46) / kPageCellWidth, 2, kMaxPageCells);
    m_pageRows = std::clamp((c.bottom - c.top - 16) / kPageCellHeight, 0, kMaxPageCells);
    // Cell numbers of a page stay below 1000, so that hit codes never overlap.
    m_pageRows = std::min(m_pageRows, 999 / m_pageColumns);
    int top = c.top;
    int bottom = c.bottom;
    const int leftover = c.bottom - c.top - m_pageRows * kPageCellHeight - 6;
    if (leftover > 6) {
        top += leftover / 2;
        bottom = c.bottom - leftover / 2;
    }
    for (CategoryButton& b : m_buttons) b = CategoryButton{};
    for (auto& row : m_cellOrigins) row.fill(Point{60, 60});

    const int overflow = c.right - m_pageColumns * kPageCellWidth - c.left - 39;
    const int L = overflow > 0 ? c.right - m_pageColumns * kPageCellWidth - 39 : c.left;
    if (m_layoutMode == 1 || m_layoutMode == 2) {
        m_buttonCount = kCategoryButtons;
        for (int i = 0; i < kCategoryButtons; ++i) {
            CategoryButton& b = m_buttons[static_cast<std::size_t>(i)];
            b.letter = static_cast<char>('A' + i);
            b.pos = m_layoutMode == 1 ? Point{L + 3, top + 6 + kPageCellHeight * i}
                                      : Point{L + m_pageColumns * kPageCellWidth + 6, top + 6 + kTabHeight * i};
        }
        const int cellLeft = m_layoutMode == 1 ? L + 39 : L + 6;
        for (int i = 0; i < m_pageRows; ++i)
            for (int j = 0; j < m_pageColumns; ++j)
                m_cellOrigins[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                    Point{cellLeft + kPageCellWidth * j, top + 10 + kPageCellHeight * i};
        m_listRect = Rect{L, top, overflow < 0 ? c.right - overflow : c.right, bottom};
        // The buttons and their arrows stay clickable where a short list
        // rectangle ends above them.
        m_hitRect = m_listRect;
        for (int i = 0; i < kCategoryButtons; ++i) {
            const Point b = m_buttons[static_cast<std::size_t>(i)].pos;
            const int reach = m_layoutMode == 1 ? 105 : (i == kCategoryButtons - 1 ? 117 : kTabHeight);
            m_hitRect.right = std::max(m_hitRect.right, b.x + kTabWidth);
            m_hitRect.bottom = std::max(m_hitRect.bottom, b.y + reach);
        }
    } else {
        m_buttonCount = 0;
        m_listRect = c;
        m_hitRect = c;
    }
}

Point CGarmentPicList::cellOrigin(int row, int column) const {
    if (row < 0 || row >= kMaxPageCells || column < 0 || column >= kMaxPageCells) return Point{60, 60};
    return m_cellOrigins[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

// ---- loading ----

bool CGarmentPicList::LoadProject(const fs::path& file) {
    // Read into a scratch copy first: a refused file leaves the list as it was.
    auto fresh = std::make_unique<ProjectFile>();
    if (project_editor::LoadProjectFile(file, *fresh) != project_editor::ProjectFileError::None) return false;
    m_project = std::move(fresh);
    m_loadedFile = file;
    return true;
}

int CGarmentPicList::LoadBasicProject(std::string_view name) {
    if (!project_editor::IsUsableProjectName(name)) return 0;
    if (!LoadProject(project_editor::BasicProjectFilePath(m_baseDir, name))) return 0;
    m_pictureFolder = Child(m_baseDir, project_editor::kBasicProjectFolderName, name,
                            project_editor::kPictureSubfolderName);
    m_project->header.SetPictureFolder(m_pictureFolder.string());
    m_basicShown = std::string(name);
    Reloaded();
    return 1;
}

int CGarmentPicList::LoadWebProject() {
    m_folderFound = 0;
    if (!project_editor::IsUsableProjectName(m_projectName)) return 0;
    if (!LoadProject(project_editor::ProjectFilePath(m_baseDir, m_projectName))) return 0;
    const fs::path custom = Child(m_baseDir, project_editor::kCustomProjectFolderName, m_projectName,
                                  project_editor::kPictureSubfolderName);
    const fs::path plain = Child(m_baseDir, m_projectName, project_editor::kPictureSubfolderName);
    // A folder outside the base directory is not taken: the replace-garment
    // dialog writes into the picture folder.
    const fs::path stored = project_editor::ConfinedFolderPath(m_project->header.PictureFolder(), m_baseDir);
    if (IsFolder(stored)) {
        m_pictureFolder = stored;
    } else {
        m_pictureFolder = IsFolder(custom) ? custom : plain;
        m_project->header.SetPictureFolder(m_pictureFolder.string());
    }
    m_folderFound = IsFolder(m_pictureFolder) ? 1 : 0;
    m_basicShown.clear();
    Reloaded();
    return 1;
}

void CGarmentPicList::Reloaded() {
    // Page starts, the current category and the current item belong to one
    // load. The categories are rebuilt at once, laid out or not, so that they
    // never refer to the parts of the previous project.
    ClearCurrentItem();
    m_currentCategory = 0;
    m_firstRowCategory = 0;
    for (GarmentCategory& c : m_categories) c.pageStart = 0;
    Relayout();
}

void CGarmentPicList::ClearCurrentItem() {
    m_currentPart = -1;
    m_currentPicture.clear();
}

// ---- categories ----

void CGarmentPicList::Relayout() {
    BuildCategories();
    if (m_layoutDone == 9) StackCategories();
}

void CGarmentPicList::BuildCategories() {
    // A rebuild of the same project (a new rectangle) keeps the pages shown.
    std::array<int, kMaxCategories + 1> pageStarts{};
    for (std::size_t i = 0; i < m_categories.size(); ++i) pageStarts[i] = m_categories[i].pageStart;
    m_listedCount = 0;
    for (GarmentCategory& c : m_categories) c = GarmentCategory{};
    int current = -1;
    auto close = [&] {
        if (current < 0) return;
        GarmentCategory& c = m_categories[static_cast<std::size_t>(current)];
        c.rowsNeeded = c.columns > 0 && c.itemCount > 0 ? (c.itemCount - 1) / c.columns + 1 : 1;
    };
    const int n = m_project->PartCount();
    for (int i = 0; i < n; ++i) {
        const PartRecord& part = m_project->parts[static_cast<std::size_t>(i)];
        const char type = part.RowType();
        if (type == 'T') {
            close();
            if (current + 1 >= kMaxCategories) break;
            ++current;
            GarmentCategory& c = m_categories[static_cast<std::size_t>(current)];
            c.name = platform::CutToGbkBytes(part.Name(), kMaxCategoryNameBytes);
            c.columns = m_columns;
            c.firstPosition = m_listedCount;
        } else if (type == 'K') {
            continue;
        } else if (!part.PictureNameGbk().empty()) {
            m_items[static_cast<std::size_t>(m_listedCount++)] = i;
            // Items before the first category row are listed but belong to
            // no category.
            if (current >= 0) ++m_categories[static_cast<std::size_t>(current)].itemCount;
            if (m_listedCount >= kMaxListedItems) break;
        }
    }
    close();
    m_categoryCount = current + 1;
    if (m_style == 'A' && m_categoryCount > 1) {
        // The project's first category is shown last.
        std::rotate(m_categories.begin(), m_categories.begin() + 1, m_categories.begin() + m_categoryCount);
    }
    for (int i = 0; i < m_categoryCount; ++i) {
        GarmentCategory& c = m_categories[static_cast<std::size_t>(i)];
        c.pageStart = std::clamp(pageStarts[static_cast<std::size_t>(i)], 0, std::max(0, c.itemCount - 1));
    }
    if (m_currentPart >= m_project->PartCount()) ClearCurrentItem();
}

void CGarmentPicList::StackCategories() {
    // SetLayout marks the list laid out before any rectangle was given.
    if (m_columns < 1 || m_cellSize < 1) return;
    const int left = m_clientRect.left + m_leftMargin;
    const int width = m_columns * m_cellSize;
    int y = m_clientRect.top + m_topMargin;
    bool full = false;
    for (int i = 0; i < CategoryCount(); ++i) {
        GarmentCategory& c = m_categories[static_cast<std::size_t>(i)];
        c.columns = m_columns;
        c.rowsNeeded = c.itemCount > 0 ? (c.itemCount - 1) / m_columns + 1 : 1;
        c.rowsShown = 1;
        c.header = Rect{left, y, left + width, y + kHeaderHeight};
        c.items = Rect{left, c.header.bottom, left + width, c.header.bottom + m_cellSize};
        c.shown = ' ';
        if (full) continue;
        if (c.items.bottom < m_bottomLimit) {
            c.shown = 'Y';
            y = c.items.bottom;
            continue;
        }
        const int fit = (m_bottomLimit - c.items.top) / m_cellSize;
        if (fit >= 1) {
            c.rowsShown = fit;
            c.items.bottom = c.items.top + fit * m_cellSize;
            c.shown = 'Y';
        }
        full = true;
    }
}

// ---- the page plan ----

PlannedCategory CGarmentPicList::PlanCategory(int c, int rows, int columns, int originRow) const {
    PlannedCategory pc;
    pc.category = c;
    pc.rows = rows;
    pc.columns = columns;
    const GarmentCategory& cat = m_categories[static_cast<std::size_t>(c)];
    for (int k = 0; k < rows * columns && cat.pageStart + k < cat.itemCount; ++k) {
        PlannedCell cell;
        cell.cell = k;
        cell.origin = cellOrigin(originRow + k / columns, k % columns);
        cell.position = cat.firstPosition + cat.pageStart + k;
        cell.hit = Rect{cell.origin.x + 10, cell.origin.y + 10, cell.origin.x + 76, cell.origin.y + 76};
        pc.cells.push_back(cell);
    }
    pc.upLive = cat.pageStart > 0;
    pc.downLive = cat.pageStart + rows * columns < cat.itemCount;
    return pc;
}

int CGarmentPicList::RowCategoryCount() const { return std::min(CategoryCount(), kCategoryButtons); }

int CGarmentPicList::RowsShown() const { return std::min(RowCategoryCount(), m_pageRows); }

int CGarmentPicList::firstRowCategory() const {
    return std::clamp(m_firstRowCategory, 0, std::max(0, RowCategoryCount() - RowsShown()));
}

std::vector<PlannedCategory> CGarmentPicList::PagePlan() const {
    std::vector<PlannedCategory> plan;
    if (m_layoutMode == 1) {
        // One category per button row. A page with fewer rows than categories
        // shows a run of them: the up arrow of the top row and the down arrow
        // of the bottom row, once their own items end, move the run.
        const int shown = RowsShown();
        const int first = firstRowCategory();
        for (int r = 0; r < shown; ++r) {
            PlannedCategory pc = PlanCategory(first + r, 1, m_pageColumns, r);
            const Point b = m_buttons[static_cast<std::size_t>(r)].pos;
            pc.up = Rect{b.x, b.y + 2, b.x + 18, b.y + 18};
            pc.down = Rect{b.x, b.y + 89, b.x + 18, b.y + 105};
            if (r == 0 && first > 0) pc.upLive = true;
            if (r == shown - 1 && first + shown < RowCategoryCount()) pc.downLive = true;
            plan.push_back(std::move(pc));
        }
    } else if (m_layoutMode == 2 && CategoryCount() > 0) {
        const int c = std::clamp(m_currentCategory, 0, CategoryCount() - 1);
        PlannedCategory pc = PlanCategory(c, m_pageRows, m_pageColumns, 0);
        const Point b = m_buttons[kCategoryButtons - 1].pos;
        pc.up = Rect{b.x, b.y + 78, b.x + 18, b.y + 94};
        pc.down = Rect{b.x, b.y + 101, b.x + 18, b.y + 117};
        plan.push_back(std::move(pc));
    }
    return plan;
}

std::string CGarmentPicList::ButtonPicture(int i, bool current) const {
    const char* word = (m_style == 'B' ? kAccessoryWords : kGarmentWords)[i];
    const bool blue = m_scheme == kSchemeBlue;
    std::string prefix;
    if (m_layoutMode == 1) {
        prefix = blue ? "LEFTBLUEAR_" : "LEFTREDAR_";
    } else {
        prefix = blue ? "TOPAGEBLUE_" : "TOPAGERED_";
        prefix += current ? "YES" : "NO";
    }
    if (m_style == 'B') prefix = (m_layoutMode == 1 ? "A" : "B") + prefix;
    return prefix + word + ".png";
}

void CGarmentPicList::DrawOps(PaintOps& ops) const {
    const bool blue = m_scheme == kSchemeBlue;
    ops.push_back(
        PaintOp::Picture(SysprojPicture(m_baseDir, blue ? "图片列表背景BLUE.png" : "图片列表背景RED.png"), m_listRect));
    if (m_layoutMode != 1 && m_layoutMode != 2) return;
    // Layout 1 on a page shorter than the five rows: the buttons of the rows
    // there are, each showing the category of its row.
    const bool run = m_layoutMode == 1 && m_pageRows < kCategoryButtons;
    const int buttons = run ? std::min(m_buttonCount, m_pageRows) : m_buttonCount;
    const int first = run ? firstRowCategory() : 0;
    for (int i = 0; i < buttons && i < kCategoryButtons; ++i) {
        const int word = std::min(first + i, kCategoryButtons - 1);
        ops.push_back(PaintOp::Natural(SysprojPicture(m_baseDir, ButtonPicture(word, false)),
                                       m_buttons[static_cast<std::size_t>(i)].pos));
    }
    const fs::path frame = SysprojPicture(m_baseDir, blue ? kCellFrameBlue : kCellFrameRed);
    for (int r = 0; r < m_pageRows; ++r)
        for (int c = 0; c < m_pageColumns; ++c) ops.push_back(PaintOp::Natural(frame, cellOrigin(r, c)));

    for (const PlannedCategory& pc : PagePlan()) {
        for (const PlannedCell& cell : pc.cells) {
            const int part = m_items[static_cast<std::size_t>(cell.position)];
            const fs::path picture = PartPicture(part);
            const auto size = m_sizes ? m_sizes->SizeOf(picture) : std::nullopt;
            if (!size || size->w <= 0 || size->h <= 0) continue;
            const double s = ContainScale(kThumbBox, kThumbBox, size->w, size->h);
            const int w = static_cast<int>(size->w * s);
            const int h = static_cast<int>(size->h * s);
            ops.push_back(PaintOp::Picture(
                picture, Rect::FromSize(cell.origin.x + (kThumbBoxWidth - w) / 2,
                                        cell.origin.y + 10 + (kThumbBox - h) / 2, w, h)));
        }
        const auto icon = [&](const Rect& r, int id) {
            ops.push_back(PaintOp::Icon(id, Rect::FromSize(r.left + 2, r.top + 2, 16, 16)));
        };
        icon(pc.up, pc.upLive ? m_icons.upLive : m_icons.upDead);
        icon(pc.down, pc.downLive ? m_icons.downLive : m_icons.downDead);
    }
    if (m_layoutMode == 2 && CategoryCount() > 0) {
        const int c = std::clamp(m_currentCategory, 0, CategoryCount() - 1);
        if (c < kCategoryButtons)
            ops.push_back(PaintOp::Natural(SysprojPicture(m_baseDir, ButtonPicture(c, true)),
                                           m_buttons[static_cast<std::size_t>(c)].pos));
    }
}

// ---- hit testing and clicks ----

int CGarmentPicList::HitTestPlan(Point p, const std::vector<PlannedCategory>& plan, int* pickPosition) const {
    if (m_layoutMode == 2) {
        for (int i = 0; i < m_buttonCount && i < kCategoryButtons; ++i) {
            const Point b = m_buttons[static_cast<std::size_t>(i)].pos;
            if (Rect{b.x, b.y, b.x + kTabWidth, b.y + kTabHeight}.Contains(p)) return kHitTabBase + i;
        }
    }
    for (const PlannedCategory& pc : plan) {
        const bool mode1 = m_layoutMode == 1;
        if (pc.upLive && pc.up.Contains(p)) return mode1 ? pc.category * 100000 + kHitUpArrow : kHitPageUp;
        if (pc.downLive && pc.down.Contains(p)) return mode1 ? pc.category * 100000 + kHitDownArrow : kHitPageDown;
        for (const PlannedCell& cell : pc.cells) {
            if (!cell.hit.Contains(p)) continue;
            if (pickPosition) *pickPosition = cell.position;
            return ItemHitCode(pc.category, cell.cell);
        }
    }
    return kHitNothing;
}

int CGarmentPicList::HitTestItem(Point p) const {
    if (!m_hitRect.Contains(p)) return kHitNothing;
    return HitTestPlan(p, PagePlan(), nullptr);
}

int CGarmentPicList::HitTest(Point p, bool pick) {
    int position = -1;
    const int code = HitTestPlan(p, PagePlan(), &position);
    if (pick && position >= 0) SelectItem(position);
    return code;
}

void CGarmentPicList::Page(int c, bool down) {
    if (c < 0 || c >= CategoryCount()) return;
    const auto plan = PagePlan();
    const auto it = std::find_if(plan.begin(), plan.end(), [c](const PlannedCategory& pc) { return pc.category == c; });
    if (it == plan.end() || it->PageSize() <= 0) return;
    GarmentCategory& cat = m_categories[static_cast<std::size_t>(c)];
    if (down) {
        if (it->downLive) cat.pageStart += it->PageSize();
    } else {
        cat.pageStart = std::max(0, cat.pageStart - it->PageSize());
    }
}

int CGarmentPicList::OnClick(Point p) {
    if (!m_hitRect.Contains(p)) return kHitNothing;
    ClearCurrentItem();
    const int code = HitTest(p, true);
    if (code <= 90000) return code;
    if (m_layoutMode == 1) {
        const int c = code / 100000;
        const bool down = code % 100000 == kHitDownArrow;
        const int first = firstRowCategory();
        if (c >= 0 && c < CategoryCount()) {
            const GarmentCategory& cat = m_categories[static_cast<std::size_t>(c)];
            const bool ownPage = down ? cat.pageStart + m_pageColumns < cat.itemCount : cat.pageStart > 0;
            if (!ownPage && !down && c == first && first > 0)
                m_firstRowCategory = first - 1;
            else if (!ownPage && down && c == first + RowsShown() - 1 && c + 1 < RowCategoryCount())
                m_firstRowCategory = first + 1;
            else
                Page(c, down);
        }
    } else if (m_layoutMode == 2) {
        if (code >= kHitTabBase && code < kHitTabBase + kCategoryButtons) {
            if (CategoryCount() > 0) {
                m_currentCategory = std::clamp(code - kHitTabBase, 0, CategoryCount() - 1);
                m_categories[static_cast<std::size_t>(m_currentCategory)].pageStart = 0;
            }
        } else if (code == kHitPageUp || code == kHitPageDown) {
            Page(std::clamp(m_currentCategory, 0, std::max(0, CategoryCount() - 1)), code == kHitPageDown);
        }
    }
    return code;
}

// ---- items ----

fs::path CGarmentPicList::PartPicture(int part) const {
    if (part < 0 || part >= m_project->PartCount()) return {};
    const std::string name = m_project->parts[static_cast<std::size_t>(part)].PictureName();
    if (!IsPlainName(name)) return {};
    return m_pictureFolder / fs::path(name + ".png");
}

bool CGarmentPicList::FillPicked(int part, PickedItem* out) const {
    if (part < 0 || part >= m_project->PartCount()) return false;
    if (out) {
        const PartRecord& p = m_project->parts[static_cast<std::size_t>(part)];
        out->picture = PartPicture(part);
        out->scale = p.Scale();
        out->x = project_editor::ClampStagePosition(p.X());
        out->y = project_editor::ClampStagePosition(p.Y());
        out->depth = p.Depth();
    }
    return true;
}

void CGarmentPicList::SelectItem(int position) {
    if (position < 0 || position >= m_listedCount) return;
    const int part = m_items[static_cast<std::size_t>(position)];
    if (part < 0 || part >= m_project->PartCount()) return;
    const PartRecord& p = m_project->parts[static_cast<std::size_t>(part)];
    m_currentPart = part;
    m_currentPicture = PartPicture(part);
    m_currentName = p.Name();
    m_currentGoodsCode = p.GoodsCode();
    m_currentPictureName = p.PictureName();
    m_currentPrice = p.Price();
}

int CGarmentPicList::GetPickedItem(PickedItem* out) const {
    if (m_currentPart < 0) return 0;
    return FillPicked(m_currentPart, out) ? 1 : 0;
}

int CGarmentPicList::GetItemByIndex(int i, PickedItem* out) const {
    const int last = CategoryCount() - 1;
    if (last < 0 || i < 0) return 0;
    int pageSize = 0;
    for (const PlannedCategory& pc : PagePlan())
        if (pc.category == last) pageSize = pc.PageSize();
    if (pageSize == 0) pageSize = m_layoutMode == 2 ? m_pageRows * m_pageColumns : m_pageColumns;
    const GarmentCategory& c = m_categories[static_cast<std::size_t>(last)];
    if (i >= pageSize || c.pageStart + i >= c.itemCount) return 0;
    const int position = c.firstPosition + c.pageStart + i;
    if (position < 0 || position >= m_listedCount) return 0;
    return FillPicked(m_items[static_cast<std::size_t>(position)], out) ? 1 : 0;
}

int CGarmentPicList::GetCurrentItemFields(CurrentItemFields* out) const {
    if (m_currentPart < 0) return 0;
    if (out) {
        out->name = m_currentName;
        out->goodsCode = m_currentGoodsCode;
        out->pictureName = m_currentPictureName;
        out->price = m_currentPrice;
        out->webLink = m_project->parts[static_cast<std::size_t>(m_currentPart)].WebLink();
    }
    return 5;
}

int CGarmentPicList::GetItemShowFiles(ItemShowFiles* out) const {
    if (!out) return 0;
    *out = ItemShowFiles{};
    if (m_currentPart < 0 || m_currentPart >= m_project->PartCount()) return 0;
    const fs::path parent = m_pictureFolder.parent_path();
    const PartRecord& part = m_project->parts[static_cast<std::size_t>(m_currentPart)];
    const auto& face = m_project->faces[static_cast<std::size_t>(m_currentPart)];
    const char kind = face.FaceKind();
    const char* ext = kind == 'P' ? "png" : kind == 'G' ? "gif" : "jpg";
    const int count = face.FaceCount();
    for (int i = 0; i < count; ++i) {
        const std::string name = m_project->FaceString(m_currentPart, 1, i);
        if (!name.empty() && !IsPlainName(name)) {
            out->pictures.emplace_back();  // shows nothing, like a missing file
            continue;
        }
        out->pictures.push_back(parent / "展示及说明图片" / fs::path(name + "." + ext));
    }
    const std::string voice = part.VoiceText();
    if (IsPlainName(voice)) out->voice = parent / "音乐及语音" / fs::path(voice);
    out->webLink = part.WebLink();
    return count;
}

std::string CGarmentPicList::GetPoolText(int offset, int length) const {
    if (offset < 0 || offset >= project_editor::kPoolCapacity) return {};
    return m_project->PoolString(offset, length);
}

namespace {

// The project file's own bytes with the scale of one part rewritten and
// nothing else: the file keeps its stored folder, counters and every other
// byte. Nullopt (and why) when the file no longer reads as a project or no
// longer holds that part under the same picture.
std::optional<std::vector<std::uint8_t>> WithPartScale(const fs::path& file, const PartRecord& shown, int part,
                                                       float scale, std::string* error) {
    auto bytes = platform::ReadWholeFile(file);
    auto onDisk = std::make_unique<ProjectFile>();
    if (!bytes || project_editor::ReadProjectBytes(*bytes, *onDisk) != project_editor::ProjectFileError::None) {
        if (error) *error = "无法读取试衣项目文件 " + platform::UserPath(file);
        return std::nullopt;
    }
    if (part >= onDisk->PartCount() ||
        onDisk->parts[static_cast<std::size_t>(part)].PictureNameGbk() != shown.PictureNameGbk()) {
        if (error) *error = "试衣项目文件已被改动,请重新打开项目: " + platform::UserPath(file);
        return std::nullopt;
    }
    PartRecord& record = onDisk->parts[static_cast<std::size_t>(part)];
    record.SetScale(scale);
    const auto from = record.Bytes();
    std::copy(from.begin(), from.end(),
              bytes->begin() + static_cast<std::ptrdiff_t>(project_editor::kBlocksStart +
                                                           project_editor::kPartSize * static_cast<std::size_t>(part)));
    return bytes;
}

}  // namespace

int CGarmentPicList::ReplaceItemPicture(int mode, const fs::path& target, const fs::path& source, float scale,
                                        std::string* error) {
    if (mode != 100 || m_currentPart < 0) return 0;
    PartRecord& part = m_project->parts[static_cast<std::size_t>(m_currentPart)];
    // Everything that can refuse is checked before anything is written.
    std::optional<std::vector<std::uint8_t>> project;
    if (!m_loadedFile.empty()) {
        project = WithPartScale(m_loadedFile, part, m_currentPart, scale, error);
        if (!project) return 0;
    }
    std::error_code ec;
    if (!fs::equivalent(source, target, ec)) {
        const auto bytes = platform::ReadWholeFile(source);
        if (!bytes) {
            if (error) *error = "无法读取图片文件 " + platform::UserPath(source);
            return 0;
        }
        if (!platform::SaveFileAtomic(target, *bytes, error)) return 0;
    }
    part.SetScale(scale);
    if (!project) return 1;
    return platform::SaveFileAtomic(m_loadedFile, *project, error) ? 1 : 0;
}

}  // namespace fitting_room
