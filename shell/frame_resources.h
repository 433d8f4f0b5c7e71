#pragma once
// The main frame's own menu 129 (the class library's standard file, view and
// help commands) and toolbar 129 (their pictures), registered as numbered
// resources for DTMenu.
#include "controls/dt_menu_model.h"

namespace shell {

inline constexpr int kDefaultMenu = 129;
inline constexpr int kDefaultToolbar = 129;

// The class library's standard commands.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

controls::MenuTemplate DefaultMenuTemplate();
controls::ToolbarResource DefaultToolbar();
// Registers both under 129 (once is enough; again does no harm).
void RegisterFrameResources();

}  // namespace shell
