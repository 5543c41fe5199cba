// The law's side of compiled evaluation: when a law compiles, how it runs its code, and the
// engine's hooks. The engine itself is law/eval.
#include <law/core/law_engine.h>

#include <algorithm>
#include <exception>
#include <memory>

#include <law/core/deep_tree.h>

constinit thread_local law const *tape_walker = nullptr;

engine_hooks &engine() {
    static engine_hooks hooks;
    return hooks;
}

namespace {
// Outside evaluations before a law compiles; and the mark of a law that has tried.
constexpr std::uint16_t compile_threshold = 16;
constexpr std::uint16_t compile_tried = 0xffff;

// A law that cannot be compiled is evaluated as before, whatever stopped the compiler.
std::unique_ptr<law_code> compile_quietly(law const *l) {
    try {
        return std::unique_ptr<law_code>(engine().compile(l));
    } catch (std::exception const &) {
        return nullptr;
    }
}
}  // namespace

tape_values law::emit_tape(tape_builder &, tape_point const &) const { return {{}, false}; }

bool law::compiles_as_operation(side_operation &) const { return false; }

law_code const *law::tape_now() const {
    if (law_code const *c = code_.load(std::memory_order_acquire)) return c;
    if (outside_calls_.exchange(compile_tried, std::memory_order_relaxed) == compile_tried)
        return nullptr;
    if (std::unique_ptr<law_code> built = compile_quietly(this)) {
        law_code const *expected = nullptr;
        if (code_.compare_exchange_strong(expected, built.get(), std::memory_order_acq_rel))
            built.release();
    }
    return code_.load(std::memory_order_acquire);
}

void law::evaluate_by_tape(double const *x, double *y) const {
    std::uint16_t const calls = outside_calls_.load(std::memory_order_relaxed);
    // A deep law compiles at once: walking its tree would take a stack as deep as the tree.
    if (calls < compile_threshold && height_ < deep_law_height && tree_size_ < wide_law_size) {
        outside_calls_.store(calls + 1, std::memory_order_relaxed);
    } else if (calls != compile_tried) {
        if (law_code const *c = tape_now()) return c->run_for(this, x, y);
    }
    evaluate_walking(x, y);
}

void law::evaluate_walking(double const *x, double *y) const {
    struct walking {
        law const *const before = tape_walker;
        explicit walking(law const *l) { tape_walker = l; }
        ~walking() { tape_walker = before; }
    } const walk(this);
    evaluate(x, y);
}

void law_code::give_back(law const *owner, double const *x, double *y) {
    if (owner->height_ >= deep_law_height) {
        given_back_scope const scope(
            owner, x,
            [inputs = owner->take_dim()](law const *l) {
                return l->height_ < deep_law_height || l->take_dim() > inputs;
            },
            [x](law const *l) {
                std::vector<double> values(static_cast<std::size_t>(std::max(l->return_dim(), 1)));
                l->evaluate_walking(x, values.data());
                return values;
            });
        return owner->evaluate_walking(x, y);
    }
    owner->evaluate_walking(x, y);
}

// ---------------------------------------------------------------- many points

void law::evaluate_many(double const *points, double *values, int n, int *errors) const {
    if (n <= 0) return;
    // One point is already in the layout evaluate takes.
    if (n == 1 && !errors && points && return_dim() > 0) return evaluate(points, values);
    engine().evaluate_many(this, tape_now(), {points, nullptr, values, nullptr, errors, n});
}

void law::evaluate_many(double const *const *inputs, double *const *outputs, int n,
                        int *errors) const {
    if (n <= 0) return;
    engine().evaluate_many(this, tape_now(), {nullptr, inputs, nullptr, outputs, errors, n});
}

std::vector<double> law::evaluate_many(std::vector<double> const &xs) const {
    if (take_dim() > 1 || return_dim() != 1) law_error(LAW_EVALV);
    std::vector<double> ys(xs.size());
    evaluate_many(xs.data(), ys.data(), static_cast<int>(xs.size()));
    return ys;
}
