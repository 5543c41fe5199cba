// A recursion that asks stack_nearly_spent at each level stops before the stack runs out, on a
// thread of a small stack as on the main thread.
#include <pthread.h>

#include <gtest/gtest.h>

#include <law/base/stack_room.h>

namespace {

// Levels of a recursion of about 1 KB a level, until the stack is nearly spent (or 10^5 levels).
int levels_until_spent(int depth) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(depth);
    if (depth >= 100000 || stack_nearly_spent(512 * 1024)) return depth;
    int const levels = levels_until_spent(depth + 1);
    // Read after the call, so that the frame lives through it.
    return levels + frame[0] - static_cast<char>(depth);
}

void *on_small_stack(void *levels) {
    *static_cast<int *>(levels) = levels_until_spent(0);
    return nullptr;
}

TEST(StackRoom, DeepRecursionStopsWhileStackIsLeft) {
    EXPECT_FALSE(stack_nearly_spent(512 * 1024));
    // On a thread of 256 KB an eighth of it is kept: the recursion stops after about 200 levels.
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
    int levels = -1;
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, on_small_stack, &levels), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_GT(levels, 20);
    EXPECT_LT(levels, 256);
}

}  // namespace
