// Grid painting benchmark: a 200-row, 10-column grid is painted off screen
// after each one-line scroll from top to bottom. The reference paints the
// same area with one fill and the same texts at the same places, so the
// ratio shows what the grid adds to the toolkit's own drawing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "controls/grid_ctrl.h"

namespace {

constexpr int kRows = 200;
constexpr int kColumns = 10;

class BenchGrid : public CZYKGridCtrl {
public:
    BenchGrid() {
        InsertColumn(30, "复核", 5, 0x8025, grid::kDfcButton, grid::kDfcsFlat, 0);
        for (int c = 1; c < kColumns; ++c) InsertColumn(c == 1 ? 140 : 70, "列 " + std::to_string(c), 5, 0x8025, 0, 0, 0);
        SetColumnColor(1, 0xFF0000);
        SetDefaultCellMetrics(999, 36);
    }
    GridCellFormat GetCellFormat(int column, int row) const override {
        GridCellFormat f = CZYKGridCtrl::GetCellFormat(column, row);
        if (column == 0 && row % 3 == 0) f.glyphState |= grid::kDfcsChecked;
        return f;
    }
    GridCellText GetCellText(int column, int row) const override {
        if (column == 0) return {"", row % 3 == 0 ? 1 : 0};
        if (column == 1) return {"服饰名称 " + std::to_string(row + 1), -1};
        return {std::to_string((row + 1) * column * 7), -1};
    }
};

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wx (is DISPLAY set?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    {
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(0, 0), wxSize(840, 520));
        auto* grid = new BenchGrid;
        grid->Create(0, 0x00300004, wxRect(0, 0, 820, 500), frame, 1005);  // not shown: off screen
        grid->SetRowCount(kRows, 0);
        grid->RecalcLayout();
        const wxSize client = grid->GetClientSize();
        wxBitmap bitmap(client);
        wxMemoryDC dc(bitmap);
        const wxRect all(client);

        // Warm up fonts and caches.
        for (int i = 0; i < 5; ++i) grid->Draw(dc, all);

        std::vector<double> gridTimes;
        std::vector<double> referenceTimes;
        const unsigned lineDown = (CGridCoreBase::kLineDown << 8) | 0xFF;
        for (int pass = 0; pass < 3; ++pass) {
            grid->OnScroll((CGridCoreBase::kTop << 8) | 0xFF, 0, true);
            do {
                const auto t0 = Clock::now();
                grid->Draw(dc, all);
                const auto t1 = Clock::now();
                gridTimes.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());

                // Reference: one fill and the visible texts at their places.
                const auto r0 = Clock::now();
                dc.SetBrush(*wxWHITE_BRUSH);
                dc.SetPen(*wxTRANSPARENT_PEN);
                dc.DrawRectangle(all);
                dc.SetFont(grid->GetCellFont());
                for (int row = 0; row < kRows; ++row) {
                    const grid::Rect rr = grid->CellRect(0, row);
                    if (rr.bottom < 0 || rr.top > client.y) continue;
                    for (int column = 1; column < kColumns; ++column) {
                        const grid::Rect cell = grid->CellRect(column, row);
                        if (cell.left > client.x) break;
                        dc.DrawText(wxString::FromUTF8(grid->GetCellText(column, row).text), cell.left + 2, cell.top + 2);
                    }
                }
                const auto r1 = Clock::now();
                referenceTimes.push_back(std::chrono::duration<double, std::milli>(r1 - r0).count());
            } while (grid->OnScroll(lineDown, 0, true));
        }
        dc.SelectObject(wxNullBitmap);
        const double g = Median(gridTimes);
        const double r = Median(referenceTimes);
        std::printf("grid paint (%d x %d, %zu paints): median %.3f ms\n", client.x, client.y, gridTimes.size(), g);
        std::printf("reference fill+text of the same area: median %.3f ms\n", r);
        std::printf("ratio grid / reference: %.2f\n", r > 0 ? g / r : 0.0);
        frame->Destroy();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
