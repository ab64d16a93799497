#include "tools/sim/run_loop.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "tools/sim/mono_clock.h"

namespace sim {

namespace {

constexpr int kReadSize = 4096;
constexpr int kDrainStepMs = 10;

timespec Timespec(qint64 us) {
    us = qMax<qint64>(0, us);
    return timespec{time_t(us / 1000000), long(us % 1000000) * 1000};
}

}  // namespace

TLoopEnd RunLoop(TLoop& loop) {
    const int master = loop.Pty.Master();
    for (;;) {
        qint64 now = MonotonicUs();
        loop.Device.Advance(now);
        loop.Sink.Flush();
        if (loop.Device.Vanished()) return TLoopEnd::Vanished;
        if (loop.Devices > 0 && loop.Device.Stats().DevicesDone >= loop.Devices)
            return TLoopEnd::DevicesDone;

        const bool mayRead = !loop.Pacer || loop.Pacer->ReadyUs() <= now;
        std::optional<qint64> wake = loop.Device.NextDueUs();
        if (!mayRead) wake = wake ? qMin(*wake, loop.Pacer->ReadyUs()) : loop.Pacer->ReadyUs();
        short events = 0;
        if (mayRead) events |= POLLIN;
        if (loop.Sink.Pending()) events |= POLLOUT;
        pollfd fds[] = {{loop.SignalFd, POLLIN, 0}, {master, events, 0}};
        timespec timeout = Timespec(wake ? *wake - now : 0);
        if (ppoll(fds, 2, wake ? &timeout : nullptr, nullptr) < 0) {
            if (errno == EINTR) continue;
            return TLoopEnd::LineFailed;
        }
        if (fds[0].revents != 0) return TLoopEnd::Signal;
        // Never expected while the terminal side is held open; ending beats spinning on it.
        if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) return TLoopEnd::LineFailed;
        if (!(fds[1].revents & POLLIN)) continue;

        char buf[kReadSize];
        const int size = loop.Pacer ? qMin(loop.Pacer->ChunkSize(), kReadSize) : kReadSize;
        const ssize_t n = ::read(master, buf, size_t(size));
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return TLoopEnd::LineFailed;
        now = MonotonicUs();
        if (loop.Pacer) loop.Pacer->Consumed(n, now);
        loop.Device.Receive(QByteArray(buf, int(n)), now);
    }
}

void Drain(TLoop& loop, int timeoutMs) {
    // The terminal tells how much is unread but gives no event when that reaches zero, so
    // this looks again every few milliseconds, sleeping in between.
    for (int waited = 0; waited < timeoutMs; waited += kDrainStepMs) {
        loop.Sink.Flush();
        if (!loop.Sink.Pending() && loop.Pty.Unread() == 0) return;
        pollfd signal{loop.SignalFd, POLLIN, 0};
        if (poll(&signal, 1, kDrainStepMs) > 0) return;
    }
}

}  // namespace sim
