#pragma once
// The work of the part parameters dialog and its face-media grid, without a
// window: the texts of one part shown and saved with their limits, the
// depth clamp and the release of the old stage slot, the scale choices,
// deleting the part, the voice list, the face-media cells and applying a
// pick from the picture/sound list to a face string.
//
// Window thread only; works on the process-wide store and stage slots
// passed in.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "project_editor/project_store.h"
#include "project_editor/stage_slot.h"

namespace project_editor {

// Field limits on save, in GBK bytes, cut on a character boundary.
inline constexpr std::size_t kNameLimit = 65;
inline constexpr std::size_t kGoodsCodeLimit = 13;
inline constexpr std::size_t kVoiceLimit = 25;
inline constexpr std::size_t kWebLinkLimit = 218;
inline constexpr std::size_t kPriceLimit = 8;
inline constexpr int kMaxFacesShown = 9;
inline constexpr const char* kFaceKinds[] = {"JPG", "PNG", "GIF"};
inline constexpr const char* kScaleChoices[] = {"1:1", "1:1全部"};
inline constexpr std::string_view kDeletePartQuestion = "真要删除当前图片吗?请确认!";
inline constexpr std::string_view kAllScalesQuestion = "真要将所有图片的比例设为 1:1 吗?请确认!";
// Titles of the system files every project carries; lists leave them out.
inline constexpr const char* kSystemFileTitles[] = {"background_music", "Gif_InitSound", "onLineHelp",
                                                    "photo",           "stageBkg001",   "stageBkg002",
                                                    "stageBkg003",     "stageBkg004",   "stageBkg005"};
bool IsSystemFileTitle(std::string_view title);

// UTF-8 text whose GBK form is cut to `limit` bytes on a character boundary.
std::string CutToGbkBytes(std::string_view utf8, std::size_t limit);
// The leading decimal number of a text (an optional sign, then digits); 0
// when there is none, saturated at the int range.
int LeadingNumber(std::string_view text);
// A depth text as saved: 0 or less becomes 1, 100 or more 99.
int ClampedDepth(std::string_view text);

// The texts the dialog shows and saves.
struct PartParamTexts {
    std::string name, goodsCode, voice, webLink, price;
    std::string depth;      // "1".."99"
    std::string showCount;  // "0".."9"
    std::string type;       // "JPG", "PNG" or "GIF"
    std::string scale;      // "%-8.4f"
};

enum class ListPickResult {
    Applied,
    Ignored,   // empty text, or a face at or past the face count
    PoolFull,  // the text pool has no room: the old string is kept
};

enum class DeleteResult { Deleted, NoPart, SaveFailed };

class PartParams {
public:
    PartParams(CProjectStore& store, StageSlotTable& slots) : m_store(store), m_slots(slots) {}

    // The part the dialog edits; false (and -1) outside 0..N-1.
    bool SetPartIndex(int part);
    int part() const { return m_part; }
    bool valid() const { return m_part >= 0 && m_part < m_store.PartCount(); }

    // Initialisation: cuts the part's texts in the record to their limits and
    // returns what the controls show; remembers the depth at opening.
    PartParamTexts Init();
    int depthAtOpening() const { return m_depthAtOpening; }

    // Saving: the texts go into the record with their limits, the depth is
    // clamped and the old depth's stage slot released when it showed this
    // part; "1:1" sets this part's scale to 1.0. The project is saved.
    SaveResult Save(const PartParamTexts& texts, std::string_view scaleChoice, std::string* error = nullptr);

    // The show count chosen in the combo: takes effect at once.
    void SetShowCount(char digit);
    // Every part that is neither 'T' nor 'K' gets scale 1.0; returns how many.
    int SetAllScales();

    // Deletes the part: later part and face records move one place up, the
    // stage references follow, the vacated last records are reset, N drops
    // by one and M stays at most N; the project is saved. `moves` receives
    // old index -> new index (-1 for the deleted one).
    DeleteResult Delete(std::vector<int>& moves, std::string* error = nullptr);

    // Applies a name picked from the list to face `face` of string kind
    // `kind` (1 face pictures, 2 animation pictures, 3 face sounds, 4
    // animation sounds).
    ListPickResult ApplyListPick(int kind, int face, std::string_view text);
    // "%d,%d" of a picked picture's size, when both are above 0.
    void SetFacePictureSize(int width, int height);

private:
    CProjectStore& m_store;
    StageSlotTable& m_slots;
    int m_part = -1;
    int m_depthAtOpening = -1;
};

// The voice files of a project's sound folder: every file whose title is not
// a system title, sorted, at most 260.
std::vector<std::string> ListVoiceFiles(const std::filesystem::path& soundFolder);
// The three characters after the last '.', or "mp3" when there is none.
std::string VoiceExtension(std::string_view name);

// The face-media grid's model of one part.
// Face count of the part's face record, 0..9; 0 for a part outside the project.
int MediaFaceCount(const CProjectStore& store, int part);
// Text of data cell (column 1..4, row) of the media grid.
std::string MediaCellText(const CProjectStore& store, int part, int column, int row);
// When the part has faces, no kind-1 face-0 string and a face name, the face
// name goes into the pool as that string. True when it was added. The
// dialog calls it at initialisation for its own part.
bool SeedFaceName(CProjectStore& store, int part);

}  // namespace project_editor
