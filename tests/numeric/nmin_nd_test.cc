// The many-variable minimiser on functions whose minima are known in closed form or are computed
// here another way: curved valleys, a coupled quadratic solved by elimination, minima on the edge
// of a constraint, and the work it takes.
#include <cmath>
#include <vector>

#include <law/numeric/nmin_nd.h>
#include <law/numeric/root_settings.h>

#include "numeric_test_util.h"

namespace {

class MinimiseND : public LawTest {};

// Counts the evaluations of the law it wraps.
class counted : public law {
  public:
    counted(law const *inner, long *count) : inner_(share(inner)), count_(count) {}
    char const *class_name() const override { return "counted"; }
    void evaluate(double const *x, double *y) const override {
        ++*count_;
        inner_->evaluate(x, y);
    }

  protected:
    int take_size() const override { return inner_->take_dim(); }
    int return_size() const override { return 1; }

  private:
    law_ptr inner_;
    long *count_;
};

struct outcome {
    std::vector<double> x;
    double value = 0;
    long evaluations = 0;
};

outcome minimise(char const *text, std::vector<double> start, double target,
                 char const *constraint = nullptr, double step = 0.1) {
    law_ptr const f = parse_law(text);
    law_ptr const inside = constraint ? parse_law(constraint) : law_ptr();
    outcome o;
    law_ptr const watched = make_law<counted>(f.get(), &o.evaluations);
    int const n = static_cast<int>(start.size());
    nvector from(start.data(), n), steps(n);
    for (int i = 0; i < n; ++i) steps[i] = step;
    nvector const x =
        NminND(watched.get(), inside.get(), from, steps, &o.value, nullptr, target, nullptr);
    o.x.assign(x.coordinates(), x.coordinates() + n);
    return o;
}

void expect_near(std::vector<double> const &x, std::vector<double> const &want, double tol,
                 char const *what) {
    ASSERT_EQ(x.size(), want.size()) << what;
    for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(x[i], want[i], tol) << what << " " << i;
}

constexpr char rosenbrock[] = "100*(Y-X^2)^2+(1-X)^2";
constexpr char beale[] = "(1.5-X+X*Y)^2+(2.25-X+X*Y^2)^2+(2.625-X+X*Y^3)^2";
constexpr char booth[] = "(X+2*Y-7)^2+(2*X+Y-5)^2";

// Along a curved valley the search must not crawl: GSL's Nelder-Mead simplex reaches a value of
// 1e-8 on these in 154, 84 and 82 evaluations; a compass search alone takes 17,438 on the first.
TEST_F(MinimiseND, CurvedValleysCostHundredsOfEvaluations) {
    struct {
        char const *text;
        std::vector<double> start, minimum;
        long most;
    } const cases[] = {
        {rosenbrock, {-1.2, 1}, {1, 1}, 3 * 154},
        {beale, {1, 1}, {3, 0.5}, 3 * 84},
        {booth, {0, 0}, {1, 3}, 3 * 82},
        {rosenbrock, {-3, -4}, {1, 1}, 600},
    };
    for (auto const &c : cases) {
        outcome const o = minimise(c.text, c.start, 1e-8);
        EXPECT_LT(o.value, 1e-8) << c.text;
        EXPECT_LE(o.evaluations, c.most) << c.text;
        expect_near(o.x, c.minimum, 1e-3, c.text);
    }
}

// Without a target the search runs until its steps vanish and ends on the minimum itself, within
// the evaluation limit.
TEST_F(MinimiseND, RunsToTheMinimumItselfWithoutATarget) {
    for (auto const &[text, start, minimum] :
         {std::tuple{rosenbrock, std::vector<double>{-1.2, 1}, std::vector<double>{1, 1}},
          std::tuple{beale, std::vector<double>{1, 1}, std::vector<double>{3, 0.5}},
          std::tuple{"100*(X2-X1^2)^2+(1-X1)^2+100*(X3-X2^2)^2+(1-X2)^2+100*(X4-X3^2)^2+(1-X3)^2",
                     std::vector<double>{-1.2, 1, -1.2, 1}, std::vector<double>{1, 1, 1, 1}}}) {
        outcome const o = minimise(text, start, 0);
        expect_near(o.x, minimum, 1e-9, text);
        EXPECT_LT(o.evaluations, root_tols().root_iter_max) << text;
    }
}

// sum_k k (x_k - k)^2 + (x1 - x2)(x3 - x4): the gradient vanishes where H x = b, solved here by
// Gaussian elimination.
TEST_F(MinimiseND, CoupledQuadraticInFiveVariables) {
    int const n = 5;
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
    for (int k = 0; k < n; ++k) {
        a[k][k] = 2 * (k + 1);
        a[k][n] = 2.0 * (k + 1) * (k + 1);
    }
    a[0][2] = a[2][0] = a[1][3] = a[3][1] = 1;
    a[0][3] = a[3][0] = a[1][2] = a[2][1] = -1;
    for (int c = 0; c < n; ++c)
        for (int r = c + 1; r < n; ++r) {
            double const m = a[r][c] / a[c][c];
            for (int k = c; k <= n; ++k) a[r][k] -= m * a[c][k];
        }
    std::vector<double> x(n);
    for (int r = n - 1; r >= 0; --r) {
        double s = a[r][n];
        for (int k = r + 1; k < n; ++k) s -= a[r][k] * x[k];
        x[r] = s / a[r][r];
    }
    outcome const o = minimise(
        "(X1-1)^2+2*(X2-2)^2+3*(X3-3)^2+4*(X4-4)^2+5*(X5-5)^2+(X1-X2)*(X3-X4)", {0, 0, 0, 0, 0}, 0);
    expect_near(o.x, x, 1e-7, "coupled quadratic");
}

// A minimum on the edge of the allowed region, where every compass trial outward is refused:
// the search slides along the edge to the nearest point to (3, 3).
TEST_F(MinimiseND, SlidesAlongTheEdgeOfTheConstraint) {
    double const r = std::sqrt(0.5);
    outcome const line = minimise("(X-3)^2+(Y-3)^2", {0, 0}, 0, "X+Y<=2");
    expect_near(line.x, {1, 1}, 1e-6, "half plane");
    EXPECT_LE(line.x[0] + line.x[1], 2);
    outcome const disc = minimise("(X-3)^2+(Y-3)^2", {0, 0}, 0, "X^2+Y^2<1");
    expect_near(disc.x, {r, r}, 1e-6, "disc");
    EXPECT_LT(disc.x[0] * disc.x[0] + disc.x[1] * disc.x[1], 1);
    EXPECT_NEAR(disc.value, 2 * (3 - r) * (3 - r), 1e-9);
}

// Kinks, flat floors and scales far from one leave it on the minimum all the same.
TEST_F(MinimiseND, KinksScalesAndFlatFloors) {
    expect_near(minimise("SQRT((X-1)^2+(Y-2)^2)", {0, 0}, 0).x, {1, 2}, 1e-9, "cone");
    expect_near(minimise("ABS(X-1)+ABS(Y+2)", {0, 0}, 0).x, {1, -2}, 1e-9, "kinks");
    expect_near(minimise("1E+8*((X-1)^2+(Y-2)^2)", {0, 0}, 0).x, {1, 2}, 1e-9, "steep");
    expect_near(minimise("1E-8*((X-1)^2+(Y-2)^2)", {0, 0}, 0).x, {1, 2}, 1e-6, "shallow");
    expect_near(minimise("X^2+1E+6*Y^2", {1, 1}, 0).x, {0, 0}, 1e-9, "narrow");
    outcome const floor = minimise("MAX(X^2+Y^2,1)", {3, 3}, 0);
    EXPECT_EQ(floor.value, 1);
    EXPECT_LE(floor.x[0] * floor.x[0] + floor.x[1] * floor.x[1], 1);
}

}  // namespace
