#include "svg_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "svg_plot.h"

namespace law_tool {
namespace {

constexpr double width = 800, height = 640, margin = 40, top = 56;

// Looking down the diagonal (1, 1, 1): screen right, screen up and towards the viewer.
ZEM::vector const screen_x(1 / std::sqrt(2.0), -1 / std::sqrt(2.0), 0);
ZEM::vector const screen_y(-1 / std::sqrt(6.0), -1 / std::sqrt(6.0), 2 / std::sqrt(6.0));
ZEM::vector const towards_viewer(1 / std::sqrt(3.0), 1 / std::sqrt(3.0), 1 / std::sqrt(3.0));
ZEM::vector const light = normalise(ZEM::vector(0.3, 0.5, 1));

double depth(surface_quad const &q) {
    double d = 0;
    for (ZEM::position const &p : q.corners) d += (p - ZEM::origin) % towards_viewer;
    return d;
}

std::string fill_of(surface_quad const &q) {
    ZEM::vector const n = (q.corners[2] - q.corners[0]) * (q.corners[3] - q.corners[1]);
    double const shade = n.len() > 0 ? 0.35 + 0.65 * std::fabs(n % light) / n.len() : 0.35;
    double r, g, b;
    if (q.colour_value < 0) {
        r = g = b = 0.55 + 0.4 * shade;
    } else {
        double const v = std::clamp(q.colour_value, 0.0, 1.0);
        r = (0.15 + 0.85 * v) * shade;
        g = 0.25 * shade;
        b = (1.0 - 0.85 * v) * shade;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", int(255 * r), int(255 * g), int(255 * b));
    return buf;
}

}  // namespace

std::string render_surface_svg(std::string const &title, std::string const &caption,
                               std::vector<surface_quad> quads) {
    std::sort(quads.begin(), quads.end(),
              [](surface_quad const &a, surface_quad const &b) { return depth(a) < depth(b); });
    double lo_x = std::numeric_limits<double>::infinity(), hi_x = -lo_x, lo_y = lo_x, hi_y = -lo_x;
    for (surface_quad const &q : quads)
        for (ZEM::position const &p : q.corners) {
            double const x = (p - ZEM::origin) % screen_x, y = (p - ZEM::origin) % screen_y;
            lo_x = std::min(lo_x, x), hi_x = std::max(hi_x, x);
            lo_y = std::min(lo_y, y), hi_y = std::max(hi_y, y);
        }
    double const scale = std::min((width - 2 * margin) / std::max(hi_x - lo_x, 1e-300),
                                  (height - top - margin) / std::max(hi_y - lo_y, 1e-300));
    double const cx = 0.5 * (lo_x + hi_x), cy = 0.5 * (lo_y + hi_y);
    auto px = [&](ZEM::position const &p) {
        return std::pair{width / 2 + ((p - ZEM::origin) % screen_x - cx) * scale,
                         (top + height - margin) / 2 - ((p - ZEM::origin) % screen_y - cy) * scale};
    };
    std::string svg;
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" "
                  "viewBox=\"0 0 %g %g\">\n",
                  width, height, width, height);
    svg += buf;
    svg += "<title>" + xml_escape(title) + "</title>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    svg += svg_heading(width / 2, 26, width - 20, 16, title);
    svg +=
        "<text x=\"400\" y=\"46\" text-anchor=\"middle\" font-family=\"sans-serif\" "
        "font-size=\"12\" fill=\"#444\">" +
        xml_escape(caption) + "</text>\n";
    svg += "<g class=\"surface\" stroke=\"#222\" stroke-width=\"0.4\" stroke-linejoin=\"round\">\n";
    for (surface_quad const &q : quads) {
        svg += "<polygon points=\"";
        for (ZEM::position const &p : q.corners) {
            auto const [x, y] = px(p);
            std::snprintf(buf, sizeof buf, "%.2f,%.2f ", x, y);
            svg += buf;
        }
        svg.back() = '"';
        svg += " fill=\"" + fill_of(q) + "\"/>\n";
    }
    svg += "</g>\n</svg>\n";
    return svg;
}

}  // namespace law_tool
