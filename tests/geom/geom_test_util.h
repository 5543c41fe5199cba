#pragma once
// Helpers shared by the tests of the structural laws.
#include <string>
#include <vector>

#include <law/lang/str_to_law.h>

#include "law_test.h"

// The law read from text; fails the test when the text does not read.
inline law_ptr parse(char const *text) {
    law_ptr l = adopt(str_to_law(text));
    EXPECT_TRUE(l) << "could not read " << text;
    return l;
}

// All outputs of l at the point x.
inline std::vector<double> values(law const *l, std::vector<double> x) {
    x.resize(std::max<std::size_t>(x.size(), static_cast<std::size_t>(l->take_dim())), 0.0);
    std::vector<double> y(static_cast<std::size_t>(l->return_dim()));
    l->evaluate(x.data(), y.data());
    return y;
}

// Central difference of every output of l in input `which` at x.
inline std::vector<double> slope(law const *l, std::vector<double> x, int which) {
    double const h = 1e-6;
    x.resize(std::max<std::size_t>(x.size(), static_cast<std::size_t>(l->take_dim())), 0.0);
    std::vector<double> up = x, down = x;
    up[which] += h;
    down[which] -= h;
    std::vector<double> a = values(l, up), b = values(l, down);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = (a[i] - b[i]) / (2 * h);
    return a;
}

// Builds a law of class T over the given laws with the array constructor.
template <class T>
law_ptr over(std::initializer_list<law_ptr> subs) {
    std::vector<law *> raw;
    for (law_ptr const &s : subs) raw.push_back(s.get());
    return make_law<T>(raw.data(), static_cast<int>(raw.size()));
}
