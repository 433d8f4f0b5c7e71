// The data text: for each key of the fixed order, one item per published
// entry ("key:[a,b,...],"). Numbers come from records or measurements and are
// bounded; every text goes through the literal helpers of js_literal.h.
#include "web_publish/cloth_data.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

#include "platform/files.h"
#include "web_publish/js_literal.h"
#include "web_publish/template_scramble.h"

namespace fs = std::filesystem;
using project_editor::FaceRecord;
using project_editor::PartRecord;
using project_editor::ProjectFile;

namespace web_publish {

namespace {

std::int32_t Clamp32(double v) {
    if (!std::isfinite(v)) return 0;
    v = std::trunc(v);
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

const char* Extension(char kind) { return kind == 'J' ? "jpg" : kind == 'G' ? "gif" : "png"; }

std::string VideoPrefix(int category) {
    return "pag" + std::to_string(category >= 1 && category <= 5 ? category : 1) + "Video_";
}

}  // namespace

int InitialLayerValue(std::string_view initialLayer) {
    // The text's first character (its terminator when empty) counted from '1'.
    const char first = initialLayer.empty() ? '\0' : initialLayer[0];
    return static_cast<signed char>(first) - '1';
}

ClothData BuildClothData(const ProjectFile& project, const PublishList& list, const ClothDataOptions& options,
                         PictureWork& pictures) {
    ClothData data;
    const int count = std::clamp(list.count, 0, static_cast<int>(list.entries.size()));
    auto part = [&](int e) -> const PartRecord& { return project.parts.at(static_cast<std::size_t>(list.at(e).part)); };
    auto face = [&](int e) -> const FaceRecord& { return project.faces.at(static_cast<std::size_t>(list.at(e).part)); };

    // Picture numbers, output names and the jobs: a picture seen at an
    // earlier place (same name and kind) is published once, under that
    // place's number. On the video page every entry has its own name.
    std::vector<int> number(static_cast<std::size_t>(count));
    std::vector<int> jobOf(static_cast<std::size_t>(count), -1);
    std::vector<PictureJob> jobs;
    std::map<fs::path, int> jobBySource;
    for (int e = 0; e < count; ++e) {
        const PartRecord& p = part(e);
        const std::string name = p.PictureName();
        const char kind = p.PictureKind();
        int n = e;
        for (int q = 0; q < e; ++q) {
            if (part(q).PictureNameGbk() == p.PictureNameGbk() && part(q).PictureKind() == kind) {
                n = q;
                break;
            }
        }
        number[static_cast<std::size_t>(e)] = n;
        const bool plain = project_editor::IsUsableProjectName(name);
        std::string out;
        if (options.video) {
            // Categories outside 1..5 share page 1: a name taken there moves
            // on to the page's next free number.
            int number = list.at(e).position + 1;
            do out = VideoPrefix(list.at(e).category) + std::to_string(number++) + ".png";
            while (std::find(data.outputNames.begin(), data.outputNames.end(), out) != data.outputNames.end());
        } else if ((kind == 'J' || kind == 'G') && plain)
            out = name + "." + Extension(kind);
        else
            out = "pic_" + std::to_string(n) + "." + (kind == 'J' || kind == 'G' ? Extension(kind) : "png");
        data.outputNames.push_back(out);
        if (!plain) continue;  // a name with a path in it is not read
        const fs::path source = options.pictureFolder / fs::path(name + "." + Extension(kind));
        const bool first = options.video || n == e;
        if (first) {
            PictureJob job{source, options.outputPictures / fs::path(out), {}};
            if (p.Category() != 'A') job.thumbnailTo = options.outputPictures / fs::path("S" + out);
            jobOf[static_cast<std::size_t>(e)] = static_cast<int>(jobs.size());
            jobBySource.emplace(source, static_cast<int>(jobs.size()));
            jobs.push_back(std::move(job));
        } else if (auto it = jobBySource.find(source); it != jobBySource.end()) {
            jobOf[static_cast<std::size_t>(e)] = it->second;
        }
    }
    const std::vector<PictureOutcome> done = pictures.Run(jobs);
    for (std::size_t j = 0; j < done.size() && j < jobs.size(); ++j) {
        data.copied += done[j].copied;
        data.thumbnails += done[j].thumbnail;
    }
    for (int e = 0; e < count; ++e) {
        const int j = jobOf[static_cast<std::size_t>(e)];
        platform::PicSize size;
        if (j >= 0 && j < static_cast<int>(done.size()) && done[static_cast<std::size_t>(j)].size)
            size = *done[static_cast<std::size_t>(j)].size;
        data.sizes.push_back(size);
    }

    // Face letters: upper-case change-face letters and their places.
    std::map<char, int> faceLetters;
    for (int e = 0; e < count; ++e) {
        const char c = part(e).ChangeFaceLetter();
        if (c >= 'A' && c <= 'Z' && !faceLetters.count(c)) faceLetters[c] = e;
    }

    std::string& t = data.text;
    auto listKey = [&](const char* key, const std::function<std::string(int)>& item) {
        t += key;
        t += ":[";
        std::string last;
        for (int e = 0; e < count; ++e) {
            if (e > 0) t += ',';
            last = item(e);
            t += last;
        }
        // A trailing comma ends a literal without an item: an empty last item
        // needs one more, or the list would lose it.
        if (count > 0 && last.empty()) t += ',';
        t += "],\n";
    };
    auto scaled = [&](int e) {
        const double s = part(e).Scale();
        const platform::PicSize m = data.sizes[static_cast<std::size_t>(e)];
        return std::pair{Clamp32(m.w * s), Clamp32(m.h * s)};
    };

    listKey("imgpart", [&](int e) { return JsString(data.outputNames[static_cast<std::size_t>(e)]); });
    listKey("imgWdHt", [&](int e) {
        const auto [w, h] = scaled(e);
        return "[" + std::to_string(w) + "," + std::to_string(h) + "]";
    });
    listKey("partGrpNo", [&](int e) { return std::to_string(part(e).Depth()); });
    listKey("picKindc", [&](int e) {
        const char k = part(e).PictureKind();
        return std::string(k == 'G' ? "2" : k == 'J' ? "1" : "0");
    });
    listKey("grpPosJno", [&](int e) { return std::to_string(list.at(e).position); });
    listKey("partPrice", [&](int e) {
        const auto bytes = part(e).Bytes().subspan(504, 9);
        return CleanPrice(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    });
    listKey("partKind", [&](int e) {
        const int k = static_cast<unsigned char>(part(e).Category()) - 0x11;
        return std::string(1, k >= '0' && k <= '5' ? static_cast<char>(k) : '4');
    });
    listKey("partNum", [](int) { return std::string("1"); });
    listKey("partXYpos", [&](int e) {
        const auto [sw, sh] = scaled(e);
        std::int64_t x = part(e).X(), y = part(e).Y();
        if (sw > sh) y += (static_cast<std::int64_t>(sw) - sh) / 2;
        if (sh > sw) x += (static_cast<std::int64_t>(sh) - sw) / 2;
        return "[" + std::to_string(Clamp32(static_cast<double>(x))) + "," +
               std::to_string(Clamp32(static_cast<double>(y))) + "]";
    });
    listKey("partLstMap", [](int) { return std::string("1"); });
    listKey("ExpFaceCtrl", [&](int e) {
        const PartRecord& p = part(e);
        int v = -1;
        const char changeFace = p.ChangeFaceLetter(), changePicture = p.ChangePictureLetter();
        if (changeFace >= '0' && changeFace <= '9') v = changeFace - '0';
        if (changePicture >= '0' && changePicture <= '9') v = changePicture - '0';
        const char c = (changePicture >= 'a' && changePicture <= 'z') || changePicture == '>' ? changePicture : changeFace;
        if (c >= 'a' && c <= 'z') {
            if (auto it = faceLetters.find(static_cast<char>(c - 'a' + 'A')); it != faceLetters.end()) v = it->second + 20;
        } else if (c == '>') {
            const std::string faceName = p.FaceName();
            for (int q = 0; q < count; ++q) {
                if (list.at(q).part > list.at(e).part && part(q).PictureName() == faceName) {
                    v = q + 2000;
                    break;
                }
            }
        } else if (v < 0) {
            v = e + 20;
        }
        return std::to_string(v);
    });
    listKey("dressLstxt", [&](int e) { return JsString(part(e).VoiceText()); });
    listKey("dressCodno", [&](int e) { return JsString(part(e).Name()); });
    listKey("LnkAddWeb", [&](int e) { return JsString(part(e).WebLink()); });
    t += "qqWeb:[" + JsString(std::string(kMessengerLinkPrefix) + options.texts.messenger) + "," +
         JsString(options.texts.shop) + "," + JsString(options.texts.download) + "],\n";
    t += "PARTMAXJN:" + std::to_string(count) + ",\n";
    listKey("faceImgName", [&](int e) {
        const int faces = static_cast<unsigned char>(face(e).FaceCountLetter()) - '0';
        std::string name;
        if (faces <= 1) name = project.FaceString(list.at(e).part, 1, 0);
        if (name.empty()) name = part(e).PictureName();
        return JsString(name);
    });
    listKey("clothFaceNum", [&](int e) {
        const char c = face(e).FaceCountLetter();
        return std::string(1, c >= '0' && c <= '9' ? c : '0');
    });
    listKey("faceImgWdHt", [&](int e) { return JsSizePair(part(e).FacePictureSize()); });
    listKey("gifWdHt", [&](int e) { return JsSizePair(part(e).AnimationSize()); });
    listKey("gifMark", [&](int e) {
        const auto bytes = part(e).Bytes().subspan(463, 9);
        const auto len = std::find(bytes.begin(), bytes.end(), 0) - bytes.begin();
        return std::string(len > 3 ? "1" : "0");
    });
    listKey("gifShowc", [&](int e) { return JsLetter(part(e).AnimationShowLetter()); });
    listKey("gifSoundc", [&](int e) { return JsLetter(part(e).AnimationSoundLetter()); });
    listKey("facImgkdLst", [&](int e) {
        const char k = face(e).FaceKind();
        return std::string(k == 'P' ? "0" : k == 'G' ? "2" : "1");
    });
    t += "setfaceImgkd:2,\n";
    t += "Init0FaceCtrl:" + std::to_string(InitialLayerValue(options.texts.initialLayer)) + ",\n";
    return data;
}

bool WriteClothData(const fs::path& part1, const fs::path& part2, const std::string& dataText, const fs::path& output,
                    std::string* error) {
    std::vector<std::uint8_t> bytes;
    auto add = [&](const fs::path& stored, std::string_view fallback) {
        if (auto b = platform::FileExists(stored) ? platform::ReadWholeFile(stored, kMaxStoredTemplateBytes) : std::nullopt) {
            const auto plain = UnscrambleTemplate(*b);
            bytes.insert(bytes.end(), plain.begin(), plain.end());
        } else {
            bytes.insert(bytes.end(), fallback.begin(), fallback.end());
        }
    };
    add(part1, "var kzvCloths = {\n");
    bytes.insert(bytes.end(), dataText.begin(), dataText.end());
    add(part2, "};\n");
    return platform::SaveFileAtomic(output, bytes, error);
}

}  // namespace web_publish
