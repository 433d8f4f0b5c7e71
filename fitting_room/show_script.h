#pragma once
// The show stage's script "服饰发布展台图片/KZV动画描述.txt" and the tables it
// fills: up to ten actor pictures, move scenes made of steps over key rows,
// pose scenes over fixed positions, the beat and the stage background.
//
// The script is GBK text of blocks: '<' ... '>' names the pictures, the key
// colour, the background and the beat; '[' ... ']' is a move scene (steps in
// parentheses, "NUM" frames); '(' ... ')' is a pose scene. Everything outside
// a block is ignored. The reader never writes outside a table: a script that
// asks for more rows, steps or positions than the tables hold loses what does
// not fit.
//
// Window thread only; ShowTables is a plain value that tests build and read.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace fitting_room {

inline constexpr int kShowPictures = 10;      // "BMP1".."BMP9", "BMPA"
inline constexpr int kShowSlots = 10;         // slots 0-9 of a record
inline constexpr int kShowSlotFields = 11;    // the record's arrays (one spare)
inline constexpr int kSceneRecords = 66;
inline constexpr int kSceneCountCap = 60;     // scenes counted and played
inline constexpr int kStepRecords = 166;
inline constexpr int kStepBlockLimit = 130;   // a move block is taken while steps <= this
inline constexpr int kKeyRows = 960;
inline constexpr int kPoseEntries = 1600;     // position entries of pose scenes
inline constexpr int kComputedPositions = 1720;  // entries 1720-1729: the player's slot positions
inline constexpr int kPositionEntries = 1730;
inline constexpr std::size_t kScriptReadLimit = 65000;
inline constexpr std::size_t kBlockTextLimit = 600;
inline constexpr std::size_t kTokenLimit = 17;
inline constexpr std::size_t kWaveNameLimit = 70;
inline constexpr std::int32_t kDefaultDelay = 100;

inline constexpr std::string_view kShowFolder = "服饰发布展台图片";
inline constexpr std::string_view kShowScriptName = "KZV动画描述.txt";

// Picture states.
inline constexpr char kPictureNone = ' ';
inline constexpr char kPictureNamed = 'Y';
inline constexpr char kPictureLoaded = 'y';

// One layout for scenes and steps.
struct ShowRecord {
    char unused = ' ';
    std::array<char, kShowSlotFields> slotActive;
    char moveScene = ' ';  // 'Y': a move scene ("NUM")
    char ownWave = ' ';    // 'Y': the scene has its own wave ("WAV")
    std::string waveName;  // UTF-8; at most 70 GBK bytes
    // Step: the key row of each slot. Pose scene: the position entry of each
    // slot. Move scene: [0] first step, [1] end step (one past the last).
    std::array<std::int32_t, kShowSlotFields> slotIndex;
    std::array<std::int32_t, kShowSlotFields> slotPicture;  // picture number 0-9
    std::int32_t countOrDelay = kDefaultDelay;  // frames of a move scene, else the delay in ms
    std::array<float, kShowSlotFields> slotScale;

    ShowRecord() {
        slotActive.fill(' ');
        slotIndex.fill(-1);
        slotPicture.fill(-1);
        slotScale.fill(1.0f);
    }
    bool Active(int slot) const { return slot >= 0 && slot < kShowSlots && slotActive[slot] == 'Y'; }
    bool IsMoveScene() const { return moveScene == 'Y'; }
    int firstStep() const { return slotIndex[0]; }
    int endStep() const { return slotIndex[1]; }
};

struct KeyRow {
    std::int32_t x = 50, y = 50, dx = 0, dy = 0;
    float scale = 1.0f, dscale = 0.0f;
};

struct ShowPosition {
    std::int32_t x = 0, y = 0;
};

struct ShowPictureBlock {
    std::array<std::string, kShowPictures> names;  // UTF-8
    std::array<char, kShowPictures> states;
    std::string beatWave;  // UTF-8; empty: the default beat
    std::array<std::int32_t, 3> rgb{0, 0, 0};  // the key colour: pixels of it are transparent
    std::int32_t background = 0;  // 2 and 3 pick the second and third show background

    ShowPictureBlock() { states.fill(kPictureNone); }
    bool Named(int picture) const {
        return picture >= 0 && picture < kShowPictures && states[picture] != kPictureNone;
    }
};

struct ShowTables {
    ShowPictureBlock pictures;
    std::array<ShowRecord, kSceneRecords> scenes;
    std::array<ShowRecord, kStepRecords> steps;
    std::array<KeyRow, kKeyRows> keyRows;
    std::array<ShowPosition, kPositionEntries> positions;
    int sceneCount = 0;
    int stepCount = 0;
    int keyRowCount = 0;
    int positionCount = 0;

    // Everything back to its empty value.
    void Empty() { *this = ShowTables(); }
};

// Empties `tables` and reads the script text (GBK bytes, at most the first
// 65,000 are looked at) into them.
void ParseShowScript(std::string_view gbk, ShowTables& tables);

// The script's path under the base directory.
std::filesystem::path ShowScriptPath(const std::filesystem::path& base);
// A picture's or a wave's file in the show folder ("<name>.bmp", "<name>.wav").
std::filesystem::path ShowFilePath(const std::filesystem::path& base, const std::string& name, const char* ext);

// Reads the script file into `tables`; false (tables unchanged) when the file
// cannot be opened.
bool LoadShowScript(const std::filesystem::path& base, ShowTables& tables);

// The show stage's process-wide tables, and a fresh set for tests.
ShowTables& ShowStageTables();
void ResetShowStageTables();

}  // namespace fitting_room
