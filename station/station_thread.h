// A station on a thread of its own, with its own port: for the command line and the board.
// The port is opened first and the run begins only on Go(), so that a program can open all
// its ports before it sends anything to any of them. Other threads talk to it only through
// RequestStop() and its signals, which reach them queued.
#pragma once

#include <QDateTime>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <memory>

#include "station/device_outcome.h"
#include "station/image_snapshot.h"
#include "station/station.h"

struct TStationConfig {
    QString Port;  // as given: a platform name or a path, symbolic links included
    int Baud = 57600;
    TPaceMode Pace = TPaceMode::Fixed;
    qint32 Count = 0;  // devices before the station stops; 0: until stopped
    std::shared_ptr<const TImageSnapshot> Image;
};

class TStationThread : public QThread {
    Q_OBJECT
  public:
    explicit TStationThread(const TStationConfig& config, QObject* parent = nullptr);
    ~TStationThread() override;  // stops the station and waits for its thread

    const TStationConfig& Config() const { return mConfig; }
    // After Opened(true): begin the run, or close the port without sending anything.
    void Go();
    void Cancel();
    // From any thread: the station takes its stop path (two stop frames) inside its run.
    void RequestStop();

  signals:
    void Opened(bool ok, const QString& message);
    void LogLine(const QString& line, const QDateTime& when);
    void StateChanged(TStationState state);
    void BurnBegun(qint32 blocks);
    void Progress(qint32 block, qint32 blocks, qint32 resends);
    void DeviceFinished(const TDeviceOutcome& outcome);
    // What ended the run, when it did not end as asked: a lost port, a write error, a
    // changed image. A time-out comes as its device's outcome.
    void Failed(const QString& message);

  protected:
    void run() override;

  private:
    bool WaitForGo();
    void StopInside();
    void Fail(const QString& message);

    const TStationConfig mConfig;
    QMutex mMutex;
    QWaitCondition mGoChanged;
    bool mGo = false;
    bool mCancelled = false;
    bool mStopPending = false;
    TStation* mStation = nullptr;  // while the run goes on; guarded by mMutex
};
