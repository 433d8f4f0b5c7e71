#pragma once
// The order file ".of3": the order as fixed-column GBK text in the folder
// "定单数据表保存区" of the base directory, one file per order number, and
// the list of saved orders. The form's "建定单表" writes it; the order-list
// dialog lists and shows the files.
//
// Every text line is a run of blanks of fixed length with labels and values
// put at columns; a later text overwrites an earlier one where they overlap,
// but a double-byte character is never split: a character that would be cut
// by the line's end, a field's limit or an overwriting text is blanked
// instead. Lines end with CR LF.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "measure_market/order_lines.h"
#include "platform/message.h"

namespace measure_market {

inline constexpr std::string_view kOrderFolderName = "定单数据表保存区";
inline constexpr std::string_view kOrderFileExtension = ".of3";
inline constexpr std::string_view kOrderCaption = "Lumora服饰搭配软件";
inline constexpr int kMaxListedOrders = 61;
inline constexpr std::size_t kMaxShownOrderBytes = 65000;

// The GBK bytes of the whole file for the table's lines (with the total line
// when it follows the last line).
std::string BuildOrderFileText(const OrderTable& table, std::string_view orderNo, std::string_view orderer,
                               std::string_view contact);

// One text line of `length` blanks with texts put at columns (GBK bytes),
// exposed for tests.
class OrderTextLine {
public:
    explicit OrderTextLine(std::size_t length);
    // Copies at most 60 bytes of label at `column`, then at most 160 bytes of
    // value right after it; both cut at the line's end.
    void Put(std::size_t column, std::string_view labelGbk, std::string_view valueGbk);
    const std::string& bytes() const { return m_bytes; }

private:
    std::size_t PutBytes(std::size_t column, std::string_view gbk, std::size_t limit);
    std::string m_bytes;
    std::vector<std::uint8_t> m_kind;  // 0 single byte, 1 lead, 2 trail
};

// Why a write did not happen.
enum class OrderWriteResult {
    Written,
    BadOrderNumber,  // empty, or not a plain file name
    Declined,        // the file exists and the user kept it
    FolderFailed,    // the order folder could not be made
    WriteFailed,     // the file could not be written
};

// The order number as a file name: not empty, no path separators, not "."
// or "..", no control characters, a GBK form of at most 200 bytes.
bool IsPlainOrderNumber(std::string_view orderNo);

// "<base>/定单数据表保存区/<orderNo>.of3".
std::filesystem::path OrderFilePath(const std::filesystem::path& base, std::string_view orderNo);

// Writes the order file: the folder is made when missing, an existing file
// is replaced only when the user answers yes, and the bytes go through the
// suite's one save (a link is written through). Every refusal and failure is told through
// `messages` with the caption "Lumora服饰搭配软件".
OrderWriteResult WriteOrderFile(const OrderTable& table, const std::filesystem::path& base, std::string_view orderNo,
                                std::string_view orderer, std::string_view contact,
                                const platform::MessageSink& messages);

// Titles of the saved order files (names without ".of3"), sorted by name,
// at most kMaxListedOrders.
std::vector<std::string> ListOrderTitles(const std::filesystem::path& base);

// At most kMaxShownOrderBytes of the file as UTF-8 text; nullopt when it
// cannot be read or is empty.
std::optional<std::string> ReadOrderText(const std::filesystem::path& file);

}  // namespace measure_market
