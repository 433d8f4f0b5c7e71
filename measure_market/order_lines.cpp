#include "measure_market/order_lines.h"

#include <limits>

#include "platform/text.h"

namespace measure_market {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Adds a digit to a magnitude, clamping at the 64-bit limit.
std::int64_t Push(std::int64_t v, char digit) {
    const int d = digit - '0';
    if (v > (kMax - d) / 10) return kMax;
    return v * 10 + d;
}

std::int64_t Scale(std::int64_t v, std::int64_t by) { return v > kMax / by ? kMax : v * by; }

std::string Cut(std::string_view text, std::size_t bytes) { return platform::CutToGbkBytes(text, bytes); }

// a * b, or nullopt past the 64-bit range.
std::optional<std::int64_t> Mul(std::int64_t a, std::int64_t b) {
    std::int64_t r = 0;
    if (__builtin_mul_overflow(a, b, &r)) return std::nullopt;
    return r;
}
std::optional<std::int64_t> Add(std::int64_t a, std::int64_t b) {
    std::int64_t r = 0;
    if (__builtin_add_overflow(a, b, &r)) return std::nullopt;
    return r;
}

}  // namespace

std::int64_t ParseCents(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::int64_t whole = 0;
    bool any = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        whole = Push(whole, text[i]);
        any = true;
    }
    std::int64_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        int places = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, any = true)
            if (places < 2) fraction = fraction * 10 + (text[i] - '0'), ++places;
        if (places == 1) fraction *= 10;
    }
    if (!any) return 0;
    std::int64_t cents = Scale(whole, 100);
    cents = cents > kMax - fraction ? kMax : cents + fraction;
    return negative ? -cents : cents;
}

std::int64_t ParseCount(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::int64_t v = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) v = Push(v, text[i]);
    return negative ? -v : v;
}

std::string FormatCents(std::int64_t cents) {
    // The magnitude as unsigned, so that the smallest value has one too.
    const bool negative = cents < 0;
    const std::uint64_t m = negative ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    std::string s = std::to_string(m / 100) + '.';
    const unsigned f = static_cast<unsigned>(m % 100);
    s += static_cast<char>('0' + f / 10);
    s += static_cast<char>('0' + f % 10);
    return negative ? "-" + s : s;
}

bool OrderTable::AddLine(const OrderLineInput& in, char tag, const std::string& picturePath) {
    if (m_count >= kMaxOrderLines) return false;
    OrderLine& l = m_lines[static_cast<std::size_t>(m_count)];
    l = OrderLine{};
    l.kind = kKindLine;
    l.checked = kUnchecked;
    l.tag = tag;
    l.code = Cut(in.code, kCodeBytes);
    l.name = Cut(in.name, kNameBytes);
    l.size = Cut(in.size, kSizeBytes);
    l.colour = Cut(in.colour, kColourBytes);
    l.pictureName = Cut(in.pictureName, kPictureNameBytes);
    l.price = Cut(in.price, kPriceBytes);
    l.note = Cut(in.note, kNoteBytes);
    l.unit = Cut(in.unit, kUnitBytes);
    l.quantity = Cut(in.quantity, kQuantityBytes);
    l.amount = "0.00";
    m_paths[static_cast<std::size_t>(m_count)] = picturePath;
    ++m_count;
    UpdateTotal();
    return true;
}

bool OrderTable::DeleteLine(int r) {
    if (!IsLine(r)) return false;
    for (int i = r; i < m_count; ++i) {
        m_lines[static_cast<std::size_t>(i)] = m_lines[static_cast<std::size_t>(i + 1)];
        m_paths[static_cast<std::size_t>(i)] = m_paths[static_cast<std::size_t>(i + 1)];
    }
    // The slot the total line moved out of holds nothing now.
    m_lines[static_cast<std::size_t>(m_count)] = OrderLine{};
    m_paths[static_cast<std::size_t>(m_count)].clear();
    --m_count;
    UpdateTotal();
    return true;
}

bool OrderTable::SetChecked(int r, bool checked) {
    if (!IsLine(r)) return false;
    m_lines[static_cast<std::size_t>(r)].checked = checked ? kChecked : kUnchecked;
    return true;
}

bool OrderTable::SetQuantity(int r, std::string_view text) {
    if (!IsLine(r)) return false;
    m_lines[static_cast<std::size_t>(r)].quantity = Cut(text, kQuantityBytes);
    UpdateTotal();
    return true;
}

bool OrderTable::SetSize(int r, std::string_view text) {
    if (!IsLine(r)) return false;
    m_lines[static_cast<std::size_t>(r)].size = Cut(text, kSizeBytes);
    return true;
}

bool OrderTable::SetColour(int r, std::string_view text) {
    if (!IsLine(r)) return false;
    m_lines[static_cast<std::size_t>(r)].colour = Cut(text, kColourBytes);
    return true;
}

bool OrderTable::SetNote(int r, std::string_view text) {
    if (!IsLine(r)) return false;
    m_lines[static_cast<std::size_t>(r)].note = Cut(text, kNoteBytes);
    return true;
}

OrderTotal OrderTable::UpdateTotal() {
    OrderLine& after = m_lines[static_cast<std::size_t>(m_count)];
    if (m_count < 1) {
        after = OrderLine{};
        m_total = OrderTotal{};
        return m_total;
    }
    // Everything is reckoned first, so that an amount too large for its
    // field changes nothing.
    std::array<std::string, kMaxOrderLines> amounts;
    OrderTotal t;
    bool ok = true;
    for (int i = 0; i < m_count && ok; ++i) {
        const OrderLine& l = m_lines[static_cast<std::size_t>(i)];
        const std::int64_t q = ParseCount(l.quantity);
        const auto amount = Mul(q, ParseCents(l.price));
        const auto sum = amount ? Add(t.cents, *amount) : std::nullopt;
        const auto qsum = Add(t.quantity, q);
        if (!sum || !qsum) {
            ok = false;
            break;
        }
        amounts[static_cast<std::size_t>(i)] = FormatCents(*amount);
        ok = amounts[static_cast<std::size_t>(i)].size() <= kAmountBytes;
        t.cents = *sum;
        t.quantity = *qsum;
    }
    const std::string total = ok ? FormatCents(t.cents) : std::string();
    const std::string quantity = std::to_string(t.quantity);
    if (!ok || total.size() > kAmountBytes || quantity.size() > kQuantityBytes) {
        after = OrderLine{};
        m_total = OrderTotal{};
        m_total.overflow = true;
        return m_total;
    }
    for (int i = 0; i < m_count; ++i) m_lines[static_cast<std::size_t>(i)].amount = amounts[static_cast<std::size_t>(i)];
    after = OrderLine{};
    after.kind = kKindTotal;
    after.name = std::string(kTotalName);
    after.quantity = quantity;
    after.amount = total;
    m_paths[static_cast<std::size_t>(m_count)].clear();
    t.text = total + " 元(" + quantity + "件)";
    m_total = t;
    return m_total;
}

void OrderTable::Clear() {
    for (auto& l : m_lines) l = OrderLine{};
    for (auto& p : m_paths) p.clear();
    m_count = 0;
    m_total = OrderTotal{};
}

namespace {
OrderTable*& Slot() {
    static OrderTable* table = new OrderTable;
    return table;
}
}  // namespace

OrderTable& OrderLines() { return *Slot(); }

void ResetOrderLines() {
    delete Slot();
    Slot() = new OrderTable;
}

}  // namespace measure_market
