// The interpreter: one point through the operations of a tape, over an array of its values.
#include <law/eval/eval_tape.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include <law/core/eval_buffer.h>
#include <law/eval/slot_space.h>

[[gnu::always_inline]] inline bool eval_tape::run_in(double *const v, double const *x,
                                                     double *y) const {
    if (!constants_.empty()) std::memcpy(v, constants_.data(), constants_.size() * sizeof(double));
    for (input const &in : inputs_) v[in.slot] = x[in.index];
    tape_op const *const first = ops_.data();
    tape_op const *const end = first + ops_.size();
    for (tape_op const *p = first; p != end; ++p) {
        tape_op const &op = *p;
        switch (op.code) {
#define TAPE_OPERANDS_ab double const a = v[op.a], b = v[op.b];
#define TAPE_OPERANDS_a double const a = v[op.a];
#define TAPE_OPERANDS_none
#define TAPE_RUN_value(operands, value, check, checked)                  \
    {                                                                    \
        TAPE_OPERANDS_##operands [[maybe_unused]] double const k = op.k; \
        if (fails_check(tape_check::check, checked)) return false;       \
        v[op.out] = value;                                               \
        break;                                                           \
    }
#define TAPE_RUN_copy(operands, value, check, checked) \
    {                                                  \
        TAPE_OPERANDS_##operands v[op.out] = value;    \
        break;                                         \
    }
#define TAPE_RUN_jump(operands, value, check, checked)            \
    {                                                             \
        TAPE_OPERANDS_##operands if (value) p = first + op.b - 1; \
        break;                                                    \
    }
#define TAPE_RUN_call(operands, value, check, checked) \
    evaluate_callee(op, v, x);                         \
    break;
#define TAPE_RUNNER TAPE_RUN_
#include <law/eval/tape_cases.inc>
#undef TAPE_RUN_call
#undef TAPE_RUN_jump
#undef TAPE_RUN_copy
#undef TAPE_RUN_value
#undef TAPE_OPERANDS_none
#undef TAPE_OPERANDS_a
#undef TAPE_OPERANDS_ab
            default:
                __builtin_unreachable();
        }
    }
    for (std::size_t k = 0; k < outputs_.size(); ++k) y[k] = v[outputs_[k]];
    return true;
}

// A law's own evaluate at the operation's point, into its values.
void eval_tape::evaluate_callee(tape_op const &op, double *v, double const *x) const {
    double *const out = v + op.out;
    out[0] = 0;  // a law of no values leaves its first value at 0
    if (op.a < 0) return op.callee->evaluate(x, out);
    std::vector<int> const &slots = points_[static_cast<std::size_t>(op.a)];
    int const n = static_cast<int>(slots.size());
    eval_buffer at(n);
    for (int i = 0; i < n; ++i) at[i] = v[slots[static_cast<std::size_t>(i)]];
    op.callee->evaluate(at, out);
}

bool eval_tape::interpreted(law const *owner, double const *x, double *y, law_code const *code) {
    if (static_cast<eval_tape const *>(code)->interpret(x, y)) return true;
    if (owner) give_back(owner, x, y);
    return false;
}

bool eval_tape::interpret(double const *x, double *y) const {
    if (slot_count_ > small_run) [[unlikely]]
        return run_large(x, y);
    double v[small_run];
    return run_in(v, x, y);
}

bool eval_tape::run_large(double const *x, double *y) const {
    slot_space space(static_cast<std::size_t>(slot_count_));
    return run_in(space.data(), x, y);
}

void eval_tape::compile_machine_code(law const *named) {
    jit_ = tape_jit::compile(*this, named);
    if (jit_) entry_ = jit_.entry();
}

void eval_tape::pair_sines() {
    tape_fn1 const sin_fn = &::sin, cos_fn = &::cos;
    std::vector<sine_pair> pairs(ops_.size());
    std::vector<std::size_t> buffer_free_after;  // the second operation of each buffer's last pair
    // The sine or cosine still waiting for its other half, by the slot of its argument; one pass,
    // since a slot written again closes what waits on it.
    std::unordered_map<int, std::size_t> waiting;
    for (std::size_t i = 0; i < ops_.size(); ++i) {
        tape_op const &op = ops_[i];
        bool const trigonometric =
            op.code == tape_code::call1 && (op.f1 == sin_fn || op.f1 == cos_fn);
        if (trigonometric) {
            auto const it = waiting.find(op.a);
            if (it == waiting.end()) {
                waiting.emplace(op.a, i);
            } else if (ops_[it->second].f1 != op.f1) {
                std::size_t const first = it->second;
                auto const free = std::find_if(buffer_free_after.begin(), buffer_free_after.end(),
                                               [first](std::size_t end) { return end < first; });
                int const buffer = static_cast<int>(free - buffer_free_after.begin());
                if (free == buffer_free_after.end())
                    buffer_free_after.push_back(i);
                else
                    *free = i;
                pairs[first] = {static_cast<int>(i), buffer};
                pairs[i] = {static_cast<int>(first), buffer};
                waiting.erase(it);
            }
        }
        for_each_slot(op, [&](int const &slot, bool result) {
            if (result) waiting.erase(slot);
        });
    }
    pair_buffers_ = static_cast<int>(buffer_free_after.size());
    if (pair_buffers_ > 0) pairs_ = std::move(pairs);
}
