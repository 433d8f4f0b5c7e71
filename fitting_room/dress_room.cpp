#include "fitting_room/dress_room.h"

namespace fitting_room {

void DressRoom::InitSharedObjects(const std::filesystem::path& base) {
    for (CGarmentPicList* list : {&m_right, &m_left})
        list->SetIcons(kIconPageUpLive, kIconPageDownLive, kIconPageUpDead, kIconPageDownDead);
    m_right.SetBaseDir(base);
    m_right.SetStyle('A');
    m_right.LoadBasicProject("女装");
    m_left.SetBaseDir(base);
    m_left.SetStyle('B');
    m_left.LoadBasicProject("饰品");
    m_left.SetLayout(2, kSchemeRed);
}

DressLayout DressRoom::Layout(const Rect& c) {
    const int w = c.width();
    DressLayout out;
    out.rightList = m_right.SetClientRect(c.right - w / 3, c.top, c.right, c.bottom);
    m_right.Relayout();
    out.leftList = m_left.SetClientRect(c.left, c.top, c.left + static_cast<int>(0.66 * w) / 3, c.bottom);
    m_left.Relayout();
    const int x = (out.rightList.left + out.leftList.right) / 2;
    const int y = (c.top + c.bottom) / 2;
    out.stage = Rect{x - kStageWidth / 2, y - kStageHeight / 2, x + kStageWidth / 2, y + kStageHeight / 2};
    return out;
}

bool DressRoom::PickFrom(char list) {
    CGarmentPicList& from = list == 'L' ? m_left : m_right;
    PickedItem item;
    if (!from.GetPickedItem(&item)) return false;
    const int shown = list == 'L' ? m_model.ShowLeftItem(item.picture, item.scale, item.x, item.y, item.Slot())
                                  : m_model.ShowRightItem(item.picture, item.scale, item.x, item.y, item.Slot());
    ItemShowFiles files;
    from.GetItemShowFiles(&files);
    m_model.SetStringList(files.voice, files.pictures, files.webLink);
    return shown == 1;
}

DressRoom::ClickResult DressRoom::Click(Point p) {
    ClickResult r;
    r.leftCode = m_left.OnClick(p);
    if (IsItemHit(r.leftCode) && PickFrom('L')) r.repaintStage = true;
    r.rightCode = m_right.OnClick(p);
    if (IsItemHit(r.rightCode) && PickFrom('R')) r.repaintStage = true;
    return r;
}

bool DressRoom::OverListItem(Point p) const { return m_left.HitTestItem(p) > 0 || m_right.HitTestItem(p) > 0; }

bool DressRoom::Request(std::int32_t code, DressRoomHost& host) {
    if (m_busy) return false;
    m_busy = true;
    switch (code) {
    case kReqPhotoImported:
        host.PhotoImported();
        break;
    case kReqRefresh:
    case kReqPlatformBackground:
    case kReqSnapshotBarMoved:
        host.RepaintView();
        break;
    case kReqLoadWebProject:
        m_right.LoadWebProject();
        host.RepaintView();
        break;
    case kReqChildrensWear:
    case kReqWomensWear:
    case kReqMensWear:
        m_right.LoadBasicProject(code == kReqChildrensWear ? "童装" : code == kReqWomensWear ? "女装" : "男装");
        host.RepaintList('R');
        break;
    case kReqDressLastCategory:
        for (int i = 0; i < 16; ++i) {
            PickedItem item;
            if (!m_right.GetItemByIndex(i, &item)) break;
            m_model.ShowRightItem(item.picture, item.scale, item.x, item.y, item.Slot());
        }
        host.RepaintStage();
        break;
    case kReqNextLayout: {
        m_layoutCounter = m_layoutCounter >= 3 ? 0 : m_layoutCounter + 1;
        const int scheme = m_layoutCounter >= 2 ? kSchemeRed : kSchemeBlue;
        const int mode = m_layoutCounter == 1 || m_layoutCounter == 3 ? 2 : 1;
        m_right.SetLayout(mode, scheme);
        m_left.SetLayout(2, scheme);
        host.RepaintList('R');
        host.RepaintList('L');
        break;
    }
    case kReqShowPictures:
        host.ShowStringPictures();
        break;
    case kReqToggleMenu:
        host.ToggleStageMenu();
        break;
    case kReqTransparentBackground:
        if (m_model.IsTransparentBackground())
            host.SaveTransparentBackground();
        else
            host.RepaintStage();
        break;
    case kReqSnapshot:
        host.SaveSnapshot();
        break;
    case kReqShowSaved:
        host.ShowPicture(m_model.GetSavePath());
        break;
    default:
        break;
    }
    m_busy = false;
    return true;
}

}  // namespace fitting_room
