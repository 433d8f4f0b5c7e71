#pragma once
// A fresh folder under the system's temporary folder, removed with the object.
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& p) const { return m_path / p; }

    // Writes bytes to a file below the folder, creating folders on the way.
    void write(const std::filesystem::path& rel, const std::vector<unsigned char>& bytes) const;
    void write(const std::filesystem::path& rel, const std::string& text) const;

private:
    std::filesystem::path m_path;
};

std::vector<unsigned char> ReadAll(const std::filesystem::path& p);

// `n` bytes of a pattern that no short repetition reproduces (file bodies for
// transfer tests).
std::vector<unsigned char> PatternBytes(std::size_t n);

// The names in a folder (hidden ones too), sorted.
std::vector<std::string> FileNames(const std::filesystem::path& dir);

// Sets the working directory for the life of the object.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::filesystem::path& p);
    ~ScopedCwd();

private:
    std::filesystem::path m_old;
};

}  // namespace testsupport
