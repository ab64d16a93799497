#include "tool_line.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <cerrno>

namespace {

int RemainingMs(const QDeadlineTimer& deadline) {
    return int(qMax<qint64>(0, deadline.remainingTime()));
}

}  // namespace

TToolLine::TToolLine(const QString& devicePath) {
    mFd = ::open(qPrintable(devicePath), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (mFd < 0) return;
    termios tio{};
    tcgetattr(mFd, &tio);
    cfmakeraw(&tio);
    tcsetattr(mFd, TCSANOW, &tio);
}

TToolLine::~TToolLine() {
    Close();
}

bool TToolLine::Write(const QByteArray& bytes, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(mFd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (deadline.hasExpired()) return false;
        pollfd p{mFd, POLLOUT, 0};
        poll(&p, 1, RemainingMs(deadline));
    }
    return true;
}

QByteArray TToolLine::Read(int count, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QByteArray out;
    while (out.size() < count) {
        char buf[4096];
        const ssize_t n = ::read(mFd, buf, size_t(qMin<qsizetype>(sizeof buf, count - out.size())));
        if (n > 0) {
            out.append(buf, int(n));
            continue;
        }
        if ((n < 0 && errno != EAGAIN && errno != EINTR) || deadline.hasExpired()) break;
        pollfd p{mFd, POLLIN, 0};
        poll(&p, 1, RemainingMs(deadline));
    }
    return out;
}

QByteArray TToolLine::ReadWaiting() {
    return Read(1 << 20, 0);
}

bool TToolLine::WaitForHangUp(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    do {
        pollfd p{mFd, POLLIN, 0};
        poll(&p, 1, RemainingMs(deadline));
        if (p.revents & (POLLHUP | POLLERR)) return true;
        char byte;
        if (p.revents & POLLIN && ::read(mFd, &byte, 1) < 0 && errno == EIO) return true;
    } while (!deadline.hasExpired());
    return false;
}

void TToolLine::Close() {
    if (mFd >= 0) ::close(mFd);
    mFd = -1;
}
