// libFuzzer target: the size chart file ".cd3". Any file loads or is refused
// without reading past the tables; a loaded file writes back byte for byte;
// the rows' texts read bounded, their parameter texts parse and match
// against a body, and edits on the loaded chart stay inside the tables.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"

namespace fs = std::filesystem;

namespace {
const fs::path& WorkDir() {
    static const fs::path dir = [] {
        const fs::path d = fs::read_symlink("/proc/self/exe").parent_path() / "work" / "size_chart_files";
        fs::create_directories(measure::DataFolder(d));
        return d;
    }();
    return dir;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(measure::DataFile(WorkDir(), measure::kSizeFileName), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        // One body to match with, written once.
        std::ofstream out(measure::DataFile(WorkDir(), measure::kBodyFileName), std::ios::binary | std::ios::trunc);
    }
    measure::CSizeDatabase db;
    db.CopyTrimmedName(WorkDir());
    db.LoadBodies();
    const measure::LoadResult r = db.LoadSizes();
    const std::vector<std::uint8_t> input(data, data + size);
    if (r == measure::LoadResult::Loaded) {
        if (db.SizeFileBytes() != input) std::abort();
    } else if (db.GetSizeCount() != 0) {
        std::abort();
    }
    for (int row = 0; row <= db.GetSizeCount(); ++row)
        for (int field = 0; field <= 9; ++field)
            if (db.GetSizeField(row, field).size() > 250 * 3) std::abort();
    std::int32_t values[measure::kFormValues];
    for (int i = 0; i < measure::kFormValues; ++i) values[i] = size > 0 ? 5000 + data[i % size] * 40 : -1;
    const std::string texts[2] = {"fuzz", size % 2 ? "M" : "W"};
    db.AddBody(texts, values, measure::kFormValues);
    std::string t[2];
    db.GetBody(0, t, values, measure::kFormValues);
    const int matched = db.MatchSizes();
    if (matched < 0 || matched > db.GetStoredRowCount()) std::abort();
    db.ResetFilter(measure::kRowTitle);
    db.SetSizeField(0, 8, "身高:160-170,胸围:<88");
    db.SetSizeField(db.GetStoredRowCount(), 8, "腰围:70");
    db.EditSizeRow(measure::kRowInsert, 0);
    db.EditSizeRow(measure::kRowDelete, 0);
    if (db.GetStoredRowCount() > measure::kMaxSizeRows || db.slotCount() > measure::kMaxSlots ||
        db.poolUsed() >= measure::kPoolBytes)
        std::abort();
    return 0;
}
