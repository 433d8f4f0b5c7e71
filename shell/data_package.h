#pragma once
// Project packages: one fitting project (its ".dm3" file and the files of its
// three folders) in one file that travels between installations, Windows ones
// included. Pack writes "<name>.rar" into the upload folder; Unpack reads a
// downloaded package from the download folder and installs the project,
// asking before it replaces one. One process-wide object (DataPackage());
// window thread only. Questions go through the MessageSink the caller passes.
//
// Layout (little-endian): a 316-byte header, the files' data back to back,
// the directory of 32-byte entries, the name pool (GBK names, unterminated).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"

namespace shell {

inline constexpr std::string_view kUploadFolderName = "服饰搭配上传数据专区";
inline constexpr std::string_view kMusicSubfolderName = "音乐及语音";
inline constexpr std::string_view kShowSubfolderName = "展示及说明图片";
inline constexpr std::string_view kReplaceProjectQuestion = "下载的试衣项目已存在!是否更新?";

struct PackageFormat {
    static constexpr std::size_t kHeaderSize = 316;
    static constexpr std::size_t kEntrySize = 32;
    static constexpr std::size_t kOffName = 14;
    static constexpr std::size_t kNameWidth = 72;
    static constexpr std::size_t kMaxNameBytes = 70;
    static constexpr std::size_t kOffCount = 196;
    static constexpr std::size_t kOffDirectory = 200;
    static constexpr std::size_t kOffPool = 204;
    static constexpr std::size_t kOffPoolSize = 208;
    static constexpr int kMaxEntries = 880;
    static constexpr int kPoolCapacity = 18800;  // the pool holds at most one byte less
    static constexpr int kMaxEntryNameBytes = 127;
    static constexpr int kMaxListedFiles = 800;  // per folder
};

// Entry kinds, and the project folder each file kind goes to.
inline constexpr char kEntryProject = 'H';
inline constexpr char kEntryPicture = 'A';
inline constexpr char kEntrySound = 'B';
inline constexpr char kEntryShow = 'C';

// Why a package was refused.
enum class PackageFault {
    None,
    ShortHeader,      // fewer than 316 bytes
    BadMagic,         // not 'A' 'a'
    BadCount,         // entry count outside 1..880
    DirectoryOutside, // the directory does not lie within the file
    PoolOutside,      // the pool is negative, too big, or not within the file
    DataOutside,      // an entry's data does not lie between the header and the directory
    DataOverlap,      // two entries share bytes of data
    NameOutsidePool,  // an entry's name does not lie within the pool
    BadName,          // a name that is no plain file name, or a project without a name
    FirstNotProject,  // entry 0 is not the project file
    BadProjectFile,   // the project file inside is damaged
};

struct PackageEntry {
    char kind = 0;
    std::int64_t size = 0;
    std::int64_t offset = 0;
    // UTF-8, a plain file name; empty for an entry without a usable name
    // (name offset -1 from a full pool, or a name of 128 bytes or more),
    // which is skipped.
    std::string name;
    // For messages about a skipped entry: what its pool bytes say, when it
    // has any (a name of 128 bytes or more); else empty.
    std::string skippedName;
};

// Entries of a package that Unpack passed over, and the note shown after it.
inline constexpr std::string_view kSkippedEntriesNote = "下载的试衣项目中有 %d 个文件无法恢复, 已跳过:";

// Reads `out.size()` bytes at `offset`; false when they are not all there.
using PackageReadAt = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>;

// Checks a package of `fileSize` bytes before anything is taken from it:
// header, count, directory, pool, every entry's data (between the header and
// the directory, no two sharing a byte) and name, and that entry 0 is the
// named project file. On None, `entries` holds the directory.
PackageFault ReadPackageIndex(std::uint64_t fileSize, const PackageReadAt& readAt, std::vector<PackageEntry>* entries);

class CDataPackage {
public:
    CDataPackage() = default;
    virtual ~CDataPackage() = default;

    void SetDirectories(const std::filesystem::path& base);

    // Packs project `name` into "<upload folder>/<name>.rar". False with a
    // text for GetLastErrorText when anything is missing, cannot be read or
    // written, or does not fit the format; the package is then not written
    // (an older one stays as it was).
    bool Pack(std::string_view name);

    // Installs the package "<download folder>/<fileName>". 1 when installed,
    // or when the user declined to replace the existing project ("不更新!!");
    // 0 on failure, with nothing changed on disk. `ask` is asked the
    // replace question (Yes replaces), and is told afterwards which entries
    // were skipped (no usable name, or a kind of no project folder).
    int Unpack(std::string_view fileName, const platform::MessageSink& ask);

    const std::string& GetLastErrorText() const { return m_lastError; }
    // Why the last Unpack refused its package (None after other failures).
    PackageFault lastFault() const { return m_lastFault; }
    // The entries the last Unpack skipped, by name where they have one.
    const std::vector<std::string>& lastSkipped() const { return m_skipped; }

    std::filesystem::path PackagePath(std::string_view name) const;
    std::filesystem::path DownloadPath(std::string_view fileName) const;

private:
    bool Fail(std::string text);
    int Failed(std::string text);
    int Refuse(PackageFault fault);

    std::filesystem::path m_base;
    std::string m_lastError;
    PackageFault m_lastFault = PackageFault::None;
    std::vector<std::string> m_skipped;
};

CDataPackage& DataPackage();
void ResetDataPackage();  // tests: back to a fresh object

}  // namespace shell
