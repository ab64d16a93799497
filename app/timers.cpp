#include "app/timers.h"

TCnTimer::TCnTimer(int intervalMs, QObject* parent) : QObject(parent) {
    mTimer.setTimerType(Qt::PreciseTimer);
    mTimer.setInterval(intervalMs);
    QObject::connect(&mTimer, &QTimer::timeout, this, [this] { Fire(); });
}

void TCnTimer::SetInterval(int ms) {
    mTimer.setInterval(ms);
    if (mEnabled) mTimer.start();
}

void TCnTimer::SetEnabled(bool enabled) {
    if (enabled == mEnabled) return;
    mEnabled = enabled;
    mEventCount = 0;
    if (enabled)
        mTimer.start();
    else
        mTimer.stop();
}

void TCnTimer::Fire() {
    if (!mEnabled) return;
    ++mEventCount;
    if (mRepeatCount > 0 && mEventCount >= mRepeatCount) SetEnabled(false);
    if (OnTimer) OnTimer();
}
