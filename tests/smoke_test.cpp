#include <gtest/gtest.h>

#include "platform/TimerQueue.h"

TEST(TimerQueue, LateTimerFiresOnceThenKeepsItsPeriod) {
    TimerQueue q;
    q.Set(nullptr, 1, 40, 0);
    TimerQueue::Timer t;
    EXPECT_FALSE(q.PopDue(39, t));
    ASSERT_TRUE(q.PopDue(40, t));
    EXPECT_EQ(q.NextDue(), 80u);
    // A thread blocked for a second sees one tick, not 25.
    ASSERT_TRUE(q.PopDue(1080, t));
    EXPECT_FALSE(q.PopDue(1080, t));
    EXPECT_EQ(q.NextDue(), 1120u);
}
