// The capture dialog under Xvfb with the test-pattern camera: the live
// picture, a self-timer shot, a shot in each format into the photo folder,
// the no-camera path, failures, and closing while the stream runs.
#include "camera/lensory_dlg.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/stattext.h>
#include <wx/time.h>

#include <atomic>
#include <map>

#include "camera/photo_names.h"
#include "platform/capture/frame_writer.h"
#include "platform/capture/test_pattern_source.h"
#include "platform/files.h"
#include "platform/image/picture_io.h"
#include "platform/ui/message_box.h"
#include "tests/support/fixture_paths.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_test_util.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::capture::TestPatternCameras;
using platform::capture::TestPatternOptions;
using testsupport::TempDir;

namespace {

std::string Screen(const std::string& name) { return (testsupport::ScreensDir() / name).string(); }

struct NoCameras : platform::capture::CameraProvider {
    std::vector<std::string> DeviceNames() override { return {}; }
    std::unique_ptr<platform::capture::FrameSource> OpenDevice(int) override { return nullptr; }
};

class LensoryDlgTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (dlg) dlg->Destroy();
        testsupport::PumpEvents(50);
    }

    void Open(std::shared_ptr<platform::capture::CameraProvider> cameras) {
        CLensoryDlg::Options o;
        o.cameras = std::move(cameras);
        o.sink = [this](const platform::MessageRequest& r) {
            messages.push_back(r.text);
            return platform::MbResult::Ok;
        };
        o.clock = [this] { return std::chrono::milliseconds(now.load()); };
        o.shutter_sound = shutter;
        dlg = new CLensoryDlg(nullptr, base.path(), std::move(o));
        dlg->Show();
        testsupport::PumpEvents(100);
    }
    void OpenPattern(TestPatternOptions po = Pattern()) { Open(std::make_shared<TestPatternCameras>(po)); }
    static TestPatternOptions Pattern() {
        TestPatternOptions po;
        po.width = 320;
        po.height = 240;
        po.interval = 30ms;
        return po;
    }
    void StartCamera() {
        dlg->OpenCamera();
        ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->shownFrameNumber() > 2; }));
    }
    // One shot at once, driven to its end.
    void Shoot() {
        dlg->TakeShot();
        ASSERT_NE(dlg->machine().state(), camera::ShotState::Idle);
        ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->machine().state() == camera::ShotState::Idle; }));
    }
    fs::path Photos() const { return base / "服饰搭配拍照图片"; }

    TempDir base;
    fs::path shutter;  // empty: the built shutter sound
    std::atomic<long long> now{1'000'000};
    std::vector<std::string> messages;
    CLensoryDlg* dlg = nullptr;
};

TEST_F(LensoryDlgTest, LivePictureAndASelfTimerShot) {
    OpenPattern();
    EXPECT_EQ(dlg->GetTitle(), wxString::FromUTF8("摄像头拍照 < " + base.path().string() + " >"));
    EXPECT_FALSE(dlg->shotButton()->IsEnabled()) << "no shot before the camera runs";
    EXPECT_TRUE(dlg->openButton()->IsEnabled());
    StartCamera();
    EXPECT_FALSE(dlg->openButton()->IsEnabled());
    EXPECT_TRUE(dlg->shotButton()->IsEnabled());
    EXPECT_FALSE(dlg->videoMessage()->IsShown());

    // The video host shows the frames: stretched bars below the counter box.
    wxWindow* host = dlg->FindWindow(IDC_VIDEO_HOST);
    ASSERT_NE(host, nullptr);
    const wxSize size = host->GetClientSize();
    wxBitmap bmp(size.x, size.y, 24);
    {
        wxMemoryDC dc(bmp);
        dlg->PaintVideo(dc);
    }
    const wxImage painted = bmp.ConvertToImage();
    int colours = 0;
    for (std::uint32_t bar : platform::capture::kTestPatternBars) {
        for (int x = 0; x < size.x; x += 2) {
            const int y = size.y - 5;
            if (painted.GetRed(x, y) == (bar >> 16) && painted.GetGreen(x, y) == ((bar >> 8) & 0xFF) &&
                painted.GetBlue(x, y) == (bar & 0xFF)) {
                ++colours;
                break;
            }
        }
    }
    EXPECT_GE(colours, 7) << "the bars' colours are on screen";
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, Screen("lensory-live.png")));

    // Self-timer 2 s: the countdown shows, "拍照" is disabled, a second press
    // is ignored; on the monotonic clock the shot fires at 2 s.
    dlg->ChooseSelfTimer(1);  // "2"
    dlg->SetPhotoName("自拍照");
    dlg->TakeShot();
    EXPECT_TRUE(dlg->machine().CountingDown());
    EXPECT_FALSE(dlg->shotButton()->IsEnabled());
    dlg->TakeShot();
    now += 1000;
    dlg->OnShotTimer();
    EXPECT_EQ(dlg->countdown()->GetLabel(), "1/2");
    EXPECT_FALSE(fs::exists(Photos() / "自拍照.JPG"));
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, Screen("lensory-self-timer.png")));
    now += 1000;
    dlg->OnShotTimer();
    EXPECT_EQ(dlg->countdown()->GetLabel(), "2/2");
    EXPECT_EQ(dlg->machine().state(), camera::ShotState::ArmedByTimer);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->machine().state() == camera::ShotState::Idle; }));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dlg->lastPhoto(), Photos() / "自拍照.JPG");
    const wxImage shot = platform::image::LoadPicture(Photos() / "自拍照.JPG");
    ASSERT_TRUE(shot.IsOk());
    EXPECT_EQ(shot.GetSize(), wxSize(320, 240));
    EXPECT_TRUE(dlg->shownPhoto().IsOk());
    EXPECT_TRUE(dlg->shotButton()->IsEnabled());
    EXPECT_EQ(dlg->soundsPlayed(), 1);
    EXPECT_EQ(dlg->lastSound(), platform::sound::PlayOutcome::Playing) << "the shutter sound is there";
}

TEST_F(LensoryDlgTest, AShotInEachFormatLandsInThePhotoFolder) {
    OpenPattern();
    StartCamera();
    struct Case {
        int index;
        const char* word;
        platform::image::PictureFormat format;
        const char* screen;
    } cases[] = {
        {0, "BMP", platform::image::PictureFormat::Bmp, "lensory-shot-bmp.png"},
        {1, "JPG", platform::image::PictureFormat::Jpeg, "lensory-shot-jpg.png"},
        {2, "PNG", platform::image::PictureFormat::Png, "lensory-shot-png.png"},
        {3, "GIF", platform::image::PictureFormat::Gif, "lensory-shot-gif.png"},
    };
    const auto magic = [](const std::vector<unsigned char>& b) { return std::string(b.begin(), b.begin() + 3); };
    const std::map<std::string, std::string> magics{
        {"BMP", "BM\x36"}, {"JPG", "\xFF\xD8\xFF"}, {"PNG", "\x89PN"}, {"GIF", "GIF"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        dlg->ChooseFormat(c.index);
        EXPECT_EQ(dlg->format(), c.word);
        dlg->SetPhotoName(std::string("试衣照片_") + c.word);
        Shoot();
        const fs::path file = Photos() / (std::string("试衣照片_") + c.word + "." + c.word);
        ASSERT_TRUE(fs::exists(file)) << file;
        EXPECT_EQ(dlg->lastPhoto(), file);
        const auto bytes = testsupport::ReadAll(file);
        ASSERT_GE(bytes.size(), 3u);
        EXPECT_EQ(magic(bytes).substr(0, c.format == platform::image::PictureFormat::Bmp ? 2 : 3),
                  magics.at(c.word).substr(0, c.format == platform::image::PictureFormat::Bmp ? 2 : 3));
        const wxImage img = platform::image::LoadPicture(file);
        ASSERT_TRUE(img.IsOk());
        EXPECT_EQ(img.GetSize(), wxSize(320, 240));
        EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, Screen(c.screen)));
    }
    EXPECT_TRUE(messages.empty());
    // The suite's listings find the upper-case extensions.
    EXPECT_EQ(platform::ListFiles(Photos(), "*.jpg").size(), 1u);
    EXPECT_EQ(platform::ListFiles(Photos(), "*.gif").size(), 1u);
    // The frame file holds the last frame as the writer left it: 320 x 240.
    EXPECT_EQ(fs::file_size(Photos() / "kzvVideoCap123tmp.bmp"), 54u + 320 * 240 * 3);

    // The name changed while a shot is pending: the photo takes the new name.
    dlg->ChooseFormat(2);
    dlg->SetPhotoName("旧名");
    dlg->TakeShot();
    dlg->SetPhotoName("新名");
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->machine().state() == camera::ShotState::Idle; }));
    EXPECT_TRUE(fs::exists(Photos() / "新名.PNG"));
    EXPECT_FALSE(fs::exists(Photos() / "旧名.PNG"));
}

TEST_F(LensoryDlgTest, WithoutACameraOurMessageAndNoShot) {
    Open(std::make_shared<NoCameras>());
    EXPECT_TRUE(dlg->videoMessage()->IsShown());
    EXPECT_EQ(dlg->videoMessage()->GetLabel(), wxString::FromUTF8(std::string(camera::kNoCameraText)));
    EXPECT_FALSE(dlg->shotButton()->IsEnabled());
    EXPECT_FALSE(dlg->openButton()->IsEnabled());
    dlg->TakeShot();  // as if pressed anyway
    EXPECT_EQ(dlg->machine().state(), camera::ShotState::Idle);
    EXPECT_FALSE(fs::exists(Photos()));
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, Screen("lensory-no-camera.png")));

    // A camera that is listed but cannot be opened: our message, still no shot.
    dlg->Destroy();
    TestPatternOptions busy = Pattern();
    busy.fail_open = true;
    OpenPattern(busy);
    dlg->OpenCamera();
    EXPECT_TRUE(dlg->videoMessage()->IsShown());
    EXPECT_TRUE(
        dlg->videoMessage()->GetLabel().StartsWith(wxString::FromUTF8(std::string(camera::kCameraStartFailedText))));
    EXPECT_FALSE(dlg->shotButton()->IsEnabled());
    EXPECT_TRUE(dlg->openButton()->IsEnabled()) << "the user may try again";
}

TEST_F(LensoryDlgTest, FailuresAreReportedAndNoStaleFileIsShown) {
    // A frame that never comes: the shot times out.
    TestPatternOptions stalls = Pattern();
    stalls.interval = 10min;
    OpenPattern(stalls);
    dlg->OpenCamera();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->shownFrameNumber() == 1; }));
    // A file left from before at the frame path is not taken for the shot.
    fs::create_directories(Photos());
    base.write(fs::path("服饰搭配拍照图片") / "kzvVideoCap123tmp.bmp",
               platform::capture::FrameFileBytes(1, 1, std::vector<std::uint8_t>(4, 0)));
    dlg->TakeShot();
    EXPECT_FALSE(fs::exists(Photos() / "kzvVideoCap123tmp.bmp"));
    now += 5000;
    dlg->OnShotTimer();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], camera::kShotTimedOutText);
    EXPECT_EQ(dlg->machine().state(), camera::ShotState::Idle);
    EXPECT_FALSE(fs::exists(Photos() / "拍照图片A1_0.JPG"));
    EXPECT_FALSE(dlg->shownPhoto().IsOk());
    messages.clear();

    // A name that is not a plain file name is refused before anything is armed.
    for (const char* bad : {"../外面", "a/b", ""}) {
        dlg->SetPhotoName(bad);
        dlg->TakeShot();
        EXPECT_EQ(dlg->machine().state(), camera::ShotState::Idle) << bad;
    }
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], camera::kPhotoNameNotPlainText);
    EXPECT_EQ(messages[2], camera::kPhotoNameEmptyText);
    messages.clear();
    dlg->Destroy();
    dlg = nullptr;

    // The photo folder cannot be made (a file stands in its place).
    fs::remove_all(Photos());
    base.write("服饰搭配拍照图片", std::string("not a folder"));
    OpenPattern();
    StartCamera();
    dlg->TakeShot();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(camera::kPhotoFolderFailedText, 0), 0u);
    EXPECT_EQ(dlg->machine().state(), camera::ShotState::Idle);
}

TEST_F(LensoryDlgTest, AMissingShutterSoundOrAStoppedCamera) {
    // Without its sound the shot is still saved.
    shutter = base / "no-such.wav";
    OpenPattern();
    StartCamera();
    Shoot();
    EXPECT_EQ(dlg->lastSound(), platform::sound::PlayOutcome::MissingFile);
    EXPECT_TRUE(fs::exists(Photos() / "拍照图片A1_0.JPG"));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(dlg->shownPhoto().IsOk());

    // The photo cannot be saved (a folder holds its name): said so, and the
    // earlier photo is no longer shown as if it were this one.
    fs::create_directories(Photos() / "坏.JPG");
    dlg->SetPhotoName("坏");
    Shoot();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(camera::kPhotoSaveFailedText, 0), 0u) << messages[0];
    EXPECT_FALSE(dlg->shownPhoto().IsOk());
    EXPECT_TRUE(dlg->lastPhoto().empty());
    dlg->Destroy();
    dlg = nullptr;

    // The camera stops after a few frames: our message, and no more shots.
    TestPatternOptions dies = Pattern();
    dies.fail_after = 5;
    OpenPattern(dies);
    dlg->OpenCamera();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return dlg->videoMessage()->IsShown(); }));
    EXPECT_TRUE(
        dlg->videoMessage()->GetLabel().StartsWith(wxString::FromUTF8(std::string(camera::kCameraStoppedText))));
    EXPECT_FALSE(dlg->shotButton()->IsEnabled());
    EXPECT_TRUE(dlg->openButton()->IsEnabled()) << "the user may open it again";
    EXPECT_EQ(dlg->shownFrameNumber(), 5u) << "the last frame stays on screen";
    EXPECT_TRUE(testsupport::SaveWindowScreenshot(dlg, Screen("lensory-camera-stopped.png")));
}

TEST_F(LensoryDlgTest, ClosingStopsTheStreamAndKeepsThePictureHandlers) {
    for (int round = 0; round < 2; ++round) {
        OpenPattern();
        StartCamera();
        ASSERT_TRUE(dlg->graph().Running());
        wxCommandEvent click(wxEVT_BUTTON, round ? wxID_OK : wxID_CANCEL);
        dlg->FindWindow(round ? wxID_OK : wxID_CANCEL)->GetEventHandler()->ProcessEvent(click);
        EXPECT_FALSE(dlg->graph().Running()) << "the stream's thread has ended";
        const std::uint64_t frames = dlg->graph().stream().FrameCount();
        testsupport::PumpEvents(100);
        EXPECT_EQ(dlg->graph().stream().FrameCount(), frames);
        dlg->Destroy();
        dlg = nullptr;
        testsupport::PumpEvents(50);
        for (auto type : {wxBITMAP_TYPE_PNG, wxBITMAP_TYPE_JPEG, wxBITMAP_TYPE_BMP, wxBITMAP_TYPE_GIF})
            EXPECT_NE(wxImage::FindHandler(type), nullptr);
    }
}

}  // namespace
