// The window with its port open on a pseudo-terminal whose device side the test scripts, and
// a run of the update button driven step by step.
#pragma once

#include "support/pty_pair.h"
#include "support/window_fixture.h"

class TRunTest : public TWindowTest {
protected:
    void SetUp() override;

    // Clicks "UpdateFirmWare" and works through the script while the run goes on; fails the
    // test if a step is not reached in `timeoutMs`.
    void RunUpdate(TScript& script, int timeoutMs = 20000);
    void ClickUpdate();
    bool LogHas(const QString& line) const { return LogLines().contains(line); }
    // The offsets in Received at which a stop frame begins.
    QList<qsizetype> StopFrameOffsets() const;

    TPtyPair mDevice;
};

// A stop frame as it must appear on the wire.
QByteArray StopFrameBytes();
