// GBK <-> UTF-8 through iconv. glibc's "GBK" table is the one the stored data
// was written with (it maps 0x80 to the euro sign); GB18030 would read the same
// bytes differently in places, so it is not used.
//
// Each thread keeps its own pair of iconv descriptors, because a descriptor
// carries conversion state and may not be shared between threads.
#include "platform/text.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace platform {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv_open failed for ") + from + " -> " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    enum class Stop { Done, Invalid, Incomplete };

    // Converts as much of `in` as it can, appending to `out`; `in` is advanced
    // past what was converted. Stops at the end or at the first bad sequence.
    Stop Run(std::string_view& in, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buf[1024];
        while (true) {
            char* src = const_cast<char*>(in.data());
            std::size_t src_left = in.size();
            char* dst = buf;
            std::size_t dst_left = sizeof buf;
            std::size_t r = iconv(m_cd, &src, &src_left, &dst, &dst_left);
            const int err = errno;
            out.append(buf, static_cast<std::size_t>(dst - buf));
            in.remove_prefix(in.size() - src_left);
            if (r != static_cast<std::size_t>(-1)) {
                if (in.empty()) return Stop::Done;
                continue;
            }
            if (err == E2BIG) continue;
            if (err == EINVAL) return Stop::Incomplete;
            return Stop::Invalid;
        }
    }

private:
    iconv_t m_cd;
};

Converter& FromGbk() {
    thread_local Converter c("UTF-8", "GBK");
    return c;
}

Converter& ToGbk() {
    thread_local Converter c("GBK", "UTF-8");
    return c;
}

bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

void CheckField(std::size_t size, std::size_t offset, std::size_t width) {
    if (offset > size || width > size - offset) throw std::out_of_range("text field outside the record");
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view s) {
    const auto c = static_cast<unsigned char>(s[0]);
    std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    if (n > s.size()) return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    return n;
}

std::string StripMnemonics(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

std::string GbkToUtf8(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    Converter& c = FromGbk();
    while (!gbk.empty()) {
        const Converter::Stop stop = c.Run(gbk, out);
        if (stop == Converter::Stop::Done) break;
        out += '?';
        if (stop == Converter::Stop::Incomplete) break;
        // A lead byte with a proper trail byte is one unknown character;
        // anything else is a single stray byte.
        const bool pair = gbk.size() >= 2 && IsGbkLead(static_cast<unsigned char>(gbk[0])) &&
                          IsGbkTrail(static_cast<unsigned char>(gbk[1]));
        gbk.remove_prefix(pair ? 2 : 1);
    }
    return out;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    std::string out;
    if (ToGbk().Run(utf8, out) != Converter::Stop::Done) return std::nullopt;
    return out;
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
    std::string out;
    Converter& c = ToGbk();
    while (!utf8.empty()) {
        const Converter::Stop stop = c.Run(utf8, out);
        if (stop == Converter::Stop::Done) break;
        out += '?';
        if (stop == Converter::Stop::Incomplete) break;
        utf8.remove_prefix(Utf8SequenceLength(utf8));
    }
    return out;
}

std::size_t GbkCutLength(std::string_view gbk, std::size_t limit) {
    std::size_t pos = 0;
    while (pos < gbk.size()) {
        std::size_t n = 1;
        if (pos + 1 < gbk.size() && IsGbkLead(static_cast<unsigned char>(gbk[pos])) &&
            IsGbkTrail(static_cast<unsigned char>(gbk[pos + 1])))
            n = 2;
        if (pos + n > limit) break;
        pos += n;
    }
    return pos;
}

std::size_t GbkLength(std::string_view utf8) { return Utf8ToGbkLossy(utf8).size(); }

std::string CutToGbkBytes(std::string_view utf8, std::size_t limit) {
    std::size_t used = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t n = Utf8SequenceLength(utf8.substr(pos));
        const std::size_t bytes = static_cast<unsigned char>(utf8[pos]) < 0x80 ? 1 : GbkLength(utf8.substr(pos, n));
        if (used + bytes > limit) break;
        used += bytes;
        pos += n;
    }
    return std::string(utf8.substr(0, pos));
}

std::string ReadFieldBytes(std::span<const std::uint8_t> record, std::size_t offset, std::size_t width) {
    CheckField(record.size(), offset, width);
    const auto* p = reinterpret_cast<const char*>(record.data() + offset);
    std::string_view field(p, width);
    const std::size_t nul = field.find('\0');
    if (nul != std::string_view::npos) field = field.substr(0, nul);
    return std::string(field);
}

std::string ReadTextField(std::span<const std::uint8_t> record, std::size_t offset, std::size_t width) {
    std::string bytes = ReadFieldBytes(record, offset, width);
    const std::size_t end = bytes.find_last_not_of(' ');
    bytes.resize(end == std::string::npos ? 0 : end + 1);
    return GbkToUtf8(bytes);
}

bool WriteTextField(std::span<std::uint8_t> record, std::size_t offset, std::size_t width,
                    std::string_view utf8, FieldPad pad) {
    CheckField(record.size(), offset, width);
    const std::string gbk = Utf8ToGbkLossy(utf8);
    const std::size_t room = pad == FieldPad::Nul ? (width == 0 ? 0 : width - 1) : width;
    const std::size_t n = GbkCutLength(gbk, room);
    std::uint8_t* field = record.data() + offset;
    for (std::size_t i = 0; i < n; ++i) field[i] = static_cast<std::uint8_t>(gbk[i]);
    const std::uint8_t fill = pad == FieldPad::Nul ? 0 : static_cast<std::uint8_t>(' ');
    for (std::size_t i = n; i < width; ++i) field[i] = fill;
    return n == gbk.size();
}

}  // namespace platform
