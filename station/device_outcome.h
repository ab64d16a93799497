// What a station reports of its run and of each device.
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

enum class TStationState {
    Idle,      // nothing runs
    Waiting,   // handshake: waiting for a device to answer
    Burning,   // a device's blocks go out
    Stopping,  // the stop path runs
    Stopped,   // the run has ended
    LeftOver,  // an error ended the run; the next toggle stops
    PortLost,  // an error ended the run and the port is gone
};

enum class TDeviceResult { Done, TimedOut, Stopped, Lost, Error };

// One device that got past the handshake.
struct TDeviceOutcome {
    TDeviceResult Result = TDeviceResult::Done;
    qint32 Flow = 0;         // the station's count after this device
    qint32 Blocks = 0;       // blocks in the image
    qint32 BlocksAcked = 0;  // blocks acknowledged
    qint32 FramesSent = 0;   // block frames written, re-sendings included
    qint32 Resends = 0;      // FramesSent less the blocks that went out
    QDateTime Started;
    QDateTime Ended;
    QString Message;  // what ended it, when it did not end as done
};

// Lower-case words for logs and machine-readable output.
QString StateWord(TStationState state);
QString ResultWord(TDeviceResult result);
// ISO 8601 with milliseconds and the UTC offset, "2026-12-11T18:03:04.250+01:00".
QString IsoTime(const QDateTime& when);

Q_DECLARE_METATYPE(TStationState)
Q_DECLARE_METATYPE(TDeviceOutcome)
