// The simulator's one loop: it blocks in poll until bytes come, a signal comes, the
// terminal takes output, or the device's or the pacer's next deadline passes. It never
// spins.
#pragma once

#include <optional>

#include "tools/sim/device.h"
#include "tools/sim/line_pacer.h"
#include "tools/sim/line_sink.h"
#include "tools/sim/pty.h"

namespace sim {

enum class TLoopEnd { Signal, DevicesDone, Vanished, LineFailed };

struct TLoop {
    TPty& Pty;
    TDevice& Device;
    TLineSink& Sink;
    std::optional<TLinePacer> Pacer;  // set: read at a line rate
    int Devices = 0;                  // end after this many devices; 0: never
    int SignalFd = -1;
};

TLoopEnd RunLoop(TLoop& loop);

// After the last device: waits, up to `timeoutMs`, until the tool has read every reply, so
// closing the line does not take the last acknowledgement with it.
void Drain(TLoop& loop, int timeoutMs);

}  // namespace sim
