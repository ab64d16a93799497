#include "tools/sim/line_sink.h"

#include <unistd.h>

#include <QSaveFile>
#include <cerrno>
#include <cstdio>

namespace sim {

TLineSink::TLineSink(int master, int traceFd, QString outPath)
    : mMaster(master), mTraceFd(traceFd), mOutPath(std::move(outPath)) {}

void TLineSink::Send(const QByteArray& bytes) {
    mOut += bytes;
    Flush();
}

bool TLineSink::SendNoise(const QByteArray& bytes) {
    // A line that has not taken the last bytes is not read: noise for it is lost, as on a
    // real wire, and never piles up here.
    if (Pending()) return false;
    Send(bytes);
    return true;
}

void TLineSink::Trace(const TTraceEvent& event) {
    if (mTraceFd < 0) return;
    // One write per line, so a reader never sees half a line as the last one.
    const QByteArray line = event.Json() + '\n';
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(mTraceFd, line.constData() + done, size_t(line.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += n;
    }
}

void TLineSink::ImageDone(const QByteArray& image) {
    if (mOutPath.isEmpty()) return;
    // Replaced whole, so a reader never sees a half-written image.
    QSaveFile file(mOutPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit())
        fprintf(stderr, "vardo-sim: could not write %s\n", qPrintable(mOutPath));
}

void TLineSink::Flush() {
    while (!mOut.isEmpty()) {
        const ssize_t n = ::write(mMaster, mOut.constData(), size_t(mOut.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // the terminal's buffer is full; the poll loop waits for room
        mOut.remove(0, n);
    }
}

}  // namespace sim
