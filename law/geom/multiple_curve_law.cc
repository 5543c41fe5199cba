#include <law/geom/multiple_curve_law.h>

#include <algorithm>
#include <cmath>

#include <law/base/output.h>
#include <law/base/tolerance.h>
#include <law/base/version.h>
#include <law/core/eval_buffer.h>
#include <law/core/printing.h>
#include <law/geom/domain_law.h>
#include <law/geom/geom_util.h>
#include <law/lang/law_list.h>
#include <law/ops/law_builders.h>

namespace {
law_list reg(new multiple_curve_law());

[[noreturn]] void bad_domain() {
    zem_fprintf(debug_file_ptr, "Trouble - domain bad on segment in multiple_curve_law\n");
    law_error(LAW_MULTI_CURVE_DOM);
}

// The own domain of a segment: finite and of positive length.
ZEM::interval segment_domain(law const *segment) {
    ZEM::interval dom;
    if (!segment || segment->take_dim() > 1 || !segment->term_domain(0, dom) || !dom.finite() ||
        !(dom.start_pt() < dom.end_pt()))
        bad_domain();
    return dom;
}

// A bound as the parser reads its printed text (a negative number is the negation of its
// magnitude), so that a chain reads back as the law it was built as.
law_ptr bound(double v) { return v < 0 ? build::negate(build::constant(-v)) : build::constant(v); }

law_ptr restricted(law *segment) {
    if (law_isa<permanent_domain_law>(segment)) return share(segment);
    ZEM::interval const dom = segment_domain(segment);
    law_ptr const lo = bound(dom.start_pt()), hi = bound(dom.end_pt());
    law *members[] = {segment, lo.get(), hi.get()};
    return make_law<permanent_domain_law>(members, 3);
}

// The segments, each restricted to its domain, then the start parameter.
std::vector<law_ptr> chain_members(law **subs, int n) {
    if (!subs || n < 1 || !subs[n - 1]) bad_domain();
    bool const given_start = subs[n - 1]->return_dim() == 1;
    int const segments = given_start ? n - 1 : n;
    if (segments < 1) bad_domain();
    if (given_start && subs[n - 1]->take_dim() != 0) law_error(LAW_BASE_C);
    std::vector<law_ptr> out;
    for (int i = 0; i < segments; ++i) out.push_back(restricted(subs[i]));
    out.push_back(given_start ? share(subs[n - 1]) : build::constant(0));
    return out;
}

std::vector<law *> raw(std::vector<law_ptr> const &members) {
    std::vector<law *> out;
    for (law_ptr const &m : members) out.push_back(m.get());
    return out;
}

// Value and first derivative of a segment at t, as 3-vectors (a plane curve has z = 0).
struct point_and_tangent {
    ZEM::vector p, d;
};
point_and_tangent at(law const *segment, double t) {
    int const m = std::min(segment->return_dim(), 3);
    eval_buffer y(segment->return_dim()), dy(segment->return_dim());
    segment->evaluate(&t, y);
    segment->evaluateDM(&t, dy, 1);
    point_and_tangent out;
    for (int i = 0; i < m; ++i) {
        out.p[i] = y[i];
        out.d[i] = dy[i];
    }
    return out;
}
}  // namespace

multiple_curve_law::multiple_curve_law() : multiple_law(nullptr, 0) {}

multiple_curve_law::multiple_curve_law(law **segments, int n)
    : multiple_curve_law(chain_members(segments, n)) {}

multiple_curve_law::multiple_curve_law(std::vector<law_ptr> const &members)
    : multiple_law(raw(members).data(), static_cast<int>(members.size())) {
    measure();
    classify();
}

void multiple_curve_law::measure() {
    double end = start_parameter();
    for (int i = 0; i + 1 < fsub_num(); ++i) {
        ZEM::interval const dom = segment_domain(fsub()[i]);
        end += dom.end_pt() - dom.start_pt();
        spans_.push_back({dom.start_pt(), dom.end_pt(), end});
    }
    total_ = end - start_parameter();
}

void multiple_curve_law::classify() {
    point_and_tangent const a = at(fsub()[0], spans_.front().start);
    point_and_tangent const b = at(fsub()[segment_count() - 1], spans_.back().end);
    double const tol = get_resabs(), nor = get_resnor();
    ZEM::vector const gap = a.p - b.p;
    bool const meet = std::abs(gap.x()) <= tol && std::abs(gap.y()) <= tol &&
                      std::abs(gap.z()) <= tol && gap.len_sq() <= tol * tol;
    if (!meet) return;
    state_ = closed;
    double const ab = a.d % b.d, aa = a.d.len_sq(), bb = b.d.len_sq();
    if (ab >= 0 && aa * 0.999 * bb <= ab * ab && (a.d * b.d).len_sq() <= nor * nor * aa * bb)
        state_ = closed_smooth;
}

double multiple_curve_law::start_parameter() const {
    return fsub_num() > 0 ? fsub()[fsub_num() - 1]->eval(0.0) : 0.0;
}

law const *multiple_curve_law::law_segment(int i, ZEM::interval &domain) const {
    if (i < 0 || i >= segment_count()) law_error(LAW_BAD_DOMAN);
    domain = ZEM::interval(spans_[i].start, spans_[i].end);
    return fsub()[i];
}

ZEM::interval multiple_curve_law::global_span(int i) const {
    if (i < 0 || i >= segment_count()) law_error(LAW_BAD_DOMAN);
    double const lo = i == 0 ? start_parameter() : spans_[i - 1].global_end;
    return {lo, spans_[i].global_end};
}

// The first segment whose global end is not below t - resmch (the last when none is).
int multiple_curve_law::search(double t) const {
    if (get_global_version() < 2160000) {
        int const last = last_found_.load(std::memory_order_relaxed);
        ZEM::interval const g = global_span(last);
        if (t > g.start_pt() + resmch && t < g.end_pt() - resmch) return last;
    }
    auto const it = std::lower_bound(spans_.begin(), spans_.end(), t - resmch,
                                     [](span const &s, double v) { return s.global_end < v; });
    int const i = it == spans_.end() ? segment_count() - 1 : static_cast<int>(it - spans_.begin());
    if (get_global_version() < 2160000) last_found_.store(i, std::memory_order_relaxed);
    return i;
}

int multiple_curve_law::which_segment(double t, double &local_t, int side) const {
    if (spans_.empty()) law_error(LAW_BAD_DOMAN);
    double const s0 = start_parameter(), s1 = s0 + total_;
    if (state_ == closed_smooth) {
        if (side == -1 && std::abs(t - s0) <= get_resnor())
            t = s1;
        else if (side == 1 && std::abs(t - s1) <= get_resnor())
            t = s0;
    }
    int i = search(t);
    span const &s = spans_[i];
    if (std::abs(t - s.global_end) > resmch) {
        local_t = t - s.global_end + s.end;
        return i;
    }
    if (side != 1) {
        local_t = s.end;
        return i;
    }
    if (++i >= segment_count()) law_error(LAW_BAD_DOMAN);
    local_t = spans_[i].start;
    return i;
}

void multiple_curve_law::evaluate(double const *x, double *answer) const {
    evaluate_with_side(x, answer, nullptr);
}

void multiple_curve_law::evaluate_with_side(double const *x, double *answer,
                                            int const *side) const {
    double local = 0;
    int const i = which_segment(x[0], local, side ? *side : 0);
    evaluate_fitted(fsub()[i], &local, answer, return_dim());
}

int multiple_curve_law::term_domain(int which, ZEM::interval &out) const {
    if (spans_.empty() || which != 0) return multiple_law::term_domain(which, out);
    out = ZEM::interval(start_parameter(), start_parameter() + total_);
    return 1;
}

int multiple_curve_law::in_domain(double const *x) const {
    if (spans_.empty()) return multiple_law::in_domain(x);
    double const s0 = start_parameter();
    return x[0] >= s0 - resmch && x[0] <= s0 + total_ + resmch;
}

law *multiple_curve_law::deriv(int which) const {
    if (spans_.empty()) law_error(LAW_DERIV);
    law_array members(fsub_num());
    for (int i = 0; i < segment_count(); ++i) members.push(build::d(fsub()[i], which));
    members.push(share(fsub()[fsub_num() - 1]));
    return new multiple_curve_law(members.data(), members.size());
}

std::string multiple_curve_law::chain_text(char const *name, law_symbol_type type, int &count,
                                           law_data_node *&list) const {
    // A start left out reads back as the constant 0, so only that law is left out: a start of
    // value 0 written otherwise (FALSE, 2=3) is printed.
    law const *s0 = fsub_num() > 0 ? fsub()[fsub_num() - 1] : nullptr;
    bool const zero_start = s0 && s0->type() == law_id::constant_law && zero_constant(s0);
    std::string t = std::string(name) + "(";
    for (int i = 0; i < fsub_num(); ++i) {
        if (i == segment_count() && zero_start) break;
        if (i) t += ",";
        t += sub_text(fsub()[i], type, count, list);
    }
    return t + ")";
}

char *multiple_curve_law::string(law_symbol_type type, int &count, law_data_node *&list) const {
    return print_collecting(count, list, [&](int &n, law_data_node *&l) {
        return chain_text(symbol(law_symbol_default), type, n, l);
    });
}

void multiple_curve_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(multiple_curve_law) - sizeof(multiple_law));
    acc.addSize(sizeof(span) * spans_.size());
    multiple_law::full_size(acc, count_self);
}

law *multiple_curve_law::sub_simplify(int, char const *&rule_name) const {
    if (segment_count() != 1 || spans_[0].start != start_parameter()) return nullptr;
    note_rule(rule_name, "multi_cur(C)=C");
    return share(fsub()[0]).release();
}
