#pragma once
// Helpers shared by the family printers.
#include <memory>
#include <string>

#include <law/core/law.h>
#include <law/core/law_data.h>
#include <law/core/law_data_node.h>

using law_text = vorn_ptr<char>;

// The printed text of a sub-law or law data. A missing sub-law prints as the base law's text,
// which reads as no law: MAX(X,<null>) fails to read where MAX(X,) would read as MAX(X,0).
inline std::string sub_text(law const *l, law_symbol_type type, int &count, law_data_node *&list) {
    if (!l) return "<null>";
    law_text const t(l->string(type, count, list));
    return t ? t.get() : "";
}
inline std::string sub_text(law_data const *d, law_symbol_type type, int &count,
                            law_data_node *&list) {
    if (!d) return {};
    law_text const t(d->string(type, count, list));
    return t ? t.get() : "";
}

// Runs a printer with a list of its own when the caller passed none, and frees that list.
template <class Print>
char *print_collecting(int &count, law_data_node *&list, Print &&print) {
    if (!is_null_ref(count)) return zem_new_str_from(print(count, list).c_str());
    int own_count = 0;
    law_data_node *own_list = nullptr;
    struct list_guard {
        law_data_node *&l;
        ~list_guard() { delete l; }
    } guard{own_list};
    return zem_new_str_from(print(own_count, own_list).c_str());
}
