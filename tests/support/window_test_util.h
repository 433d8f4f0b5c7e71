#pragma once
// Helpers for tests that open real windows under Xvfb.
#include <string>

class wxWindow;

namespace testsupport {

// Runs the event loop for about `ms` milliseconds (paints, sizes, calls after).
void PumpEvents(int ms = 100);

// Saves what the X server shows of the window's screen rectangle as PNG
// (the window must be shown and uncovered). Folders are created. Returns
// false when nothing could be grabbed.
bool SaveWindowScreenshot(wxWindow* window, const std::string& png_path);

}  // namespace testsupport
