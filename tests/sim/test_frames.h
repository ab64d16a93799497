// Frames as the device must receive them, put together byte by byte in the tests, so the
// simulator is checked against a picture of the wire of its own.
#pragma once

#include <QByteArray>
#include <QList>

constexpr quint32 kTestFlashBase = 0x08004000;

// Header twice, address big-endian, the payload zero-padded to 2048 bytes, its sum
// big-endian, 0D 0A.
QByteArray TestFrame(quint8 header, quint32 address, const QByteArray& payload);
QByteArray TestBlockFrame(quint32 address, const QByteArray& payload);
QByteArray TestLastFrame(quint32 address, const QByteArray& payload);
QByteArray TestStopFrame();
// Every frame of a whole image, each block acknowledged at its first sending.
QList<QByteArray> TestImageFrames(const QByteArray& image);
// `size` bytes that differ from block to block and hold no header or tail pairs.
QByteArray TestImage(int size);
