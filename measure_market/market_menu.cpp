#include "measure_market/market_menu.h"

#include <algorithm>
#include <cmath>

namespace measure_market {

using fitting_room::Point;
using fitting_room::Rect;

namespace {
// The demo pictures' size, until a drawn picture tells the real one.
constexpr int kButtonWidth = 78;
constexpr int kButtonHeight = 35;

const char* BasicProjectOf(int command) {
    switch (command) {
        case kMenuMan: return "男装";
        case kMenuWoman: return "女装";
        case kMenuChild: return "童装";
        default: return nullptr;
    }
}
}  // namespace

std::string MenuPictureFile(const MenuButton& b) {
    return b.picture + (b.selected == 'Y' ? "" : "(no)") + ".png";
}

MarketMenu::MarketMenu() {
    const struct {
        const char* picture;
        int command;
        int x, y;
        char selected;
    } table[5] = {
        {"marketMnu_man", kMenuMan, 5, 2, 'n'},     {"marketMnu_woman", kMenuWoman, 85, 2, 'Y'},
        {"marketMnu_child", kMenuChild, 165, 2, 'n'}, {"marketMnu_self", kMenuSelf, 5, 39, 'n'},
        {"marketMnu_face", kMenuFace, 85, 39, 'Y'},
    };
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        MenuButton& b = m_buttons[i];
        b.picture = table[i].picture;
        b.command = table[i].command;
        b.topLeft = Point{table[i].x, table[i].y};
        b.bottomRight = Point{table[i].x + kButtonWidth, table[i].y + kButtonHeight};
        b.selected = table[i].selected;
    }
}

void MarketMenu::SetButtonSize(int i, int width, int height) {
    MenuButton& b = m_buttons.at(static_cast<std::size_t>(i));
    b.bottomRight = Point{b.topLeft.x + width, b.topLeft.y + height};
}

int MarketMenu::HitButton(Point p) const {
    for (const MenuButton& b : m_buttons)
        if (Rect{b.topLeft.x, b.topLeft.y, b.bottomRight.x, b.bottomRight.y}.Contains(p)) return b.command;
    return 0;
}

void MarketMenu::SetUpList(fitting_room::CGarmentPicList& list, const std::filesystem::path& base) {
    list.SetBaseDir(base);
    list.LoadBasicProject(kStartProject);
    list.SetIcons(fitting_room::kIconPageUpLive, fitting_room::kIconPageDownLive, fitting_room::kIconPageUpDead,
                  fitting_room::kIconPageDownDead);
    list.SetStyle('A');
}

MarketClick MarketMenu::Click(Point p, fitting_room::CGarmentPicList& list,
                              const fitting_room::ChooserRunner& chooser, int chooserX, int chooserY) {
    MarketClick out;
    const int command = HitButton(p);
    if (command == 0) {
        out.hitCode = list.OnClick(p);
        out.repaint = out.hitCode != fitting_room::kHitNothing;
        out.storeRequest = fitting_room::IsItemHit(out.hitCode);
        return out;
    }
    auto markOnly = [this](int clicked) {
        for (MenuButton& b : m_buttons)
            if (b.command != kMenuFace) b.selected = b.command == clicked ? 'Y' : 'n';
        m_lastCommand = clicked;
    };
    if (const char* project = BasicProjectOf(command)) {
        list.LoadBasicProject(project);
        list.Relayout();
        markOnly(command);
    } else if (command == kMenuSelf) {
        // The chooser opens when the custom project is asked for again, when
        // the list shows nothing loadable, or when there is no project name
        // to load yet.
        const bool choose = m_lastCommand == kMenuSelf || list.IsProjectLoaded() != 1 || list.projectName().empty();
        if (choose) {
            const fitting_room::ChooserResult r =
                chooser ? chooser(fitting_room::ChooserMode::Market, chooserX, chooserY)
                        : fitting_room::ChooserResult{};
            if (r.outcome == fitting_room::ChooserOutcome::Project &&
                fitting_room::ApplyChooserResult(r, &list, nullptr))
                list.LoadWebProject();
        } else {
            list.LoadWebProject();
        }
        markOnly(command);
    } else if (command == kMenuFace) {
        m_layoutCounter = (m_layoutCounter + 1) % 4;
        const int c = m_layoutCounter;
        list.SetLayout(c == 1 || c == 3 ? 2 : 1, c == 2 || c == 3 ? fitting_room::kSchemeRed
                                                                  : fitting_room::kSchemeBlue);
    }
    out.repaint = true;
    return out;
}

Rect FitCentred(const Rect& frame, int pw, int ph) {
    if (pw <= 0 || ph <= 0 || frame.empty()) return {};
    const double s = std::min({1.0, static_cast<double>(frame.width()) / pw, static_cast<double>(frame.height()) / ph});
    const int w = std::max(1, static_cast<int>(pw * s));
    const int h = std::max(1, static_cast<int>(ph * s));
    const int x = frame.left + (frame.width() - w) / 2;
    const int y = frame.top + (frame.height() - h) / 2;
    return Rect::FromSize(x, y, w, h);
}

Rect ChartCells::Square(int i) const {
    if (columns <= 0) return {};
    const int x = origin.x + (i % columns) * kChartCell + (kChartCell - kChartSquare) / 2;
    const int y = origin.y + (i / columns) * kChartCell + (kChartCell - kChartSquare) / 2;
    return Rect::FromSize(x, y, kChartSquare, kChartSquare);
}

ChartCells LayOutChart(const Rect& frame) {
    ChartCells c;
    c.columns = std::max(0, frame.width() / kChartCell);
    c.rows = std::max(0, frame.height() / kChartCell);
    c.origin = Point{frame.left + (frame.width() - c.columns * kChartCell) / 2,
                     frame.top + (frame.height() - c.rows * kChartCell) / 2};
    return c;
}

PictureExtent ReferencePictureSize(int pictureWidth, int pictureHeight, const PictureResolution& resolution,
                                   double screenDpiX, double screenDpiY, int screenWidth, int screenHeight) {
    constexpr double kAssumedDpi = 96, kEnlarge = 1.2, kCmPerInch = 2.54;
    if (pictureWidth <= 0 || pictureHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) return {};
    auto dpi = [&resolution](double density) {
        if (!(density > 0) || resolution.unit == DensityUnit::None) return kAssumedDpi;
        return resolution.unit == DensityUnit::PerCentimetre ? density * kCmPerInch : density;
    };
    auto screen = [](double d) { return d > 0 ? d : kAssumedDpi; };
    double w = pictureWidth / dpi(resolution.x) * screen(screenDpiX) * kEnlarge;
    double h = pictureHeight / dpi(resolution.y) * screen(screenDpiY) * kEnlarge;
    const double cap = std::min({1.0, screenWidth / w, screenHeight / h});
    w *= cap;
    h *= cap;
    PictureExtent e{static_cast<int>(w), static_cast<int>(h)};
    if (e.width <= 0 || e.height <= 0) return {};
    return e;
}

}  // namespace measure_market
