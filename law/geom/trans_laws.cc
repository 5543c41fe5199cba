#include <law/geom/trans_laws.h>

#include <law/core/eval_buffer.h>
#include <law/geom/geom_util.h>
#include <law/lang/law_list.h>

namespace {
law_list scale_registration(new scaletrans_law());
law_list vec_registration(new vectrans_law());
law_list pos_registration(new postrans_law());

constexpr int transform_values = 13;

lawutil_error count_code(int id) {
    switch (id) {
        case law_id::scaletrans_law:
            return LAW_SCALE_NUM;
        case law_id::vectrans_law:
            return LAW_VEC_NUM;
        default:
            return LAW_POS_NUM;
    }
}

law **checked(law **subs, int n, int id) {
    if (!subs && n == 0) return nullptr;  // the prototype
    if (n != 2 || !subs || !subs[0] || !subs[1]) law_error(count_code(id));
    int const dim = subs[0]->return_dim();
    bool const fits = dim == 3 || (id == law_id::scaletrans_law && dim == 1);
    if (!fits || subs[1]->return_dim() != transform_values) law_error(LAW_DIM);
    return subs;
}
}  // namespace

transforming_law::transforming_law(law **subs, int n, int id)
    : multiple_law(checked(subs, n, id), n), id_(id) {}

int transforming_law::return_size() const { return fsub() ? fsub()[0]->return_dim() : 0; }

void transforming_law::evaluate(double const *x, double *answer) const {
    if (!fsub()) law_error(LAW_EVAL);
    ZEM::transf const t = fsub()[1]->evaluateM_T(x);
    switch (id_) {
        case law_id::scaletrans_law: {
            int const n = return_dim();
            fsub()[0]->evaluate(x, answer);
            for (int i = 0; i < n; ++i) answer[i] *= t.scaling();
            return;
        }
        case law_id::vectrans_law: {
            ZEM::vector const v = fsub()[0]->evaluateM_V(x) * t;
            for (int i = 0; i < 3; ++i) answer[i] = v[i];
            return;
        }
        default: {
            ZEM::position const p = fsub()[0]->evaluateM_P(x) * t;
            for (int i = 0; i < 3; ++i) answer[i] = p[i];
            return;
        }
    }
}

law *transforming_law::deriv(int which) const {
    if (!fsub()) law_error(LAW_DERIV);
    if (fsub()[1]->take_dim() != 0) return numerical_derivative(this, which);
    law_ptr const d = adopt(fsub()[0]->derivative(which));
    if (id_ == law_id::scaletrans_law) return new scaletrans_law(d.get(), fsub()[1]);
    return new vectrans_law(d.get(), fsub()[1]);
}

law *transforming_law::sub_simplify(int, char const *&rule_name) const {
    if (!fsub() || fsub()[1]->take_dim() != 0) return nullptr;
    ZEM::transf const t = fsub()[1]->evaluateM_T(nullptr);
    bool const unchanged = id_ == law_id::scaletrans_law ? t.scaling() == 1.0 : t.identity();
    if (!unchanged) return nullptr;
    note_rule(rule_name, "trans(A,I)=A");
    return share(fsub()[0]).release();
}
