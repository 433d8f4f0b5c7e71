// libFuzzer target: the fitting-project reader. Any input either is refused
// or loads; a loaded file must write back as the same bytes up to the end of
// its pool (the modified counter aside; bytes after the pool are dropped),
// and every face and pool string must read inside the pool.
// The same input is also tried as an older ".dy3" file and converted.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "project_editor/project_file.h"

using namespace project_editor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto project = std::make_unique<ProjectFile>();
    static auto legacy = std::make_unique<std::array<LegacyPartRecord, kMaxParts>>();
    const std::span<const std::uint8_t> bytes(data, size);

    if (ReadProjectBytes(bytes, *project) == ProjectFileError::None) {
        std::vector<std::uint8_t> out = WriteProjectBytes(*project);
        if (out.size() > size) std::abort();
        // The counter at 372 + 284 is always written as 0.
        if (std::memcmp(out.data(), data, 656) != 0 ||
            std::memcmp(out.data() + 660, data + 660, out.size() - 660) != 0)
            std::abort();
        std::size_t total = 0;
        for (int part = -1; part <= project->PartCount(); ++part)
            for (int kind = 0; kind <= 5; ++kind)
                for (int face = -1; face <= 16; ++face) {
                    const std::string s = project->FaceStringGbk(part, kind, face);
                    if (s.size() > static_cast<std::size_t>(kMaxPoolReadBytes)) std::abort();
                    total += s.size();
                }
        for (int i = 0; i < project->PartCount(); ++i) {
            total += project->parts[static_cast<std::size_t>(i)].Name().size();
            total += project->parts[static_cast<std::size_t>(i)].VoiceText().size();
            (void)DepthToSlot(project->parts[static_cast<std::size_t>(i)].Depth(), SlotRange::FromOne);
        }
        (void)project->header.PictureFolder();
        (void)total;
    }

    ProjectHeader header;
    if (ReadLegacyBytes(bytes, header, *legacy) == ProjectFileError::None) {
        const int n = header.StoredPartCount();
        if (n < 0 || n > kMaxParts) std::abort();
        for (int i = 0; i < n; ++i) {
            PartRecord part;
            part.Reset();
            ConvertLegacyPart((*legacy)[static_cast<std::size_t>(i)], part);
            if (part.Bytes()[462] != 0 || part.Reserved528() != -1) std::abort();
            (void)part.Name();
        }
    }
    return 0;
}
