// The firmware image, opened read-only with no sharing: an exclusive advisory lock is held
// while it is open, and a file whose lock cannot be taken counts as one that cannot be opened.
#pragma once

#include <QFile>
#include <QString>

class TFirmwareFile {
public:
    bool Open(const QString& fileName);
    void Close();
    bool IsOpen() const { return mFile.isOpen(); }
    qint64 Size() const { return mFile.size(); }
    // Reads exactly `count` bytes at `offset` into `buffer`; false when they cannot be read.
    bool ReadAt(qint64 offset, char* buffer, qint64 count);

private:
    QFile mFile;
};
