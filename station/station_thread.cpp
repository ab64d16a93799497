#include "station/station_thread.h"

#include "link/com_port.h"
#include "link/hex_codec.h"
#include "station/station_host.h"

namespace {

// Every piece goes straight to the port; a piece that cannot go out ends the run.
class TThreadHost : public TStationHost {
  public:
    TThreadHost(TComPort& port, const TImageSnapshot& image, std::function<void(QString)> fail)
        : mPort(port), mImage(image), mFail(std::move(fail)) {}
    TStation* Station = nullptr;

    void WritePiece(const QByteArray& bytes) override {
        mPort.WriteBytes(bytes.constData(), bytes.size());
    }
    void WriteHexPiece(const QByteArray& bytes) override { WritePiece(bytes); }
    bool SendShakeRequest(const QString& hexText) override {
        WritePiece(HexTextToBytes(hexText.toLatin1()));
        return true;
    }
    void BurnDevice() override {
        if (mImage.ChangedOnDisk()) {
            mFail(QString("the image %1 changed during the run").arg(mImage.Path));
            Station->Toggle();  // the stop path: the device gets its stop frames
            return;
        }
        TSnapshotSource source(mImage);
        Station->BurnImage(source);
    }

  private:
    TComPort& mPort;
    const TImageSnapshot& mImage;
    std::function<void(QString)> mFail;
};

}  // namespace

TStationThread::TStationThread(const TStationConfig& config, QObject* parent)
    : QThread(parent), mConfig(config) {
    qRegisterMetaType<TStationState>();
    qRegisterMetaType<TDeviceOutcome>();
}

TStationThread::~TStationThread() {
    Cancel();
    RequestStop();
    wait();
}

void TStationThread::Go() {
    QMutexLocker lock(&mMutex);
    mGo = true;
    mGoChanged.wakeAll();
}

void TStationThread::Cancel() {
    QMutexLocker lock(&mMutex);
    if (!mGo) mCancelled = true;
    mGoChanged.wakeAll();
}

bool TStationThread::WaitForGo() {
    QMutexLocker lock(&mMutex);
    while (!mGo && !mCancelled) mGoChanged.wait(&mMutex);
    return mGo && !mCancelled;
}

void TStationThread::RequestStop() {
    QMutexLocker lock(&mMutex);
    if (!mGo) {
        mCancelled = true;
        mGoChanged.wakeAll();
        return;
    }
    mStopPending = true;
    if (mStation)
        QMetaObject::invokeMethod(
            mStation, [this] { StopInside(); }, Qt::QueuedConnection);
}

void TStationThread::StopInside() {
    // Runs in the station's thread, nested in one of its run's waits.
    if (!mStation->Running()) return;
    try {
        mStation->Toggle();
    } catch (const std::exception& e) {
        Fail(QString::fromUtf8(e.what()));
    }
}

void TStationThread::Fail(const QString& message) {
    emit Failed(message);
}

void TStationThread::run() {
    TComPort port;
    TComSettings settings;
    settings.Port = mConfig.Port;
    settings.BaudRate = brCustom;
    settings.CustomBaudRate = mConfig.Baud;
    port.SetSettings(settings);
    try {
        port.SetConnected(true);
    } catch (const std::exception& e) {
        emit Opened(false, QString::fromUtf8(e.what()));
        return;
    }
    emit Opened(true, {});
    if (WaitForGo()) {
        TThreadHost host(port, *mConfig.Image, [this](const QString& m) { Fail(m); });
        TStation station(&port, &host);
        host.Station = &station;
        station.Pace = mConfig.Pace;
        station.StopAfterDevices = mConfig.Count;
        port.OnRxChar = [&](TComPort*, int count) {
            try {
                station.Capture(port.ReadBytes(count));
            } catch (const std::exception&) {
                // A port that cannot be read has gone; the next write says so.
            }
        };
        connect(&station, &TStation::LogLine, &station,
                [this](const QString& line) { emit LogLine(line, QDateTime::currentDateTime()); });
        connect(&station, &TStation::StateChanged, &station,
                [this](TStationState s) { emit StateChanged(s); });
        connect(&station, &TStation::BurnBegun, &station, [this](qint32 n) { emit BurnBegun(n); });
        connect(&station, &TStation::DeviceFinished, &station,
                [this](const TDeviceOutcome& o) { emit DeviceFinished(o); });
        connect(&station, &TStation::Progress, &station,
                [this](qint32 block, qint32 blocks, qint32 resends) {
                    emit Progress(block, blocks, resends);
                });
        {
            QMutexLocker lock(&mMutex);
            mStation = &station;
            // A stop asked for before the station was there is taken inside its run.
            if (mStopPending)
                QMetaObject::invokeMethod(
                    &station, [this] { StopInside(); }, Qt::QueuedConnection);
        }
        try {
            station.Toggle();
        } catch (const std::exception& e) {
            const bool lost = !port.Connected();
            Fail(lost ? QString("the port went away (%1)").arg(QString::fromUtf8(e.what()))
                      : QString::fromUtf8(e.what()));
        }
        {
            QMutexLocker lock(&mMutex);
            mStation = nullptr;
        }
        port.OnRxChar = nullptr;
    }
    port.CloseKeepingOutput();
}
