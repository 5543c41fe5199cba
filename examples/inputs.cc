// Laws of several inputs, vector laws and errors, as the README shows them.
#include <cstdio>

#include <law/law.h>

int main() {
    initialize_law();
    {
        // Several inputs: X, Y, Z (or A1, A2, ...) are read from an array, in order.
        law_ptr const f = adopt(str_to_law("X*Y+Y^2"));
        double const point[2] = {3, 2};
        double value = 0;
        f->evaluate(point, &value);  // 10
        std::printf("%s at (3, 2) = %g, inputs %d\n", f->text().c_str(), value, f->take_dim());

        // A vector law has one output per member; evaluateR_V reads three of them at one input.
        law_ptr const helix = adopt(str_to_law("VEC(COS(T), SIN(T), T/2)"));
        ZEM::vector const p = helix->evaluateR_V(0.0);  // (1, 0, 0)
        std::printf("helix(0) = (%g, %g, %g), outputs %d\n", p.x(), p.y(), p.z(),
                    helix->return_dim());

        // Evaluation raises vorn_exception; lawutil_local_code gives its code (LAW_LN is 42).
        law_ptr const ln = adopt(str_to_law("LN(X)"));
        try {
            ln->eval(-1);
        } catch (vorn_exception const &e) {
            std::printf("error %d: %s\n", lawutil_local_code(e), e.message());
        }

        // The parser raises nothing: it returns null and leaves a message for the thread.
        if (!adopt(str_to_law("X#"))) std::printf("parser: %s\n", TEST_get_error());
    }
    terminate_law();
}
