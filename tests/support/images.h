// Firmware images for tests: random bytes, and what a device holds after burning them.
#pragma once

#include <QByteArray>

QByteArray RandomImage(int size);
// The image zero-padded to whole blocks, as the device receives it.
QByteArray Padded(QByteArray image);
