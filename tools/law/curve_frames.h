#pragma once
// The frames along a space curve (a law of one input and three outputs) on [a, b]: the unit
// tangent, the Frenet normal where the curve bends, and the normal that turns least about the
// tangent (MINROT, refined by double reflection), started at the Frenet normal at a or, on a
// curve that does not bend there, at a normal of the tangent.
#include <optional>

#include <law/law.h>

namespace law_tool {

struct curve_frame {
    ZEM::vector point, tangent;
    std::optional<ZEM::vector> normal;  // none where the curve does not bend
    ZEM::vector minrot;
};

class curve_frames {
  public:
    // Raises tool_error for a law that is no space curve.
    curve_frames(law const &curve, double a, double b);
    // Raises tool_error with the library's message where the curve has no tangent.
    curve_frame at(double t) const;

  private:
    law_ptr curve_, tangent_, frenet_, minrot_;
};

}  // namespace law_tool
