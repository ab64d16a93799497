// The window's station writes a frame's pieces through the terminal's paths: binary pieces
// straight to the port with the Tx count, hex pieces through the one string write.
#include "app/counters.h"
#include "app/frm_main.h"

void TFrmMain::WritePiece(const QByteArray& bytes) {
    ComPort->WriteBytes(bytes.constData(), bytes.size());
    AddWrapping(TxCount, bytes.size());
}

void TFrmMain::WriteHexPiece(const QByteArray& bytes) {
    SendString(bytes);
}
