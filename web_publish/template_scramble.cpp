#include "web_publish/template_scramble.h"

#include "platform/files.h"

namespace web_publish {

namespace {

constexpr std::uint16_t kOffsets[] = {211, 37, 598, 73, 902, 14, 365, 480, 129, 777, 256, 641, 59};
constexpr std::size_t kPeriod = sizeof kOffsets / sizeof kOffsets[0];
constexpr std::uint16_t kBias = 0x2A7;

}  // namespace

std::vector<std::uint8_t> ScrambleTemplate(std::span<const std::uint8_t> plain) {
    std::vector<std::uint8_t> out;
    out.reserve(plain.size() * 2);
    for (std::size_t k = 0; k < plain.size(); ++k) {
        const std::uint16_t unit = static_cast<std::uint16_t>(plain[k] + kOffsets[k % kPeriod] + kBias);
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return out;
}

std::vector<std::uint8_t> UnscrambleTemplate(std::span<const std::uint8_t> stored) {
    std::vector<std::uint8_t> out(stored.size() / 2);
    for (std::size_t k = 0; k < out.size(); ++k) {
        const unsigned unit = stored[2 * k] | (stored[2 * k + 1] << 8);
        out[k] = static_cast<std::uint8_t>((unit - kOffsets[k % kPeriod] - kBias) & 0xFF);
    }
    return out;
}

UnscrambleResult UnscrambleTemplateFile(const std::filesystem::path& stored, const std::filesystem::path& plain) {
    if (!platform::FileExists(stored)) return UnscrambleResult::NoSource;
    const auto bytes = platform::ReadWholeFile(stored, kMaxStoredTemplateBytes);
    if (!bytes) return UnscrambleResult::NoSource;
    return platform::SaveFileAtomic(plain, UnscrambleTemplate(*bytes)) ? UnscrambleResult::Written
                                                                        : UnscrambleResult::WriteFailed;
}

}  // namespace web_publish
