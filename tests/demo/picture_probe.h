#pragma once
// Loading pictures in tests by their real (UTF-8) file names, and the few
// measurements the asset tests make on them.
#include <wx/image.h>

#include <filesystem>
#include <string>

namespace demotest {

// The picture at `path`, or an invalid image when it cannot be read.
wxImage LoadPicture(const std::filesystem::path& path);

// The bounding box of pixels with any coverage (alpha > 0); empty when none.
wxRect PaintedArea(const wxImage& img);

// Mean of (r + g + b) / 3 over the picture.
double MeanBrightness(const wxImage& img);

// Runs the asset builder with `args` (already quoted) and returns its exit code.
int RunAssetBuilder(const std::string& args);

}  // namespace demotest
