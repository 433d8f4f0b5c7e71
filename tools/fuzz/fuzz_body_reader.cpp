// libFuzzer target: the body records file ".by3" as the measurement form
// reads it. Any file loads without reading past the table; what loads is the
// file's own header and records (the count cut to what is there), and every
// record reads as a bounded name and values.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"

namespace fs = std::filesystem;

namespace {
const fs::path& WorkDir() {
    static const fs::path dir = [] {
        const fs::path d = fs::read_symlink("/proc/self/exe").parent_path() / "work" / "body_reader_files";
        fs::create_directories(measure::DataFolder(d));
        return d;
    }();
    return dir;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(measure::DataFile(WorkDir(), measure::kBodyFileName), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    measure::CSizeDatabase db;
    db.CopyTrimmedName(WorkDir());
    const measure::LoadResult r = db.LoadBodies();
    const int count = db.GetBodyCount();
    if (count < 0 || count > measure::kMaxBodies) std::abort();
    if (r == measure::LoadResult::Loaded) {
        const auto bytes = db.BodyFileBytes();
        if (bytes.size() != 52 + static_cast<std::size_t>(count) * 236 || bytes.size() > size) std::abort();
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if ((i < 28 || i >= 32) && bytes[i] != data[i]) std::abort();
    } else if (count != 0) {
        std::abort();
    }
    for (int i = -1; i <= count; ++i) {
        std::string texts[2];
        std::int32_t values[measure::kFormValues];
        const int got = db.GetBody(i, texts, values, measure::kFormValues);
        if (got != (i >= 0 && i < count ? 1 : 0)) std::abort();
        if (got && (texts[1].size() != 1 || db.GetBodyName(i).size() > 25 * 3)) std::abort();
    }
    return 0;
}
