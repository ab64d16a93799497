#include "burn/firmware_file.h"

#ifdef Q_OS_UNIX
#include <sys/file.h>
#endif

bool TFirmwareFile::Open(const QString& fileName) {
    Close();
    mFile.setFileName(fileName);
    // Unbuffered: every sending reads the block from the file itself, not from a cache.
    if (!mFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return false;
#ifdef Q_OS_UNIX
    if (flock(mFile.handle(), LOCK_EX | LOCK_NB) != 0) {
        mFile.close();
        return false;
    }
#endif
    return true;
}

void TFirmwareFile::Close() {
    // Closing the descriptor releases the lock.
    if (mFile.isOpen()) mFile.close();
}

bool TFirmwareFile::ReadAt(qint64 offset, char* buffer, qint64 count) {
    return mFile.seek(offset) && mFile.read(buffer, count) == count;
}
