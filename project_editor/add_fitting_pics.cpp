#include "project_editor/add_fitting_pics.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>
#include <system_error>

#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/text.h"
#include "project_editor/stage_editor.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

constexpr std::string_view kNeverListed = "kzvphoto";
constexpr int kNameFieldBytes = 65;  // 66-byte fields, NUL last

fs::path PngOf(const fs::path& folder, const std::string& title) { return folder / fs::path(title + ".png"); }

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

// Moves records [from, n) of parts and faces by `by` (either way).
void ShiftRecords(ProjectFile& p, int from, int n, int by) {
    if (by > 0) {
        for (int i = n - 1; i >= from; --i) {
            p.parts[static_cast<std::size_t>(i + by)] = p.parts[static_cast<std::size_t>(i)];
            p.faces[static_cast<std::size_t>(i + by)] = p.faces[static_cast<std::size_t>(i)];
        }
    } else if (by < 0) {
        for (int i = from; i < n; ++i) {
            p.parts[static_cast<std::size_t>(i + by)] = p.parts[static_cast<std::size_t>(i)];
            p.faces[static_cast<std::size_t>(i + by)] = p.faces[static_cast<std::size_t>(i)];
        }
    }
}

void NewFace(FaceRecord& f) {
    f.Reset();
    f.SetPictureControlLetter('0');
    f.SetSoundControlLetter('0');
    f.SetFaceCountLetter('0');
    f.SetFaceKind('J');
    f.SetMark('\0');
}

}  // namespace

// The picture is read whole and written through the one save, so that a
// copy refused half-way leaves the old picture as it was.
bool PictureFileOps::Copy(const fs::path& from, const fs::path& to, std::string& why) {
    return platform::SaveCopyOfFile(from, to, &why);
}

bool PictureFileOps::Remove(const fs::path& file, std::string& why) {
    std::error_code ec;
    const bool gone = fs::remove(file, ec);
    if (ec) why = platform::ErrorReason(ec);
    else if (!gone) why = platform::ErrorReason(ENOENT);
    return gone;
}

std::string AddPicturesReport::Problems() const {
    std::string text;
    auto list = [&](const char* head, const std::vector<std::string>& items) {
        if (items.empty()) return;
        if (!text.empty()) text += "\n";
        text += head;
        for (const auto& s : items) text += "\n  " + s;
    };
    if (!refusal.empty()) text = refusal;
    list("以下图片的文件名不能用作部件名, 没有添加:", skipped);
    list("以下图片复制失败, 没有添加:", failedCopies);
    list("以下图片文件删除失败:", failedDeletes);
    if (!saveError.empty()) text += (text.empty() ? "" : "\n") + saveError;
    return text;
}

bool IsUsablePictureTitle(const std::string& title) {
    if (!IsPlainFileName(title) || title == kNeverListed) return false;
    const auto gbk = platform::Utf8ToGbk(title);
    return gbk && !gbk->empty() && static_cast<int>(gbk->size()) <= kNameFieldBytes &&
           gbk->find('\0') == std::string::npos;
}

int RenumberedPart(const std::vector<int>& moves, int part) {
    if (moves.empty()) return part;
    return part >= 0 && part < static_cast<int>(moves.size()) ? moves[static_cast<std::size_t>(part)] : -1;
}

void ApplyRecordMoves(const std::vector<int>& moves, StageSlotTable& slots, int& selectedPart) {
    if (moves.empty()) return;
    auto renumber = [&](int part) { return RenumberedPart(moves, part); };
    for (int s = 0; s < kStageSlotCount; ++s) {
        StageSlot& slot = slots.Slot(s);
        if (slot.used != 'Y') continue;
        const int to = renumber(slot.part);
        if (to < 0) {
            slot.Empty();
            if (slots.Current() == s) slots.SetCurrent(kNoSlot);
        } else {
            slot.part = to;
        }
    }
    selectedPart = renumber(selectedPart);
}

AddFittingPics::AddFittingPics(CProjectStore& store, platform::PictureSizeSource& sizes, PictureFileOps& files)
    : m_store(store), m_sizes(sizes), m_files(files) {}

void AddFittingPics::Start(AddPicturesMode mode, int part) {
    m_mode = mode;
    m_part = part;
    m_source = PictureFolder();
    m_first = 0;
    List();
}

bool AddFittingPics::HasReference() const {
    return m_part >= 1 && m_part <= 159 && m_part < m_store.PartCount() && m_store.Part(m_part).RowType() != 'T';
}

std::string AddFittingPics::ReferenceText() const {
    return "替换参照:" + (HasReference() ? m_store.Part(m_part).PictureName() : std::string());
}

fs::path AddFittingPics::PictureFolder() const {
    return ConfinedFolderPath(m_store.Header().PictureFolder(), m_store.BaseDir());
}

void AddFittingPics::SetSourceFolder(const fs::path& folder) {
    m_source = folder;
    m_first = 0;
    List();
}

void AddFittingPics::SetHideAdded(bool on) {
    m_hideAdded = on;
    m_first = 0;
    List();
}

void AddFittingPics::List() {
    m_entries.clear();
    if (m_source.empty()) return;
    std::set<std::string> used;
    if (m_hideAdded) {
        for (int i = 0; i < m_store.PartCount(); ++i)
            if (m_store.Part(i).RowType() != 'T') used.insert(m_store.Part(i).PictureName());
    }
    for (const fs::path& file : platform::ListFiles(m_source, "*.png")) {
        std::string title = file.stem().string();
        if (title == kNeverListed || used.count(title)) continue;
        m_entries.push_back({std::move(title), ' '});
    }
    // In the byte order of the titles' stored (GBK) form, as the project
    // keeps them: Chinese names by their GBK codes, a title that is a prefix
    // of another first. A title GBK cannot hold sorts by its nearest form.
    // The list keeps the first titles of that order.
    std::vector<std::pair<std::string, PictureEntry>> keyed;
    keyed.reserve(m_entries.size());
    for (PictureEntry& e : m_entries) keyed.emplace_back(platform::Utf8ToGbkLossy(e.title), std::move(e));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.title < b.second.title;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) m_entries[i] = std::move(keyed[i].second);
    if (m_entries.size() > static_cast<std::size_t>(kMaxListedPictures)) m_entries.resize(kMaxListedPictures);
    if (m_first >= static_cast<int>(m_entries.size())) m_first = 0;
}

void AddFittingPics::Toggle(int entry) {
    if (entry < 0 || entry >= static_cast<int>(m_entries.size())) return;
    char& t = m_entries[static_cast<std::size_t>(entry)].tick;
    t = t == 'Y' ? ' ' : 'Y';
}

int AddFittingPics::TickedCount() const {
    return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(),
                                          [](const PictureEntry& e) { return e.tick == 'Y'; }));
}

void AddFittingPics::SetGrid(int columns, int rows) {
    m_columns = std::max(1, columns);
    m_rows = std::max(1, rows);
}

int AddFittingPics::PageNumber() const { return m_first / (m_rows * m_columns) + 1; }

bool AddFittingPics::PreviousPage() {
    if (m_first <= 0) return false;
    m_first = std::max(0, m_first - m_rows * m_columns);
    return true;
}

bool AddFittingPics::NextPage() {
    if (m_first + m_rows * m_columns >= static_cast<int>(m_entries.size())) return false;
    m_first += m_rows * m_columns;
    return true;
}

std::vector<std::pair<int, std::string>> AddFittingPics::Categories() const {
    std::vector<std::pair<int, std::string>> out;
    for (int i = 0; i < m_store.PartCount(); ++i)
        if (m_store.Part(i).RowType() == 'T') out.emplace_back(i, m_store.Part(i).Name());
    return out;
}

bool AddFittingPics::RenameCategory(int captionRow, const std::string& name) {
    if (captionRow < 0 || captionRow >= m_store.PartCount() || m_store.Part(captionRow).RowType() != 'T') return false;
    const std::string cut = platform::CutToGbkBytes(name, kMaxCategoryNameBytes);
    if (cut.empty() || cut == m_store.Part(captionRow).Name()) return false;
    m_store.Part(captionRow).SetName(cut);
    m_store.AddModified();
    return true;
}

std::vector<std::string> AddFittingPics::UsableTicked(AddPicturesReport& report) const {
    std::vector<std::string> titles;
    for (const PictureEntry& e : m_entries) {
        if (e.tick != 'Y') continue;
        if (IsUsablePictureTitle(e.title)) titles.push_back(e.title);
        else report.skipped.push_back(e.title);
    }
    return titles;
}

void AddFittingPics::MarkAdded(const std::vector<std::string>& titles) {
    const std::set<std::string> done(titles.begin(), titles.end());
    for (PictureEntry& e : m_entries)
        if (e.tick == 'Y' && done.count(e.title)) e.tick = 'y';
}

void AddFittingPics::Save(AddPicturesReport& report) {
    std::string why;
    const SaveResult r = m_store.Save(&why);
    report.saved = r == SaveResult::Saved;
    if (r == SaveResult::Failed) report.saveError = why;
}

AddPicturesReport AddFittingPics::AddToCategory(int captionRow) {
    AddPicturesReport report;
    const int n = m_store.PartCount();
    if (captionRow < 0 || captionRow >= n || m_store.Part(captionRow).RowType() != 'T') {
        report.refusal = "请先选择一个分类";
        return report;
    }
    std::vector<std::string> titles = UsableTicked(report);
    if (titles.empty()) {
        if (report.skipped.empty()) report.refusal = "没有选中的图片";
        return report;
    }
    const int room = std::max(0, kAddPicturesPartLimit - n);
    if (room == 0) {
        report.refusal = "项目已有 " + std::to_string(n) + " 个部件, 不能再添加";
        return report;
    }
    if (static_cast<int>(titles.size()) > room) titles.resize(static_cast<std::size_t>(room));
    const int k = static_cast<int>(titles.size());

    int at = captionRow + 1;
    while (at < n && m_store.Part(at).RowType() != 'T') ++at;
    std::int32_t depth = 60;
    for (int i = at - 1; i >= 0; --i)
        if (m_store.Part(i).RowType() != 'T') {
            depth = m_store.Part(i).Depth();
            break;
        }
    const PartRecord caption = m_store.Part(captionRow);

    ProjectFile& p = m_store.Project();
    if (p.FaceCount() < n) p.SetFaceCount(n);
    ShiftRecords(p, at, n, k);
    const fs::path folder = PictureFolder();
    for (int j = 0; j < k; ++j) {
        PartRecord& part = m_store.Part(at + j);
        part.Reset();
        part.SetCategory(caption.Category());
        part.SetRowType('n');
        part.SetSwitch(caption.Switch());
        part.SetName(titles[static_cast<std::size_t>(j)]);
        part.SetPictureName(titles[static_cast<std::size_t>(j)]);
        part.SetGoodsCode("---");
        part.SetWebLink("");
        part.SetPrice("0.00");
        part.SetChangeFaceLetter(' ');
        part.SetPictureKind(' ');
        part.SetDepth(depth);
        part.SetX(200);
        part.SetY(200);
        platform::PicSize size;
        if (!folder.empty())
            if (auto s = m_sizes.SizeOf(PngOf(folder, titles[static_cast<std::size_t>(j)]))) size = *s;
        part.SetWidth(size.w);
        part.SetHeight(size.h);
        part.SetScale(size.w > 200 || size.h > 200 ? 0.5f : 1.0f);
        NewFace(m_store.Face(at + j));
    }
    m_store.SetPartCount(n + k);
    p.SetFaceCount(n + k);

    report.moves.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) report.moves[static_cast<std::size_t>(i)] = i < at ? i : i + k;
    report.added = k;
    m_store.AddModified(k);
    MarkAdded(titles);
    Save(report);
    return report;
}

AddPicturesReport AddFittingPics::AddOrReplace(bool replaceAll) {
    AddPicturesReport report;
    const int n = m_store.PartCount();
    if (!HasReference()) {
        report.refusal = "请先选择一个参照部件";
        return report;
    }
    std::vector<std::string> titles = UsableTicked(report);
    if (titles.empty()) {
        if (report.skipped.empty()) report.refusal = "没有选中的图片";
        return report;
    }
    int caption = -1;
    for (int i = m_part - 1; i >= 0; --i)
        if (m_store.Part(i).RowType() == 'T') {
            caption = i;
            break;
        }
    if (caption < 0) {
        report.refusal = "参照部件前没有分类标题行";
        return report;
    }
    int end = caption + 1;
    while (end < n && m_store.Part(end).RowType() != 'T') ++end;

    // Rows that "替换全部" removes: the category's items except locked ones.
    std::vector<int> removable;
    if (replaceAll)
        for (int i = caption + 1; i < end; ++i)
            if (m_store.Part(i).RowType() != 'K') removable.push_back(i);
    const int remaining = n - static_cast<int>(removable.size());
    const int room = std::max(0, kAddPicturesPartLimit - remaining);
    if (room == 0) {
        report.refusal = "项目已有 " + std::to_string(n) + " 个部件, 不能再添加";
        return report;
    }
    if (static_cast<int>(titles.size()) > room) titles.resize(static_cast<std::size_t>(room));

    // The new files first: a picture that cannot be copied is not added, and
    // nothing is removed when none could be.
    const fs::path folder = PictureFolder();
    if (folder.empty()) {
        report.refusal = "项目的图片目录不可用";
        return report;
    }
    std::vector<std::string> copied;
    for (const std::string& title : titles) {
        const fs::path from = PngOf(m_source, title);
        const fs::path to = PngOf(folder, title);
        std::string why;
        if (SameFile(from, to) || m_files.Copy(from, to, why)) copied.push_back(title);
        else report.failedCopies.push_back(title + ": " + why);
    }
    if (copied.empty()) return report;
    const int k = static_cast<int>(copied.size());

    const PartRecord templatePart = m_store.Part(m_part);
    const FaceRecord templateFace = m_store.Face(m_part);
    ProjectFile& p = m_store.Project();
    if (p.FaceCount() < n) p.SetFaceCount(n);

    // Remove the replaced rows, keeping their pictures' names for later.
    std::vector<std::string> oldPictures;
    std::vector<int> moves(static_cast<std::size_t>(n));
    {
        const std::set<int> gone(removable.begin(), removable.end());
        int w = 0;
        for (int i = 0; i < n; ++i) {
            if (gone.count(i)) {
                oldPictures.push_back(m_store.Part(i).PictureName());
                moves[static_cast<std::size_t>(i)] = -1;
                continue;
            }
            if (w != i) {
                p.parts[static_cast<std::size_t>(w)] = p.parts[static_cast<std::size_t>(i)];
                p.faces[static_cast<std::size_t>(w)] = p.faces[static_cast<std::size_t>(i)];
            }
            moves[static_cast<std::size_t>(i)] = w++;
        }
        for (int i = w; i < n; ++i) {
            p.parts[static_cast<std::size_t>(i)].Reset();
            p.faces[static_cast<std::size_t>(i)].Reset();
        }
        m_store.SetPartCount(w);
        p.SetFaceCount(w);
    }
    const int m = m_store.PartCount();
    const int at = caption + 1;  // the caption row never moves: only rows after it are removed
    ShiftRecords(p, at, m, k);
    for (int j = 0; j < k; ++j) {
        m_store.Part(at + j) = templatePart;
        m_store.Part(at + j).SetName(copied[static_cast<std::size_t>(j)]);
        m_store.Part(at + j).SetPictureName(copied[static_cast<std::size_t>(j)]);
        m_store.Face(at + j) = templateFace;
    }
    m_store.SetPartCount(m + k);
    p.SetFaceCount(m + k);
    for (int& to : moves)
        if (to >= at) to += k;

    // Old pictures go only when no part uses them any more and they are not
    // a chosen source (the source may be the project's own folder).
    std::set<std::string> inUse;
    for (int i = 0; i < m_store.PartCount(); ++i) inUse.insert(m_store.Part(i).PictureName());
    if (SameFile(m_source, folder))
        for (const PictureEntry& e : m_entries)
            if (e.tick == 'Y') inUse.insert(e.title);
    std::set<std::string> deleted;
    for (const std::string& name : oldPictures) {
        if (name.empty() || inUse.count(name) || deleted.count(name) || !IsPlainFileName(name)) continue;
        const fs::path file = PngOf(folder, name);
        if (!platform::FileExists(file)) continue;
        deleted.insert(name);
        std::string why;
        if (!m_files.Remove(file, why)) report.failedDeletes.push_back(file.string() + ": " + why);
    }

    report.moves = std::move(moves);
    report.added = k;
    report.removed = static_cast<int>(removable.size());
    m_store.AddModified(k + report.removed);
    MarkAdded(copied);
    Save(report);
    return report;
}

}  // namespace project_editor
