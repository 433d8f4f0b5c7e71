#include "project_editor/pavanel_session.h"

namespace fs = std::filesystem;

namespace project_editor {

std::string ProjectFrameTitle(const std::string& project) {
    return std::string(kPavanelTitle) + " < 当前项目:" + project + " >";
}

CSysSetInfo::LoadResult LoadSettings(CSysSetInfo& settings, const fs::path& base) {
    settings.SetBaseDir(base);
    return settings.Load();
}

OpenOutcome OpenSeriesProject(CProjectStore& store, const CSysSetInfo& settings, const fs::path& base) {
    store.SetBaseDir(base);
    store.Header().SetStateLetter(' ');
    store.Header().SetPictureFolder((base / fs::path(std::string(kDefaultPictureFolderName))).string());
    OpenOutcome out;
    out.name = settings.GetSeriesName();
    if (!IsUsableProjectName(out.name)) {
        out.error = "设置中的当前项目名无效 !";
        return out;
    }
    std::string error;
    if (!store.Open(out.name, &error)) {
        out.error = error.empty() ? "项目 " + out.name + " 打不开 !" : error;
        return out;
    }
    store.SetProjectName(out.name);
    out.opened = true;
    return out;
}

CloseOutcome SaveOnClose(CProjectStore& store, std::string* error) {
    if (!store.IsModified()) return CloseOutcome::NothingToSave;
    std::string why;
    switch (store.Save(&why)) {
        case SaveResult::Saved: return CloseOutcome::Saved;
        case SaveResult::NoProject:
            if (error) *error = "没有打开的项目, 修改无法保存 !";
            return CloseOutcome::SaveFailed;
        case SaveResult::Failed:
        default:
            if (error) *error = why.empty() ? "项目文件保存失败 !" : why;
            return CloseOutcome::SaveFailed;
    }
}

}  // namespace project_editor
