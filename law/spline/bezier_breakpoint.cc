#include <law/spline/bezier_breakpoint.h>

bezier_breakpoint_list::~bezier_breakpoint_list() {
    while (head_) {
        bezier_breakpoint *next = head_->next;
        delete head_;
        head_ = next;
    }
}

void bezier_breakpoint_list::insert_after(bezier_breakpoint *a, bezier_breakpoint *b) {
    if (!a) {
        b->next = head_;
        head_ = b;
        return;
    }
    b->next = a->next;
    a->next = b;
}

void bezier_breakpoint_list::insert_end(bezier_breakpoint *b) {
    bezier_breakpoint *last = head_;
    while (last && last->next) last = last->next;
    insert_after(last, b);
}

void bezier_breakpoint_list::erase_after(bezier_breakpoint *a) {
    bezier_breakpoint *gone = a->next;
    if (!gone) return;
    a->next = gone->next;
    delete gone;
}

int bezier_breakpoint_list::count_segments() const {
    int n = 0;
    for (bezier_breakpoint const *b = head_; b; b = b->next) ++n;
    return n > 0 ? n - 1 : 0;
}
