// The stage painter on memory bitmaps: the canvas's buffer is painted again
// only when the stage, its drawing items or one of its picture files changed,
// and a first paint (pictures decoded and scaled together on all threads)
// shows what a paint of pictures decoded before shows.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include <wx/dcmemory.h>
#include <wx/image.h>

#include "picture_controls/draw_item_list.h"
#include "platform/image/picture_cache.h"
#include "platform/image/picture_io.h"
#include "project_editor/stage_painter.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace project_editor;

namespace {

wxImage Plain(int w, int h, unsigned char r, unsigned char g, unsigned char b) {
    wxImage img(w, h);
    img.SetRGB(wxRect(0, 0, w, h), r, g, b);
    return img;
}

wxColour At(const wxBitmap& bmp, int x, int y) {
    const wxImage img = bmp.ConvertToImage();
    return {img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y)};
}

// Marks the buffer where the part lies, so a paint that leaves it alone shows.
void Mark(wxBitmap& bmp, int x, int y) {
    wxMemoryDC dc(bmp);
    dc.SetPen(*wxBLACK_PEN);
    dc.DrawPoint(x, y);
}

TEST(StagePainterWindow, TheBufferIsPaintedAgainOnlyWhenTheStageItsItemsOrAPictureFileChanged) {
    testsupport::TempDir dir;
    platform::image::EnsureImageHandlers();
    platform::image::PictureCache::Instance().Clear();
    const fs::path red = dir / "red.png";
    ASSERT_TRUE(platform::image::SavePicture(Plain(40, 40, 220, 0, 0), red, platform::image::PictureFormat::Png));

    StageScene scene;
    scene.stage = {0, 0, 200, 120};
    scene.caption.clear();
    scene.parts.push_back({red, Rect::FromSize(20, 20, 40, 40)});
    picture_controls::CDrawItemList items;
    StagePainter painter;
    wxBitmap buffer(200, 120, 24);

    painter.PaintBuffer(buffer, scene, &items);
    EXPECT_EQ(At(buffer, 30, 30), wxColour(220, 0, 0));

    // Nothing changed: the buffer keeps what it holds.
    Mark(buffer, 30, 30);
    painter.PaintBuffer(buffer, scene, &items);
    EXPECT_EQ(At(buffer, 30, 30), *wxBLACK);

    struct Change {
        const char* what;
        std::function<void()> make;
    } changes[] = {
        {"the part moved", [&] { scene.parts[0].box = Rect::FromSize(21, 20, 40, 40); }},
        {"the background", [&] { scene.background = 0x00FF00; }},
        {"an item drawn", [&] {
             items.AddItem('B');
             items.AddPoint(150, 10);
             items.AddPoint(190, 50);
             items.EndItem();
         }},
        {"the picture file saved again", [&] {
             ASSERT_TRUE(platform::image::SavePicture(Plain(40, 40, 0, 0, 230), red, platform::image::PictureFormat::Png));
             fs::last_write_time(red, fs::last_write_time(red) + std::chrono::seconds(5));
         }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        Mark(buffer, 30, 30);
        c.make();
        painter.PaintBuffer(buffer, scene, &items);
        EXPECT_NE(At(buffer, 30, 30), *wxBLACK);
    }
    EXPECT_EQ(At(buffer, 30, 30), wxColour(0, 0, 230)) << "the new picture";
    EXPECT_NE(At(buffer, 150, 10), At(buffer, 100, 100)) << "the item";
}

TEST(StagePainterWindow, PicturesThePaintDoesNotDrawDoNotMakeItPaintAgain) {
    testsupport::TempDir dir;
    platform::image::EnsureImageHandlers();
    platform::image::PictureCache::Instance().Clear();
    const fs::path red = dir / "red.png", blue = dir / "blue.png";
    ASSERT_TRUE(platform::image::SavePicture(Plain(40, 40, 220, 0, 0), red, platform::image::PictureFormat::Png));
    ASSERT_TRUE(platform::image::SavePicture(Plain(30, 30, 0, 0, 220), blue, platform::image::PictureFormat::Png));
    // Held in the cache, as a picture whose size was asked for is.
    ASSERT_TRUE(platform::image::PictureCache::Instance().Get(blue));

    struct Case {
        const char* what;
        std::function<void(StageScene&)> make;
    } cases[] = {
        {"a reference of no size", [&](StageScene& s) {
             s.hasReference = true;
             s.reference = blue;
             s.referenceClip = s.stage;
         }},
        {"a part without a box", [&](StageScene& s) { s.parts.push_back({blue, Rect{}}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StageScene scene;
        scene.stage = {0, 0, 200, 120};
        scene.caption.clear();
        scene.parts.push_back({red, Rect::FromSize(20, 20, 40, 40)});
        c.make(scene);
        StagePainter painter;
        wxBitmap buffer(200, 120, 24);
        painter.PaintBuffer(buffer, scene, nullptr);
        EXPECT_EQ(At(buffer, 30, 30), wxColour(220, 0, 0));
        Mark(buffer, 30, 30);
        painter.PaintBuffer(buffer, scene, nullptr);
        EXPECT_EQ(At(buffer, 30, 30), *wxBLACK) << "painted again";
    }
}

TEST(StagePainterWindow, AFirstPaintShowsWhatAPaintOfPicturesDecodedBeforeShows) {
    testsupport::TempDir dir;
    platform::image::EnsureImageHandlers();
    StageScene scene;
    scene.stage = {0, 0, 420, 300};
    for (int i = 0; i < 12; ++i) {
        wxImage picture(30 + 17 * i, 260 - 9 * i);  // some tall: scaled in bands
        picture.InitAlpha();
        for (int y = 0; y < picture.GetHeight(); ++y)
            for (int x = 0; x < picture.GetWidth(); ++x) {
                picture.SetRGB(x, y, (x * 7 + i * 40) % 256, (y * 5) % 256, (x + y + i) % 256);
                picture.SetAlpha(x, y, (x + y) % 5 == 0 ? 0 : 255);
            }
        const fs::path file = dir / ("p" + std::to_string(i) + ".png");
        ASSERT_TRUE(platform::image::SavePicture(picture, file, platform::image::PictureFormat::Png));
        scene.parts.push_back({file, Rect::FromSize(10 + 33 * i, 5 + 7 * i, 20 + 13 * i, 280 - 15 * i)});
    }
    auto paint = [&] {
        StagePainter painter;
        wxBitmap bmp(420, 300, 24);
        {
            wxMemoryDC dc(bmp);
            painter.Paint(dc, scene, nullptr);
        }
        return bmp.ConvertToImage();
    };
    platform::image::PictureCache::Instance().Clear();
    const wxImage first = paint();   // every picture decoded and scaled now
    const wxImage held = paint();    // the pictures held, scaled by a painter of its own
    ASSERT_EQ(first.GetSize(), held.GetSize());
    EXPECT_TRUE(std::equal(first.GetData(), first.GetData() + 420 * 300 * 3, held.GetData()));
}

}  // namespace
