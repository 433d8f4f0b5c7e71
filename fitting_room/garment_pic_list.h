#pragma once
// CGarmentPicList: a catalogue of garment pictures read from one fitting
// project. It keeps its own copy of the project's blocks, groups the pictured
// parts into categories, lays them out as paged thumbnail lists with category
// buttons and page arrows, and hit-tests clicks to items, arrows and buttons.
// It never writes the project file.
//
// Two geometries live here. The stack geometry (SetClientRect's columns and
// cell size) stacks every category as a header band and rows of cells; the
// page geometry (page columns and rows of 90 x 112 pixel cells beside the
// category buttons) is what is drawn. Drawing, hit testing and paging all
// work from one page plan, so what is drawn is what can be clicked, and
// paging steps by the page that is shown.
//
// Window thread only. The owner gives the list its base directory, a source
// of picture sizes, a style and a layout, loads a project and gives the list
// its rectangle; the window side paints the PaintOps of DrawOps.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "picture_controls/geometry.h"
#include "picture_controls/paint_ops.h"
#include "platform/picture_size.h"
#include "project_editor/project_file.h"

namespace fitting_room {

using picture_controls::Point;
using picture_controls::Rect;
using picture_controls::PaintOp;
using picture_controls::PaintOps;
using picture_controls::ContainScale;

inline constexpr int kMaxCategories = 16;
inline constexpr int kMaxListedItems = 166;
inline constexpr int kMaxPageCells = 69;  // rows and columns of cell origins
inline constexpr int kCategoryButtons = 5;
inline constexpr int kMaxButtonSlots = 19;
inline constexpr int kMaxCategoryNameBytes = 60;

inline constexpr int kSchemeBlue = 101;
inline constexpr int kSchemeRed = 102;

// Page arrows: icons of the program's resources.
inline constexpr int kIconPageUpLive = 146;
inline constexpr int kIconPageDownLive = 147;
inline constexpr int kIconPageUpDead = 144;
inline constexpr int kIconPageDownDead = 145;

// Hit codes.
inline constexpr int kHitNothing = -1;
inline constexpr int kHitUpArrow = 90001;    // mode 1: + 100000 x category
inline constexpr int kHitDownArrow = 90002;  // mode 1: + 100000 x category
inline constexpr int kHitPageUp = 900001;    // mode 2
inline constexpr int kHitPageDown = 900002;  // mode 2
inline constexpr int kHitTabBase = 966000;   // mode 2: + tab index
constexpr int ItemHitCode(int category, int cell) { return 100 + 1000 * category + cell; }
constexpr bool IsItemHit(int code) { return code >= 100 && code < 90000; }

// The page arrows' icons, by resource number.
struct PageArrowIcons {
    int upLive = kIconPageUpLive;
    int downLive = kIconPageDownLive;
    int upDead = kIconPageUpDead;
    int downDead = kIconPageDownDead;
    friend bool operator==(const PageArrowIcons&, const PageArrowIcons&) = default;
};

// The list's own colours (0x00BBGGRR) and its bold font (16 pixels high,
// weight 700, default character set, variable pitch, no face name).
struct GarmentListStyle {
    std::uint32_t dark = 0x424242;
    std::uint32_t accent = 0x0080FF;
    std::uint32_t light = 0xFFFFFF;
    int boldFontHeight = 16;
    int boldFontWeight = 700;
};

struct CategoryButton {
    char letter = ' ';
    Point pos{60, 60};
};

struct GarmentCategory {
    char shown = ' ';
    std::string name;
    Rect header;
    Rect items;
    int pageStart = 0;      // first item of the visible page, within the category
    int firstPosition = 0;  // in the item index list
    int itemCount = 0;
    int rowsShown = 1;
    int rowsNeeded = 1;
    int columns = 0;
};

// A picked item, as the fitting model takes it.
struct PickedItem {
    std::filesystem::path picture;
    float scale = 1.0f;
    int x = 0;
    int y = 0;
    int depth = 0;  // as stored in the project
    // The stage slot of the depth (1..99; 0 goes to 1, below 0 to 10, 100 or
    // more to 90).
    int Slot() const;
};

struct CurrentItemFields {
    std::string name;
    std::string goodsCode;
    std::string pictureName;
    std::string price;
    std::string webLink;
};

struct ItemShowFiles {
    std::filesystem::path voice;  // empty when the item has no voice file
    std::vector<std::filesystem::path> pictures;
    std::string webLink;
};

// One drawn category of the page plan.
struct PlannedCell {
    int cell = 0;          // column + page columns x row within the page
    Point origin;          // the cell's top-left corner
    int position = 0;      // index into the item index list
    Rect hit;              // (origin + 10)-(origin + 76)
};
struct PlannedCategory {
    int category = 0;
    int rows = 0;
    int columns = 0;
    Rect up;
    Rect down;
    bool upLive = false;
    bool downLive = false;
    std::vector<PlannedCell> cells;
    int PageSize() const { return rows * columns; }
};

class CGarmentPicList {
public:
    CGarmentPicList();
    ~CGarmentPicList();
    CGarmentPicList(const CGarmentPicList&) = delete;
    CGarmentPicList& operator=(const CGarmentPicList&) = delete;

    void SetBaseDir(const std::filesystem::path& base) { m_baseDir = base; }
    // Page-up live, page-down live, page-up dead, page-down dead.
    void SetIcons(int upLive, int downLive, int upDead, int downDead) {
        m_icons = PageArrowIcons{upLive, downLive, upDead, downDead};
    }
    const PageArrowIcons& icons() const { return m_icons; }
    const GarmentListStyle& listStyle() const { return m_listStyle; }
    const std::filesystem::path& baseDir() const { return m_baseDir; }
    // Sizes of thumbnails; not owned. Without a source thumbnails are placed
    // as missing pictures (nothing drawn, still clickable).
    void SetPictureSizes(platform::PictureSizeSource* sizes) { m_sizes = sizes; }
    // 'A' garment buttons, 'B' accessory buttons; other letters are ignored.
    void SetStyle(char style);
    char style() const { return m_style; }
    void SetLayout(int mode, int scheme);
    void SetProjectName(std::string name) { m_projectName = std::move(name); }
    const std::string& projectName() const { return m_projectName; }
    // Lays the list out in the rectangle; returns the list rectangle used.
    Rect SetClientRect(int left, int top, int right, int bottom);

    // 1 when loaded, 0 when the file cannot be read or is refused (the
    // previous project stays).
    int LoadBasicProject(std::string_view name);
    int LoadWebProject();
    int IsProjectLoaded() const { return m_folderFound; }
    // The basic project shown now ("女装", "男装", ...); empty when the list
    // shows a web project or nothing.
    const std::string& basicProjectShown() const { return m_basicShown; }
    int GetOption() const { return m_scheme; }
    void Relayout();

    // The steps that paint the list.
    void DrawOps(PaintOps& ops) const;
    int HitTestItem(Point p) const;
    // Picks, pages or switches category; returns the hit code. After a code
    // other than -1 the list is to be repainted.
    int OnClick(Point p);

    int GetPickedItem(PickedItem* out) const;
    int GetItemByIndex(int i, PickedItem* out) const;
    void SelectItem(int position);
    int GetCurrentItemFields(CurrentItemFields* out) const;
    int GetItemShowFiles(ItemShowFiles* out) const;
    std::string GetPoolText(int offset, int length) const;
    // Mode 100 with a current item: stores the scale into the item's part and
    // copies `source` over `target` (through a temporary file; nothing is
    // copied when both name the same file), then rewrites that part's scale in
    // the project file, so that the picture and its scale agree after a
    // reload; no other byte of the file changes. 1 when done; 0 otherwise,
    // with the reason in `error` when a file could not be read or written (a
    // project file that no longer reads, or no longer holds the item, is
    // refused before anything is written).
    int ReplaceItemPicture(int mode, const std::filesystem::path& target, const std::filesystem::path& source,
                           float scale, std::string* error = nullptr);

    // The categories and items drawn now, shared by drawing and hit testing.
    std::vector<PlannedCategory> PagePlan() const;

    // State, for the owner and tests.
    int layoutMode() const { return m_layoutMode; }
    int CategoryCount() const { return m_categoryCount < 0 ? 0 : m_categoryCount; }
    const GarmentCategory& category(int i) const { return m_categories.at(static_cast<std::size_t>(i)); }
    int currentCategory() const { return m_currentCategory; }
    // Layout 1: the category in the top row (0 unless the page has fewer
    // rows than categories and the user moved the run down).
    int firstRowCategory() const;
    int listedCount() const { return m_listedCount; }
    int listedPart(int position) const { return m_items.at(static_cast<std::size_t>(position)); }
    int currentPart() const { return m_currentPart; }
    const std::filesystem::path& currentPicture() const { return m_currentPicture; }
    const std::filesystem::path& pictureFolder() const { return m_pictureFolder; }
    const Rect& listRect() const { return m_listRect; }
    // The list rectangle together with its buttons and arrows.
    const Rect& bounds() const { return m_hitRect; }
    int pageColumns() const { return m_pageColumns; }
    int pageRows() const { return m_pageRows; }
    int columns() const { return m_columns; }
    int cellSize() const { return m_cellSize; }
    int buttonCount() const { return m_buttonCount; }
    const CategoryButton& button(int i) const { return m_buttons.at(static_cast<std::size_t>(i)); }
    Point cellOrigin(int row, int column) const;
    bool laidOut() const { return m_layoutDone == 9; }
    const project_editor::ProjectFile& project() const { return *m_project; }
    // The full picture path of a listed part.
    std::filesystem::path PartPicture(int part) const;

private:
    bool LoadProject(const std::filesystem::path& file);
    void Reloaded();
    void BuildCategories();
    void StackCategories();
    void ApplyPageGeometry();
    void ClearCurrentItem();
    int HitTest(Point p, bool pick);
    int HitTestPlan(Point p, const std::vector<PlannedCategory>& plan, int* pickPosition) const;
    PlannedCategory PlanCategory(int c, int rows, int columns, int originRow) const;
    void Page(int c, bool down);
    bool FillPicked(int part, PickedItem* out) const;
    std::string ButtonPicture(int i, bool current) const;
    int RowCategoryCount() const;  // layout 1: categories with a button row
    int RowsShown() const;         // layout 1: of those, the rows the page has

    int m_folderFound = 0;
    std::string m_basicShown;
    std::filesystem::path m_loadedFile;  // the project file the list shows
    std::string m_projectName;
    int m_layoutMode = 1;
    int m_scheme = kSchemeRed;
    int m_buttonCount = 0;
    std::array<CategoryButton, kMaxButtonSlots> m_buttons{};
    int m_pageColumns = 0;
    int m_pageRows = 0;
    std::array<std::array<Point, kMaxPageCells>, kMaxPageCells> m_cellOrigins{};
    std::filesystem::path m_baseDir;
    platform::PictureSizeSource* m_sizes = nullptr;
    PageArrowIcons m_icons;
    GarmentListStyle m_listStyle;

    std::unique_ptr<project_editor::ProjectFile> m_project;
    std::filesystem::path m_pictureFolder;
    int m_categoryCount = -1;

    std::string m_currentName, m_currentGoodsCode, m_currentPictureName, m_currentPrice;
    std::array<int, kMaxListedItems> m_items{};
    int m_listedCount = 0;
    std::filesystem::path m_currentPicture;
    int m_currentPart = -1;
    std::array<GarmentCategory, kMaxCategories + 1> m_categories{};
    int m_currentCategory = 0;
    int m_firstRowCategory = 0;

    Rect m_clientRect;
    Rect m_listRect;
    Rect m_hitRect;  // the list rectangle with the buttons and arrows
    int m_layoutDone = 0;
    int m_cellSize = 66;
    int m_topMargin = 6;
    int m_leftMargin = 0;
    int m_bottomLimit = 0;
    int m_columns = 0;
    char m_style = 'A';
};

}  // namespace fitting_room
