// The time from Return in a save dialog's name field to the dialog's answer,
// the moment the transfer program starts its download: the toolkit's own
// file chooser against the same chooser with platform::ui::AnswerAtOnce, as
// the download of the transfer program opens it. The two take turns in every
// round; medians of the rounds. Keys go in through the X server, as a user's
// do. Needs a display: xvfb-run -a build/bin/bench_save_dialog [rounds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/time.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <unistd.h>

#include "platform/ui/file_dialog.h"

namespace fs = std::filesystem;

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Milliseconds from Return to the answer, or -1 when the dialog did not accept.
double OneAnswer(wxWindow* parent, const fs::path& target, bool atOnce) {
    wxFileDialog dlg(parent, wxFileSelectorPromptStr, "", "p.rar", wxFileSelectorDefaultWildcardStr,
                     wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (atOnce) platform::ui::AnswerAtOnce(dlg);
    // One step per tick: the pointer into the chooser (over the middle of the
    // screen: without a window manager the keys go where the pointer is), the
    // name, then Return; Escapes later end a chooser that never answers.
    int step = 0;
    wxLongLong returned = 0;
    wxTimer keys;
    keys.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        wxUIActionSimulator sim;
        switch (step++) {
            case 0: sim.MouseMove(800, 500); break;
            case 2:
                sim.KeyDown('A', wxMOD_CONTROL);
                sim.KeyUp('A', wxMOD_CONTROL);
                sim.Text(target.string().c_str());
                break;
            case 4:
                returned = wxGetLocalTimeMillis();
                sim.Char(WXK_RETURN);
                break;
            default:
                if (step > 40) sim.Char(WXK_ESCAPE);
        }
    });
    keys.Start(250);
    const int rc = dlg.ShowModal();
    const wxLongLong answered = wxGetLocalTimeMillis();
    keys.Stop();
    if (rc != wxID_OK || returned == 0) return -1;
    return static_cast<double>((answered - returned).GetValue());
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = std::max(1, argc > 1 ? std::atoi(argv[1]) : 7);
    wxApp::SetInstance(new wxApp());
    int wxArgc = 1;  // the rounds are ours, not the toolkit's
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "cannot start wx (run it under xvfb-run)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxLog::SetActiveTarget(new wxLogStderr);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    const fs::path dir = fs::temp_directory_path() / ("bench-save-dialog-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    int rc = 0;
    {
        wxEventLoop loop;
        wxEventLoopActivator activate(&loop);
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(0, 0), wxSize(1600, 1000));
        frame->Show();
        std::vector<double> plain, atOnce;
        for (int round = 0; round < rounds && rc == 0; ++round) {
            for (const bool quick : {false, true}) {
                const fs::path target = dir / ("r" + std::to_string(round) + (quick ? "q" : "p") + ".rar");
                const double ms = OneAnswer(frame, target, quick);
                if (ms < 0) {
                    std::fprintf(stderr, "the save dialog did not accept the name\n");
                    rc = 1;
                    break;
                }
                (quick ? atOnce : plain).push_back(ms);
            }
        }
        if (rc == 0) {
            std::printf("Return to the save dialog's answer, medians of %d interleaved rounds:\n", rounds);
            std::printf("toolkit's chooser %.0f ms, with AnswerAtOnce %.0f ms, ratio %.2f\n", Median(plain),
                        Median(atOnce), Median(atOnce) / std::max(Median(plain), 1.0));
        }
        frame->Destroy();
    }
    fs::remove_all(dir);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return rc;
}
