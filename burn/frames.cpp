// A frame goes out as five writes in order: header, address, payload, checksum, tail. The
// address and the checksum take the hex send path, as the device has always received them.
#include "app/counters.h"
#include "app/frm_main.h"
#include "burn/protocol.h"
#include "link/hex_codec.h"

void TFrmMain::SendFrame(const QByteArray& header, quint32 address, const QByteArray& payload) {
    ComPort->WriteBytes(header.constData(), 2);
    AddWrapping(TxCount, 2);
    SendString(HexTextToBytes(DWordToHex(address).toLatin1()));
    ComPort->WriteBytes(payload.constData(), BlockSize);
    AddWrapping(TxCount, BlockSize);
    BlockSum = 0;
    SumBlock(payload, BlockSize, BlockSum);
    SendString(HexTextToBytes(DWordToHex(BlockSum).toLatin1()));
    ComPort->WriteBytes(FrameTail.constData(), 2);
    AddWrapping(TxCount, 2);
    ShowTxCount();
}

void TFrmMain::SendStopFrame() {
    SendFrame(StopHeader, 0, QByteArray(BlockSize, '\0'));
}
