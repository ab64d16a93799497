// What the cooperative loops need of the event loop. Every wait dispatches each pending
// handler nested in the caller, but blocks between events instead of spinning a core.
#pragma once

#include <QtGlobal>

// Dispatches what is pending and returns; never waits.
void PumpMessages();

// Dispatches pending events; if there were none, blocks until the next event arrives or
// `maxWaitMs` has passed (a negative value: no deadline). Nested handlers run inside it.
void PumpMessagesOrWait(int maxWaitMs);

// Milliseconds since system start, 32 bits, wrapping.
quint32 GetTickCount();

// Whether a wait of `ms` begun at tick `start` is over at tick `now`: the 32-bit difference
// read as signed reaches `ms`, or the count has passed 2^31 since the start (that one wait
// ends early).
bool TickWaitOver(quint32 start, quint32 now, qint32 ms);
