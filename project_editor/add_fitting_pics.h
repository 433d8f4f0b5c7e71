#pragma once
// AddFittingPics: the add-pictures dialog's work without a window. It lists
// the ".png" pictures of a folder with a tick per picture, pages them, and
// turns the ticked ones into new parts of the open project: in mode 0 after
// the last part of a chosen category (new parts start from blank records),
// in mode 9 as copies of a reference part, optionally replacing the items of
// the reference part's category ("替换全部"). Records that move take their
// face records along; the caller renumbers the stage and the selection from
// the report's index map.
//
// Window thread only; works on the store it is given. Files are copied and
// deleted through PictureFileOps so that tests can make a copy fail.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/picture_size.h"
#include "project_editor/project_store.h"
#include "project_editor/stage_slot.h"

namespace project_editor {

inline constexpr int kAddPicturesPartLimit = 100;  // the dialog adds no part beyond this count
inline constexpr int kMaxListedPictures = 260;
inline constexpr int kMaxCategoryNameBytes = 60;
inline constexpr int kPictureCellWidth = 90;
inline constexpr int kPictureCellHeight = 106;

enum class AddPicturesMode { AddToCategory = 0, AddOrReplace = 9 };

struct PictureEntry {
    std::string title;  // file name without ".png"
    char tick = ' ';    // ' ', 'Y' ticked, 'y' added
};

class PictureFileOps {
public:
    virtual ~PictureFileOps() = default;
    // Copies `from` over `to`; false with a reason on failure.
    virtual bool Copy(const std::filesystem::path& from, const std::filesystem::path& to, std::string& why);
    virtual bool Remove(const std::filesystem::path& file, std::string& why);
};

struct AddPicturesReport {
    int added = 0;
    int removed = 0;
    std::vector<std::string> skipped;        // titles that cannot be part or picture names
    std::vector<std::string> failedCopies;   // "title: reason"
    std::vector<std::string> failedDeletes;  // "file: reason"
    std::string refusal;                     // why nothing was done, when nothing was
    // Old record index -> new index, -1 for a removed record; empty when no
    // record moved.
    std::vector<int> moves;
    bool saved = false;
    std::string saveError;
    bool Changed() const { return added > 0 || removed > 0; }
    // A message for the user listing the skipped titles and the failures;
    // empty when there is nothing to say.
    std::string Problems() const;
};

class AddFittingPics {
public:
    AddFittingPics(CProjectStore& store, platform::PictureSizeSource& sizes, PictureFileOps& files);

    // Mode and part index; the source folder starts as the project's picture folder.
    void Start(AddPicturesMode mode, int part);
    AddPicturesMode mode() const { return m_mode; }
    int part() const { return m_part; }
    // Mode 9 needs a reference part: index 1..159 inside the project, not a caption row.
    bool HasReference() const;
    std::string ReferenceText() const;  // "替换参照:%s"

    std::filesystem::path PictureFolder() const;
    const std::filesystem::path& sourceFolder() const { return m_source; }
    void SetSourceFolder(const std::filesystem::path& folder);
    bool hideAdded() const { return m_hideAdded; }
    void SetHideAdded(bool on);

    // Lists the source folder again; every tick starts blank.
    void List();
    const std::vector<PictureEntry>& entries() const { return m_entries; }
    void Toggle(int entry);
    int TickedCount() const;

    // Paging over a grid of cells.
    void SetGrid(int columns, int rows);
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int first() const { return m_first; }
    int PageNumber() const;
    bool PreviousPage();
    bool NextPage();

    // Mode 0's combo: the caption rows (index, name) in record order.
    std::vector<std::pair<int, std::string>> Categories() const;
    // "分类名:": the caption row's name becomes `name` (at most 60 GBK bytes).
    bool RenameCategory(int captionRow, const std::string& name);

    // Mode 0: the ticked pictures become new parts after the category's last part.
    AddPicturesReport AddToCategory(int captionRow);
    // Mode 9: copies of the reference part in the reference's category;
    // with `replaceAll` the category's unlocked items go first.
    AddPicturesReport AddOrReplace(bool replaceAll);

private:
    std::vector<std::string> UsableTicked(AddPicturesReport& report) const;
    void MarkAdded(const std::vector<std::string>& titles);
    void Save(AddPicturesReport& report);

    CProjectStore& m_store;
    platform::PictureSizeSource& m_sizes;
    PictureFileOps& m_files;
    AddPicturesMode m_mode = AddPicturesMode::AddToCategory;
    int m_part = -1;
    std::filesystem::path m_source;
    bool m_hideAdded = true;
    std::vector<PictureEntry> m_entries;
    int m_columns = 1;
    int m_rows = 1;
    int m_first = 0;
};

// A file title that can name a part and its picture: a plain file name,
// storable in GBK and short enough for the 66-byte fields.
bool IsUsablePictureTitle(const std::string& title);

// A part's index after records moved (`moves` from a report; empty: none
// moved); -1 for a removed record or an index outside the map.
int RenumberedPart(const std::vector<int>& moves, int part);

// Renumbers the stage slots and the selected part after records moved:
// slots of removed records are emptied, the current slot too when it was one.
void ApplyRecordMoves(const std::vector<int>& moves, StageSlotTable& slots, int& selectedPart);

}  // namespace project_editor
