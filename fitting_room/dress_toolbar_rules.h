#pragma once
// The fitting room's picture toolbar without a window: its 16 buttons, their
// places from the bar's right edge, hit testing, and what a click does. The
// window (CDressToolBar) supplies the dialogs, the lists and the sender
// through ToolBarActions; tests supply fakes.
//
// Window thread only.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "picture_controls/geometry.h"
#include "platform/files.h"

namespace fitting_room {

using picture_controls::Point;
using picture_controls::Rect;

inline constexpr int kToolBarHeight = 54;
inline constexpr int kCategoryIconSize = 42;
// A button's tip is asked for this far below the pointer.
inline constexpr int kTipBelowPointer = 48;

inline constexpr int kBtnReplace = 1000;
inline constexpr int kBtnCustom = 1001;
inline constexpr int kBtnChildrens = 1002;
inline constexpr int kBtnWomens = 1003;
inline constexpr int kBtnMens = 1004;
inline constexpr int kBtnModel = 1005;
inline constexpr int kBtnSwitchForm = 1006;
inline constexpr int kBtnShowPictures = 1007;
inline constexpr int kBtnVoice = 1008;
inline constexpr int kBtnCamera = 1009;
inline constexpr int kBtnPhoto = 1010;
inline constexpr int kBtnMenu = 1011;
inline constexpr int kBtnRoomBackground = 1012;
inline constexpr int kBtnPlatformBackground = 1013;
inline constexpr int kBtnHelp = 1014;
inline constexpr int kBtnWeb = 1068;

// Chooser modes opened by the bar.
inline constexpr int kChooseProject = 0;
inline constexpr int kChooseRoomBackground = 1012;
inline constexpr int kChoosePlatformBackground = 1013;

struct ToolButton {
    char kind;        // 'A' category icon, 'B' picture button
    char state;       // 'O' the current category, 'C' otherwise
    int id;
    int fromRight;    // x = bar width - fromRight
    int y;
    const char* picture;  // file under the interface folder, or the category word for 'A'
    const char* tip;      // empty: no tip
    int x = 0;
};

class ToolBarActions {
public:
    virtual ~ToolBarActions() = default;
    // The category open in the right-hand list: 1001-1004, or 0 for none.
    virtual int OpenCategory() = 0;
    virtual bool HasPickedItem() = 0;   // GetPickedItem of the right list
    virtual bool WebProjectLoaded() = 0;  // IsProjectLoaded of the right list
    virtual int ShowPictureCount() = 0;
    virtual std::filesystem::path VoicePath() = 0;
    virtual std::string WebLink() = 0;
    // The project chooser in a mode; true when closed with OK.
    virtual bool OpenChooser(int mode) = 0;
    virtual void OpenReplaceDialog() = 0;
    virtual void ShowNoPickedItem() = 0;
    virtual void PlayVoice(const std::filesystem::path& voice) = 0;
    virtual void OpenWebLink(const std::string& link) = 0;
    // The photo-import dialog; true when a photo was taken.
    virtual bool ImportPhoto() = 0;
    virtual void ShowGuide() = 0;
    // Stores a deferred request and runs the idle handler.
    virtual void Send(std::int32_t code) = 0;
};

class DressToolBarRules {
public:
    DressToolBarRules();

    // Places the buttons from the bar's width; true when they moved.
    bool Layout(int width);
    const std::array<ToolButton, 16>& buttons() const { return m_buttons; }
    const ToolButton* Find(int id) const;
    // The button under the point (its picture's natural size, or the 42 x 42
    // icon); -1 when none. `size` gives a picture button's size.
    template <class SizeOf>
    int HitTest(Point p, SizeOf size) const {
        for (const ToolButton& b : m_buttons) {
            int w = kCategoryIconSize, h = kCategoryIconSize;
            if (b.kind == 'B') {
                const auto s = size(b);
                w = s.first;
                h = s.second;
            }
            if (p.x >= b.x && p.x < b.x + w && p.y >= b.y && p.y < b.y + h) return b.id;
        }
        return -1;
    }

    // A click on the button; the request sent, if any.
    std::optional<std::int32_t> Click(int id, ToolBarActions& actions);

    // Shows the category of the list as the open icon (the list may have
    // changed its project without the bar).
    void FollowCategory(int category);
    int currentButton() const { return m_current; }

private:
    void MarkSent(int id, ToolBarActions& actions, std::int32_t code);

    std::array<ToolButton, 16> m_buttons;
    int m_width = -1;
    int m_current = kBtnWomens;
};

// True when a link may be handed to the desktop: http:// or https:// only.
bool IsWebLink(const std::string& link);

// The file dialog filter that matches extensions whatever their case.
using platform::CaseBlindWildcard;

}  // namespace fitting_room
