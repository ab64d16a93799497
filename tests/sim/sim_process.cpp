#include "sim/sim_process.h"

#include <signal.h>
#include <time.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/event_loop.h"

namespace {

constexpr int kPollMs = 5;

TSimEvent ParseEvent(const QJsonObject& o) {
    TSimEvent e;
    e.Event = o["event"].toString();
    e.TUs = qint64(o["t_us"].toDouble());
    e.StartUs = qint64(o["start_us"].toDouble());
    e.Kind = o["kind"].toString();
    e.Address = o["address"].toString().toUInt(nullptr, 16);
    e.ChecksumOk = o["checksum_ok"].toBool();
    e.Ack = o["ack"].toString();
    e.Reason = o["reason"].toString();
    e.Byte = o["byte"].toString();
    e.N = qint64(o["n"].toDouble());
    e.Count = qint64(o["count"].toDouble());
    e.Answered = o["answered"].toBool();
    return e;
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        PumpMessagesOrWait(int(qMin<qint64>(deadline.remainingTime(), kPollMs)));
    }
    return true;
}

}  // namespace

TSimProcess::TSimProcess() = default;

TSimProcess::~TSimProcess() {
    if (!Running()) return;
    ::kill(pid_t(mProcess.processId()), SIGTERM);
    if (!mProcess.waitForFinished(5000)) {
        mProcess.kill();
        mProcess.waitForFinished(1000);
    }
}

bool TSimProcess::Start(const QStringList& extraArgs, int timeoutMs) {
    mProcess.start(VARDO_SIM_PATH,
                   QStringList{"--out", OutPath(), "--trace", TracePath()} + extraArgs);
    if (!mProcess.waitForStarted(timeoutMs)) return false;
    const bool gotLine = PumpUntil(
        [&] { return mProcess.canReadLine() || mProcess.state() == QProcess::NotRunning; },
        timeoutMs);
    if (!gotLine || !mProcess.canReadLine()) return false;
    mDevicePath = QString::fromLocal8Bit(mProcess.readLine()).trimmed();
    return !mDevicePath.isEmpty();
}

TSimRun TSimProcess::Run(const QStringList& args, int timeoutMs) {
    QProcess process;
    process.start(VARDO_SIM_PATH, args);
    TSimRun run;
    const bool ended =
        process.waitForStarted(timeoutMs) &&
        PumpUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    if (!ended) {
        process.kill();
        process.waitForFinished(1000);
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.ExitCode = process.exitCode();
    }
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

qint64 TSimProcess::NowUs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

QString TSimProcess::OutPath() const {
    return mDir.filePath("image.bin");
}

QString TSimProcess::TracePath() const {
    return mDir.filePath("trace.jsonl");
}

qint64 TSimProcess::Pid() const {
    return mProcess.processId();
}

bool TSimProcess::Running() const {
    return mProcess.state() != QProcess::NotRunning;
}

const QList<TSimEvent>& TSimProcess::Trace() {
    QFile file(TracePath());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(mTraceRead)) return mEvents;
    const QByteArray more = file.readAll();
    // Only whole lines: the last one may still be on its way.
    const qsizetype end = more.lastIndexOf('\n') + 1;
    for (const QByteArray& line : more.left(end).split('\n')) {
        if (!line.isEmpty()) mEvents.append(ParseEvent(QJsonDocument::fromJson(line).object()));
    }
    mTraceRead += end;
    return mEvents;
}

QList<TSimEvent> TSimProcess::Events(const QString& event) {
    QList<TSimEvent> found;
    for (const TSimEvent& e : Trace())
        if (e.Event == event) found.append(e);
    return found;
}

bool TSimProcess::WaitForTrace(const std::function<bool(const QList<TSimEvent>&)>& done,
                               int timeoutMs) {
    return PumpUntil([&] { return done(Trace()); }, timeoutMs);
}

bool TSimProcess::WaitForEvents(const QString& event, int count, int timeoutMs) {
    return PumpUntil([&] { return Events(event).size() >= count; }, timeoutMs);
}

bool TSimProcess::Stop(int signal, int timeoutMs) {
    if (Running()) ::kill(pid_t(mProcess.processId()), signal);
    return WaitForExit(timeoutMs);
}

bool TSimProcess::WaitForExit(int timeoutMs) {
    return PumpUntil([&] { return !Running(); }, timeoutMs);
}

int TSimProcess::ExitCode() const {
    if (Running() || mProcess.exitStatus() != QProcess::NormalExit) return -1;
    return mProcess.exitCode();
}

QByteArray TSimProcess::Stderr() {
    mErr += mProcess.readAllStandardError();
    return mErr;
}

QByteArray TSimProcess::Image() const {
    QFile file(OutPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
