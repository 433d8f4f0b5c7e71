// libFuzzer target: the size chart file ".cd3" and what the measurement form
// computes from it. Any file loads or is refused without reading past the
// tables. A loaded file writes back as its own bytes (what follows the pool
// ignored); the rows' texts read bounded, their parameter texts parse and
// match against a body, and edits on the loaded chart stay inside the
// tables. A refused file is kept: the chart takes no edit, and neither a
// save nor the exit writes over it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

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
    const fs::path file = measure::DataFile(WorkDir(), measure::kSizeFileName);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        // An empty body file: the body to match with is added below.
        std::ofstream out(measure::DataFile(WorkDir(), measure::kBodyFileName), std::ios::binary | std::ios::trunc);
    }
    bool kept = false;
    {
        measure::CSizeDatabase db;
        db.CopyTrimmedName(WorkDir());
        db.LoadBodies();
        db.StartNewBodies();  // the empty body file is no table: start one
        const measure::LoadResult r = db.LoadSizes();
        kept = db.sizeFileKept();
        if (r == measure::LoadResult::Loaded) {
            const auto bytes = db.SizeFileBytes();
            if (kept || bytes.size() > size || std::memcmp(bytes.data(), data, bytes.size()) != 0) std::abort();
        } else if (db.GetSizeCount() != 0 || !kept) {
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
        const int appended = db.SetSizeField(db.GetStoredRowCount(), 8, "腰围:70");
        db.SetSizeField(0, 8, "身高:160-170,胸围:<88");
        db.EditSizeRow(measure::kRowInsert, 0);
        db.EditSizeRow(measure::kRowDelete, 0);
        db.ToggleSizeFlag(0, measure::kCharSex);
        if (db.GetStoredRowCount() > measure::kMaxSizeRows || db.slotCount() > measure::kMaxSlots ||
            db.poolUsed() >= measure::kPoolBytes)
            std::abort();
        if (kept && (appended != -1 || db.dirty() || db.GetStoredRowCount() != 0 || db.SaveSizes())) std::abort();
    }  // the exit's save
    if (kept) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> after{std::istreambuf_iterator<char>(in), {}};
        if (after.size() != size || (size && std::memcmp(after.data(), data, size) != 0)) std::abort();
    }
    return 0;
}
