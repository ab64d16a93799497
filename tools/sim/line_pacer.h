// Holds reading down to a line rate, as a UART would: a small chunk at a time, and the next
// read no sooner than the previous chunk would have taken on the wire. What is not read yet
// stays in the terminal's buffer, so the tool's writes meet back-pressure.
#pragma once

#include <QtGlobal>

namespace sim {

class TLinePacer {
  public:
    explicit TLinePacer(int bytesPerSecond);

    // The most to read at once: a hundredth of a second's worth, rounded up, so there are
    // never more than a hundred reads a second.
    int ChunkSize() const { return mChunk; }
    // When the next read may happen.
    qint64 ReadyUs() const { return mReadyUs; }
    // `bytes` were read at `nowUs`.
    void Consumed(qint64 bytes, qint64 nowUs);

  private:
    int mRate;
    int mChunk;
    qint64 mReadyUs = 0;
};

}  // namespace sim
