#include <law/ops/law_simplify.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <memory_resource>
#include <string>
#include <unordered_map>
#include <utility>

#include <law/base/output.h>
#include <law/base/stack_room.h>
#include <law/core/binary_law.h>
#include <law/core/counted_array.h>
#include <law/core/deep_tree.h>
#include <law/core/derivative_budget.h>
#include <law/core/eval_buffer.h>
#include <law/core/multiple_law.h>
#include <law/core/unary_law.h>
#include <law/core/upper_layers.h>
#include <law/ops/law_builders.h>
#include <law/ops/polynomial_forms.h>
#include <law/ops/srule.h>

namespace {

std::atomic<int> debug_level{0};

// The debug level while the scope lives, the one before it after.
class debug_level_scope {
  public:
    explicit debug_level_scope(int level)
        : outer_(debug_level.exchange(level, std::memory_order_relaxed)) {}
    ~debug_level_scope() { debug_level.store(outer_, std::memory_order_relaxed); }
    debug_level_scope(debug_level_scope const &) = delete;
    debug_level_scope &operator=(debug_level_scope const &) = delete;

  private:
    int outer_;
};

using text_ptr = vorn_ptr<char>;
text_ptr text_of(law const *l) { return text_ptr(l->string(law_symbol_default)); }

void print_law(char const *format, law const *l) {
    text_ptr const t = text_of(l);
    zem_printf(format, t.get());
}

// A zero vector of n components, recorded as its own simplified form: a member that must stay a
// vector keeps this form in later passes.
law_ptr zero_vector(int n) {
    law_array zeros(n);
    for (int i = 0; i < n; ++i) zeros.push(build::constant(0));
    law_ptr v = build::vector(zeros.data(), n);
    v->reset_simplify(v.get(), 2);
    return v;
}

// Whether l takes no input and is zero in every component (a law that raises is not).
bool zero_of_no_input(law const *l) {
    if (l->take_dim() != 0) return false;
    int const n = l->return_dim();
    eval_buffer y(n);
    double const x[1] = {0.0};
    try {
        l->evaluate(x, y.data());
    } catch (vorn_exception const &) {
        return false;
    }
    for (int i = 0; i < n; ++i)
        if (y[i] != 0.0) return false;
    return true;
}

// A member keeps its dimension: its law was built for it (BEND takes a point, not the number 0
// that stands for the zero vector at the root). A rule's result of another dimension becomes the
// zero vector when it is zero, else the member stays as it was.
law_ptr with_dimension_of(law const *member, law_ptr s) {
    int const n = member->return_dim();
    if (s.get() == member || s->return_dim() == n) return s;
    if (n > 1 && zero_of_no_input(s.get())) {
        bool const zero_vector_already =
            member->type() == law_id::vector_law && zero_of_no_input(member);
        return zero_vector_already ? share(member) : zero_vector(n);
    }
    return share(member);
}

// The member passed through the same pass, with the dimension it had.
law_ptr simplified_member(law *member, int mode) {
    int c = 0;
    law_ptr s = adopt(simplify_pass(member, c, mode));
    return member ? with_dimension_of(member, std::move(s)) : s;
}

// The list of the post phase, whose results each law keeps.
constexpr int post_mode = 2;

// The stack a pass leaves to the rules and what they call.
constexpr std::size_t stack_reserve = 512 * 1024;

// The laws the main phase rewrote during the outermost simplification of this thread, by the
// form it gave each. When the post phase rebuilds a law equal to the one the main phase started
// from, it hands back that law: a finished law met again (a cached derivative inside a larger
// one) then keeps its identity and its records instead of being copied at each meeting, which
// made nested derivatives quadratic. The original is held; a form that dies meanwhile leaves its
// key to a law at the same address, which is handed the original only when it is the same
// rebuild of it, and so is right either way.
class rewritten_laws {
  public:
    // One per simplification, nested ones sharing the outermost's laws. A law of fewer than 256
    // laws is not worth the bookkeeping: what it holds is rewritten in a few steps anyway.
    explicit rewritten_laws(law const *root)
        : outermost_(!current && root->tree_size() >= worth_keeping),
          outer_root_(std::exchange(root_, root)) {
        if (outermost_) current = this;
    }
    ~rewritten_laws() {
        root_ = outer_root_;
        if (outermost_) current = nullptr;
    }
    rewritten_laws(rewritten_laws const &) = delete;
    rewritten_laws &operator=(rewritten_laws const &) = delete;

    // A finished law (one a post pass made or passed) that the main phase rewrote. Laws still
    // being made are not kept: they are met once, and a big simplification of a fresh law would
    // pay for nothing.
    static void note(law *original, law *form) {
        if (current && form != original && original->passed_unchanged(finished_mark))
            current->original_of_.try_emplace(form, share(original));
    }
    // The post phase's result for input: form, or the law the main phase started from when it is
    // equal to form. Either is marked finished.
    static law *handed_back(law *input, law *form) {
        law *const out = original_for(input, form);
        if (out) out->mark_passed_unchanged(finished_mark);
        return out;
    }

  private:
    // The mark (among a law's pass marks, past those of the three lists) of a finished law.
    static constexpr int finished_mark = 3;

    static law *original_for(law *input, law *form) {
        if (!current || !form) return form;
        auto const it = current->original_of_.find(input);
        if (it == current->original_of_.end()) return form;
        law *const original = it->second.get();
        // The law being simplified is not its own result: it would be recorded as its own form,
        // which the main phase takes as final, though it is the post phase's.
        if (original == form || original == root_ || !same_rebuilt(original, form)) return form;
        form->remove();
        original->add();
        return original;
    }

    // Whether b is a rebuilt from the same sub-laws, the same objects in the same order (operator==
    // alone would take a sum's terms in any order), and equal otherwise.
    static bool same_rebuilt(law const *a, law const *b) {
        if (a->type() != b->type()) return false;
        for (int i = 0;; ++i) {
            law const *const x = sub_law_at(a, i), *const y = sub_law_at(b, i);
            if (x != y) return false;
            if (!x) break;
        }
        return *a == *b;
    }

    static constexpr std::uint64_t worth_keeping = 256;
    static constinit thread_local rewritten_laws *current;
    static constinit thread_local law const *root_;
    bool const outermost_;
    law const *const outer_root_;
    // Taken from a block on the stack, and all given back at once.
    std::array<std::byte, 4096> block_;
    std::pmr::monotonic_buffer_resource arena_{block_.data(), block_.size()};
    std::pmr::unordered_map<law const *, law_ptr> original_of_{&arena_};
};
constinit thread_local rewritten_laws *rewritten_laws::current = nullptr;
constinit thread_local law const *rewritten_laws::root_ = nullptr;

// Whether l is one of form's own sub-laws: a law keeping such a form would keep itself.
bool holds(law const *form, law const *l) {
    for (int i = 0; law const *sub = sub_law_at(form, i); ++i)
        if (sub == l) return true;
    return false;
}

// The sub-laws passed through the same pass; l rebuilt when any of them changed.
law_ptr simplify_subs(law *l, int mode, int &changed) {
    if (auto const *b = law_cast<binary_law>(l)) {
        law_ptr const left = simplified_member(b->fleft(), mode);
        law_ptr const right = simplified_member(b->fright(), mode);
        if (left.get() != b->fleft() || right.get() != b->fright()) {
            changed = 1;
            return adopt(b->make_one(left.get(), right.get()));
        }
    } else if (auto const *u = law_cast<unary_law>(l)) {
        law_ptr const sub = simplified_member(u->fsub(), mode);
        if (sub.get() != u->fsub()) {
            changed = 1;
            return adopt(u->make_one(sub.get()));
        }
    } else if (auto const *m = law_cast<multiple_law>(l)) {
        int const n = m->fsub_num();
        law_array subs(n);
        bool any = false;
        for (int i = 0; i < n; ++i) {
            subs.push(simplified_member(m->fsub()[i], mode));
            any = any || subs[i] != m->fsub()[i];
        }
        if (any) {
            changed = 1;
            return adopt(m->make_one(subs.data(), n));
        }
    }
    return share(l);
}

// Runs the pass of one list until it changes nothing; a cycling rule pair is reported and
// broken after simplify_round_limit rounds.
bool over_round_limit(int rounds, law const *current) {
    if (rounds < simplify_round_limit) return false;
    zem_printf("Simplify: rules still rewriting after the round limit, stopping at %s\n",
               message_text(current).c_str());
    return true;
}

// One sweep of the rules of list `mode` over current, each applied to the result of the one
// before; true when any of them rewrote it.
bool apply_rules(law_ptr &current, int mode) {
    bool rewritten = false;
    for (SRule const *r = SRule::head(mode); r; r = r->next()) {
        law *replacement = r->apply(current.get());
        if (!replacement) continue;
        law_ptr next = adopt(replacement);
        trace_rule(r->name(), current.get(), next.get());
        current = std::move(next);
        rewritten = true;
    }
    return rewritten;
}

// The main loop: the pass of list 0, and at level 2 and above that of list 1, while they change
// anything.
law_ptr main_phase(law_ptr current, int level, int debug) {
    int changed = 1;
    for (int rounds = 0; changed && !over_round_limit(rounds, current.get()); ++rounds) {
        current = adopt(simplify_pass(current.get(), changed, 0));
        if (debug > 2) print_law("big answer %s\n", current.get());
        if (level >= 2) {
            int deep_changed = 0;
            current = adopt(simplify_pass(current.get(), deep_changed, 1));
            if (debug > 2) print_law("big answer %s\n", current.get());
            if (deep_changed) changed = deep_changed;
        }
    }
    return current;
}

// The law base reaches the engine through its hook, installed when the library loads.
[[maybe_unused]] bool const simplifier_installed = (upper_layers().simplify = law_simplify, true);
}  // namespace

std::string message_text(law const *l) {
    constexpr std::size_t most = 200;
    std::string text = text_of(l).get();
    if (text.size() > most)
        text = text.substr(0, most) + "... (" + std::to_string(text.size()) + " characters)";
    return text;
}

int simplify_debug_level() { return debug_level.load(std::memory_order_relaxed); }

law *untraced_main_pass(law *l) {
    debug_level_scope const silent(0);
    int changed = 0;
    return simplify_pass(l, changed, 0);
}

void trace_rule(char const *name, law const *before, law const *after) {
    if (!simplify_debug_level() || !name || !*name) return;
    zem_printf("%s ", name);
    for (std::size_t i = std::strlen(name); i < 20; ++i) zem_printf(" ");
    print_law("%s -> ", before);
    print_law("%s ", after);
    zem_printf("\n\n");
}

law *simplify_pass(law *l, int &changed, int mode) {
    changed = 0;
    // Prototypes and half-built laws have null sub-laws: nothing to rewrite there.
    if (!l) return nullptr;
    // The rules build laws as the pass goes, which no settle of a deep tree saw first; a descent
    // through thousands of them stops with an error before the stack runs out.
    if (stack_nearly_spent(stack_reserve))
        law_error(LAW_TOO_DEEP,
                  "the simplifier's rules built laws nested deeper than this "
                  "thread's stack can descend");
    // A search that bounds the work of its derivatives stops in their simplification too.
    derivative_budget::check();
    // A law recorded as its own simplified form, or that went through a deep or post pass
    // unchanged (those rules look at a law and its sub-laws alone), is left as it is.
    if (l->passed_unchanged(mode)) {
        l->add();
        return l;
    }
    // The main phase trusts its own records; the deep and post phases only the records of a
    // complete simplification at level 2 or more, since a main-phase record says nothing of
    // their rules.
    if (l->is_simplified(mode == 0 ? 1 : 2)) {
        law *recorded = l->simplify(1, 0);
        // A record that is not final yet is followed in the next round.
        if (recorded != l) changed = 1;
        if (mode == 0) rewritten_laws::note(l, recorded);
        return recorded;
    }
    int const debug = simplify_debug_level();
    if (debug > 2) print_law("working on %s\n", l);
    if (mode == post_mode) {
        if (law *known = l->post_form()) {
            changed = 1;
            return rewritten_laws::handed_back(l, known);
        }
    }
    // A number or an input has no sub-laws and no rule of any list applies to it.
    if (l->type() == law_id::constant_law || l->type() == law_id::identity_law) {
        if (mode == 0)
            l->reset_simplify(l, 1);
        else
            l->mark_passed_unchanged(mode);
        l->add();
        return l;
    }
    law_ptr current = simplify_subs(l, mode, changed);
    if (changed && debug > 2) print_law("answer %s\n", current.get());
    bool rewritten = apply_rules(current, mode);
    changed = changed || rewritten;
    if (mode != 0) {
        if (!changed)
            l->mark_passed_unchanged(mode);
        else if (mode == post_mode && !holds(current.get(), l))
            l->set_post_form(current.get());
        return mode == post_mode ? rewritten_laws::handed_back(l, current.release())
                                 : current.release();
    }
    // The rules' result holds new sub-laws: each is brought to its form before the rules try
    // again, so that the law leaves settled and later rounds meet its record instead of walking
    // it again.
    for (int rounds = 0; rewritten; ++rounds) {
        if (over_round_limit(rounds, current.get())) {
            l->reset_simplify(current.get(), 1);
            return current.release();
        }
        int subs_changed = 0;
        current = simplify_subs(current.get(), mode, subs_changed);
        rewritten = apply_rules(current, mode);
    }
    // The form is its own record, and l's (one record when l came through unchanged).
    if (current.get() != l) current->reset_simplify(current.get(), 1);
    rewritten_laws::note(l, current.get());
    l->reset_simplify(current.get(), 1);
    return current.release();
}

namespace {
constinit thread_local bool simplifying = false;

// A deep tree is simplified from its deepest laws up, each once, so that the passes over the
// root meet recorded forms a level or two down instead of descending the whole tree.
void settle_simplified(law const *root, int level) {
    if (simplifying) return;
    raised_flag const on(simplifying);
    settle_deep_tree(
        root, [level](law const *l) { return l->is_simplified(level) != 0; },
        [level](law const *l) {
            l->take_dim();
            law_ptr const s = adopt(l->simplify(level, 0));
        });
}
}  // namespace

law *law_simplify(law const *l, int level, int debug) {
    if (!l) return nullptr;
    rewritten_laws const rewrites(l);
    settle_simplified(l, level);
    // Nested simplifications (a rule asking a law whether it is constant) keep the outer level.
    debug_level_scope const tracing(debug);

    law_ptr current = share(l);
    if (debug) print_law("\nSimplify %s\n", current.get());
    current = main_phase(std::move(current), level, debug);
    if (level >= 2) {
        law_ptr polynomial = polynomial_forms(current.get());
        if (polynomial.get() != current.get()) {
            trace_rule("Polynomial forms", current.get(), polynomial.get());
            current = main_phase(std::move(polynomial), level, debug);
        }
    }
    if (debug) {
        print_law("\n%s\n", current.get());
        zem_printf("\nPost Simplify\n");
    }
    int changed = 1;
    for (int rounds = 0; changed && !over_round_limit(rounds, current.get()); ++rounds) {
        current = adopt(simplify_pass(current.get(), changed, post_mode));
        if (debug > 2) print_law("big answer %s\n", current.get());
    }
    if (debug) zem_printf("\n");
    return current.release();
}
