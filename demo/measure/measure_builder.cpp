// measure_builder: writes the demo body records and size chart into the
// measurement data folder of a base directory, from customers.txt and
// size_chart.txt, through the size database itself.
//
// Usage: measure_builder CUSTOMERS SIZE_CHART BASE_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "measure_market/measure_data.h"
#include "measure_market/size_database.h"

namespace {

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> out;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, sep)) out.push_back(part);
    if (!line.empty() && line.back() == sep) out.emplace_back();
    return out;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "measure_builder: %s\n", what.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) Fail("usage: measure_builder CUSTOMERS SIZE_CHART BASE_DIR");
    const std::filesystem::path base = argv[3];
    std::filesystem::create_directories(measure::DataFolder(base));
    std::filesystem::remove(measure::DataFile(base, measure::kBodyFileName));
    std::filesystem::remove(measure::DataFile(base, measure::kSizeFileName));
    measure::CSizeDatabase db;
    db.CopyTrimmedName(base);
    db.LoadBodies();
    db.LoadSizes();

    std::ifstream customers(argv[1]);
    if (!customers) Fail(std::string("cannot read ") + argv[1]);
    std::string line;
    while (std::getline(customers, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        std::string name, sex, v;
        in >> name >> sex;
        std::vector<std::int32_t> values;
        while (in >> v) values.push_back(v == "-" ? -1 : static_cast<std::int32_t>(std::stod(v) * 100 + 0.5));
        if (values.size() != measure::kFormValues) Fail("customer " + name + ": need 39 values");
        const std::string texts[2] = {name, sex};
        if (db.AddBody(texts, values.data(), measure::kFormValues) != measure::StoreResult::Stored)
            Fail("cannot store " + name + ": " + db.lastError());
    }

    std::ifstream chart(argv[2]);
    if (!chart) Fail(std::string("cannot read ") + argv[2]);
    int row = 0;
    while (std::getline(chart, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto f = Split(line, '|');
        if (f.size() == 4 && f[0] == "title") {
            db.SetSizeField(row, 8, f[2]);
            db.SetSizeField(row, 1, f[1]);
            db.SetSizeField(row, 9, f[3]);
            db.EditSizeRow(measure::kRowTitle, row);
        } else if (f.size() == 10 && f[0] == "size") {
            db.SetSizeField(row, 8, f[8]);
            for (int c = 1; c <= 5; ++c) db.SetSizeField(row, c, f[static_cast<std::size_t>(c)]);
            db.SetSizeField(row, 9, f[9]);
            if (f[6] == "W") db.ToggleSizeFlag(row, measure::kCharSex);
            while (db.GetSizeChar(row, measure::kCharDigit) != f[7][0]) db.ToggleSizeFlag(row, measure::kCharDigit);
        } else {
            Fail("size chart: cannot read \"" + line + "\"");
        }
        ++row;
    }
    if (!db.SaveSizes()) Fail("cannot write the size chart: " + db.lastError());
    return 0;
}
