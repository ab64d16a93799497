// vardo-sim as a child process for tests: started with the test's arguments plus a fresh
// --out and --trace file, its device path read from its first line, its trace read back
// while it runs, and SIGTERM when the test is done with it. Every wait pumps the event loop
// and has a deadline, so a tool under test in the same thread keeps running.
#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

// One trace line.
struct TSimEvent {
    QString Event;        // shake_rx, reply, frame, bad_frame, skipped, noise, device_done, vanish
    qint64 TUs = 0;       // CLOCK_MONOTONIC; for frames, when the last byte arrived
    qint64 StartUs = 0;   // frames: when the first byte arrived
    QString Kind;         // frames: block, last, stop
    quint32 Address = 0;  // frames
    bool ChecksumOk = false;  // frames
    QString Ack;              // frame of a block: sent, delayed, dropped, withheld, none
    QString Reason;           // bad_frame: tail, checksum, address, stop_fields, no_handshake
    QString Byte;             // reply: A5 or 85
    qint64 N = 0;             // shake_rx: request number; device_done: devices so far
    qint64 Count = 0;         // skipped, noise: bytes
    bool Answered = false;    // shake_rx
};

// What a run that was not kept running gave back.
struct TSimRun {
    int ExitCode = -1;  // -1: did not end in time or crashed
    QByteArray Out;
    QByteArray Err;
};

class TSimProcess {
  public:
    TSimProcess();
    ~TSimProcess();  // SIGTERM, and waits for the exit
    TSimProcess(const TSimProcess&) = delete;
    TSimProcess& operator=(const TSimProcess&) = delete;

    // Starts vardo-sim and waits for its device path; false when none came in time.
    bool Start(const QStringList& extraArgs = {}, int timeoutMs = 5000);
    // Runs vardo-sim to its end, e.g. for --help or a bad option.
    static TSimRun Run(const QStringList& args, int timeoutMs = 5000);
    // The clock of the trace's times.
    static qint64 NowUs();

    const QString& DevicePath() const { return mDevicePath; }
    QString OutPath() const;    // the --out image; missing until a device is done
    QString TracePath() const;  // the --trace file
    qint64 Pid() const;
    bool Running() const;

    // Every complete trace line so far, in order.
    const QList<TSimEvent>& Trace();
    // Those of one event name.
    QList<TSimEvent> Events(const QString& event);
    // Pumps the event loop until `done` holds for the trace or `timeoutMs` passes.
    bool WaitForTrace(const std::function<bool(const QList<TSimEvent>&)>& done,
                      int timeoutMs = 5000);
    // Until at least `count` events of that name are in the trace.
    bool WaitForEvents(const QString& event, int count = 1, int timeoutMs = 5000);

    // Sends `signal` and waits for the exit; false when it did not end in time.
    bool Stop(int signal = SIGTERM, int timeoutMs = 5000);
    // Pumps the event loop until it has ended on its own.
    bool WaitForExit(int timeoutMs = 5000);
    // Its exit status, once it has ended; -1 when it crashed or still runs.
    int ExitCode() const;
    // All it wrote to standard error so far.
    QByteArray Stderr();
    // The --out file's content.
    QByteArray Image() const;

  private:
    QTemporaryDir mDir;
    QProcess mProcess;
    QString mDevicePath;
    QList<TSimEvent> mEvents;
    qint64 mTraceRead = 0;  // bytes of the trace file parsed into mEvents
    QByteArray mErr;
};
