#include <law/lang/law_list.h>

#include <law/core/multiple_law.h>

namespace {
// Constant-initialised heads: registrations from static objects in any file, constructed in any
// order, are all kept.
constinit law_list *law_head = nullptr;
constinit law_data_list *law_data_head = nullptr;
}  // namespace

law_list::law_list(law *prototype) : prototype_(prototype), next_(law_head) { law_head = this; }

law_list const *law_list::head() { return law_head; }

law_data_list::law_data_list(law_data *prototype) : prototype_(prototype), next_(law_data_head) {
    law_data_head = this;
}

law_data_list const *law_data_list::head() { return law_data_head; }

law *make_registered_law(int id, law **subs, int n) {
    for (law_list const *node = law_head; node; node = node->next()) {
        law const *p = node->prototype();
        if (p->type() == id && p->isa(law_id::multiple_law))
            return static_cast<multiple_law const *>(p)->make_one(subs, n);
    }
    law_error(LAW_SYMBOL);
}
