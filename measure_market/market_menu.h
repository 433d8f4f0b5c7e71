#pragma once
// The market view's decisions without a window: its five menu buttons above
// the market's garment list, what a click does (load a basic project, open
// the project chooser for a custom one, change the list's layout, or pick a
// garment), and the geometry of the order form's pictures (a picture fitted
// into a frame, the order chart's cells).
//
// Window thread only. CCMarketCView (market_view.h) forwards its clicks and
// paints what this says.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fitting_room/garment_pic_list.h"
#include "fitting_room/project_chooser_core.h"
#include "picture_controls/geometry.h"

namespace measure_market {

inline constexpr int kMenuStripHeight = 76;
inline constexpr int kMenuMan = 1001;
inline constexpr int kMenuWoman = 1002;
inline constexpr int kMenuChild = 1003;
inline constexpr int kMenuSelf = 1004;
inline constexpr int kMenuFace = 1005;
// The deferred request of a picked garment, and the form's notification.
inline constexpr std::int32_t kRequestGarmentPicked = 77700001;
// The market's list starts with this basic project.
inline constexpr std::string_view kStartProject = "女装";

struct MenuButton {
    std::string picture;  // "marketMnu_man", ...: the picture name without "(no)" and ".png"
    int command = 0;
    fitting_room::Point topLeft;
    fitting_room::Point bottomRight;  // from the picture's size when drawn
    char selected = 'n';              // 'Y' or 'n'
};

// The button picture's file name: "<name>.png" when selected, else "<name>(no).png".
std::string MenuPictureFile(const MenuButton& b);

// What a click asks of the view.
struct MarketClick {
    bool repaint = false;           // the whole view
    bool storeRequest = false;      // store kRequestGarmentPicked and run the idle handler
    int hitCode = fitting_room::kHitNothing;
};

class MarketMenu {
public:
    MarketMenu();

    const std::array<MenuButton, 5>& buttons() const { return m_buttons; }
    // The drawn size of a button's picture gives its rectangle.
    void SetButtonSize(int i, int width, int height);
    int layoutCounter() const { return m_layoutCounter; }
    int lastCommand() const { return m_lastCommand; }
    // The first button whose rectangle holds p; 0 for none.
    int HitButton(fitting_room::Point p) const;

    // The view's construction: the list's base directory, start project,
    // icons and style.
    static void SetUpList(fitting_room::CGarmentPicList& list, const std::filesystem::path& base);

    // A left click at p (view coordinates). `chooser` opens the project
    // chooser (mode 1000) for the custom project.
    MarketClick Click(fitting_room::Point p, fitting_room::CGarmentPicList& list,
                      const fitting_room::ChooserRunner& chooser, int chooserX, int chooserY);

private:
    std::array<MenuButton, 5> m_buttons;
    int m_layoutCounter = 0;
    int m_lastCommand = kMenuWoman;
};

// A picture of (pw, ph) in a frame, centred, scaled down to fit and never
// enlarged.
fitting_room::Rect FitCentred(const fitting_room::Rect& frame, int pw, int ph);

// The order chart: 76 x 76 cells, as many as fit, centred in the frame.
struct ChartCells {
    int columns = 0;
    int rows = 0;
    fitting_room::Point origin;  // top-left of the first cell
    // The 70 x 70 square of cell i (row-major).
    fitting_room::Rect Square(int i) const;
};
inline constexpr int kChartCell = 76;
inline constexpr int kChartSquare = 70;
ChartCells LayOutChart(const fitting_room::Rect& frame);

// The size reference picture at 1.2 times its physical size: the picture's
// pixels at its own resolution, shown at the screen's. A resolution counts
// only when its unit is dots per inch or per centimetre; without one (a JFIF
// density of 1:1 with no unit, say) the picture is taken at 96 dots per inch.
// The result never exceeds the screen (scaled down, the aspect kept); empty
// for a picture or screen without pixels.
enum class DensityUnit { None, PerInch, PerCentimetre };
struct PictureResolution {
    double x = 0, y = 0;
    DensityUnit unit = DensityUnit::None;
};
struct PictureExtent {
    int width = 0, height = 0;
    bool operator==(const PictureExtent&) const = default;
};
PictureExtent ReferencePictureSize(int pictureWidth, int pictureHeight, const PictureResolution& resolution,
                                   double screenDpiX, double screenDpiY, int screenWidth, int screenHeight);

}  // namespace measure_market
