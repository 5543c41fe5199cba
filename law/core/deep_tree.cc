#include <law/core/deep_tree.h>

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include <law/core/binary_law.h>
#include <law/core/law_engine.h>
#include <law/core/law_polynomial.h>
#include <law/core/multiple_law.h>
#include <law/core/pointer_map.h>
#include <law/core/unary_law.h>

namespace {
constinit thread_local bool settling_now = false;
constinit thread_local bool copying = false;
constinit thread_local bool ranging = false;
struct singular_range {
    double start = 0, end = 0;
};
constinit thread_local singular_range current_range;
// The laws of the outermost singularities call's tree, each with its points once found.
struct remembered_points {
    std::vector<singular_point> points;
    bool found = false;
    bool bounded = false;
    held_bounds bounds;
};
thread_local std::unordered_map<law const *, remembered_points> tree_points;

// A law of more inputs than root (the outer law of a composition) would read past root's point.
auto more_inputs_than(law const *root) {
    return [inputs = root->take_dim()](law const *l) { return l->take_dim() > inputs; };
}
}  // namespace

bool settling_deep_tree() { return settling_now; }
bool &settling_flag() { return settling_now; }

namespace {
constinit thread_local law_pointer_set *walk_met = nullptr;
}  // namespace

shared_walk::shared_walk() {
    if (walk_met) return;
    met_ = std::make_unique<law_pointer_set>();
    walk_met = met_.get();
}

shared_walk::~shared_walk() {
    if (met_) walk_met = nullptr;
}

bool shared_walk::first_visit(law const *l) { return !walk_met || walk_met->insert(l); }

law const *sub_law_at(law const *l, int i) {
    if (l->isa(law_id::binary_law)) {
        auto const *b = static_cast<binary_law const *>(l);
        return i == 0 ? b->fleft() : i == 1 ? b->fright() : nullptr;
    }
    if (l->isa(law_id::unary_law))
        return i == 0 ? static_cast<unary_law const *>(l)->fsub() : nullptr;
    if (l->isa(law_id::multiple_law)) {
        auto const *m = static_cast<multiple_law const *>(l);
        return i < m->fsub_num() ? m->fsub()[i] : nullptr;
    }
    return nullptr;
}

deep_copy_scope::deep_copy_scope(law const *root, pointer_map *map) : raised_(copying) {
    if (raised_.outer()) return;
    settle_deep_tree(
        root, [](law const *) { return false; },
        [map](law const *l) { law_ptr const copy = adopt(pm_get_law(map, l)); });
}

domain_scope::domain_scope(law const *root, ZEM::interval const *domains)
    : held_answers(
          root, domains, [](law const *) { return false; },
          [domains](law const *l) { return adopt(l->set_domain(domains, 1)); }) {}

law *domain_scope::restricted_sub(law const *sub, ZEM::interval const *domains) {
    if (law_ptr const *held = find(sub, domains)) return share(held->get()).release();
    return sub->set_domain(domains, 1);
}

in_domain_scope::in_domain_scope(law const *root, double const *x)
    : held_answers(root, x, more_inputs_than(root), [x](law const *l) {
          held_point h;
          h.in = l->in_domain(x);
          if (h.in) {
              // Walked one level: the laws below take their values from this scope.
              h.values.resize(static_cast<std::size_t>(std::max(l->return_dim(), 1)));
              try {
                  l->evaluate_walking(x, h.values.data());
                  h.valued = true;
              } catch (vorn_exception const &) {
                  // Asked for, the values are computed again and raise their error then.
              }
          }
          return h;
      }) {}

int in_domain_scope::sub_in_domain(law const *sub, double const *x) {
    if (held_point const *held = find(sub, x)) return held->in;
    return sub->in_domain(x);
}

bool in_domain_scope::held_value(law const *l, double const *x, double *y) {
    held_point const *held = find_unraised(l, x);
    if (!held || !held->valued) return false;
    std::copy(held->values.begin(), held->values.end(), y);
    return true;
}

bool given_back_scope::held_value(law const *l, double const *x, double *y) {
    std::vector<double> const *held = find(l, x);
    if (!held) return false;
    std::copy(held->begin(), held->end(), y);
    return true;
}

std::exception_ptr given_back_scope::error_of_sides(law const *l, double const *x) {
    auto const sides_of = engine().operation_sides;
    law const *sides[2] = {nullptr, nullptr};
    int const n = sides_of ? sides_of(l, sides) : 0;
    for (int i = 0; i < n; ++i) {
        std::exception_ptr error;
        if (!held_error(sides[i], x, error)) return nullptr;
        if (error) return error;
    }
    return nullptr;
}

bool held_deep_value(law const *l, double const *x, double *y) {
    return given_back_scope::held_value(l, x, y) || in_domain_scope::held_value(l, x, y);
}

namespace {
// The key of the domains of one input: a value that no pointer to a point shares.
void const *domain_key(int which) {
    return reinterpret_cast<void const *>(static_cast<std::uintptr_t>(which) + 1);
}
}  // namespace

term_domain_scope::term_domain_scope(law const *root, int which)
    : held_answers(
          root, domain_key(which), [](law const *) { return false; },
          [which](law const *l) {
              held_domain h;
              h.known = l->term_domain(which, h.domain);
              return h;
          }) {}

int term_domain_scope::sub_term_domain(law const *sub, int which, ZEM::interval &out) {
    if (held_domain const *held = find(sub, domain_key(which))) {
        out = held->domain;
        return held->known;
    }
    return sub->term_domain(which, out);
}

bool term_domain_scope::holds(law const *sub, int which) {
    return find_unraised(sub, domain_key(which)) != nullptr;
}

// A law whose bounds a singularities call remembers is not entered again: a tower's levels each
// ask for the bounds of the level below, and the walk stops there.
bounds_scope::bounds_scope(law const *root, ZEM::interval const &domain)
    : held_answers(
          root, &domain,
          [more = more_inputs_than(root), &domain](law const *l) {
              return more(l) || singular_range_guard::remembered_bounds(l, domain);
          },
          [&domain](law const *l) {
              held_bounds held;
              held.bounds = l->estimate_bounds(domain, held.failed);
              return held;
          }) {}

ZEM::interval bounds_scope::sub_bounds(law const *sub, ZEM::interval const &domain, int &failed) {
    held_bounds const *held = find(sub, &domain);
    if (!held) held = singular_range_guard::remembered_bounds(sub, domain);
    if (!held) return sub->estimate_bounds(domain, failed);
    failed = held->failed;
    return held->bounds;
}

polynomial_scope::polynomial_scope(law const *root, law *in)
    : held_answers(root, in, more_inputs_than(root), [in](law const *l) {
          return held_polynomial{std::unique_ptr<law_polynomial>(l->polynomial(in))};
      }) {}

law_polynomial *polynomial_scope::sub_polynomial(law const *sub, law *in) {
    held_polynomial const *held = find(sub, in);
    if (!held || held->given_up) return sub->polynomial(in);
    if (!held->p) return nullptr;
    if (sub->ref_count() == 1) {
        held->given_up = true;
        return held->p.release();
    }
    return new law_polynomial(*held->p);
}

singular_range_guard::singular_range_guard(law const *root, double start, double end)
    : raised_(ranging) {
    if (raised_.outer()) return;
    current_range = {start, end};
    tree_points.clear();
    std::vector<law const *> stack{root};
    tree_points[root];
    while (!stack.empty()) {
        law const *l = stack.back();
        stack.pop_back();
        for (int i = 0; law const *sub = sub_law_at(l, i); ++i)
            if (tree_points.try_emplace(sub).second) stack.push_back(sub);
    }
}

singular_range_guard::~singular_range_guard() {
    if (!raised_.outer()) tree_points.clear();
}

std::vector<singular_point> const *singular_range_guard::remembered(law const *l, double start,
                                                                    double end) {
    if (!ranging || !holds(start, end)) return nullptr;
    auto const it = tree_points.find(l);
    return it != tree_points.end() && it->second.found ? &it->second.points : nullptr;
}

void singular_range_guard::remember(law const *l, double start, double end,
                                    std::vector<singular_point> const &points) {
    if (!ranging || !holds(start, end)) return;
    auto const it = tree_points.find(l);
    if (it == tree_points.end()) return;
    it->second.points = points;
    it->second.found = true;
}

namespace {
// The remembered entry of l when the domain is the outermost call's range.
remembered_points *range_entry(law const *l, ZEM::interval const &domain) {
    if (!ranging || std::min(current_range.start, current_range.end) != domain.low() ||
        std::max(current_range.start, current_range.end) != domain.high())
        return nullptr;
    auto const it = tree_points.find(l);
    return it == tree_points.end() ? nullptr : &it->second;
}
}  // namespace

held_bounds const *singular_range_guard::remembered_bounds(law const *l,
                                                           ZEM::interval const &domain) {
    remembered_points const *r = range_entry(l, domain);
    return r && r->bounded ? &r->bounds : nullptr;
}

void singular_range_guard::remember_bounds(law const *l, ZEM::interval const &domain,
                                           held_bounds const &bounds) {
    if (remembered_points *r = range_entry(l, domain)) {
        r->bounds = bounds;
        r->bounded = true;
    }
}

void const *singular_range_guard::key() { return &current_range; }

bool singular_range_guard::holds(double start, double end) {
    return current_range.start == start && current_range.end == end;
}

singularities_scope::singularities_scope(law const *root, double start, double end)
    : singular_range_guard(root, start, end),
      held_answers(root, key(), more_inputs_than(root),
                   [start, end](law const *l) { return singular_points_of(l, start, end); }) {}

std::vector<singular_point> singularities_scope::sub_points(law const *sub, double start,
                                                            double end) {
    if (holds(start, end))
        if (auto const *held = find(sub, key())) return *held;
    return singular_points_of(sub, start, end);
}

std::vector<singular_point> singularities_scope::member_points(law const *root,
                                                               std::span<law *const> subs,
                                                               double start, double end) {
    singularities_scope const scope(root, start, end);
    std::vector<singular_point> points;
    for (law const *sub : subs) {
        if (!sub) continue;
        std::vector<singular_point> const p = sub_points(sub, start, end);
        points.insert(points.end(), p.begin(), p.end());
    }
    return points;
}
