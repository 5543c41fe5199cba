#pragma once
// What the law base needs from the layers above it, and only this: the simplifier behind
// law::simplify (ops) and the domain law behind law::set_domain (geom). Each layer installs its
// hook when the library loads, so the base never names their classes.
class law;

struct upper_layer_hooks {
    // A new reference to l simplified by the rule engine.
    law *(*simplify)(law const *l, int level, int debug) = nullptr;
    // A new domain law over subs[0] with a low and a high bound law per input (n = 2 k + 1).
    law *(*make_domain)(law **subs, int n) = nullptr;
};

upper_layer_hooks &upper_layers();
