#include "tools/sim/line_pacer.h"

namespace sim {

TLinePacer::TLinePacer(int bytesPerSecond)
    : mRate(qMax(1, bytesPerSecond)), mChunk(qMax(1, (bytesPerSecond + 99) / 100)) {}

void TLinePacer::Consumed(qint64 bytes, qint64 nowUs) {
    // Rounded up, so the rate is never exceeded.
    const qint64 wireUs = (bytes * 1000000 + mRate - 1) / mRate;
    mReadyUs = qMax(mReadyUs, nowUs) + wireUs;
}

}  // namespace sim
