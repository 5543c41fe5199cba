#pragma once
// A pair of surface parameters.
namespace ZEM {
struct par_pos {
    double u = 0, v = 0;
    constexpr par_pos() = default;
    constexpr par_pos(double u_, double v_) : u(u_), v(v_) {}
    friend constexpr bool operator==(par_pos const &, par_pos const &) = default;
};
}  // namespace ZEM
