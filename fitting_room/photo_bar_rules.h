#pragma once
// The snapshot bar without a window: the picture name the user may type,
// the file a snapshot goes to, and the listing of saved pictures.
#include <filesystem>
#include <string>
#include <vector>

namespace fitting_room {

inline constexpr const char* kPhotoFolderName = "服饰搭配拍照图片";
inline constexpr const char* kDefaultPictureName = "我的照片001";
inline constexpr int kMaxSavedPictures = 66;

// A plain file name: not empty, no path separator or control character,
// not "." or "..", at most 200 bytes.
bool IsPlainPictureName(const std::string& name);

// The snapshot file "<base>/服饰搭配拍照图片/<name>.jpg" (".bmp" when the
// format starts with 'B', ".png" when with 'P') and its format letter
// ('J', 'B' or 'P') for the model's SetSavePath.
struct SnapshotTarget {
    std::filesystem::path path;
    char format = 'J';
};
SnapshotTarget SnapshotFile(const std::filesystem::path& base, const std::string& name, const std::string& format);

// The saved pictures of the folder by name: files whose extension is exactly
// "bmp", "jpg" or "png" (lower case), at most 66, in name order.
std::vector<std::string> SavedPictures(const std::filesystem::path& folder);

}  // namespace fitting_room
