#include <law/lang/pastlawcode.h>

#include <utility>

#include <law/core/law.h>

pastlawcode::pastlawcode(pastlawcode *prev, law *l, int number) : number_(number), law_(l) {
    if (law_) law_->add();
    if (prev) {
        next_ = std::exchange(prev->next_, this);
    }
}

pastlawcode::~pastlawcode() {
    if (law_) law_->remove();
    // One record at a time, so that a long list does not nest the destructors.
    for (pastlawcode *r = std::exchange(next_, nullptr); r;) {
        pastlawcode *const rest = std::exchange(r->next_, nullptr);
        delete r;
        r = rest;
    }
}

int pastlawcode::past(law *l) const {
    for (pastlawcode const *r = this; r; r = r->next_) {
        law const *const seen = r->law_;
        if (seen == l) return r->number_;
        if (seen && l && seen->type() == l->type() && seen->same(seen, l)) return r->number_;
    }
    return -1;
}
