#include "project_editor/sys_set_info.h"

#include <cstring>
#include <limits>
#include <memory>
#include <system_error>

#include "platform/files.h"
#include "platform/record.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace project_editor {

namespace {

// Offsets and widths of the record's fields.
constexpr std::size_t kLayerAt = 115;
constexpr std::size_t kOutputFolderAt = 335;
constexpr std::size_t kSeriesAt = 601;
constexpr std::size_t kLongWidth = 266;
constexpr std::size_t kShopPageAt = 867;
constexpr std::size_t kPageFolderAt = 1133;
constexpr std::size_t kPageNameAt = 1199;
constexpr std::size_t kTemplateNameAt = 1265;
constexpr std::size_t kShortWidth = 66;
constexpr std::size_t kDownloadPageAt = 1331;
constexpr std::size_t kMessengerAt = 1597;
constexpr std::size_t kMessengerWidth = 27;
constexpr std::size_t kTemplateIndexAt = 2172;

struct TextField {
    int number;
    std::size_t offset;
    std::size_t width;
    std::size_t limit;
};

constexpr TextField kTextFields[] = {
    {CSysSetInfo::kShopPage, kShopPageAt, kLongWidth, 260},
    {CSysSetInfo::kPageFolder, kPageFolderAt, kShortWidth, 60},
    {CSysSetInfo::kDownloadPage, kDownloadPageAt, kLongWidth, 260},
    {CSysSetInfo::kMessenger, kMessengerAt, kMessengerWidth, 22},
    {CSysSetInfo::kPageName, kPageNameAt, kShortWidth, 60},
    {CSysSetInfo::kTemplateName, kTemplateNameAt, kShortWidth, 60},
};

const TextField* FindTextField(int number) {
    for (const TextField& f : kTextFields)
        if (f.number == number) return &f;
    return nullptr;
}

// The decimal value at the start of a text, as atoi reads it (0 when there
// is none), held within the range of an int.
std::int32_t DecimalValue(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) break;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::unique_ptr<CSysSetInfo>& Slot() {
    static std::unique_ptr<CSysSetInfo> info;
    return info;
}

}  // namespace

CSysSetInfo& CSysSetInfo::Instance() {
    auto& s = Slot();
    if (!s) s = std::make_unique<CSysSetInfo>();
    return *s;
}

void CSysSetInfo::ResetInstance() { Slot() = std::make_unique<CSysSetInfo>(); }

CSysSetInfo::CSysSetInfo() : m_file(std::string(kSysSetInfoFileName)) {
    m_record[kLayerAt] = '1';
    SetText(kSeriesAt, kLongWidth, kLongWidth - 1, "2010秋冬女装");
    SetText(kShopPageAt, kLongWidth, 260, "http://shop.example.com/");
    SetText(kPageFolderAt, kShortWidth, 60, "2010试衣间");
    SetText(kPageNameAt, kShortWidth, 60, "kzvDress");
    SetText(kDownloadPageAt, kLongWidth, 260, "http://shop.example.com/download.html");
    SetText(kMessengerAt, kMessengerWidth, 22, "10000");
    SetText(kOutputFolderAt, kLongWidth, kLongWidth - 1, kOutputFolderName);
}

void CSysSetInfo::SetBaseDir(const fs::path& dir) {
    m_dir = dir;
    m_file = dir / std::string(kSysSetInfoFileName);
    SetText(kOutputFolderAt, kLongWidth, kLongWidth - 1, (dir / std::string(kOutputFolderName)).string());
}

CSysSetInfo::LoadResult CSysSetInfo::Load() {
    std::error_code ec;
    if (!fs::exists(m_file, ec) && !ec) return Save() ? LoadResult::Created : LoadResult::NotCreated;
    const auto bytes = platform::ReadWholeFile(m_file, kSysSetInfoSize + 1);
    if (!bytes || !LoadBytes(*bytes)) return LoadResult::Unreadable;
    return LoadResult::Loaded;
}

bool CSysSetInfo::Save(std::string* error) const { return platform::SaveFileAtomic(m_file, m_record, error); }

bool CSysSetInfo::LoadBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kSysSetInfoSize) return false;
    std::memcpy(m_record.data(), bytes.data(), kSysSetInfoSize);
    return true;
}

void CSysSetInfo::SetText(std::size_t off, std::size_t width, std::size_t limit, std::string_view utf8) {
    // WriteTextField keeps width - 1 bytes; a narrower limit is applied first.
    const std::string cut = platform::CutToGbkBytes(utf8, limit);
    platform::WriteTextField(m_record, off, width, cut, platform::FieldPad::Nul);
}

std::string CSysSetInfo::Text(std::size_t off, std::size_t width) const {
    return platform::GbkToUtf8(platform::ReadFieldBytes(m_record, off, width));
}

std::string CSysSetInfo::GetField(int field) const {
    if (field == kInitialLayer) {
        const char c = static_cast<char>(m_record[kLayerAt]);
        return c == '\0' ? std::string() : platform::GbkToUtf8(std::string(1, c));
    }
    if (field == kTemplateIndex) return std::to_string(platform::RecordReader(m_record).I32(kTemplateIndexAt));
    if (const TextField* f = FindTextField(field)) return Text(f->offset, f->width);
    return {};
}

bool CSysSetInfo::SetField(int field, std::string_view utf8) {
    if (field == kInitialLayer) {
        // One letter: a character that takes two bytes in GBK cannot be stored.
        if (!utf8.empty() && static_cast<unsigned char>(utf8[0]) >= 0x80) return false;
        m_record[kLayerAt] = utf8.empty() ? 0 : static_cast<std::uint8_t>(utf8[0]);
        return true;
    }
    if (field == kTemplateIndex) {
        platform::RecordWriter(m_record).I32(kTemplateIndexAt, DecimalValue(utf8));
        return true;
    }
    if (const TextField* f = FindTextField(field)) {
        SetText(f->offset, f->width, f->limit, utf8);
        return true;
    }
    return false;
}

std::string CSysSetInfo::GetOutputFolder() const { return Text(kOutputFolderAt, kLongWidth); }

bool CSysSetInfo::SetOutputFolder(std::string_view utf8) {
    SetText(kOutputFolderAt, kLongWidth, kLongWidth - 1, utf8);
    return Save();
}

std::string CSysSetInfo::GetSeriesName() const { return Text(kSeriesAt, kLongWidth); }

bool CSysSetInfo::SetSeriesName(std::string_view utf8) {
    SetText(kSeriesAt, kLongWidth, kLongWidth - 1, utf8);
    return Save();
}

}  // namespace project_editor
