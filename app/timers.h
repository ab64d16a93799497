// Timers as the system drives them: an interval, an Enabled switch, a repeat count and one
// event handler, delivered through the event queue on the GUI thread.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class TCnTimer : public QObject {
public:
    explicit TCnTimer(int intervalMs, QObject* parent = nullptr);

    int Interval() const { return mTimer.interval(); }
    void SetInterval(int ms);
    bool Enabled() const { return mEnabled; }
    // A change resets the event count; enabling starts a full interval now.
    void SetEnabled(bool enabled);
    // 0: no limit; n > 0: disables itself after n events.
    int RepeatCount() const { return mRepeatCount; }
    void SetRepeatCount(int count) { mRepeatCount = count; }

    std::function<void()> OnTimer;

private:
    void Fire();

    QTimer mTimer;
    bool mEnabled = false;
    int mRepeatCount = 0;
    int mEventCount = 0;
};
