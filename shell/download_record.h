#pragma once
// The download request record "fittoraDLoadRec.3if": 572 bytes in the
// download folder through which the client asks the download module for a
// file and the module answers. The client writes the request and reads the
// result; the module reads the request and writes the result. Both link this
// one small library and keep one process-wide object each (DLoadRec()).
// Window thread only.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

inline constexpr std::string_view kDownloadFolderName = "服饰搭配下载专区";
inline constexpr std::string_view kDownloadRecordName = "fittoraDLoadRec.3if";

// Request kinds and the list pages they name on the download host.
inline constexpr char kKindProjectList = 'B';
inline constexpr char kKindShowList = 'A';
inline constexpr std::string_view kProjectListPage = "/dressDLoad2010/FittoraProjLst.htm";
inline constexpr std::string_view kProjectListTitle = "试衣项目下载";
inline constexpr std::string_view kShowListPage = "/dressDLoad2010/kzvTShowProjLst.htm";
inline constexpr std::string_view kShowListTitle = "T台秀下载";

// The download host the list pages are fetched from unless the program's
// profile names another under kDownloadHostKey.
inline constexpr std::string_view kDefaultDownloadHost = "http://www.lumora-fashion.com";
inline constexpr std::string_view kDownloadHostKey = "DownloadHost";

// host + page, with exactly one '/' between them.
std::string ListPageUrl(std::string_view host, std::string_view page);

// The record's bytes and layout.
struct DLoadRecord {
    static constexpr std::size_t kSize = 572;
    static constexpr std::size_t kOffKind = 0;
    static constexpr std::size_t kOffStatus = 1;
    static constexpr std::size_t kOffAddress = 8;
    static constexpr std::size_t kAddressWidth = 266;
    static constexpr std::size_t kMaxAddressBytes = 260;
    static constexpr std::size_t kOffTitle = 274;
    static constexpr std::size_t kTitleWidth = 66;
    static constexpr std::size_t kMaxTitleBytes = 60;
    static constexpr std::size_t kOffReserved = 340;
    static constexpr std::size_t kOffFileName = 406;
    static constexpr std::size_t kFileNameWidth = 166;
    static constexpr std::size_t kMaxFileNameBytes = 160;

    std::array<std::uint8_t, kSize> bytes{};
};

class CDLoadRecord {
public:
    CDLoadRecord();
    virtual ~CDLoadRecord() = default;

    // The base directory the record's path is built from.
    void SetDirectory(const std::filesystem::path& dir);
    std::filesystem::path path() const;

    // Kind and status blank, bytes 2-7 blanks, the texts empty.
    void Blank();

    // Client: stores kind, address (at most 260 GBK bytes) and title (at most
    // 60), status ' ', and writes the whole record (the download folder is
    // made when missing). 1 when written, 0 otherwise.
    int WriteRequest(char kind, std::string_view address, std::string_view title);
    // Client: reads the record back; true with the downloaded file's name
    // when its status is 'Y'.
    bool ReadResult(std::string* fileName);

    // Module: reads the request (the status is not looked at).
    bool Read(std::string* address, std::string* title, char* kind);
    // Module: status 'Y' and the file name (at most 160 GBK bytes), then the
    // whole record as last read. False when the name does not fit or the
    // record cannot be written.
    bool WriteResult(std::string_view fileName);

    const DLoadRecord& record() const { return m_record; }

private:
    bool ReadFile();
    bool WriteFile();

    std::filesystem::path m_directory;
    DLoadRecord m_record;
};

CDLoadRecord& DLoadRec();
void ResetDLoadRec();  // tests: back to a fresh object

// A name that travels between installations (a listed download, an entry of
// a package) taken as a plain file name: the UTF-8 form of its GBK bytes,
// or nothing when the bytes are no GBK, the name is empty, "." or "..", or
// holds a path separator ('/' or '\\') or a control character.
std::optional<std::string> PlainFileNameFromGbk(std::string_view gbk);
// The same test for a UTF-8 name that is to be stored as GBK.
bool IsPlainFileName(std::string_view utf8);

}  // namespace shell
