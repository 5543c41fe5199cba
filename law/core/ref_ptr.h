#pragma once
// An owning handle over the add/remove protocol of laws and law data: the reference it holds is
// released on every path out of its scope, raised errors included.
#include <cstddef>
#include <utility>

template <class T>
class ref_ptr {
  public:
    ref_ptr() = default;
    ref_ptr(std::nullptr_t) {}
    // Takes over a reference the caller already owns (a builder's result).
    static ref_ptr adopt(T *p) { return ref_ptr(p); }
    // Takes a new reference of its own.
    static ref_ptr share(T const *p) {
        if (p) p->add();
        return ref_ptr(const_cast<T *>(p));
    }
    ref_ptr(ref_ptr const &o) : p_(o.p_) {
        if (p_) p_->add();
    }
    ref_ptr(ref_ptr &&o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U>
    ref_ptr(ref_ptr<U> &&o) noexcept : p_(o.release()) {}
    ref_ptr &operator=(ref_ptr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ref_ptr() { reset(); }

    T *get() const { return p_; }
    T *operator->() const { return p_; }
    T &operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Gives the reference to the caller.
    [[nodiscard]] T *release() { return std::exchange(p_, nullptr); }
    void reset() {
        if (T *p = std::exchange(p_, nullptr)) p->remove();
    }

  private:
    explicit ref_ptr(T *p) : p_(p) {}
    T *p_ = nullptr;
};

template <class T>
ref_ptr<T> adopt(T *p) {
    return ref_ptr<T>::adopt(p);
}
template <class T>
ref_ptr<T> share(T const *p) {
    return ref_ptr<T>::share(p);
}

// A new object of class T, owned by the handle: make<T>(args...).
template <class T, class... Args>
ref_ptr<T> make(Args &&...args) {
    return ref_ptr<T>::adopt(new T(std::forward<Args>(args)...));
}
