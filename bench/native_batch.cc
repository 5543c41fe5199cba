#include "native_batch.h"

#include <cmath>
#include <cstring>

namespace bench {
namespace {

#define EXPR_CASE(id, label, dim, differentiated, law_text, mu_text, ginac_text, body) \
    void batch_##id(double const *xs, double *ys, std::size_t n) {                     \
        for (std::size_t i = 0; i < n; ++i) {                                          \
            double const x = xs[i];                                                    \
            double *const y = ys + i * (dim);                                          \
            body                                                                       \
        }                                                                              \
    }
#include "eval_cases.def"
#undef EXPR_CASE

struct entry {
    char const *id;
    native_batch_fn fn;
};

#define EXPR_CASE(id, label, dim, differentiated, law_text, mu_text, ginac_text, body) \
    {#id, &batch_##id},
entry const entries[] = {
#include "eval_cases.def"
};
#undef EXPR_CASE

}  // namespace

native_batch_fn native_batch(char const *id) {
    for (entry const &e : entries)
        if (std::strcmp(e.id, id) == 0) return e.fn;
    return nullptr;
}

}  // namespace bench
