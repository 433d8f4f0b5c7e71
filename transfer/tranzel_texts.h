#pragma once
// The transfer program's texts and fixed names, in one place.
#include <string>
#include <string_view>

namespace transfer {

inline constexpr std::string_view kTranzelCaption = "Lumora文件上传下载专用工具";
// The window menu's About entry (string 101) and the About box.
inline constexpr std::string_view kAboutEntry = "关于 Tranzel(&A)...";
inline constexpr std::string_view kAboutCaption = "关于“Lumora文件上传下载专用工具”";
inline constexpr std::string_view kAboutVersion = "Tranzel 1.0 版";
inline constexpr std::string_view kAboutCopyright = "版权所有 (C) 2012-2026 Lumora";
inline constexpr std::string_view kUploadFolder = "服饰搭配上传数据专区";
inline constexpr std::string_view kRemoteRoot = "web";
inline constexpr int kMaxLocalPackages = 60;

inline constexpr std::string_view kQueryFailed = "网站查询失败!";
inline constexpr std::string_view kQueryDone = "网站查询成功!";
inline constexpr std::string_view kQueryEmpty = "网站目录为空!";
inline constexpr std::string_view kQueryRunning = "正在查询网站目录...";
inline constexpr std::string_view kFolderNotDownloadable = "不能下载目录!\n请重选!";
inline constexpr std::string_view kDownloadDone = "下载成功！";
inline constexpr std::string_view kDownloadFailed = "下载失败！";
inline constexpr std::string_view kNoFileName = "请写入文件名！";
inline constexpr std::string_view kUploadDone = "上传成功! ";
inline constexpr std::string_view kStopUploadQuestion = "文件正在上传, 是否停止上传并退出?\n选“否”则继续上传。";
inline constexpr std::string_view kStopDownloadQuestion = "文件正在下载, 是否停止下载并退出?\n选“否”则继续下载。";

inline std::string DownloadingText(std::string_view path) { return "正在下载 < " + std::string(path) + " >"; }
inline std::string UploadingText(std::string_view path) { return "正在上传 < " + std::string(path) + " >"; }
inline std::string UploadFailedText(std::string_view path) { return "上传失败! 上传失败!< " + std::string(path) + " >"; }
inline std::string InterfaceText(int index) { return "NetTrafficButton using Interface: " + std::to_string(index); }

}  // namespace transfer
