#pragma once
// Shared pieces of the tests of the numerical searches.
#include <vector>

#include <law/base/memory.h>
#include <law/lang/str_to_law.h>

#include "law_test.h"

inline law_ptr parse_law(char const *text) {
    law_ptr l = adopt(str_to_law(text));
    EXPECT_TRUE(l) << "could not read " << text;
    return l;
}

// Takes over an array that a search returned (vorn_allocate) and copies it out; n is read after
// the search has filled it.
template <class T>
std::vector<T> take_array(T *array, int const &n) {
    vorn_ptr<T> const held(array);
    return array ? std::vector<T>(array, array + n) : std::vector<T>();
}
