#include <law/ops/comparison_laws.h>

#include <algorithm>

#include <law/eval/tape_emit.h>
#include <law/lang/law_list.h>
#include <law/lang/plain_code.h>

namespace {
law_list less_than_registration(new less_than_law(nullptr, nullptr));
law_list greater_than_registration(new greater_than_law(nullptr, nullptr));
law_list less_equal_registration(new less_than_or_equal_law(nullptr, nullptr));
law_list greater_equal_registration(new greater_than_or_equal_law(nullptr, nullptr));
law_list equal_registration(new equal_law(nullptr, nullptr));
law_list not_equal_registration(new not_equal_law(nullptr, nullptr));
law_list and_registration(new and_law(nullptr, nullptr));
law_list or_registration(new or_law(nullptr, nullptr));

// One row per truth-valued class, its truth of two values written once (for evaluation and as
// the text of plain code) with the tape's operation. Truth values come from exact comparisons:
// a NaN makes every ordered comparison and = false. AND and OR short-circuit in evaluate and in
// the tape (their truth here is for plain code, which evaluates both sides: no value changes).
struct truth_row {
    int id;
    bool (*holds)(double a, double b);
    char const *text;
    tape_code code;
};
#define LAW_TRUTH(...) [](double a, double b) -> bool { return __VA_ARGS__; }, #__VA_ARGS__
constexpr truth_row truth_rows[] = {
    {law_id::less_than_law, LAW_TRUTH(a < b), tape_code::lt},
    {law_id::greater_than_law, LAW_TRUTH(a > b), tape_code::gt},
    {law_id::less_than_or_equal_law, LAW_TRUTH(a <= b), tape_code::le},
    {law_id::greater_than_or_equal_law, LAW_TRUTH(a >= b), tape_code::ge},
    {law_id::equal_law, LAW_TRUTH(a == b), tape_code::eq},
    {law_id::not_equal_law, LAW_TRUTH(a != b), tape_code::ne},
    {law_id::and_law, LAW_TRUTH(a != 0 && b != 0), tape_code::jump_if_zero},
    {law_id::or_law, LAW_TRUTH(a != 0 || b != 0), tape_code::jump_unless_zero},
};
#undef LAW_TRUTH

constexpr truth_row const *find_truth_row(int id) {
    auto const *const row = std::find_if(std::begin(truth_rows), std::end(truth_rows),
                                         [id](truth_row const &r) { return r.id == id; });
    return row == std::end(truth_rows) ? nullptr : row;
}
constexpr truth_row const &truth_row_of(int id) { return *find_truth_row(id); }
}  // namespace

int comparison_law::date() const { return std::max(30100, binary_law::date()); }

// The tree walk, out of line so that evaluating through the tape stays short.
template <int Id>
[[gnu::noinline]] void walk_compare_law(compare_law<Id> const *self, double const *x, double *y) {
    law const *a = self->fleft(), *b = self->fright();
    if (!a || !b) law_error(LAW_EVAL);
    double const va = self->left_value(x);
    if constexpr (Id == law_id::and_law) {
        // B is not evaluated when A already decides: its errors cannot occur then.
        if (va == 0) {
            y[0] = 0;
            return;
        }
        double const vb = a == b ? va : self->right_value(x);
        y[0] = vb != 0 ? 1 : 0;
    } else if constexpr (Id == law_id::or_law) {
        if (va != 0) {
            y[0] = 1;
            return;
        }
        y[0] = a != b && self->right_value(x) != 0 ? 1 : 0;
    } else {
        y[0] = truth_row_of(Id).holds(va, self->right_value(x)) ? 1 : 0;
    }
}

template <int Id>
void compare_law<Id>::evaluate(double const *x, double *y) const {
    if (this->taped_evaluate(x, y)) return;
    walk_compare_law(this, x, y);
}

namespace {
// A right side of AND or OR of at most this many plain operations runs at every point, and the
// truths combine without a branch: over a block of points a branch costs more than they do.
constexpr std::size_t unbranched_operations = 8;

// AND and OR as evaluate takes them: the right side only runs when the left does not decide,
// unless running it anyway changes nothing.
tape_values emit_short_circuit(binary_law const *l, bool is_and, tape_builder &b,
                               tape_point const &at) {
    tape_values const left = b.values_of(l->fleft(), at);
    int const a = b.first(left);
    // A side of more laws than that is not tried: it seldom compiles to so few operations, and
    // the try compiles it twice.
    if (l->fleft() != l->fright() && l->fright()->tree_size() <= unbranched_operations) {
        auto const mark = b.mark();
        tape_values const right = b.values_of(l->fright(), at);
        if (b.plain_since(mark, unbranched_operations)) {
            // A truth-valued side is 1 or 0 already.
            auto const truth = [&b](law const *side, int slot) {
                return find_truth_row(side->type()) ? slot : b.op(tape_code::truth, slot);
            };
            int const truths[2] = {truth(l->fleft(), a), truth(l->fright(), b.first(right))};
            // Truths are 1 or 0: their product is AND, the larger OR.
            tape_code const both = is_and ? tape_code::mul : tape_code::larger;
            return {{b.op(both, truths[0], truths[1])}, left.pure && right.pure};
        }
        b.undo(mark);
    }
    int const result = b.reserve_value();
    b.copy_to(result, b.constant(is_and ? 0 : 1));
    int const decided = b.jump(truth_row_of(l->type()).code, a);
    auto const mark = b.mark();
    bool pure = left.pure;
    if (l->fleft() != l->fright()) {
        tape_values const right = b.values_of(l->fright(), at);
        b.copy_to(result, b.op(tape_code::truth, b.first(right)));
        pure = pure && right.pure;
    } else if (is_and) {
        b.copy_to(result, b.op(tape_code::truth, a));
    } else {
        b.copy_to(result, b.constant(0));  // A OR A with A false
    }
    b.forget(mark);
    b.land(decided);
    return {{result}, pure};
}
}  // namespace

template <int Id>
tape_values compare_law<Id>::emit_tape(tape_builder &b, tape_point const &at) const {
    if constexpr (Id == law_id::and_law || Id == law_id::or_law) {
        if (!this->fleft() || !this->fright()) return b.call_law(this, at);
        return emit_short_circuit(this, Id == law_id::and_law, b, at);
    } else {
        return b.call_law(this, at);  // the sides are not scalars
    }
}

template <int Id>
bool compare_law<Id>::compiles_as_operation(side_operation &f) const {
    if constexpr (Id == law_id::and_law || Id == law_id::or_law) {
        return false;  // short-circuit branches
    } else {
        return binary_side_operation(this, f, [](tape_builder &t, law const *, int l, int r) {
            return t.op(truth_row_of(Id).code, l, r);
        });
    }
}

namespace {
std::string truth_text(int id) {
    return plain_text(truth_row_of(id).text, {{"a", "@1"}, {"b", "@2"}}) + " ? 1.0 : 0.0";
}
}  // namespace

template <int Id>
bool compare_law<Id>::plain_form_of(plain_form &f) const {
    if constexpr (Id == law_id::and_law || Id == law_id::or_law) {
        if (!this->fleft() || !this->fright()) return false;
        f.members = {this->fleft(), this->fright()};  // their first values, as in evaluate
        f.text = truth_text(Id);
        return true;
    } else {
        return scalar_binary_plain_form(this, f, truth_text(Id));
    }
}

template class compare_law<law_id::less_than_law>;
template class compare_law<law_id::greater_than_law>;
template class compare_law<law_id::less_than_or_equal_law>;
template class compare_law<law_id::greater_than_or_equal_law>;
template class compare_law<law_id::equal_law>;
template class compare_law<law_id::not_equal_law>;
template class compare_law<law_id::and_law>;
template class compare_law<law_id::or_law>;
