#pragma once

#include <QtGlobal>

// Byte counters run for whole shifts and may pass 2^31: they wrap in two's complement.
inline void AddWrapping(qint32& counter, qint64 n) {
    counter = qint32(quint32(counter) + quint32(quint64(n)));
}
