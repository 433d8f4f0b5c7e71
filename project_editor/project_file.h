#pragma once
// The fitting-project file ".dm3" and its older form ".dy3".
//
// A ".dm3" file is five blocks one after another: ProjectHeader (372 bytes),
// ProjectInfoBlock (296), N PartRecords (544 each), M FaceRecords (348 each)
// and T bytes of the ProjectStringPool. Every record keeps its bytes exactly
// as read (texts as GBK, reserved bytes, float bits), so a file that nobody
// changed is written back byte for byte; the accessors decode one field at a
// time at its offset and convert texts to and from UTF-8.
//
// This is the one reader and writer of the format: Pavanel's project store,
// Fittora's garment picture lists and Pictova's basic-project reader all
// parse through ReadProjectBytes. Pure data, no I/O except LoadProjectFile.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace project_editor {

inline constexpr int kMaxParts = 166;
inline constexpr int kMaxFaces = 166;
inline constexpr int kPoolCapacity = 18700;
inline constexpr int kFaceStringKinds = 4;     // kinds 1..4
inline constexpr int kFaceStringsPerKind = 16;  // faces 0..15
// Stage positions taken from a file are clamped to this many pixels either
// way; the stage offsets and the pan are added to them.
inline constexpr std::int32_t kMaxStagePosition = 20000;
constexpr std::int32_t ClampStagePosition(std::int32_t v) {
    return v < -kMaxStagePosition ? -kMaxStagePosition : v > kMaxStagePosition ? kMaxStagePosition : v;
}
inline constexpr int kMaxPoolReadBytes = 66;    // a pool text is read as at most this long
inline constexpr int kMaxAddStringBytes = 77;   // a text added to the pool is cut to this

inline constexpr std::size_t kHeaderSize = 372;
inline constexpr std::size_t kInfoSize = 296;
inline constexpr std::size_t kPartSize = 544;
inline constexpr std::size_t kFaceSize = 348;
inline constexpr std::size_t kLegacyPartSize = 496;
inline constexpr std::size_t kBlocksStart = kHeaderSize + kInfoSize;  // 668
inline constexpr std::size_t kMaxProjectFileSize =
    kBlocksStart + kPartSize * kMaxParts + kFaceSize * kMaxFaces + kPoolCapacity;
inline constexpr std::size_t kMaxLegacyFileSize = kHeaderSize + kLegacyPartSize * kMaxParts;

// Folder and file names under the base directory.
inline constexpr std::string_view kProjectFolderName = "KZV网页项目文件";
inline constexpr std::string_view kBasicProjectFolderName = "服饰搭配基本项目";
inline constexpr std::string_view kCustomProjectFolderName = "服饰搭配自定试衣项目";
inline constexpr std::string_view kPictureSubfolderName = "试衣及按钮图片";
inline constexpr std::string_view kDefaultPictureFolderName = "图片目录PNG";
inline constexpr std::string_view kSampleProjectName = "2010秋冬女装";

// A record of fixed size held as its raw bytes, with typed field access at
// explicit offsets (little-endian).
template <std::size_t Size>
class FixedRecord {
public:
    static constexpr std::size_t kSize = Size;

    std::span<const std::uint8_t, Size> Bytes() const { return m_bytes; }
    std::span<std::uint8_t, Size> MutableBytes() { return m_bytes; }
    bool operator==(const FixedRecord&) const = default;

protected:
    char Letter(std::size_t off) const { return static_cast<char>(m_bytes[off]); }
    void SetLetter(std::size_t off, char c) { m_bytes[off] = static_cast<std::uint8_t>(c); }
    std::int32_t Int(std::size_t off) const;
    void SetInt(std::size_t off, std::int32_t v);
    float Float(std::size_t off) const;
    void SetFloat(std::size_t off, float v);
    // GBK bytes of a NUL-terminated text field (the whole field when it holds no NUL).
    std::string Gbk(std::size_t off, std::size_t width) const;
    std::string Text(std::size_t off, std::size_t width) const;
    // Stores UTF-8 text as GBK cut on a character boundary to width - 1 bytes
    // and NUL-filled; false when it had to be cut.
    bool SetText(std::size_t off, std::size_t width, std::string_view utf8);
    void Fill(std::size_t off, std::size_t len, std::uint8_t v);

    std::array<std::uint8_t, Size> m_bytes{};
};

class ProjectHeader : public FixedRecord<kHeaderSize> {
public:
    char StateLetter() const { return Letter(0); }
    void SetStateLetter(char c) { SetLetter(0, c); }
    char EditionLetter() const { return Letter(1); }
    void SetEditionLetter(char c) { SetLetter(1, c); }
    // The folder of the part pictures as stored (UTF-8; may be another
    // machine's path with backslashes or a drive letter).
    std::string PictureFolder() const { return Text(2, 366); }
    std::string PictureFolderGbk() const { return Gbk(2, 366); }
    bool SetPictureFolder(std::string_view utf8) { return SetText(2, 366, utf8); }
    // N as stored; see ProjectFile::PartCount for the bounded value.
    std::int32_t StoredPartCount() const { return Int(368); }
    void SetStoredPartCount(std::int32_t n) { SetInt(368, n); }
};

class ProjectInfoBlock : public FixedRecord<kInfoSize> {
public:
    std::int32_t StoredFaceCount() const { return Int(268); }
    void SetStoredFaceCount(std::int32_t m) { SetInt(268, m); }
    std::int32_t StoredPoolLength() const { return Int(276); }
    void SetStoredPoolLength(std::int32_t t) { SetInt(276, t); }
    std::int32_t ModifiedCounter() const { return Int(284); }
    void SetModifiedCounter(std::int32_t c) { SetInt(284, c); }
    // Blank reserved bytes, counts 0, the reserved 1 at 272, counter 0.
    void Reset();
};

class PartRecord : public FixedRecord<kPartSize> {
public:
    char Category() const { return Letter(0); }
    void SetCategory(char c) { SetLetter(0, c); }
    // 'T' caption row, 'K' locked, 'n' added in bulk, 'x' template item.
    char RowType() const { return Letter(1); }
    void SetRowType(char c) { SetLetter(1, c); }
    char Switch() const { return Letter(2); }
    void SetSwitch(char c) { SetLetter(2, c); }
    std::string Name() const { return Text(3, 66); }
    std::string NameGbk() const { return Gbk(3, 66); }
    bool SetName(std::string_view s) { return SetText(3, 66, s); }
    std::string GoodsCode() const { return Text(69, 14); }
    bool SetGoodsCode(std::string_view s) { return SetText(69, 14, s); }
    char AnimationShowLetter() const { return Letter(83); }
    void SetAnimationShowLetter(char c) { SetLetter(83, c); }
    char AnimationSoundLetter() const { return Letter(84); }
    void SetAnimationSoundLetter(char c) { SetLetter(84, c); }
    std::string PictureName() const { return Text(85, 66); }
    std::string PictureNameGbk() const { return Gbk(85, 66); }
    bool SetPictureName(std::string_view s) { return SetText(85, 66, s); }
    std::string WebLink() const { return Text(151, 220); }
    bool SetWebLink(std::string_view s) { return SetText(151, 220, s); }
    std::string FaceName() const { return Text(371, 66); }
    bool SetFaceName(std::string_view s) { return SetText(371, 66, s); }
    // Byte 462, the last of the field, stays NUL.
    std::string VoiceText() const { return Text(437, 26); }
    bool SetVoiceText(std::string_view s) { return SetText(437, 26, s); }
    std::string AnimationSize() const { return Text(463, 9); }
    bool SetAnimationSize(std::string_view s) { return SetText(463, 9, s); }
    std::string FacePictureSize() const { return Text(472, 13); }
    bool SetFacePictureSize(std::string_view s) { return SetText(472, 13, s); }
    char ChangePictureLetter() const { return Letter(485); }
    void SetChangePictureLetter(char c) { SetLetter(485, c); }
    // 'J' ".jpg", 'G' ".gif", anything else ".png".
    char PictureKind() const { return Letter(486); }
    void SetPictureKind(char c) { SetLetter(486, c); }
    std::string SizeText() const { return Text(487, 17); }
    bool SetSizeText(std::string_view s) { return SetText(487, 17, s); }
    std::string Price() const { return Text(504, 9); }
    bool SetPrice(std::string_view s) { return SetText(504, 9, s); }
    char ChangeFaceLetter() const { return Letter(513); }
    void SetChangeFaceLetter(char c) { SetLetter(513, c); }
    char FaceLetter() const { return Letter(514); }
    void SetFaceLetter(char c) { SetLetter(514, c); }
    std::int32_t X() const { return Int(516); }
    void SetX(std::int32_t v) { SetInt(516, v); }
    std::int32_t Y() const { return Int(520); }
    void SetY(std::int32_t v) { SetInt(520, v); }
    // Stage layer as stored; DepthToSlot turns it into a slot.
    std::int32_t Depth() const { return Int(524); }
    void SetDepth(std::int32_t v) { SetInt(524, v); }
    std::int32_t Reserved528() const { return Int(528); }
    std::int32_t Width() const { return Int(532); }
    void SetWidth(std::int32_t v) { SetInt(532, v); }
    std::int32_t Height() const { return Int(536); }
    void SetHeight(std::int32_t v) { SetInt(536, v); }
    float Scale() const { return Float(540); }
    void SetScale(float v) { SetFloat(540, v); }

    // A blank part: all bytes 0, then the defaults of a new record
    // (goods code "-----", web link "----", sizes "200,200" and "100,100",
    // price "----", face letter '0', depth and 528 -1, scale 1.0).
    void Reset();
};

class FaceRecord : public FixedRecord<kFaceSize> {
public:
    char PictureControlLetter() const { return Letter(0); }
    void SetPictureControlLetter(char c) { SetLetter(0, c); }
    char SoundControlLetter() const { return Letter(1); }
    void SetSoundControlLetter(char c) { SetLetter(1, c); }
    char FaceCountLetter() const { return Letter(2); }
    void SetFaceCountLetter(char c) { SetLetter(2, c); }
    // The face count digit as readers take it: 0..9, anything below '0' is
    // 0 and anything above '9' is 9.
    int FaceCount() const;
    char FaceKind() const { return Letter(3); }
    void SetFaceKind(char c) { SetLetter(3, c); }
    char Mark() const { return Letter(4); }
    void SetMark(char c) { SetLetter(4, c); }

    // String n (0..15) of kind t (1..4). Out-of-range kinds or faces read as
    // "no string" (offset -1, length 0) and are not written.
    static bool ValidString(int kind, int face) {
        return kind >= 1 && kind <= kFaceStringKinds && face >= 0 && face < kFaceStringsPerKind;
    }
    std::int32_t StringOffset(int kind, int face) const;
    std::uint8_t StringLength(int kind, int face) const;
    bool SetString(int kind, int face, std::int32_t offset, std::uint8_t length);

    // All bytes 0, then '0', '0', NUL, 'J', blanks at 5..8, lengths 0, the
    // four ints at 76 and every string offset -1.
    void Reset();
};

// A part record of the older ".dy3" file.
class LegacyPartRecord : public FixedRecord<kLegacyPartSize> {
public:
    std::string Name() const { return Text(3, 66); }
    std::int32_t Depth() const { return Int(480); }
};

// Copies a legacy record field by field into a part that was reset: texts up
// to their NUL (bounded by the field), letters and ints as they are, the
// scale's four bytes unchanged, and the reserved int at 528 set to -1.
void ConvertLegacyPart(const LegacyPartRecord& legacy, PartRecord& part);

class ProjectStringPool {
public:
    std::span<const std::uint8_t> Bytes() const { return m_bytes; }
    std::span<std::uint8_t> MutableBytes() { return m_bytes; }
    // Fills the pool with blanks from `from` to its end.
    void Blank(std::size_t from = 0);

private:
    std::array<std::uint8_t, kPoolCapacity> m_bytes{};
};

// One project in memory, with the capacities of the format. Counts are read
// from the header and the info block, bounded to the capacities.
struct ProjectFile {
    ProjectHeader header;
    ProjectInfoBlock info;
    std::array<PartRecord, kMaxParts> parts;
    std::array<FaceRecord, kMaxFaces> faces;
    ProjectStringPool pool;

    ProjectFile() { Reset(); }

    int PartCount() const;   // N, 0..166
    int FaceCount() const;   // M, 0..166
    int PoolLength() const;  // T, 0..18,700
    void SetPartCount(int n);
    void SetFaceCount(int m);
    void SetPoolLength(int t);

    // A blank project: info block, all face records, the pool and all part
    // records to their defaults; the header (and N) is not touched.
    void Reset();

    // Pool text at `offset`, at most `length` and at most 66 bytes, cut at
    // the used end of the pool (T); empty when the offset is outside the pool.
    std::string PoolStringGbk(std::int32_t offset, std::int32_t length) const;
    std::string PoolString(std::int32_t offset, std::int32_t length) const;
    // Face string n of kind t of part i: empty unless 0 <= i < N, t in 1..4
    // and n in 0..15, then the pool text at the record's offset and length.
    std::string FaceStringGbk(int part, int kind, int face) const;
    std::string FaceString(int part, int kind, int face) const;
};

enum class ProjectFileError {
    None,
    Unreadable,       // the file could not be opened or read
    TooShort,         // shorter than the blocks it announces (or than the two fixed blocks)
    BadPartCount,     // N outside 0..166
    BadFaceCount,     // M outside 0..166
    BadPoolLength,    // T outside 0..18,700
};

// Why a file was refused, for a message to the user (Chinese, UTF-8).
std::string DescribeProjectError(ProjectFileError error, std::size_t fileSize = 0);

// Checks a whole ".dm3" file and, only when it is sound, copies it into
// `out`: records past N and M are reset and the pool past T blanked, so
// nothing of a previous project stays behind. On a refusal `out` is not
// touched. The modified counter is taken as read.
ProjectFileError ReadProjectBytes(std::span<const std::uint8_t> bytes, ProjectFile& out);

// The ".dm3" bytes of a project: the five blocks with N, M and T as stored
// (bounded to the capacities) and the modified counter written as 0.
std::vector<std::uint8_t> WriteProjectBytes(const ProjectFile& project);
void WriteProjectBytes(const ProjectFile& project, std::vector<std::uint8_t>& out);

// Checks a whole ".dy3" file (header, then N legacy records) and, only when
// it is sound, copies the header into `header` and the records into `legacy`.
ProjectFileError ReadLegacyBytes(std::span<const std::uint8_t> bytes, ProjectHeader& header,
                                 std::array<LegacyPartRecord, kMaxParts>& legacy);

// Reads a ".dm3" file from disk through ReadProjectBytes.
ProjectFileError LoadProjectFile(const std::filesystem::path& file, ProjectFile& out);

// "<base>/KZV网页项目文件/<name>.dm3" and ".dy3"; "<base>/服饰搭配基本项目/<name>.dm3".
std::filesystem::path ProjectFilePath(const std::filesystem::path& base, std::string_view name);
std::filesystem::path LegacyProjectFilePath(const std::filesystem::path& base, std::string_view name);
std::filesystem::path BasicProjectFilePath(const std::filesystem::path& base, std::string_view name);

// A project name that can be used as a file name: not empty, no path
// separator, not "." or "..".
bool IsUsableProjectName(std::string_view name);

// The folder a stored path names on this machine: backslashes become '/',
// a relative path is taken from the base directory. Empty when the path is
// empty or belongs to another machine (a drive letter or a network share).
std::filesystem::path StoredFolderPath(std::string_view storedUtf8, const std::filesystem::path& base);

// StoredFolderPath, but only for a folder inside the base directory (links
// followed): a project from elsewhere must not point the programs, which
// also write pictures there, at other folders. Empty otherwise.
std::filesystem::path ConfinedFolderPath(std::string_view storedUtf8, const std::filesystem::path& base);

// Keeps the header's picture folder when it names an existing folder inside
// the base directory; otherwise stores the first of `fallbacks` that exists,
// or the last of them when none does. Returns whether the folder finally
// kept exists.
bool ApplyPictureFolderFallback(ProjectHeader& header, const std::filesystem::path& base,
                                std::initializer_list<std::filesystem::path> fallbacks);

// Stage slots. Pavanel's stage has slots 0..99 with slot 0 in front; the
// fitting room and the image editor use slots 1..99 with slot 1 in front.
// Either way a depth below 0 goes to slot 10 and one of 100 or more to slot
// 90; for 1..99 stages a depth of 0 goes to slot 1.
enum class SlotRange { FromZero, FromOne };
int DepthToSlot(std::int32_t depth, SlotRange range);

}  // namespace project_editor
