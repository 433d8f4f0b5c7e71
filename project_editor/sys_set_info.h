#pragma once
// CSysSetInfo: Pavanel's settings record "sysSetInfo.sy3" in the start
// directory, 2,252 bytes written and read whole. The record keeps its bytes
// as read (texts as GBK, reserved bytes untouched); fields are read and set
// as UTF-8 text through their numbers. One process-wide instance through
// Instance(); dialogs may also make short-lived ones of their own.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace project_editor {

inline constexpr std::size_t kSysSetInfoSize = 2252;
inline constexpr std::string_view kSysSetInfoFileName = "sysSetInfo.sy3";
inline constexpr std::string_view kOutputFolderName = "KZV输出的网页";

class CSysSetInfo {
public:
    // Field numbers of GetField and SetField.
    enum Field : int {
        kInitialLayer = 0,    // one letter
        kTemplateIndex = 1,   // decimal number
        kShopPage = 2,        // at most 260 bytes
        kPageFolder = 3,      // at most 60 bytes
        kDownloadPage = 4,    // at most 260 bytes
        kMessenger = 5,       // at most 22 bytes
        kPageName = 6,        // at most 60 bytes
        kTemplateName = 11,   // at most 60 bytes
    };

    enum class LoadResult {
        Loaded,
        Created,    // no file: the defaults were written to a new file
        Unreadable, // the file could not be read, or its size is not 2,252 bytes; the record is kept
        NotCreated, // no file, and it could not be created; the record keeps the defaults
    };

    CSysSetInfo();  // the defaults, no directory

    static CSysSetInfo& Instance();
    static void ResetInstance();

    // File "<dir>/sysSetInfo.sy3"; the output folder becomes "<dir>/KZV输出的网页".
    void SetBaseDir(const std::filesystem::path& dir);
    const std::filesystem::path& BaseDir() const { return m_dir; }
    const std::filesystem::path& FilePath() const { return m_file; }

    LoadResult Load();
    bool Save(std::string* error = nullptr) const;

    // A whole record as bytes; false (record unchanged) unless exactly 2,252 bytes.
    bool LoadBytes(std::span<const std::uint8_t> bytes);
    std::span<const std::uint8_t> Bytes() const { return m_record; }

    // "%c" for 0, "%d" for 1, the text for 2..6 and 11; empty for any other number.
    std::string GetField(int field) const;
    // Stores text cut to the field's limit on a character boundary; any other
    // number sets nothing (false). Does not save.
    bool SetField(int field, std::string_view utf8);

    std::string GetOutputFolder() const;
    // Set and save at once; the text is cut to the field on a character boundary.
    bool SetOutputFolder(std::string_view utf8);
    std::string GetSeriesName() const;
    bool SetSeriesName(std::string_view utf8);

private:
    void SetText(std::size_t off, std::size_t width, std::size_t limit, std::string_view utf8);
    std::string Text(std::size_t off, std::size_t width) const;

    std::filesystem::path m_dir;
    std::filesystem::path m_file;
    std::array<std::uint8_t, kSysSetInfoSize> m_record{};
};

}  // namespace project_editor
