#include "camera/photo_names.h"

#include <charconv>

namespace camera {

namespace fs = std::filesystem;

const std::vector<std::string>& SelfTimerItems() {
    static const std::vector<std::string> items{"0", "2",  "3",  "4",  "5",  "6",  "7",  "8",
                                                "9", "10", "11", "12", "15", "20", "25", "30"};
    return items;
}

const std::vector<std::string>& FormatWords() {
    static const std::vector<std::string> words{"BMP", "JPG", "PNG", "GIF"};
    return words;
}

int SelfTimerSeconds(std::string_view text) {
    int value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || value < 0) return 0;
    return value;
}

PhotoNameCheck CheckPhotoName(std::string_view name) {
    if (name.empty()) return PhotoNameCheck::Empty;
    if (name.size() > kMaxPhotoNameBytes) return PhotoNameCheck::TooLong;
    if (name == "." || name == "..") return PhotoNameCheck::NotPlain;
    for (unsigned char c : name)
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return PhotoNameCheck::NotPlain;
    return PhotoNameCheck::Ok;
}

std::string_view PhotoNameProblem(PhotoNameCheck check) {
    switch (check) {
        case PhotoNameCheck::Ok:
            return {};
        case PhotoNameCheck::Empty:
            return kPhotoNameEmptyText;
        case PhotoNameCheck::NotPlain:
            return kPhotoNameNotPlainText;
        case PhotoNameCheck::TooLong:
            return kPhotoNameTooLongText;
    }
    return {};
}

fs::path PhotoFolder(const fs::path& base) { return base / fs::path(std::string(kPhotoFolder)); }

fs::path TempFramePath(const fs::path& base) { return PhotoFolder(base) / std::string(kTempFrameName); }

fs::path PhotoPath(const fs::path& base, std::string_view name, std::string_view format) {
    std::string file(name);
    file += '.';
    file += format;
    return PhotoFolder(base) / fs::path(file);
}

std::string DialogCaption(const fs::path& base) { return "摄像头拍照 < " + base.string() + " >"; }

std::string CountdownText(int elapsed, int length) { return std::to_string(elapsed) + "/" + std::to_string(length); }

}  // namespace camera
