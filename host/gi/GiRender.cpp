// Painting collected primitives with cairo: PNG, SVG and pixels in memory.
#include <cairo-svg.h>
#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "host/db/AcGiText.h"
#include "host/gi/GiPicture.h"
#include "host/win/OutputFile.h"

namespace vkgi {

namespace {

std::vector<std::string> splitLines(const CString& text)
{
    std::vector<std::string> lines(1);
    for (char c : text.ToUtf8()) {
        if (c == '\n') lines.emplace_back();
        else lines.back() += c;
    }
    return lines;
}

void selectFont(cairo_t* cr)
{
    cairo_select_font_face(cr, TextFontFamily().c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
}

// The height of the font's capital letters for a font size of 1: texts are sized so that a
// capital is as tall as the text's height.
double capHeightOf(cairo_t* cr)
{
    cairo_save(cr);
    cairo_set_font_size(cr, 100);
    cairo_text_extents_t e;
    cairo_text_extents(cr, "H", &e);
    cairo_restore(cr);
    const double cap = -e.y_bearing / 100;
    return cap > 0.2 && cap < 1.5 ? cap : 0.73;
}

// Where each line of a text starts its baseline, in world coordinates, from the widths the
// font gives it (the font selected in cr).
struct PlacedLine {
    std::string text;
    AcGePoint3d origin;
    double width = 0;  // world
};
std::vector<PlacedLine> placeText(cairo_t* cr, const Primitive& p, double capHeight)
{
    std::vector<PlacedLine> out;
    const std::vector<std::string> lines = splitLines(p.text);
    const AcGeVector3d d = p.direction, up{-d.y, d.x, 0};
    cairo_save(cr);
    // Widths as the font designs them: hinted metrics would round each letter's advance to a
    // whole unit, here a capital's height.
    cairo_font_options_t* exact = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(exact, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, exact);
    cairo_font_options_destroy(exact);
    cairo_set_font_size(cr, 1.0 / capHeight);  // a capital is one unit tall
    for (size_t i = 0; i < lines.size(); ++i) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, lines[i].c_str(), &e);
        double dx = 0, dy = 0;
        AcGiText::lineOrigin(static_cast<int>(i), static_cast<int>(lines.size()), e.x_advance, p.hMode, p.vMode,
                             p.lineSpacing, dx, dy);
        out.push_back({lines[i], p.points[0] + d * (dx * p.height) + up * (dy * p.height), e.x_advance * p.height});
    }
    cairo_restore(cr);
    return out;
}

// Where a primitive reaches, in world coordinates (texts measured with the picture's font).
struct Bounds {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void add(double x, double y)
    {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    bool empty() const { return minX > maxX; }
};

Bounds boundsOf(const std::vector<Primitive>& prims)
{
    Bounds b;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    selectFont(cr);
    const double cap = capHeightOf(cr);
    for (const Primitive& p : prims) {
        if (p.kind != Primitive::kText) {
            for (const AcGePoint3d& pt : p.points) b.add(pt.x, pt.y);
            continue;
        }
        if (p.points.empty()) continue;
        const AcGeVector3d d = p.direction, up{-d.y, d.x, 0};
        for (const PlacedLine& line : placeText(cr, p, cap))
            for (double x : {0.0, line.width})
                for (double y : {-AcGiText::kDescent * p.height, p.height}) {
                    const AcGePoint3d c = line.origin + d * x + up * y;
                    b.add(c.x, c.y);
                }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return b;
}

// A linetype's dashes in pixels; solid when its pattern would be finer than a few pixels.
void setDashes(cairo_t* cr, const Primitive& p, double scale)
{
    double dashes[64];
    int n = 0;
    double period = 0;
    if (p.dashes)
        for (double d : *p.dashes) {
            if (n == 64) break;
            dashes[n++] = std::abs(d) * p.dashScale * scale;
            period += dashes[n - 1];
        }
    // cairo's pattern begins with a dash: a pattern that begins with a gap starts one in.
    double offset = 0;
    if (n > 0 && p.dashes->front() < 0) offset = period - dashes[0], std::rotate(dashes, dashes + 1, dashes + n);
    if (n == 0 || !(period >= 3) || !std::isfinite(period)) cairo_set_dash(cr, nullptr, 0, 0);
    else cairo_set_dash(cr, dashes, n, offset);
}

// A part of the picture, in pixels from its top left corner.
struct Area {
    double left = 0, top = 0, width = 0, height = 0;
};

// World to picture: uniform scale, the window centred in its area, y growing downwards.
struct Mapping {
    double scale = 1, cx = 0, cy = 0, ox = 0, oy = 0, w = 0, h = 0;
    double x(double wx) const { return ox + w / 2 + (wx - cx) * scale; }
    double y(double wy) const { return oy + h / 2 - (wy - cy) * scale; }
};

Mapping mappingInto(const Bounds& world, const Area& a, double margin)
{
    Mapping m;
    m.ox = a.left, m.oy = a.top, m.w = a.width, m.h = a.height;
    const double dx = std::max(world.maxX - world.minX, 1e-9), dy = std::max(world.maxY - world.minY, 1e-9);
    m.scale = std::min(a.width * (1 - 2 * margin) / dx, a.height * (1 - 2 * margin) / dy);
    m.cx = (world.minX + world.maxX) / 2, m.cy = (world.minY + world.maxY) / 2;
    return m;
}

Mapping mappingFor(const std::vector<Primitive>& prims, const View& v, const Area& area)
{
    if (!v.fit) return mappingInto({std::min(v.x1, v.x2), std::min(v.y1, v.y2), std::max(v.x1, v.x2), std::max(v.y1, v.y2)}, area, 0);
    Bounds b = boundsOf(prims);
    if (b.empty()) b = {-0.5, -0.5, 0.5, 0.5};
    return mappingInto(b, area, v.margin);
}

// A path's width in pixels: a band its world width, a line its weight at the screen's 96 pixels
// an inch (weights off: every line one pixel); the thinnest are one pixel.
double strokeWidth(const Primitive& p, double scale, bool lineWeights)
{
    if (p.width > 0) return std::max(1.0, p.width * scale);
    return lineWeights ? std::max(1.0, p.lineWeight * 96 / 2540.0) : 1.0;
}

// A hair line: a solid path that draws one pixel wide at this scale.
bool isHairLine(const Primitive& p, double scale, bool lineWeights)
{
    return p.kind == Primitive::kPath && p.points.size() > 1 && !p.dashes && strokeWidth(p, scale, lineWeights) <= 1;
}

// skipHairLines: leave hair lines to drawHairLines (a dense plan).
void paintPrimitives(cairo_t* cr, const std::vector<Primitive>& prims, const Mapping& m, bool lineWeights = true,
                     bool skipHairLines = false)
{
    selectFont(cr);
    const double cap = capHeightOf(cr);
    for (const Primitive& p : prims) {
        if (p.points.empty()) continue;
        double r, g, b;
        ColorOf(p.color, r, g, b);
        cairo_set_source_rgb(cr, r, g, b);
        if (p.kind == Primitive::kText) {
            const double size = p.height * m.scale / cap;
            if (size < 0.5 || p.text.IsEmpty()) continue;  // too small to read
            for (const PlacedLine& line : placeText(cr, p, cap)) {
                cairo_save(cr);
                cairo_translate(cr, m.x(line.origin.x), m.y(line.origin.y));
                cairo_rotate(cr, -std::atan2(p.direction.y, p.direction.x));
                cairo_set_font_size(cr, size);
                cairo_move_to(cr, 0, 0);
                cairo_show_text(cr, line.text.c_str());
                cairo_restore(cr);
            }
            continue;
        }
        if (p.kind == Primitive::kFill) {
            size_t at = 0;
            for (int n : p.loops) {
                for (int i = 0; i < n && at < p.points.size(); ++i, ++at) {
                    if (i == 0) cairo_move_to(cr, m.x(p.points[at].x), m.y(p.points[at].y));
                    else cairo_line_to(cr, m.x(p.points[at].x), m.y(p.points[at].y));
                }
                cairo_close_path(cr);
            }
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_fill(cr);
            continue;
        }
        if (skipHairLines && isHairLine(p, m.scale, lineWeights)) continue;
        if (p.points.size() == 1) {  // a point: a dot
            cairo_rectangle(cr, m.x(p.points[0].x) - 1, m.y(p.points[0].y) - 1, 2, 2);
            cairo_fill(cr);
            continue;
        }
        cairo_set_line_width(cr, strokeWidth(p, m.scale, lineWeights));
        // A polyline with a width is a band with square ends and mitred corners, as in CAD;
        // hair lines get round ends so that short pieces stay visible.
        const bool band = p.width > 0;
        cairo_set_line_cap(cr, band ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, band ? CAIRO_LINE_JOIN_MITER : CAIRO_LINE_JOIN_ROUND);
        setDashes(cr, p, m.scale);
        // A band that returns to its start closes there with a corner, not two ends.
        const bool ring = band && p.points.size() > 2 && p.points.back().isEqualTo(p.points.front());
        const size_t n = ring ? p.points.size() - 1 : p.points.size();
        for (size_t i = 0; i < n; ++i) {
            if (i == 0) cairo_move_to(cr, m.x(p.points[i].x), m.y(p.points[i].y));
            else cairo_line_to(cr, m.x(p.points[i].x), m.y(p.points[i].y));
        }
        if (ring) cairo_close_path(cr);
        cairo_stroke(cr);
    }
    cairo_set_dash(cr, nullptr, 0, 0);
}

// The overlay's title band and legend column, in pixels, and what they leave for the plan.
struct Layout {
    Area plan;
    double pad = 0, titleSize = 0, textSize = 0, swatch = 0, row = 0;
    Area legend;  // width 0: no legend
};

double textWidth(cairo_t* cr, const CString& text, double size)
{
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.ToUtf8().c_str(), &e);
    return e.x_advance;
}

bool hasLegend(const Overlay* o)
{
    return o && std::any_of(o->legend.begin(), o->legend.end(), [](const LegendGroup& g) { return !g.items.empty(); });
}

Layout layoutFor(cairo_t* cr, const View& v, const Overlay* o)
{
    Layout l;
    l.plan = {0, 0, double(v.width), double(v.height)};
    const double side = std::min(v.width, v.height);
    l.pad = std::max(6.0, side * 0.015);
    l.titleSize = std::clamp(side * 0.035, 12.0, 44.0);
    l.textSize = std::clamp(side * 0.018, 9.0, 22.0);
    l.swatch = l.textSize * 2;
    l.row = l.swatch + l.textSize * 0.5;
    if (!o) return l;
    selectFont(cr);
    if (!o->title.IsEmpty()) {
        const double band = l.titleSize + 2 * l.pad;
        l.plan.top += band, l.plan.height -= band;
    }
    if (hasLegend(o)) {
        double widest = 0, rows = 0;
        for (const LegendGroup& g : o->legend) {
            if (g.items.empty()) continue;
            cairo_select_font_face(cr, TextFontFamily().c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
            widest = std::max(widest, textWidth(cr, g.heading, l.textSize) - l.swatch - l.textSize * 0.6);
            selectFont(cr);
            for (const LegendItem& item : g.items) widest = std::max(widest, textWidth(cr, item.label, l.textSize));
            rows += 1.2 + double(g.items.size());
        }
        const double width = std::min(l.pad * 2 + l.swatch + l.textSize * 0.6 + widest, v.width * 0.4);
        l.legend = {v.width - width - l.pad, l.plan.top + l.pad, width, l.pad * 2 + rows * l.row};
        l.plan.width -= width + l.pad;
    }
    return l;
}

void setColor(cairo_t* cr, int aci, double alpha)
{
    double r, g, b;
    ColorOf(aci, r, g, b);
    cairo_set_source_rgba(cr, r, g, b, alpha);
}

constexpr double kTintAlpha = 0.28;

void paintTints(cairo_t* cr, const Overlay* o, const Mapping& m)
{
    if (!o) return;
    for (const Tint& t : o->tints) {
        if (t.outline.size() < 3) continue;
        for (size_t i = 0; i < t.outline.size(); ++i) {
            if (i == 0) cairo_move_to(cr, m.x(t.outline[i].x), m.y(t.outline[i].y));
            else cairo_line_to(cr, m.x(t.outline[i].x), m.y(t.outline[i].y));
        }
        cairo_close_path(cr);
        setColor(cr, t.color, kTintAlpha);
        cairo_fill(cr);
    }
}

void paintOverlay(cairo_t* cr, const Layout& l, const View& v, const Overlay* o)
{
    if (!o) return;
    if (!o->title.IsEmpty()) {
        cairo_select_font_face(cr, TextFontFamily().c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        const double w = textWidth(cr, o->title, l.titleSize);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_move_to(cr, std::max(l.pad, (v.width - w) / 2), l.pad + l.titleSize * 0.85);
        cairo_show_text(cr, o->title.ToUtf8().c_str());
    }
    if (l.legend.width <= 0) return;
    const Area& a = l.legend;
    cairo_rectangle(cr, a.left + 0.5, a.top + 0.5, a.width, a.height);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    double y = a.top + l.pad;
    const double x = a.left + l.pad;
    for (const LegendGroup& g : o->legend) {
        if (g.items.empty()) continue;
        cairo_select_font_face(cr, TextFontFamily().c_str(), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, l.textSize);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_move_to(cr, x, y + l.row * 0.75);
        cairo_show_text(cr, g.heading.ToUtf8().c_str());
        y += l.row * 1.2;
        for (const LegendItem& item : g.items) {
            const Area box{x, y, l.swatch, l.swatch};
            if (item.symbol.empty()) {
                cairo_rectangle(cr, box.left + 1, box.top + 1, box.width - 2, box.height - 2);
                setColor(cr, item.color, kTintAlpha);
                cairo_fill_preserve(cr);
                setColor(cr, item.color, 1);
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            } else {
                cairo_save(cr);
                cairo_rectangle(cr, box.left, box.top, box.width, box.height);
                cairo_clip(cr);
                paintPrimitives(cr, item.symbol, mappingInto(boundsOf(item.symbol), box, 0.08));
                cairo_restore(cr);
            }
            selectFont(cr);
            cairo_set_font_size(cr, l.textSize);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_move_to(cr, x + l.swatch + l.textSize * 0.6, y + l.swatch / 2 + l.textSize * 0.35);
            cairo_show_text(cr, item.label.ToUtf8().c_str());
            y += l.row;
        }
    }
}

// Hair lines straight into the pixels, one pixel wide without smoothing: a plan of tens of
// thousands of entities draws in a fraction of the time cairo's stroker takes for them.
void drawHairLines(unsigned char* data, int stride, const std::vector<Primitive>& prims, const Mapping& m, const Area& plan,
                   bool lineWeights)
{
    const double left = plan.left, top = plan.top, right = plan.left + plan.width - 1, bottom = plan.top + plan.height - 1;
    for (const Primitive& p : prims) {
        if (!isHairLine(p, m.scale, lineWeights)) continue;
        double r, g, b;
        ColorOf(p.color, r, g, b);
        const uint32_t colour = (uint32_t(r * 255) << 16) | (uint32_t(g * 255) << 8) | uint32_t(b * 255);
        for (size_t i = 1; i < p.points.size(); ++i) {
            double x0 = m.x(p.points[i - 1].x), y0 = m.y(p.points[i - 1].y), x1 = m.x(p.points[i].x), y1 = m.y(p.points[i].y);
            // Clipped to the picture (Liang-Barsky), then stepped pixel by pixel.
            double t0 = 0, t1 = 1;
            const double dx = x1 - x0, dy = y1 - y0;
            const double pp[4] = {-dx, dx, -dy, dy}, qq[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
            bool inside = true;
            for (int k = 0; k < 4 && inside; ++k) {
                if (pp[k] == 0) {
                    inside = qq[k] >= 0;
                } else {
                    const double t = qq[k] / pp[k];
                    if (pp[k] < 0) t0 = std::max(t0, t);
                    else t1 = std::min(t1, t);
                    inside = t0 <= t1;
                }
            }
            if (!inside) continue;
            const double ax = x0 + t0 * dx, ay = y0 + t0 * dy, bx = x0 + t1 * dx, by = y0 + t1 * dy;
            const int steps = int(std::max(std::abs(bx - ax), std::abs(by - ay))) + 1;
            for (int k = 0; k <= steps; ++k) {
                const int px = int(std::lround(ax + (bx - ax) * k / steps)), py = int(std::lround(ay + (by - ay) * k / steps));
                if (px >= left && px <= right && py >= top && py <= bottom)
                    reinterpret_cast<uint32_t*>(data + size_t(py) * size_t(stride))[px] = colour;
            }
        }
    }
}

// dense: draw hair lines straight into the pixels (cr draws into an image surface); the
// overlay goes over them.
void paint(cairo_t* cr, const std::vector<Primitive>& prims, const View& view, const Overlay* overlay, bool dense = false)
{
    const Layout layout = layoutFor(cr, view, overlay);
    const Mapping m = mappingFor(prims, view, layout.plan);
    cairo_surface_t* target = cairo_get_target(cr);
    if (dense) cairo_set_antialias(cr, CAIRO_ANTIALIAS_FAST);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    // The plan stays in its area: a window shows what lies in it, not beside it.
    cairo_save(cr);
    cairo_rectangle(cr, layout.plan.left, layout.plan.top, layout.plan.width, layout.plan.height);
    cairo_clip(cr);
    paintTints(cr, overlay, m);
    paintPrimitives(cr, prims, m, view.lineWeights, dense);
    cairo_restore(cr);
    if (dense) {
        cairo_surface_flush(target);
        drawHairLines(cairo_image_surface_get_data(target), cairo_image_surface_get_stride(target), prims, m, layout.plan,
                      view.lineWeights);
        cairo_surface_mark_dirty(target);
    }
    paintOverlay(cr, layout, view, overlay);
}

bool checkSize(const View& v, std::string* why)
{
    if (v.width > 0 && v.height > 0 && v.width <= 20000 && v.height <= 20000) return true;
    if (why) *why = "the picture size must be between 1 and 20000 pixels each way";
    return false;
}

constexpr size_t kDensePlan = 20000;  // primitives

// The picture in an image surface (flushed; the caller destroys it). A dense plan (an overview
// of a large floor) draws its hair lines straight into the pixels.
cairo_surface_t* drawnSurface(const std::vector<Primitive>& prims, const View& view, const Overlay* overlay = nullptr)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, view.width, view.height);
    cairo_t* cr = cairo_create(surface);
    paint(cr, prims, view, overlay, prims.size() > kDensePlan);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

}  // namespace

void ColorOf(int aci, double& r, double& g, double& b)
{
    // The first seven in tones that read on white; 7 is black there.
    static const double basic[8][3] = {{0, 0, 0}, {0.9, 0, 0}, {0.75, 0.7, 0}, {0, 0.65, 0},
                                       {0, 0.65, 0.7}, {0, 0, 0.9}, {0.8, 0, 0.8}, {0, 0, 0}};
    if (aci >= 1 && aci <= 7) {
        r = basic[aci][0], g = basic[aci][1], b = basic[aci][2];
        return;
    }
    if (aci == 8 || aci == 9) {
        r = g = b = aci == 8 ? 0.5 : 0.75;
        return;
    }
    if (aci >= 250 && aci <= 255) {
        r = g = b = 0.2 + 0.13 * (aci - 250);
        return;
    }
    if (aci < 10 || aci > 249) {
        r = g = b = 0;
        return;
    }
    // Hue in steps of 15 degrees by tens; within a ten, even indices full, odd ones pale,
    // darker further on.
    const double hue = (aci / 10 - 1) * 15.0;
    static const double value[5] = {1.0, 0.8, 0.6, 0.5, 0.3};
    const double v = value[(aci % 10) / 2] * 0.85, s = (aci % 2) ? 0.5 : 1.0;
    const double c = v * s, hh = hue / 60, x = c * (1 - std::abs(std::fmod(hh, 2) - 1)), base = v - c;
    double rr = 0, gg = 0, bb = 0;
    if (hh < 1) rr = c, gg = x;
    else if (hh < 2) rr = x, gg = c;
    else if (hh < 3) gg = c, bb = x;
    else if (hh < 4) gg = x, bb = c;
    else if (hh < 5) rr = x, bb = c;
    else rr = c, bb = x;
    r = rr + base, g = gg + base, b = bb + base;
}

// The picture is written to a temporary file and renamed into place when whole; a target
// that is no regular file is refused before anything is drawn.
bool RenderPng(const std::vector<Primitive>& prims, const View& view, const std::string& path, std::string* why,
               const Overlay* overlay)
{
    std::string reason;
    vkwin::ReplacingFile file;
    bool ok = checkSize(view, &reason) && file.open(path, reason);
    if (ok) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, view.width, view.height);
        cairo_t* cr = cairo_create(surface);
        paint(cr, prims, view, overlay);
        cairo_destroy(cr);
        const cairo_status_t st = cairo_surface_write_to_png(surface, file.tempPath().c_str());
        cairo_surface_destroy(surface);
        ok = st == CAIRO_STATUS_SUCCESS ? file.commit(reason)
                                        : (reason = "cannot write " + path + ": " + cairo_status_to_string(st), false);
    }
    if (!ok && why) *why = reason;
    return ok;
}

bool RenderSvg(const std::vector<Primitive>& prims, const View& view, const std::string& path, std::string* why,
               const Overlay* overlay)
{
    std::string reason;
    vkwin::ReplacingFile file;
    bool ok = checkSize(view, &reason) && file.open(path, reason);
    if (ok) {
        cairo_surface_t* surface = cairo_svg_surface_create(file.tempPath().c_str(), view.width, view.height);
        cairo_t* cr = cairo_create(surface);
        paint(cr, prims, view, overlay);
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        const cairo_status_t st = cairo_surface_status(surface);
        cairo_surface_destroy(surface);
        ok = st == CAIRO_STATUS_SUCCESS ? file.commit(reason)
                                        : (reason = "cannot write " + path + ": " + cairo_status_to_string(st), false);
    }
    if (!ok && why) *why = reason;
    return ok;
}

bool RenderPixels(const std::vector<Primitive>& prims, const View& view, std::vector<unsigned>& pixels,
                  const Overlay* overlay)
{
    pixels.clear();
    if (!checkSize(view, nullptr)) return false;
    cairo_surface_t* surface = drawnSurface(prims, view, overlay);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    pixels.reserve(size_t(view.width) * size_t(view.height));
    for (int y = 0; y < view.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < view.width; ++x) pixels.push_back(row[x] & 0xFFFFFFu);
    }
    cairo_surface_destroy(surface);
    return true;
}


// A window redraws its plan after every pan and zoom: the picture is packed for speed (the
// fastest compression, no row filters), which costs a little size on mostly white plans.
bool RenderPngBytes(const std::vector<Primitive>& prims, const View& view, std::string& png)
{
    png.clear();
    if (!checkSize(view, nullptr)) return false;
    cairo_surface_t* surface = drawnSurface(prims, view);
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    bool ok = writer && info;
    std::vector<unsigned char> row(size_t(view.width) * 3);
    if (ok && setjmp(png_jmpbuf(writer)) == 0) {
        png_set_write_fn(
            writer, &png,
            [](png_structp w, png_bytep data, png_size_t n) {
                static_cast<std::string*>(png_get_io_ptr(w))->append(reinterpret_cast<const char*>(data), n);
            },
            nullptr);
        png_set_compression_level(writer, 1);
        png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_IHDR(writer, info, png_uint_32(view.width), png_uint_32(view.height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_write_info(writer, info);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < view.height; ++y) {
            const auto* px = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < view.width; ++x) {
                row[size_t(x) * 3] = static_cast<unsigned char>(px[x] >> 16);
                row[size_t(x) * 3 + 1] = static_cast<unsigned char>(px[x] >> 8);
                row[size_t(x) * 3 + 2] = static_cast<unsigned char>(px[x]);
            }
            png_write_row(writer, row.data());
        }
        png_write_end(writer, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(writer ? &writer : nullptr, info ? &info : nullptr);
    cairo_surface_destroy(surface);
    if (!ok) png.clear();
    return ok;
}

}  // namespace vkgi
