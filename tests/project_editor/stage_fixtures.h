#pragma once
// A project in the store built from a short spec ("T:上装 a b T:下装 c"), a
// picture-size table and a recorder of what the canvas does to the drawing
// list, for the stage editor's core tests.
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/picture_size.h"
#include "project_editor/project_store.h"
#include "project_editor/stage_canvas.h"
#include "project_editor/stage_slot.h"
#include "tests/support/temp_dir.h"

namespace stagetest {

namespace fs = std::filesystem;
using namespace project_editor;

class FakeSizes : public platform::PictureSizeSource {
public:
    std::optional<platform::PicSize> SizeOf(const fs::path& p) override {
        const auto it = sizes.find(p.stem().string());
        if (it != sizes.end()) return it->second;
        return platform::PicSize{100, 200};
    }
    std::map<std::string, platform::PicSize> sizes;
};

class RecordingDrawing : public StageDrawing {
public:
    void AddItem(char kind) override { log.push_back(std::string("item ") + kind); }
    void AddPoint(int x, int y) override { log.push_back("pt " + std::to_string(x) + "," + std::to_string(y)); }
    void EndItem() override { log.push_back("end"); }
    void BeginRubberBand(char mode, int x, int y) override {
        log.push_back(std::string("band ") + mode + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void MoveRubberBand(int x, int y) override { last = std::to_string(x) + "," + std::to_string(y); }
    void EndRubberBand() override { log.push_back("unband"); }
    void Clear() override { log.push_back("clear"); }
    std::string Items() const {  // the item and point entries only
        std::string s;
        for (const auto& l : log)
            if (l.rfind("item", 0) == 0 || l.rfind("pt", 0) == 0) s += (s.empty() ? "" : " ") + l;
        return s;
    }
    std::vector<std::string> log;
    std::string last;
};

// Parts by spec: "T:name" a caption row (a new category letter), "K:name" a
// locked part, any other word an ordinary part whose picture has its name.
inline void FillProject(CProjectStore& store, const std::string& spec) {
    std::istringstream in(spec);
    std::string word;
    int n = 0;
    char letter = '@';
    while (in >> word) {
        PartRecord& p = store.Part(n);
        p.Reset();
        if (word.rfind("T:", 0) == 0) {
            ++letter;
            p.SetRowType('T');
            p.SetName(word.substr(2));
        } else if (word.rfind("K:", 0) == 0) {
            p.SetRowType('K');
            p.SetName(word.substr(2));
            p.SetPictureName(word.substr(2));
        } else {
            p.SetRowType(' ');
            p.SetName(word);
            p.SetPictureName(word);
        }
        p.SetCategory(letter < 'A' ? 'A' : letter);
        store.Face(n).Reset();
        ++n;
    }
    store.SetPartCount(n);
}

struct Stage {
    testsupport::TempDir dir;
    CProjectStore store;
    StageSlotTable slots;
    FakeSizes sizes;
    RecordingDrawing drawing;

    explicit Stage(const std::string& spec) {
        store.SetBaseDir(dir.path());
        store.Header().SetPictureFolder((dir.path() / "pics").string());
        fs::create_directories(dir.path() / "pics");
        fs::create_directories(dir.path() / "KZV网页项目文件");
        FillProject(store, spec);
        store.SetProjectName("测试项目");
    }
    fs::path ProjectFile() const { return dir.path() / "KZV网页项目文件" / "测试项目.dm3"; }
};

}  // namespace stagetest
