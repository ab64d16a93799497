// The trace's clock: CLOCK_MONOTONIC in microseconds, the clock QElapsedTimer reads too, so
// a test or benchmark can set the trace's times beside its own.
#pragma once

#include <time.h>

#include <QtGlobal>

namespace sim {

inline qint64 MonotonicUs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

}  // namespace sim
