#include "fitting_room/geometry.h"

namespace fitting_room {

Rect FitItemBox(int x, int y, int w, int h, int nw, int nh) {
    if (nw <= 0 || nh <= 0) return {};
    if (nh < nw) {
        h = static_cast<int>(static_cast<double>(w) / nw * nh);
        y += (w - h) / 2;
    } else if (nw < nh) {
        w = static_cast<int>(nw * (static_cast<double>(h) / nh));
        x += (h - w) / 2;
    }
    return Rect::FromSize(x, y, w, h);
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

}  // namespace fitting_room
