#include "measure_market/order_file.h"

#include <algorithm>
#include <system_error>

#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace measure_market {

namespace {

constexpr std::size_t kLabelLimit = 60;
constexpr std::size_t kValueLimit = 160;
constexpr std::size_t kMaxOrderNumberBytes = 200;
constexpr const char* kCrLf = "\r\n";

std::string Gbk(std::string_view utf8) { return platform::Utf8ToGbkLossy(utf8); }

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

std::string Rule() { return std::string(100, '-') + kCrLf; }

std::string FailureText(std::string_view orderNo) { return " 建 " + std::string(orderNo) + " 定单表失败 !"; }

platform::MbResult Tell(const platform::MessageSink& messages, std::string text,
                        platform::MbButtons buttons = platform::MbButtons::Ok,
                        platform::MbIcon icon = platform::MbIcon::Exclamation) {
    if (!messages) return buttons == platform::MbButtons::YesNo ? platform::MbResult::No : platform::MbResult::Ok;
    return messages(platform::MessageRequest{std::move(text), std::string(kOrderCaption), buttons, icon});
}

}  // namespace

OrderTextLine::OrderTextLine(std::size_t length) : m_bytes(length, ' '), m_kind(length, 0) {}

std::size_t OrderTextLine::PutBytes(std::size_t column, std::string_view gbk, std::size_t limit) {
    if (column >= m_bytes.size() || gbk.empty()) return 0;
    const std::size_t room = std::min(limit, m_bytes.size() - column);
    const std::size_t n = platform::GbkCutLength(gbk, room);
    if (n == 0) return 0;
    // A character of an earlier text that the new one starts or ends inside
    // loses its other half: it becomes a blank.
    if (m_kind[column] == 2) {
        m_bytes[column - 1] = ' ';
        m_kind[column - 1] = 0;
    }
    const std::size_t end = column + n;
    if (end < m_bytes.size() && m_kind[end] == 2) {
        m_bytes[end] = ' ';
        m_kind[end] = 0;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(gbk[i]);
        m_bytes[column + i] = static_cast<char>(c);
        if (i > 0 && m_kind[column + i - 1] == 1) {
            m_kind[column + i] = 2;
        } else {
            m_kind[column + i] = IsLeadByte(c) ? 1 : 0;
        }
    }
    return n;
}

void OrderTextLine::Put(std::size_t column, std::string_view labelGbk, std::string_view valueGbk) {
    const std::size_t n = PutBytes(column, labelGbk, kLabelLimit);
    PutBytes(column + n, valueGbk, kValueLimit);
}

std::string BuildOrderFileText(const OrderTable& table, std::string_view orderNo, std::string_view orderer,
                               std::string_view contact) {
    std::string out;
    OrderTextLine header(135);
    header.Put(0, Gbk("定单号:"), Gbk(orderNo));
    header.Put(30, Gbk("定货人:"), Gbk(orderer));
    header.Put(55, Gbk("联系方式:"), Gbk(contact));
    out += header.bytes() + kCrLf;
    out += Rule();
    if (table.count() < 1) return out;

    OrderTextLine heads(92);
    heads.Put(0, Gbk(" 序号"), {});
    heads.Put(6, Gbk("  货 品 代 号  "), {});
    heads.Put(19, Gbk("  货 品 名 称  "), {});
    heads.Put(48, Gbk("  单 价  "), {});
    heads.Put(57, Gbk("  数 量  "), {});
    heads.Put(66, Gbk(" 单 位 "), {});
    heads.Put(72, Gbk(" 合 价 "), {});
    heads.Put(81, Gbk("尺码"), {});
    heads.Put(86, Gbk(" 颜 色"), {});
    out += heads.bytes() + kCrLf;
    out += Rule();

    for (int i = 0; i < table.count(); ++i) {
        const OrderLine& l = table.line(i);
        OrderTextLine row(94);
        row.Put(0, "  " + std::to_string(i + 1), {});
        row.Put(8, {}, Gbk(l.code));
        row.Put(21, {}, Gbk(l.name));
        row.Put(50, {}, Gbk(l.price));
        row.Put(59, {}, Gbk(l.quantity));
        row.Put(68, {}, Gbk(l.unit));
        row.Put(74, {}, Gbk(l.amount));
        row.Put(83, {}, Gbk(l.size));
        row.Put(88, {}, Gbk(l.colour));
        out += row.bytes() + kCrLf;
    }
    if (table.HasTotalLine()) {
        const OrderLine& t = table.line(table.count());
        out += Rule();
        OrderTextLine total(81);
        total.Put(19, Gbk("  合 计 金 额  "), {});
        total.Put(48, Gbk("数量:"), Gbk(t.quantity));
        total.Put(66, Gbk("金额:"), Gbk(t.amount));
        out += total.bytes() + kCrLf;
    }
    return out;
}

bool IsPlainOrderNumber(std::string_view orderNo) {
    if (orderNo.empty() || orderNo == "." || orderNo == "..") return false;
    for (char c : orderNo) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) return false;
    }
    // A leading blank or dot would make a name the list does not show.
    if (orderNo.front() == ' ' || orderNo.front() == '.' || orderNo.back() == ' ') return false;
    const auto gbk = platform::Utf8ToGbk(orderNo);
    return gbk && gbk->size() <= kMaxOrderNumberBytes;
}

fs::path OrderFilePath(const fs::path& base, std::string_view orderNo) {
    return platform::JoinPath(base, {kOrderFolderName, std::string(orderNo) + std::string(kOrderFileExtension)});
}

OrderWriteResult WriteOrderFile(const OrderTable& table, const fs::path& base, std::string_view orderNo,
                                std::string_view orderer, std::string_view contact,
                                const platform::MessageSink& messages) {
    if (!IsPlainOrderNumber(orderNo)) {
        Tell(messages, orderNo.empty() ? std::string("请先填写定单号 !")
                                       : " 定单号 \"" + std::string(orderNo) + "\" 不能用作文件名 !");
        return OrderWriteResult::BadOrderNumber;
    }
    const fs::path folder = platform::JoinPath(base, {kOrderFolderName});
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (!fs::is_directory(folder)) {
            Tell(messages, FailureText(orderNo) + "\n" + platform::FileErrorText("无法建立文件夹", folder, ec));
            return OrderWriteResult::FolderFailed;
        }
    }
    const fs::path file = OrderFilePath(base, orderNo);
    if (fs::exists(file, ec)) {
        const auto answer = Tell(messages, " 定单表 " + std::string(orderNo) + " 已存在, 是否替换?",
                                 platform::MbButtons::YesNo, platform::MbIcon::Question);
        if (answer != platform::MbResult::Yes) return OrderWriteResult::Declined;
    }
    const std::string text = BuildOrderFileText(table, orderNo, orderer, contact);
    std::string error;
    const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!platform::SaveFileAtomic(file, std::span<const std::uint8_t>(p, text.size()), &error)) {
        Tell(messages, FailureText(orderNo) + (error.empty() ? "" : "\n" + error));
        return OrderWriteResult::WriteFailed;
    }
    return OrderWriteResult::Written;
}

std::vector<std::string> ListOrderTitles(const fs::path& base) {
    std::vector<std::string> titles;
    for (const fs::path& p : platform::ListFiles(platform::JoinPath(base, {kOrderFolderName}), "*.of3")) {
        // Only names that the title opens again ("<title>.of3").
        if (p.extension().string() != kOrderFileExtension) continue;
        const std::string title = p.stem().string();
        if (title.empty()) continue;
        titles.push_back(title);
        if (static_cast<int>(titles.size()) >= kMaxListedOrders) break;
    }
    return titles;
}

std::optional<std::string> ReadOrderText(const fs::path& file) {
    const auto bytes = platform::ReadWholeFile(file, kMaxShownOrderBytes);
    if (!bytes || bytes->empty()) return std::nullopt;
    const std::string_view raw(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    // The cut at the limit may fall inside a character.
    return platform::GbkToUtf8(raw.substr(0, platform::GbkCutLength(raw, raw.size())));
}

}  // namespace measure_market
