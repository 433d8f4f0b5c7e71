#pragma once
// The stage editor view's commands on the project and the stage slots,
// without a window: putting the picked part on the stage, storing a
// placement, layer moves, size steps, nudging, the whole-project scale,
// select cycling, deleting, the part's voice file and face pictures, and the
// name of a saved composition. CPavanelView turns its controls into these
// calls and repaints what they report.
//
// Window thread only; works on the process-wide store and slot table it is
// given. Every command that changes a record raises the modified counter, so
// closing the program saves it.
#include <filesystem>
#include <optional>
#include <string>

#include "platform/picture_size.h"
#include "project_editor/project_store.h"
#include "project_editor/stage_slot.h"

namespace project_editor {

// Folders under the base directory and the project folder.
inline constexpr std::string_view kCompositionFolderName = "KZV我制作的搭配图";
inline constexpr std::string_view kBackgroundFolderName = "KZV背景图片";
inline constexpr std::string_view kSysprojFolderName = "服饰搭配sysproj";
inline constexpr std::string_view kVoiceFolderName = "音乐及语音";
inline constexpr std::string_view kFacePictureFolderName = "展示及说明图片";
inline constexpr std::string_view kManualFileName = "KZV软件使用说明.htm";

enum class PlaceResult { Placed, Removed, NoPart };
enum class StoreResult { Stored, NoSlot, CaptionRow, SaveFailed };

class StageEditor {
public:
    StageEditor(CProjectStore& store, StageSlotTable& slots, platform::PictureSizeSource& sizes);

    int selectedPart() const { return m_selected; }
    void SelectPart(int part) { m_selected = part; }
    bool autoPlace() const { return m_auto; }
    void SetAutoPlace(bool on) { m_auto = on; }

    // "<base>/..." picture folder of the open project, and the project folder
    // (the picture folder without its last component).
    std::filesystem::path PictureFolder() const;
    std::filesystem::path ProjectFolder() const;
    std::filesystem::path PartPicture(int part) const;

    // "加到平台": the selected part into the slot of its depth (below 0 slot
    // 10, 100 or more slot 90); with the auto check on, a slot that already
    // shows it is emptied instead.
    PlaceResult AddToStage();
    // "存定位": the current slot's place, depth and scale into its part, then
    // the project is saved.
    StoreResult StorePlacement(std::string* error = nullptr);
    // "↑" (forward, depth - 1) and "↓" (back, depth + 1); false when refused.
    bool MoveLayer(bool back);
    // "小" and "大"; false when refused.
    bool Shrink();
    bool Grow(int stageWidth);
    // The mouse wheel over the view: up grows, down shrinks.
    bool Wheel(bool up, int stageWidth);
    // Arrow buttons: the current part moves by the nudge step.
    bool Nudge(int dx, int dy);
    int nudgeStep() const { return m_step; }
    void AdvanceNudgeStep() { m_step = m_step % 3 + 1; }

    bool wholeScale() const { return m_wholeScale; }
    void ToggleWholeScale() { m_wholeScale = !m_wholeScale; }
    // Scales every part that is neither a caption row nor locked; the mode
    // ends and the stage is emptied. Returns the number of parts changed.
    int ApplyWholeScale(double factor);

    // "选择": the next occupied slot in ascending order; false when there is none.
    bool SelectNext();
    // "删除": empties the current slot.
    bool DeleteCurrent();
    // "清除全部" (the slots; the canvas clears its own pictures and items).
    void ClearAll() { m_slots.EmptyAll(); }
    // The layer number of the current slot, "--" when none.
    std::string LayerText() const;

    // "Sel": "<project folder>/音乐及语音/<code or voice text>" of the
    // current part, or nothing.
    std::optional<std::filesystem::path> VoiceFile() const;
    // "Sav": the next face picture of the current part, or an empty path when
    // the counter went back to 0. nullopt when the part has no faces.
    std::optional<std::filesystem::path> NextFacePicture();
    int faceCounter() const { return m_faceCounter; }

    // "存搭配图": "<base>/KZV我制作的搭配图/<name>.<type>"; nullopt when the
    // name is empty or not a plain file name.
    std::optional<std::filesystem::path> CompositionPath(const std::string& name, const std::string& type) const;

    // After the project was opened or records moved: the stage is emptied.
    void ProjectChanged();

private:
    CProjectStore& m_store;
    StageSlotTable& m_slots;
    platform::PictureSizeSource& m_sizes;
    int m_selected = -1;
    bool m_auto = true;
    int m_step = 1;
    bool m_wholeScale = false;
    int m_cycle = -1;
    int m_faceCounter = 0;
};

// A text the user typed for a file name: not empty, no folder part, not "."
// or "..", no control characters.
bool IsPlainFileName(const std::string& name);

}  // namespace project_editor
