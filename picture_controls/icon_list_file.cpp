#include "picture_controls/icon_list_file.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "platform/record.h"
#include "platform/text.h"

namespace picture_controls {

namespace {

constexpr std::uint8_t kBlankItemHead[12] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0, 0, 0};

}  // namespace

CIconListFile::CIconListFile() : m_items(kMaxItems), m_entries(kMaxEntries), m_text(kMaxTextBytes, 0) { Clear(); }

std::filesystem::path CIconListFile::PathFor(char kind) const {
    if (kind == 'B' || kind == 'b') return platform::JoinPath(m_dir, {"服饰图标", "服饰图标列表.jxd"});
    if (kind == 'C' || kind == 'c') return platform::JoinPath(m_dir, {"通用图标", "通用图标列表.jxd"});
    return platform::JoinPath(m_dir, {"搭配图片", "搭配图片记录表.jxd"});
}

void CIconListFile::Clear() {
    m_header.fill(0);
    std::memcpy(m_header.data(), "      ", 6);
    m_n = m_m = m_d = 0;
    for (Item& it : m_items) {
        std::memcpy(it.head.data(), kBlankItemHead, sizeof kBlankItemHead);
        it.ints.fill(-1);
    }
    std::fill(m_entries.begin(), m_entries.end(), Entry{});
    m_scales = {1.0f, 1.0f, 1.0f};
}

int CIconListFile::Load(char kind) {
    const auto bytes = platform::ReadWholeFile(PathFor(kind),
                                               kHeaderSize + std::size_t{kItemSize} * kMaxItems +
                                                   std::size_t{kEntrySize} * kMaxEntries + kMaxTextBytes + 1);
    if (!bytes) return 0;
    return LoadBytes(*bytes, kind);
}

int CIconListFile::LoadBytes(std::span<const std::uint8_t> bytes, char kind) {
    if (bytes.size() < kHeaderSize) return 0;
    const platform::RecordReader r(bytes);
    const std::int32_t n = r.I32(8), m = r.I32(12), d = r.I32(16);
    if (n < 0 || n > kMaxItems || m < 0 || m > kMaxEntries || d < 0 || d > kMaxTextBytes) return 0;
    const std::size_t need = kHeaderSize + std::size_t(n) * kItemSize + std::size_t(m) * kEntrySize + std::size_t(d);
    if (bytes.size() < need) return 0;

    std::copy_n(bytes.begin(), kHeaderSize, m_header.begin());
    m_n = n;
    m_m = m;
    m_d = d;
    std::size_t at = kHeaderSize;
    for (int i = 0; i < n; ++i, at += kItemSize) {
        Item& it = m_items[i];
        std::copy_n(bytes.begin() + at, 12, it.head.begin());
        for (int k = 0; k < 12; ++k) it.ints[k] = r.I32(at + 12 + 4 * k);
    }
    for (int i = 0; i < m; ++i, at += kEntrySize) m_entries[i] = {r.I32(at), r.I32(at + 4), r.I32(at + 8)};
    std::copy_n(bytes.begin() + at, d, m_text.begin());
    m_kind = kind;
    BuildNameList(0);
    return 1;
}

std::string CIconListFile::GetEntryText(int entry) const {
    if (entry < 0 || entry >= m_m) return {};
    const Entry& e = m_entries[entry];
    if (e.offset < 0 || e.offset >= m_d || e.length <= 0) return {};
    const std::size_t avail = std::min<std::size_t>(std::size_t(e.length), std::size_t(m_d - e.offset));
    std::string_view raw(reinterpret_cast<const char*>(m_text.data()) + e.offset, avail);
    raw = raw.substr(0, raw.find('\0'));
    return platform::GbkToUtf8(raw.substr(0, platform::GbkCutLength(raw, kMaxEntryText)));
}

int CIconListFile::BuildNameList(int group) {
    m_memberCount = 0;
    m_groupCount = 0;
    int running = 0;  // members of the group that is open
    for (int i = 0; i < m_n; ++i) {
        if (i == 0 && (m_kind == 'B' || m_kind == 'C')) continue;
        const Item& it = m_items[i];
        if (it.type() == 'H') {
            if (m_groupCount >= 1 && m_groupCount <= kCountedGroups) m_groupMembers[m_groupCount - 1] = running;
            running = 0;
            if (m_groupCount < kCountedGroups) m_groupHeader[m_groupCount] = i;
            if (m_groupCount < kMaxGroups) m_groupNames[m_groupCount] = GetEntryText(it.nameEntry());
            ++m_groupCount;
            continue;
        }
        if (group > 0 && m_groupCount > group) break;  // the first member of a later group
        ++running;
        if (group == 0 || group == m_groupCount) {
            if (m_memberCount < kMaxMembers) m_members[m_memberCount++] = i;
            if (m_memberCount > kMaxMembers - 1) break;
        }
    }
    if (m_groupCount >= 1 && m_groupCount <= kCountedGroups) m_groupMembers[m_groupCount - 1] = running;
    return m_memberCount;
}

}  // namespace picture_controls
