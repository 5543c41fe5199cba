// Services of the base layer: options, errors and warnings, the message channel, omitted
// references, and the law library's options.
#include <malloc.h>

#include <string>
#include <thread>
#include <vector>

#include "law_test.h"

class BaseServices : public LawTest {};

TEST_F(BaseServices, LibraryOptionsHaveTheirDefaults) {
    struct row {
        char const *name;
        int value;
    } const rows[] = {{"min_rot_samples", 1000}, {"fast_euler", 1}};
    for (auto const &r : rows) {
        option_header *o = option_header::find(r.name);
        ASSERT_NE(o, nullptr) << r.name;
        EXPECT_EQ(o->count(), r.value);
        EXPECT_EQ(get_option(r.name), r.value);
        EXPECT_TRUE(set_option(r.name, 7));
        EXPECT_EQ(o->count(), 7);  // read at each use
        o->reset();
        EXPECT_EQ(get_option(r.name), r.value);
    }
    EXPECT_EQ(option_header::find("no_such_option"), nullptr);
    EXPECT_EQ(get_option("no_such_option"), 0);
    EXPECT_FALSE(set_option("no_such_option", 1));
}

TEST_F(BaseServices, ErrorsCarryTheirModuleCodeAndMessage) {
    int const code = lawutil_code(LAW_ZERODIVIDE);
    try {
        law_error(LAW_ZERODIVIDE);
        FAIL() << "law_error returned";
    } catch (vorn_exception const &e) {
        EXPECT_EQ(e.code(), code);
        EXPECT_STREQ(e.code_name(), "LAW_ZERODIVIDE");
        EXPECT_STREQ(e.message(), "Divide by zero");
        EXPECT_STREQ(e.module(), "lawutil");
        EXPECT_EQ(lawutil_local_code(e), LAW_ZERODIVIDE);
        EXPECT_NE(std::string(e.what()).find("Divide by zero"), std::string::npos);
    }

    struct detail : error_info {
        std::string describe() const override { return "at t = 2"; }
    } info;
    try {
        sys_error(code, &info);
    } catch (vorn_exception const &e) {
        EXPECT_NE(std::string(e.what()).find("at t = 2"), std::string::npos);
    }

    vorn_exception const foreign(999999);
    EXPECT_STREQ(foreign.code_name(), "UNKNOWN");
    EXPECT_STREQ(foreign.message(), "");
    EXPECT_EQ(lawutil_local_code(foreign), -1);
    EXPECT_EQ(message_module::owner(-5), nullptr);
}

TEST_F(BaseServices, WarningsAreRecordedAndGoOn) {
    sys_clear_warnings();
    EXPECT_EQ(sys_last_warning(), 0);
    law_warning(LAW_SAVE_APPROX);
    law_warning(LAW_BAD_BOUNDS);
    EXPECT_EQ(sys_warning_count(), 2);
    EXPECT_EQ(sys_last_warning(), lawutil_code(LAW_BAD_BOUNDS));
    sys_clear_warnings();
    EXPECT_EQ(sys_warning_count(), 0);
}

TEST_F(BaseServices, MessageChannel) {
    TEST_clear_error();
    EXPECT_STREQ(TEST_get_error(), "");
    TEST_set_error("bad syntax at #");
    EXPECT_STREQ(TEST_get_error(), "bad syntax at #");
    TEST_set_error(nullptr);
    EXPECT_STREQ(TEST_get_error(), "");
}

namespace {
bool given_int(int const &r = NULL_REF) { return !is_null_ref(r); }
ZEM::vector const *given_vector(ZEM::vector const &v = NULL_REF) { return given(v); }
}  // namespace

TEST_F(BaseServices, OmittedReferencesAreRecognised) {
    int const zero = 0;
    EXPECT_FALSE(given_int());
    EXPECT_TRUE(given_int(zero));
    ZEM::vector const v;
    EXPECT_EQ(given_vector(), nullptr);
    EXPECT_EQ(given_vector(v), &v);
}

TEST_F(BaseServices, TextStreamsAndStringCopies) {
    T4_ostream out;
    out << "x=" << 2 << ' ' << 0.5 << ' ' << static_cast<char const *>(nullptr);
    EXPECT_STREQ(out.str(), "x=2 0.5 ");
    EXPECT_EQ(out.size(), 8u);
    char *copy = zem_new_str_from("LINE1");
    EXPECT_STREQ(copy, "LINE1");
    vorn_discard(copy);
    EXPECT_EQ(zem_new_str_from(nullptr), nullptr);
}

TEST_F(BaseServices, ClassAllocatorCountsBlocks) {
    long const before = vorn_live_blocks();
    double *a = VORN_ARRAY(double, 3);
    EXPECT_EQ(vorn_live_blocks(), before + 1);
    vorn_discard(a);
    vorn_discard(nullptr);
    EXPECT_EQ(vorn_live_blocks(), before);
}
// A thread keeps a bounded share of the small objects it gives back; the rest go back to the C
// library, so one large tree does not hold its peak for the life of the thread.
TEST_F(BaseServices, SmallObjectsBeyondAThreadsShareGoBackToTheSystem) {
    std::thread([] {
        std::size_t const before = mallinfo2().uordblks;
        std::vector<void *> objects(1 << 21);
        for (void *&o : objects) o = vorn_allocate_object(48);
        std::size_t const held = mallinfo2().uordblks;
        for (void *o : objects) vorn_discard_object(o, 48);
        std::size_t const after = mallinfo2().uordblks;
        // The C library's own count; under ASan it stays at zero.
        if (held > before + (std::size_t{64} << 20)) {
            EXPECT_GT(held - after, (held - before) / 2);
        }
    }).join();
}

// The mutex every law holds: re-entrant for its holder, exclusive between threads (run under
// ThreadSanitizer with the other thread tests).
TEST_F(BaseServices, ThreadsTakeTheReentrantMutexInTurn) {
    fast_mutex m;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                m.lock();
                m.lock();  // again, as derivative does while it simplifies
                ++counter;
                m.unlock();
                m.unlock();
            }
        });
    }
    for (std::thread &t : threads) t.join();
    EXPECT_EQ(counter, 80000);
    ASSERT_TRUE(m.try_lock());
    EXPECT_TRUE(m.try_lock());
    bool other_got_it = true;
    std::thread([&] { other_got_it = m.try_lock(); }).join();
    EXPECT_FALSE(other_got_it);
    m.unlock();
    m.unlock();
    std::thread([&] {
        other_got_it = m.try_lock();
        if (other_got_it) m.unlock();
    }).join();
    EXPECT_TRUE(other_got_it);
}
