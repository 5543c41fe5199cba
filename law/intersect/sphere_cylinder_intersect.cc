#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <law/base/memory.h>
#include <law/base/tolerance.h>
#include <law/core/law.h>
#include <law/core/lawutil_errors.h>
#include <law/intersect/sphere_cylinder_intersect.h>
#include <law/lang/str_to_law.h>

namespace {

// The cylinder's frame, seen from the sphere: origin on the axis level with the sphere's centre,
// e1 towards the centre, e2 = a x e1, a along the axis; the centre lies at distance D along e1.
struct cylinder_frame {
    ZEM::position origin;
    ZEM::vector e1, e2, a;
    double D = 0;
};

bool finite(ZEM::vector const &v) {
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

// Any unit vector square to the unit vector a.
ZEM::vector square_to(ZEM::vector const &a) {
    ZEM::vector const other = std::fabs(a.x()) < 0.6 ? ZEM::vector(1, 0, 0) : ZEM::vector(0, 1, 0);
    ZEM::vector const v = other - a * (other % a);
    return v / v.len();
}

cylinder_frame frame_of(ZEM::position const &centre, ZEM::position const &point,
                        ZEM::vector const &axis) {
    cylinder_frame f;
    f.a = axis / axis.len();
    ZEM::vector const d = centre - point;
    f.origin = point + f.a * (d % f.a);
    ZEM::vector const w = centre - f.origin;
    f.D = w.len();
    f.e1 = f.D > get_resabs() ? w / f.D : square_to(f.a);
    f.e2 = f.a * f.e1;
    return f;
}

std::string num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "(%.17g)", v);
    return buf;
}

std::string vec(ZEM::vector const &v) {
    return "VEC(" + num(v.x()) + "," + num(v.y()) + "," + num(v.z()) + ")";
}

std::string vec(ZEM::position const &p) { return vec(p - ZEM::origin); }

// The branches as law texts over their intervals.
struct branch_text {
    std::string text;
    double t0, t1;
};

// The circle of the cylinder at height z.
branch_text circle(cylinder_frame const &f, double r, double z) {
    return {vec(f.origin + f.a * z) + "+COS(T)*" + vec(f.e1 * r) + "+SIN(T)*" + vec(f.e2 * r), 0,
            2 * M_PI};
}

// Around the cylinder, the upper or lower loop z = +-sqrt(G + 4 r D cos^2(theta / 2)), G > 0.
branch_text loop(cylinder_frame const &f, double r, double G, int side) {
    return {vec(f.origin) + "+COS(T)*" + vec(f.e1 * r) + "+SIN(T)*" + vec(f.e2 * r) +
                (side > 0 ? "+" : "-") + "SQRT(" + num(G) + "+" + num(4 * r * f.D) +
                "*COS(T/2)^2)*" + vec(f.a),
            0, 2 * M_PI};
}

// The loop on the near side, theta within [-theta0, theta0]: with sin(theta / 2) = k sin T
// (k = sin(theta0 / 2) < 1) it is z = 2 k sqrt(r D) cos T, regular all round.
branch_text one_loop(cylinder_frame const &f, double r, double k) {
    std::string const k2 = num(k * k);
    return {vec(f.origin) + "+(1-2*" + k2 + "*SIN(T)^2)*" + vec(f.e1 * r) + "+(" + num(2 * k) +
                "*SIN(T)*SQRT(1-" + k2 + "*SIN(T)^2))*" + vec(f.e2 * r) + "+(" +
                num(2 * k * std::sqrt(r * f.D)) + "*COS(T))*" + vec(f.a),
            0, 2 * M_PI};
}

// k = 1: theta = 2T runs twice round and z = 2 sqrt(r D) cos T crosses 0 at theta = pi.
branch_text figure_eight(cylinder_frame const &f, double r) {
    return {vec(f.origin) + "+COS(2*T)*" + vec(f.e1 * r) + "+SIN(2*T)*" + vec(f.e2 * r) + "+(" +
                num(2 * std::sqrt(r * f.D)) + "*COS(T))*" + vec(f.a),
            0, 2 * M_PI};
}

sphere_cylinder_case classify(cylinder_frame const &f, double R, double r,
                              std::vector<branch_text> &out) {
    double const D = f.D;
    double const eps = get_resabs();
    if (D <= eps) {
        if (R < r - eps) return sphere_cylinder_empty;
        if (R <= r + eps) {
            out.push_back(circle(f, r, 0));
            return sphere_cylinder_tangent_circle;
        }
        double const z = std::sqrt((R - r) * (R + r));
        out.push_back(circle(f, r, z));
        out.push_back(circle(f, r, -z));
        return sphere_cylinder_two_circles;
    }
    double const near = std::fabs(r - D), far = r + D;
    if (R < near - eps) return sphere_cylinder_empty;
    if (R <= near + eps) {
        out.push_back({vec(f.origin + f.e1 * r), 0, 0});
        return sphere_cylinder_tangent_point;
    }
    if (R < far - eps) {
        double const k2 = (R - (r - D)) * (R + (r - D)) / (4 * r * D);
        out.push_back(one_loop(f, r, std::sqrt(std::fmin(std::fmax(k2, 0.0), 1.0))));
        return sphere_cylinder_one_loop;
    }
    if (R <= far + eps) {
        out.push_back(figure_eight(f, r));
        return sphere_cylinder_figure_eight;
    }
    double const G = (R - far) * (R + far);
    out.push_back(loop(f, r, G, 1));
    out.push_back(loop(f, r, G, -1));
    return sphere_cylinder_two_loops;
}

}  // namespace

char const *sphere_cylinder_case_name(sphere_cylinder_case c) {
    switch (c) {
        case sphere_cylinder_empty:
            return "empty";
        case sphere_cylinder_tangent_point:
            return "one tangent point";
        case sphere_cylinder_tangent_circle:
            return "one tangent circle";
        case sphere_cylinder_two_circles:
            return "two circles";
        case sphere_cylinder_two_loops:
            return "two loops";
        case sphere_cylinder_one_loop:
            return "one loop";
        case sphere_cylinder_figure_eight:
            return "figure-eight";
    }
    return "unknown";
}

int sphere_cylinder_intersect(ZEM::position const &centre, double radius,
                              ZEM::position const &cylinder_point, ZEM::vector const &axis,
                              double cylinder_radius, law ***branches, ZEM::interval **ranges,
                              sphere_cylinder_case *which) {
    *branches = nullptr;
    *ranges = nullptr;
    if (!finite(centre - ZEM::origin) || !finite(cylinder_point - ZEM::origin) || !finite(axis) ||
        !(axis.len() > 0) || !std::isfinite(axis.len()) || !(radius > 0) ||
        !std::isfinite(radius) || !(cylinder_radius > 0) || !std::isfinite(cylinder_radius))
        law_error(LAW_BAD_SOLID);
    cylinder_frame const f = frame_of(centre, cylinder_point, axis);
    std::vector<branch_text> texts;
    sphere_cylinder_case const c = classify(f, radius, cylinder_radius, texts);
    if (which) *which = c;
    int const n = static_cast<int>(texts.size());
    if (n == 0) return 0;
    std::vector<law_ptr> laws;
    for (auto const &b : texts) {
        laws.push_back(adopt(str_to_law(b.text.c_str())));
        if (!laws.back()) law_error(LAW_SYNTAX);
    }
    law **out = VORN_ARRAY(law *, n);
    ZEM::interval *r = VORN_ARRAY(ZEM::interval, n);
    for (int i = 0; i < n; ++i) {
        out[i] = laws[static_cast<std::size_t>(i)].release();
        new (r + i) ZEM::interval(texts[static_cast<std::size_t>(i)].t0,
                                  texts[static_cast<std::size_t>(i)].t1);
    }
    *branches = out;
    *ranges = r;
    return n;
}
