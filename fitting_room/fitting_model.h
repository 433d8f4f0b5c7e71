#pragma once
// CFittingModel: the dressed stage of the fitting room. Two lists of placed
// items ('R' from the right-hand garment list, 'L' from the left-hand one),
// each with slots 1-99 (slot 1 in front); the groups of items already fixed
// by StoreGroup with absolute positions; the pan of the unfixed items; the
// room and platform backgrounds, the personal photo, the show pictures, voice
// file and web link of the item picked last; and where a snapshot goes.
//
// Window thread only. The dress view puts picked items in, the fitting window
// edits them and sets the stage rectangle (in its own coordinates, so the
// stage's left and top are normally 0); drawing is a list of PaintOps that the
// window paints. Snapshots are rendered and saved by the window side from
// the same ops.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "picture_controls/geometry.h"
#include "picture_controls/paint_ops.h"
#include "platform/picture_size.h"

namespace fitting_room {

using picture_controls::Point;
using picture_controls::Rect;
using picture_controls::PaintOp;
using picture_controls::PaintOps;
using picture_controls::ContainScale;
using picture_controls::CoverScale;
using picture_controls::FitItemBox;
using picture_controls::ScaledAt;

inline constexpr int kSlotsInUse = 100;  // slots 1..99; slot 0 never holds an item
inline constexpr int kListRecords = 166;
inline constexpr int kMaxGroups = 17;
inline constexpr int kMaxStoredItems = 332;
inline constexpr int kMaxShowStrings = 16;

// Commands that reach the model from the fitting window's menu.
inline constexpr int kSelectNextRight = 2001;
inline constexpr int kSelectNextLeft = 2002;
inline constexpr int kLayerDeeper = 4101;
inline constexpr int kLayerNearer = 4102;

inline constexpr std::string_view kTransparentBackground = "kzv_透明试衣间背景";

struct StageItem {
    char inUse = ' ';  // 'Y' while the slot is in use
    char spare = ' ';
    char shows = ' ';  // 'Y' while the item shows
    std::filesystem::path picture;
    int x = 200;
    int y = 200;
    int width = 100;  // scaled
    int height = 100;
    int naturalWidth = 1;
    int naturalHeight = 1;

    bool Shown() const { return shows == 'Y'; }
    bool Drawable() const { return Shown() && picture.native().size() > 1; }
};

struct StageGroup {
    char flag = ' ';  // 'Y' when the group holds a photo
    std::filesystem::path photo;
    Rect photoRect;
    int first = -1;  // first stored item
    int count = 0;
};

class CFittingModel {
public:
    CFittingModel();

    // Natural sizes of pictures; not owned. Without one, pictures count as
    // missing (size 0: drawn nowhere).
    void SetPictureSizes(platform::PictureSizeSource* sizes) { m_sizes = sizes; }

    void SetDataDir(const std::filesystem::path& base);
    void SetBackground(const std::string& name);
    void SetPlatformBackground(const std::string& name);
    int IsTransparentBackground() const { return m_backgroundName == kTransparentBackground ? 1 : 0; }
    const std::filesystem::path& GetBackgroundPath() const { return m_background; }
    const std::filesystem::path& GetPlatformBackgroundPath() const { return m_platformBackground; }
    // The transparent room background's file.
    std::filesystem::path TransparentBackgroundPath() const;

    // The photo sits at (20, 20) at its natural size until the user places it.
    void SetPhotoPicture(const std::filesystem::path& path);
    void SetPhotoRect(const Rect& r, char letter);
    const std::filesystem::path& GetPhotoPicture(Rect* rect, char* letter) const;

    void SetStageRect(int left, int top, int right, int bottom) { m_stage = Rect{left, top, right, bottom}; }
    const Rect& stageRect() const { return m_stage; }
    int HitTestStage(Point p) const { return m_stage.Contains(p) ? 9 : -1; }

    int ShowRightItem(const std::filesystem::path& picture, float scale, int x, int y, int slot);
    int ShowLeftItem(const std::filesystem::path& picture, float scale, int x, int y, int slot);
    // The file of a picture shown in the 'R' list was replaced: each slot
    // that shows it takes the new picture's natural size, scaled by `scale`
    // (the item's stored scale); positions stay. Returns the slots changed.
    int RefitRightPicture(const std::filesystem::path& picture, float scale);
    // Finds the shown item drawn on top at the point (either list). A new one
    // becomes the current slot and the selection of its list: 1. The current
    // one again, or nothing: 0.
    int HitTest(Point p);
    std::filesystem::path SelectNext(int command);
    int MoveSelectedTo(int x, int y);
    int MoveSelectedBy(int dx, int dy);
    void OffsetAll(int dx, int dy);
    int ChangeLayer(int command);
    int RemoveSelected();
    int ScaleSelected(int direction, int stepKind);
    void StoreGroup(int withPhoto);
    void ResetRightList();
    void ResetLeftList();
    void ResetAll();

    // Groups, then the slots from 99 to 1, 'L' before 'R' in each.
    void DrawOps(PaintOps& ops) const;

    void SetStringList(const std::filesystem::path& voice, const std::vector<std::filesystem::path>& pictures,
                       const std::string& webLink);
    std::filesystem::path GetListString(int i) const;
    int GetListCount() const { return static_cast<int>(m_strings.size()); }
    const std::filesystem::path& GetFirstListTitle() const { return m_voice; }
    const std::string& GetSecondListTitle() const { return m_webLink; }

    // The snapshot file and its format letter ('J', 'B' or 'P'; ' ' for a
    // saved picture chosen to be shown).
    void SetSavePath(const std::filesystem::path& path, char format);
    const std::filesystem::path& GetSavePath(char* format = nullptr) const;

    // State, for the windows and tests.
    char currentList() const { return m_currentList; }
    int currentSlot() const { return m_currentSlot; }
    int selection(char list) const { return list == 'L' ? m_leftSelection : m_rightSelection; }
    const StageItem& item(char list, int slot) const;
    int panX() const { return m_panX; }
    int panY() const { return m_panY; }
    int groupCount() const { return m_groupCount; }
    const StageGroup& group(int i) const { return m_groups.at(static_cast<std::size_t>(i)); }
    int storedCount() const { return m_storedCount; }
    const StageItem& stored(int i) const { return m_stored.at(static_cast<std::size_t>(i)); }
    // Where the item of a slot is drawn now (pan applied); empty when it is
    // not drawn.
    Rect DrawnRect(char list, int slot) const;

private:
    using List = std::array<StageItem, kListRecords>;
    int ShowItem(List& list, char letter, const std::filesystem::path& picture, float scale, int x, int y, int slot);
    List& ListOf(char letter) { return letter == 'L' ? m_left : m_right; }
    const List& ListOf(char letter) const { return letter == 'L' ? m_left : m_right; }
    int& SelectionOf(char letter) { return letter == 'L' ? m_leftSelection : m_rightSelection; }
    // The selected item of the current list while it shows, else null.
    StageItem* Selected();
    void Clamp(StageItem& item) const;
    Rect ItemRect(const StageItem& item, int dx, int dy) const;

    platform::PictureSizeSource* m_sizes = nullptr;
    std::filesystem::path m_baseDir;
    int m_currentSlot = -1;
    int m_leftSelection = -1;
    int m_rightSelection = -1;
    std::filesystem::path m_background;
    std::string m_backgroundName;
    std::filesystem::path m_photo;
    std::filesystem::path m_platformBackground;
    char m_photoLetter = ' ';
    Rect m_photoRect{20, 20, 20, 20};
    char m_currentList = 'R';
    Rect m_stage;
    int m_panX = 0;
    int m_panY = 0;
    int m_groupCount = 0;
    std::array<StageGroup, kMaxGroups + 2> m_groups{};
    int m_storedCount = 0;
    std::array<StageItem, kMaxStoredItems> m_stored{};
    List m_right{};
    List m_left{};
    std::filesystem::path m_voice;
    std::string m_webLink;
    std::vector<std::filesystem::path> m_strings;
    std::filesystem::path m_savePath;
    char m_saveFormat = 'J';
};

}  // namespace fitting_room
