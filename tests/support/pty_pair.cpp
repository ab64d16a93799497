#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <stdexcept>

#include "app/event_loop.h"

TPtyPair::TPtyPair() {
    mMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (mMaster < 0 || grantpt(mMaster) != 0 || unlockpt(mMaster) != 0)
        throw std::runtime_error("no pseudo-terminal");
    mPath = QString::fromLocal8Bit(ptsname(mMaster));
    // Raw: the bytes pass untouched (no echo, no CR/LF mapping). The terminal side stays
    // open here too, so the device side sees no hang-up when the tool closes the port.
    mSlaveHold = ::open(ptsname(mMaster), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(mSlaveHold, &tio);
    cfmakeraw(&tio);
    tcsetattr(mSlaveHold, TCSANOW, &tio);
    fcntl(mMaster, F_SETFL, fcntl(mMaster, F_GETFL) | O_NONBLOCK);
}

TPtyPair::~TPtyPair() {
    CloseDevice();
}

void TPtyPair::Write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(mMaster, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else {
            pollfd p{mMaster, POLLOUT, 0};
            poll(&p, 1, 100);
        }
    }
}

QByteArray TPtyPair::Read(int count, int timeoutMs) {
    QByteArray out;
    QDeadlineTimer deadline(timeoutMs);
    while (out.size() < count && !deadline.hasExpired()) {
        char buf[4096];
        ssize_t n = ::read(mMaster, buf, size_t(qMin<qsizetype>(sizeof buf, count - out.size())));
        if (n > 0) {
            out.append(buf, int(n));
            continue;
        }
        pollfd p{mMaster, POLLIN, 0};
        poll(&p, 1, int(qMax<qint64>(1, qMin<qint64>(deadline.remainingTime(), 20))));
    }
    return out;
}

QByteArray TPtyPair::ReadAll(int quietMs) {
    QByteArray out;
    for (;;) {
        QByteArray more = Read(1 << 20, quietMs);
        if (more.isEmpty()) return out;
        out += more;
    }
}

void TPtyPair::CloseDevice() {
    mNotifier.reset();
    if (mMaster >= 0) ::close(mMaster);
    if (mSlaveHold >= 0) ::close(mSlaveHold);
    mMaster = mSlaveHold = -1;
}

void TPtyPair::Listen(std::function<void(const QByteArray&)> onBytes) {
    mOnBytes = std::move(onBytes);
    mNotifier = std::make_unique<QSocketNotifier>(mMaster, QSocketNotifier::Read);
    QObject::connect(mNotifier.get(), &QSocketNotifier::activated, [this] {
        char buf[8192];
        const ssize_t n = ::read(mMaster, buf, sizeof buf);
        if (n <= 0) return;
        const QByteArray bytes(buf, int(n));
        Received += bytes;
        Chunks.append({QDeadlineTimer::current().deadline(), bytes});
        if (mOnBytes) mOnBytes(bytes);
    });
}

qint64 TPtyPair::ArrivalMs(qsizetype offset) const {
    qsizetype seen = 0;
    for (const TChunk& c : Chunks) {
        seen += c.Bytes.size();
        if (offset < seen) return c.AtMs;
    }
    return -1;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        PumpMessagesOrWait(int(qMin<qint64>(deadline.remainingTime(), 10)));
    }
    return true;
}

int IdleTurns(int ms, int waitMs) {
    QElapsedTimer t;
    t.start();
    int turns = 0;
    while (t.elapsed() < ms) {
        PumpMessagesOrWait(waitMs);
        ++turns;
    }
    return turns;
}
