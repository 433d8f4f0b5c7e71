// The capture layer without a camera: the frame file's bytes, the test
// pattern, and the streaming thread handing frames and armed shots to the
// thread that reads them (also built with ThreadSanitizer: see the build
// notes in the README).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/capture/capture_stream.h"
#include "platform/capture/frame_writer.h"
#include "platform/capture/test_pattern_source.h"
#include "platform/capture/v4l2_source.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace platform::capture;
using namespace std::chrono_literals;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> v) { return {v.begin(), v.end()}; }

// The 54 header bytes, written out.
std::vector<std::uint8_t> Header(std::uint32_t fileSize, std::uint32_t w, std::uint32_t h) {
    auto le = [](std::uint32_t v) {
        return std::vector<std::uint8_t>{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                                         std::uint8_t(v >> 24)};
    };
    std::vector<std::uint8_t> b{'B', 'M'};
    for (auto part : {le(fileSize), le(0), le(54), le(40), le(w), le(h)}) b.insert(b.end(), part.begin(), part.end());
    b.insert(b.end(), {1, 0, 24, 0});
    b.resize(54, 0);
    return b;
}

TEST(FrameWriter, FileBytesForOddAndEvenWidths) {
    struct Case {
        int w, h;
        std::vector<std::uint8_t> pixels;  // DIB rows, bottom row first, padded to 4
    } cases[] = {
        // One pixel: 3 bytes and one pad byte.
        {1, 1, Bytes({0x10, 0x20, 0x30, 0})},
        // Width 1, two rows: each row padded.
        {1, 2, Bytes({1, 2, 3, 0, 4, 5, 6, 0})},
        // Width 2: 6 bytes, two pad bytes.
        {2, 1, Bytes({1, 2, 3, 4, 5, 6, 0, 0})},
        // Width 3: 9 bytes, three pad bytes.
        {3, 1, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0})},
        // Width 4: 12 bytes, no padding.
        {4, 1, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})},
        // Width 5, two rows: 15 + 1 each.
        {5, 2, Bytes({1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 0,
                      21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        ASSERT_EQ(c.pixels.size(), DibSize(c.w, c.h));
        auto expected = Header(std::uint32_t(54 + c.pixels.size()), std::uint32_t(c.w), std::uint32_t(c.h));
        expected.insert(expected.end(), c.pixels.begin(), c.pixels.end());
        EXPECT_EQ(FrameFileBytes(c.w, c.h, c.pixels), expected);
    }
    // The camera's usual size.
    const std::vector<std::uint8_t> vga(DibSize(640, 480), 7);
    const auto file = FrameFileBytes(640, 480, vga);
    EXPECT_EQ(file.size(), 921654u);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 54), Header(921654, 640, 480));
}

TEST(FrameWriter, WritesTheFileOrSaysWhyNot) {
    TempDir dir;
    const std::vector<std::uint8_t> px{9, 8, 7, 0, 6, 5, 4, 0, 3, 2, 1, 0};
    std::string error;
    ASSERT_TRUE(WriteFrameFile(dir / "a.bmp", 1, 3, px, &error)) << error;
    EXPECT_EQ(ReadAll(dir / "a.bmp"), FrameFileBytes(1, 3, px));

    // A folder that is not there: nothing is written and the reason is given.
    EXPECT_FALSE(WriteFrameFile(dir / "missing" / "a.bmp", 1, 3, px, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(TestPattern, BarsMoveAndTheCounterCountsFrames) {
    TestPatternOptions o;
    o.width = 163;  // odd: rows are padded
    o.height = 40;
    o.bar_step = 4;
    std::vector<std::uint8_t> f1, f2;
    TestPatternSource::Render(o, 1, &f1);
    TestPatternSource::Render(o, 2, &f2);
    ASSERT_EQ(f1.size(), DibSize(163, 40));
    VideoFrame a{163, 40, f1, 1}, b{163, 40, f2, 2};
    auto rgb = [](const VideoFrame& f, int x, int y) {
        std::uint8_t r, g, bl;
        f.PixelAt(x, y, &r, &g, &bl);
        return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | bl;
    };
    // Below the counter box, every column shows its bar; the bars move by
    // the step with each frame.
    for (int x : {0, 20, 21, 81, 162}) {
        EXPECT_EQ(rgb(a, x, 30), TestPatternColour(x, 163, 1, 4)) << x;
        EXPECT_EQ(rgb(b, x, 30), TestPatternColour(x, 163, 2, 4)) << x;
    }
    EXPECT_EQ(TestPatternColour(0, 160, 0, 4), 0xFFFFFFu);    // white first
    EXPECT_EQ(TestPatternColour(159, 160, 0, 4), 0x000000u);  // black last
    EXPECT_EQ(TestPatternColour(16, 160, 1, 4), 0xFFFF00u);   // the yellow bar, moved 4 to the left
    // The counter box: white around black digits; "000001" differs from
    // "000002" only in the last digit.
    EXPECT_EQ(rgb(a, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(rgb(a, 4 + 5 * 12 + 1 + 2 * 2, 4), 0x000000u);  // the top of "1"
    bool lastDiffers = false;
    for (int y = 4; y < 18; ++y)
        for (int x = 0; x < kCounterBoxRight; ++x)
            if (rgb(a, x, y) != rgb(b, x, y)) {
                EXPECT_GE(x, 4 + 5 * 12) << "only the last digit changes";
                lastDiffers = true;
            }
    EXPECT_TRUE(lastDiffers);
    // The pad byte after each odd row stays zero.
    for (int row = 0; row < 40; ++row) EXPECT_EQ(f1[DibStride(163) * std::size_t(row) + 163 * 3], 0);
}

// A reader on this thread, woken by the stream's notifications.
struct Reader {
    std::mutex lock;
    std::condition_variable cv;
    int notes = 0;

    std::function<void()> Notify() {
        return [this] {
            std::lock_guard g(lock);
            ++notes;
            cv.notify_all();
        };
    }
    bool WaitNotes(int n) {
        std::unique_lock g(lock);
        return cv.wait_for(g, 10s, [&] { return notes >= n; });
    }
};

bool WaitFor(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

TestPatternOptions Fast(int w = 33, int h = 17) {
    TestPatternOptions o;
    o.width = w;
    o.height = h;
    o.interval = 3ms;
    return o;
}

TEST(CaptureStream, HandsFramesAndArmedShotsToTheReadingThread) {
    TempDir dir;
    Reader reader;
    CaptureStream stream;
    stream.SetFrameNotify(reader.Notify());
    std::string error;
    ASSERT_TRUE(stream.Start(std::make_unique<TestPatternSource>(Fast()), &error)) << error;
    EXPECT_TRUE(stream.Running());
    EXPECT_EQ(stream.Width(), 33);
    EXPECT_EQ(stream.Height(), 17);

    // Frames arrive in order, each whole: its pixels are the pattern of its number.
    std::uint64_t last = 0;
    for (int i = 1; i <= 20; ++i) {
        ASSERT_TRUE(reader.WaitNotes(i));
        VideoFrame f;
        ASSERT_TRUE(stream.CopyLatest(&f));
        EXPECT_GE(f.number, last);
        last = f.number;
        std::vector<std::uint8_t> want;
        TestPatternSource::Render(Fast(), f.number, &want);
        ASSERT_EQ(f.dib, want) << "frame " << f.number;
    }

    // No temporary path yet: arming refuses.
    EXPECT_FALSE(stream.Arm());
    EXPECT_EQ(stream.GetCaptureFlag(), 0);

    // An armed shot: a stale file at the path is gone at once, the next frame
    // is written, the flag is cleared after the file is complete.
    const fs::path tmp = dir / "kzvVideoCap123tmp.bmp";
    dir.write("kzvVideoCap123tmp.bmp", std::string("old frame"));
    ASSERT_TRUE(stream.SetTempName(tmp));
    const std::uint64_t before = stream.FrameCount();
    ASSERT_TRUE(stream.Arm());
    EXPECT_FALSE(stream.SetTempName(dir / "other.bmp")) << "the path stays while armed";
    EXPECT_TRUE(stream.Arm()) << "arming twice is one shot";
    ASSERT_TRUE(WaitFor([&] { return stream.GetCaptureFlag() == 0; }));
    EXPECT_EQ(stream.LastWrite(), FrameWrite::Written);
    const auto file = ReadAll(tmp);
    ASSERT_EQ(file.size(), 54 + DibSize(33, 17));
    // The file holds one whole frame that came after the arming.
    bool matched = false;
    for (std::uint64_t n = before; n < before + 200 && !matched; ++n) {
        std::vector<std::uint8_t> want;
        TestPatternSource::Render(Fast(), n, &want);
        matched = FrameFileBytes(33, 17, want) == file;
    }
    EXPECT_TRUE(matched);

    // A path that cannot be written: the shot fails, the flag is cleared.
    ASSERT_TRUE(stream.SetTempName(dir / "no" / "such" / "x.bmp"));
    ASSERT_TRUE(stream.Arm());
    ASSERT_TRUE(WaitFor([&] { return stream.GetCaptureFlag() == 0; }));
    std::string why;
    EXPECT_EQ(stream.LastWrite(&why), FrameWrite::Failed);
    EXPECT_FALSE(why.empty());

    // Stop ends the thread: no frames and no notifications after it.
    stream.Stop();
    EXPECT_FALSE(stream.Running());
    const std::uint64_t count = stream.FrameCount();
    int notes;
    {
        std::lock_guard g(reader.lock);
        notes = reader.notes;
    }
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(stream.FrameCount(), count);
    std::lock_guard g(reader.lock);
    EXPECT_EQ(reader.notes, notes);
}

TEST(CaptureStream, ACameraThatFailsEndsTheStreamAndAPendingShot) {
    TempDir dir;
    // It cannot be opened: nothing runs.
    {
        CaptureStream stream;
        TestPatternOptions o = Fast();
        o.fail_open = true;
        std::string error;
        EXPECT_FALSE(stream.Start(std::make_unique<TestPatternSource>(o), &error));
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(stream.Running());
        EXPECT_FALSE(stream.Start(nullptr, &error));
    }
    // It stops after five frames.
    {
        Reader reader;
        CaptureStream stream;
        stream.SetFrameNotify(reader.Notify());
        TestPatternOptions o = Fast();
        o.interval = 30ms;
        o.fail_after = 5;
        std::string error;
        ASSERT_TRUE(stream.Start(std::make_unique<TestPatternSource>(o), &error));
        ASSERT_TRUE(stream.SetTempName(dir / "t.bmp"));
        ASSERT_TRUE(WaitFor([&] { return stream.Ended(); }));
        EXPECT_FALSE(stream.Running());
        EXPECT_FALSE(stream.Error().empty());
        EXPECT_EQ(stream.FrameCount(), 5u);
        EXPECT_TRUE(reader.WaitNotes(6)) << "five frames and the end";
    }
    {
        CaptureStream stream;
        TestPatternOptions o = Fast();
        o.interval = 10min;  // the first frame comes at once, the second never
        std::string error;
        ASSERT_TRUE(stream.Start(std::make_unique<TestPatternSource>(o), &error));
        ASSERT_TRUE(WaitFor([&] { return stream.FrameCount() == 1; }));
        ASSERT_TRUE(stream.SetTempName(dir / "t.bmp"));
        ASSERT_TRUE(stream.Arm());
        stream.Stop();  // closing with a shot pending fails the shot
        EXPECT_EQ(stream.LastWrite(), FrameWrite::Failed);
        EXPECT_EQ(stream.GetCaptureFlag(), 0);
        EXPECT_FALSE(fs::exists(dir / "t.bmp"));
    }
}

TEST(VideoDevices, OnlyCaptureDevicesNamedVideoN) {
    TempDir dev;
    // Files that are not devices answer no capability query.
    dev.write("video0", std::string());
    dev.write("video", std::string());
    dev.write("videoX", std::string());
    dev.write("null", std::string());
    EXPECT_TRUE(ListVideoDevices(dev.path()).empty());
    EXPECT_TRUE(ListVideoDevices(dev / "missing").empty());
    // A node that is no camera: Open says why and nothing streams.
    V4l2Source notACamera("/dev/null");
    std::string error;
    EXPECT_FALSE(notACamera.Open(&error));
    EXPECT_NE(error.find("/dev/null"), std::string::npos) << error;
    std::vector<std::uint8_t> dib;
    EXPECT_EQ(notACamera.Grab(&dib, 10ms, &error), GrabResult::Failed);
    notACamera.Close();
    SystemCameras cameras;
    const auto names = cameras.DeviceNames();
    EXPECT_EQ(cameras.OpenDevice(int(names.size())), nullptr) << "no camera past the list";
    EXPECT_EQ(cameras.OpenDevice(-1), nullptr);
}

}  // namespace
