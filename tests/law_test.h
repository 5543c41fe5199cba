#pragma once
// Fixture of every test: no law or law data may outlive its test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <law/law.h>

// The library is set up once per test program, so that the calling thread's context (made on
// first use) is not counted against the first test that needs it.
class LawEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        initialize_law();
        lawutil_context();
    }
    void TearDown() override { terminate_law(); }
};
inline ::testing::Environment *const law_environment =
    ::testing::AddGlobalTestEnvironment(new LawEnvironment);

class LawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        laws_before_ = law::live_count();
        data_before_ = law_data::live_count();
        blocks_before_ = vorn_live_blocks();
    }
    void TearDown() override {
        EXPECT_EQ(law::live_count(), laws_before_) << "a law outlived the test";
        EXPECT_EQ(law_data::live_count(), data_before_) << "a law data outlived the test";
        if (check_blocks_) {
            EXPECT_EQ(vorn_live_blocks(), blocks_before_)
                << "a block of the allocator outlived the test";
        }
    }

    // For tests that fill the caches of the registered prototypes, which live as long as the
    // process and keep what they cache.
    void allow_blocks_in_prototype_caches() { check_blocks_ = false; }

  private:
    bool check_blocks_ = true;
    long laws_before_ = 0;
    long data_before_ = 0;
    long blocks_before_ = 0;
};

// The same doubles bit for bit, two NaNs counting as the same: which NaN operand an instruction
// passes on depends on the order a compiler gave it.
inline bool same_bits(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}
inline bool same_bits(std::vector<double> const &a, std::vector<double> const &b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same_bits(a[i], b[i])) return false;
    return true;
}

// Raises-a-lawutil-code check: runs the statement and expects that local code.
#define EXPECT_LAW_ERROR(statement, code)                                \
    do {                                                                 \
        int raised_ = -2;                                                \
        try {                                                            \
            statement;                                                   \
            raised_ = -1;                                                \
        } catch (vorn_exception const &e_) {                             \
            raised_ = lawutil_local_code(e_);                            \
        }                                                                \
        EXPECT_EQ(raised_, static_cast<int>(code)) << "expected " #code; \
    } while (0)

// Everything zem_printf writes while f runs.
template <class F>
std::string captured(F f) {
    FILE *sink = std::tmpfile();
    FILE *before = debug_file_ptr;
    set_debug_file(sink);
    f();
    set_debug_file(before);
    std::string out;
    std::rewind(sink);
    for (int c; (c = std::fgetc(sink)) != EOF;) out += static_cast<char>(c);
    std::fclose(sink);
    return out;
}

// Shorthands for building laws in tests.
inline law_ptr X(int index = 0, char letter = 'X') {
    return adopt<law>(new identity_law(index, letter));
}
inline law_ptr C(double v) { return adopt<law>(new constant_law(v)); }
