#pragma once
// An omitted reference argument is bound to a sentinel object of its type; "was it given?"
// is then an address comparison, never a reference bound to null.
#include <type_traits>

template <class T>
T &null_object() {
    static T sentinel{};
    return sentinel;
}

struct null_ref_t {
    template <class T>
    operator T &() const {
        return null_object<std::remove_cv_t<T>>();
    }
};
inline constexpr null_ref_t NULL_REF{};

template <class T>
bool is_null_ref(T const &r) {
    return &r == &null_object<std::remove_cv_t<T>>();
}

// Pointer form of an optional reference: null when the reference is the sentinel.
template <class T>
T const *given(T const &r) {
    return is_null_ref(r) ? nullptr : &r;
}
