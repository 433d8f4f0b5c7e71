#pragma once
// Picture sizes for cores that lay pictures out without drawing them. The
// window side implements the source (over its picture cache); tests pass a
// fake that answers from a table.
#include <filesystem>
#include <optional>

namespace platform {

struct PicSize {
    int w = 0;
    int h = 0;
    friend bool operator==(const PicSize&, const PicSize&) = default;
};

class PictureSizeSource {
public:
    virtual ~PictureSizeSource() = default;
    // The pixel size of the picture file, or nullopt when it is missing or
    // cannot be decoded.
    virtual std::optional<PicSize> SizeOf(const std::filesystem::path& path) = 0;
};

}  // namespace platform
