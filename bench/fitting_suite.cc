// Fitting laws by splines: for each law of the fitting set and each tolerance, the size, the
// distance achieved and the time of each knot removal strategy, beside OCCT's approximation of
// dense samples of the same law to the same tolerance at the same degree 3 and at degrees 3 to 8;
// the evaluation speed of the same curve in both libraries; and every IGES and STEP file
// written, read back by OCCT's readers and compared with the law.
#include <BRep_Tool.hxx>
#include <GeomAPI_PointsToBSpline.hxx>
#include <Geom_BSplineCurve.hxx>
#include <IGESControl_Reader.hxx>
#include <STEPControl_Reader.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench_harness.h"
#include "bench_law.h"
#include "bench_suites.h"
#include "fitting_set.h"
#include "rational_splines.h"

namespace bench {
namespace {

using fitting_set_laws::fitting_case;
using fitting_set_laws::fitting_set;

// The largest distance from the law on 2000 random parameters and the ends.
template <class Curve>
double distance(law const *f, double a, double b, Curve const &at) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(a, b);
    double worst = 0;
    for (int i = 0; i < 2002; ++i) {
        double const t = i == 0 ? a : i == 1 ? b : u(rng);
        worst = std::fmax(worst, (at(t) - f->evaluateR_P(t)).len());
    }
    return worst;
}

double elapsed_ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

std::string sci(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1e", v);
    return buf;
}

// A distance read back from a file, and whether it lies within the tolerance of the fit.
std::string within_text(double d, double tol) {
    return sci(d) + (d >= 0 && d <= tol ? " ok" : " FAILED");
}

ZEM::position at_curve(sw_curve const &c, double t) {
    ZEM::position p;
    c.eval(t, &p);
    return p;
}

// OCCT: a B-spline through n dense samples within tol, of degree 3 up to max_degree, C2.
Handle(Geom_BSplineCurve)
    occt_fit(law const *f, double a, double b, double tol, int n, int max_degree) {
    TColgp_Array1OfPnt pts(1, n);
    TColStd_Array1OfReal params(1, n);
    for (int i = 1; i <= n; ++i) {
        double const t = a + (b - a) * (i - 1) / (n - 1);
        ZEM::position const p = f->evaluateR_P(t);
        pts.SetValue(i, gp_Pnt(p.x(), p.y(), p.z()));
        params.SetValue(i, t);
    }
    GeomAPI_PointsToBSpline fit(pts, params, 3, max_degree, GeomAbs_C2, tol);
    if (!fit.IsDone()) return nullptr;
    return fit.Curve();
}

// The same curve as OCCT's B-spline: distinct knots with their multiplicities.
Handle(Geom_BSplineCurve) occt_curve(sw_curve const &c) {
    int const K = c.get_K();
    TColgp_Array1OfPnt poles(1, K);
    for (int i = 0; i < K; ++i) {
        double p[3];
        c.get_control_point(i, p);
        poles.SetValue(i + 1, gp_Pnt(p[0], p[1], p[2]));
    }
    std::vector<double> knots;
    std::vector<int> mults;
    double const *k = c.get_knot_vector();
    for (int i = 0; i < c.get_num_knots(); ++i) {
        if (!knots.empty() && k[i] == knots.back()) {
            ++mults.back();
        } else {
            knots.push_back(k[i]);
            mults.push_back(1);
        }
    }
    TColStd_Array1OfReal kn(1, static_cast<int>(knots.size()));
    TColStd_Array1OfInteger mu(1, static_cast<int>(knots.size()));
    for (std::size_t i = 0; i < knots.size(); ++i) {
        kn.SetValue(static_cast<int>(i) + 1, knots[i]);
        mu.SetValue(static_cast<int>(i) + 1, mults[i]);
    }
    return new Geom_BSplineCurve(poles, kn, mu, c.get_degree());
}

// The largest distance of the curve of the shape's first edge from the law, at the curve's own
// parameters; negative when there is none.
double first_edge_distance(TopoDS_Shape const &shape, law const *f) {
    TopExp_Explorer ex(shape, TopAbs_EDGE);
    if (!ex.More()) return -1;
    double first = 0, last = 0;
    Handle(Geom_Curve) const curve = BRep_Tool::Curve(TopoDS::Edge(ex.Current()), first, last);
    if (curve.IsNull()) return -1;
    return distance(f, first, last, [&curve](double t) {
        gp_Pnt const p = curve->Value(t);
        return ZEM::position(p.X(), p.Y(), p.Z());
    });
}

// Reads an IGES or STEP file back with OCCT and measures its first edge against the law.
double iges_round_trip(std::string const &path, law const *f) {
    IGESControl_Reader reader;
    if (reader.ReadFile(path.c_str()) != IFSelect_RetDone) return -1;
    reader.TransferRoots();
    return first_edge_distance(reader.OneShape(), f);
}

double step_round_trip(std::string const &path, law const *f) {
    STEPControl_Reader reader;
    if (reader.ReadFile(path.c_str()) != IFSelect_RetDone) return -1;
    reader.TransferRoots();
    return first_edge_distance(reader.OneShape(), f);
}

// The curve written as an IGES and as a STEP file and each read back: their distances from f.
std::pair<double, double> written_and_read_back(sw_curve const &c, law const *f,
                                                std::string const &label) {
    std::string const name = "/tmp/law_bench_" + label;
    iges_writer w(name.substr(5) + ".igs");
    add_iges_curve(w, c);
    w.write(name + ".igs");
    step_writer sw(name.substr(5) + ".stp");
    add_step_curve(sw, c, label);
    sw.write(name + ".stp");
    std::pair<double, double> const out = {iges_round_trip(name + ".igs", f),
                                           step_round_trip(name + ".stp", f)};
    std::remove((name + ".igs").c_str());
    std::remove((name + ".stp").c_str());
    return out;
}

std::string occt_distance_text(law const *f, double a, double b, Handle(Geom_BSplineCurve) const &o,
                               double *d_out = nullptr) {
    double const d = distance(f, a, b, [&o](double t) {
        gp_Pnt const p = o->Value(t);
        return ZEM::position(p.X(), p.Y(), p.Z());
    });
    if (d_out) *d_out = d;
    int knots = 0;
    for (int i = 1; i <= o->NbKnots(); ++i) knots += o->Multiplicity(i);
    return std::to_string(o->NbPoles()) + " / " + std::to_string(knots) + " / " + sci(d);
}

// OCCT's cubic held to the tolerance on the same measure as the library: its own tolerance
// halved until the distance from the law stays within tol (at most four times).
Handle(Geom_BSplineCurve) occt_cubic_within(law const *f, double a, double b, double tol) {
    Handle(Geom_BSplineCurve) o;
    for (int k = 0; k < 5; ++k) {
        o = occt_fit(f, a, b, tol / (1 << k), 1000, 3);
        if (o.IsNull()) return o;
        double const d = distance(f, a, b, [&o](double t) {
            gp_Pnt const p = o->Value(t);
            return ZEM::position(p.X(), p.Y(), p.Z());
        });
        if (d <= tol) break;
    }
    return o;
}

}  // namespace

std::string fitting_section() {
    std::ostringstream out;
    out << "## Fitting laws by splines\n\n"
           "`law_to_sw_curve_in_pieces` (`law_to_sw_curve` between singular points) with each knot "
           "removal strategy (0: fit to tol/2, remove knots "
           "within tolerance; 1: keep every knot; 2: remove every removable knot), with the law's "
           "exact derivatives where it has them (as `law fit` fits; the tangent break has none and "
           "takes differences), beside OCCT's `GeomAPI_PointsToBSpline` through 1000 evenly "
           "spaced samples of the same law at the same tolerance: of degree 3 (C2), the equal "
           "degree; of degree 3 held to the tolerance (its own tolerance halved until its "
           "distance, measured as the library's is, stays within it); and of degree 3 to 8. "
           "Points: control points; knots: the knot vector with multiplicities; distance: the "
           "largest distance from the law on 2000 random parameters (not the fitting's own "
           "samples); time: one fit, wall clock.\n\n";
    markdown_table table({"law", "tol", "strategy 0: points / knots / distance / time",
                          "strategy 1", "strategy 2", "OCCT degree 3", "OCCT degree 3 within tol",
                          "OCCT degree 3 to 8", "points, strategy 0 / OCCT degree 3"});
    std::vector<double> ratios, ratios_within;
    std::vector<std::pair<std::string, double>> iges_rows, step_rows;
    std::unique_ptr<sw_curve> eval_curve;
    for (fitting_case const &fl : fitting_set()) {
        law_ptr const f = fl.make();
        for (double tol : {1e-3, 1e-5, 1e-7}) {
            std::vector<std::string> row = {fl.name, sci(tol)};
            int ours = 0;
            for (int s = 0; s < 3; ++s) {
                std::unique_ptr<sw_curve> c;
                auto const start = std::chrono::steady_clock::now();
                fit_with_best_derivatives([&] {
                    c.reset(law_to_sw_curve_in_pieces(f.get(), ZEM::interval(fl.a, fl.b), tol,
                                                      static_cast<knot_removal_strategy>(s)));
                });
                double const ms = elapsed_ms(start);
                double const d =
                    distance(f.get(), fl.a, fl.b, [&c](double t) { return at_curve(*c, t); });
                row.push_back(std::to_string(c->get_K()) + " / " +
                              std::to_string(c->get_num_knots()) + " / " + sci(d) + " / " +
                              format_fixed(ms, 2) + " ms");
                if (s == 0) ours = c->get_K();
                if (s == 0 && tol == 1e-5) {
                    auto const [iges, step] = written_and_read_back(*c, f.get(), fl.name);
                    iges_rows.emplace_back(fl.name, iges);
                    step_rows.emplace_back(fl.name, step);
                }
                if (s == 0 && tol == 1e-7 && std::string(fl.name) == "helix")
                    eval_curve = std::move(c);
            }
            Handle(Geom_BSplineCurve) const cubic = occt_fit(f.get(), fl.a, fl.b, tol, 1000, 3);
            Handle(Geom_BSplineCurve) const within = occt_cubic_within(f.get(), fl.a, fl.b, tol);
            row.push_back(cubic.IsNull() ? "not done"
                                         : occt_distance_text(f.get(), fl.a, fl.b, cubic));
            double within_d = 0;
            row.push_back(within.IsNull()
                              ? "not done"
                              : occt_distance_text(f.get(), fl.a, fl.b, within, &within_d));
            auto const start = std::chrono::steady_clock::now();
            Handle(Geom_BSplineCurve) const o = occt_fit(f.get(), fl.a, fl.b, tol, 1000, 8);
            double const ms = elapsed_ms(start);
            row.push_back(o.IsNull() ? "not done"
                                     : occt_distance_text(f.get(), fl.a, fl.b, o) + " / " +
                                           format_fixed(ms, 2) + " ms");
            std::string ratio = "n/a";
            if (!cubic.IsNull()) {
                ratios.push_back(double(ours) / cubic->NbPoles());
                ratio = format_ratio(ratios.back());
            }
            if (!within.IsNull() && within_d <= tol) {
                ratios_within.push_back(double(ours) / within->NbPoles());
                ratio += " (" + format_ratio(ratios_within.back()) + " within tol)";
            }
            row.push_back(ratio);
            table.add_row(row);
        }
    }
    out << table.str() << "\n";
    out << "Control points of strategy 0 against OCCT's at degree 3, geometric mean over the "
           "table: **"
        << format_ratio(geometric_mean(ratios)) << "** against OCCT at the same tolerance, **"
        << format_ratio(geometric_mean(ratios_within))
        << "** against OCCT held within it (rows where it gets there).\n\n";

    out << "IGES and STEP files written by the library (strategy 0, tol 1e-5) and read back with "
           "OCCT's `IGESControl_Reader` and `STEPControl_Reader`: the largest distance of the "
           "curve read from the law, at the curve's own parameters, and whether it is within the "
           "tolerance (negative: nothing read). The last row is no fit but a rational spline: "
           "the quarter circle as a rational quadratic with a knot inserted (weights other than "
           "1, an interior knot), which holds its law exactly and is held to 1e-9.\n\n";
    markdown_table files({"law", "IGES read back", "STEP read back"});
    for (std::size_t i = 0; i < iges_rows.size(); ++i)
        files.add_row({iges_rows[i].first, within_text(iges_rows[i].second, 1e-5),
                       within_text(step_rows[i].second, 1e-5)});
    rational_curve_case const arc = rational_arc();
    auto const [arc_iges, arc_step] = written_and_read_back(*arc.curve, arc.f.get(), "arc");
    files.add_row({arc.name, within_text(arc_iges, 1e-9), within_text(arc_step, 1e-9)});
    out << files.str() << "\n";

    // Evaluation speed on one curve: the helix fitted to 1e-7.
    sw_curve const &c = *eval_curve;
    Handle(Geom_BSplineCurve) const o = occt_curve(c);
    double const a = c.get_min_t(), b = c.get_max_t();
    std::vector<double> ts;
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(a, b);
    for (int i = 0; i < 1024; ++i) ts.push_back(u(rng));
    double agree = 0;
    for (double t : ts) {
        gp_Pnt const p = o->Value(t);
        agree = std::fmax(agree, (at_curve(c, t) - ZEM::position(p.X(), p.Y(), p.Z())).len());
    }
    auto loop = [&ts](auto body) {
        return [&ts, body](benchmark::State &state) {
            std::size_t i = 0;
            for (auto _ : state) {
                body(ts[i++ & 1023]);
            }
        };
    };
    auto const times = run_group("fitting-eval", {{"sw position", loop([&c](double t) {
                                                       ZEM::position p;
                                                       c.eval(t, &p);
                                                       keep(p);
                                                   })},
                                                  {"sw d2", loop([&c](double t) {
                                                       ZEM::position p;
                                                       ZEM::vector d1, d2;
                                                       c.eval(t, &p, &d1, &d2);
                                                       keep(p);
                                                       keep(d2);
                                                   })},
                                                  {"occt D0", loop([&o](double t) {
                                                       gp_Pnt p;
                                                       o->D0(t, p);
                                                       keep(p);
                                                   })},
                                                  {"occt D2", loop([&o](double t) {
                                                       gp_Pnt p;
                                                       gp_Vec v1, v2;
                                                       o->D2(t, p, v1, v2);
                                                       keep(p);
                                                       keep(v2);
                                                   })}});
    auto text = [&times](char const *name) {
        auto const it = times.find(name);
        return it != times.end() && it->second.ok() ? format_seconds(it->second.seconds)
                                                    : std::string("failed");
    };
    out << "Evaluation of one curve, the helix fitted to 1e-7 (" << c.get_K()
        << " control points, cubic), at 1024 random parameters in turn; both libraries give the "
           "same points to "
        << sci(agree) << ".\n\n";
    markdown_table speed({"", "position", "position and two derivatives"});
    speed.add_row({"`sw_curve::eval`", text("sw position"), text("sw d2")});
    speed.add_row({"OCCT `Geom_BSplineCurve::D0` / `D2`", text("occt D0"), text("occt D2")});
    out << speed.str();
    return out.str();
}

}  // namespace bench
