// A run of the tool driven step by step from inside its own event loop.
#pragma once

#include <QList>
#include <QString>
#include <functional>

// Runs `start` (a click that may run for long, pumping as it goes) while a timer works
// through the steps in order: each waits for its condition, then acts. If a step is not
// reached in time, the run is stopped, so a test never hangs.
class TScript {
public:
    TScript& Then(const QString& name, std::function<bool()> until, std::function<void()> action = {});
    // Returns once `start` has returned and every step is done, or at the deadline.
    void Run(const std::function<void()>& start, int timeoutMs, const std::function<void()>& rescue);
    // The name of the step that was not reached, empty when all were.
    QString Failure;
    // How often the steps' conditions are looked at; a benchmark looks less often, so that
    // the looking costs next to nothing.
    int TickMs = 5;

private:
    struct TStep {
        QString Name;
        std::function<bool()> Until;
        std::function<void()> Action;
    };
    void Tick();
    QList<TStep> mSteps;
    int mNext = 0;
    bool mBusy = false;
};
