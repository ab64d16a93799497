// What a station needs of whatever carries it: the window on the GUI thread, or a station
// thread of its own. The host decides how the pieces of the wire go out and which image the
// next device gets.
#pragma once

#include <QByteArray>
#include <QString>

class TStationHost {
  public:
    virtual ~TStationHost() = default;
    // A binary piece of a frame (header, payload, tail); raises EComPort when it cannot go out.
    virtual void WritePiece(const QByteArray& bytes) = 0;
    // A hex piece of a frame (address, checksum), as the hex send path gives it.
    virtual void WriteHexPiece(const QByteArray& bytes) = 0;
    // The handshake request as hex text; false when it could not go out.
    virtual bool SendShakeRequest(const QString& hexText) = 0;
    // The burn of the device that has just answered; the host calls TStation::BurnImage.
    virtual void BurnDevice() = 0;
};
