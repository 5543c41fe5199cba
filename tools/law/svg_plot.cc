#include "svg_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace law_tool {
namespace {

constexpr double width = 800, height = 520;
constexpr double left = 80, right = 24, top = 48, bottom = 48;
constexpr char const *colours[] = {"#1f5fbf", "#d9480f", "#2b8a3e", "#862e9c"};
// Mapped coordinates are held within this many pixels so that far values stay valid numbers.
constexpr double coordinate_limit = 1e6;

struct frame {
    view_box v;
    double px0 = left, px1 = width - right, py0 = top, py1 = height - bottom;

    double sx(double x) const { return px0 + (x - v.x0) / (v.x1 - v.x0) * (px1 - px0); }
    double sy(double y) const { return py1 - (y - v.y0) / (v.y1 - v.y0) * (py1 - py0); }
};

std::string fmt(char const *format, auto... args) {
    char buf[256];
    int const n = std::snprintf(buf, sizeof buf, format, args...);
    return std::string(buf, static_cast<std::size_t>(std::clamp(n, 0, int(sizeof buf) - 1)));
}

double held(double pixel) { return std::clamp(pixel, -coordinate_limit, coordinate_limit); }

// Widens the shorter side of the window so that one unit is as long across as up.
view_box with_equal_scales(view_box v, frame const &f) {
    double const ux = (v.x1 - v.x0) / (f.px1 - f.px0);
    double const uy = (v.y1 - v.y0) / (f.py1 - f.py0);
    if (ux > uy) {
        double const c = 0.5 * (v.y0 + v.y1), h = 0.5 * ux * (f.py1 - f.py0);
        v.y0 = c - h;
        v.y1 = c + h;
    } else {
        double const c = 0.5 * (v.x0 + v.x1), h = 0.5 * uy * (f.px1 - f.px0);
        v.x0 = c - h;
        v.x1 = c + h;
    }
    return v;
}

std::string tick_label(double v, double step) {
    if (std::fabs(v) < 1e-9 * step) v = 0;
    return fmt("%.6g", v);
}

void axes(std::string &svg, frame const &f, bool ticks) {
    svg +=
        fmt("<rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" fill=\"#fff\" "
            "stroke=\"#444\"/>\n",
            f.px0, f.py0, f.px1 - f.px0, f.py1 - f.py0);
    if (!ticks) return;
    std::vector<double> const xt = nice_ticks(f.v.x0, f.v.x1, 8);
    std::vector<double> const yt = nice_ticks(f.v.y0, f.v.y1, 7);
    double const xstep = xt.size() > 1 ? xt[1] - xt[0] : 1;
    double const ystep = yt.size() > 1 ? yt[1] - yt[0] : 1;
    svg += "<g class=\"grid\" stroke=\"#e4e4e4\">\n";
    for (double x : xt)
        svg += fmt("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\"/>\n", f.sx(x), f.py0,
                   f.sx(x), f.py1);
    for (double y : yt)
        svg += fmt("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\"/>\n", f.px0, f.sy(y),
                   f.px1, f.sy(y));
    svg += "</g>\n<g class=\"axes\" stroke=\"#888\">\n";
    if (f.v.x0 < 0 && 0 < f.v.x1)
        svg += fmt("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\"/>\n", f.sx(0), f.py0,
                   f.sx(0), f.py1);
    if (f.v.y0 < 0 && 0 < f.v.y1)
        svg += fmt("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\"/>\n", f.px0, f.sy(0),
                   f.px1, f.sy(0));
    svg += "</g>\n<g class=\"ticks\" font-family=\"sans-serif\" font-size=\"12\" fill=\"#333\">\n";
    for (double x : xt)
        svg += fmt("<text x=\"%.2f\" y=\"%.2f\" text-anchor=\"middle\">%s</text>\n", f.sx(x),
                   f.py1 + 18, tick_label(x, xstep).c_str());
    for (double y : yt)
        svg += fmt("<text x=\"%.2f\" y=\"%.2f\" text-anchor=\"end\">%s</text>\n", f.px0 - 6,
                   f.sy(y) + 4, tick_label(y, ystep).c_str());
    svg += "</g>\n";
}

void curve(std::string &svg, frame const &f, plot_series const &s, char const *colour) {
    svg += fmt("<g fill=\"none\" stroke=\"%s\" stroke-width=\"1.6\" stroke-linejoin=\"round\"%s>\n",
               colour, s.dashed ? " stroke-dasharray=\"7 4\"" : "");
    for (stretch const &piece : s.stretches) {
        if (piece.size() == 1) {
            svg += fmt("<circle cx=\"%.2f\" cy=\"%.2f\" r=\"1.6\" fill=\"%s\"/>\n",
                       held(f.sx(piece[0].x)), held(f.sy(piece[0].y)), colour);
            continue;
        }
        svg += "<path d=\"";
        char command = 'M';
        for (point2 const &p : piece) {
            svg += fmt("%c%.2f %.2f", command, held(f.sx(p.x)), held(f.sy(p.y)));
            command = 'L';
        }
        svg += "\"/>\n";
    }
    svg += "</g>\n";
}

struct mark_style {
    char const *fill;
    char const *shape;  // circle or square
    char const *label;
};

constexpr mark_style mark_styles[] = {
    {"#fff", "circle", "root"}, {"#111", "circle", "local extremum"}, {"#111", "square", "knot"}};

std::string mark_shape(mark_kind kind, double x, double y) {
    mark_style const &s = mark_styles[static_cast<int>(kind)];
    if (std::string_view(s.shape) == "square")
        return fmt("<rect x=\"%.2f\" y=\"%.2f\" width=\"6\" height=\"6\" fill=\"%s\"/>\n", x - 3,
                   y - 3, s.fill);
    return fmt("<circle cx=\"%.2f\" cy=\"%.2f\" r=\"4\" fill=\"%s\"/>\n", x, y, s.fill);
}

void marks(std::string &svg, frame const &f, std::span<plot_mark const> points) {
    svg += "<g class=\"marks\" stroke=\"#111\" stroke-width=\"1.4\">\n";
    for (plot_mark const &m : points)
        svg += mark_shape(m.kind, held(f.sx(m.at.x)), held(f.sy(m.at.y)));
    svg += "</g>\n";
}

// Short lines from a corner along the projected x, y and z axes, named.
void axis_directions(std::string &svg, frame const &f, std::span<point2 const> directions) {
    if (directions.empty()) return;
    double const cx = f.px1 - 46, cy = f.py1 - 46, length = 30;
    svg +=
        "<g class=\"axis-directions\" stroke=\"#555\" font-family=\"sans-serif\" "
        "font-size=\"12\" fill=\"#333\">\n";
    char const names[] = {'x', 'y', 'z'};
    for (std::size_t i = 0; i < directions.size() && i < 3; ++i) {
        double const n = std::hypot(directions[i].x, directions[i].y);
        if (n < 1e-9) continue;
        double const dx = directions[i].x / n * length * std::min(n, 1.0);
        double const dy = -directions[i].y / n * length * std::min(n, 1.0);
        svg += fmt("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\"/>\n", cx, cy, cx + dx,
                   cy + dy);
        svg += fmt("<text x=\"%.2f\" y=\"%.2f\" stroke=\"none\" text-anchor=\"middle\">%c</text>\n",
                   cx + dx * 1.3, cy + dy * 1.3 + 4, names[i]);
    }
    svg += "</g>\n";
}

constexpr char const *arrow_colours[] = {"#c2255c", "#2b8a3e"};

void arrows(std::string &svg, frame const &f, std::span<plot_arrow const> all) {
    if (all.empty()) return;
    svg += "<defs>";
    for (std::size_t i = 0; i < std::size(arrow_colours); ++i)
        svg +=
            fmt("<marker id=\"head-%zu\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" "
                "markerWidth=\"7\" markerHeight=\"7\" orient=\"auto\"><path d=\"M0 0L10 "
                "5L0 10z\" fill=\"%s\"/></marker>",
                i, arrow_colours[i]);
    svg += "</defs>\n<g class=\"frames\" stroke-width=\"1.4\">\n";
    for (plot_arrow const &a : all) {
        std::size_t const c = static_cast<std::size_t>(a.colour) % std::size(arrow_colours);
        svg +=
            fmt("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" "
                "marker-end=\"url(#head-%zu)\"/>\n",
                held(f.sx(a.from.x)), held(f.sy(a.from.y)), held(f.sx(a.to.x)), held(f.sy(a.to.y)),
                arrow_colours[c], c);
    }
    svg += "</g>\n";
}

// A line of the legend at y: its sample drawn by `sample` at the left, then its text.
void legend_line(std::string &svg, frame const &f, double y, std::string const &sample,
                 std::string_view text) {
    svg += sample;
    svg += fmt("<text x=\"%.2f\" y=\"%.2f\" fill=\"#222\">", f.px0 + 42, y) + xml_escape(text) +
           "</text>\n";
}

// The curves, then each kind of mark present, then each arrow colour.
void legend(std::string &svg, frame const &f, plot_page const &page,
            std::span<plot_series const> series) {
    if (!page.legend && page.marks.empty() && page.arrows.empty()) return;
    double y = f.py0 + 18;
    svg += "<g class=\"legend\" font-family=\"sans-serif\" font-size=\"13\">\n";
    if (page.legend)
        for (std::size_t i = 0; i < series.size(); ++i, y += 20)
            legend_line(svg, f, y,
                        fmt("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" "
                            "stroke-width=\"2.5\"%s/>\n",
                            f.px0 + 12, y - 4, f.px0 + 36, y - 4, colours[i % std::size(colours)],
                            series[i].dashed ? " stroke-dasharray=\"7 4\"" : ""),
                        series[i].label);
    for (int kind = 0; kind < static_cast<int>(std::size(mark_styles)); ++kind) {
        bool const present =
            std::any_of(page.marks.begin(), page.marks.end(),
                        [&](plot_mark const &m) { return static_cast<int>(m.kind) == kind; });
        if (!present) continue;
        legend_line(svg, f, y,
                    "<g stroke=\"#111\" stroke-width=\"1.4\">" +
                        mark_shape(static_cast<mark_kind>(kind), f.px0 + 24, y - 4) + "</g>\n",
                    mark_styles[kind].label);
        y += 20;
    }
    for (std::size_t c = 0; !page.arrows.empty() && c < page.arrow_labels.size(); ++c, y += 20)
        legend_line(svg, f, y,
                    fmt("<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" "
                        "stroke-width=\"1.4\" marker-end=\"url(#head-%zu)\"/>\n",
                        f.px0 + 12, y - 4, f.px0 + 36, y - 4,
                        arrow_colours[c % std::size(arrow_colours)], c % std::size(arrow_colours)),
                    page.arrow_labels[c]);
    svg += "</g>\n";
}

}  // namespace

std::vector<double> nice_ticks(double lo, double hi, int about) {
    std::vector<double> ticks;
    if (!(hi > lo) || !std::isfinite(hi - lo)) return ticks;
    double const raw = (hi - lo) / std::max(about, 1);
    double const power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {2.0, 5.0, 10.0})
        if (step < raw) step = m * power;
    double const first = std::ceil(lo / step);
    for (double k = first; k * step <= hi + 1e-9 * step && ticks.size() < 64; k += 1)
        ticks.push_back(k * step);
    return ticks;
}

std::string xml_escape(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string svg_heading(double x, double baseline, double width, double size,
                        std::string_view text) {
    // A sans-serif character is about 0.55 em wide.
    double const em = width / (0.55 * static_cast<double>(std::max<std::size_t>(text.size(), 1)));
    double const face = std::clamp(em, 7.0, size);
    std::string const squeeze =
        face > em ? fmt(" textLength=\"%g\" lengthAdjust=\"spacingAndGlyphs\"", width) : "";
    return fmt("<text x=\"%g\" y=\"%g\" text-anchor=\"middle\" font-family=\"sans-serif\" "
               "font-size=\"%.3g\" fill=\"#111\"%s>",
               x, baseline, face, squeeze.c_str()) +
           xml_escape(text) + "</text>\n";
}

std::string render_svg(plot_page const &page, std::span<plot_series const> series) {
    frame f;
    f.v = page.equal_scales ? with_equal_scales(page.view, f) : page.view;
    std::string svg =
        fmt("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" "
            "viewBox=\"0 0 %g %g\">\n",
            width, height, width, height);
    svg += "<title>" + xml_escape(page.title) + "</title>\n";
    svg += fmt("<rect width=\"%g\" height=\"%g\" fill=\"#fafafa\"/>\n", width, height);
    svg += svg_heading(width / 2, page.subtitle.empty() ? 28 : 22, width - 20, 16, page.title);
    if (!page.subtitle.empty())
        svg += fmt("<text x=\"%g\" y=\"40\" text-anchor=\"middle\" font-family=\"sans-serif\" "
                   "font-size=\"12\" fill=\"#555\">",
                   width / 2) +
               xml_escape(page.subtitle) + "</text>\n";
    axes(svg, f, page.ticks);
    svg +=
        fmt("<clipPath id=\"plot-area\"><rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" "
            "height=\"%.2f\"/></clipPath>\n<g clip-path=\"url(#plot-area)\">\n",
            f.px0, f.py0, f.px1 - f.px0, f.py1 - f.py0);
    for (std::size_t i = 0; i < series.size(); ++i)
        curve(svg, f, series[i], colours[i % std::size(colours)]);
    marks(svg, f, page.marks);
    arrows(svg, f, page.arrows);
    svg += "</g>\n";
    axis_directions(svg, f, page.axis_directions);
    legend(svg, f, page, series);
    svg += "</svg>\n";
    return svg;
}

}  // namespace law_tool
