#pragma once
// The stored form of the page templates under "KZV网页项目模板": every byte
// of the plain file becomes a little-endian 16-bit unit, the byte plus an
// offset that depends on its position (a table of 13 entries taken by
// position modulo 13) plus a fixed bias. The build scrambles the template
// sources with ScrambleTemplate (tool template_scrambler); the site build
// turns them back into plain files.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace web_publish {

// A stored template is read up to this many bytes (9,006,600 units).
inline constexpr std::size_t kMaxStoredTemplateBytes = 18013200;

std::vector<std::uint8_t> ScrambleTemplate(std::span<const std::uint8_t> plain);
// One byte per whole unit; a trailing odd byte is ignored.
std::vector<std::uint8_t> UnscrambleTemplate(std::span<const std::uint8_t> stored);

enum class UnscrambleResult { Written, NoSource, WriteFailed };
// Reads the stored file (at most kMaxStoredTemplateBytes) and writes its plain
// form through a temporary file. A missing source makes no output file.
UnscrambleResult UnscrambleTemplateFile(const std::filesystem::path& stored, const std::filesystem::path& plain);

}  // namespace web_publish
