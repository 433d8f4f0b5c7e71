#include "tests/demo/picture_probe.h"

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <vector>

namespace demotest {
namespace {

// wx started once for the whole test program (no display needed: images only).
class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_init = std::make_unique<wxInitializer>();
        ASSERT_TRUE(m_init->IsOk());
        wxLog::SetActiveTarget(new wxLogStderr);
        wxInitAllImageHandlers();
    }
    void TearDown() override { m_init.reset(); }

private:
    std::unique_ptr<wxInitializer> m_init;
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace

wxImage LoadPicture(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return wxImage();
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    wxImage img;
    wxLogNull quiet;
    img.LoadFile(stream, wxBITMAP_TYPE_ANY);
    return img;
}

wxRect PaintedArea(const wxImage& img) {
    int left = img.GetWidth(), top = img.GetHeight(), right = -1, bottom = -1;
    for (int y = 0; y < img.GetHeight(); ++y) {
        for (int x = 0; x < img.GetWidth(); ++x) {
            if (img.HasAlpha() && img.GetAlpha(x, y) == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return wxRect();
    return wxRect(wxPoint(left, top), wxPoint(right, bottom));
}

double MeanBrightness(const wxImage& img) {
    const unsigned char* p = img.GetData();
    const std::size_t n = static_cast<std::size_t>(img.GetWidth()) * img.GetHeight();
    double sum = 0;
    for (std::size_t i = 0; i < 3 * n; ++i) sum += p[i];
    return n ? sum / (3.0 * n) : 0;
}

int RunAssetBuilder(const std::string& args) {
    const std::string cmd = std::string("'") + ASSET_BUILDER + "' " + args + " 2>/dev/null";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace demotest
