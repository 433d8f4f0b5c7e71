#pragma once
// CSizeDatabase: the measurement space's body and size database. It holds
// the body records of up to 40 persons (".by3"), the garment size chart of
// up to 200 rows with its text pool (".cd3"), the ranges parsed from the
// rows' parameter texts and the matcher that marks the rows that fit the
// selected person.
//
// Records, rows, slots and the pool are kept as the bytes the files hold, so
// a file written elsewhere goes back to disk unchanged in every byte this
// program does not set; fields are read and written through offset codecs.
// Texts cross the interface in UTF-8 and are stored in GBK.
//
// Window thread only. One process-wide instance (SizeDatabase()); the
// measurement form and its size-chart grid are its callers. Bodies are
// written at once on every change; the chart is written by SaveSizes when it
// changed (the form calls it when it closes, and the destructor at exit).
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace measure {

// Body records.
inline constexpr int kMaxBodies = 40;
inline constexpr std::size_t kBodyHeaderBytes = 52;
inline constexpr std::size_t kBodyRecordBytes = 236;
inline constexpr int kBodyValues = 46;
inline constexpr int kFormValues = 39;  // the form uses the first 39
inline constexpr std::size_t kBodyNameOffset = 17;
inline constexpr std::size_t kBodyNameField = 26;  // 25 bytes and a terminator
inline constexpr std::size_t kBodyValuesOffset = 52;
inline constexpr std::size_t kBodyCountOffset = 28;

// Size chart.
inline constexpr int kMaxSizeRows = 200;
inline constexpr std::size_t kSizeHeaderBytes = 28;
inline constexpr std::size_t kSizeRecordBytes = 48;
inline constexpr int kMaxSlots = 1800;
inline constexpr std::size_t kSlotBytes = 12;
inline constexpr int kPoolBytes = 38000;
inline constexpr int kMaxFieldText = 250;  // bytes of a stored field text
inline constexpr int kRangeValues = 32;
inline constexpr int kRangeFlags = 19;

// Row operations of EditSizeRow and the filter reset that clears marks.
inline constexpr int kRowInsert = 0;
inline constexpr int kRowDelete = 9;
inline constexpr int kRowTitle = 11;
inline constexpr int kRowOpDone = 9;
// ToggleSizeFlag / GetSizeChar selectors.
inline constexpr int kCharKind = 0;
inline constexpr int kCharMark = 1;
inline constexpr int kCharSex = 6;
inline constexpr int kCharDigit = 7;

// Results of a save and of the body changes. FileKept: the body file could
// not be read when it was loaded, so nothing is written over it.
enum class StoreResult { Stored, TableFull, BadIndex, WriteFailed, FileKept };
// How a file read went. Missing: something stands at the file's path (a
// folder, a file this user may not read, a broken link) that cannot be read,
// or no new file could be made there; Rejected: damaged. Whatever stands
// there is kept: no later save writes over it until the user starts a new
// table (StartNewBodies, StartNewChart) or a download replaces it.
enum class LoadResult { Loaded, Created, Missing, Rejected };

// What the user is told about a file that could not be read, and asked before
// a new table takes its place.
inline constexpr const char* kTextBodiesKept =
    "客户测量记录 \"人体测量记录表.by3\" 不能读取 (文件不完整或已损坏)。\n这个文件保持原样, 不会被改写。";
inline constexpr const char* kTextChartKept =
    "尺码库 \"服饰尺码记录表.cd3\" 不能读取 (文件不完整或已损坏)。\n这个文件保持原样, 不会被改写。";
inline constexpr const char* kTextBodiesUnreadable =
    "客户测量记录 \"人体测量记录表.by3\" 不能读取 (它不是可以读取的文件)。\n它保持原样, 不会被改写。";
inline constexpr const char* kTextChartUnreadable =
    "尺码库 \"服饰尺码记录表.cd3\" 不能读取 (它不是可以读取的文件)。\n它保持原样, 不会被改写。";
inline constexpr const char* kAskNewBodies =
    "客户测量记录文件不能读取, 一直保持原样。\n要建立新的测量记录表吗? 原文件将被新的记录表替换。";
inline constexpr const char* kAskNewChart =
    "尺码库文件不能读取, 一直保持原样。\n要建立新的尺码库吗? 原文件将被新的尺码库替换。";

// The ranges parsed from one row's parameter text.
struct SizeRangeRecord {
    char category = ' ';  // 'A'..'E', 'd', or ' '
    char sizeLetter = ' ';
    char garmentSex = ' ';  // 'M', 'F' or ' '
    std::array<char, kRangeFlags> flags{};
    std::array<std::int32_t, kRangeValues> values{};
    SizeRangeRecord() { Reset(); }
    void Reset() {
        category = sizeLetter = garmentSex = ' ';
        flags.fill(' ');
        values.fill(-1);
    }
};

// One person's data as the form shows it.
struct BodyData {
    std::string name;  // UTF-8
    char sex = ' ';
    std::vector<std::int32_t> values;
};

class CSizeDatabase {
public:
    CSizeDatabase();
    virtual ~CSizeDatabase();
    CSizeDatabase(const CSizeDatabase&) = delete;
    CSizeDatabase& operator=(const CSizeDatabase&) = delete;

    // Back to the state of a fresh start, without a directory (tests).
    void Reset();

    // ---- data folder ------------------------------------------------------
    // Takes the base directory as it is; the files lie in its data folder.
    void CopyTrimmedName(const std::filesystem::path& base);
    const std::filesystem::path& baseDirectory() const { return m_base; }
    std::filesystem::path BodyFile() const;
    std::filesystem::path SizeFile() const;
    // Why the last save failed (UTF-8), empty after a good one.
    const std::string& lastError() const { return m_lastError; }

    // ---- body records -----------------------------------------------------
    // A missing file is created with the empty header. A file whose header
    // is short, whose count lies outside 0..40 or that holds fewer records
    // than its count is rejected: the table stays empty and the file is
    // kept. Bytes after the counted records are ignored.
    LoadResult LoadBodies();
    // False (and nothing written) while the file is kept.
    bool SaveBodies();
    bool bodyFileKept() const { return m_bodiesKept; }
    // What the user is told of a kept body file (empty when none is kept).
    const char* bodyKeptText() const;
    // The user's choice: an empty table that later saves write over the file.
    void StartNewBodies();
    // texts[0] the name, texts[1] a string whose first character is the sex
    // letter. A save that fails takes the change back; FileKept changes nothing.
    StoreResult AddBody(const std::string texts[2], const std::int32_t* values, int n);
    StoreResult UpdateBody(int index, const std::string texts[2], const std::int32_t* values, int n);
    // Fills texts (name, sex letter) and n values and selects the body; 0 for
    // a bad index (the selection stays).
    int GetBody(int index, std::string texts[2], std::int32_t* values, int n);
    std::string GetBodyName(int index) const;
    int GetBodyCount() const;
    int selectedBody() const { return m_selectedBody; }
    // The raw record (tests and the file's independent checks).
    const std::array<std::uint8_t, kBodyRecordBytes>& bodyRecord(int index) const { return m_bodies.at(index); }
    std::int32_t BodyValue(int index, int value) const;
    char BodySex(int index) const;

    // ---- size chart --------------------------------------------------------
    // A missing file is created empty. A file shorter than its counts
    // announce, or with counts beyond the tables, is rejected: the chart is
    // empty and the file is kept. Bytes after the pool are ignored. Rows,
    // slots and pool bytes beyond the counts are reset. The display shows
    // every row afterwards.
    LoadResult LoadSizes();
    // Checks a chart file's bytes as LoadSizes would take them.
    static bool IsValidSizeFile(const std::vector<std::uint8_t>& bytes);
    // Writes the chart when it changed; false when the write failed or the
    // file is kept.
    bool SaveSizes();
    // While the chart file is kept, the chart takes no edits.
    bool sizeFileKept() const { return m_chartKept; }
    // What the user is told of a kept chart file (empty when none is kept).
    const char* chartKeptText() const;
    // The user's choice: an empty chart that later saves write over the file.
    void StartNewChart();
    bool dirty() const { return m_dirty == 'Y'; }
    int GetSizeCount() const { return m_displayCount; }
    int GetStoredRowCount() const;
    // The stored row shown at a display row, -1 when none: shown rows map
    // through the display order; past them, only an unfiltered display
    // reaches a row (the row of that number, possibly beyond the count).
    int StoredRowOf(int displayRow) const;
    // The display row that shows a stored row, -1 when none does (the
    // reverse of StoredRowOf).
    int DisplayRowOf(int storedRow) const;
    std::string GetSizeField(int displayRow, int field) const;
    // 1 when the row was appended, 0 when stored, -1 when the text could not
    // be stored (the pool or slot table is full, or the file is kept: the old
    // text stays).
    int SetSizeField(int displayRow, int field, const std::string& text);
    // -1 (and ' ') also while the file is kept.
    int EditSizeRow(int op, int displayRow);
    char ToggleSizeFlag(int displayRow, int which);
    char GetSizeChar(int displayRow, int which) const;
    void ResetFilter(int op);

    // ---- text pool ---------------------------------------------------------
    // text is GBK bytes; returns the slot or -1.
    int StoreText(const std::string& gbk, int maxLength);
    // The slot's GBK text, at most maxLength (and 250) bytes.
    int ReadText(int slot, int maxLength, std::string& gbk) const;
    void MarkSlotFree(int slot);
    int slotCount() const;
    int poolUsed() const;
    struct Slot {
        std::int32_t offset = -1, length = 0, capacity = 0;
    };
    Slot GetSlot(int slot) const;

    // ---- matching ----------------------------------------------------------
    void ParseAllSizes();
    // Re-parses the ranges, then marks the rows that fit the selected body;
    // returns how many (0 with no body selected). A row is the body's when
    // its own sex letter (the chart's column 6) is 'M' for a body of sex 'M'
    // and anything else for any other body. A measurement not given (-1)
    // never rejects a row. 袖长 is compared with the arm length (手臂长): the
    // arm length less the waist girth is below zero for any real body.
    int MatchSizes();
    const SizeRangeRecord& range(int row) const { return m_ranges.at(row); }
    // Kind name and category of a field-1 text (GBK); sex in `sex`.
    static char ClassifyGarment(const std::string& gbk, char* sex);
    static char SizeLetter(const std::string& gbk);
    void ParseSizeParams(const std::string& gbk, int row);

    // The whole chart file as SaveSizes writes it.
    std::vector<std::uint8_t> SizeFileBytes() const;
    std::vector<std::uint8_t> BodyFileBytes() const;

private:
    using BodyBytes = std::array<std::uint8_t, kBodyRecordBytes>;
    using RowBytes = std::array<std::uint8_t, kSizeRecordBytes>;
    static BodyBytes NewBody();
    static RowBytes NewRow();
    void ResetSizes();
    void WriteBody(BodyBytes& record, const std::string texts[2], const std::int32_t* values, int n) const;
    void SetBodyCount(int count);
    void SetSizeCounts(int rows, int slots, int pool);
    void SetRowCount(int rows);
    std::int32_t RowSlot(int row, int field) const;
    void SetRowSlot(int row, int field, std::int32_t slot);
    void SetSlot(int slot, const Slot& s);
    std::string RowText(int row, int field) const;
    void StoreMeasure(int row, int position, const std::string& name, const std::string& value);
    bool RowPasses(int row, int title, const std::int32_t* body, char bodySex) const;
    bool Save(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

    std::filesystem::path m_base;
    std::string m_lastError;

    std::array<std::uint8_t, kBodyHeaderBytes> m_bodyHeader{};
    std::vector<BodyBytes> m_bodies;
    int m_selectedBody = -1;

    std::array<std::uint8_t, kSizeHeaderBytes> m_sizeHeader{};
    std::vector<RowBytes> m_rows;
    int m_displayCount = 0;
    std::array<std::int32_t, kMaxSizeRows> m_order{};
    std::vector<SizeRangeRecord> m_ranges;
    char m_paramFlag = ' ';
    std::vector<std::uint8_t> m_slots;  // 1800 x 12 bytes
    std::vector<std::uint8_t> m_pool;   // 38000 bytes
    char m_dirty = ' ';
    bool m_bodiesKept = false;
    bool m_chartKept = false;
    bool m_bodiesUnreadable = false;  // kept because it could not be read at all
    bool m_chartUnreadable = false;
};

// The process-wide instance.
CSizeDatabase& SizeDatabase();

// The text fields of a row by grid column, and their slot positions.
int FieldSlotIndex(int field);

}  // namespace measure
