#pragma once
// The project chooser's decisions, without windows: what each mode lists and
// where from, how the dialog is titled and placed, and what choosing a row
// does. The dialog (project_chooser.h) shows the list and hands the choice
// back as a ChooserResult; the caller applies it (ApplyChooserResult) or,
// in the packing mode, the dialog has already packed and the result carries
// the message to show.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"

namespace fitting_room {

class CFittingModel;
class CGarmentPicList;

enum class ChooserMode : int {
    Project = 0,                // a web project for the garment list (picture toolbar)
    Market = 1000,              // a web project for the market's garment list
    RoomBackground = 1012,      // a room background (the transparent one too)
    PlatformBackground = 1013,  // a platform background
    Pack = 1066,                // a web project to pack for upload
};

inline constexpr int kMaxChooserNames = 260;
inline constexpr std::string_view kChooserCaption = "自选试衣项目";
inline constexpr std::string_view kBackgroundChooserCaption = "试衣间背景图";
inline constexpr std::string_view kOpenLabel = "打开";
inline constexpr std::string_view kPackOpenLabel = "开始构建";
inline constexpr std::string_view kTransparentLabel = "透明";
inline constexpr std::string_view kPackingCaption = "正在组合输出文件,.....";
inline constexpr std::string_view kRoomBackgroundPattern = "试衣间背景图*.jpg";
inline constexpr std::string_view kPlatformBackgroundPattern = "试衣平台背景*.jpg";
inline constexpr std::string_view kProjectPattern = "*.dm3";

// Where the dialog goes relative to the (x, y) it is given.
enum class ChooserPlacement {
    Centred,        // over its parent
    RightEdgeAtX,   // right edge at x, top at y
    TopLeftAt,      // top-left corner at (x, y)
};

struct ChooserSetup {
    std::string caption;         // window text
    std::string openLabel;       // button 1007
    bool showTransparent = false;  // button 1008
    bool previewBackground = false;  // the preview area shows the picked background
    ChooserPlacement placement = ChooserPlacement::Centred;
    std::filesystem::path folder;  // folder listed (under the base directory)
    std::string pattern;         // file pattern listed ('*' matches any run)
};

// Setup of `mode` under base directory `base`; nullopt for a mode the
// chooser does not know.
std::optional<ChooserSetup> ChooserSetupFor(int mode, const std::filesystem::path& base);

// Titles (names without their extension) of the files in `folder` matching
// `pattern`, in name order; at most `limit`; empty titles left out. The
// extension must be the pattern's exactly, since a row is opened as
// "<title><extension>". A missing folder lists nothing.
std::vector<std::string> ListChooserTitles(const std::filesystem::path& folder, std::string_view pattern,
                                           int limit = kMaxChooserNames);

// Top-left corner of a dialog of width `width` placed for `placement` at (x, y).
struct ChooserPoint {
    int x = 0;
    int y = 0;
};
ChooserPoint ChooserTopLeft(ChooserPlacement placement, int x, int y, int width);

// Picture previewed for a background name.
std::filesystem::path BackgroundPicturePath(const std::filesystem::path& base, std::string_view name);

// The preview: picture of size (pw, ph) in an area (aw, ah) shrunk by 3 on
// each side, centred, scaled by min(width ratio, height ratio), never above 1.
struct PreviewRect {
    int x = 0, y = 0, width = 0, height = 0;
};
PreviewRect PreviewPlacement(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

// The list's rows: up to 260 names, a flag per row (' ' on every fill), and
// which grid row counts as chosen.
class ProjectListRows {
public:
    static constexpr int kCapacity = 299;
    static constexpr int kIconPlain = 10;    // image-list index of a row
    static constexpr int kIconFlagged = 11;  // ... of a row flagged 'Y'

    // Takes at most kCapacity names; every flag becomes ' '.
    void SetRows(const std::vector<std::string>& names);
    int count() const { return static_cast<int>(m_names.size()); }
    const std::string& Name(int row) const;  // empty outside 0..count-1
    int IconIndex(int row) const;
    // The row chosen when the grid's current data row is `currentRow`:
    // nullopt unless 0 <= currentRow < count.
    std::optional<int> Chosen(int currentRow) const;

private:
    std::vector<std::string> m_names;
    std::vector<char> m_flags;
};

enum class ChooserOutcome {
    Cancelled,           // closed without a choice
    Project,             // name: the web project (modes 0 and 1000)
    RoomBackground,      // name and path: a room background (1012)
    TransparentBackground,  // the transparent room background (1012's "透明")
    PlatformBackground,  // name and path: a platform background (1013)
    Packed,              // name; path: the package written (1066)
    PackFailed,          // name; message: why packing failed (1066)
};

struct ChooserResult {
    ChooserOutcome outcome = ChooserOutcome::Cancelled;
    std::string name;
    std::filesystem::path path;  // background picture or package
    std::string message;         // the packer's error text
};

// Packs a project: true and the package's path, or false and the error text.
using ProjectPacker = std::function<bool(std::string_view name, std::filesystem::path* package, std::string* error)>;

// What "打开" (or "开始构建") does with the chosen `name` in `mode`: the
// result for the caller; in the packing mode `pack` runs first.
ChooserResult ChooseName(ChooserMode mode, const std::filesystem::path& base, const std::string& name,
                         const ProjectPacker& pack);
// What "透明" does.
ChooserResult ChooseTransparent();

// Applies a result: the garment list takes the project name (the caller then
// loads it), the model the background. Null targets are skipped. True when
// something was applied.
bool ApplyChooserResult(const ChooserResult& result, CGarmentPicList* list, CFittingModel* model);

// The message the user sees after a packing run: the package's path, or the
// packer's error text; nullopt when nothing was packed (cancelled).
std::optional<platform::MessageRequest> PackReport(const ChooserResult& result);
inline constexpr std::string_view kPackedText = "网上供客户下载的文件已构建: ";
inline constexpr std::string_view kPackFailedText = "构建网上供客户下载的文件失败: ";

// Opens the chooser in `mode` at (x, y) and returns the choice. The window
// side binds the parent window; tests and the toolbar's core pass fakes.
using ChooserRunner = std::function<ChooserResult(ChooserMode mode, int x, int y)>;

}  // namespace fitting_room
