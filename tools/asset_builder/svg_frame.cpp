#include "tools/asset_builder/svg_frame.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace asset_builder {
namespace {

struct Span {
    std::size_t begin = std::string::npos, end = std::string::npos;
    bool Found() const { return begin != std::string::npos; }
};

// The start tag of the root element: "<svg" followed by whitespace or '>'.
Span RootTag(const std::string& svg) {
    std::size_t pos = 0;
    while ((pos = svg.find("<svg", pos)) != std::string::npos) {
        const std::size_t after = pos + 4;
        if (after < svg.size() && (std::isspace(static_cast<unsigned char>(svg[after])) || svg[after] == '>')) {
            const std::size_t close = svg.find('>', after);
            if (close == std::string::npos) return {};
            return {pos, close};
        }
        pos = after;
    }
    return {};
}

// The attribute `name="..."` (or single quotes) inside [tag.begin, tag.end),
// from the first character of its name to one past its closing quote; `value`
// receives the text between the quotes.
Span Attribute(const std::string& svg, const Span& tag, const std::string& name, std::string* value) {
    std::size_t pos = tag.begin;
    while ((pos = svg.find(name, pos)) != std::string::npos && pos < tag.end) {
        const bool boundary = std::isspace(static_cast<unsigned char>(svg[pos - 1]));
        std::size_t p = pos + name.size();
        while (p < tag.end && std::isspace(static_cast<unsigned char>(svg[p]))) ++p;
        if (boundary && p < tag.end && svg[p] == '=') {
            ++p;
            while (p < tag.end && std::isspace(static_cast<unsigned char>(svg[p]))) ++p;
            if (p < tag.end && (svg[p] == '"' || svg[p] == '\'')) {
                const std::size_t close = svg.find(svg[p], p + 1);
                if (close == std::string::npos || close > tag.end) return {};
                if (value) *value = svg.substr(p + 1, close - p - 1);
                return {pos, close + 1};
            }
        }
        pos += name.size();
    }
    return {};
}

std::string Number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

}  // namespace

std::optional<ViewBox> FindViewBox(const std::string& svg) {
    const Span tag = RootTag(svg);
    if (!tag.Found()) return std::nullopt;
    std::string value;
    if (!Attribute(svg, tag, "viewBox", &value).Found()) return std::nullopt;
    std::replace(value.begin(), value.end(), ',', ' ');
    std::istringstream in(value);
    ViewBox box;
    if (!(in >> box.x >> box.y >> box.w >> box.h)) return std::nullopt;
    std::string rest;
    if (in >> rest) return std::nullopt;
    if (!(box.w > 0) || !(box.h > 0) || !std::isfinite(box.w + box.h + box.x + box.y)) return std::nullopt;
    return box;
}

std::string WithViewBox(const std::string& svg, const ViewBox& box) {
    if (!RootTag(svg).Found()) throw std::invalid_argument("no <svg> element");
    std::string out = svg;
    for (const char* name : {"width", "height", "viewBox"}) {
        const Span tag = RootTag(out);
        const Span attr = Attribute(out, tag, name, nullptr);
        if (attr.Found()) out.erase(attr.begin, attr.end - attr.begin);
    }
    const Span tag = RootTag(out);
    const std::string attr =
        " viewBox=\"" + Number(box.x) + " " + Number(box.y) + " " + Number(box.w) + " " + Number(box.h) + "\"";
    out.insert(tag.begin + 4, attr);
    return out;
}

ViewBox FitAspect(const ViewBox& box, int width, int height) {
    ViewBox r = box;
    const double want = static_cast<double>(width) / height;
    if (box.w / box.h < want) {
        r.w = box.h * want;
        r.x = box.x - (r.w - box.w) / 2;
    } else {
        r.h = box.w / want;
        r.y = box.y - (r.h - box.h) / 2;
    }
    return r;
}

TrimPlan PlanTrim(const ViewBox& whole, double probeScale, const PixelBox& painted, int maxWidth,
                  int maxHeight, int pad) {
    if (painted.Empty()) throw std::invalid_argument("nothing is painted");
    if (maxWidth <= 2 * pad || maxHeight <= 2 * pad) throw std::invalid_argument("box too small for margin");
    // One probe pixel of slack on each side: a partly covered edge pixel.
    const double bx = whole.x + (painted.left - 1) / probeScale;
    const double by = whole.y + (painted.top - 1) / probeScale;
    const double bw = (painted.right - painted.left + 2) / probeScale;
    const double bh = (painted.bottom - painted.top + 2) / probeScale;
    const double scale = std::min((maxWidth - 2 * pad) / bw, (maxHeight - 2 * pad) / bh);
    TrimPlan plan;
    plan.width = std::min(maxWidth, static_cast<int>(std::ceil(bw * scale)) + 2 * pad);
    plan.height = std::min(maxHeight, static_cast<int>(std::ceil(bh * scale)) + 2 * pad);
    // Centre the content in the whole pixels of the output.
    const double fw = plan.width / scale, fh = plan.height / scale;
    plan.frame = {bx - (fw - bw) / 2, by - (fh - bh) / 2, fw, fh};
    return plan;
}

GridTrimPlan PlanTrimOnGrid(const ViewBox& whole, double probeScale, const PixelBox& painted, double scale,
                            int pad) {
    if (painted.Empty()) throw std::invalid_argument("nothing is painted");
    if (!(scale > 0) || !std::isfinite(scale)) throw std::invalid_argument("bad scale");
    // The painted area in units, with one probe pixel of slack on each side,
    // then out to whole pixels of the target grid and the margin.
    const double ux0 = (painted.left - 1) / probeScale, uy0 = (painted.top - 1) / probeScale;
    const double ux1 = (painted.right + 1) / probeScale, uy1 = (painted.bottom + 1) / probeScale;
    GridTrimPlan plan;
    plan.left = static_cast<int>(std::floor(ux0 * scale)) - pad;
    plan.top = static_cast<int>(std::floor(uy0 * scale)) - pad;
    const int right = static_cast<int>(std::ceil(ux1 * scale)) + pad;
    const int bottom = static_cast<int>(std::ceil(uy1 * scale)) + pad;
    plan.trim.width = right - plan.left;
    plan.trim.height = bottom - plan.top;
    if (plan.trim.width > 8192 || plan.trim.height > 8192) throw std::invalid_argument("picture too large");
    plan.trim.frame = {whole.x + plan.left / scale, whole.y + plan.top / scale, plan.trim.width / scale,
                       plan.trim.height / scale};
    return plan;
}

}  // namespace asset_builder
