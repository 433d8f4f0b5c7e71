#include "platform/image/picture_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "platform/image/picture_io.h"

namespace platform::image {

namespace {

// Sizes are small; past this many the memo starts afresh.
constexpr std::size_t kMaxKnownSizes = 8192;

std::string KeyOf(const std::filesystem::path& path) {
    return path.lexically_normal().string();
}

std::size_t BytesOf(const wxImage& img) {
    const std::size_t pixels = std::size_t(img.GetWidth()) * std::size_t(img.GetHeight());
    return pixels * (img.HasAlpha() ? 4 : 3);
}

}  // namespace

PictureCache& PictureCache::Instance() {
    static PictureCache cache;
    return cache;
}

std::optional<PictureCache::Stamp> PictureCache::StampOf(const std::filesystem::path& path) {
    // One look at the file: a repaint asks for every picture it shows.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    Stamp stamp;
    stamp.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.size = static_cast<std::uintmax_t>(st.st_size);
    return stamp;
}

std::shared_ptr<const wxImage> PictureCache::Get(const std::filesystem::path& path) {
    const std::string key = KeyOf(path);
    const auto stamp = StampOf(path);
    std::lock_guard lock(m_mutex);
    if (!stamp) {
        EraseLocked(key);
        m_sizes.erase(key);
        return nullptr;
    }
    return GetLocked(key, path, *stamp);
}

std::shared_ptr<const wxImage> PictureCache::GetLocked(const std::string& key,
                                                      const std::filesystem::path& path,
                                                      const Stamp& stamp) {
    if (auto it = m_entries.find(key); it != m_entries.end()) {
        if (it->second.stamp == stamp) {
            m_lru.splice(m_lru.begin(), m_lru, it->second.lru);
            return it->second.image;
        }
        EraseLocked(key);
    }

    InsertLocked(key, stamp, LoadPicture(path));
    return m_entries.at(key).image;
}

void PictureCache::InsertLocked(const std::string& key, const Stamp& stamp, wxImage decoded) {
    InsertLocked(key, stamp, decoded.IsOk() ? std::make_shared<const wxImage>(std::move(decoded)) : nullptr);
}

void PictureCache::InsertLocked(const std::string& key, const Stamp& stamp, std::shared_ptr<const wxImage> decoded) {
    EraseLocked(key);
    ++m_decodes;
    Entry entry;
    entry.stamp = stamp;
    if (decoded && decoded->IsOk()) {
        entry.bytes = BytesOf(*decoded);
        entry.image = std::move(decoded);
    }
    if (m_sizes.size() >= kMaxKnownSizes) m_sizes.clear();
    m_sizes[key] = KnownSize{stamp, entry.image ? std::optional(entry.image->GetSize())
                                                : std::nullopt};

    m_lru.push_front(key);
    entry.lru = m_lru.begin();
    m_bytes += entry.bytes;
    m_entries.emplace(key, std::move(entry));
    TrimLocked();
}

void PictureCache::Prefetch(const std::vector<std::filesystem::path>& paths, unsigned threads) {
    GetAll(paths, threads);
}

std::vector<std::shared_ptr<const wxImage>> PictureCache::GetAll(const std::vector<std::filesystem::path>& paths,
                                                                 unsigned threads, const DecodedHook& decoded) {
    // What this call found for each file, by key: its stamp (one look at the
    // file, however often its path comes) and its picture, held already or
    // decoded now. The answers come from here, so a picture that the ones
    // decoded after it pushed out of the cache is still answered, not decoded
    // a second time.
    struct Found {
        std::optional<Stamp> stamp;
        std::shared_ptr<const wxImage> image;
    };
    std::unordered_map<std::string, Found> found;
    std::vector<std::string> keys;
    std::vector<std::size_t> firsts;  // the index of each key's first path
    keys.reserve(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        keys.push_back(KeyOf(paths[i]));
        auto [it, fresh] = found.try_emplace(keys.back());
        if (!fresh) continue;
        it->second.stamp = StampOf(paths[i]);
        firsts.push_back(i);
    }

    struct Job {
        std::size_t index;
        Found* found;
        std::shared_ptr<const wxImage> decoded;
    };
    std::vector<Job> jobs;
    {
        std::lock_guard lock(m_mutex);
        for (std::size_t i : firsts) {
            const std::string& key = keys[i];
            Found& f = found.at(key);
            if (!f.stamp) {
                EraseLocked(key);
                m_sizes.erase(key);
            } else if (auto it = m_entries.find(key); it != m_entries.end() && it->second.stamp == *f.stamp) {
                f.image = it->second.image;
            } else {
                jobs.push_back(Job{i, &f, {}});
            }
        }
    }
    if (!jobs.empty()) {
        EnsureImageHandlers();
        if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
        threads = std::min<unsigned>(threads, static_cast<unsigned>(jobs.size()));
        // Each worker takes the next file; decoding shares nothing between files.
        std::atomic<std::size_t> next{0};
        auto work = [&] {
            for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();) {
                wxImage picture = LoadPicture(paths[jobs[i].index]);
                if (!picture.IsOk()) continue;
                jobs[i].decoded = std::make_shared<const wxImage>(std::move(picture));
                if (decoded) decoded(jobs[i].index, jobs[i].decoded);
            }
        };
        std::vector<std::thread> pool;
        for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
        work();
        for (auto& t : pool) t.join();
    }
    std::lock_guard lock(m_mutex);
    for (Job& job : jobs) {
        job.found->image = job.decoded;
        InsertLocked(keys[job.index], *job.found->stamp, std::move(job.decoded));
    }
    std::vector<std::shared_ptr<const wxImage>> images(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const Found& f = found.at(keys[i]);
        if (!f.stamp) continue;
        images[i] = f.image;
        // Used now: to the front of the queue, while the cache still holds it.
        if (auto it = m_entries.find(keys[i]); it != m_entries.end() && it->second.stamp == *f.stamp)
            m_lru.splice(m_lru.begin(), m_lru, it->second.lru);
    }
    return images;
}

std::shared_ptr<const wxImage> PictureCache::Held(const std::filesystem::path& path) {
    const auto stamp = StampOf(path);
    if (!stamp) return nullptr;
    std::lock_guard lock(m_mutex);
    const auto it = m_entries.find(KeyOf(path));
    return it != m_entries.end() && it->second.stamp == *stamp ? it->second.image : nullptr;
}

std::optional<wxSize> PictureCache::SizeOf(const std::filesystem::path& path) {
    const std::string key = KeyOf(path);
    const auto stamp = StampOf(path);
    std::lock_guard lock(m_mutex);
    if (!stamp) {
        EraseLocked(key);
        m_sizes.erase(key);
        return std::nullopt;
    }
    if (auto it = m_sizes.find(key); it != m_sizes.end() && it->second.stamp == *stamp)
        return it->second.size;
    auto image = GetLocked(key, path, *stamp);
    if (!image) return std::nullopt;
    return image->GetSize();
}

void PictureCache::EraseLocked(const std::string& key) {
    auto it = m_entries.find(key);
    if (it == m_entries.end()) return;
    m_bytes -= it->second.bytes;
    m_lru.erase(it->second.lru);
    m_entries.erase(it);
}

void PictureCache::TrimLocked() {
    while (m_lru.size() > 1 && (m_lru.size() > m_maxEntries || m_bytes > m_maxBytes))
        EraseLocked(m_lru.back());
}

void PictureCache::Clear() {
    std::lock_guard lock(m_mutex);
    m_entries.clear();
    m_lru.clear();
    m_sizes.clear();
    m_bytes = 0;
    m_decodes = 0;
}

void PictureCache::SetLimits(std::size_t max_entries, std::size_t max_bytes) {
    std::lock_guard lock(m_mutex);
    m_maxEntries = max_entries;
    m_maxBytes = max_bytes;
    TrimLocked();
}

PictureCache::Stats PictureCache::GetStats() const {
    std::lock_guard lock(m_mutex);
    return Stats{m_decodes, m_entries.size(), m_bytes};
}

std::shared_ptr<const wxImage> CachedPicture(const std::filesystem::path& path) {
    return PictureCache::Instance().Get(path);
}

std::optional<wxSize> PictureSize(const std::filesystem::path& path) {
    return PictureCache::Instance().SizeOf(path);
}

std::optional<platform::PicSize> CachedPictureSizes::SizeOf(const std::filesystem::path& path) {
    auto size = PictureCache::Instance().SizeOf(path);
    if (!size) return std::nullopt;
    return platform::PicSize{size->GetWidth(), size->GetHeight()};
}

}  // namespace platform::image
