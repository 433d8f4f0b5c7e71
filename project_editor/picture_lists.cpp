#include "project_editor/picture_lists.h"

#include <algorithm>

#include "platform/files.h"
#include "project_editor/part_params.h"
#include "project_editor/project_dialogs.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

std::string TitleOf(std::string_view name) {
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

bool StartsWith(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }

}  // namespace

std::string ListCaption(int kind) {
    switch (kind) {
        case kListShowPictures: return "展示及说明图片列表";
        case kListAnimationPictures: return "动画图片列表";
        case kListAnimationSounds: return "动画音乐(或语音)列表";
        case kListPictureSounds: return "图片音乐(或语音)列表";
        default: return {};
    }
}

std::string ExtensionMask(std::string_view extension) {
    while (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    if (extension.empty() || extension == "*") return "*";
    return "*." + std::string(extension);
}

std::vector<std::string> ListProjectFiles(const fs::path& projectFolder, std::string_view sub,
                                          std::string_view extension) {
    std::vector<std::string> names;
    const fs::path folder = projectFolder / fs::path(std::string(sub));
    for (const fs::path& p : platform::ListFiles(folder, ExtensionMask(extension))) {
        if (names.size() >= kMaxListedNames) break;
        std::string name = p.filename().string();
        if (name.empty() || IsSystemFileTitle(TitleOf(name))) continue;
        names.push_back(std::move(name));
    }
    return names;
}

std::string PickResultName(std::string_view fileName) { return CutToGbkBytes(TitleOf(fileName), kMaxResultBytes); }

BackgroundListing ListBackgrounds(const fs::path& base, std::string_view title, char mode) {
    BackgroundListing l;
    if (title.empty()) {
        l.folder = base / fs::path(std::string(kBackgroundFolderName));
        l.mask = "*.jpg";
    } else {
        l.folder = fs::path(std::string(title));
        l.mask = mode == ' ' ? "ctrlFacepic_*.jpg" : "*.jpg";
    }
    for (const fs::path& p : platform::ListFiles(l.folder, l.mask)) {
        if (static_cast<int>(l.titles.size()) >= kMaxBackgrounds) break;
        const std::string t = TitleOf(p.filename().string());
        if (t.empty()) continue;
        if (mode != ' ' && (StartsWith(t, "ctrlFacepic") || StartsWith(t, "stageBkg"))) continue;
        l.titles.push_back(t);
    }
    return l;
}

std::vector<Rect> BackgroundCells(const Rect& area, int count) {
    std::vector<Rect> cells;
    const int rows = std::max(kBkgGalleryRows, (count + kBkgGalleryColumns - 1) / kBkgGalleryColumns);
    const int w = (area.width() - 4) / kBkgGalleryColumns;
    const int h = (area.height() - 4) / rows;
    if (w <= 0 || h <= 0) return cells;
    const int mx = (area.width() - w * kBkgGalleryColumns) / 2;
    const int my = (area.height() - h * rows) / 2;
    for (int i = 0; i < count; ++i) {
        const int x = area.left + mx + (i % kBkgGalleryColumns) * w;
        const int y = area.top + my + (i / kBkgGalleryColumns) * h;
        cells.push_back({x, y, x + w, y + h});
    }
    return cells;
}

ConvertSize ParseConvertSize(std::string_view width, std::string_view height) {
    ConvertSize s;
    auto parse = [](std::string_view t, int& out) {
        while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
        while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
        if (t.empty() || t.size() > 5) return false;
        int v = 0;
        for (char c : t) {
            if (c < '0' || c > '9') return false;
            v = v * 10 + (c - '0');
        }
        out = v;
        return v >= 1 && v <= kMaxConvertSide;
    };
    if (!parse(width, s.width) || !parse(height, s.height)) {
        s.error = "图片规格要填 1 到 " + std::to_string(kMaxConvertSide) + " 之间的整数 (宽 x 高)。";
        return s;
    }
    s.ok = true;
    return s;
}

ConvertReport ConvertBackgrounds(const fs::path& folder, const std::vector<std::string>& titles,
                                 const ConvertSize& size, PictureResizer& resizer) {
    ConvertReport r;
    if (!size.ok) return r;
    for (const std::string& t : titles) {
        const fs::path file = folder / fs::path(t + ".jpg");
        std::string why;
        if (resizer.ResizeToJpeg(file, file, size.width, size.height, why))
            ++r.converted;
        else
            r.failed.push_back(t + ": " + why);
    }
    return r;
}

}  // namespace project_editor
