#include "project_editor/stage_geometry.h"

namespace project_editor {

void FitRect(int pw, int ph, int& x, int& y, int& w, int& h) {
    if (pw <= 0 || ph <= 0) return;
    if (ph < pw) {
        h = static_cast<int>(static_cast<double>(w) / pw * ph);
        y += (w - h) / 2;
    } else if (pw < ph) {
        w = static_cast<int>(pw * (static_cast<double>(h) / ph));
        x += (h - w) / 2;
    }
}

Rect FittedBox(int pw, int ph, int x, int y, int w, int h) {
    FitRect(pw, ph, x, y, w, h);
    return Rect::FromSize(x, y, w, h);
}

}  // namespace project_editor
