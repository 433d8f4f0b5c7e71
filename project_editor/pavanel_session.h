#pragma once
// Pavanel's start-up and close, without a window: the frame's settings load,
// the view's opening of the series project, and the save of a modified
// project when the frame closes.
//
// Window thread only; works on the process-wide store and settings.
#include <filesystem>
#include <string>

#include "project_editor/project_store.h"
#include "project_editor/sys_set_info.h"

namespace project_editor {

inline constexpr std::string_view kPavanelTitle = "Lumora<网页搭配试衣间>制作软件 [ 2.33 ]";

// "%s < 当前项目:%s >".
std::string ProjectFrameTitle(const std::string& project);

// The frame's creation: the settings take the base directory and are loaded
// (a missing file is written with the defaults).
CSysSetInfo::LoadResult LoadSettings(CSysSetInfo& settings, const std::filesystem::path& base);

struct OpenOutcome {
    bool opened = false;
    std::string name;
    std::string error;  // for the user when nothing was opened
};

// The view's initial update: the store takes the base directory, the
// header's state letter becomes ' ' and its picture folder
// "<base>/图片目录PNG"; then the series project is opened and, when it opens,
// becomes the current project (so its saves are written).
OpenOutcome OpenSeriesProject(CProjectStore& store, const CSysSetInfo& settings, const std::filesystem::path& base);

enum class CloseOutcome { NothingToSave, Saved, SaveFailed };

// The frame closes: a modified project is written. On SaveFailed `error`
// says why and the caller asks whether to close anyway.
CloseOutcome SaveOnClose(CProjectStore& store, std::string* error);

}  // namespace project_editor
