// The body records and the size chart of CSizeDatabase: files, records and
// the text pool. Matching lives in size_matching.cpp.
//
// Every table keeps the bytes of its file format; counts live in the file
// headers. Reads are bounded by the tables whatever a file announces, and a
// save goes through a temporary file, so a failed write leaves the old file
// and is reported instead of taken for stored.
#include "measure_market/size_database.h"

#include <algorithm>
#include <system_error>

#include "measure_market/measure_data.h"
#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/record.h"
#include "platform/text.h"

namespace measure {

namespace {

constexpr std::size_t kSizeFileMax =
    kSizeHeaderBytes + kMaxSizeRows * kSizeRecordBytes + kMaxSlots * kSlotBytes + kPoolBytes;

// Slot positions of the text fields 1-5, 8 and 9 in a row.
constexpr int kFieldOfSlot[7] = {1, 2, 3, 4, 5, 8, 9};

char AsciiOrBlank(char c) { return static_cast<unsigned char>(c) < 0x80 && c != 0 ? c : ' '; }

// Whether anything stands at a path: a file, a folder, a link (broken or
// not), or something that cannot even be looked at.
bool SomethingAt(const std::filesystem::path& p) {
    std::error_code ec;
    const auto st = std::filesystem::symlink_status(p, ec);
    if (st.type() == std::filesystem::file_type::not_found) return false;
    return ec || st.type() != std::filesystem::file_type::none;
}

}  // namespace

int FieldSlotIndex(int field) {
    for (int i = 0; i < 7; ++i)
        if (kFieldOfSlot[i] == field) return i;
    return -1;
}

CSizeDatabase& SizeDatabase() {
    static CSizeDatabase db;
    return db;
}

CSizeDatabase::CSizeDatabase() { Reset(); }

CSizeDatabase::~CSizeDatabase() {
    if (!m_base.empty()) SaveSizes();
}

void CSizeDatabase::Reset() {
    m_base.clear();  // nothing is written until a directory is set again
    m_lastError.clear();
    m_bodyHeader.fill(' ');
    platform::RecordWriter h(m_bodyHeader);
    h.Fill(26, 2, 0);
    h.I32(kBodyCountOffset, 0);
    h.Fill(32, 20, 0);
    m_bodies.assign(kMaxBodies, NewBody());
    m_selectedBody = -1;
    m_bodiesKept = m_bodiesUnreadable = false;
    ResetSizes();
    m_chartKept = m_chartUnreadable = false;
}

void CSizeDatabase::ResetSizes() {
    m_sizeHeader.fill(0);
    m_sizeHeader[0] = m_sizeHeader[1] = m_sizeHeader[2] = m_sizeHeader[3] = ' ';
    m_rows.assign(kMaxSizeRows, NewRow());
    m_slots.assign(static_cast<std::size_t>(kMaxSlots) * kSlotBytes, 0);
    for (int i = 0; i < kMaxSlots; ++i) SetSlot(i, Slot{});
    m_pool.assign(kPoolBytes, ' ');
    m_ranges.assign(kMaxSizeRows, SizeRangeRecord{});
    m_paramFlag = ' ';
    m_dirty = ' ';
    ResetFilter(0);
}

CSizeDatabase::BodyBytes CSizeDatabase::NewBody() {
    BodyBytes b{};
    platform::RecordWriter w(b);
    w.Char(0, ' ');
    w.Fill(44, 6, ' ');
    for (int i = 0; i < kBodyValues; ++i) w.I32(kBodyValuesOffset + 4 * i, -1);
    return b;
}

CSizeDatabase::RowBytes CSizeDatabase::NewRow() {
    RowBytes r{};
    platform::RecordWriter w(r);
    w.Char(0, ' ');
    w.Char(1, 'M');
    w.Char(2, '1');
    w.Char(3, ' ');
    w.Fill(4, 2, ' ');
    for (int i = 0; i < 10; ++i) w.I32(8 + 4 * i, -1);
    return r;
}

void CSizeDatabase::CopyTrimmedName(const std::filesystem::path& base) { m_base = base; }

std::filesystem::path CSizeDatabase::BodyFile() const { return DataFile(m_base, kBodyFileName); }
std::filesystem::path CSizeDatabase::SizeFile() const { return DataFile(m_base, kSizeFileName); }

bool CSizeDatabase::Save(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string error;
    if (!platform::SaveFileAtomic(file, bytes, &error)) {
        m_lastError = error.empty() ? "无法写入 " + platform::UserPath(file) : error;
        return false;
    }
    m_lastError.clear();
    return true;
}

// ---- body records -------------------------------------------------------------

int CSizeDatabase::GetBodyCount() const { return platform::RecordReader(m_bodyHeader).I32(kBodyCountOffset); }

void CSizeDatabase::SetBodyCount(int count) { platform::RecordWriter(m_bodyHeader).I32(kBodyCountOffset, count); }

std::vector<std::uint8_t> CSizeDatabase::BodyFileBytes() const {
    std::vector<std::uint8_t> out(m_bodyHeader.begin(), m_bodyHeader.end());
    for (int i = 0; i < GetBodyCount(); ++i) out.insert(out.end(), m_bodies[i].begin(), m_bodies[i].end());
    return out;
}

LoadResult CSizeDatabase::LoadBodies() {
    const std::filesystem::path file = BodyFile();
    m_bodies.assign(kMaxBodies, NewBody());
    m_bodiesKept = false;
    const auto bytes = platform::ReadWholeFile(file, kBodyHeaderBytes + kMaxBodies * kBodyRecordBytes);
    m_bodiesUnreadable = false;
    if (!bytes) {
        SetBodyCount(0);
        if (SomethingAt(file)) {
            m_bodiesKept = m_bodiesUnreadable = true;
            return LoadResult::Missing;
        }
        return SaveBodies() ? LoadResult::Created : LoadResult::Missing;
    }
    const std::int64_t present =
        bytes->size() < kBodyHeaderBytes ? -1 : static_cast<std::int64_t>((bytes->size() - kBodyHeaderBytes) / kBodyRecordBytes);
    const std::int32_t announced = present < 0 ? -1 : platform::RecordReader(*bytes).I32(kBodyCountOffset);
    if (present < 0 || announced < 0 || announced > kMaxBodies || announced > present) {
        SetBodyCount(0);
        m_bodiesKept = true;
        return LoadResult::Rejected;
    }
    std::copy_n(bytes->begin(), kBodyHeaderBytes, m_bodyHeader.begin());
    const int count = announced;
    for (int i = 0; i < count; ++i)
        std::copy_n(bytes->begin() + static_cast<std::ptrdiff_t>(kBodyHeaderBytes + i * kBodyRecordBytes),
                    kBodyRecordBytes, m_bodies[i].begin());
    return LoadResult::Loaded;
}

const char* CSizeDatabase::bodyKeptText() const {
    if (!m_bodiesKept) return "";
    return m_bodiesUnreadable ? kTextBodiesUnreadable : kTextBodiesKept;
}

const char* CSizeDatabase::chartKeptText() const {
    if (!m_chartKept) return "";
    return m_chartUnreadable ? kTextChartUnreadable : kTextChartKept;
}

bool CSizeDatabase::SaveBodies() {
    if (m_bodiesKept) {
        m_lastError = bodyKeptText();
        return false;
    }
    return Save(BodyFile(), BodyFileBytes());
}

void CSizeDatabase::StartNewBodies() {
    m_bodies.assign(kMaxBodies, NewBody());
    SetBodyCount(0);
    m_selectedBody = -1;
    m_bodiesKept = m_bodiesUnreadable = false;
}

void CSizeDatabase::WriteBody(BodyBytes& record, const std::string texts[2], const std::int32_t* values,
                              int n) const {
    platform::RecordWriter w(record);
    w.Char(0, texts[1].empty() ? ' ' : AsciiOrBlank(texts[1][0]));
    const std::string gbk = platform::Utf8ToGbkLossy(texts[0]);
    const std::size_t len = platform::GbkCutLength(gbk, kBodyNameField - 1);
    w.Fill(kBodyNameOffset, kBodyNameField, 0);
    w.Bytes(kBodyNameOffset, std::span(reinterpret_cast<const std::uint8_t*>(gbk.data()), len));
    n = std::clamp(n, 0, kBodyValues);
    for (int i = 0; i < n; ++i) w.I32(kBodyValuesOffset + 4 * i, values[i]);
}

StoreResult CSizeDatabase::AddBody(const std::string texts[2], const std::int32_t* values, int n) {
    if (m_bodiesKept) return StoreResult::FileKept;
    const int count = GetBodyCount();
    if (count > kMaxBodies - 1) return StoreResult::TableFull;
    const BodyBytes before = m_bodies[count];
    WriteBody(m_bodies[count], texts, values, n);
    SetBodyCount(count + 1);
    if (!SaveBodies()) {
        SetBodyCount(count);
        m_bodies[count] = before;
        return StoreResult::WriteFailed;
    }
    return StoreResult::Stored;
}

StoreResult CSizeDatabase::UpdateBody(int index, const std::string texts[2], const std::int32_t* values, int n) {
    if (m_bodiesKept) return StoreResult::FileKept;
    if (index < 0 || index >= GetBodyCount()) return StoreResult::BadIndex;
    const BodyBytes before = m_bodies[index];
    WriteBody(m_bodies[index], texts, values, n);
    if (!SaveBodies()) {
        m_bodies[index] = before;
        return StoreResult::WriteFailed;
    }
    return StoreResult::Stored;
}

int CSizeDatabase::GetBody(int index, std::string texts[2], std::int32_t* values, int n) {
    if (index < 0 || index >= GetBodyCount()) return 0;
    texts[0] = GetBodyName(index);
    texts[1] = std::string(1, BodySex(index));
    n = std::clamp(n, 0, kBodyValues);
    for (int i = 0; i < n; ++i) values[i] = BodyValue(index, i);
    m_selectedBody = index;
    return 1;
}

std::string CSizeDatabase::GetBodyName(int index) const {
    if (index < 0 || index >= GetBodyCount()) return {};
    std::string gbk = platform::ReadFieldBytes(m_bodies[index], kBodyNameOffset, kBodyNameField);
    gbk.resize(platform::GbkCutLength(gbk, kBodyNameField - 1));
    return platform::GbkToUtf8(gbk);
}

std::int32_t CSizeDatabase::BodyValue(int index, int value) const {
    if (index < 0 || index >= kMaxBodies || value < 0 || value >= kBodyValues) return -1;
    return platform::RecordReader(m_bodies[index]).I32(kBodyValuesOffset + 4 * value);
}

char CSizeDatabase::BodySex(int index) const {
    if (index < 0 || index >= kMaxBodies) return ' ';
    return AsciiOrBlank(static_cast<char>(m_bodies[index][0]));
}

// ---- size chart -----------------------------------------------------------------

int CSizeDatabase::GetStoredRowCount() const { return platform::RecordReader(m_sizeHeader).I32(4); }
int CSizeDatabase::slotCount() const { return platform::RecordReader(m_sizeHeader).I32(8); }
int CSizeDatabase::poolUsed() const { return platform::RecordReader(m_sizeHeader).I32(12); }

void CSizeDatabase::SetSizeCounts(int rows, int slots, int pool) {
    platform::RecordWriter w(m_sizeHeader);
    w.I32(4, rows);
    w.I32(8, slots);
    w.I32(12, pool);
}

void CSizeDatabase::SetRowCount(int rows) { platform::RecordWriter(m_sizeHeader).I32(4, rows); }

CSizeDatabase::Slot CSizeDatabase::GetSlot(int slot) const {
    if (slot < 0 || slot >= kMaxSlots) return {};
    platform::RecordReader r(std::span<const std::uint8_t>(m_slots).subspan(static_cast<std::size_t>(slot) * kSlotBytes, kSlotBytes));
    return {r.I32(0), r.I32(4), r.I32(8)};
}

void CSizeDatabase::SetSlot(int slot, const Slot& s) {
    platform::RecordWriter w(std::span<std::uint8_t>(m_slots).subspan(static_cast<std::size_t>(slot) * kSlotBytes, kSlotBytes));
    w.I32(0, s.offset);
    w.I32(4, s.length);
    w.I32(8, s.capacity);
}

std::int32_t CSizeDatabase::RowSlot(int row, int field) const {
    const int i = FieldSlotIndex(field);
    if (i < 0 || row < 0 || row >= kMaxSizeRows) return -1;
    return platform::RecordReader(m_rows[row]).I32(8 + 4 * i);
}

void CSizeDatabase::SetRowSlot(int row, int field, std::int32_t slot) {
    const int i = FieldSlotIndex(field);
    if (i < 0) return;
    platform::RecordWriter(m_rows[row]).I32(8 + 4 * i, slot);
}

std::string CSizeDatabase::RowText(int row, int field) const {
    std::string gbk;
    ReadText(RowSlot(row, field), kMaxFieldText, gbk);
    return gbk;
}

bool CSizeDatabase::IsValidSizeFile(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < kSizeHeaderBytes) return false;
    platform::RecordReader h(std::span<const std::uint8_t>(bytes).first(kSizeHeaderBytes));
    const std::int64_t rows = h.I32(4), slots = h.I32(8), pool = h.I32(12);
    if (rows < 0 || rows > kMaxSizeRows || slots < 0 || slots > kMaxSlots || pool < 0 || pool >= kPoolBytes)
        return false;
    const std::uint64_t need = kSizeHeaderBytes + static_cast<std::uint64_t>(rows) * kSizeRecordBytes +
                               static_cast<std::uint64_t>(slots) * kSlotBytes + static_cast<std::uint64_t>(pool);
    return bytes.size() >= need;  // what follows the pool is not the chart's
}

std::vector<std::uint8_t> CSizeDatabase::SizeFileBytes() const {
    std::vector<std::uint8_t> out(m_sizeHeader.begin(), m_sizeHeader.end());
    for (int i = 0; i < GetStoredRowCount(); ++i) out.insert(out.end(), m_rows[i].begin(), m_rows[i].end());
    out.insert(out.end(), m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(slotCount() * kSlotBytes));
    out.insert(out.end(), m_pool.begin(), m_pool.begin() + poolUsed());
    return out;
}

LoadResult CSizeDatabase::LoadSizes() {
    const std::filesystem::path file = SizeFile();
    ResetSizes();
    m_chartKept = false;
    const auto bytes = platform::ReadWholeFile(file, kSizeFileMax);
    m_chartUnreadable = false;
    if (!bytes) {
        if (SomethingAt(file)) {
            m_chartKept = m_chartUnreadable = true;
            return LoadResult::Missing;
        }
        return Save(file, SizeFileBytes()) ? LoadResult::Created : LoadResult::Missing;
    }
    if (!IsValidSizeFile(*bytes)) {
        m_chartKept = true;
        return LoadResult::Rejected;
    }
    std::copy_n(bytes->begin(), kSizeHeaderBytes, m_sizeHeader.begin());
    auto at = bytes->begin() + kSizeHeaderBytes;
    for (int i = 0; i < GetStoredRowCount(); ++i, at += kSizeRecordBytes) std::copy_n(at, kSizeRecordBytes, m_rows[i].begin());
    const std::size_t slotBytes = static_cast<std::size_t>(slotCount()) * kSlotBytes;
    std::copy_n(at, slotBytes, m_slots.begin());
    at += static_cast<std::ptrdiff_t>(slotBytes);
    std::copy_n(at, poolUsed(), m_pool.begin());
    ResetFilter(0);
    ParseAllSizes();
    return LoadResult::Loaded;
}

bool CSizeDatabase::SaveSizes() {
    if (m_chartKept) {
        m_lastError = chartKeptText();
        return false;
    }
    if (m_dirty != 'Y') return true;
    if (!Save(SizeFile(), SizeFileBytes())) return false;
    m_dirty = ' ';
    return true;
}

void CSizeDatabase::StartNewChart() {
    ResetSizes();
    m_chartKept = m_chartUnreadable = false;
}

int CSizeDatabase::StoredRowOf(int displayRow) const {
    if (displayRow < 0 || displayRow >= kMaxSizeRows) return -1;
    if (displayRow < m_displayCount) return m_order[displayRow];
    // Past the shown rows: a filtered display reaches nothing; otherwise the
    // row of that number (beyond the count: a new row).
    if (m_displayCount != GetStoredRowCount()) return -1;
    for (int k = 0; k < m_displayCount; ++k)
        if (m_order[k] != k) return -1;
    return displayRow;
}

int CSizeDatabase::DisplayRowOf(int storedRow) const {
    if (storedRow < 0 || storedRow >= kMaxSizeRows) return -1;
    for (int k = 0; k < m_displayCount; ++k)
        if (m_order[k] == storedRow) return k;
    return StoredRowOf(storedRow) == storedRow ? storedRow : -1;
}

std::string CSizeDatabase::GetSizeField(int displayRow, int field) const {
    const int r = StoredRowOf(displayRow);
    if (r < 0 || r >= GetStoredRowCount() || FieldSlotIndex(field) < 0) return {};
    return platform::GbkToUtf8(RowText(r, field));
}

int CSizeDatabase::SetSizeField(int displayRow, int field, const std::string& text) {
    if (m_chartKept) return -1;
    const int r = StoredRowOf(displayRow);
    if (r < 0) return 0;
    const std::string gbk = platform::Utf8ToGbkLossy(text);
    const int count = GetStoredRowCount();
    if (r >= count) {
        // Only a parameter text makes a new row.
        if (field != 8 || gbk.empty()) return 0;
        const int slot = StoreText(gbk, kMaxFieldText);
        if (slot < 0) return -1;
        for (int i = count; i <= r; ++i) m_rows[i] = NewRow();
        SetRowCount(r + 1);
        SetRowSlot(r, 8, slot);
        m_dirty = 'Y';
        ResetFilter(0);
        return 1;
    }
    if (FieldSlotIndex(field) < 0) {
        m_dirty = 'Y';
        return 0;
    }
    const int old = RowSlot(r, field);
    const Slot oldSlot = GetSlot(old);
    MarkSlotFree(old);
    int slot = -1;
    if (!gbk.empty()) {
        slot = StoreText(gbk, kMaxFieldText);
        if (slot < 0) {
            if (old >= 0 && old < kMaxSlots) SetSlot(old, oldSlot);  // keep the old text
            return -1;
        }
    }
    SetRowSlot(r, field, slot);
    m_dirty = 'Y';
    return 0;
}

int CSizeDatabase::EditSizeRow(int op, int displayRow) {
    if (m_chartKept || displayRow < 0 || displayRow >= kMaxSizeRows || displayRow >= m_displayCount) return -1;
    const int r = m_order[displayRow];
    const int count = GetStoredRowCount();
    if (r < 0 || r >= count) return -1;
    switch (op) {
    case kRowInsert: {
        if (count >= kMaxSizeRows) return -1;
        for (int i = count; i > r; --i) m_rows[i] = m_rows[i - 1];
        SetRowCount(count + 1);
        platform::RecordWriter w(m_rows[r]);
        for (int i = 0; i < 7; ++i) w.I32(8 + 4 * i, -1);
        w.Char(0, ' ');
        ResetFilter(0);
        break;
    }
    case kRowDelete: {
        for (int i = 0; i < 7; ++i) MarkSlotFree(RowSlot(r, kFieldOfSlot[i]));
        for (int i = r; i < count - 1; ++i) m_rows[i] = m_rows[i + 1];
        m_rows[count - 1] = NewRow();
        SetRowCount(count - 1);
        ResetFilter(0);
        break;
    }
    case kRowTitle:
        m_rows[r][0] = 'T';
        break;
    default:
        return -1;
    }
    m_dirty = 'Y';
    return kRowOpDone;
}

char CSizeDatabase::ToggleSizeFlag(int displayRow, int which) {
    const int r = StoredRowOf(displayRow);
    if (m_chartKept || r < 0 || r >= GetStoredRowCount()) return ' ';
    char& c = reinterpret_cast<char&>(m_rows[r][which == kCharSex ? 1 : 2]);
    if (which == kCharSex) {
        c = c == 'M' ? 'W' : 'M';
    } else if (which == kCharDigit) {
        c = (c <= '0' || c >= '5') ? '1' : static_cast<char>(c + 1);
    } else {
        return ' ';
    }
    m_dirty = 'Y';
    return c;
}

char CSizeDatabase::GetSizeChar(int displayRow, int which) const {
    const int r = StoredRowOf(displayRow);
    if (r < 0) return ' ';
    switch (which) {
    case kCharKind: return static_cast<char>(m_rows[r][0]);
    case kCharMark: return static_cast<char>(m_rows[r][3]);
    case kCharSex: return static_cast<char>(m_rows[r][1]);
    case kCharDigit: return static_cast<char>(m_rows[r][2]);
    default: return ' ';
    }
}

void CSizeDatabase::ResetFilter(int op) {
    if (op == kRowTitle)
        for (auto& row : m_rows) row[3] = ' ';
    m_displayCount = GetStoredRowCount();
    for (int k = 0; k < kMaxSizeRows; ++k) m_order[k] = k;
}

// ---- text pool ------------------------------------------------------------------

int CSizeDatabase::StoreText(const std::string& gbk, int maxLength) {
    const int length = static_cast<int>(platform::GbkCutLength(gbk, static_cast<std::size_t>(std::max(maxLength, 0))));
    const int slots = slotCount();
    if (length == 0 || slots >= kMaxSlots) return -1;
    int chosen = -1;
    for (int i = 1; i < slots; ++i) {
        const Slot s = GetSlot(i);
        if (s.offset < 0 || s.length > 0 || s.capacity < length || s.capacity >= 256) continue;
        if (s.offset > kPoolBytes - s.capacity) continue;  // would reach past the pool
        if (chosen < 0 || s.capacity < GetSlot(chosen).capacity) chosen = i;
    }
    Slot s;
    if (chosen >= 0) {
        s = GetSlot(chosen);
    } else {
        const int used = poolUsed();
        if (used + length >= kPoolBytes) return -1;
        chosen = slots;
        s = Slot{used, 0, length};
        SetSizeCounts(GetStoredRowCount(), slots + 1, used + length);
    }
    s.length = length;
    SetSlot(chosen, s);
    std::copy_n(gbk.begin(), length, m_pool.begin() + s.offset);
    return chosen;
}

int CSizeDatabase::ReadText(int slot, int maxLength, std::string& gbk) const {
    gbk.clear();
    if (slot < 0 || slot >= kMaxSlots) return 0;
    const Slot s = GetSlot(slot);
    if (s.offset < 0 || s.offset >= kPoolBytes) return 0;
    const int n = std::min({s.length, maxLength, kMaxFieldText, kPoolBytes - s.offset});
    if (n <= 0) return 0;
    gbk.assign(reinterpret_cast<const char*>(m_pool.data()) + s.offset, static_cast<std::size_t>(n));
    return n;
}

void CSizeDatabase::MarkSlotFree(int slot) {
    if (slot < 0 || slot >= kMaxSlots) return;
    Slot s = GetSlot(slot);
    if (s.offset < 0) return;
    s.length = 0;
    SetSlot(slot, s);
}

}  // namespace measure
