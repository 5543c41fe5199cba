#include <law/base/errors.h>
#include <law/base/options.h>
#include <law/spline/fit_derivatives.h>

namespace {

// Sets the option for its lifetime.
class fast_euler_setting {
  public:
    explicit fast_euler_setting(int value) : before_(get_option("fast_euler")) {
        set_option("fast_euler", value);
    }
    ~fast_euler_setting() { set_option("fast_euler", before_); }
    fast_euler_setting(fast_euler_setting const &) = delete;
    fast_euler_setting &operator=(fast_euler_setting const &) = delete;

  private:
    int before_;
};

}  // namespace

bool fit_with_best_derivatives(std::function<void()> const &fit) {
    try {
        fast_euler_setting const exact(0);
        fit();
        return true;
    } catch (vorn_exception const &) {
        // The differences may still manage; an error of theirs is the one to report.
    }
    fast_euler_setting const differences(1);
    fit();
    return false;
}
