#include "fitting_room/dress_toolbar_rules.h"

#include <algorithm>

namespace fitting_room {

DressToolBarRules::DressToolBarRules()
    : m_buttons{{
          {'B', 'C', kBtnReplace, 50, 5, "DressTBAR_AddRepCloth.png", "替换或添加同类服装"},
          {'A', 'C', kBtnCustom, 106, 5, "自选", ""},
          {'A', 'C', kBtnChildrens, 166, 5, "童装", ""},
          {'A', 'O', kBtnWomens, 226, 5, "女装", ""},
          {'A', 'C', kBtnMens, 286, 5, "男装", ""},
          {'B', 'C', kBtnModel, 346, 3, "DressTBAR_womanModel.png", "隐藏或显示出模特"},
          {'B', 'C', kBtnSwitchForm, 406, 5, "DressTBAR_SWITCHFORM.png", "切换图片窗口的模式"},
          {'B', 'C', kBtnShowPictures, 466, 5, "DressTBAR_FlashVideo.png", "查看详细展示图片"},
          {'B', 'C', kBtnVoice, 526, 7, "DressTBAR_MUSICSOUND.png", "播放图片相关的音乐语音"},
          {'B', 'C', kBtnWeb, 586, 5, "DressTBAR_GoWeb.png", "网上查看或购物"},
          {'B', 'C', kBtnCamera, 666, 7, "DressTBAR_CAMERA.png", "试衣间内拍照"},
          {'B', 'C', kBtnPhoto, 726, 5, "DressTBAR_PHOTO.png", "导入照片"},
          {'B', 'C', kBtnMenu, 786, 7, "DressTBAR_HouseMnu.png", "打开(或关闭)试衣间菜单"},
          {'B', 'C', kBtnRoomBackground, 846, 9, "DressTBAR_HousBkg.png", "设置试衣间背景"},
          {'B', 'C', kBtnPlatformBackground, 906, 11, "DressTBAR_PlateBkg.png", "设置平台背景"},
          {'B', 'C', kBtnHelp, 966, 11, "DressTBAR_HELP.png", ""},
      }} {}

bool DressToolBarRules::Layout(int width) {
    if (width == m_width) return false;
    m_width = width;
    for (ToolButton& b : m_buttons) b.x = width - b.fromRight;
    return true;
}

const ToolButton* DressToolBarRules::Find(int id) const {
    for (const ToolButton& b : m_buttons)
        if (b.id == id) return &b;
    return nullptr;
}

void DressToolBarRules::FollowCategory(int category) {
    if (category < kBtnCustom || category > kBtnMens) return;
    for (ToolButton& b : m_buttons)
        if (b.kind == 'A') b.state = b.id == category ? 'O' : 'C';
}

void DressToolBarRules::MarkSent(int id, ToolBarActions& actions, std::int32_t code) {
    m_current = id;
    FollowCategory(id);
    actions.Send(code);
}

std::optional<std::int32_t> DressToolBarRules::Click(int id, ToolBarActions& actions) {
    if (!Find(id)) return std::nullopt;
    const int open = actions.OpenCategory();
    // The current category is the one open in the list, whatever was pressed
    // last: a click on it reloads nothing.
    if (id >= kBtnChildrens && id <= kBtnMens && id == open) return std::nullopt;
    const std::int32_t code = 66600000 + id;
    auto refresh = [&]() -> std::optional<std::int32_t> {
        actions.Send(66600366);
        return 66600366;
    };
    switch (id) {
    case kBtnReplace:
        if (actions.HasPickedItem()) {
            actions.OpenReplaceDialog();
        } else {
            actions.ShowNoPickedItem();
        }
        return refresh();
    case kBtnCustom:
        if (!(open != kBtnCustom && actions.WebProjectLoaded())) {
            if (!actions.OpenChooser(kChooseProject)) return refresh();
        }
        break;
    case kBtnShowPictures:
        if (actions.ShowPictureCount() < 1) return std::nullopt;
        break;
    case kBtnVoice: {
        const std::filesystem::path voice = actions.VoicePath();
        if (voice.string().size() > 6) actions.PlayVoice(voice);
        break;
    }
    case kBtnWeb: {
        const std::string link = actions.WebLink();
        if (link.size() > 3 && IsWebLink(link)) actions.OpenWebLink(link);
        break;
    }
    case kBtnPhoto:
        actions.ImportPhoto();
        break;
    case kBtnRoomBackground:
        if (!actions.OpenChooser(kChooseRoomBackground)) return refresh();
        break;
    case kBtnPlatformBackground:
        actions.OpenChooser(kChoosePlatformBackground);
        break;
    case kBtnHelp:
        actions.ShowGuide();
        return refresh();
    default:
        break;
    }
    MarkSent(id, actions, code);
    return code;
}

bool IsWebLink(const std::string& link) {
    auto starts = [&](const char* scheme) {
        const std::string s = scheme;
        if (link.size() <= s.size()) return false;
        return std::equal(s.begin(), s.end(), link.begin(),
                          [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
    };
    return starts("http://") || starts("https://");
}

}  // namespace fitting_room
