#include "burn/protocol.h"

QByteArray ShakeRequest;
QByteArray ShakeReply;
QByteArray BlockHeader;
QByteArray LastBlockHeader;
QByteArray StopHeader;
QByteArray FrameTail;
QByteArray BlockAck;
quint32 FlashBase = 0;

void SetProtocolConstants() {
    ShakeRequest = QByteArray(1, '\x5A');
    ShakeReply = QByteArray(1, '\xA5');
    BlockHeader = QByteArray("\xF0\xF0", 2);
    FrameTail = QByteArray("\x0D\x0A", 2);
    LastBlockHeader = QByteArray("\xF1\xF1", 2);
    StopHeader = QByteArray("\xF2\xF2", 2);
    FlashBase = 0x08004000;
    BlockAck = QByteArray(1, '\x85');
}

QString DWordToHex(quint32 value) {
    return QString("%1").arg(value, 8, 16, QChar('0')).toUpper();
}

QString ByteToHex(int value) {
    return QString("%1").arg(quint8(value % 256), 2, 16, QChar('0')).toUpper();
}

void SumBlock(const QByteArray& block, int count, quint32& sum) {
    for (int i = 0; i < count; ++i) sum += quint8(block[i]);
}

qint32 BlockCountOf(qint32 size) {
    return size <= 0 ? 0 : qint32((qint64(size) + BlockSize - 1) / BlockSize);
}
