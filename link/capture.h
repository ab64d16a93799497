// The receive capture: a fixed buffer that the receive handler fills while a burn procedure
// waits for one reply byte, and that the procedure scans for it.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <array>

constexpr qint32 RxCaptureSize = 40960;
// Any length at which the next chunk cannot fit switches capture off; these two are used.
constexpr qint32 kCaptureOffAfterRun = 0xFFFF;
constexpr qint32 kCaptureOffAtShow = 0xFFFFFF;

using TRxCaptureBuffer = std::array<quint8, RxCaptureSize>;

// Clears the buffer and switches capture on; the caller's scan position starts at 0.
void CaptureStart(TRxCaptureBuffer& buffer, qint32& len);
// Captures the whole chunk if len + chunk stays below RxCaptureSize, else nothing.
bool CaptureChunk(TRxCaptureBuffer& buffer, qint32& len, const QByteArray& chunk);
// Looks at the bytes from scanPos up to len for `awaited`, then moves scanPos to len.
bool CaptureScan(const TRxCaptureBuffer& buffer, qint32 len, qint32& scanPos, quint8 awaited);
