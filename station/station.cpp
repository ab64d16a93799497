#include "station/station.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <stdexcept>

#include "app/counters.h"
#include "app/date_time_text.h"
#include "app/event_loop.h"
#include "burn/protocol.h"
#include "link/com_port.h"
#include "link/hex_codec.h"
#include "station/image_source.h"
#include "station/station_host.h"

namespace {
constexpr qint32 kShakePaceMs = 20;
constexpr qint32 kWaitingEveryPasses = 99;
}  // namespace

TStation::TStation(TComPort* port, TStationHost* host, QObject* parent)
    : QObject(parent), mPort(port), mHost(host) {
    qRegisterMetaType<TStationState>();
    qRegisterMetaType<TDeviceOutcome>();
    tmr1 = new TCnTimer(kPaceMs, this);
    tmr2 = new TCnTimer(kBurnTimeoutMs, this);
    tmr1->OnTimer = [this] { tmr1Timer(); };
    tmr2->OnTimer = [this] { tmr2Timer(); };
    BlockAddress = FlashBase;
}

void TStation::Toggle() {
    if (mRunning)
        StopPath();
    else
        StartPath();
}

void TStation::StartPath() {
    if (!mPort->Connected()) {
        emit Message("Please Open Port First!");
        return;
    }
    mRunning = true;
    emit RunningChanged(true);
    StopRequested = false;
    mDevicesThisRun = 0;
    try {
        while (!StopRequested) {
            ProductionLoop();
            PumpMessages();
        }
    } catch (...) {
        SetState(mPort->Connected() ? TStationState::LeftOver : TStationState::PortLost);
        throw;
    }
    SetState(TStationState::Stopped);
}

void TStation::StopPath() {
    mRunning = false;
    emit RunningChanged(false);
    StopRequested = true;
    BurnStopRequested = true;
    SetState(TStationState::Stopping);
    emit LogLine("Stop.");
    SendStopFrame();
    emit Progress(0, mBlocks, 0);
    RestartTimer(tmr1, PaceElapsed);
    do {
        PumpMessagesOrWait(-1);
    } while (!PaceElapsed);
    SendStopFrame();
}

void TStation::ProductionLoop() {
    for (;;) {
        emit DeviceStarting(BurnCount);
        if (StopRequested) return;
        ShakeOk = false;
        Handshake();
        while (!StopRequested && !ShakeOk) PumpMessagesOrWait(-1);
        if (StopRequested) return;
        BurnOk = false;
        mHost->BurnDevice();
        while (!StopRequested && !BurnOk) PumpMessagesOrWait(-1);
        if (BurnOk && StopAfterDevices > 0 && ++mDevicesThisRun >= StopAfterDevices && mRunning)
            StopPath();
    }
}

void TStation::Handshake() {
    qint32 pass = kWaitingEveryPasses;
    StopRequested = false;
    SetState(TStationState::Waiting);
    qint32 scan = 0;
    CaptureStart(RxCapture, RxCaptureLen);
    const QString request = ByteToHex(quint8(ShakeRequest[0]));
    while (!StopRequested) {
        if (!mHost->SendShakeRequest(request)) {
            emit ShakeRequestEnded();
            return;
        }
        if (pass % kWaitingEveryPasses == 0) emit LogLine("Waiting...");
        if (++pass == 100) pass = 1;
        WaitMs(kShakePaceMs);
        if (CaptureScan(RxCapture, RxCaptureLen, scan, quint8(ShakeReply[0]))) {
            ShakeOk = true;
            emit LogLine("Updating...");
            break;
        }
    }
    RxCaptureLen = kCaptureOffAfterRun;
    emit ShakeRequestEnded();
}

void TStation::WaitMs(qint32 ms) {
    const quint32 start = GetTickCount();
    quint32 now = start;
    do {
        PumpMessagesOrWait(qMax(0, ms - qint32(now - start)));
        now = GetTickCount();
    } while (!TickWaitOver(start, now, ms));
}

void TStation::BurnImage(TImageSource& image) {
    BurnStopRequested = false;
    const qint32 size = image.Open();
    if (size <= 0) return;
    const qint32 blockCount = BlockCountOf(size);
    BlockAddress = FlashBase;
    mBlocks = blockCount;
    emit BurnBegun(blockCount);
    qint32 scan = 0;
    CaptureStart(RxCapture, RxCaptureLen);
    qint32 blockIndex = 0;
    RestartTimer(tmr2, BurnTimedOut);
    SetState(TStationState::Burning);
    TDeviceOutcome outcome;
    outcome.Started = QDateTime::currentDateTime();
    outcome.Blocks = blockCount;
    QByteArray block(BlockSize, '\0');
    qint32 lastSent = -1;
    bool timedOut = false;

    try {
        while (blockIndex <= blockCount - 1) {
            const qint64 offset = qint64(BlockSize) * blockIndex;
            const bool last = blockIndex == blockCount - 1;
            if (last) block.fill('\0');
            // The block is read again for every sending; one that cannot be read is never sent.
            const qint64 count = last ? size - offset : BlockSize;
            if (!image.ReadAt(offset, block.data(), count))
                throw std::runtime_error(
                    QString("Unable to read the firmware file %1").arg(image.Path()).toStdString());
            // Acknowledgements that came in before this frame never count for it.
            if (Pace == TPaceMode::Ack) scan = RxCaptureLen;
            QElapsedTimer writing;
            writing.start();
            SendFrame(last ? LastBlockHeader : BlockHeader, BlockAddress, block);
            if (Pace == TPaceMode::Ack) WaitForLine(writing.elapsed(), scan);
            ++outcome.FramesSent;
            if (blockIndex == lastSent) ++outcome.Resends;
            lastSent = blockIndex;

            WaitForPace(scan);

            if (CaptureScan(RxCapture, RxCaptureLen, scan, quint8(BlockAck[0]))) {
                BlockAddress += BlockSize;
                ++blockIndex;
                RestartTimer(tmr2, BurnTimedOut);
            }
            if (BurnTimedOut) {
                timedOut = true;
                break;
            }
            emit Progress(blockIndex, blockCount, outcome.Resends);
            PumpMessages();
            if (BurnStopRequested) break;
        }
    } catch (const std::exception& e) {
        image.Close();
        outcome.BlocksAcked = blockIndex;
        FinishDevice(outcome, mPort->Connected() ? TDeviceResult::Error : TDeviceResult::Lost,
                     QString::fromUtf8(e.what()));
        throw;
    }

    image.Close();
    RxCaptureLen = kCaptureOffAfterRun;
    emit ShakeRequestEnded();
    outcome.BlocksAcked = blockIndex;
    if (timedOut) {
        FinishDevice(outcome, TDeviceResult::TimedOut,
                     QString("No acknowledgement for %1 s").arg(kBurnTimeoutMs / 1000));
        // A time-out noticed after a stop has already run leaves the run stopped.
        if (!BurnStopRequested) Toggle();
        return;
    }
    if (blockIndex <= blockCount - 1) {
        FinishDevice(outcome, TDeviceResult::Stopped, "Stopped");
        return;
    }
    AddWrapping(BurnCount, 1);
    emit LogLine("No : " + QString::number(BurnCount));
    emit LogLine("Update complete. " + DateTimeText(QDateTime::currentDateTime()));
    emit FlowNumberChanged(BurnCount);
    BurnOk = true;
    FinishDevice(outcome, TDeviceResult::Done);
}

bool TStation::AckSince(qint32 scan) const {
    return CaptureScan(RxCapture, RxCaptureLen, scan, quint8(BlockAck[0]));
}

void TStation::WaitForLine(qint64 writeMs, qint32 scan) {
    // A driver that cannot report its queue (a pseudo-terminal, some USB adapters) hands the
    // frame back before the line has carried it; the pace counts from the frame's end on the
    // line, as it does where the write waits for the UART.
    const int baud = qMax(BaudRateValue(mPort->Settings()), 1);
    const qint64 lineMs = (qint64(kFrameBytes) * 10 * 1000 + baud - 1) / baud;
    QDeadlineTimer lineEnd(lineMs - writeMs, Qt::PreciseTimer);
    while (!lineEnd.hasExpired() && !AckSince(scan))
        PumpMessagesOrWait(int(qMax<qint64>(lineEnd.remainingTime(), 0)));
}

void TStation::WaitForPace(qint32 scan) {
    RestartTimer(tmr1, PaceElapsed);
    if (Pace == TPaceMode::Ack) {
        // The acknowledgement may already be in from the wait for the line.
        while (!PaceElapsed && !AckSince(scan)) PumpMessagesOrWait(-1);
        return;
    }
    do {
        PumpMessagesOrWait(-1);
    } while (!PaceElapsed);
}

void TStation::FinishDevice(TDeviceOutcome& outcome, TDeviceResult result, const QString& message) {
    outcome.Result = result;
    outcome.Flow = BurnCount;
    outcome.Ended = QDateTime::currentDateTime();
    outcome.Message = message;
    emit DeviceFinished(outcome);
}

void TStation::SendFrame(const QByteArray& header, quint32 address, const QByteArray& payload) {
    mHost->WritePiece(header.left(2));
    mHost->WriteHexPiece(HexTextToBytes(DWordToHex(address).toLatin1()));
    mHost->WritePiece(payload.left(BlockSize));
    BlockSum = 0;
    SumBlock(payload, BlockSize, BlockSum);
    mHost->WriteHexPiece(HexTextToBytes(DWordToHex(BlockSum).toLatin1()));
    mHost->WritePiece(FrameTail.left(2));
    emit FrameSent();
}

void TStation::SendStopFrame() {
    SendFrame(StopHeader, 0, QByteArray(BlockSize, '\0'));
}

void TStation::RaiseStopFlags() {
    StopRequested = true;
    BurnStopRequested = true;
}

void TStation::ResetCounter() {
    BurnCount = 0;
    emit FlowNumberChanged(0);
}

void TStation::Capture(const QByteArray& bytes) {
    CaptureChunk(RxCapture, RxCaptureLen, bytes);
}

void TStation::tmr1Timer() {
    PaceElapsed = true;
}

void TStation::tmr2Timer() {
    BurnTimedOut = true;
}

void TStation::RestartTimer(TCnTimer* timer, bool& flag) {
    timer->SetEnabled(false);
    flag = false;
    timer->SetRepeatCount(0);
    timer->SetEnabled(true);
}

void TStation::SetState(TStationState state) {
    if (state == mState) return;
    mState = state;
    emit StateChanged(state);
}
