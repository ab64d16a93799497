// The serial port component over QSerialPort. Receive events reach OnRxChar through the GUI
// thread's event queue and never from inside a write; writes block without dispatching.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QSerialPort>
#include <QStringList>
#include <functional>

#include "link/com_error.h"
#include "link/com_settings.h"

class TComPort;

// One write in flight; the caller creates it and lets it go when done.
struct TWriteRequest {
    qint64 Size = 0;
    bool Started = false;
};

class TComPort : public QObject {
public:
    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    QString Name() const { return "ComPort"; }

    const TComSettings& Settings() const { return mSettings; }
    // Applies new settings; on an open port a new port name closes and reopens it, the
    // others take effect at once.
    void SetSettings(const TComSettings& settings);

    bool Connected() const { return mPort.isOpen(); }
    void SetConnected(bool connected);
    bool ForceClosed = false;
    // Closes without discarding what is still on its way out, so that the last frame written
    // reaches the device.
    void CloseKeepingOutput();

    // At most `count` waiting bytes; returns at once.
    QByteArray ReadBytes(qint64 count);
    // Blocks until written or the write time-out has passed; the count written.
    qint64 WriteBytes(const char* buffer, qint64 count);
    // An empty string starts no write, and WaitWrite then returns at once.
    void BeginWrite(const QByteArray& bytes, TWriteRequest& request);
    qint64 WaitWrite(TWriteRequest& request);
    void DiscardInput();

    // The platform's ports plus the values of the store's SERIALCOMM key, sorted without
    // regard to case, duplicates dropped.
    static void ListPorts(QStringList& list);

    // Saved settings under `path` + "\ComPort", e.g. "HKEY_LOCAL_MACHINE\Software\Selvik".
    void WriteSettings(const QString& path);
    void ReadSettings(const QString& path);

    std::function<void()> OnAfterOpen;
    std::function<void()> OnAfterClose;
    std::function<void(TComPort* sender, int count)> OnRxChar;

    // 100 ms per byte plus 1000 ms.
    static int WriteTimeoutMs(qint64 count);

private:
    void Open();
    void Close();
    void ApplyLineSettings();
    void RequireOpen() const;
    void QueueRxEvent();
    void DeliverRxEvent();
    void DeviceLost();
    void CloseAndNotify();
    void WaitTransmitted(const QDeadlineTimer& deadline);

    QSerialPort mPort;
    TComSettings mSettings;
    bool mRxQueued = false;
    bool mEventsOn = false;
    bool mLostQueued = false;
};
