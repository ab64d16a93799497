// One serial port and the production run on it: handshake, block burn with pace,
// acknowledgement and time-out, the stop path with its two stop frames, and the flow
// number. Widget-free; it runs on whichever thread owns it and waits as the window always
// has: nested in the event loop, blocked between events. Every handler of that thread (the
// port's receive events, its timers, a click or a queued stop) runs inside its waits.
#pragma once

#include <QDateTime>
#include <QObject>

#include "app/timers.h"
#include "link/capture.h"
#include "station/device_outcome.h"

class TComPort;
class TImageSource;
class TStationHost;

// When the next frame may go out.
enum class TPaceMode {
    Fixed,  // 200 ms after every frame
    Ack,    // as soon as an acknowledgement of the frame is in, else 200 ms after its end
};

class TStation : public QObject {
    Q_OBJECT
  public:
    TStation(TComPort* port, TStationHost* host, QObject* parent = nullptr);

    // --- Run state; the window's state record and program-wide variables live here ---
    bool StopRequested = true;  // a station starts idle
    bool BurnStopRequested = false;
    bool ShakeOk = false;
    bool BurnOk = false;
    quint32 BlockSum = 0;
    TRxCaptureBuffer RxCapture{};
    qint32 RxCaptureLen = 0;
    qint32 BurnCount = 0;
    quint32 BlockAddress = 0;
    bool PaceElapsed = false;
    bool BurnTimedOut = false;

    TCnTimer* tmr1;  // the pace and the stop's pause
    TCnTimer* tmr2;  // a burn's time-out

    TPaceMode Pace = TPaceMode::Fixed;
    // The run takes its stop path after this many devices; 0: no limit.
    qint32 StopAfterDevices = 0;

    // The update toggle: the start path when idle, the stop path while a run goes on. The
    // start path returns when the run has ended; an error of the port ends it and escapes.
    void Toggle();
    bool Running() const { return mRunning; }
    // One device after another until StopRequested.
    void ProductionLoop();
    // The request about every 20 ms until the device answers or a stop.
    void Handshake();
    // One image into the device that has just answered.
    void BurnImage(TImageSource& image);
    // Raises the stop flags only: no stop frame, no log line.
    void RaiseStopFlags();
    void ResetCounter();
    // The receive path's capture step, for every chunk received.
    void Capture(const QByteArray& bytes);
    void SendStopFrame();
    // Waits `ms` while dispatching events; at least one dispatch.
    void WaitMs(qint32 ms);

    void tmr1Timer();
    void tmr2Timer();

  signals:
    void LogLine(const QString& line);
    void RunningChanged(bool running);
    // Before each device, the count so far.
    void DeviceStarting(qint32 count);
    // After a completed device, the new count.
    void FlowNumberChanged(qint32 count);
    // A burn's block count, once it has its image open.
    void BurnBegun(qint32 blocks);
    // Blocks acknowledged so far, of `blocks`, and the frames sent again in this burn.
    void Progress(qint32 block, qint32 blocks, qint32 resends);
    void FrameSent();
    // The handshake request is no longer being sent.
    void ShakeRequestEnded();
    void StateChanged(TStationState state);
    void DeviceFinished(const TDeviceOutcome& outcome);
    // A message for the operator that is not an error of the run.
    void Message(const QString& text);

  private:
    void StartPath();
    void StopPath();
    void SendFrame(const QByteArray& header, quint32 address, const QByteArray& payload);
    void RestartTimer(TCnTimer* timer, bool& flag);
    void WaitForPace(qint32 scan);
    // Until the frame just written has had the time the line needs for it, or its
    // acknowledgement is in.
    void WaitForLine(qint64 writeMs, qint32 scan);
    bool AckSince(qint32 scan) const;
    void SetState(TStationState state);
    void FinishDevice(TDeviceOutcome& outcome, TDeviceResult result, const QString& message = {});

    TComPort* mPort;
    TStationHost* mHost;
    bool mRunning = false;
    qint32 mDevicesThisRun = 0;
    qint32 mBlocks = 0;  // of the latest burn, for progress reports
    TStationState mState = TStationState::Idle;
};
