#pragma once
// The dress view's logic, without a window: the initial state of the shared
// lists, the layout of the two garment lists and the stage, picking from a
// list onto the fitting model, and the table of deferred requests that the
// view carries out (codes 666xxxxx, wParam of WM_USER+50).
//
// Window thread only. The view implements DressRoomHost for what needs a
// window (repainting, the fitting window's slideshow, snapshots); a request
// that arrives while one is being handled is dropped.
#include <cstdint>
#include <filesystem>

#include "fitting_room/fitting_model.h"
#include "fitting_room/garment_pic_list.h"
#include "picture_controls/geometry.h"

namespace fitting_room {

using picture_controls::Point;
using picture_controls::Rect;

inline constexpr std::int32_t kReqRefresh = 66600366;
inline constexpr std::int32_t kReqLoadWebProject = 66601001;
inline constexpr std::int32_t kReqChildrensWear = 66601002;
inline constexpr std::int32_t kReqWomensWear = 66601003;
inline constexpr std::int32_t kReqMensWear = 66601004;
inline constexpr std::int32_t kReqDressLastCategory = 66601005;
inline constexpr std::int32_t kReqNextLayout = 66601006;
inline constexpr std::int32_t kReqShowPictures = 66601007;
inline constexpr std::int32_t kReqPhotoImported = 66601010;
inline constexpr std::int32_t kReqToggleMenu = 66601011;
inline constexpr std::int32_t kReqTransparentBackground = 66601012;
inline constexpr std::int32_t kReqPlatformBackground = 66601013;
inline constexpr std::int32_t kReqSnapshotBarMoved = 66630133;
inline constexpr std::int32_t kReqSnapshot = 66630166;
inline constexpr std::int32_t kReqShowSaved = 66630177;

// The stage between the lists is 460 x 520 pixels.
inline constexpr int kStageWidth = 460;
inline constexpr int kStageHeight = 520;

class DressRoomHost {
public:
    virtual ~DressRoomHost() = default;
    virtual void RepaintView() = 0;
    virtual void RepaintList(char list) = 0;  // 'R' or 'L'
    virtual void RepaintStage() = 0;
    virtual void ToggleStageMenu() = 0;
    virtual void ShowStringPictures() = 0;
    virtual void ShowPicture(const std::filesystem::path& picture) = 0;
    virtual void SaveSnapshot() = 0;
    // Renders and saves the transparent room background, then repaints.
    virtual void SaveTransparentBackground() = 0;
    // A personal photo was imported: the stage takes it up (its photo
    // buttons and the photo itself) and the view repaints.
    virtual void PhotoImported() = 0;
};

struct DressLayout {
    Rect rightList;  // as the lists returned them
    Rect leftList;
    Rect stage;  // in view coordinates
};

class DressRoom {
public:
    DressRoom(CGarmentPicList& right, CGarmentPicList& left, CFittingModel& model)
        : m_right(right), m_left(left), m_model(model) {}

    // The shared lists as the fitting room starts them: the right list with
    // "女装" (garment buttons), the left list with "饰品" (accessory buttons,
    // one category at a time).
    void InitSharedObjects(const std::filesystem::path& base);

    // Lays the lists and the stage out in the view's client rectangle.
    DressLayout Layout(const Rect& client);

    // Puts the current item of the list ('R' or 'L') onto the model and hands
    // its show files over; true when the stage is to be repainted.
    bool PickFrom(char list);

    struct ClickResult {
        int leftCode = -1;
        int rightCode = -1;
        bool repaintStage = false;
    };
    ClickResult Click(Point p);
    // Whether the point is over something clickable of either list.
    bool OverListItem(Point p) const;

    // Carries out a request; false when it was dropped (one is running).
    bool Request(std::int32_t code, DressRoomHost& host);
    bool busy() const { return m_busy; }
    int layoutCounter() const { return m_layoutCounter; }

private:
    CGarmentPicList& m_right;
    CGarmentPicList& m_left;
    CFittingModel& m_model;
    bool m_busy = false;
    int m_layoutCounter = 0;
};

}  // namespace fitting_room
