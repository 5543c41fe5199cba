// law fit2 and law plot2: what they print, and the IGES, STEP, OBJ and SVG files they write, read
// back by the format's own rules.
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "law_test.h"
#include "spline/spline_test_util.h"
#include "spline/step_reader.h"
#include "tool_runner.h"

namespace {

class ToolSurface : public LawTest {};

std::string slurp(std::string const &path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string temp_path(char const *name) { return std::string("/tmp/law-surface-") + name; }

ZEM::position sphere(double s, double t) {
    return {std::cos(s) * std::cos(t), std::sin(s) * std::cos(t), std::sin(t)};
}
char const sphere_law[] = "VEC(COS(X)*COS(Y),SIN(X)*COS(Y),SIN(Y))";

// The parameters of the file's one entity, read from columns 1-64 of the P lines.
std::vector<double> entity_parameters(std::string const &text) {
    std::string data;
    for (std::string const &line : lines_of(text))
        if (line.size() == 80 && line[72] == 'P') data += line.substr(0, 64);
    std::vector<double> out;
    std::stringstream in(data.substr(0, data.find(';')));
    for (std::string field; std::getline(in, field, ',');) out.push_back(std::stod(field));
    return out;
}

}  // namespace

TEST_F(ToolSurface, Fit2PrintsTheNetKnotsAndAccuracy) {
    tool_run const r = run_law({"fit2", "VEC(X,Y,X*Y)", "0", "1", "0", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> const lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "control net: 4 x 4");
    EXPECT_EQ(lines[1], "knots in s: 0 x4, 1 x4");
    EXPECT_EQ(lines[2], "knots in t: 0 x4, 2 x4");
    EXPECT_EQ(lines[3].rfind("accuracy: ", 0), 0u);
    EXPECT_LT(std::stod(lines[3].substr(10)), 1e-8);
    // x y is bicubic: the measured distance is small, on a 9 x 9 grid in the one patch.
    EXPECT_EQ(lines[4].rfind("measured: ", 0), 0u);
    EXPECT_LT(std::stod(lines[4].substr(10)), 1e-8);
    EXPECT_NE(lines[4].find("at 81 points"), std::string::npos) << lines[4];
    EXPECT_EQ(lines[5], "derivatives: exact");
    EXPECT_EQ(lines[6].rfind("time: ", 0), 0u);

    tool_run const flat = run_law({"fit2", "VEC(X,Y)", "0", "1", "0", "1"});
    EXPECT_EQ(flat.status, 1);
    EXPECT_NE(flat.err.find("laws of 2 inputs and 3 outputs"), std::string::npos) << flat.err;
    tool_run const empty = run_law({"fit2", "VEC(X,Y,X)", "1", "1", "0", "1"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("the box's S needs two different finite ends"), std::string::npos)
        << empty.err;
    tool_run const raising = run_law({"fit2", "VEC(X,Y,LN(X))", "-1", "1", "0", "1"});
    EXPECT_EQ(raising.status, 1);
    EXPECT_EQ(raising.out, "");
}

TEST_F(ToolSurface, IgesFileHoldsTheSurfaceAsEntity128) {
    std::string const path = temp_path("sphere.igs");
    tool_run const r =
        run_law({"fit2", sphere_law, "0", "1.5", "-1", "1", "--tol", "1e-4", "--iges", path});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string const text = slurp(path);
    // Fixed 80-column lines, sections in order, each numbered from 1.
    std::string order;
    int expected_number = 0;
    for (std::string const &line : lines_of(text)) {
        ASSERT_EQ(line.size(), 80u) << line;
        char const section = line[72];
        if (order.empty() || order.back() != section) {
            order += section;
            expected_number = 0;
        }
        EXPECT_EQ(std::stoi(line.substr(73)), ++expected_number) << line;
    }
    EXPECT_EQ(order, "SGDPT");
    // The parameters: type, upper indices, degrees, flags, knots, weights, points, range.
    std::vector<double> const p = entity_parameters(text);
    ASSERT_GT(p.size(), 10u);
    EXPECT_EQ(p[0], 128);
    int const K1 = int(p[1]) + 1, K2 = int(p[2]) + 1, M1 = int(p[3]), M2 = int(p[4]);
    EXPECT_EQ(M1, 3);
    EXPECT_EQ(M2, 3);
    EXPECT_EQ(p[7], 1);  // polynomial
    std::size_t const n1 = K1 + M1 + 1, n2 = K2 + M2 + 1, n = K1 * K2;
    ASSERT_EQ(p.size(), 10 + n1 + n2 + 4 * n + 4);
    reference_surface S{K1, K2, M1, M2, {}, {}, {}, {}};
    auto at = p.begin() + 10;
    S.knots1.assign(at, at + n1);
    S.knots2.assign(at + n1, at + n1 + n2);
    S.weights.assign(at + n1 + n2, at + n1 + n2 + n);
    for (std::size_t k = 0; k < n; ++k) {
        auto const c = at + n1 + n2 + n + 3 * k;
        S.points.push_back({c[0], c[1], c[2]});
    }
    EXPECT_EQ(p[p.size() - 4], 0);
    EXPECT_EQ(p[p.size() - 3], 1.5);
    EXPECT_EQ(p[p.size() - 2], -1);
    EXPECT_EQ(p[p.size() - 1], 1);
    // Read back by an independent evaluator, the surface is the sphere within the tolerance.
    std::mt19937 rng(128);
    std::uniform_real_distribution<double> s(0, 1.5), t(-1, 1);
    for (int k = 0; k < 500; ++k) {
        double const a = s(rng), b = t(rng);
        EXPECT_LT((S.eval(a, b) - sphere(a, b)).len(), 1e-4);
    }
    std::remove(path.c_str());
}

TEST_F(ToolSurface, ObjMeshLiesOnTheLaw) {
    std::string const path = temp_path("sphere.obj");
    tool_run const r =
        run_law({"fit2", sphere_law, "0", "1.5", "-1", "1", "--tol", "1e-4", "--obj", path});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<ZEM::position> vertices;
    std::vector<std::vector<int>> faces;
    for (std::string const &line : lines_of(slurp(path))) {
        std::stringstream in(line.substr(line.find(' ') + 1));
        if (line.rfind("v ", 0) == 0) {
            double x, y, z;
            in >> x >> y >> z;
            vertices.push_back({x, y, z});
        } else if (line.rfind("f ", 0) == 0) {
            std::vector<int> f(3);
            in >> f[0] >> f[1] >> f[2];
            faces.push_back(f);
        }
    }
    int const n = static_cast<int>(std::lround(std::sqrt(double(vertices.size()))));
    ASSERT_EQ(std::size_t(n * n), vertices.size());
    EXPECT_EQ(faces.size(), std::size_t(2 * (n - 1) * (n - 1)));
    for (std::vector<int> const &f : faces)
        for (int v : f) {
            EXPECT_GE(v, 1);
            EXPECT_LE(v, n * n);
        }
    // Vertex (a, b) of the grid is the surface at the evenly spaced parameters.
    for (int b = 0; b < n; ++b)
        for (int a = 0; a < n; ++a) {
            ZEM::position const want = sphere(1.5 * a / (n - 1), -1 + 2.0 * b / (n - 1));
            EXPECT_LT((vertices[b * n + a] - want).len(), 1e-4);
        }
    std::remove(path.c_str());
}

TEST_F(ToolSurface, Plot2DrawsShadedPatchesAndTheirErrors) {
    std::string const path = temp_path("waves.svg");
    tool_run const r = run_law({"plot2", "VEC(X,Y,SIN(X)*COS(Y))", "0", "3", "0", "3", "-o", path});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string const plain = slurp(path);
    EXPECT_EQ(plain.rfind("<svg", 0), 0u);
    EXPECT_NE(plain.find("<title>VEC(X,Y,SIN(X)*COS(Y))</title>"), std::string::npos);
    EXPECT_GT(std::count(plain.begin(), plain.end(), '\n'), 500);
    EXPECT_EQ(plain.find("fitting error"), std::string::npos);
    tool_run const e =
        run_law({"plot2", "VEC(X,Y,SIN(X)*COS(Y))", "0", "3", "0", "3", "--error", "-o", path});
    ASSERT_EQ(e.status, 0) << e.err;
    std::string const coloured = slurp(path);
    EXPECT_NE(coloured.find("fitting error"), std::string::npos);
    EXPECT_NE(coloured, plain);
    std::remove(path.c_str());
}

TEST_F(ToolSurface, Fit2WritesStepAndFitsASaddleByOnePatch) {
    // A saddle is a bicubic: with the law's exact derivatives one patch holds it.
    tool_run const r =
        run_law({"fit2", "VEC(X,Y,X^2-Y^2)", "-1", "1", "-1", "1", "--tol", "1e-7", "--step", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t const start = r.out.find("ISO-10303-21;");
    ASSERT_NE(start, std::string::npos);
    std::vector<std::string> const lines = lines_of(r.out.substr(0, start));
    EXPECT_EQ(lines.at(0), "control net: 4 x 4");
    EXPECT_EQ(lines.at(5), "derivatives: exact");
    step_test::file const f = step_test::read(r.out.substr(start));
    EXPECT_TRUE(step_test::dangling_refs(f).empty());
    auto const found = f.find("B_SPLINE_SURFACE_WITH_KNOTS");
    ASSERT_EQ(found.size(), 1u);
    auto const &p = f.at(found[0]).records[0].params;
    EXPECT_EQ(p[0].text, "LAWFIT2");
    ASSERT_EQ(p[3].items.size(), 4u);
    // The Bezier net of (x, y, x^2 - y^2) over [-1, 1]^2, row s by row t.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            auto const &xyz = f.at(p[3].items[i].items[j].ref).records[0].params[1].items;
            double const x = -1 + 2 * i / 3.0, y = -1 + 2 * j / 3.0;
            EXPECT_NEAR(xyz[0].real, x, 1e-14);
            EXPECT_NEAR(xyz[1].real, y, 1e-14);
            // Bezier points of x^2 over [-1, 1]: 1, -1/3, -1/3, 1 (and the same for y^2).
            double const bx = (i == 0 || i == 3) ? 1 : -1. / 3,
                         by = (j == 0 || j == 3) ? 1 : -1. / 3;
            EXPECT_NEAR(xyz[2].real, bx - by, 1e-14) << i << " " << j;
        }
}
