#include "app/event_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

void PumpMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void PumpMessagesOrWait(int maxWaitMs) {
    // The single-shot timer only wakes the blocked dispatcher at the deadline.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    if (maxWaitMs >= 0) wake.start(maxWaitMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

quint32 GetTickCount() {
    // Monotonic, like the system tick count; only its low 32 bits are used.
    QElapsedTimer clock;
    clock.start();
    return quint32(clock.msecsSinceReference());
}

bool TickWaitOver(quint32 start, quint32 now, qint32 ms) {
    return qint32(now - start) >= ms || qint32(now) < qint32(start);
}
