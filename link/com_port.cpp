#include "link/com_port.h"

#include <QSerialPortInfo>
#include <QThread>
#include <cerrno>
#include <climits>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

#include "app/dialogs.h"
#include "link/settings_store.h"

namespace {

constexpr const char* kSerialCommKey = "HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM";

int SystemErrorOf(QSerialPort::SerialPortError error) {
    // QSerialPort reports its own codes; give the operator the matching system code.
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return ENOENT;
        case QSerialPort::PermissionError:
            return EACCES;
        case QSerialPort::OpenError:
            return EBUSY;
        case QSerialPort::UnsupportedOperationError:
            return EINVAL;
        case QSerialPort::TimeoutError:
            return ETIMEDOUT;
        default:
            return errno ? errno : EIO;
    }
}

QSerialPort::DataBits ToQt(TDataBits bits) {
    return QSerialPort::DataBits(int(bits) + 5);
}

QSerialPort::StopBits ToQt(TStopBits bits) {
    switch (bits) {
        case TStopBits::sbOne5StopBits:
            return QSerialPort::OneAndHalfStop;
        case TStopBits::sbTwoStopBits:
            return QSerialPort::TwoStop;
        default:
            return QSerialPort::OneStop;
    }
}

QSerialPort::Parity ToQt(TParityBits parity) {
    switch (parity) {
        case TParityBits::prOdd:
            return QSerialPort::OddParity;
        case TParityBits::prEven:
            return QSerialPort::EvenParity;
        case TParityBits::prMark:
            return QSerialPort::MarkParity;
        case TParityBits::prSpace:
            return QSerialPort::SpaceParity;
        default:
            return QSerialPort::NoParity;
    }
}

}  // namespace

TComPort::TComPort(QObject* parent) : QObject(parent) {
    QObject::connect(&mPort, &QSerialPort::readyRead, this, [this] { QueueRxEvent(); });
    // A device that went away (unplugged, or the other end of a pseudo-terminal closed)
    // makes every read fail at once; left open, the port would spin a core on it.
    QObject::connect(&mPort, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError) && !mLostQueued) {
            mLostQueued = true;
            QMetaObject::invokeMethod(this, [this] { DeviceLost(); }, Qt::QueuedConnection);
        }
    });
}

void TComPort::DeviceLost() {
    mLostQueued = false;
    if (Connected()) CloseAndNotify();
}

TComPort::~TComPort() {
    if (Connected()) {
        ForceClosed = true;
        Close();
    }
}

int TComPort::WriteTimeoutMs(qint64 count) {
    return int(qMin<qint64>(count * 100 + 1000, INT_MAX));
}

void TComPort::SetSettings(const TComSettings& settings) {
    const bool reopen = Connected() && settings.Port != mSettings.Port;
    if (reopen) SetConnected(false);
    mSettings = settings;
    if (reopen)
        SetConnected(true);
    else if (Connected())
        ApplyLineSettings();
}

void TComPort::SetConnected(bool connected) {
    if (connected == Connected()) return;
    if (connected)
        Open();
    else
        Close();
}

void TComPort::Open() {
    mPort.setPortName(mSettings.Port);
    errno = 0;
    if (mSettings.Port.isEmpty() || !mPort.open(QIODevice::ReadWrite)) {
        const int code = mSettings.Port.isEmpty() ? ENOENT : SystemErrorOf(mPort.error());
        throw EComPort(ComError::OpenFailed, code);
    }
    try {
        ApplyLineSettings();
    } catch (...) {
        mPort.close();
        throw;
    }
    mRxQueued = false;
    mEventsOn = true;
    if (OnAfterOpen) OnAfterOpen();
    // Bytes that arrived before the events were on still get their event.
    if (mPort.bytesAvailable() > 0) QueueRxEvent();
}

void TComPort::Close() {
    if (!mPort.clear(QSerialPort::AllDirections) && !ForceClosed)
        throw EComPort(ComError::PurgeFailed, SystemErrorOf(mPort.error()));
    CloseAndNotify();
}

void TComPort::CloseKeepingOutput() {
    if (Connected()) CloseAndNotify();
}

void TComPort::CloseAndNotify() {
    mEventsOn = false;
    mPort.close();
    if (OnAfterClose) OnAfterClose();
}

void TComPort::ApplyLineSettings() {
    const TComFlowControl& flow = mSettings.FlowControl;
    QSerialPort::FlowControl qtFlow = QSerialPort::NoFlowControl;
    if (flow.FlowRTS == TRTSFlowControl::rtsHandshake && flow.OutCTSFlow)
        qtFlow = QSerialPort::HardwareControl;
    else if (flow.XonXoffIn || flow.XonXoffOut)
        qtFlow = QSerialPort::SoftwareControl;
    const bool ok = mPort.setBaudRate(BaudRateValue(mSettings)) &&
                    mPort.setDataBits(ToQt(mSettings.DataBits)) &&
                    mPort.setStopBits(ToQt(mSettings.StopBits)) &&
                    mPort.setParity(ToQt(mSettings.Parity)) && mPort.setFlowControl(qtFlow);
    if (!ok) throw EComPort(ComError::SetupFailed, SystemErrorOf(mPort.error()));
    // Modem lines a device cannot carry (a pseudo-terminal has none) are not errors.
    mPort.setDataTerminalReady(true);
    if (qtFlow != QSerialPort::HardwareControl)
        mPort.setRequestToSend(flow.FlowRTS == TRTSFlowControl::rtsEnable);
    mPort.clearError();
}

void TComPort::RequireOpen() const {
    if (!Connected()) throw EComPort(ComError::NotOpen);
}

QByteArray TComPort::ReadBytes(qint64 count) {
    RequireOpen();
    if (count <= 0) return {};
    QByteArray bytes = mPort.read(count);
    if (mPort.error() == QSerialPort::ReadError)
        throw EComPort(ComError::ReadFailed, SystemErrorOf(mPort.error()));
    return bytes;
}

qint64 TComPort::WriteBytes(const char* buffer, qint64 count) {
    TWriteRequest request;
    BeginWrite(QByteArray(buffer, int(count)), request);
    return WaitWrite(request);
}

void TComPort::BeginWrite(const QByteArray& bytes, TWriteRequest& request) {
    request = TWriteRequest{bytes.size(), !bytes.isEmpty()};
    if (bytes.isEmpty()) return;  // starts no write, so it cannot fail either
    RequireOpen();
    mPort.clearError();
    if (mPort.write(bytes) != bytes.size())
        throw EComPort(ComError::WriteFailed, SystemErrorOf(mPort.error()));
    // Hand it to the system now; WaitWrite then has nothing left to poll for in most cases.
    mPort.flush();
}

qint64 TComPort::WaitWrite(TWriteRequest& request) {
    if (!request.Started) return 0;
    request.Started = false;
    RequireOpen();
    const QDeadlineTimer deadline(WriteTimeoutMs(request.Size), Qt::PreciseTimer);
    // waitForBytesWritten also reads and signals readyRead; QueueRxEvent only queues, so no
    // receive handler runs inside this write.
    while (mPort.bytesToWrite() > 0) {
        if (mPort.waitForBytesWritten(int(qMax<qint64>(deadline.remainingTime(), 0)))) continue;
        if (mPort.error() == QSerialPort::TimeoutError || deadline.hasExpired()) {
            // What is left is not sent later, in the middle of the next piece.
            const qint64 unsent = mPort.bytesToWrite();
            mPort.clear(QSerialPort::Output);
            mPort.clearError();
            return request.Size - unsent;
        }
        throw EComPort(ComError::WriteFailed, SystemErrorOf(mPort.error()));
    }
    WaitTransmitted(deadline);
    return request.Size;
}

void TComPort::WaitTransmitted(const QDeadlineTimer& deadline) {
#ifdef Q_OS_UNIX
    // The kernel takes a whole frame into its buffer at once; the piece counts as written
    // when it has left the UART, so that pacing after a frame starts at its end.
    const int fd = int(mPort.handle());
    int queued = 0;
    while (ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && !deadline.hasExpired()) {
        const qint64 lineMs = qint64(queued) * 10000 / qMax(BaudRateValue(mSettings), 1);
        QThread::msleep(quint64(qBound(qint64(1), lineMs, qint64(20))));
    }
#else
    Q_UNUSED(deadline);
#endif
}

void TComPort::DiscardInput() {
    RequireOpen();
    if (!mPort.clear(QSerialPort::Input))
        throw EComPort(ComError::PurgeFailed, SystemErrorOf(mPort.error()));
}

void TComPort::QueueRxEvent() {
    if (mRxQueued || !mEventsOn) return;
    mRxQueued = true;
    QMetaObject::invokeMethod(this, [this] { DeliverRxEvent(); }, Qt::QueuedConnection);
}

void TComPort::DeliverRxEvent() {
    mRxQueued = false;
    if (!mEventsOn || !Connected()) return;
    const qint64 waiting = mPort.bytesAvailable();
    if (waiting <= 0 || !OnRxChar) return;
    try {
        OnRxChar(this, int(qMin<qint64>(waiting, INT_MAX)));
    } catch (const std::exception& e) {
        // An error escaping the handler ends event delivery until the port is reopened.
        mEventsOn = false;
        Dialogs().ShowErrorBox(ErrorBoxText(QString::fromUtf8(e.what())));
    }
}

void TComPort::ListPorts(QStringList& list) {
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.append(info.portName());
    TRegistryFile file;
    if (TSettingsStore().Read(file)) {
        if (const TRegKey* key = file.FindKey(kSerialCommKey)) {
            for (const TRegValue& v : key->Values) {
                if (v.Type == TRegValueType::String) ports.append(v.Text);
            }
        }
    }
    std::sort(ports.begin(), ports.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    ports.erase(std::unique(ports.begin(), ports.end(),
                            [](const QString& a, const QString& b) {
                                return a.compare(b, Qt::CaseInsensitive) == 0;
                            }),
                ports.end());
    list = ports;
}
