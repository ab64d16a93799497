#include "cli/burn_console.h"

#include <unistd.h>

#include <cstdio>

#include "cli/burn_options.h"

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#endif

namespace {

constexpr int kRedrawMs = 100;

int TerminalWidth() {
#ifdef Q_OS_UNIX
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
#endif
    return 80;
}

}  // namespace

TBurnConsole::TBurnConsole(TOutputMode mode, const QList<TStationConfig>& stations) : mMode(mode) {
    for (const TStationConfig& config : stations) {
        TEntry entry;
        entry.Thread = std::make_unique<TStationThread>(config);
        entry.Live.Port = config.Port;
        mPortWidth = qMax(mPortWidth, int(config.Port.size()));
        mEntries.push_back(std::move(entry));
    }
    for (int i = 0; i < int(mEntries.size()); ++i) Bind(i);
    mRedraw.setInterval(kRedrawMs);
    connect(&mRedraw, &QTimer::timeout, this, [this] {
        if (mLiveDirty) Redraw();
    });
}

TBurnConsole::~TBurnConsole() = default;

void TBurnConsole::Start() {
    for (TEntry& e : mEntries) e.Thread->start();
    if (mMode == TOutputMode::Live) mRedraw.start();
}

void TBurnConsole::Interrupt() {
    if (mInterrupted) {
        ClearLive();
        fflush(stdout);
        _exit(kExitInterrupted);
    }
    mInterrupted = true;
    for (TEntry& e : mEntries) e.Thread->RequestStop();
}

void TBurnConsole::Bind(int index) {
    TStationThread* t = mEntries[index].Thread.get();
    const QString port = t->Config().Port;
    connect(t, &TStationThread::Opened, this,
            [=](bool ok, const QString& message) { OnOpened(index, ok, message); });
    connect(t, &TStationThread::LogLine, this, [=](const QString& line, const QDateTime& when) {
        if (mMode == TOutputMode::Text) WriteOut((DatedLine(when, port, line) + "\n").toUtf8());
    });
    connect(t, &TStationThread::BurnBegun, this, [=](qint32 blocks) {
        TLiveStation& live = mEntries[index].Live;
        live.Blocks = blocks;
        live.Block = 0;
        live.Resends = 0;
    });
    connect(t, &TStationThread::StateChanged, this, [=](TStationState state) {
        TLiveStation& live = mEntries[index].Live;
        live.State = state;
        mLiveDirty = true;
        const QDateTime now = QDateTime::currentDateTime();
        if (mMode != TOutputMode::Json) return;
        if (state == TStationState::Waiting)
            WriteOut(JsonEvent(now, port, "waiting", {{"device", live.Devices + 1}}) + "\n");
        else if (state == TStationState::Burning)
            WriteOut(JsonEvent(now, port, "burning",
                               {{"device", live.Devices + 1}, {"blocks", live.Blocks}}) +
                     "\n");
    });
    connect(t, &TStationThread::Progress, this, [=](qint32 block, qint32 blocks, qint32 resends) {
        TLiveStation& live = mEntries[index].Live;
        if (live.State != TStationState::Burning) return;  // the stop path's reset
        live.Block = block;
        live.Blocks = blocks;
        live.Resends = resends;
        mLiveDirty = true;
        if (mMode == TOutputMode::Json)
            WriteOut(JsonEvent(QDateTime::currentDateTime(), port, "progress",
                               {{"device", live.Devices + 1},
                                {"block", block},
                                {"blocks", blocks},
                                {"resends", resends}}) +
                     "\n");
    });
    connect(t, &TStationThread::DeviceFinished, this, [=](const TDeviceOutcome& o) {
        TEntry& e = mEntries[index];
        if (o.Result == TDeviceResult::Done) ++e.Live.Devices;
        if (o.Result == TDeviceResult::TimedOut || o.Result == TDeviceResult::Lost ||
            o.Result == TDeviceResult::Error) {
            e.Failed = true;
            e.Live.Failure = ResultWord(o.Result) + (o.Message.isEmpty() ? "" : ": " + o.Message);
        }
        QJsonObject fields = OutcomeFields(o);
        const TImageSnapshot& image = *mEntries[index].Thread->Config().Image;
        fields.insert("image", image.Path);
        fields.insert("image_bytes", image.Bytes.size());
        fields.insert("image_sha256", QString::fromLatin1(image.Sha256.toHex()));
        Report(JsonEvent(o.Ended, port, OutcomeEvent(o.Result), fields),
               DatedLine(o.Ended, port, OutcomeText(o)));
        if (o.Result == TDeviceResult::TimedOut)
            ErrorLine(QString("%1: the device timed out (%2)").arg(port, o.Message));
    });
    connect(t, &TStationThread::Failed, this, [=](const QString& message) {
        TEntry& e = mEntries[index];
        e.Failed = true;
        e.Live.Failure = message;
        const QDateTime now = QDateTime::currentDateTime();
        Report(JsonEvent(now, port, "error", {{"message", message}}),
               DatedLine(now, port, "error: " + message));
        ErrorLine(QString("%1: %2").arg(port, message));
    });
    connect(t, &QThread::finished, this, [=] { OnEnded(index); });
}

void TBurnConsole::OnOpened(int index, bool ok, const QString& message) {
    TEntry& e = mEntries[index];
    e.Opened = ok;
    e.OpenError = message;
    if (++mOpenReports < int(mEntries.size())) return;
    for (const TEntry& each : mEntries)
        if (!each.Opened) mGone = true;
    for (TEntry& each : mEntries) {
        if (!each.Opened)
            ErrorLine(QString("cannot open %1: %2").arg(each.Live.Port, each.OpenError));
        if (mGone || mInterrupted)
            each.Thread->Cancel();
        else
            each.Thread->Go();
    }
    if (mMode == TOutputMode::Live && !mGone) DrawLive();
}

void TBurnConsole::OnEnded(int index) {
    TEntry& e = mEntries[index];
    e.Ended = true;
    if (e.Opened && !mGone) {
        const QString status = e.Failed ? "failed" : mInterrupted ? "interrupted" : "ok";
        const QDateTime now = QDateTime::currentDateTime();
        e.Live.State = TStationState::Stopped;
        mLiveDirty = true;
        Report(
            JsonEvent(now, e.Live.Port, "stopped",
                      {{"devices", e.Live.Devices}, {"status", status}}),
            DatedLine(now, e.Live.Port,
                      QString("stopped after %1")
                          .arg(e.Live.Devices == 1 ? QString("1 device")
                                                   : QString("%1 devices").arg(e.Live.Devices))));
    }
    for (const TEntry& each : mEntries)
        if (!each.Ended) return;
    if (mMode == TOutputMode::Live) {
        Redraw();
        mRedraw.stop();
    }
    fflush(stdout);
    int status = kExitOk;
    if (mGone)
        status = kExitOpenFailed;
    else if (mInterrupted)
        status = kExitInterrupted;
    else
        for (const TEntry& each : mEntries)
            if (each.Failed) status = kExitStationFailed;
    emit Finished(status);
}

void TBurnConsole::Report(const QByteArray& json, const QString& dated) {
    if (mMode == TOutputMode::Json) {
        WriteOut(json + "\n");
        return;
    }
    ClearLive();
    WriteOut((dated + "\n").toUtf8());
    if (mMode == TOutputMode::Live) DrawLive();
}

void TBurnConsole::ErrorLine(const QString& text) {
    ClearLive();
    fflush(stdout);
    fprintf(stderr, "vardo-burn: %s\n", qPrintable(text));
    fflush(stderr);
    if (mMode == TOutputMode::Live && mOpenReports == int(mEntries.size()) && !mGone) DrawLive();
}

void TBurnConsole::WriteOut(const QByteArray& bytes) {
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    if (mMode != TOutputMode::Live) fflush(stdout);
}

void TBurnConsole::ClearLive() {
    if (mMode != TOutputMode::Live || mLiveDrawn == 0) return;
    // Up to the first live line, and clear from there to the end of the screen.
    WriteOut(QString("\x1b[%1A\r\x1b[J").arg(mLiveDrawn).toLatin1());
    mLiveDrawn = 0;
}

void TBurnConsole::DrawLive() {
    const int width = TerminalWidth() - 1;
    QByteArray out;
    for (const TEntry& e : mEntries) out += LiveLine(e.Live, mPortWidth, width).toUtf8() + "\n";
    WriteOut(out);
    fflush(stdout);
    mLiveDrawn = int(mEntries.size());
    mLiveDirty = false;
}

void TBurnConsole::Redraw() {
    if (mOpenReports < int(mEntries.size()) || mGone) return;
    ClearLive();
    DrawLive();
}
