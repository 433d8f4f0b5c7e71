// The main frame's command table: starting the sibling programs, binding the
// modules, opening pages and documents, the about box.
#include <cstdio>
#include <wx/config.h>
#include <wx/filedlg.h>
#include <wx/printdlg.h>

#include "platform/shell.h"
#include "platform/ui/message_box.h"
#include "shell/about_dlg.h"
#include "shell/base_directory.h"
#include "shell/data_package.h"
#include "shell/deferred_request.h"
#include "shell/download_host.h"
#include "shell/download_record.h"
#include "shell/frame_resources.h"
#include "shell/guide_dlg.h"
#include "shell/library_binding.h"
#include "shell/main_frame.h"
#include "shell/pack_chooser_hook.h"
#include "shell/web_links.h"

void CMainFrame::StartSibling(const char* name) {
    std::string error;
    if (!platform::StartSiblingProgram(name, &error)) {
        platform::ui::ShowMessage(std::string(name) + " 无法启动 !", platform::MbButtons::Ok,
                                  platform::MbIcon::Exclamation, {}, this);
    }
}

void CMainFrame::OpenTarget(const std::string& target) {
    std::string error;
    if (!platform::OpenWithDesktop(target, &error)) {
        platform::ui::ShowMessage("无法打开 " + target + " !", platform::MbButtons::Ok, platform::MbIcon::Exclamation,
                                  {}, this);
    }
}

namespace {

shell::PackChooser& PackChooserHook() {
    static shell::PackChooser hook;
    return hook;
}

// "构建网上供客户下载的文件": the chooser packs the project the user picks;
// the package's path or the packer's error text is shown afterwards.
void BuildDownloadFiles(wxWindow* frame) {
    const auto& chooser = PackChooserHook();
    if (!chooser) return;
    const auto report = chooser(frame);
    if (report) platform::ui::MessageSinkFor(frame)(*report);
}

}  // namespace

void shell::SetPackChooser(PackChooser chooser) { PackChooserHook() = std::move(chooser); }
bool shell::HasPackChooser() { return static_cast<bool>(PackChooserHook()); }

void CMainFrame::OnDownloadProjects() {
    const auto sink = platform::ui::MessageSinkFor(this);
    auto& record = shell::DLoadRec();
    const std::string url = shell::ListPageUrl(shell::DownloadHost(), shell::kProjectListPage);
    if (record.WriteRequest(shell::kKindProjectList, url, shell::kProjectListTitle) != 1) {
        sink({"无法写入下载请求: " + record.path().string(), {}, platform::MbButtons::Ok, platform::MbIcon::Exclamation});
        return;
    }
    shell::RunDownloadLibrary(platform::ExecutableDir(), sink);
    std::string fileName;
    if (!record.ReadResult(&fileName)) return;
    auto& package = shell::DataPackage();
    if (package.Unpack(fileName, sink) == 0) sink({package.GetLastErrorText(), {}, platform::MbButtons::Ok, {}});
}

void CMainFrame::RunCommand(int id) {
    const auto sink = platform::ui::MessageSinkFor(this);
    const auto modules = platform::ExecutableDir();
    switch (id) {
        case ID_UPLOAD: StartSibling("Tranzel"); break;
        case ID_PROJECT_MAKER: StartSibling("Pavanel"); break;
        case ID_VIDEO_DRESSING: OpenTarget(shell::kVideoDressingUrl); break;
        case ID_VIDEO_WEB_ROOM: OpenTarget(shell::kVideoWebRoomUrl); break;
        case ID_VIDEO_PHOTOSHOP: OpenTarget(shell::kVideoPhotoshopUrl); break;
        case ID_WEB_SITE: OpenTarget(shell::kWebSiteUrl); break;
        case ID_FORUM: OpenTarget(shell::kForumUrl); break;
        case ID_WEB_SHOP: OpenTarget(shell::kShopUrl); break;
        case ID_CONSULT: {
            char url[256];
            std::snprintf(url, sizeof url, shell::kContactUrlFormat, shell::kContactNumber);
            OpenTarget(url);
            break;
        }
        case ID_DOWNLOAD_PROJECTS: OnDownloadProjects(); break;
        case ID_BUILD_DOWNLOAD_FILES: BuildDownloadFiles(this); break;
        case ID_CAMERA: shell::BindClientModule(shell::ClientModule::Camera, modules, sink); break;
        case ID_IMAGE_EDIT: shell::BindClientModule(shell::ClientModule::ImageEditor, modules, sink); break;
        case ID_MANUAL_DOC: OpenTarget(shell::kManualDocument); break;
        case ID_GUIDE: {
            {
                CDlgGuide dlg(this, shell::BaseDirectory());
                dlg.ShowModal();
            }
            // The fitting room, when it is the current window, refreshes after the guide.
            auto& deferred = shell::Deferred();
            if (deferred.current == 'B') deferred.Store(shell::kRequestRefreshDressRoom);
            break;
        }
        case ID_APP_ABOUT_CMD: {
            CAboutDlg dlg(this);
            dlg.ShowModal();
            break;
        }
        case ID_APP_EXIT_CMD: Close(); break;
        // The frame's own menu: the class library's standard commands.
        case shell::ID_FILE_NEW:
            if (onFileNew) onFileNew();
            break;
        case shell::ID_FILE_OPEN: {
            // A document holds nothing: opening a file shows the show stage,
            // through the deferred request, so that one show stage exists.
            wxFileDialog dlg(this, wxString::FromUTF8("打开"), wxEmptyString, wxEmptyString, "*.*",
                             wxFD_OPEN | wxFD_FILE_MUST_EXIST);
            if (dlg.ShowModal() == wxID_OK) shell::Deferred().Store(shell::kRequestShowStage);
            break;
        }
        case shell::ID_FILE_PRINT_SETUP: {
            wxPageSetupDialog dlg(this);
            dlg.ShowModal();
            break;
        }
        case shell::ID_VIEW_STATUS_BAR:
            if (m_statusBar) {
                m_statusBar->Show(!m_statusBar->IsShown());
                SendSizeEvent();
            }
            break;
        case ID_CLOSE_CHILD:
            if (m_client->ActiveChild()) m_client->CloseChild(m_client->ActiveChild());
            break;
        default: break;
    }
}
