#include <law/numeric/open_set.h>

#include <algorithm>
#include <utility>

#include <law/base/interval.h>
#include <law/base/output.h>
#include <law/numeric/root_settings.h>

Open_set::~Open_set() {
    erase_if([](Open_interval const *) { return true; });
}

template <class Pieces>
bool Open_set::normalise(double &a, double &b, Pieces pieces) const {
    if (!periodic_) {
        if (a > b) std::swap(a, b);
    } else {
        ZEM::interval const range(min_, max_);
        if (a < min_ || a > max_) map_param_into_interval(range, a);
        if (b < min_ || b > max_) map_param_into_interval(range, b);
        if (a > b) {
            pieces(min_, b);
            pieces(a, max_);
            return false;
        }
    }
    // Only the part inside the set's range counts.
    if (a > max_ || b < min_) return false;
    a = std::max(a, min_);
    b = std::min(b, max_);
    return true;
}

template <class Pred>
void Open_set::erase_if(Pred doomed) {
    Open_interval **link = &head_;
    while (Open_interval *i = *link) {
        if (doomed(i)) {
            *link = i->next;
            delete i;
        } else {
            link = &i->next;
        }
    }
}

void Open_set::insert_after(Open_interval *prev, double a, double b) {
    Open_interval **link = prev ? &prev->next : &head_;
    auto *fresh = new Open_interval(a, b);
    fresh->next = *link;
    *link = fresh;
}

void Open_set::add(double a, double b) {
    if (!normalise(a, b, [this](double x, double y) { add(x, y); })) return;
    Open_interval *const A = in(a);
    Open_interval *const B = in(b);
    if (A && B) {
        if (A == B) return;
        double const first = A->low, last = B->low, high = B->high;
        erase_if([=](Open_interval const *i) { return i->low > first && i->low <= last; });
        A->high = high;
    } else if (A) {
        double const first = A->low;
        erase_if([=](Open_interval const *i) { return i->low > first && i->low < b; });
        A->high = b;
    } else if (B) {
        double const last = B->low;
        erase_if([=](Open_interval const *i) { return i->high > a && i->low < last; });
        B->low = a;
    } else {
        // Neither end is held, so what lies between the two ends lies wholly inside [a, b].
        erase_if([=](Open_interval const *i) { return i->high > a && i->low < b; });
        insert_after(before(a), a, b);
    }
}

void Open_set::remove(double a, double b) {
    if (!normalise(a, b, [this](double x, double y) { remove(x, y); })) return;
    Open_interval *const A = in(a);
    Open_interval *const B = in(b);
    if (A && A == B) {
        insert_after(A, b, A->high);
        A->high = a;
    } else {
        if (A) A->high = a;
        if (B) B->low = b;
    }
    // What is left inside [a, b] (including pieces the trimming turned inside out) goes.
    erase_if(
        [=](Open_interval const *i) { return (i->low >= a && i->high <= b) || i->high < i->low; });
}

Open_interval *Open_set::in(double t) const {
    double const tol = root_tols().root_x_tol;
    for (Open_interval *i = head_; i; i = i->next)
        if (i->low - t < tol && t - i->high < tol) return i;
    return nullptr;
}

Open_interval *Open_set::before(double t) const {
    Open_interval *last = nullptr;
    for (Open_interval *i = head_; i && t >= i->high; i = i->next) last = i;
    return last;
}

Open_interval *Open_set::after(double t) const {
    for (Open_interval *i = head_; i; i = i->next)
        if (i->low >= t) return i;
    return nullptr;
}

int Open_set::parts() const {
    int n = 0;
    for (Open_interval *i = head_; i; i = i->next) ++n;
    return n;
}

double *Open_set::mid_points() const {
    double *const mids = VORN_ARRAY(double, std::max(parts(), 1));
    int k = 0;
    for (Open_interval *i = head_; i; i = i->next) mids[k++] = i->mid_point();
    return mids;
}

double Open_set::hole() const {
    if (!head_ || !head_->next) return 0;
    return std::midpoint(head_->high, head_->next->low);
}

double Open_set::hole_size() const {
    if (!head_ || !head_->next) return 0;
    return head_->next->low - head_->high;
}

double Open_set::largest_hole(double &size) const {
    size = 0;
    double mid = 0;
    if (!head_) return mid;
    Open_interval *last = head_;
    for (; last->next; last = last->next) {
        double const gap = last->next->low - last->high;
        if (gap > size) {
            size = gap;
            mid = std::midpoint(last->high, last->next->low);
        }
    }
    if (periodic_) {
        double const wrap = max_ - last->high + head_->low - min_;
        if (wrap > size) {
            size = wrap;
            mid = last->high + wrap / 2;
            map_param_into_interval(ZEM::interval(min_, max_), mid);
        }
    }
    return mid;
}

bool Open_set::is_full() const {
    double const tol = root_tols().root_x_tol;
    return head_ && !head_->next && head_->low <= min_ + tol && head_->high + tol >= max_;
}

void Open_set::print() const {
    zem_fprintf(debug_file_ptr, "Max %f Min %f\n", max_, min_);
    for (Open_interval *i = head_; i; i = i->next)
        zem_fprintf(debug_file_ptr, "%f %f\n", i->low, i->high);
}
