#pragma once
// Small photos written as rows of letters with a palette, and the engine's
// masks read back as rows, so a test shows the picture it works on.
#include <algorithm>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "image_editor/photo_engine.h"

namespace enginetest {

using image_editor::CPhotoEngine;
using image_editor::ColorRef;
using image_editor::Picture;

inline Picture MakePicture(const std::vector<std::string>& rows, const std::map<char, ColorRef>& palette) {
    Picture p;
    p.height = static_cast<int>(rows.size());
    p.width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    for (const auto& r : rows)
        for (char c : r) p.pixels.push_back(palette.at(c));
    return p;
}

inline Picture Uniform(int w, int h, ColorRef c) {
    Picture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(static_cast<std::size_t>(w) * h, c);
    return p;
}

// The mask of the photo area, one row per line.
inline std::string MaskRows(const CPhotoEngine& e) {
    std::string out;
    for (int r = 0; r < e.photoHeight(); ++r) {
        for (int c = 0; c < e.photoWidth(); ++c) out += e.MaskAt(c, r);
        out += '\n';
    }
    return out;
}

// Sets the mask from rows of mask letters.
inline void SetMask(CPhotoEngine& e, const std::vector<std::string>& rows) {
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) e.SetMaskAt(c, r, rows[r][c]);
}

template <typename... Row>
std::string Rows(const Row&... rows) {
    std::string out;
    ((out += rows, out += '\n'), ...);
    return out;
}

// A picture source answering from a table of decoded pictures.
class FakePictures : public image_editor::PictureSource {
public:
    std::map<std::string, Picture> files;
    std::vector<std::string> existingButBroken;
    bool Exists(const std::filesystem::path& p) override {
        return files.count(p.string()) ||
               std::find(existingButBroken.begin(), existingButBroken.end(), p.string()) != existingButBroken.end();
    }
    std::optional<Picture> Load(const std::filesystem::path& p) override {
        auto it = files.find(p.string());
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
};

inline std::unique_ptr<CPhotoEngine> NewEngine(image_editor::PictureSource* src = nullptr) {
    return std::make_unique<CPhotoEngine>(src);
}

}  // namespace enginetest
