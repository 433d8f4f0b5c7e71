// Photo names, the capture graph without a camera, and the shutter sound.
#include <gtest/gtest.h>

#include "camera/capture_graph.h"
#include "camera/photo_names.h"
#include "camera/shutter_wave.h"
#include "platform/capture/test_pattern_source.h"

using namespace camera;
namespace fs = std::filesystem;

namespace {

TEST(PhotoNames, PlainNamesOnly) {
    struct Case {
        const char* name;
        PhotoNameCheck want;
    } cases[] = {
        {"拍照图片A1_0", PhotoNameCheck::Ok}, {"my photo.v2", PhotoNameCheck::Ok},
        {"", PhotoNameCheck::Empty},          {".", PhotoNameCheck::NotPlain},
        {"..", PhotoNameCheck::NotPlain},     {"../拍照", PhotoNameCheck::NotPlain},
        {"a/b", PhotoNameCheck::NotPlain},    {"a\\b", PhotoNameCheck::NotPlain},
        {"a\nb", PhotoNameCheck::NotPlain},   {"/etc/passwd", PhotoNameCheck::NotPlain},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckPhotoName(c.name), c.want) << c.name;
    EXPECT_EQ(CheckPhotoName(std::string(kMaxPhotoNameBytes, 'a')), PhotoNameCheck::Ok);
    EXPECT_EQ(CheckPhotoName(std::string(kMaxPhotoNameBytes + 1, 'a')), PhotoNameCheck::TooLong);
    EXPECT_FALSE(PhotoNameProblem(PhotoNameCheck::NotPlain).empty());
}

TEST(PhotoNames, PathsChoicesAndTexts) {
    const fs::path base = "/shop";
    EXPECT_EQ(PhotoPath(base, kDefaultPhotoName, "JPG"), fs::path("/shop/服饰搭配拍照图片/拍照图片A1_0.JPG"));
    EXPECT_EQ(PhotoPath(base, "x", "GIF"), fs::path("/shop/服饰搭配拍照图片/x.GIF"));
    EXPECT_EQ(TempFramePath(base), fs::path("/shop/服饰搭配拍照图片/kzvVideoCap123tmp.bmp"));
    EXPECT_EQ(DialogCaption(base), "摄像头拍照 < /shop >");
    EXPECT_EQ(CountdownText(3, 10), "3/10");
    const std::vector<std::string> timers{"0", "2",  "3",  "4",  "5",  "6",  "7",  "8",
                                          "9", "10", "11", "12", "15", "20", "25", "30"};
    EXPECT_EQ(SelfTimerItems(), timers);
    EXPECT_EQ(FormatWords(), (std::vector<std::string>{"BMP", "JPG", "PNG", "GIF"}));
    EXPECT_EQ(SelfTimerSeconds("25"), 25);
    EXPECT_EQ(SelfTimerSeconds(""), 0);
    EXPECT_EQ(SelfTimerSeconds("x"), 0);
}

// A machine with no camera at all.
struct NoCameras : platform::capture::CameraProvider {
    std::vector<std::string> DeviceNames() override { return {}; }
    std::unique_ptr<platform::capture::FrameSource> OpenDevice(int) override { return nullptr; }
};

TEST(CaptureGraph, NoCameraAndBadDevices) {
    {
        CCaptureGraph graph(std::make_shared<NoCameras>());
        std::vector<std::string> names{"untouched"};
        EXPECT_EQ(graph.ListDevices(&names), -1);
        EXPECT_EQ(names, std::vector<std::string>{"untouched"});
        std::string error;
        EXPECT_EQ(graph.Start(0, &error), kStartNoDevice);
        EXPECT_FALSE(graph.Running());
        EXPECT_FALSE(graph.SetCaptureFlag(1)) << "no temporary path yet";
        EXPECT_EQ(graph.GetCaptureFlag(), 0);
    }
    {
        CCaptureGraph graph(nullptr);
        EXPECT_EQ(graph.ListDevices(nullptr), -1);
    }
    platform::capture::TestPatternOptions busy;
    busy.fail_open = true;
    CCaptureGraph graph(std::make_shared<platform::capture::TestPatternCameras>(busy, 2));
    std::vector<std::string> names;
    EXPECT_EQ(graph.ListDevices(&names), 2);
    std::string error;
    EXPECT_EQ(graph.Start(2, &error), kStartNoDevice) << "past the list";
    EXPECT_EQ(graph.Start(1, &error), kStartFailed);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(graph.Running());
}

TEST(ShutterWave, IsAPlainPcmWaveOfTheResourceSize) {
    const auto b = ShutterWaveBytes();
    ASSERT_EQ(b.size(), kShutterWaveBytes);
    auto u32 = [&](std::size_t at) {
        return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
    };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), kShutterWaveBytes - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32(24), 22050u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(u32(40), kShutterWaveBytes - 44);
    // Not silence.
    EXPECT_NE(std::count(b.begin() + 44, b.end(), 0), std::ptrdiff_t(b.size() - 44));
}

}  // namespace
