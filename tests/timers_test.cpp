#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "app/event_loop.h"
#include "app/timers.h"
#include "support/pty_pair.h"

namespace {

class CnTimer : public ::testing::Test {
protected:
    void SetUp() override {
        mTimer.OnTimer = [this] { mFiredAt.append(mClock.elapsed()); };
        mClock.start();
    }
    void Idle(int ms) { IdleTurns(ms, ms); }

    TCnTimer mTimer{100};
    QElapsedTimer mClock;
    QList<qint64> mFiredAt;
};

}  // namespace

TEST_F(CnTimer, RestartedTimerFiresOneFullIntervalLaterThenEveryInterval) {
    mTimer.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return mFiredAt.size() >= 3; }, 2000));
    EXPECT_GE(mFiredAt[0], 99);
    EXPECT_GE(mFiredAt[1] - mFiredAt[0], 90);
    EXPECT_GE(mFiredAt[2] - mFiredAt[1], 90);
}

TEST_F(CnTimer, EnablingAnEnabledTimerDoesNotRestartItsInterval) {
    mTimer.SetEnabled(true);
    Idle(60);
    mTimer.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return !mFiredAt.isEmpty(); }, 2000));
    EXPECT_LT(mFiredAt[0], 150);
}

TEST_F(CnTimer, DisableAndEnableStartsAFreshInterval) {
    mTimer.SetEnabled(true);
    Idle(60);
    mTimer.SetEnabled(false);
    mTimer.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return !mFiredAt.isEmpty(); }, 2000));
    EXPECT_GE(mFiredAt[0], 159);
}

TEST_F(CnTimer, RepeatCountDisablesAfterThatManyEvents) {
    mTimer.SetInterval(20);
    mTimer.SetRepeatCount(2);
    mTimer.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return !mTimer.Enabled(); }, 2000));
    Idle(100);
    EXPECT_EQ(mFiredAt.size(), 2);
}

TEST_F(CnTimer, DisabledTimerNeverFires) {
    Idle(250);
    EXPECT_TRUE(mFiredAt.isEmpty());
}

TEST(EventLoop, WaitBlocksUntilItsDeadlineInsteadOfSpinning) {
    EXPECT_LE(IdleTurns(200, 20), 30);
}

TEST(EventLoop, WaitWakesForAnEventBeforeItsDeadline) {
    bool ran = false;
    QTimer::singleShot(10, [&] { ran = true; });
    QElapsedTimer t;
    t.start();
    while (!ran && t.elapsed() < 5000) PumpMessagesOrWait(5000);
    EXPECT_TRUE(ran);
    EXPECT_LT(t.elapsed(), 1000);
}
