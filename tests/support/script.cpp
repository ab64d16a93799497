#include "support/script.h"

#include <QDeadlineTimer>
#include <QTimer>

#include "support/pty_pair.h"

TScript& TScript::Then(const QString& name, std::function<bool()> until, std::function<void()> action) {
    mSteps.append({name, std::move(until), std::move(action)});
    return *this;
}

void TScript::Tick() {
    // A step's action may pump (a stop pauses 200 ms); the timer must not re-enter it.
    if (mBusy) return;
    mBusy = true;
    while (mNext < mSteps.size() && mSteps[mNext].Until()) {
        TStep& step = mSteps[mNext++];
        if (step.Action) step.Action();
    }
    mBusy = false;
}

void TScript::Run(const std::function<void()>& start, int timeoutMs,
                  const std::function<void()>& rescue) {
    QDeadlineTimer deadline(timeoutMs);
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (deadline.hasExpired() && Failure.isEmpty() && !mBusy) {
            Failure = mNext < mSteps.size() ? mSteps[mNext].Name : QString("run did not end");
            mNext = int(mSteps.size());
            rescue();
            return;
        }
        Tick();
    });
    ticker.start(TickMs);
    start();
    WaitFor([&] { return mNext >= mSteps.size() || !Failure.isEmpty(); }, int(qMax<qint64>(deadline.remainingTime(), 0)));
    if (mNext < mSteps.size() && Failure.isEmpty()) Failure = mSteps[mNext].Name;
}
