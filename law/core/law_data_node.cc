#include <law/core/law_data_node.h>

#include <law/core/law_data.h>

namespace {
constexpr int max_nodes_visited = 100001;
}

law_data_node::law_data_node(law_data *data, law_data_node *next, int &count)
    : data_(data), next_(next) {
    if (data_) data_->add();
    ++count;
}

law_data_node::~law_data_node() {
    // Iterative, so a long chain cannot overflow the stack.
    law_data_node *rest = next_;
    next_ = nullptr;
    while (rest) {
        law_data_node *const after = rest->next_;
        rest->next_ = nullptr;
        delete rest;
        rest = after;
    }
    if (data_) data_->remove();
}

int law_data_node::size(bool include_empty) const {
    int n = 0, visited = 0;
    for (law_data_node const *p = this; p && visited < max_nodes_visited; p = p->next_, ++visited)
        if (include_empty || p->data_) ++n;
    return n;
}

int law_data_node::get_array(law_data **&out, bool include_empty) const {
    int const n = size(include_empty);
    out = n > 0 ? VORN_ARRAY(law_data *, n) : nullptr;
    int i = n - 1, visited = 0;
    for (law_data_node const *p = this; p && i >= 0 && visited < max_nodes_visited;
         p = p->next_, ++visited)
        if (include_empty || p->data_) out[i--] = p->data_;
    return n;
}
