#pragma once
// PictureWork over the toolkit's image codecs: each picture is read once,
// decoded for its size and thumbnail, and its bytes copied unchanged. Jobs
// run on a few threads at once (each on its own images and files).
#include <filesystem>

#include <wx/image.h>

#include "web_publish/cloth_data.h"

namespace web_publish {

// A W x H transparent PNG with the picture scaled down (never up) to fit,
// centred; false when the picture cannot be read or the file written.
wxImage ScaledThumbnail(const wxImage& picture, int width, int height);
bool SavePictureScaled(const std::filesystem::path& source, int width, int height,
                       const std::filesystem::path& target);

class WxPictureWork : public PictureWork {
public:
    explicit WxPictureWork(unsigned threads = 0);  // 0: up to four, by the cores there are
    std::vector<PictureOutcome> Run(const std::vector<PictureJob>& jobs) override;

private:
    unsigned m_threads;
};

}  // namespace web_publish
