// Reading checks the whole file before anything is copied: the counts must
// lie within the capacities and the blocks they announce must be there. What
// the writers of older installations leave behind is accepted: bytes after
// the pool are ignored, and a face string whose offset lies outside the used
// pool reads as no string (PoolStringGbk checks every offset when it is
// read). Only then are the blocks copied, and the records and pool bytes that
// the file does not cover are reset, so a load never mixes two projects.
#include "project_editor/project_file.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "platform/files.h"
#include "platform/record.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace project_editor {

// ---- FixedRecord ----

template <std::size_t Size>
std::int32_t FixedRecord<Size>::Int(std::size_t off) const {
    return platform::RecordReader(m_bytes).I32(off);
}

template <std::size_t Size>
void FixedRecord<Size>::SetInt(std::size_t off, std::int32_t v) {
    platform::RecordWriter(m_bytes).I32(off, v);
}

template <std::size_t Size>
float FixedRecord<Size>::Float(std::size_t off) const {
    return platform::RecordReader(m_bytes).F32(off);
}

template <std::size_t Size>
void FixedRecord<Size>::SetFloat(std::size_t off, float v) {
    platform::RecordWriter(m_bytes).F32(off, v);
}

template <std::size_t Size>
std::string FixedRecord<Size>::Gbk(std::size_t off, std::size_t width) const {
    return platform::ReadFieldBytes(m_bytes, off, width);
}

template <std::size_t Size>
std::string FixedRecord<Size>::Text(std::size_t off, std::size_t width) const {
    return platform::GbkToUtf8(Gbk(off, width));
}

template <std::size_t Size>
bool FixedRecord<Size>::SetText(std::size_t off, std::size_t width, std::string_view utf8) {
    return platform::WriteTextField(m_bytes, off, width, utf8, platform::FieldPad::Nul);
}

template <std::size_t Size>
void FixedRecord<Size>::Fill(std::size_t off, std::size_t len, std::uint8_t v) {
    platform::RecordWriter(m_bytes).Fill(off, len, v);
}

template class FixedRecord<kHeaderSize>;
template class FixedRecord<kInfoSize>;
template class FixedRecord<kPartSize>;
template class FixedRecord<kFaceSize>;
template class FixedRecord<kLegacyPartSize>;

// ---- records ----

void ProjectInfoBlock::Reset() {
    m_bytes.fill(0);
    Fill(0, 268, ' ');
    SetInt(268, 0);
    SetInt(272, 1);
    SetInt(276, 0);
    SetInt(280, 0);
    SetInt(284, 0);
    SetInt(288, 0);
    SetInt(292, 0);
}

void PartRecord::Reset() {
    m_bytes.fill(0);
    SetText(69, 14, "-----");
    SetLetter(83, ' ');
    SetLetter(84, ' ');
    SetText(151, 220, "----");
    SetText(472, 13, "200,200");
    SetLetter(485, ' ');
    SetLetter(486, ' ');
    SetText(487, 17, "100,100");
    SetText(504, 9, "----");
    SetLetter(513, ' ');
    SetLetter(514, '0');
    SetInt(524, -1);
    SetInt(528, -1);
    SetFloat(540, 1.0f);
}

int FaceRecord::FaceCount() const {
    const int v = static_cast<int>(static_cast<unsigned char>(Letter(2))) - '0';
    return std::clamp(v, 0, 9);
}

std::int32_t FaceRecord::StringOffset(int kind, int face) const {
    if (!ValidString(kind, face)) return -1;
    return Int(92 + 64 * static_cast<std::size_t>(kind - 1) + 4 * static_cast<std::size_t>(face));
}

std::uint8_t FaceRecord::StringLength(int kind, int face) const {
    if (!ValidString(kind, face)) return 0;
    return m_bytes[9 + 16 * static_cast<std::size_t>(kind - 1) + static_cast<std::size_t>(face)];
}

bool FaceRecord::SetString(int kind, int face, std::int32_t offset, std::uint8_t length) {
    if (!ValidString(kind, face)) return false;
    SetInt(92 + 64 * static_cast<std::size_t>(kind - 1) + 4 * static_cast<std::size_t>(face), offset);
    m_bytes[9 + 16 * static_cast<std::size_t>(kind - 1) + static_cast<std::size_t>(face)] = length;
    return true;
}

void FaceRecord::Reset() {
    m_bytes.fill(0);
    SetLetter(0, '0');
    SetLetter(1, '0');
    SetLetter(3, 'J');
    Fill(5, 4, ' ');
    Fill(76, 16, 0xFF);   // four ints of -1
    Fill(92, 256, 0xFF);  // every string offset -1
}

namespace {

// Legacy field -> part field. A text (`toWidth` above 0) is copied up to its
// NUL, cut on a character boundary to `room` bytes, into a NUL-filled field
// of `toWidth` bytes; the code or voice text keeps its last byte NUL.
struct LegacyField {
    std::size_t from;
    std::size_t width;
    std::size_t to;
    std::size_t toWidth;
    std::size_t room;
};

constexpr LegacyField kLegacyFields[] = {
    {0, 3, 0, 0, 0},             // category, row type, switch
    {3, 66, 3, 66, 66},          // name
    {69, 14, 69, 14, 14},        // goods code
    {83, 2, 83, 0, 0},           // animation show and sound letters
    {85, 66, 85, 66, 66},        // picture name
    {151, 220, 151, 220, 220},   // web link
    {371, 20, 371, 66, 66},      // face name
    {391, 26, 437, 26, 25},      // code or voice text
    {417, 9, 463, 9, 9},         // animation size
    {426, 13, 472, 13, 13},      // face picture size
    {439, 2, 485, 0, 0},         // change-picture letter, picture kind
    {441, 17, 487, 17, 17},      // size text
    {458, 9, 504, 9, 9},         // price
    {467, 2, 513, 0, 0},         // change-face letter, face letter
    {472, 12, 516, 0, 0},        // x, y, depth
    {484, 12, 532, 0, 0},        // width, height, scale (raw bits)
};

}  // namespace

void ConvertLegacyPart(const LegacyPartRecord& legacy, PartRecord& part) {
    const auto src = legacy.Bytes();
    const auto dst = part.MutableBytes();
    for (const LegacyField& f : kLegacyFields) {
        if (f.toWidth == 0) {
            std::memcpy(dst.data() + f.to, src.data() + f.from, f.width);
            continue;
        }
        const std::string gbk = platform::ReadFieldBytes(src, f.from, f.width);
        const std::size_t n = platform::GbkCutLength(gbk, f.room);
        std::memset(dst.data() + f.to, 0, f.toWidth);
        std::memcpy(dst.data() + f.to, gbk.data(), n);
    }
    platform::RecordWriter(dst).I32(528, -1);
}

void ProjectStringPool::Blank(std::size_t from) {
    if (from < m_bytes.size()) std::memset(m_bytes.data() + from, ' ', m_bytes.size() - from);
}

// ---- ProjectFile ----

int ProjectFile::PartCount() const { return std::clamp(header.StoredPartCount(), 0, kMaxParts); }
int ProjectFile::FaceCount() const { return std::clamp(info.StoredFaceCount(), 0, kMaxFaces); }
int ProjectFile::PoolLength() const { return std::clamp(info.StoredPoolLength(), 0, kPoolCapacity); }
void ProjectFile::SetPartCount(int n) { header.SetStoredPartCount(std::clamp(n, 0, kMaxParts)); }
void ProjectFile::SetFaceCount(int m) { info.SetStoredFaceCount(std::clamp(m, 0, kMaxFaces)); }
void ProjectFile::SetPoolLength(int t) { info.SetStoredPoolLength(std::clamp(t, 0, kPoolCapacity)); }

void ProjectFile::Reset() {
    info.Reset();
    for (FaceRecord& f : faces) f.Reset();
    pool.Blank();
    for (PartRecord& p : parts) p.Reset();
}

std::string ProjectFile::PoolStringGbk(std::int32_t offset, std::int32_t length) const {
    const int used = PoolLength();
    if (offset < 0 || offset >= kPoolCapacity || offset >= used || length <= 0) return {};
    const int n = std::min({length, kMaxPoolReadBytes, used - offset});
    const auto bytes = pool.Bytes();
    return std::string(reinterpret_cast<const char*>(bytes.data()) + offset, static_cast<std::size_t>(n));
}

std::string ProjectFile::PoolString(std::int32_t offset, std::int32_t length) const {
    return platform::GbkToUtf8(PoolStringGbk(offset, length));
}

std::string ProjectFile::FaceStringGbk(int part, int kind, int face) const {
    if (part < 0 || part >= PartCount() || !FaceRecord::ValidString(kind, face)) return {};
    const FaceRecord& f = faces[static_cast<std::size_t>(part)];
    return PoolStringGbk(f.StringOffset(kind, face), f.StringLength(kind, face));
}

std::string ProjectFile::FaceString(int part, int kind, int face) const {
    return platform::GbkToUtf8(FaceStringGbk(part, kind, face));
}

// ---- reading and writing ----

std::string DescribeProjectError(ProjectFileError error, std::size_t fileSize) {
    const std::string size = std::to_string(fileSize);
    switch (error) {
    case ProjectFileError::None: return {};
    case ProjectFileError::Unreadable: return "无法打开项目文件";
    case ProjectFileError::TooShort: return "项目文件不完整 (" + size + " 字节), 比其中记录的内容短";
    case ProjectFileError::BadPartCount: return "项目文件的部件数超出范围 (0-166)";
    case ProjectFileError::BadFaceCount: return "项目文件的多面记录数超出范围 (0-166)";
    case ProjectFileError::BadPoolLength: return "项目文件的文字区长度超出范围 (0-18700)";
    }
    return {};
}

ProjectFileError ReadProjectBytes(std::span<const std::uint8_t> bytes, ProjectFile& out) {
    if (bytes.size() < kBlocksStart) return ProjectFileError::TooShort;
    const platform::RecordReader r(bytes);
    const std::int32_t n = r.I32(368);
    const std::int32_t m = r.I32(kHeaderSize + 268);
    const std::int32_t t = r.I32(kHeaderSize + 276);
    if (n < 0 || n > kMaxParts) return ProjectFileError::BadPartCount;
    if (m < 0 || m > kMaxFaces) return ProjectFileError::BadFaceCount;
    if (t < 0 || t > kPoolCapacity) return ProjectFileError::BadPoolLength;
    const std::size_t partsAt = kBlocksStart;
    const std::size_t facesAt = partsAt + kPartSize * static_cast<std::size_t>(n);
    const std::size_t poolAt = facesAt + kFaceSize * static_cast<std::size_t>(m);
    const std::size_t end = poolAt + static_cast<std::size_t>(t);
    if (bytes.size() < end) return ProjectFileError::TooShort;

    auto copy = [&](auto dst, std::size_t at) { std::memcpy(dst.data(), bytes.data() + at, dst.size()); };
    copy(out.header.MutableBytes(), 0);
    copy(out.info.MutableBytes(), kHeaderSize);
    for (std::size_t i = 0; i < out.parts.size(); ++i) {
        if (i < static_cast<std::size_t>(n))
            copy(out.parts[i].MutableBytes(), partsAt + kPartSize * i);
        else
            out.parts[i].Reset();
    }
    for (std::size_t i = 0; i < out.faces.size(); ++i) {
        if (i < static_cast<std::size_t>(m))
            copy(out.faces[i].MutableBytes(), facesAt + kFaceSize * i);
        else
            out.faces[i].Reset();
    }
    const auto pool = out.pool.MutableBytes();
    if (t > 0) std::memcpy(pool.data(), bytes.data() + poolAt, static_cast<std::size_t>(t));
    out.pool.Blank(static_cast<std::size_t>(t));
    return ProjectFileError::None;
}

void WriteProjectBytes(const ProjectFile& project, std::vector<std::uint8_t>& out) {
    const std::size_t n = static_cast<std::size_t>(project.PartCount());
    const std::size_t m = static_cast<std::size_t>(project.FaceCount());
    const std::size_t t = static_cast<std::size_t>(project.PoolLength());
    out.resize(kBlocksStart + kPartSize * n + kFaceSize * m + t);
    std::uint8_t* p = out.data();
    auto put = [&p](auto src) {
        std::memcpy(p, src.data(), src.size());
        p += src.size();
    };
    put(project.header.Bytes());
    put(project.info.Bytes());
    for (std::size_t i = 0; i < n; ++i) put(project.parts[i].Bytes());
    for (std::size_t i = 0; i < m; ++i) put(project.faces[i].Bytes());
    put(project.pool.Bytes().first(t));

    platform::RecordWriter w(out);
    w.I32(368, static_cast<std::int32_t>(n));
    w.I32(kHeaderSize + 268, static_cast<std::int32_t>(m));
    w.I32(kHeaderSize + 276, static_cast<std::int32_t>(t));
    w.I32(kHeaderSize + 284, 0);
}

std::vector<std::uint8_t> WriteProjectBytes(const ProjectFile& project) {
    std::vector<std::uint8_t> out;
    WriteProjectBytes(project, out);
    return out;
}

ProjectFileError ReadLegacyBytes(std::span<const std::uint8_t> bytes, ProjectHeader& header,
                                 std::array<LegacyPartRecord, kMaxParts>& legacy) {
    if (bytes.size() < kHeaderSize) return ProjectFileError::TooShort;
    const std::int32_t n = platform::RecordReader(bytes).I32(368);
    if (n < 0 || n > kMaxParts) return ProjectFileError::BadPartCount;
    const std::size_t end = kHeaderSize + kLegacyPartSize * static_cast<std::size_t>(n);
    if (bytes.size() < end) return ProjectFileError::TooShort;
    std::memcpy(header.MutableBytes().data(), bytes.data(), kHeaderSize);
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
        std::memcpy(legacy[i].MutableBytes().data(), bytes.data() + kHeaderSize + kLegacyPartSize * i,
                    kLegacyPartSize);
    return ProjectFileError::None;
}

ProjectFileError LoadProjectFile(const fs::path& file, ProjectFile& out) {
    const auto bytes = platform::ReadWholeFile(file, kMaxProjectFileSize + 1);
    if (!bytes) return ProjectFileError::Unreadable;
    return ReadProjectBytes(*bytes, out);
}

// ---- paths ----

fs::path ProjectFilePath(const fs::path& base, std::string_view name) {
    return base / fs::path(std::string(kProjectFolderName)) / fs::path(std::string(name) + ".dm3");
}

fs::path LegacyProjectFilePath(const fs::path& base, std::string_view name) {
    return base / fs::path(std::string(kProjectFolderName)) / fs::path(std::string(name) + ".dy3");
}

fs::path BasicProjectFilePath(const fs::path& base, std::string_view name) {
    return base / fs::path(std::string(kBasicProjectFolderName)) / fs::path(std::string(name) + ".dm3");
}

bool IsUsableProjectName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

fs::path StoredFolderPath(std::string_view storedUtf8, const fs::path& base) {
    if (storedUtf8.empty()) return {};
    bool foreign = false;
    fs::path p = platform::NormaliseStoredPath(storedUtf8, &foreign);
    if (foreign) return {};
    return p.is_absolute() ? p : base / p;
}

namespace {

bool IsFolder(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}

// Whether `p` lies in `base` or below it, both taken as absolute and normal.
bool LiesWithin(const fs::path& p, const fs::path& base) {
    std::error_code ec;
    const fs::path rel = fs::absolute(p, ec).lexically_normal().lexically_relative(fs::absolute(base, ec).lexically_normal());
    return !rel.empty() && *rel.begin() != "..";
}

}  // namespace

fs::path ConfinedFolderPath(std::string_view storedUtf8, const fs::path& base) {
    fs::path p = StoredFolderPath(storedUtf8, base);
    if (p.empty() || !LiesWithin(p, base)) return {};
    // Links inside the base may still lead out of it.
    std::error_code ec, baseEc;
    const fs::path real = fs::weakly_canonical(p, ec);
    const fs::path realBase = fs::weakly_canonical(base, baseEc);
    if (ec || baseEc || !LiesWithin(real, realBase)) return {};
    return p;
}

bool ApplyPictureFolderFallback(ProjectHeader& header, const fs::path& base,
                                std::initializer_list<fs::path> fallbacks) {
    if (IsFolder(ConfinedFolderPath(header.PictureFolder(), base))) return true;
    for (const fs::path& f : fallbacks) {
        if (IsFolder(f)) {
            header.SetPictureFolder(f.string());
            return true;
        }
    }
    if (fallbacks.size() > 0) header.SetPictureFolder(std::data(fallbacks)[fallbacks.size() - 1].string());
    return false;
}

int DepthToSlot(std::int32_t depth, SlotRange range) {
    if (depth < 0) return 10;
    if (depth >= 100) return 90;
    if (range == SlotRange::FromOne && depth == 0) return 1;
    return depth;
}

}  // namespace project_editor
