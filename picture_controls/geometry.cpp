#include "picture_controls/geometry.h"

namespace picture_controls {

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

Rect FitItemBox(int x, int y, int w, int h, int nw, int nh) {
    if (nw <= 0 || nh <= 0) return {};
    return FittedBox(nw, nh, x, y, w, h);
}

double CoverScale(int bw, int bh, int pw, int ph) {
    if (pw <= 0 || ph <= 0) return 0.0;
    return std::max(static_cast<double>(bw) / pw, static_cast<double>(bh) / ph);
}

double ContainScale(int bw, int bh, int pw, int ph) {
    if (pw <= 0 || ph <= 0) return 0.0;
    return std::min(static_cast<double>(bw) / pw, static_cast<double>(bh) / ph);
}

Rect ScaledAt(int x, int y, int pw, int ph, double scale) {
    return Rect::FromSize(x, y, static_cast<int>(pw * scale), static_cast<int>(ph * scale));
}

}  // namespace picture_controls
