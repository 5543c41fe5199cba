#pragma once
// A surface as a shaded wireframe in isometric projection: quads painted from the back, shaded
// by how squarely they face the light, or coloured by a value in [0, 1].
#include <string>
#include <vector>

#include <law/base/vector.h>

namespace law_tool {

struct surface_quad {
    ZEM::position corners[4];
    double colour_value = -1;  // in [0, 1] colours from blue to red; negative shades grey
};

std::string render_surface_svg(std::string const &title, std::string const &caption,
                               std::vector<surface_quad> quads);

}  // namespace law_tool
