#include "image_editor/sub_dialog_rules.h"

namespace image_editor {

std::vector<Rect> SwatchLayout(const Rect& frame, int count) {
    std::vector<Rect> cells;
    const int n = std::min(count, kMaxSwatches);
    const int rows = (frame.Height() - 6) / kSwatchPitch;
    if (rows <= 0 || n <= 0) return cells;
    const int left = frame.left + (frame.Width() - 162) / 2 + 4;
    const int top = frame.top + 8;
    for (int col = 0; col < kSwatchColumns && static_cast<int>(cells.size()) < n; ++col)
        for (int row = 0; row < rows && static_cast<int>(cells.size()) < n; ++row) {
            const int x = left + col * kSwatchPitch, y = top + row * kSwatchPitch;
            cells.push_back({x, y, x + kSwatchSize, y + kSwatchSize});
        }
    return cells;
}

int HitSwatch(const std::vector<Rect>& cells, int x, int y) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Rect& r = cells[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return static_cast<int>(i);
    }
    return -1;
}

PhotoNameCheck CheckPhotoName(std::string_view name) {
    if (name.empty()) return PhotoNameCheck::Empty;
    if (name == "." || name == "..") return PhotoNameCheck::BadCharacters;
    for (char c : name)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|' || static_cast<unsigned char>(c) < 0x20)
            return PhotoNameCheck::BadCharacters;
    return PhotoNameCheck::Ok;
}

std::filesystem::path PhotoSaveTarget(const std::filesystem::path& folder, std::string_view name) {
    return folder / std::filesystem::path(std::string(name) + ".jpg");
}

std::string ReplaceQuestion(std::string_view name) {
    return "图片文件< " + std::string(name) + " >已存在!是否替换?";
}

std::string CreateFolderFailed(std::string_view path) { return "创建 < " + std::string(path) + " > 目录失败!"; }

PhotoSaveMemory& SaveMemory() {
    static PhotoSaveMemory memory;
    return memory;
}

}  // namespace image_editor
