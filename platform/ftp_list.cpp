// The texts of FTP that need no connection: LIST replies, server names and
// the names of upload temporaries. Everything here reads bytes a server or a
// user gave, and takes any bytes.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/ftp.h"
#include "platform/text.h"

namespace platform {
namespace {

std::vector<std::string_view> SplitFields(std::string_view line, int count, std::string_view* rest) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (static_cast<int>(out.size()) < count) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
        out.push_back(line.substr(i, j - i));
        i = j;
    }
    // One separator blank before the name; further blanks belong to it.
    if (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    *rest = i < line.size() ? line.substr(i) : std::string_view{};
    return out;
}

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::uint64_t ToU64(std::string_view s) {
    std::uint64_t v = 0;
    for (char c : s) {
        if (v > (UINT64_MAX - 9) / 10) return UINT64_MAX;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    return v;
}

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::optional<FtpEntry> ParseUnixLine(std::string_view line) {
    // perms links owner group size month day time-or-year name
    std::string_view name;
    auto f = SplitFields(line, 8, &name);
    if (f.size() == 8 && AllDigits(f[4]) && !name.empty()) {
        FtpEntry e;
        e.folder = f[0][0] == 'd';
        if (f[0][0] == 'l') {
            const auto arrow = name.find(" -> ");
            if (arrow != std::string_view::npos) name = name.substr(0, arrow);
        }
        e.name = std::string(name);
        e.size = ToU64(f[4]);
        return e;
    }
    // Some servers leave out the group: perms links owner size month day time name
    f = SplitFields(line, 7, &name);
    if (f.size() == 7 && AllDigits(f[3]) && !name.empty()) {
        FtpEntry e;
        e.folder = f[0][0] == 'd';
        e.name = std::string(name);
        e.size = ToU64(f[3]);
        return e;
    }
    return std::nullopt;
}

std::optional<FtpEntry> ParseDosLine(std::string_view line) {
    // 01-31-10  09:12PM  <DIR>  name   |   01-31-10  09:12PM  1234 name
    std::string_view name;
    auto f = SplitFields(line, 3, &name);
    if (f.size() != 3 || name.empty()) return std::nullopt;
    if (f[0].size() < 8 || !std::isdigit(static_cast<unsigned char>(f[0][0])) || f[0].find('-') == std::string_view::npos)
        return std::nullopt;
    if (f[1].find(':') == std::string_view::npos) return std::nullopt;
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    FtpEntry e;
    if (f[2] == "<DIR>") {
        e.folder = true;
    } else if (AllDigits(f[2])) {
        e.size = ToU64(f[2]);
    } else {
        return std::nullopt;
    }
    e.name = std::string(name);
    return e;
}

// The part of `name` that its temporaries carry: the name cut (on a UTF-8
// boundary) so the whole stays within what servers take.
std::string_view TemporaryStem(std::string_view name) {
    std::size_t keep = std::min<std::size_t>(name.size(), 200);
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    return name.substr(0, keep);
}

constexpr std::string_view kPartSuffix = ".part";
constexpr std::size_t kTagDigits = 8;
// '.' before the name, '.' and the digits after it, the suffix.
constexpr std::size_t kTemporaryFrame = 1 + 1 + kTagDigits + kPartSuffix.size();

// The name inside a temporary's name; empty when `fileName` is none.
std::string_view TemporaryNameInside(std::string_view fileName) {
    if (fileName.size() <= kTemporaryFrame || fileName.front() != '.' || !fileName.ends_with(kPartSuffix)) return {};
    const std::size_t tag = fileName.size() - kPartSuffix.size() - kTagDigits;
    if (fileName[tag - 1] != '.') return {};
    for (std::size_t i = tag; i < tag + kTagDigits; ++i) {
        const char c = fileName[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return {};
    }
    return fileName.substr(1, fileName.size() - kTemporaryFrame);
}

}  // namespace

std::vector<FtpEntry> ParseFtpList(std::string_view reply) {
    std::vector<FtpEntry> out;
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find('\n', start);
        if (end == std::string_view::npos) end = reply.size();
        std::string_view line = reply.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        std::optional<FtpEntry> e;
        const char kind = line[0];
        if (std::strchr("-dlbcps", kind) && line.size() >= 10) e = ParseUnixLine(line);
        if (!e) e = ParseDosLine(line);
        // A name of blanks only (a DOS line's blanks are not part of its name)
        // could not be asked for again.
        if (!e || e->name.empty() || e->name == "." || e->name == ".." || e->name.find('/') != std::string::npos ||
            e->name.find('\0') != std::string::npos)
            continue;
        e->display = ValidUtf8(e->name) ? e->name : GbkToUtf8(e->name);
        out.push_back(std::move(*e));
    }
    return out;
}

bool ValidFtpServer(std::string_view server) {
    if (server.empty() || server.size() > 255) return false;
    std::string_view host = server;
    std::string_view port;
    if (host.front() == '[') {
        const auto close = host.find(']');
        if (close == std::string_view::npos || close < 3) return false;
        for (char c : host.substr(1, close - 1))
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return false;
        const std::string_view after = host.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return false;
            port = after.substr(1);
            if (port.empty()) return false;
        }
    } else {
        const auto colon = host.find(':');
        if (colon != std::string_view::npos) {
            port = host.substr(colon + 1);
            host = host.substr(0, colon);
            if (port.empty()) return false;
        }
        if (host.empty() || host.front() == '.' || host.front() == '-') return false;
        for (char c : host)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') return false;
    }
    if (!port.empty()) {
        if (!AllDigits(port) || port.size() > 5) return false;
        const auto p = ToU64(port);
        if (p < 1 || p > 65535) return false;
    }
    return true;
}

std::string UploadTemporaryName(std::string_view name, std::uint32_t tag) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(tag));
    return "." + std::string(TemporaryStem(name)) + "." + digits + std::string(kPartSuffix);
}

bool IsUploadTemporary(std::string_view fileName) { return !TemporaryNameInside(fileName).empty(); }

bool IsUploadTemporaryOf(std::string_view fileName, std::string_view name) {
    const std::string_view inside = TemporaryNameInside(fileName);
    return !inside.empty() && inside == TemporaryStem(name);
}

}  // namespace platform
