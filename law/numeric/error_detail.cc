#include <law/numeric/error_detail.h>

#include <cstdio>

#include <law/core/law_sample.h>

namespace {
struct text_detail : error_info {
    std::string text;
    explicit text_detail(std::string t) : text(std::move(t)) {}
    std::string describe() const override { return text; }
};
}  // namespace

void law_error_with_detail(lawutil_error code, std::string const &detail) {
    text_detail info(detail);
    sys_error(lawutil_code(code), &info);
}

std::string detail_number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string law_message_at(law const *f, double x) {
    try {
        return "the value is " + detail_number(value_at(f, x));
    } catch (vorn_exception const &e) {
        return e.message() && *e.message() ? e.message() : e.what();
    }
}

void no_value_on(law const *f, double a, double b) {
    law_error_with_detail(LAW_NO_VALUE, "anywhere on [" + detail_number(a) + ", " +
                                            detail_number(b) +
                                            "]: " + law_message_at(f, a + (b - a) / 2));
}
