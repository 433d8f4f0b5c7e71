#pragma once
// CCameraSysInfo: the image editor's settings record "kzvECameraSysInfo.e3f"
// in the base directory, 4,124 bytes written and read whole. It keeps the
// photo folder and four texts of the editor, and offers the dialogs the photo
// folder, the basic projects, the make-up swatch pictures and a mode flag.
// The record keeps its bytes as read (texts as GBK, reserved bytes untouched);
// texts go in and out as UTF-8. One process-wide instance through Instance();
// main thread only.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace image_editor {

inline constexpr std::size_t kCameraSysInfoSize = 4124;
inline constexpr std::string_view kCameraSysInfoFileName = "kzvECameraSysInfo.e3f";
inline constexpr std::string_view kPhotoFolderName = "服饰搭配拍照图片";
inline constexpr std::string_view kBasicProjectFolder = "服饰搭配基本项目";
inline constexpr std::string_view kSysPictureFolder = "ephoto_syspic";

// Field offsets and widths of the record.
namespace camrec {
inline constexpr std::size_t kStatusAt = 40;  // 16-bit value returned by LoadOrCreate
inline constexpr std::size_t kPhotoDir0At = 68;
inline constexpr std::size_t kPhotoDir1At = 640;
inline constexpr std::size_t kPhotoDirWidth = 468;
inline constexpr std::size_t kText1At = 1212;  // ids 101 / 102
inline constexpr std::size_t kText2At = 1678;  // ids 301 / 302
inline constexpr std::size_t kText3At = 2144;  // ids 601 / 602
inline constexpr std::size_t kText4At = 2610;  // ids 201 / 202
inline constexpr std::size_t kTextWidth = 466;
inline constexpr std::size_t kTextLimit = 256;  // GBK bytes kept of a stored text
}  // namespace camrec

class CCameraSysInfo {
public:
    CCameraSysInfo() = default;

    static CCameraSysInfo& Instance();
    static void ResetInstance();

    // Keeps the directory and builds the record's path.
    void SetBaseDir(const std::filesystem::path& dir);
    const std::filesystem::path& BaseDir() const { return m_dir; }
    const std::filesystem::path& FilePath() const { return m_file; }

    // An existing file of the record's size is read whole and its 16-bit
    // value at offset 40 returned. No file: both photo folders are set to the
    // base directory's photo folder, the file is written, 0 returned. A file
    // that cannot be read, or is not 4,124 bytes long, leaves the record as it
    // was and gives 0.
    std::uint16_t LoadOrCreate();
    // Writes the whole record (through a temporary file); false on failure.
    bool Save() const;

    // Photo folder path #0, or the base directory's photo folder while that
    // field is empty.
    std::filesystem::path GetPhotoDir() const;

    // Ids 101, 301, 601, 201 return text field 1..4; ids 102, 302, 602, 202
    // store `in` (cut to 256 GBK bytes on a character boundary), save the
    // record and return the stored text. Other ids return an empty text.
    std::string GetSetText(int id, std::string_view in = {});

    // Titles of "<base>/服饰搭配基本项目/*.dm3", sorted by name, at most `capacity`.
    std::vector<std::string> ListProjects(int capacity) const;
    // Paths of "<base>/ephoto_syspic/kzvECam化装盒_COLOR*.png", at most `capacity`.
    std::vector<std::filesystem::path> ListMakeupSwatches(int capacity) const;
    // The part of `path` before its last separator ('\' or '/'), looking at its
    // first 256 characters; empty when there is none.
    static std::string DirectoryOf(std::string_view path);
    // 9 sets the flag to 1, 11 clears it; other codes leave it. Returns it.
    int ModeFlag(int code);

    std::span<const std::uint8_t> Bytes() const { return m_record; }
    bool LoadBytes(std::span<const std::uint8_t> bytes);

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_file;
    int m_mode = 0;
    std::array<std::uint8_t, kCameraSysInfoSize> m_record{};
};

}  // namespace image_editor
