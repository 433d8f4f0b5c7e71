// libFuzzer target: the body records file ".by3" as the measurement form
// reads it, and what the form computes from the records read. Any file loads
// without reading past the table: what loads is the file's own header and
// records (bytes after them ignored); a file that does not hold what its
// header announces is kept, and nothing the form does writes over it. Every
// record reads as a bounded name and values, its values show on the labels,
// and the record matches against a small size chart.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "measure_market/measure_data.h"
#include "measure_market/measure_labels.h"
#include "measure_market/size_database.h"
#include "measure_market/value_units.h"

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

std::vector<std::uint8_t> ReadBack(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A chart with a title row and rows of both sexes, written once.
const std::vector<std::uint8_t>& Chart() {
    static const std::vector<std::uint8_t> bytes = [] {
        measure::CSizeDatabase db;  // no folder: nothing is written
        db.SetSizeField(0, 8, "胸围:300,腰围:*");
        db.EditSizeRow(measure::kRowTitle, 0);
        db.SetSizeField(1, 8, "身高:150-175,胸围:80-96,腰围:<70,臀围:90");
        db.SetSizeField(1, 1, "女上装");
        db.SetSizeField(2, 8, "领围:[38,袖长:58-62,肩宽:44,脚长:25.5,裤长:100-110");
        db.SetSizeField(2, 1, "西装上衣");
        db.ToggleSizeFlag(1, measure::kCharSex);
        return db.SizeFileBytes();
    }();
    return bytes;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path file = measure::DataFile(WorkDir(), measure::kBodyFileName);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        const auto& chart = Chart();
        std::ofstream out(measure::DataFile(WorkDir(), measure::kSizeFileName), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(chart.data()), static_cast<std::streamsize>(chart.size()));
    }
    measure::CSizeDatabase db;
    db.CopyTrimmedName(WorkDir());
    const measure::LoadResult r = db.LoadBodies();
    if (db.LoadSizes() != measure::LoadResult::Loaded) std::abort();
    const int count = db.GetBodyCount();
    if (count < 0 || count > measure::kMaxBodies) std::abort();
    if (r == measure::LoadResult::Loaded) {
        const auto bytes = db.BodyFileBytes();
        if (bytes.size() != 52 + static_cast<std::size_t>(count) * 236 || bytes.size() > size) std::abort();
        if (std::memcmp(bytes.data(), data, bytes.size()) != 0) std::abort();
        if (db.bodyFileKept()) std::abort();
    } else {
        if (count != 0 || !db.bodyFileKept()) std::abort();
        const std::string texts[2] = {"fuzz", "W"};
        std::int32_t values[measure::kFormValues] = {};
        if (db.AddBody(texts, values, measure::kFormValues) != measure::StoreResult::FileKept) std::abort();
        const auto after = ReadBack(file);
        if (after.size() != size || (size && std::memcmp(after.data(), data, size) != 0)) std::abort();
    }
    for (int i = -1; i <= count; ++i) {
        std::string texts[2];
        std::int32_t values[measure::kFormValues];
        const int got = db.GetBody(i, texts, values, measure::kFormValues);
        if (got != (i >= 0 && i < count ? 1 : 0)) std::abort();
        if (!got) continue;
        if (texts[1].size() != 1 || db.GetBodyName(i).size() > 25 * 3) std::abort();
        // The form's labels show the values; the matcher takes the record.
        measure::MeasureLabels labels;
        labels.SetModelSex(texts[1][0] == 'M' ? 'M' : 'W');
        labels.LoadValues(values);
        for (int v = 0; v < measure::kFormValues; ++v) {
            if (measure::FormatCentimetres(labels.value(v)).size() > 16) std::abort();
            for (auto unit : {measure::ValueUnit::Inch, measure::ValueUnit::Chi})
                if (measure::FormatInUnit(labels.value(v), unit).size() > 24) std::abort();
        }
        const int matched = db.MatchSizes();
        if (matched < 0 || matched > db.GetStoredRowCount() || db.GetSizeCount() > db.GetStoredRowCount()) std::abort();
        db.ResetFilter(measure::kRowTitle);
    }
    return 0;
}
