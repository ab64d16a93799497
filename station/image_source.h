// The image one burn reads its blocks from: the firmware file itself, read again for every
// sending, or a copy taken once at the start of a run.
#pragma once

#include <QString>
#include <QtGlobal>

class TImageSource {
  public:
    virtual ~TImageSource() = default;
    // Opens the image for one burn: its size in bytes, 0 or less when there is nothing to burn.
    virtual qint32 Open() = 0;
    // Exactly `count` bytes at `offset`; false when they cannot be read.
    virtual bool ReadAt(qint64 offset, char* buffer, qint64 count) = 0;
    virtual void Close() = 0;
    // The path that messages name.
    virtual QString Path() const = 0;
};
