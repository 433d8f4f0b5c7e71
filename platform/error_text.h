#pragma once
// Failure texts as the user reads them: why a system call failed, in
// Chinese, and a file named by its path in the base directory. Every text
// that tells the user a file or folder could not be read or written is made
// here. Any thread.
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// Whether a refused access was a read or a write, for the wording of
// EACCES and EPERM.
enum class FileAccess { Read, Write };

// The reason for the errno value `err`: a Chinese text for the common ones
// ("没有写入权限", "磁盘空间不足", "是一个文件夹", "文件不存在", ...), the
// system's own text only for those without one.
std::string ErrorReason(int err, FileAccess access = FileAccess::Write);
// The same for an error code of the standard library; one of another
// category (not an errno value) gives its own message.
std::string ErrorReason(const std::error_code& ec, FileAccess access = FileAccess::Write);

// The reason given for something at a file's place that is neither a file
// nor a folder (a device, a pipe).
inline constexpr std::string_view kNotAFileReason = "不是一个普通文件";

// How a file or folder is named to the user: its path in the base directory
// when it lies inside it (the base directory is the process's working
// directory, as every program and module of the suite takes it), else its
// whole path. A relative path is already one in the base directory.
std::string UserPath(const std::filesystem::path& p);
std::string UserPath(const std::filesystem::path& p, const std::filesystem::path& base);

// "<what> <file>: <reason>", for example
// "无法写入 KZV网页项目文件/春装.dm3: 没有写入权限".
std::string FileErrorText(std::string_view what, const std::filesystem::path& p, int err,
                          FileAccess access = FileAccess::Write);
std::string FileErrorText(std::string_view what, const std::filesystem::path& p, const std::error_code& ec,
                          FileAccess access = FileAccess::Write);

}  // namespace platform
