#include "link/capture.h"

#include <algorithm>

void CaptureStart(TRxCaptureBuffer& buffer, qint32& len) {
    len = 0;
    buffer.fill(0);
}

bool CaptureChunk(TRxCaptureBuffer& buffer, qint32& len, const QByteArray& chunk) {
    // Compared in 64 bits: a long chunk on a switched-off capture must not wrap into range.
    const qint64 count = chunk.size();
    if (count <= 0 || len < 0 || qint64(len) + count >= RxCaptureSize) return false;
    std::copy(chunk.begin(), chunk.end(), buffer.begin() + len);
    len += qint32(count);
    return true;
}

bool CaptureScan(const TRxCaptureBuffer& buffer, qint32 len, qint32& scanPos, quint8 awaited) {
    const qint32 end = std::min(len, RxCaptureSize);
    bool found = false;
    for (qint32 i = std::max(scanPos, 0); i < end && !found; ++i) found = buffer[i] == awaited;
    scanPos = len;
    return found;
}
