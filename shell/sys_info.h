#pragma once
// The client's settings record "FittoraSysinfo.dm3": 1,756 bytes in the base
// directory, read once when the main frame is created and written whole after
// every change. Window thread only; reached through SysInfo().
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace shell {

class CSysInfo {
public:
    static constexpr std::size_t kSize = 1756;
    static constexpr std::size_t kMaxPhotoPathBytes = 250;

    CSysInfo();

    void SetDirectory(const std::filesystem::path& dir);
    // Reads the record, or creates the file with the defaults. Returns the
    // int at offset 1688 after a read, 0 otherwise.
    int LoadOrCreate();
    // Writes the whole record; false when it could not be written.
    bool Save();

    void SetShowAutostart(char flag);
    char GetShowAutostart() const;

    // The photo flag, with the stored path in `path` (empty when the stored
    // field holds no terminated path).
    char GetPhoto(std::string* path) const;
    // Stores the path (UTF-8) and saves. A path whose stored form is longer
    // than 250 bytes, or that GBK cannot hold, is refused (false): cutting or
    // mangling it would name another file. False too when the record could
    // not be saved (the path stays in memory; the next save tries again).
    bool SetPhotoPath(const std::string& path);
    // 'Y' for 1, 'N' for anything else; then saves.
    void SetPhotoFlag(int flag);
    // True when the stored path is longer than 4 characters.
    bool HasPhoto() const;

    const std::filesystem::path& path() const { return m_path; }
    const std::array<std::uint8_t, kSize>& bytes() const { return m_record; }

private:
    void ClampCounter();

    std::filesystem::path m_path;
    std::filesystem::path m_directory;
    std::array<std::uint8_t, kSize> m_record;
};

CSysInfo& SysInfo();
void ResetSysInfo();  // tests: back to a fresh object

}  // namespace shell
