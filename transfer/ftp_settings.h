#pragma once
// The FTP settings file "jxClothFtpSet.3ft" of the transfer program: server,
// user name, password and remote site folder in one 524-byte record. The
// three connection texts are stored one character per 32-bit word, shifted
// by a position-dependent amount, so the file shows no readable text.
//
// Texts are UTF-8 in memory and GBK in the file, cut to 36 bytes on a
// character boundary. Reading bounds every field by its width and stops a
// text at the first control character, so a damaged or hostile file gives
// short texts at worst. The file is written through the suite's one save; a
// new one is made with mode 0600 (it holds a password). Nothing here logs or shows a text.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace transfer {

inline constexpr const char* kFtpSettingsFileName = "jxClothFtpSet.3ft";
inline constexpr std::size_t kFtpSettingsSize = 524;
inline constexpr const char* kDefaultSiteFolder = "DressDLoad2010";
inline constexpr std::size_t kFtpTextBytes = 36;  // server, user, password, site folder

// Field offsets of the record.
inline constexpr std::size_t kFtpFolderOffset = 17;
inline constexpr std::size_t kFtpFolderWidth = 37;
inline constexpr std::size_t kFtpServerOffset = 56;
inline constexpr std::size_t kFtpUserOffset = 212;
inline constexpr std::size_t kFtpPasswordOffset = 368;
inline constexpr std::size_t kFtpWords = 37;

// Base, step and filler of one shifted field.
struct ShiftTriple {
    int base;
    int step;
    int filler;
};
inline constexpr ShiftTriple kServerShift{17, 3, 5};
inline constexpr ShiftTriple kUserShift{29, 5, 7};
inline constexpr ShiftTriple kPasswordShift{41, 7, 11};

struct FtpSettings {
    std::string server;
    std::string user;
    std::string password;
    std::string siteFolder = kDefaultSiteFolder;
};

using FtpSettingsBytes = std::array<std::uint8_t, kFtpSettingsSize>;

FtpSettingsBytes EncodeFtpSettings(const FtpSettings& settings);

// nullopt unless `bytes` is a whole record (exactly 524 bytes).
std::optional<FtpSettings> DecodeFtpSettings(std::span<const std::uint8_t> bytes);

std::filesystem::path FtpSettingsPath(const std::filesystem::path& base);

// 1 when the file was read into `settings`; 0 when it is missing, cannot be
// read or is shorter than a record (then `settings` is left as it was). Of a
// longer file the first 524 bytes are the record.
int ReadFtpSettings(const std::filesystem::path& file, FtpSettings* settings);

// 1 when the file was written (through the one save: a new file gets mode
// 0600, a file that exists keeps its mode, a link is written through); 0
// otherwise, and `why` then says so in words for the user. A file this user
// may not write is kept as it is.
int WriteFtpSettings(const std::filesystem::path& file, const FtpSettings& settings, std::string* why = nullptr);

}  // namespace transfer
