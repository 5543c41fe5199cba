#pragma once
// A self-contained SVG picture of sampled curves: frame, grid, ticks, title and legend.
#include <span>
#include <string>
#include <vector>

#include "sampler.h"

namespace law_tool {

struct plot_series {
    std::string label;  // shown in the legend
    std::vector<stretch> stretches;
    bool dashed = false;  // drawn over another curve that must still show
};

// What a marked point of the picture is: each kind has its symbol and a legend line.
enum class mark_kind { root, extremum, knot };

struct plot_mark {
    point2 at;
    mark_kind kind = mark_kind::root;
};

// A short arrow of the picture (a frame vector drawn at its point), in one of two colours.
struct plot_arrow {
    point2 from, to;
    int colour = 0;
};

struct plot_page {
    std::string title;
    std::string subtitle;  // under the title: how the picture shows what it shows
    view_box view;
    bool legend = false;
    bool equal_scales = false;  // a plane curve keeps its shape
    // Page coordinates that are no coordinates of the curve (a projection) get no ticks; the
    // projected directions of the x, y and z axes are drawn instead when given.
    bool ticks = true;
    std::vector<point2> axis_directions;
    std::vector<plot_mark> marks;
    std::vector<plot_arrow> arrows;
    std::vector<std::string> arrow_labels;  // the legend of each arrow colour
};

std::string render_svg(plot_page const &page, std::span<plot_series const> series);

// Evenly spaced round values (1, 2 or 5 times a power of ten) covering [lo, hi].
std::vector<double> nice_ticks(double lo, double hi, int about);

// s with the characters that XML reserves written as entities.
std::string xml_escape(std::string_view s);

// A heading centred at (x, baseline) in a face of at most size pixels, made smaller (and below
// 7 pixels squeezed) so that a long law still fits in width.
std::string svg_heading(double x, double baseline, double width, double size,
                        std::string_view text);

}  // namespace law_tool
