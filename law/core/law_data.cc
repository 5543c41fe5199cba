#include <law/core/law_data.h>

#include <cstdio>
#include <exception>
#include <string>

#include <law/core/law_data_node.h>
#include <law/core/lawutil_errors.h>

namespace {
std::atomic<long> live_data{0};
}

law_data::law_data() { live_data.fetch_add(1, std::memory_order_relaxed); }

law_data::~law_data() {
    live_data.fetch_sub(1, std::memory_order_relaxed);
    // A constructor that raised an error unwinds through here with its first reference.
    if (use_count_.load(std::memory_order_relaxed) != 0 && std::uncaught_exceptions() == 0)
        law_warning(BAD_LAW_DATA_USE_COUNT);
}

long law_data::live_count() { return live_data.load(std::memory_order_relaxed); }

void law_data::remove() const {
    if (null_object(this) || use_count_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    destructor_scope const scope;
    delete this;
}

void law_data::print(T4_ostream &out) const { out << symbol(law_symbol_default); }

char *law_data::string(law_symbol_type type, int &count, law_data_node *&list) const {
    std::string text = symbol(type);
    if (!is_null_ref(count) && count >= 0) {
        // Without a list to keep the node in, the data is only numbered.
        if (is_null_ref(list))
            ++count;
        else
            list = new law_data_node(const_cast<law_data *>(this), list, count);
        text += std::to_string(count);
    }
    return zem_new_str_from(text.c_str());
}

law_data *law_data::set_domain(ZEM::interval const *) const {
    add();
    return const_cast<law_data *>(this);
}

void law_data::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(law_data));
}

bool law_data::operator==(law_data const &) const { return false; }
