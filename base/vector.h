#pragma once
// Points and directions in 3-space.
#include <cmath>

namespace ZEM {

class vector {
  public:
    constexpr vector() = default;
    constexpr vector(double x, double y, double z) : c_{x, y, z} {}
    constexpr double x() const { return c_[0]; }
    constexpr double y() const { return c_[1]; }
    constexpr double z() const { return c_[2]; }
    constexpr double component(int i) const { return c_[i]; }
    constexpr double &operator[](int i) { return c_[i]; }
    constexpr double operator[](int i) const { return c_[i]; }
    double len() const { return std::sqrt(len_sq()); }
    constexpr double len_sq() const { return c_[0] * c_[0] + c_[1] * c_[1] + c_[2] * c_[2]; }
    vector &operator+=(vector const &v) { return *this = *this + v; }
    vector &operator-=(vector const &v) { return *this = *this - v; }
    vector &operator*=(double s) { return *this = *this * s; }
    friend constexpr vector operator+(vector const &a, vector const &b) {
        return {a.c_[0] + b.c_[0], a.c_[1] + b.c_[1], a.c_[2] + b.c_[2]};
    }
    friend constexpr vector operator-(vector const &a, vector const &b) {
        return {a.c_[0] - b.c_[0], a.c_[1] - b.c_[1], a.c_[2] - b.c_[2]};
    }
    friend constexpr vector operator-(vector const &a) { return {-a.c_[0], -a.c_[1], -a.c_[2]}; }
    friend constexpr vector operator*(vector const &a, double s) {
        return {a.c_[0] * s, a.c_[1] * s, a.c_[2] * s};
    }
    friend constexpr vector operator*(double s, vector const &a) { return a * s; }
    friend constexpr vector operator/(vector const &a, double s) {
        return {a.c_[0] / s, a.c_[1] / s, a.c_[2] / s};
    }
    // Dot product.
    friend constexpr double operator%(vector const &a, vector const &b) {
        return a.c_[0] * b.c_[0] + a.c_[1] * b.c_[1] + a.c_[2] * b.c_[2];
    }
    // Cross product.
    friend constexpr vector operator*(vector const &a, vector const &b) {
        return {a.c_[1] * b.c_[2] - a.c_[2] * b.c_[1], a.c_[2] * b.c_[0] - a.c_[0] * b.c_[2],
                a.c_[0] * b.c_[1] - a.c_[1] * b.c_[0]};
    }
    friend constexpr bool operator==(vector const &a, vector const &b) {
        return a.c_[0] == b.c_[0] && a.c_[1] == b.c_[1] && a.c_[2] == b.c_[2];
    }

  private:
    double c_[3]{0, 0, 0};
};

// A direction of length one; the constructor normalises (a zero vector stays zero).
class unit_vector : public vector {
  public:
    constexpr unit_vector() : vector(0, 0, 1) {}
    unit_vector(double x, double y, double z) : vector(scaled(x, y, z)) {}
    explicit unit_vector(vector const &v) : unit_vector(v.x(), v.y(), v.z()) {}

  private:
    static vector scaled(double x, double y, double z) {
        double const l = std::sqrt(x * x + y * y + z * z);
        return l > 0 ? vector(x / l, y / l, z / l) : vector(x, y, z);
    }
};

class position {
  public:
    constexpr position() = default;
    constexpr position(double x, double y, double z) : c_{x, y, z} {}
    constexpr double x() const { return c_[0]; }
    constexpr double y() const { return c_[1]; }
    constexpr double z() const { return c_[2]; }
    constexpr double coordinate(int i) const { return c_[i]; }
    constexpr double &operator[](int i) { return c_[i]; }
    constexpr double operator[](int i) const { return c_[i]; }
    friend constexpr vector operator-(position const &a, position const &b) {
        return {a.c_[0] - b.c_[0], a.c_[1] - b.c_[1], a.c_[2] - b.c_[2]};
    }
    friend constexpr position operator+(position const &p, vector const &v) {
        return {p.c_[0] + v.x(), p.c_[1] + v.y(), p.c_[2] + v.z()};
    }
    friend constexpr position operator-(position const &p, vector const &v) {
        return {p.c_[0] - v.x(), p.c_[1] - v.y(), p.c_[2] - v.z()};
    }
    position &operator+=(vector const &v) { return *this = *this + v; }
    friend constexpr bool operator==(position const &a, position const &b) {
        return a.c_[0] == b.c_[0] && a.c_[1] == b.c_[1] && a.c_[2] == b.c_[2];
    }

  private:
    double c_[3]{0, 0, 0};
};

inline constexpr vector null_vector{0, 0, 0};
inline constexpr position origin{0, 0, 0};

}  // namespace ZEM

inline double len(ZEM::vector const &v) { return v.len(); }
inline double len_sq(ZEM::vector const &v) { return v.len_sq(); }
inline ZEM::unit_vector normalise(ZEM::vector const &v) { return ZEM::unit_vector(v); }
inline double distance(ZEM::position const &a, ZEM::position const &b) { return (a - b).len(); }
// Two directions are biparallel when they are parallel or anti-parallel within tol (radians).
bool biparallel(ZEM::vector const &a, ZEM::vector const &b, double tol = 1e-10);
