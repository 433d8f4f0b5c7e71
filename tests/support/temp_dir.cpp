#include "tests/support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "suite-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void TempDir::write(const fs::path& rel, const std::vector<unsigned char>& bytes) const {
    fs::path p = m_path / rel;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void TempDir::write(const fs::path& rel, const std::string& text) const {
    write(rel, std::vector<unsigned char>(text.begin(), text.end()));
}

std::vector<unsigned char> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<unsigned char> PatternBytes(std::size_t n) {
    std::vector<unsigned char> b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(i * 131 + (i >> 10));
    return b;
}

std::vector<std::string> FileNames(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

ScopedCwd::ScopedCwd(const fs::path& p) : m_old(fs::current_path()) { fs::current_path(p); }
ScopedCwd::~ScopedCwd() {
    std::error_code ec;
    fs::current_path(m_old, ec);
}

}  // namespace testsupport
