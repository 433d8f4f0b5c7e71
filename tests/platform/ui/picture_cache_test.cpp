#include "platform/image/picture_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <mutex>

#include "platform/image/picture_io.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::image::PictureCache;
using platform::image::PictureFormat;
using platform::image::SavePicture;

wxImage Plain(int w, int h, unsigned char r, unsigned char g, unsigned char b) {
    wxImage img(w, h);
    img.SetRGB(wxRect(0, 0, w, h), r, g, b);
    return img;
}

class PictureCacheTest : public ::testing::Test {
protected:
    PictureCacheTest() : m_cache(PictureCache::Instance()) { m_cache.Clear(); }
    ~PictureCacheTest() override {
        m_cache.SetLimits(PictureCache::kDefaultMaxEntries, PictureCache::kDefaultMaxBytes);
        m_cache.Clear();
    }

    fs::path Write(const std::string& name, const wxImage& img) {
        const fs::path p = m_dir / name;
        EXPECT_TRUE(SavePicture(img, p, PictureFormat::Png));
        return p;
    }
    std::size_t Decodes() const { return m_cache.GetStats().decodes; }
    // Moves the file's modification time on, as a later save would.
    static void Touch(const fs::path& p, int seconds) {
        fs::last_write_time(p, fs::last_write_time(p) + std::chrono::seconds(seconds));
    }

    PictureCache& m_cache;
    testsupport::TempDir m_dir;
};

TEST_F(PictureCacheTest, DecodesAFileOncePerModification) {
    const fs::path p = Write("a.png", Plain(30, 20, 200, 0, 0));
    const auto first = m_cache.Get(p);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->GetSize(), wxSize(30, 20));
    EXPECT_EQ(m_cache.Get(p), first);
    EXPECT_EQ(m_cache.Get(m_dir.path() / "." / "a.png"), first);  // same file, other spelling
    EXPECT_EQ(m_cache.SizeOf(p), wxSize(30, 20));
    EXPECT_EQ(Decodes(), 1u);

    // Same bytes, new time: decoded again.
    Touch(p, 5);
    const auto second = m_cache.Get(p);
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_EQ(Decodes(), 2u);
    EXPECT_EQ(first->GetRed(0, 0), 200);  // a holder keeps its picture

    // New content of the same size is seen on the next use.
    const auto stamp = fs::last_write_time(p);
    Write("a.png", Plain(30, 20, 0, 0, 200));
    fs::last_write_time(p, stamp + std::chrono::seconds(7));
    const auto third = m_cache.Get(p);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->GetBlue(0, 0), 200);
    EXPECT_EQ(m_cache.SizeOf(p), wxSize(30, 20));
    EXPECT_EQ(Decodes(), 3u);
}

TEST_F(PictureCacheTest, MissingAndBrokenFilesAnswerNothing) {
    EXPECT_EQ(m_cache.Get(m_dir / "missing.png"), nullptr);
    EXPECT_EQ(m_cache.SizeOf(m_dir / "missing.png"), std::nullopt);
    EXPECT_EQ(m_cache.Get(m_dir.path()), nullptr);  // a folder

    m_dir.write("broken.png", std::string("no picture here"));
    EXPECT_EQ(m_cache.Get(m_dir / "broken.png"), nullptr);
    EXPECT_EQ(m_cache.SizeOf(m_dir / "broken.png"), std::nullopt);
    EXPECT_EQ(Decodes(), 1u);  // the failure is remembered until the file changes

    const fs::path p = Write("gone.png", Plain(4, 4, 1, 2, 3));
    ASSERT_TRUE(m_cache.Get(p));
    fs::remove(p);
    EXPECT_EQ(m_cache.Get(p), nullptr);
    EXPECT_EQ(m_cache.SizeOf(p), std::nullopt);

    // A broken file mended later is read again.
    Write("broken.png", Plain(3, 2, 9, 9, 9));
    Touch(m_dir / "broken.png", 3);
    EXPECT_EQ(m_cache.SizeOf(m_dir / "broken.png"), wxSize(3, 2));
}

TEST_F(PictureCacheTest, DropsLeastRecentlyUsedBeyondItsBounds) {
    const fs::path a = Write("a.png", Plain(10, 10, 1, 1, 1));
    const fs::path b = Write("b.png", Plain(10, 10, 2, 2, 2));
    const fs::path c = Write("c.png", Plain(10, 10, 3, 3, 3));
    m_cache.SetLimits(2, PictureCache::kDefaultMaxBytes);
    m_cache.Get(a);
    m_cache.Get(b);
    m_cache.Get(a);  // b is now the least recently used
    m_cache.Get(c);
    EXPECT_EQ(m_cache.GetStats().entries, 2u);
    EXPECT_EQ(Decodes(), 3u);
    m_cache.Get(a);
    m_cache.Get(c);
    EXPECT_EQ(Decodes(), 3u);
    m_cache.Get(b);
    EXPECT_EQ(Decodes(), 4u);

    // Sizes outlive the pictures they came from.
    EXPECT_EQ(m_cache.SizeOf(a), wxSize(10, 10));
    EXPECT_EQ(Decodes(), 4u);

    // A byte bound below one picture still keeps the last one used.
    m_cache.SetLimits(100, 10 * 10 * 3 + 1);
    EXPECT_EQ(m_cache.GetStats().entries, 1u);
    EXPECT_EQ(m_cache.GetStats().bytes, 300u);
    const fs::path big = Write("big.png", Plain(50, 50, 4, 4, 4));
    EXPECT_TRUE(m_cache.Get(big));
    EXPECT_EQ(m_cache.GetStats().entries, 1u);
}

TEST_F(PictureCacheTest, AnswersSizesToCores) {
    const fs::path p = Write("大衣.png", Plain(17, 9, 5, 6, 7));
    platform::image::CachedPictureSizes sizes;
    platform::PictureSizeSource& source = sizes;
    EXPECT_EQ(source.SizeOf(p), (platform::PicSize{17, 9}));
    EXPECT_EQ(source.SizeOf(m_dir / "none.png"), std::nullopt);
    EXPECT_EQ(platform::image::PictureSize(p), wxSize(17, 9));
    EXPECT_EQ(Decodes(), 1u);
}

}  // namespace

namespace {

TEST_F(PictureCacheTest, PrefetchDecodesEachFileOnceOnSeveralThreads) {
    std::vector<fs::path> paths;
    for (int i = 0; i < 12; ++i)
        paths.push_back(Write("p" + std::to_string(i) + ".png", Plain(20 + i, 10, 10 * i, 0, 0)));
    const fs::path broken = m_dir / "broken.png";
    std::ofstream(broken) << "not a picture";
    paths.push_back(paths[3]);         // twice in the list
    paths.push_back(m_dir / "missing.png");
    paths.push_back(broken);
    m_cache.Prefetch(paths, 4);
    EXPECT_EQ(Decodes(), 13u);  // 12 pictures and the broken file, once each
    for (int i = 0; i < 12; ++i) {
        const auto img = m_cache.Get(paths[i]);
        ASSERT_TRUE(img) << i;
        EXPECT_EQ(img->GetSize(), wxSize(20 + i, 10));
        EXPECT_EQ(img->GetRed(0, 0), 10 * i);
    }
    EXPECT_FALSE(m_cache.Get(broken));
    EXPECT_EQ(Decodes(), 13u);
    // Again: everything is held already; a changed file is read again.
    Touch(paths[5], 5);
    m_cache.Prefetch(paths, 4);
    EXPECT_EQ(Decodes(), 14u);
}

}  // namespace

namespace {

TEST_F(PictureCacheTest, GetAllAnswersInOrderAndHandsEachFreshPictureOnOnce) {
    std::vector<fs::path> paths;
    for (int i = 0; i < 6; ++i) paths.push_back(Write("g" + std::to_string(i) + ".png", Plain(10 + i, 8, 30 * i, 0, 0)));
    const fs::path broken = m_dir / "broken.png";
    std::ofstream(broken) << "not a picture";
    paths.push_back(paths[2]);  // index 6: the same file again
    paths.push_back(m_dir / "missing.png");
    paths.push_back(broken);
    m_cache.Get(paths[0]);  // held already: not handed on

    std::mutex lock;
    std::map<std::size_t, wxSize> handed;
    auto hook = [&](std::size_t index, const std::shared_ptr<const wxImage>& picture) {
        std::lock_guard guard(lock);
        EXPECT_TRUE(handed.emplace(index, picture->GetSize()).second) << index;
    };
    const auto all = m_cache.GetAll(paths, 4, hook);
    ASSERT_EQ(all.size(), paths.size());
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(all[i]) << i;
        EXPECT_EQ(all[i]->GetRed(0, 0), 30 * i);
        EXPECT_EQ(all[i], m_cache.Get(paths[i])) << "the held picture itself";
    }
    EXPECT_EQ(all[6], all[2]);
    EXPECT_FALSE(all[7]);
    EXPECT_FALSE(all[8]);
    // The five pictures decoded now, each under its first place; not the held
    // one, not the broken file.
    EXPECT_EQ(handed, (std::map<std::size_t, wxSize>{
                          {1, {11, 8}}, {2, {12, 8}}, {3, {13, 8}}, {4, {14, 8}}, {5, {15, 8}}}));

    handed.clear();
    Touch(paths[4], 5);
    m_cache.GetAll(paths, 4, hook);
    EXPECT_EQ(handed, (std::map<std::size_t, wxSize>{{4, {14, 8}}})) << "only the changed file";
}

}  // namespace

namespace {

TEST_F(PictureCacheTest, GetAllBeyondTheBoundsDecodesEachFileOnceAndAnswersEveryPicture) {
    std::vector<fs::path> paths;
    for (int i = 0; i < 5; ++i) paths.push_back(Write("b" + std::to_string(i) + ".png", Plain(8 + i, 6, 40 * i, 0, 0)));
    paths.push_back(paths[0]);  // the same file again, after the others pushed it out
    m_cache.SetLimits(2, PictureCache::kDefaultMaxBytes);

    std::mutex lock;
    std::map<std::size_t, int> handed;
    const auto all = m_cache.GetAll(paths, 3, [&](std::size_t index, const std::shared_ptr<const wxImage>&) {
        std::lock_guard guard(lock);
        ++handed[index];
    });
    EXPECT_EQ(Decodes(), 5u);
    EXPECT_EQ(handed, (std::map<std::size_t, int>{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    ASSERT_EQ(all.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ASSERT_TRUE(all[i]) << i;
        EXPECT_EQ(all[i]->GetRed(0, 0), 40 * static_cast<int>(i % 5)) << i;
    }
    EXPECT_EQ(all[5], all[0]);
    EXPECT_EQ(m_cache.GetStats().entries, 2u);
}

}  // namespace
