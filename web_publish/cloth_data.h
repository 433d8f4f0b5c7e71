#pragma once
// The generated data script of a web fitting room ("Cloths_1.0_kzv.js") or of
// the video page ("videoDaLst_kzv.js"): the plain template part 1, then one
// list per key with an item per published part, then template part 2. Also
// names, copies and thumbnails the part pictures.
//
// Publishing reads the project and never changes it: prices are cleaned,
// texts cut and picture sizes measured on copies. Picture files are handled
// through PictureWork, which the window side implements over the toolkit's
// image codecs (tests pass a fake). Main thread.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/picture_size.h"
#include "project_editor/project_file.h"
#include "web_publish/publish_list.h"

namespace web_publish {

inline constexpr int kThumbnailSide = 70;
inline constexpr std::string_view kMessengerLinkPrefix = "https://im.example.com/chat?uin=";

// One picture to read: its size is measured, and it is copied and given a
// thumbnail where those paths are set.
struct PictureJob {
    std::filesystem::path source;
    std::filesystem::path copyTo;       // empty: no copy
    std::filesystem::path thumbnailTo;  // empty: no thumbnail
};

struct PictureOutcome {
    std::optional<platform::PicSize> size;  // nullopt: missing or not a picture
    bool copied = false;
    bool thumbnail = false;
};

class PictureWork {
public:
    virtual ~PictureWork() = default;
    // One outcome per job, in order. Jobs may run at once: no two jobs write
    // the same file.
    virtual std::vector<PictureOutcome> Run(const std::vector<PictureJob>& jobs) = 0;
};

// The dialog's texts that the script carries.
struct PageTexts {
    std::string messenger;     // contact number
    std::string shop;          // shop address
    std::string download;      // download address
    std::string initialLayer;  // "1:初层为主面", "0:初层为普通(视频)" or empty
};

struct ClothDataOptions {
    std::filesystem::path pictureFolder;   // the project's part pictures
    std::filesystem::path outputPictures;  // the site's "java1img"
    bool video = false;                    // names of the video page
    PageTexts texts;
};

struct ClothData {
    std::string text;                     // the keys, without the template parts
    std::vector<std::string> outputNames;  // "imgpart" name of each published entry
    std::vector<platform::PicSize> sizes;  // measured size of each entry (0 x 0 when unreadable)
    int copied = 0;
    int thumbnails = 0;
};

// The "Init0FaceCtrl" value: the text's first character minus '1', so
// "1:初层为主面" gives 0, "0:初层为普通(视频)" -1 and an empty text -49; the page
// shows the main layer first only for 0.
int InitialLayerValue(std::string_view initialLayer);

// Runs the picture jobs and builds the data text for the first list.count entries.
ClothData BuildClothData(const project_editor::ProjectFile& project, const PublishList& list,
                         const ClothDataOptions& options, PictureWork& pictures);

// Writes plain part 1, the data text and plain part 2 to `output`. A template
// part that is missing is replaced by the plain opening ("var kzvCloths = {")
// or closing ("};") so the file is still a valid script. False (and `error`)
// when the output cannot be written.
bool WriteClothData(const std::filesystem::path& part1, const std::filesystem::path& part2,
                    const std::string& dataText, const std::filesystem::path& output, std::string* error);

}  // namespace web_publish
