#pragma once
// Projects for the publishing tests, made through the format's own record
// accessors, and a PictureWork that answers sizes from a table.
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "platform/text.h"
#include "project_editor/project_file.h"
#include "web_publish/cloth_data.h"

namespace webtest {

using project_editor::PartRecord;
using project_editor::ProjectFile;

inline std::unique_ptr<ProjectFile> NewProject(const std::string& pictureFolder) {
    auto p = std::make_unique<ProjectFile>();
    p->Reset();
    p->header.SetPictureFolder(pictureFolder);
    p->SetPartCount(0);
    return p;
}

inline PartRecord& AddRow(ProjectFile& p, char category, char rowType, const std::string& name,
                          const std::string& picture, int depth) {
    const int i = p.PartCount();
    p.SetPartCount(i + 1);
    p.SetFaceCount(i + 1);
    PartRecord& r = p.parts.at(static_cast<std::size_t>(i));
    r.Reset();
    r.SetCategory(category);
    r.SetRowType(rowType);
    r.SetName(name);
    r.SetPictureName(picture);
    r.SetDepth(depth);
    p.faces.at(static_cast<std::size_t>(i)).Reset();
    return r;
}

inline PartRecord& AddCaption(ProjectFile& p, char category, const std::string& name) {
    return AddRow(p, category, 'T', name, "", -1);
}

inline PartRecord& AddPart(ProjectFile& p, char category, const std::string& picture, int depth) {
    return AddRow(p, category, ' ', picture, picture, depth);
}

// Appends a face string to the pool and points the part's face record at it.
inline void AddFaceString(ProjectFile& p, int part, int kind, int face, const std::string& utf8) {
    const std::string gbk = platform::Utf8ToGbkLossy(utf8);
    const int t = p.PoolLength();
    std::memcpy(p.pool.MutableBytes().data() + t, gbk.data(), gbk.size());
    p.SetPoolLength(t + static_cast<int>(gbk.size()));
    p.faces.at(static_cast<std::size_t>(part))
        .SetString(kind, face, t, static_cast<std::uint8_t>(gbk.size()));
}

// Sizes from a table by file name; every job recorded; nothing written.
class FakePictures : public web_publish::PictureWork {
public:
    std::map<std::string, platform::PicSize> sizes;
    std::vector<web_publish::PictureJob> jobs;
    std::vector<web_publish::PictureOutcome> Run(const std::vector<web_publish::PictureJob>& in) override {
        std::vector<web_publish::PictureOutcome> out;
        for (const auto& j : in) {
            jobs.push_back(j);
            web_publish::PictureOutcome o;
            if (auto it = sizes.find(j.source.filename().string()); it != sizes.end()) o.size = it->second;
            o.copied = o.size && !j.copyTo.empty();
            o.thumbnail = o.size && !j.thumbnailTo.empty();
            out.push_back(o);
        }
        return out;
    }
};

}  // namespace webtest
