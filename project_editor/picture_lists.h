#pragma once
// The work of the picture/sound list dialog and the background dialog,
// without a window: which files each lists, the name a pick returns, the
// background gallery's layout, and the "convert" of marked backgrounds to a
// size (the scaling itself is a PictureResizer the window side supplies).
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "picture_controls/geometry.h"
#include "project_editor/stage_editor.h"

namespace project_editor {

using picture_controls::Point;
using picture_controls::Rect;

// List kinds of the picture/sound list dialog.
enum ListKind : int { kListShowPictures = 101, kListAnimationPictures = 102, kListAnimationSounds = 103,
                      kListPictureSounds = 104 };
inline constexpr int kMaxResultBytes = 60;
inline constexpr int kMaxBackgrounds = 54;
inline constexpr int kBkgGalleryColumns = 5;
inline constexpr int kBkgGalleryRows = 7;
inline constexpr int kMaxConvertSide = 4000;

std::string ListCaption(int kind);
// The mask of an extension: "*" for the default ".*" (and for "*", "" and
// ".") which means every file, else "*.<ext>" without a leading dot.
std::string ExtensionMask(std::string_view extension);
// The files of "<projectFolder>/<sub>" matching the extension, leaving out
// the system titles, sorted, at most 260.
std::vector<std::string> ListProjectFiles(const std::filesystem::path& projectFolder, std::string_view sub,
                                          std::string_view extension);
// The name a pick returns: the file name without its last extension, cut to
// 60 GBK bytes on a character boundary.
std::string PickResultName(std::string_view fileName);

// What the background dialog lists.
struct BackgroundListing {
    std::filesystem::path folder;  // ends with a separator when joined with a title
    std::string mask;
    std::vector<std::string> titles;  // at most 54
};
// Folder "<base>/KZV背景图片" with "*.jpg"; with a title set, the title is
// the folder and the mask "ctrlFacepic_*.jpg" (plain mode) or "*.jpg". In
// modes other than ' ' titles beginning "ctrlFacepic" or "stageBkg" are
// skipped.
BackgroundListing ListBackgrounds(const std::filesystem::path& base, std::string_view title, char mode);

// Cells of the background gallery in a rectangle: 5 columns and at least 7
// rows (more when more titles are listed), the remainder as margin.
std::vector<Rect> BackgroundCells(const Rect& area, int count);

// A convert size from the two edits: both whole numbers in 1..4000.
struct ConvertSize {
    bool ok = false;
    int width = 0;
    int height = 0;
    std::string error;  // for the user when not ok
};
ConvertSize ParseConvertSize(std::string_view width, std::string_view height);

// Scales a picture file to a size and writes it as JPEG, through a
// temporary file beside it; false with a reason.
class PictureResizer {
public:
    virtual ~PictureResizer() = default;
    virtual bool ResizeToJpeg(const std::filesystem::path& from, const std::filesystem::path& to, int width,
                              int height, std::string& why) = 0;
};

struct ConvertReport {
    int converted = 0;
    std::vector<std::string> failed;  // "title: reason"
};
// Converts "<folder>/<title>.jpg" of every title to the size, in place.
ConvertReport ConvertBackgrounds(const std::filesystem::path& folder, const std::vector<std::string>& titles,
                                 const ConvertSize& size, PictureResizer& resizer);

}  // namespace project_editor
