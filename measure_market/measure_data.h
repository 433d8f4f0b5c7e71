#pragma once
// The measurement data folder under the base directory and the files that
// the measurement space and the market read from it. The base directory is
// taken as it is (blanks and all); every path is built from it here, so the
// measurement form, the size-table download and the market's size reference
// picture agree on where things lie.
#include <filesystem>
#include <string_view>

namespace measure {

inline constexpr std::string_view kDataFolder = "人体测量图片及数据";
inline constexpr std::string_view kBodyFileName = "人体测量记录表.by3";
inline constexpr std::string_view kSizeFileName = "服饰尺码记录表.cd3";
inline constexpr std::string_view kMaleFigure = "男模特(人体测量).bmp";
inline constexpr std::string_view kFemaleFigure = "女模特(人体测量).bmp";
inline constexpr std::string_view kFigureBackground = "人体测量背景图.jpg";
// The size-chart pictures: "尺码图_*.jpg", listed by their titles.
inline constexpr std::string_view kSizePicturePattern = "尺码图_*.jpg";
// The market's garment size reference picture.
inline constexpr std::string_view kSizeReferencePicture = "服装尺寸参考图.jpg";

// base / 人体测量图片及数据
std::filesystem::path DataFolder(const std::filesystem::path& base);
// base / 人体测量图片及数据 / name
std::filesystem::path DataFile(const std::filesystem::path& base, std::string_view name);

}  // namespace measure
