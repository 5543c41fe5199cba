#include <cstdio>
#include <cstdlib>

#include <law/spline/exchange_real.h>

std::string exchange_real(double v) {
    char buf[40];
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*G", digits, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    std::string s = buf;
    if (s.find('.') == std::string::npos) {
        std::size_t const e = s.find('E');
        s.insert(e == std::string::npos ? s.size() : e, ".");
    }
    return s;
}
