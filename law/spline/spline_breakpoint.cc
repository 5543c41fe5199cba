#include <law/spline/spline_breakpoint.h>

namespace {
spline_breakpoint *node(double t, ZEM::position const *p) {
    auto *b = new spline_breakpoint;
    b->t = t;
    if (p) {
        b->p = *p;
        b->has_point = true;
    }
    return b;
}
}  // namespace

spline_breakpoint_list::~spline_breakpoint_list() {
    while (head_) {
        spline_breakpoint *next = head_->next;
        delete head_;
        head_ = next;
    }
}

void spline_breakpoint_list::link_first(spline_breakpoint *b) {
    b->next = head_;
    head_ = b;
    if (!tail_) tail_ = b;
    ++count_;
}

void spline_breakpoint_list::link_last(spline_breakpoint *b) {
    if (tail_) {
        tail_->next = b;
    } else {
        head_ = b;
    }
    tail_ = b;
    ++count_;
}

void spline_breakpoint_list::insert_first(double t) { link_first(node(t, nullptr)); }
void spline_breakpoint_list::insert_first(double t, ZEM::position const &p) {
    link_first(node(t, &p));
}
void spline_breakpoint_list::insert_next(double t) { link_last(node(t, nullptr)); }
void spline_breakpoint_list::insert_next(double t, ZEM::position const &p) {
    link_last(node(t, &p));
}

void spline_breakpoint_list::erase_after(spline_breakpoint *a) {
    spline_breakpoint *gone = a->next;
    if (!gone) return;
    a->next = gone->next;
    if (tail_ == gone) tail_ = a;
    delete gone;
    --count_;
}
