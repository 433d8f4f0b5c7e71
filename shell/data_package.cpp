// Project packages.
//
// Pack checks everything that could make the package incomplete before it
// writes a byte (the project file, every name against the format's limits,
// the number of files), then writes a hidden temporary file in the upload
// folder and renames it over "<name>.rar" only when the header has been
// rewritten last. Unpack reads only the header, the directory and the pool,
// refuses the package unless every offset, size and name lies within the
// file and the pool, and checks the project file inside with the project
// reader. Only then does it write: the project folder is built beside the
// old one (the old files hard-linked in, so files the package does not hold
// stay, and files it does hold replace theirs without touching the old
// copy), then the folders are swapped and the project file renamed into
// place. A failure on the way puts the old folder back.
#include "shell/data_package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <memory>
#include <system_error>

#include "platform/files.h"
#include "platform/record.h"
#include "platform/text.h"
#include "project_editor/project_file.h"
#include "shell/download_record.h"

namespace fs = std::filesystem;

namespace shell {
namespace {

using F = PackageFormat;

std::unique_ptr<CDataPackage>& Instance() {
    static std::unique_ptr<CDataPackage> package = std::make_unique<CDataPackage>();
    return package;
}

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void Reset() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    // Closes and reports whether the last writes reached the file.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const void* data, std::size_t len) {
    return platform::WriteAllToFd(fd, {static_cast<const std::uint8_t*>(data), len});
}

bool PreadAll(int fd, std::uint64_t offset, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

constexpr std::size_t kCopyBuffer = 1 << 20;

// Copies `len` bytes from `in` at `offset` to the current position of `out`.
bool CopyRange(int in, std::uint64_t offset, int out, std::uint64_t len) {
    auto off = static_cast<off64_t>(offset);
    bool kernel = true;
    while (len > 0 && kernel) {
        const ssize_t n = ::copy_file_range(in, &off, out, nullptr, std::min<std::uint64_t>(len, 1u << 30), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
                kernel = false;
                break;
            }
            return false;
        }
        if (n == 0) return false;  // the source ends early
        len -= static_cast<std::uint64_t>(n);
    }
    if (len == 0) return true;
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(std::min<std::uint64_t>(len, kCopyBuffer)));
    while (len > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(len, buf.size()));
        if (!PreadAll(in, static_cast<std::uint64_t>(off), std::span(buf.data(), want))) return false;
        if (!WriteAll(out, buf.data(), want)) return false;
        off += static_cast<off64_t>(want);
        len -= want;
    }
    return true;
}

enum class AppendResult { Ok, ReadError, WriteError, TooLarge };

// Appends the whole of `in` (from its start to its end) to `out`; `added`
// receives the number of bytes. Stops with TooLarge beyond `limit` bytes.
AppendResult AppendFile(int in, int out, std::uint64_t limit, std::uint64_t* added) {
    *added = 0;
    bool kernel = true;
    while (kernel) {
        const std::uint64_t room = limit - *added;
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, std::min<std::uint64_t>(room + 1, 1u << 30), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
                kernel = false;
                break;
            }
            const bool full = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
            return full ? AppendResult::WriteError : AppendResult::ReadError;
        }
        if (n == 0) return AppendResult::Ok;
        *added += static_cast<std::uint64_t>(n);
        if (*added > limit) return AppendResult::TooLarge;
    }
    std::vector<std::uint8_t> buf(kCopyBuffer);
    while (true) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return AppendResult::ReadError;
        }
        if (n == 0) return AppendResult::Ok;
        *added += static_cast<std::uint64_t>(n);
        if (*added > limit) return AppendResult::TooLarge;
        if (!WriteAll(out, buf.data(), static_cast<std::size_t>(n))) return AppendResult::WriteError;
    }
}

std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    return std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
}

struct FolderKind {
    char kind;
    std::string_view folder;
};
constexpr FolderKind kFolders[] = {
    {kEntryPicture, project_editor::kPictureSubfolderName},
    {kEntrySound, kMusicSubfolderName},
    {kEntryShow, kShowSubfolderName},
};

// The files to pack from one folder: regular files (or links to them), by
// name. Sub-folders are not part of a project and are passed over.
std::vector<fs::path> FolderFiles(const fs::path& dir, std::error_code& ec) {
    std::vector<fs::path> out;
    ec.clear();
    if (!fs::is_directory(dir)) return out;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind_ec;
        if (it->is_regular_file(kind_ec)) out.push_back(it->path());
    }
    std::sort(out.begin(), out.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });
    return out;
}

struct PendingFile {
    char kind;
    fs::path path;
    std::string nameGbk;
};

// Removes a half-made file or folder when the operation does not complete.
class Cleanup {
public:
    explicit Cleanup(fs::path p = {}) : m_path(std::move(p)) {}
    ~Cleanup() {
        if (!m_path.empty()) {
            std::error_code ec;
            fs::remove_all(m_path, ec);
        }
    }
    void Set(fs::path p) { m_path = std::move(p); }
    void Release() { m_path.clear(); }

private:
    fs::path m_path;
};

// A folder exists (made when missing); false when something else is in the way.
bool EnsureFolder(const fs::path& dir) {
    std::error_code ec;
    fs::create_directory(dir, ec);
    return fs::is_directory(dir, ec);
}

// Writes `len` bytes of the package at `offset` into a new file `out`; a name
// already there (a link to an old file, say) is removed first, so nothing is
// written through it.
bool ExtractTo(int package, std::uint64_t offset, std::uint64_t len, const fs::path& out) {
    if (::unlink(out.c_str()) != 0 && errno != ENOENT) return false;
    Fd fd(::open(out.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd) return false;
    if (!CopyRange(package, offset, fd.get(), len)) return false;
    return fd.Close();
}

}  // namespace

PackageFault ReadPackageIndex(std::uint64_t fileSize, const PackageReadAt& readAt, std::vector<PackageEntry>* entries) {
    entries->clear();
    std::array<std::uint8_t, F::kHeaderSize> header{};
    if (fileSize < F::kHeaderSize || !readAt(0, header)) return PackageFault::ShortHeader;
    const platform::RecordReader h(header);
    if (h.Char(0) != 'A' || h.Char(1) != 'a') return PackageFault::BadMagic;
    const std::int64_t count = h.I32(F::kOffCount);
    const std::int64_t dirOffset = h.I32(F::kOffDirectory);
    const std::int64_t poolOffset = h.I32(F::kOffPool);
    const std::int64_t poolSize = h.I32(F::kOffPoolSize);
    const auto size = static_cast<std::int64_t>(std::min<std::uint64_t>(fileSize, INT64_MAX / 2));
    if (count < 1 || count > F::kMaxEntries) return PackageFault::BadCount;
    if (dirOffset < 0 || dirOffset + count * static_cast<std::int64_t>(F::kEntrySize) > size)
        return PackageFault::DirectoryOutside;
    if (poolOffset < 0 || poolSize < 0 || poolSize >= F::kPoolCapacity || poolOffset + poolSize > size)
        return PackageFault::PoolOutside;

    std::vector<std::uint8_t> dir(static_cast<std::size_t>(count) * F::kEntrySize);
    std::vector<std::uint8_t> pool(static_cast<std::size_t>(poolSize));
    if (!readAt(static_cast<std::uint64_t>(dirOffset), dir)) return PackageFault::DirectoryOutside;
    if (!pool.empty() && !readAt(static_cast<std::uint64_t>(poolOffset), pool)) return PackageFault::PoolOutside;

    const platform::RecordReader d(dir);
    std::vector<PackageEntry> out;
    out.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const std::size_t e = static_cast<std::size_t>(i) * F::kEntrySize;
        PackageEntry entry;
        entry.kind = d.Char(e);
        const int nameLength = static_cast<std::int8_t>(d.U8(e + 1));
        entry.size = d.I32(e + 8);
        entry.offset = d.I32(e + 12);
        const std::int64_t nameOffset = d.I32(e + 16);
        if (entry.size < 0 || entry.offset < 0 || entry.offset + entry.size > size) return PackageFault::DataOutside;
        // Data lies between the header and the directory; an empty entry
        // reads nothing wherever it points.
        if (entry.size > 0 && (entry.offset < static_cast<std::int64_t>(F::kHeaderSize) ||
                               entry.offset + entry.size > dirOffset))
            return PackageFault::DataOutside;
        const auto poolText = [&](std::int64_t length) {
            return std::string_view(reinterpret_cast<const char*>(pool.data()) + nameOffset,
                                    static_cast<std::size_t>(length));
        };
        if (nameOffset < 0 || nameLength <= 0) {
            // No name: the writer's pool was full (offset -1), or the name
            // was 128 bytes or more and its length byte reads negative.
            const std::int64_t stored = static_cast<std::uint8_t>(nameLength);
            if (nameOffset >= 0 && nameLength < 0 && nameOffset + stored <= poolSize)
                entry.skippedName = platform::GbkToUtf8(poolText(stored));
        } else {
            if (nameOffset + nameLength > poolSize) return PackageFault::NameOutsidePool;
            auto name = PlainFileNameFromGbk(poolText(nameLength));
            if (!name) return PackageFault::BadName;
            entry.name = std::move(*name);
        }
        out.push_back(std::move(entry));
    }
    if (out[0].kind != kEntryProject) return PackageFault::FirstNotProject;
    if (out[0].name.empty()) return PackageFault::BadName;

    // No two entries share a byte: a small package must not unpack into
    // many times its size.
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    for (const PackageEntry& e : out)
        if (e.size > 0) spans.emplace_back(e.offset, e.offset + e.size);
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second) return PackageFault::DataOverlap;
    *entries = std::move(out);
    return PackageFault::None;
}

void CDataPackage::SetDirectories(const fs::path& base) { m_base = base; }

fs::path CDataPackage::PackagePath(std::string_view name) const {
    return platform::JoinPath(m_base, {kUploadFolderName, std::string(name) + ".rar"});
}

fs::path CDataPackage::DownloadPath(std::string_view fileName) const {
    return platform::JoinPath(m_base, {kDownloadFolderName, fileName});
}

bool CDataPackage::Fail(std::string text) {
    m_lastError = std::move(text);
    return false;
}

int CDataPackage::Failed(std::string text) {
    m_lastError = std::move(text);
    return 0;
}

int CDataPackage::Refuse(PackageFault fault) {
    m_lastFault = fault;
    m_lastError = "文件数据出错!!";
    return 0;
}

bool CDataPackage::Pack(std::string_view name) {
    m_lastError.clear();
    if (!IsPlainFileName(name)) return Fail("试衣项目名称无效!!");
    const std::string nameGbk = *platform::Utf8ToGbk(name);
    if (nameGbk.size() > static_cast<std::size_t>(F::kMaxEntryNameBytes)) return Fail("试衣项目名称太长!!");

    fs::path folder = platform::JoinPath(m_base, {project_editor::kCustomProjectFolderName, name});
    if (!fs::is_directory(folder)) folder = platform::JoinPath(m_base, {name});
    if (!fs::is_directory(folder)) return Fail("试衣项目目录不存在!!");

    // The project file goes first; a package without it cannot be unpacked.
    const fs::path projectPath = project_editor::ProjectFilePath(m_base, name);
    if (!platform::FileExists(projectPath)) return Fail("试衣项目文件不存在!!");
    const auto projectBytes = platform::ReadWholeFile(projectPath, project_editor::kMaxProjectFileSize + 1);
    if (!projectBytes) return Fail("读取文件出错: " + projectPath.string());
    if (projectBytes->empty()) return Fail("试衣项目文件是空的!!");
    {
        auto check = std::make_unique<project_editor::ProjectFile>();
        const auto error = project_editor::ReadProjectBytes(*projectBytes, *check);
        if (error != project_editor::ProjectFileError::None)
            return Fail("试衣项目文件数据出错!! " + project_editor::DescribeProjectError(error, projectBytes->size()));
    }

    // Every file and name is checked against the format before writing.
    std::vector<PendingFile> files;
    std::size_t poolSize = nameGbk.size();
    for (const FolderKind& fk : kFolders) {
        std::error_code ec;
        const fs::path dir = folder / fs::path(std::string(fk.folder));
        const auto listed = FolderFiles(dir, ec);
        if (ec) return Fail("读取文件出错: " + dir.string());
        if (listed.size() > static_cast<std::size_t>(F::kMaxListedFiles))
            return Fail("文件太多, 无法打包!! (" + dir.string() + ": " + std::to_string(listed.size()) + " 个, 最多 " +
                        std::to_string(F::kMaxListedFiles) + " 个)");
        for (const fs::path& p : listed) {
            const std::string fileName = p.filename().string();
            const auto gbk = platform::Utf8ToGbk(fileName);
            if (!IsPlainFileName(fileName) || !gbk || gbk->size() > static_cast<std::size_t>(F::kMaxEntryNameBytes))
                return Fail("文件名无法打包: " + p.string());
            poolSize += gbk->size();
            files.push_back({fk.kind, p, *gbk});
        }
    }
    if (files.size() + 1 > static_cast<std::size_t>(F::kMaxEntries))
        return Fail("文件太多, 无法打包!! (" + std::to_string(files.size() + 1) + " 个, 最多 " +
                    std::to_string(F::kMaxEntries) + " 个)");
    if (poolSize >= static_cast<std::size_t>(F::kPoolCapacity)) return Fail("文件名总长度超出限制, 无法打包!!");

    const fs::path target = PackagePath(name);
    if (!EnsureFolder(target.parent_path())) return Fail("创建文件出错!!");
    // Not flushed before it replaces the old package: it is made again from
    // the project at any time, and flushing would double the time of a pack.
    platform::FileSave::Options options;
    options.flush = false;
    platform::FileSave save(target, options);
    if (!save.Begin()) return Fail("创建文件出错!!");

    std::array<std::uint8_t, F::kHeaderSize> header{};
    platform::RecordWriter hw(header);
    hw.Char(0, 'A');
    hw.Char(1, 'a');
    hw.Char(2, ' ');
    const std::size_t headerName = platform::GbkCutLength(nameGbk, F::kMaxNameBytes);
    hw.Bytes(F::kOffName, std::span(reinterpret_cast<const std::uint8_t*>(nameGbk.data()), headerName));
    if (!WriteAll(save.fd(), header.data(), header.size())) return Fail("写入文件出错!!");

    std::vector<std::uint8_t> directory;
    std::string pool;
    std::uint64_t offset = F::kHeaderSize;
    const std::uint64_t maxOffset = INT32_MAX;
    auto addEntry = [&](char kind, std::uint64_t size, const std::string& entryName) {
        std::array<std::uint8_t, F::kEntrySize> e{};
        platform::RecordWriter w(e);
        w.Char(0, kind);
        w.U8(1, static_cast<std::uint8_t>(entryName.size()));
        w.I32(8, static_cast<std::int32_t>(size));
        w.I32(12, static_cast<std::int32_t>(offset));
        w.I32(16, static_cast<std::int32_t>(pool.size()));
        pool += entryName;
        directory.insert(directory.end(), e.begin(), e.end());
        offset += size;
    };

    if (!WriteAll(save.fd(), projectBytes->data(), projectBytes->size())) return Fail("写入文件出错!!");
    addEntry(kEntryProject, projectBytes->size(), nameGbk);
    for (const PendingFile& f : files) {
        Fd in(::open(f.path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!in) return Fail("读取文件出错: " + f.path.string());
        std::uint64_t added = 0;
        switch (AppendFile(in.get(), save.fd(), maxOffset - offset, &added)) {
            case AppendResult::Ok: break;
            case AppendResult::ReadError: return Fail("读取文件出错: " + f.path.string());
            case AppendResult::WriteError: return Fail("写入文件出错!!");
            case AppendResult::TooLarge: return Fail("文件太大, 无法打包!! (最大 2 GB)");
        }
        addEntry(f.kind, added, f.nameGbk);
    }
    if (offset + directory.size() + pool.size() > maxOffset) return Fail("文件太大, 无法打包!! (最大 2 GB)");

    hw.I32(F::kOffCount, static_cast<std::int32_t>(directory.size() / F::kEntrySize));
    hw.I32(F::kOffDirectory, static_cast<std::int32_t>(offset));
    hw.I32(F::kOffPool, static_cast<std::int32_t>(offset + directory.size()));
    hw.I32(F::kOffPoolSize, static_cast<std::int32_t>(pool.size()));
    if (!WriteAll(save.fd(), directory.data(), directory.size()) || !WriteAll(save.fd(), pool.data(), pool.size()) ||
        ::pwrite(save.fd(), header.data(), header.size(), 0) != static_cast<ssize_t>(header.size()))
        return Fail("写入文件出错!!");
    if (!save.Commit()) return Fail("写入文件出错!!");
    return true;
}

int CDataPackage::Unpack(std::string_view fileName, const platform::MessageSink& ask) {
    m_lastError.clear();
    m_lastFault = PackageFault::None;
    m_skipped.clear();
    if (!IsPlainFileName(fileName)) return Failed("下载文件无法找到!!");
    const fs::path packagePath = DownloadPath(fileName);
    if (!platform::FileExists(packagePath)) return Failed("下载文件无法找到!!");
    Fd package(::open(packagePath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!package || ::fstat(package.get(), &st) != 0) return Failed("打开文件出错!!");
    const int pfd = package.get();

    std::vector<PackageEntry> entries;
    const PackageFault fault = ReadPackageIndex(
        static_cast<std::uint64_t>(st.st_size),
        [pfd](std::uint64_t off, std::span<std::uint8_t> out) { return PreadAll(pfd, off, out); }, &entries);
    if (fault != PackageFault::None) return Refuse(fault);

    // The project file inside must be one the programs can open. Bytes past
    // the largest project there can be are what readers ignore anyway: they
    // are not installed.
    const PackageEntry& project = entries[0];
    if (project.size <= 0) return Refuse(PackageFault::BadProjectFile);
    std::vector<std::uint8_t> projectBytes(static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(project.size), project_editor::kMaxProjectFileSize)));
    if (!PreadAll(pfd, static_cast<std::uint64_t>(project.offset), projectBytes))
        return Refuse(PackageFault::DataOutside);
    {
        auto check = std::make_unique<project_editor::ProjectFile>();
        if (project_editor::ReadProjectBytes(projectBytes, *check) != project_editor::ProjectFileError::None)
            return Refuse(PackageFault::BadProjectFile);
    }

    const std::string& name = project.name;
    const fs::path projectPath = project_editor::ProjectFilePath(m_base, name);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(projectPath, ec))) {
        const platform::MbResult answer =
            ask ? ask({std::string(kReplaceProjectQuestion), {}, platform::MbButtons::YesNo, platform::MbIcon::Question})
                : platform::MbResult::No;
        if (answer != platform::MbResult::Yes) {
            m_lastError = "不更新!!";
            return 1;
        }
    }

    // The folders first, then the project's files beside the old ones.
    const fs::path customFolder = platform::JoinPath(m_base, {project_editor::kCustomProjectFolderName});
    if (!EnsureFolder(projectPath.parent_path()) || !EnsureFolder(customFolder))
        return Failed("创建文件目录出错!!");
    const fs::path finalFolder = customFolder / fs::path(name);
    const std::string suffix = UniqueSuffix();
    const fs::path building = customFolder / ("." + name + ".unpack-" + suffix);
    const fs::path backup = customFolder / ("." + name + ".old-" + suffix);
    const bool hadFolder = fs::exists(fs::symlink_status(finalFolder, ec));
    if (hadFolder && !fs::is_directory(fs::symlink_status(finalFolder, ec))) return Failed("创建文件目录出错!!");

    Cleanup removeBuilding(building);
    if (hadFolder) {
        const auto keep = fs::copy_options::recursive | fs::copy_options::copy_symlinks;
        fs::copy(finalFolder, building, keep | fs::copy_options::create_hard_links, ec);
        if (ec) {
            fs::remove_all(building, ec);
            fs::copy(finalFolder, building, keep, ec);
            if (ec) return Failed("创建文件目录出错!!");
        }
    } else if (!fs::create_directory(building, ec)) {
        return Failed("创建文件目录出错!!");
    }
    for (const FolderKind& fk : kFolders) {
        if (!EnsureFolder(building / fs::path(std::string(fk.folder)))) return Failed("创建文件目录出错!!");
    }
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const PackageEntry& e = entries[i];
        const bool known = std::any_of(std::begin(kFolders), std::end(kFolders),
                                       [&e](const FolderKind& fk) { return fk.kind == e.kind; });
        if (e.name.empty() || !known) m_skipped.push_back(e.name.empty() ? e.skippedName : e.name);
    }
    for (const FolderKind& fk : kFolders) {
        const fs::path dir = building / fs::path(std::string(fk.folder));
        for (std::size_t i = 1; i < entries.size(); ++i) {
            const PackageEntry& e = entries[i];
            if (e.kind != fk.kind || e.name.empty()) continue;
            if (!ExtractTo(pfd, static_cast<std::uint64_t>(e.offset), static_cast<std::uint64_t>(e.size),
                           dir / fs::path(e.name)))
                return Failed("恢复创建文件出错!!");
        }
    }

    platform::FileSave projectSave(projectPath);
    if (!projectSave.Begin() || !WriteAll(projectSave.fd(), projectBytes.data(), projectBytes.size()))
        return Failed("恢复创建文件出错!!");

    // The swap: old folder aside, new folder in, project file in, old folder gone.
    if (hadFolder && ::rename(finalFolder.c_str(), backup.c_str()) != 0) return Failed("恢复创建文件出错!!");
    auto restore = [&] {
        if (hadFolder) ::rename(backup.c_str(), finalFolder.c_str());
    };
    if (::rename(building.c_str(), finalFolder.c_str()) != 0) {
        restore();
        return Failed("恢复创建文件出错!!");
    }
    if (!projectSave.Commit()) {
        ::rename(finalFolder.c_str(), building.c_str());
        restore();
        return Failed("恢复创建文件出错!!");
    }
    removeBuilding.Release();
    if (hadFolder) fs::remove_all(backup, ec);
    if (!m_skipped.empty() && ask) {
        char head[128];
        std::snprintf(head, sizeof head, std::string(kSkippedEntriesNote).c_str(), static_cast<int>(m_skipped.size()));
        std::string text = head;
        for (const std::string& n : m_skipped) text += "\n" + (n.empty() ? std::string("(无文件名)") : n);
        ask({text, "特别提示", platform::MbButtons::Ok, platform::MbIcon::Information});
    }
    return 1;
}

CDataPackage& DataPackage() { return *Instance(); }
void ResetDataPackage() { Instance() = std::make_unique<CDataPackage>(); }

}  // namespace shell
