#include "shell/download_record.h"

#include <algorithm>
#include <memory>
#include <system_error>

#include "platform/files.h"
#include "platform/text.h"

namespace shell {
namespace {

std::unique_ptr<CDLoadRecord>& Instance() {
    static std::unique_ptr<CDLoadRecord> record = std::make_unique<CDLoadRecord>();
    return record;
}

// Copies at most `limit` GBK bytes of the text (cut on a character boundary)
// to `offset` and puts a NUL behind them; the rest of the field keeps its
// bytes.
void PutText(DLoadRecord& r, std::size_t offset, std::size_t limit, const std::string& gbk) {
    const std::size_t n = platform::GbkCutLength(gbk, limit);
    std::copy_n(gbk.begin(), n, r.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    r.bytes[offset + n] = 0;
}

std::string GetText(const DLoadRecord& r, std::size_t offset, std::size_t width) {
    return platform::GbkToUtf8(platform::ReadFieldBytes(r.bytes, offset, width));
}

bool HasControlChar(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

}  // namespace

std::string ListPageUrl(std::string_view host, std::string_view page) {
    while (!host.empty() && host.back() == '/') host.remove_suffix(1);
    while (!page.empty() && page.front() == '/') page.remove_prefix(1);
    return std::string(host) + "/" + std::string(page);
}

CDLoadRecord::CDLoadRecord() { Blank(); }

void CDLoadRecord::SetDirectory(const std::filesystem::path& dir) { m_directory = dir; }

std::filesystem::path CDLoadRecord::path() const {
    return platform::JoinPath(m_directory, {kDownloadFolderName, kDownloadRecordName});
}

void CDLoadRecord::Blank() {
    auto& b = m_record.bytes;
    b[DLoadRecord::kOffKind] = ' ';
    b[DLoadRecord::kOffStatus] = ' ';
    std::fill(b.begin() + 2, b.begin() + 8, ' ');
    b[DLoadRecord::kOffAddress] = 0;
    b[DLoadRecord::kOffTitle] = 0;
    b[DLoadRecord::kOffReserved] = 0;
    b[DLoadRecord::kOffFileName] = 0;
}

bool CDLoadRecord::ReadFile() {
    const auto bytes = platform::ReadWholeFile(path(), DLoadRecord::kSize);
    if (!bytes) return false;
    // A shorter file replaces only what it holds.
    std::copy(bytes->begin(), bytes->end(), m_record.bytes.begin());
    return true;
}

bool CDLoadRecord::WriteFile() {
    std::error_code ec;
    std::filesystem::create_directory(path().parent_path(), ec);
    return platform::SaveFileAtomic(path(), m_record.bytes);
}

int CDLoadRecord::WriteRequest(char kind, std::string_view address, std::string_view title) {
    m_record.bytes[DLoadRecord::kOffKind] = static_cast<std::uint8_t>(kind);
    PutText(m_record, DLoadRecord::kOffAddress, DLoadRecord::kMaxAddressBytes, platform::Utf8ToGbkLossy(address));
    PutText(m_record, DLoadRecord::kOffTitle, DLoadRecord::kMaxTitleBytes, platform::Utf8ToGbkLossy(title));
    m_record.bytes[DLoadRecord::kOffStatus] = ' ';
    return WriteFile() ? 1 : 0;
}

bool CDLoadRecord::ReadResult(std::string* fileName) {
    if (!ReadFile()) return false;
    if (m_record.bytes[DLoadRecord::kOffStatus] != 'Y') return false;
    if (fileName) *fileName = GetText(m_record, DLoadRecord::kOffFileName, DLoadRecord::kFileNameWidth);
    return true;
}

bool CDLoadRecord::Read(std::string* address, std::string* title, char* kind) {
    if (!ReadFile()) return false;
    if (address) *address = GetText(m_record, DLoadRecord::kOffAddress, DLoadRecord::kAddressWidth);
    if (title) *title = GetText(m_record, DLoadRecord::kOffTitle, DLoadRecord::kTitleWidth);
    if (kind) *kind = static_cast<char>(m_record.bytes[DLoadRecord::kOffKind]);
    return true;
}

bool CDLoadRecord::WriteResult(std::string_view fileName) {
    // A cut name would name another file: the client would look for it in vain.
    const auto gbk = platform::Utf8ToGbk(fileName);
    if (!gbk || gbk->size() > DLoadRecord::kMaxFileNameBytes) return false;
    m_record.bytes[DLoadRecord::kOffStatus] = 'Y';
    PutText(m_record, DLoadRecord::kOffFileName, DLoadRecord::kMaxFileNameBytes, *gbk);
    return WriteFile();
}

CDLoadRecord& DLoadRec() { return *Instance(); }
void ResetDLoadRec() { Instance() = std::make_unique<CDLoadRecord>(); }

bool IsPlainFileName(std::string_view utf8) {
    if (utf8.empty() || utf8 == "." || utf8 == "..") return false;
    if (utf8.find_first_of("/\\") != std::string_view::npos || HasControlChar(utf8)) return false;
    return platform::Utf8ToGbk(utf8).has_value();
}

std::optional<std::string> PlainFileNameFromGbk(std::string_view gbk) {
    std::string utf8 = platform::GbkToUtf8(gbk);
    // Bytes with no GBK meaning come back as '?': the round trip shows them.
    const auto back = platform::Utf8ToGbk(utf8);
    if (!back || *back != gbk || !IsPlainFileName(utf8)) return std::nullopt;
    return utf8;
}

}  // namespace shell
