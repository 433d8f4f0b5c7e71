#include "shell/frame_resources.h"

namespace shell {

using controls::kMfEnd;
using controls::kMfGrayed;
using controls::kMfPopup;

controls::MenuTemplate DefaultMenuTemplate() {
    return {
        {kMfPopup, 0, "文件(&F)"},
        {0, ID_FILE_NEW, "新建(&N)\tCtrl+N"},
        {0, ID_FILE_OPEN, "打开(&O)...\tCtrl+O"},
        {0, 0, ""},
        {0, ID_FILE_PRINT_SETUP, "打印设置(&R)..."},
        {0, 0, ""},
        {kMfGrayed, ID_FILE_MRU_FILE1, "最近文件"},
        {0, 0, ""},
        {kMfEnd, ID_APP_EXIT, "退出(&X)"},
        {kMfPopup, 0, "查看(&V)"},
        {kMfGrayed, ID_VIEW_TOOLBAR, "工具栏(&T)"},
        {kMfEnd, ID_VIEW_STATUS_BAR, "状态栏(&S)"},
        {kMfPopup | kMfEnd, 0, "帮助(&H)"},
        {kMfEnd, ID_APP_ABOUT, "关于 Fittora(&A)..."},
    };
}

controls::ToolbarResource DefaultToolbar() {
    controls::ToolbarResource bar;
    bar.bitmap = kDefaultToolbar;
    bar.imageWidth = 16;
    bar.imageHeight = 15;
    bar.buttons = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
                   ID_FILE_PRINT, ID_APP_ABOUT};
    return bar;
}

void RegisterFrameResources() {
    controls::RegisterMenuResource(kDefaultMenu, DefaultMenuTemplate());
    controls::RegisterToolbarResource(kDefaultToolbar, DefaultToolbar());
}

}  // namespace shell
