#pragma once
// Interface pictures of the fitting room, kept in the folder "服饰搭配sysproj"
// of the base directory, and the backgrounds of "服饰搭配背景图".
#include <filesystem>
#include <string_view>

namespace fitting_room {

inline constexpr std::string_view kSysprojFolder = "服饰搭配sysproj";
inline constexpr std::string_view kBackgroundFolder = "服饰搭配背景图";

// The cell frame drawn behind thumbnails and behind the stage's preview box,
// by colour scheme (101 blue, 102 red).
inline constexpr std::string_view kCellFrameBlue = "图片框背景BLUE.PNG";
inline constexpr std::string_view kCellFrameRed = "图片框背景RED.PNG";

// "<base>/服饰搭配sysproj/<name>". When no file has exactly that name, a file
// whose name differs only in the letter case of ASCII letters is taken (the
// same picture is named "...BLUE.png" in one place and "...BLUE.PNG" in
// another); with none of either, the exact path is returned.
// Answers are kept while the folder's entries are unchanged, so repeated
// look-ups cost one check of the folder.
std::filesystem::path SysprojPicture(const std::filesystem::path& base, std::string_view name);

// How often a look-up had to read the folder's entries (for tests).
int SysprojFolderScans();

}  // namespace fitting_room
