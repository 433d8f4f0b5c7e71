#pragma once
// CIconListFile: reads an icon-list file ".jxd" (pictures and icons grouped by
// category, prepared data that nothing in the suite writes) into fixed tables
// and lists its groups and the items of one group. Every count and offset of
// the file is checked against the tables before anything is read: a file
// that does not fit is refused whole and the tables keep what they held.
// The image editor keeps one; main thread only.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace picture_controls {

class CIconListFile {
public:
    static constexpr int kMaxItems = 600;
    static constexpr int kMaxEntries = 3600;
    static constexpr int kMaxTextBytes = 436168;
    static constexpr int kMaxGroups = 19;         // group names kept
    static constexpr int kCountedGroups = 16;     // groups whose header and member count are kept
    static constexpr int kMaxMembers = 991;       // member list capacity
    static constexpr int kHeaderSize = 32;
    static constexpr int kItemSize = 60;
    static constexpr int kEntrySize = 12;
    static constexpr int kMaxEntryText = 250;

    struct Item {
        std::array<std::uint8_t, 12> head{};  // ' ', type letter, ' ', "    ", "  ", 3 unused
        std::array<std::int32_t, 12> ints{};  // -1 when unused; ints[1] is the name entry
        char type() const { return static_cast<char>(head[1]); }
        int nameEntry() const { return ints[1]; }
    };
    struct Entry {
        std::int32_t offset = -1;
        std::int32_t length = 0;
        std::int32_t unused = 0;
    };

    CIconListFile();

    void SetBaseDir(const std::filesystem::path& dir) { m_dir = dir; }
    // "<base>/服饰图标/服饰图标列表.jxd" for 'B'/'b', "<base>/通用图标/通用图标列表.jxd"
    // for 'C'/'c', else "<base>/搭配图片/搭配图片记录表.jxd".
    std::filesystem::path PathFor(char kind) const;

    void Clear();
    // 1 when the file was read (then the kind is kept and BuildNameList(0)
    // run); 0 when it is missing or refused, with the tables unchanged.
    int Load(char kind);
    // The same on a file's bytes.
    int LoadBytes(std::span<const std::uint8_t> bytes, char kind);
    char GetKind() const { return m_kind; }

    // Lists the members of `group` (1-based; 0 = every group); the count.
    int BuildNameList(int group);
    // The text of an entry, at most 250 GBK bytes (cut on a character
    // boundary), as UTF-8; empty for an entry or offset out of range.
    std::string GetEntryText(int entry) const;

    int itemCount() const { return m_n; }
    int entryCount() const { return m_m; }
    int textBytes() const { return m_d; }
    const Item& item(int i) const { return m_items[i]; }
    const Entry& entry(int i) const { return m_entries[i]; }
    int groupCount() const { return m_groupCount; }
    const std::string& groupName(int i) const { return m_groupNames[i]; }  // i < kMaxGroups
    int groupHeader(int i) const { return m_groupHeader[i]; }             // i < kCountedGroups
    int groupMembers(int i) const { return m_groupMembers[i]; }           // i < kCountedGroups
    std::span<const int> members() const { return {m_members.data(), static_cast<std::size_t>(m_memberCount)}; }
    float scale(int i) const { return m_scales[i]; }

private:
    std::filesystem::path m_dir;
    std::array<std::uint8_t, kHeaderSize> m_header{};
    int m_n = 0, m_m = 0, m_d = 0;
    std::vector<Item> m_items;
    std::vector<Entry> m_entries;
    std::vector<std::uint8_t> m_text;
    char m_kind = ' ';
    std::array<std::string, kMaxGroups> m_groupNames;
    std::array<int, kCountedGroups> m_groupHeader{};
    std::array<int, kCountedGroups> m_groupMembers{};
    std::array<int, kMaxMembers> m_members{};
    int m_memberCount = 0;
    int m_groupCount = 0;
    std::array<float, 3> m_scales{1.0f, 1.0f, 1.0f};
};

}  // namespace picture_controls
