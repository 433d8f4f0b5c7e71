#pragma once
// The order lines of the market's order form: one process-wide table of 120
// lines and, right after the last line, room for the total line ('t'). The
// form adds, deletes and totals lines; the order grid shows and edits them;
// the order file writer reads them.
//
// Money is kept as text in the lines (as the user and the catalogue give it)
// and reckoned in cents with 64-bit arithmetic: "12.50" counts 12.50, and an
// amount is written "%d.%02d". The total line is recomputed after every
// change of the lines or of a quantity, so it never shows an old sum.
//
// Window thread only; reached through OrderLines().
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace measure_market {

inline constexpr int kMaxOrderLines = 120;
inline constexpr char kKindLine = 'Y';
inline constexpr char kKindTotal = 't';
inline constexpr char kChecked = 'Y';
inline constexpr char kUnchecked = ' ';
inline constexpr std::string_view kTotalName = "合计金额";

// Field widths: the largest number of GBK bytes a field keeps.
inline constexpr std::size_t kCodeBytes = 25;
inline constexpr std::size_t kNameBytes = 65;
inline constexpr std::size_t kPriceBytes = 11;
inline constexpr std::size_t kUnitBytes = 11;
inline constexpr std::size_t kSizeBytes = 11;
inline constexpr std::size_t kColourBytes = 8;
inline constexpr std::size_t kNoteBytes = 65;
inline constexpr std::size_t kQuantityBytes = 8;
inline constexpr std::size_t kAmountBytes = 11;
inline constexpr std::size_t kPictureNameBytes = 98;

// One line; texts are UTF-8, each cut so that its GBK form fits its field.
struct OrderLine {
    char kind = ' ';  // 'Y' order line, 't' total line, ' ' empty
    char checked = kUnchecked;
    std::string code;
    std::string name;
    std::string price;
    std::string unit;
    std::string size;
    std::string colour;
    std::string note;
    std::string quantity;
    std::string amount;
    char tag = ' ';
    std::string pictureName;
};

// What the form hands over when it adds a garment.
struct OrderLineInput {
    std::string code, name, size, colour, pictureName, price, note, unit, quantity;
};

// Money text to cents: optional blanks and sign, digits, optionally '.' and
// digits (the third decimal and beyond are dropped); what follows the number
// is ignored and no number at all counts 0, as a shop's price texts
// ("12.50元") expect. Values beyond the 64-bit range are clamped.
std::int64_t ParseCents(std::string_view text);
// Whole-number text (a quantity) the same way: leading number, else 0.
std::int64_t ParseCount(std::string_view text);
// "%d.%02d" of cents ("-0.50" for -50).
std::string FormatCents(std::int64_t cents);

// The result of totalling.
struct OrderTotal {
    std::int64_t cents = 0;
    std::int64_t quantity = 0;
    bool overflow = false;  // an amount did not fit its field: nothing changed
    // "%d.%02d 元(%d件)"; empty with no lines or on overflow.
    std::string text;
};

class OrderTable {
public:
    int count() const { return m_count; }
    // Line i (0 <= i <= count: index count is where the total line lies).
    const OrderLine& line(int i) const { return m_lines.at(static_cast<std::size_t>(i)); }
    // The picture path of line i (index count included, for the total).
    const std::string& picturePath(int i) const { return m_paths.at(static_cast<std::size_t>(i)); }
    bool HasTotalLine() const { return line(m_count).kind == kKindTotal; }

    // Adds a line with amount "0.00" and the total recomputed; false when the
    // table is full (nothing changes then).
    bool AddLine(const OrderLineInput& in, char tag, const std::string& picturePath);
    // Deletes line r (0 <= r < count); the lines after it and their picture
    // paths move up. False when r is not a line.
    bool DeleteLine(int r);

    // Edits of the grid (lines only; false for other rows).
    bool SetChecked(int r, bool checked);
    bool SetQuantity(int r, std::string_view text);  // the total follows
    bool SetSize(int r, std::string_view text);
    bool SetColour(int r, std::string_view text);
    bool SetNote(int r, std::string_view text);

    // Amounts of every line and the total line after them; with no lines the
    // record after the last is cleared and the text is empty.
    OrderTotal UpdateTotal();
    // The total as last computed (empty text when there is none).
    const OrderTotal& lastTotal() const { return m_total; }

    void Clear();

private:
    bool IsLine(int r) const { return r >= 0 && r < m_count; }
    std::array<OrderLine, kMaxOrderLines + 1> m_lines{};
    std::array<std::string, kMaxOrderLines + 1> m_paths{};
    int m_count = 0;
    OrderTotal m_total;
};

// The process-wide table, and a fresh one in its place (tests).
OrderTable& OrderLines();
void ResetOrderLines();

}  // namespace measure_market
