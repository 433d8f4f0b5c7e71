#pragma once
// The site build of the web page dialog: the folder tree under the output
// folder, the page and scripts from the chosen template, the generated data
// script, the part pictures and thumbnails, the template's basic pictures,
// the show pictures and sounds (fitting room) or the videos (video page).
//
// A core: it reads the project and the base directory's template and project
// folders, writes only under the site folder, and reports instead of asking.
// A build that cannot make the page or the data script fails as a whole (the
// caller opens nothing); missing pictures, sounds and optional template files
// are skipped. Main thread.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "project_editor/project_file.h"
#include "web_publish/cloth_data.h"
#include "web_publish/publish_list.h"

namespace web_publish {

inline constexpr std::string_view kBuildCaption = "Lumora软件";
inline constexpr std::string_view kTooFewMessage = "图片数不能少于两张!";
inline constexpr int kMaxListedFiles = 386;
inline constexpr int kMaxListedPairs = 361;

struct WebPageSettings {
    std::string outputFolder;  // as kept in the settings; a relative one lies in the base directory
    std::string pageFolder;
    std::string pageName;
    std::string templateName;
    int templateIndex = 0;
    PageTexts texts;
};

enum class BuildOutcome {
    Built,
    TooFewPictures,  // fewer than two publishable parts: nothing made
    BadName,         // page folder, page name or template name is not a plain name
    MissingTemplate, // the template's folder or its page is not installed: nothing made
    FolderFailed,    // a folder could not be made
    WriteFailed,     // the page or the data script could not be written
};

struct BuildReport {
    BuildOutcome outcome = BuildOutcome::Built;
    std::string message;  // for the user when not built (caption kBuildCaption)
    std::filesystem::path siteFolder;
    std::filesystem::path pagePath;
    int published = 0;
    bool cut = false;  // more than 62 publishable parts: the first 62 were published
    int pictures = 0, thumbnails = 0, basicPictures = 0, showPictures = 0, sounds = 0, videos = 0;
    bool ok() const { return outcome == BuildOutcome::Built; }
};

// (source, target) file names of the show pictures of a project, in project
// order: face pictures, animation pictures, then the ten fixed names.
std::vector<std::pair<std::string, std::string>> ShowPicturePairs(const project_editor::ProjectFile& project);

// The sound files of a project as file names in `soundFolder`: voice texts as
// they stand, face sounds (kinds 3 and 4) found by their title: the file of
// that name, else of that name with the voice text's extension, else the
// first file (by name) whose name without extension is the title. Then the
// four fixed names. Names with a path in them are left out.
std::vector<std::string> SoundNames(const project_editor::ProjectFile& project,
                                    const std::filesystem::path& soundFolder);

// The project folder: the picture folder without its last part (empty when
// the picture folder belongs to another machine).
std::filesystem::path ProjectFolderOf(const project_editor::ProjectFile& project, const std::filesystem::path& base);

class WebSiteBuild {
public:
    WebSiteBuild(std::filesystem::path base, const project_editor::ProjectFile& project, PictureWork& pictures);

    // The video page for template index 10, else the fitting room.
    BuildReport Build(const WebPageSettings& settings);
    BuildReport BuildFittingRoom(const WebPageSettings& settings);
    BuildReport BuildVideoPage(const WebPageSettings& settings);

    // The project folder: the picture folder without its last part.
    std::filesystem::path ProjectFolder() const;
    std::filesystem::path PictureFolder() const;

private:
    // Checks everything a build needs before anything is written; `page` is
    // the template's page source, relative to its folder `templateDir`, which
    // is set.
    bool Prepare(const WebPageSettings& settings, BuildReport& report, PublishList& list,
                 const std::filesystem::path& page, std::filesystem::path& templateDir);
    bool MakeFolder(const std::filesystem::path& folder, BuildReport& report);
    int CopyBasicPictures(const std::filesystem::path& templateDir, const std::filesystem::path& to);

    std::filesystem::path m_base;
    const project_editor::ProjectFile& m_project;
    PictureWork& m_pictures;
};

}  // namespace web_publish
