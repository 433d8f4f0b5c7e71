#pragma once
// The decisions of the editor's small dialogs, without windows: where the
// make-up swatches go in their frame, the photo-save dialog's target and
// refusals, and the texts these dialogs show. Main thread only.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "image_editor/photo_engine.h"

namespace image_editor {

inline constexpr int kMaxSwatches = 60;
inline constexpr int kSwatchColumns = 6;
inline constexpr int kSwatchPitch = 26;
inline constexpr int kSwatchSize = 22;

// The swatch cells in the frame (client coordinates), column by column, top
// to bottom: rows = (frame height - 6) / 26, six columns, the first column at
// frame left + (frame width - 162) / 2 + 4, the first row at frame top + 8.
// At most `count` cells (and at most 60).
std::vector<Rect> SwatchLayout(const Rect& frame, int count);
// The index of the swatch containing the point, or -1.
int HitSwatch(const std::vector<Rect>& cells, int x, int y);
// The centre the OK button samples around.
inline int SwatchSampleX(const Rect& r) { return (r.left + r.right) / 2 - 1; }
inline int SwatchSampleY(const Rect& r) { return (r.top + r.bottom) / 2; }

inline constexpr std::string_view kDefaultPhotoName = "我的新拍照2011";
inline constexpr std::string_view kDefaultFolderName = "我的照片2011";

enum class PhotoNameCheck { Ok, Empty, BadCharacters };
// A picture name the save can use: not empty, no path separator, not "." or
// "..", none of the characters a file name cannot hold.
PhotoNameCheck CheckPhotoName(std::string_view name);
// "<folder>/<name>.jpg".
std::filesystem::path PhotoSaveTarget(const std::filesystem::path& folder, std::string_view name);

std::string ReplaceQuestion(std::string_view name);   // "图片文件< %s >已存在!是否替换?"
std::string CreateFolderFailed(std::string_view path);  // "创建 < %s > 目录失败!"

// The process-wide texts of the photo-save dialog: the last name and folder.
struct PhotoSaveMemory {
    std::string lastName;
    std::string lastFolder;
};
PhotoSaveMemory& SaveMemory();

}  // namespace image_editor
