#pragma once
// The process's decoded pictures, so that a repaint never decodes a file
// twice. An entry is keyed by the path and stamped with the file's
// modification time and size: a file changed on disk is decoded again on its
// next use. Files that are missing or not pictures answer null, and a broken
// file is not re-read until it changes. The least recently used pictures are
// dropped beyond a bound on entries and decoded bytes.
//
// Window code on the main thread uses it; cores that only need sizes reach it
// through PictureSizeSource (CachedPictureSizes).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/image.h>

#include "platform/picture_size.h"

namespace platform::image {

class PictureCache {
public:
    static constexpr std::size_t kDefaultMaxEntries = 512;
    static constexpr std::size_t kDefaultMaxBytes = 256u * 1024 * 1024;

    // The one cache of the process.
    static PictureCache& Instance();

    PictureCache() = default;
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // The decoded picture, or null when the file is missing or undecodable.
    std::shared_ptr<const wxImage> Get(const std::filesystem::path& path);

    // Decodes the pictures of `paths` that are not held yet on up to
    // `threads` threads at once (0: one per core), so that the Get calls that
    // follow find them. Returns when all are in. Main thread.
    void Prefetch(const std::vector<std::filesystem::path>& paths, unsigned threads = 0);
    // The pictures of `paths` in their order (null where Get would answer
    // null), those not held yet decoded first as Prefetch does. Each file is
    // looked at once and decoded at most once, also when the pictures are
    // more than the cache's bounds hold. `decoded`, when given, is called on
    // the decoding thread for each picture decoded now (with the index of its
    // first path), so that work on the fresh picture follows at once; it must
    // only read the picture and write what is its own. Main thread.
    using DecodedHook = std::function<void(std::size_t index, const std::shared_ptr<const wxImage>& picture)>;
    std::vector<std::shared_ptr<const wxImage>> GetAll(const std::vector<std::filesystem::path>& paths,
                                                       unsigned threads = 0, const DecodedHook& decoded = {});

    // The picture held for the file as it is now, without decoding: null when
    // it is not held or the file changed since (or is gone).
    std::shared_ptr<const wxImage> Held(const std::filesystem::path& path);

    // The picture's pixel size, or nullopt when it is missing or undecodable.
    // Sizes are remembered apart from the pictures, so a size stays known
    // after its picture has been dropped from the cache.
    std::optional<wxSize> SizeOf(const std::filesystem::path& path);

    // Forgets every picture, size and the statistics (tests; after a folder of
    // pictures was replaced). The limits stay.
    void Clear();

    // Bounds on the pictures kept; at least the last picture used is kept.
    void SetLimits(std::size_t max_entries, std::size_t max_bytes);

    struct Stats {
        std::size_t decodes = 0;  // files read and decoded
        std::size_t entries = 0;  // pictures (and failures) held now
        std::size_t bytes = 0;    // decoded bytes held now
    };
    Stats GetStats() const;

private:
    struct Stamp {
        std::int64_t mtimeNs = 0;  // modification time
        std::uintmax_t size = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    struct Entry {
        Stamp stamp;
        std::shared_ptr<const wxImage> image;  // null: the file did not decode
        std::size_t bytes = 0;
        std::list<std::string>::iterator lru;
    };
    struct KnownSize {
        Stamp stamp;
        std::optional<wxSize> size;
    };

    static std::optional<Stamp> StampOf(const std::filesystem::path& path);
    void InsertLocked(const std::string& key, const Stamp& stamp, wxImage decoded);
    void InsertLocked(const std::string& key, const Stamp& stamp, std::shared_ptr<const wxImage> decoded);
    std::shared_ptr<const wxImage> GetLocked(const std::string& key,
                                             const std::filesystem::path& path, const Stamp& stamp);
    void EraseLocked(const std::string& key);
    void TrimLocked();

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
    std::list<std::string> m_lru;  // most recently used first
    std::unordered_map<std::string, KnownSize> m_sizes;
    std::size_t m_bytes = 0;
    std::size_t m_decodes = 0;
    std::size_t m_maxEntries = kDefaultMaxEntries;
    std::size_t m_maxBytes = kDefaultMaxBytes;
};

// Shorthands for PictureCache::Instance().
std::shared_ptr<const wxImage> CachedPicture(const std::filesystem::path& path);
std::optional<wxSize> PictureSize(const std::filesystem::path& path);

// Picture sizes for cores, answered by the process's cache.
class CachedPictureSizes : public platform::PictureSizeSource {
public:
    std::optional<platform::PicSize> SizeOf(const std::filesystem::path& path) override;
};

}  // namespace platform::image
