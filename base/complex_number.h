#pragma once
// A complex number as two doubles.
#include <cmath>

struct complex_number {
    double re = 0, im = 0;
    constexpr complex_number() = default;
    constexpr complex_number(double r, double i = 0) : re(r), im(i) {}
    constexpr double real() const { return re; }
    constexpr double imag() const { return im; }
    double abs() const { return std::hypot(re, im); }
    friend constexpr complex_number operator+(complex_number a, complex_number b) {
        return {a.re + b.re, a.im + b.im};
    }
    friend constexpr complex_number operator-(complex_number a, complex_number b) {
        return {a.re - b.re, a.im - b.im};
    }
    friend constexpr complex_number operator*(complex_number a, complex_number b) {
        return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
    }
    friend complex_number operator/(complex_number a, complex_number b) {
        double const d = b.re * b.re + b.im * b.im;
        return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
    }
    friend constexpr bool operator==(complex_number, complex_number) = default;
};
