#include "fitting_room/project_chooser_core.h"

#include <algorithm>
#include <cmath>

#include "fitting_room/fitting_model.h"
#include "fitting_room/garment_pic_list.h"
#include "fitting_room/sysproj_pictures.h"
#include "platform/error_text.h"
#include "platform/files.h"
#include "project_editor/project_file.h"

namespace fs = std::filesystem;

namespace fitting_room {

std::optional<ChooserSetup> ChooserSetupFor(int mode, const fs::path& base) {
    ChooserSetup setup;
    setup.caption = std::string(kChooserCaption);
    setup.openLabel = std::string(kOpenLabel);
    const fs::path projects = platform::JoinPath(base, {project_editor::kProjectFolderName});
    const fs::path backgrounds = platform::JoinPath(base, {kBackgroundFolder});
    switch (static_cast<ChooserMode>(mode)) {
        case ChooserMode::Project:
            setup.placement = ChooserPlacement::RightEdgeAtX;
            setup.folder = projects;
            setup.pattern = std::string(kProjectPattern);
            return setup;
        case ChooserMode::Market:
            setup.folder = projects;
            setup.pattern = std::string(kProjectPattern);
            return setup;
        case ChooserMode::Pack:
            setup.openLabel = std::string(kPackOpenLabel);
            setup.folder = projects;
            setup.pattern = std::string(kProjectPattern);
            return setup;
        case ChooserMode::RoomBackground:
            setup.caption = std::string(kBackgroundChooserCaption);
            setup.placement = ChooserPlacement::TopLeftAt;
            setup.showTransparent = true;
            setup.previewBackground = true;
            setup.folder = backgrounds;
            setup.pattern = std::string(kRoomBackgroundPattern);
            return setup;
        case ChooserMode::PlatformBackground:
            setup.caption = std::string(kBackgroundChooserCaption);
            setup.placement = ChooserPlacement::TopLeftAt;
            setup.previewBackground = true;
            setup.folder = backgrounds;
            setup.pattern = std::string(kPlatformBackgroundPattern);
            return setup;
    }
    return std::nullopt;
}

std::vector<std::string> ListChooserTitles(const fs::path& folder, std::string_view pattern, int limit) {
    std::vector<std::string> titles;
    if (limit <= 0) return titles;
    // The rows are opened as "<title><extension>", so the extension must be
    // the pattern's own, case included ("春季新款.DM3" could not be opened).
    const std::string_view extension = pattern.substr(std::min(pattern.size(), pattern.rfind('.')));
    for (const fs::path& file : platform::ListFiles(folder, pattern)) {
        if (file.extension().string() != extension) continue;
        std::string title = file.stem().string();
        if (title.empty()) continue;
        titles.push_back(std::move(title));
        if (static_cast<int>(titles.size()) >= limit) break;
    }
    return titles;
}

ChooserPoint ChooserTopLeft(ChooserPlacement placement, int x, int y, int width) {
    switch (placement) {
        case ChooserPlacement::RightEdgeAtX: return {x - width, y};
        case ChooserPlacement::TopLeftAt: return {x, y};
        case ChooserPlacement::Centred: break;
    }
    return {x, y};
}

fs::path BackgroundPicturePath(const fs::path& base, std::string_view name) {
    return platform::JoinPath(base, {kBackgroundFolder, std::string(name) + ".jpg"});
}

PreviewRect PreviewPlacement(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
    const int w = areaWidth - 6;
    const int h = areaHeight - 6;
    if (w <= 0 || h <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {3, 3, 0, 0};
    const double scale = std::min({1.0, static_cast<double>(w) / pictureWidth, static_cast<double>(h) / pictureHeight});
    PreviewRect r;
    r.width = std::max(1, static_cast<int>(std::lround(pictureWidth * scale)));
    r.height = std::max(1, static_cast<int>(std::lround(pictureHeight * scale)));
    r.width = std::min(r.width, w);
    r.height = std::min(r.height, h);
    r.x = 3 + (w - r.width) / 2;
    r.y = 3 + (h - r.height) / 2;
    return r;
}

void ProjectListRows::SetRows(const std::vector<std::string>& names) {
    const std::size_t n = std::min<std::size_t>(names.size(), kCapacity);
    m_names.assign(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(n));
    m_flags.assign(n, ' ');
}

const std::string& ProjectListRows::Name(int row) const {
    static const std::string kNone;
    return row >= 0 && row < count() ? m_names[static_cast<std::size_t>(row)] : kNone;
}

int ProjectListRows::IconIndex(int row) const {
    return row >= 0 && row < count() && m_flags[static_cast<std::size_t>(row)] == 'Y' ? kIconFlagged : kIconPlain;
}

std::optional<int> ProjectListRows::Chosen(int currentRow) const {
    if (currentRow < 0 || currentRow >= count()) return std::nullopt;
    return currentRow;
}

ChooserResult ChooseName(ChooserMode mode, const fs::path& base, const std::string& name, const ProjectPacker& pack) {
    ChooserResult result;
    if (name.empty()) return result;
    result.name = name;
    switch (mode) {
        case ChooserMode::Project:
        case ChooserMode::Market:
            result.outcome = ChooserOutcome::Project;
            return result;
        case ChooserMode::RoomBackground:
            result.outcome = ChooserOutcome::RoomBackground;
            result.path = BackgroundPicturePath(base, name);
            return result;
        case ChooserMode::PlatformBackground:
            result.outcome = ChooserOutcome::PlatformBackground;
            result.path = BackgroundPicturePath(base, name);
            return result;
        case ChooserMode::Pack: {
            result.outcome = ChooserOutcome::PackFailed;
            if (!pack) {
                result.message = "没有打包程序!!";
                return result;
            }
            fs::path package;
            std::string error;
            if (pack(name, &package, &error)) {
                result.outcome = ChooserOutcome::Packed;
                result.path = package;
            } else {
                result.message = error.empty() ? std::string("打包失败!!") : error;
            }
            return result;
        }
    }
    return ChooserResult{};
}

ChooserResult ChooseTransparent() {
    ChooserResult result;
    result.outcome = ChooserOutcome::TransparentBackground;
    result.name = std::string(kTransparentBackground);
    return result;
}

bool ApplyChooserResult(const ChooserResult& result, CGarmentPicList* list, CFittingModel* model) {
    switch (result.outcome) {
        case ChooserOutcome::Project:
            if (!list) return false;
            list->SetProjectName(result.name);
            return true;
        case ChooserOutcome::RoomBackground:
        case ChooserOutcome::TransparentBackground:
            if (!model) return false;
            model->SetBackground(result.name);
            return true;
        case ChooserOutcome::PlatformBackground:
            if (!model) return false;
            model->SetPlatformBackground(result.name);
            return true;
        case ChooserOutcome::Cancelled:
        case ChooserOutcome::Packed:
        case ChooserOutcome::PackFailed: break;
    }
    return false;
}

std::optional<platform::MessageRequest> PackReport(const ChooserResult& result) {
    if (result.outcome == ChooserOutcome::Packed)
        return platform::MessageRequest{std::string(kPackedText) + platform::UserPath(result.path), {}, platform::MbButtons::Ok,
                                        platform::MbIcon::Information};
    if (result.outcome == ChooserOutcome::PackFailed)
        return platform::MessageRequest{std::string(kPackFailedText) + result.message, {}, platform::MbButtons::Ok,
                                        platform::MbIcon::Exclamation};
    return std::nullopt;
}

}  // namespace fitting_room
