#pragma once
// Checks shared by the tool's tests.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tool_runner.h"

struct failure_case {
    std::vector<std::string> args;
    int status;
    char const *message;  // expected within standard error
};

// Each case fails with its status, prints nothing, and says "law: " and its message.
inline void expect_failures(std::vector<failure_case> const &cases) {
    for (failure_case const &c : cases) {
        tool_run const r = run_law(c.args);
        std::string const what = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(r.status, c.status) << what << " " << (c.args.size() > 1 ? c.args[1] : "");
        EXPECT_EQ(r.out, "") << what;
        EXPECT_NE(r.err.find(c.message), std::string::npos)
            << "'" << r.err << "' lacks '" << c.message << "'";
        EXPECT_EQ(r.err.rfind("law: ", 0), 0u) << r.err;
    }
}
