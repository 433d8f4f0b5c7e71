#pragma once
// Names and texts of the capture dialog: the photo folder and its files, the
// self-timer and format choices, and the messages the user sees.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace camera {

inline constexpr std::string_view kPhotoFolder = "服饰搭配拍照图片";
inline constexpr std::string_view kTempFrameName = "kzvVideoCap123tmp.bmp";
inline constexpr std::string_view kDefaultPhotoName = "拍照图片A1_0";
inline constexpr std::string_view kDefaultFormat = "JPG";
inline constexpr int kPhotoQuality = 100;

// "0", "2" .. "12", "15", "20", "25", "30".
const std::vector<std::string>& SelfTimerItems();
// "BMP", "JPG", "PNG", "GIF".
const std::vector<std::string>& FormatWords();
// The seconds of a self-timer text (0 for anything that is not a number).
int SelfTimerSeconds(std::string_view text);

enum class PhotoNameCheck { Ok, Empty, NotPlain, TooLong };
// A photo name is one plain file name: not empty, no folder separators, no
// "." or "..", no control characters, at most kMaxPhotoNameBytes bytes.
inline constexpr std::size_t kMaxPhotoNameBytes = 200;
PhotoNameCheck CheckPhotoName(std::string_view name);

std::filesystem::path PhotoFolder(const std::filesystem::path& base);
std::filesystem::path TempFramePath(const std::filesystem::path& base);
// "<photo base>/服饰搭配拍照图片/<name>.<format word>", e.g. "...A1_0.JPG".
std::filesystem::path PhotoPath(const std::filesystem::path& base, std::string_view name, std::string_view format);

// The dialog's caption "摄像头拍照 < base >".
std::string DialogCaption(const std::filesystem::path& base);
// The countdown text "elapsed/length".
std::string CountdownText(int elapsed, int length);

// Texts for the user.
inline constexpr std::string_view kNoCameraText = "没有找到摄像头, 不能拍照。\n请接上摄像头, 再重新打开“摄像头拍照”。";
inline constexpr std::string_view kCameraStartFailedText = "摄像头无法开启, 不能拍照。";
inline constexpr std::string_view kCameraStoppedText = "摄像头已停止, 不能拍照。";
inline constexpr std::string_view kShotTimedOutText = "摄像头没有送来画面, 这次拍照没有完成。";
inline constexpr std::string_view kFrameWriteFailedText = "拍下的画面无法写入文件, 这次拍照没有完成。";
inline constexpr std::string_view kPhotoSaveFailedText = "照片无法保存: ";
inline constexpr std::string_view kPhotoFolderFailedText = "照片目录无法建立: ";
inline constexpr std::string_view kPhotoNameEmptyText = "请先填写照片名。";
inline constexpr std::string_view kPhotoNameNotPlainText = "照片名只能是一个文件名, 不能含有 / 或 \\ 等目录符号。";
inline constexpr std::string_view kPhotoNameTooLongText = "照片名太长。";

// The text for a name check that is not Ok (empty for Ok).
std::string_view PhotoNameProblem(PhotoNameCheck check);

}  // namespace camera
